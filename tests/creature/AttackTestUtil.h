#pragma once
// Plays an attack between two creatures on the test stage and writes down
// what a player would notice, call by call: the darkening, the cues, the
// animations each creature starts, the damage moment and where the camera
// arrives.
#include "CreatureTestUtil.h"

#include <sstream>

namespace quolis::creaturetest {

class AttackTest : public CreatureTest {
protected:
    void SetUp() override {
        CreatureTest::SetUp();
        // Raise the floor so that a rise glide ends somewhere of its own.
        floor_.ClearQuads();
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                QuadRecord q;
                q.position = {float(x + y) * 2, 1, float(y - x) * 2};
                q.extent = {2, 0, 2};
                q.cellX = x;
                q.cellY = y;
                floor_.AddQuad(q);
            }
        // Longer attacker animations (ten updates each) so that hits do not
        // pile up beyond the nine effect sprites.
        for (const std::string& anim : AnimationNames())
            if (anim.rfind("Damage", 0) != 0 && anim.rfind("Dead", 0) != 0)
                WriteAnim("T\\" + anim, 6);
        Place(attacker_, 1, 1, "right");
        Place(target_, 1, 3, "left", 500);
        attacker_.SetAP(40);
        camera_.SetLookAt(0, 0, 0);
        camera_.SetEye(0, 10, -10);
        TakeCues();
        dark_.Clear();
    }

    struct Run {
        std::vector<std::string> events;
        std::vector<int> eventCall; // the call each event happened in
        int calls = 0;
        int rolls = 0;
        int hpChanges = 0;
        bool ended = false;
        int shownDamage = -1;
    };

    static bool Started(const CChara& c, const std::string& before) {
        if (c.GetAnimation() != before)
            return true;
        return before != "wait" && c.IsPlaying() && c.KeyPosition() == 0.0f;
    }

    // Calls PlayAttack once per frame until it returns 0 (at most `limit`
    // calls); `between` runs after every call.
    template <class Between> Run Play(const std::string& attackUtf8, int limit, Between between) {
        Run r;
        const std::string name = Utf8ToCp932(attackUtf8);
        const int rollsBefore = calendar_.reads;
        std::size_t darkSeen = dark_.Log().size();
        bool atA = false, atT = false, atR = false;
        for (r.calls = 1; r.calls <= limit; ++r.calls) {
            const std::string a0 = attacker_.GetAnimation();
            const std::string t0 = target_.GetAnimation();
            const int hp0 = target_.HP();
            const int rolls0 = calendar_.reads;
            const int result = attacker_.PlayAttack(target_, name, 0);
            auto add = [&](std::string e) {
                r.events.push_back(std::move(e));
                r.eventCall.push_back(r.calls);
            };
            for (; darkSeen < dark_.Log().size(); ++darkSeen)
                add("dark " + dark_.Log()[darkSeen]);
            for (const std::string& cue : TakeCues())
                add("cue " + cue);
            if (Started(attacker_, a0))
                add("A " + attacker_.GetAnimation());
            if (Started(target_, t0))
                add("T " + target_.GetAnimation());
            if (target_.HP() != hp0)
                ++r.hpChanges;
            if (calendar_.reads != rolls0) {
                r.shownDamage = target_.NumberSprite()->IsShown()
                                    ? target_.NumberSprite()->Digits().Shown()
                                    : -2;
                add("damage");
            }
            const Vec3 look = camera_.LookAt();
            const Vec3 a = attacker_.GetPosition();
            const Vec3 t = target_.GetPosition();
            auto same = [](const Vec3& p, const Vec3& q) {
                return std::abs(p.x - q.x) + std::abs(p.y - q.y) + std::abs(p.z - q.z) < 1e-4f;
            };
            const bool nowA = same(look, a);
            const bool nowT = same(look, t);
            const bool nowR =
                !nowA && !nowT && std::abs(look.x - a.x) < 1e-4f && std::abs(look.z - a.z) < 1e-4f;
            if (nowA && !atA)
                add("camera attacker");
            if (nowT && !atT)
                add("camera target");
            if (nowR && !atR)
                add("camera rise");
            atA = nowA;
            atT = nowT;
            atR = nowR;
            if (result == 0) {
                r.ended = true;
                break;
            }
            between(r.calls);
            if (!paused_)
                Frame(attacker_, target_);
        }
        r.rolls = calendar_.reads - rollsBefore;
        return r;
    }
    Run Play(const std::string& attackUtf8, int limit = 3000) {
        return Play(attackUtf8, limit, [](int) {});
    }

    // The events that start with `prefix` (prefix removed), in order.
    static std::vector<std::string> Seq(const Run& r, const std::string& prefix) {
        std::vector<std::string> out;
        for (const std::string& e : r.events)
            if (e.rfind(prefix, 0) == 0)
                out.push_back(e.substr(prefix.size()));
        return out;
    }
    // The calls of every event equal to `event`, in order.
    static std::vector<int> Calls(const Run& r, const std::string& event) {
        std::vector<int> out;
        for (std::size_t i = 0; i < r.events.size(); ++i)
            if (r.events[i] == event)
                out.push_back(r.eventCall[i]);
        return out;
    }
    static int CallOf(const Run& r, const std::string& event, std::size_t nth = 0) {
        const std::vector<int> c = Calls(r, event);
        return nth < c.size() ? c[nth] : -1;
    }
    static std::vector<std::string> Repeat(const std::string& s, int n) {
        return std::vector<std::string>(std::size_t(n), s);
    }
    static std::vector<std::string> Cat(std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> out;
        for (const auto& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }

    static std::string Join(const std::vector<std::string>& v) {
        std::ostringstream s;
        for (const auto& e : v)
            s << e << "\n";
        return s.str();
    }

    CChara attacker_;
    CChara target_;
    bool paused_ = false; // the battle is paused: no creature updates
};

} // namespace quolis::creaturetest
