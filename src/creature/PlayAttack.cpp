// The one mechanism behind every attack presentation: the actions of the
// attack's script run in order, each either waiting (nothing changes) or
// doing its work and moving on; then the shared closing steps.
#include "audio/Sound.h"
#include "common/Random.h"
#include "creature/AttackTable.h"
#include "creature/Chara.h"
#include "engine/Camera.h"

namespace quolis {

namespace {

// Closing steps shared by every attack.
constexpr std::int32_t kCloseWait = 1000;
constexpr std::int32_t kCloseDamage3 = 1010;
constexpr std::int32_t kCloseDead1 = 1020;
constexpr std::int32_t kCloseFade = 1030;
constexpr std::int32_t kCloseRecover = 1040;
constexpr std::int32_t kCloseLight = 1045;
constexpr std::int32_t kCloseCamera = 1050;

constexpr float kRapidFrames = 5.0f;
constexpr float kScatterFrames = 10.0f;

} // namespace

// Class-wide: one attack plays at a time.
class AttackRunner {
public:
    static int Step(CChara& attacker, CChara& target, const std::string& name, std::int32_t bonus);

private:
    struct Shared {
        std::string savedDirection;
        int frames = 0;  // frame waits
        int hits = 0;    // target reactions so far
        int queued = -1; // next scattered offset; -1: no queue
        bool gliding = false;
        bool yielded = false;
    };
    static Shared& S() {
        static Shared s;
        return s;
    }

