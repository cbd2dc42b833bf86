#pragma once
// A small battle stage for the creature tests: a temporary GameData with a
// cube mesh, two-key animations for a creature type "T" (every name the
// attacks use), the effect and number textures, all nineteen sound cues on a
// recording mixer, a camera, a floor of quads and a recording darkening.
#include "../audio/SoundBytes.h"
#include "../engine/Engine3dTestData.h"
#include "audio/Sound.h"
#include "common/Random.h"
#include "common/Stopwatch.h"
#include "common/Text.h"
#include "creature/AttackTable.h"
#include "creature/Chara.h"
#include "engine/QuadList.h"
#include "platform/RecordingMixer.h"

#include <set>
#include <string>
#include <vector>

namespace quolis::creaturetest {

// Counts the damage rolls: every roll reseeds the generator from the calendar.
class CountingCalendar final : public Calendar {
public:
    std::int64_t Now() override {
        ++reads;
        return 12345;
    }
    int reads = 0;
};

class CreatureTest : public test3d::Engine3dTest {
protected:
    void SetUp() override {
        Engine3dTest::SetUp();
        CStopwatch::SetClock(&clock_);
        WriteX("cube.x", test3d::CubeX());
        for (const std::string& anim : AnimationNames())
            WriteAnim("T\\" + anim);
        WriteAnim("Core\\Dead1", 3);
        for (const char* tex :
             {"Explosion", "Gravity", "Flare", "Crush", "Slush", "CS", "Sonic", "Beating",
              "Condensation", "Mist", "ISonic", "Plasma", "Burn", "Laser"})
            textures_.files[std::string("Effect\\") + tex + ".bmp"] =
                test3d::Bitmap(8, 8, 0xFFFFFF);
        textures_.files["Number\\Number.bmp"] = test3d::Bitmap(20, 2, 0xFFFFFF);
        for (int cue = 0; cue < kCharaCueCount; ++cue) {
            const auto wav = testbytes::MakeWav(1, 1, 8000, 8, 1, {0x80, 0x90});
            WriteFile(std::string("GameData\\SE\\") + CueFile(cue),
                      std::string(wav.begin(), wav.end()));
        }
        ASSERT_EQ(sound_.Init(&mixer_, "GameData\\SE\\", nullptr), S_OK);
        camera_.Create(&dev_, 800.0f / 600.0f);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                QuadRecord q;
                q.position = {float(x + y) * 2, 0, float(y - x) * 2};
                q.extent = {2, 0, 2};
                q.cellX = x;
                q.cellY = y;
                floor_.AddQuad(q);
            }
        random_.SetCalendar(&calendar_);
        CharaStage stage;
        stage.darkening = &dark_;
        stage.random = &random_;
        CChara::Init(stage, &camera_, &sound_, 0.5f, &floor_, eye_, 0.05f, 0.5f, 64.0f);
        CChara::ResetGlide();
        CCamera::ResetGlides();
        mixer_.FinishSounds();
        mixer_.ClearLog();
    }
    void TearDown() override {
        CChara::Init({}, nullptr, nullptr, 0, nullptr, {0, 0, 0}, 0.05f, 0.1f, 16.0f);
        CStopwatch::SetTimeFrozen(false);
        CStopwatch::SetClock(nullptr);
        Engine3dTest::TearDown();
    }

    // Every animation name an attack plays, plus the reactions and "wait".
    static std::set<std::string> AnimationNames() {
        std::set<std::string> names{"wait", "Damage1", "Damage2", "Damage3", "Dead1", "Dead2"};
        for (const AttackScript& s : AttackScripts())
            for (const AttackAction& a : s.actions)
                if (a.op == AttackOp::Play || a.op == AttackOp::React)
                    names.insert(a.name);
        return names;
    }
    // A one-cube animation of `keys` keys: with the frame step 0.5 it stops
    // on update 2 (keys - 1).
    void WriteAnim(const std::string& member, int keys = 2) {
        std::string text = "1 " + std::to_string(keys) + " cube.x -1";
        for (int k = 0; k < keys; ++k)
            text += test3d::MdlKey(0, 0, 0);
        WriteMdl(member + ".mdl", text);
    }

    // A created creature of type "T" on a cell, facing a direction, waiting.
    void Place(CChara& c, int x, int y, const char* direction, int hp = 100) {
        c.SetModelFolder("T");
        c.SetMaxHP(hp);
        c.SetHP(hp);
        c.Create();
        c.SetCell(x, y);
        c.SetDirection(direction);
        c.SetAnimation("wait");
    }

    // Cue names played since the last call (UTF-8), in order.
    std::vector<std::string> TakeCues() {
        std::vector<std::string> out;
        for (const std::string& line : mixer_.Log())
            if (line.rfind("PlaySound ", 0) == 0) {
                const int id = std::stoi(line.substr(10));
                out.push_back(Cp932ToUtf8(CueName(id - firstSound_)));
            }
        mixer_.ClearLog();
        return out;
    }

    // One frame: the clock moves 16 ms, both creatures update.
    void Frame(CChara& a, CChara& b) {
        clock_.Advance(16);
        a.Update();
        b.Update();
    }

    ManualClock clock_{5000};
    RecordingMixer mixer_;
    CSound sound_;
    CCamera camera_;
    CQuadList floor_{0};
    RecordingDarkening dark_;
    CountingCalendar calendar_;
    GameRandom random_;
    Vec3 eye_{-10, 12, 10};
    int firstSound_ = 1; // the mixer numbers the cues from 1 in registration order
};

} // namespace quolis::creaturetest