    // `fresh`: the action was reached in this call, after the one before it
    // finished; frame waits count from the next call on.
    static bool Run(const AttackAction& a, bool fresh, CChara& attacker, CChara& target,
                    const std::string& name, std::int32_t bonus);
    static int Close(std::int32_t& step, CChara& attacker, CChara& target);
    static void Hit(const HitLook& look, float offsetX, float offsetY, CChara& attacker,
                    CChara& target);
    static void ReactTo(CChara& attacker, CChara& target, const std::string& anim);
    static bool CountFrames(float interval);
    static bool Glide(const Vec3& point, const Vec3& eyeOffset);
    static int FadeStep() {
        const int s = TruncToInt(CChara::FadeSpeed());
        return s > 0 ? s : 1; // a zero step would never arrive
    }
};

int AttackRunner::Step(CChara& attacker, CChara& target, const std::string& name,
                       std::int32_t bonus) {
    const int index = FindAttackScript(name);
    if (index < 0 || index >= CChara::kAttackCounters)
        return 0; // no presentation: finished at once
    const AttackScript& script = AttackScripts()[std::size_t(index)];
    std::int32_t& step = attacker.attackSteps_[std::size_t(index)];
    if (step < kCloseWait) {
        // Script steps are 10, 20, 30 ... (action i is step 10 (i + 1)); 0 is
        // the first action, the turn toward the target.
        std::size_t i = step == 0 ? 0 : std::size_t(step / 10 - 1);
        bool fresh = false;
        while (i < script.actions.size()) {
            if (!Run(script.actions[i], fresh, attacker, target, name, bonus))
                break;
            fresh = true;
            ++i;
            step = std::int32_t((i + 1) * 10);
        }
        if (i >= script.actions.size())
            step = kCloseWait;
    }
    return Close(step, attacker, target);
}

bool AttackRunner::CountFrames(float interval) {
    Shared& s = S();
    if (!CStopwatch::TimeFrozen())
        ++s.frames;
    if (float(s.frames) < interval / CChara::GameSpeed())
        return false;
    s.frames = 0;
    return true;
}

bool AttackRunner::Glide(const Vec3& point, const Vec3& eyeOffset) {
    CCamera* camera = CChara::Camera();
    if (camera == nullptr)
        return true;
    Shared& s = S();
    const bool first = !s.gliding;
    s.gliding = true;
    if (camera->GlideTo(point, eyeOffset, CChara::CameraSpeed()) != 0)
        return false;
    if (first) {
        // The camera's last glide ended on this very point: it reports the
        // arrival at once without moving, so set the eye offset here.
        camera->SetLookAt(point.x, point.y, point.z);
        const Vec3 eye = point + eyeOffset;
        camera->SetEye(eye.x, eye.y, eye.z);
    }
    s.gliding = false;
    return true;
}

void AttackRunner::ReactTo(CChara& attacker, CChara& target, const std::string& anim) {
    target.FaceBack(attacker);
    target.SetAnimation(anim);
    ++S().hits;
}

void AttackRunner::Hit(const HitLook& look, float offsetX, float offsetY, CChara& attacker,
                       CChara& target) {
    target.StartEffect(look.kind, offsetX, offsetY, 0, look.width, look.height, 0, look.red,
                       look.green, look.blue, 255, CChara::EffectFrameTime());
    static const std::string damage1 = "Damage1";
    static const std::string damage2 = "Damage2";
    switch (look.reaction) {
    case Reaction::Auto:
        ReactTo(attacker, target, S().hits == 0 ? damage1 : damage2);
        break;
    case Reaction::Later:
        ReactTo(attacker, target, damage2);
        break;
    case Reaction::None:
        break;
    }
}

bool AttackRunner::Run(const AttackAction& a, bool fresh, CChara& attacker, CChara& target,
                       const std::string& name, std::int32_t bonus) {
    Shared& s = S();
    const Vec3 closeUp = CChara::EyeOffset() * CChara::kCloseUp;
    switch (a.op) {
    case AttackOp::Face:
        attacker.FaceCell(target);
        s.savedDirection = target.Direction();
        s.frames = 0;
        s.hits = 0;
        s.queued = -1;
        s.gliding = false;
        s.yielded = false;
        return true;
    case AttackOp::DarkOn:
        if (FieldDarkening* d = CChara::Darkening())
            d->SwitchDarkening(1);
        return true;
    case AttackOp::DarkDown: {
        FieldDarkening* d = CChara::Darkening();
        return d == nullptr || d->FadeDarkening(0, 0, FadeStep()) == 0;
    }
    case AttackOp::GlideOpening:
        return Glide(attacker.GetPosition() + Vec3{0, a.value, 0}, closeUp);
    case AttackOp::Play:
        attacker.SetAnimation(a.name);
        return true;
    case AttackOp::WaitAnim:
        return !attacker.IsPlaying();
    case AttackOp::Hit:
        Hit(a.hit, a.hit.offsetX, a.hit.offsetY, attacker, target);
        return true;
    case AttackOp::SelfHit:
        attacker.StartEffect(a.hit.kind, a.hit.offsetX, a.hit.offsetY, 0, a.hit.width, a.hit.height,
                             0, a.hit.red, a.hit.green, a.hit.blue, 255, CChara::EffectFrameTime());
        return true;
    case AttackOp::React:
        ReactTo(attacker, target, a.name);
        return true;
    case AttackOp::Damage: {
        const std::int32_t damage = attacker.RollDamage(target, name, bonus);
        if (CNumber* n = target.NumberSprite()) {
            n->SetNumber(damage);
            n->Show(1);
        }
        target.AddHP(-damage);
        return true;
    }
    case AttackOp::Cue:
        if (CSound* sound = CChara::Sound())
            sound->Play(CueName(a.cue));
        return true;
    case AttackOp::GlideTarget:
        return Glide(target.GetPosition(), closeUp);
    case AttackOp::GlideAttacker:
        return Glide(attacker.GetPosition(), closeUp);
    case AttackOp::Rise: {
        const Vec3 p = attacker.GetPosition();
        return Glide({p.x, p.y * a.value, p.z}, a.closeUp ? closeUp : CChara::EyeOffset());
    }
    case AttackOp::Rapid:
        if (!attacker.IsPlaying()) {
            s.frames = 0;
            return true;
        }
        if (fresh) {
            s.frames = 0;
            return false;
        }
        if (CountFrames(kRapidFrames))
            Hit(a.hit, a.hit.offsetX, a.hit.offsetY, attacker, target);
        return false;
    case AttackOp::Scatter:
        if (s.queued < 0 || fresh) {
            s.queued = 0;
            s.frames = 0;
            return a.offsets.empty();
        }
        if (std::size_t(s.queued) >= a.offsets.size()) {
            s.queued = -1;
            return true;
        }
        if (!CountFrames(kScatterFrames))
            return false;
        Hit(a.hit, a.offsets[std::size_t(s.queued)].x, a.offsets[std::size_t(s.queued)].y, attacker,
            target);
        if (std::size_t(++s.queued) < a.offsets.size())
            return false;
        s.queued = -1;
        return true;
    case AttackOp::Frames:
        if (fresh) {
            s.frames = 0;
            return false;
        }
        return CountFrames(a.value);
    case AttackOp::WaitEffects:
        return target.AnyEffectActive() == 0;
    case AttackOp::WaitSelfEffects:
        return attacker.AnyEffectActive() == 0;
    case AttackOp::WaitTargetAnim:
        return !target.IsPlaying();
    case AttackOp::Alpha:
        attacker.SetAlpha(TruncToInt(a.value));
        return true;
    case AttackOp::Yield:
        s.yielded = !s.yielded;
        return !s.yielded;
    }
    return true;
}

int AttackRunner::Close(std::int32_t& step, CChara& attacker, CChara& target) {
    Shared& s = S();
    static const std::string wait = "wait";
    switch (step) {
    case kCloseWait: {
        // A looping "wait" counts as ended.
        if (attacker.GetAnimation() != wait) {
            if (attacker.IsPlaying())
                return 1;
            attacker.SetAnimation(wait);
        }
        if (target.GetAnimation() != wait && target.IsPlaying())
            return 1;
        target.SetAnimation("Damage3");
        step = kCloseDamage3;
        return 1;
    }
    case kCloseDamage3:
        if (target.IsPlaying())
            return 1;
        if (target.HP() != 0) {
            target.SetDirection(s.savedDirection);
            target.SetAnimation(wait);
            step = kCloseRecover;
            return 1;
        }
        if (CSound* sound = CChara::Sound())
            sound->Play(CueName(kCueDestroyed));
        target.SetAnimation("Dead1");
        step = kCloseDead1;
        return 1;
    case kCloseDead1:
        if (target.IsPlaying())
            return 1;
        target.SetAnimation("Dead2");
        step = kCloseFade;
        return 1;
    case kCloseFade:
        if (target.FadeAlphaForced(0, 0, FadeStep()) != 0)
            return 1;
        if (CNumber* n = target.NumberSprite())
            n->Show(0);
        step = kCloseRecover;
        return 1;
    case kCloseRecover:
        if (CNumber* n = target.NumberSprite())
            n->Show(0);
        target.SetDirection(s.savedDirection);
        target.SetAnimation(wait);
        step = kCloseLight;
        return 1;
    case kCloseLight:
        if (FieldDarkening* d = CChara::Darkening()) {
            if (d->FadeDarkening(255, 1, FadeStep()) != 0)
                return 1;
            d->SwitchDarkening(0);
        }
        step = kCloseCamera;
        return 1;
    case kCloseCamera:
        if (!Glide(attacker.GetPosition(), CChara::EyeOffset()))
            return 1;
        step = 0;
        return 0;
    default:
        return 1;
    }
}

int CChara::PlayAttack(CChara& target, const std::string& attackName, std::int32_t bonus) {
    return AttackRunner::Step(*this, target, attackName, bonus);
}

} // namespace quolis
