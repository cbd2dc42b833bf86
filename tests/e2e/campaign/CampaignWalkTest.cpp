// The whole demo campaign walked by a test driver that presses keys through
// the game's input queue, on a copy of the demo GameData whose battles are
// won at once (FLAG_BATTLE 0): from "はじめから" through the prologue, every
// stage's opening event, battle, closing event and stage-clear choice, to the
// staff roll and back to the title, saving once into slot 1 on the way. The
// save is read back with qinspect; a second start loads it from "つづきから"
// and reaches the menu hub of the saved stage.
#include "app/TitleScenes.h"
#include "scenes/SceneTestUtil.h"
#include "scenes/stageevent/StageEvents.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace quolis {
namespace {

using namespace testing_util;

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
            out.append(buf, n);
        }
        ::pclose(p);
    }
    return out;
}

class CampaignWalk : public SceneFixture {
protected:
    CampaignWalk() { InstallTitleScenes(app); }

    // A copy of the built demo GameData with FLAG_BATTLE 0.
    void PrepareGameData() {
        namespace fs = std::filesystem;
        const fs::path built = fs::path(QUOLIS_BINARY_DIR) / "GameData";
        ASSERT_TRUE(fs::exists(built / "Stage" / "Stage.Dat")) << built;
        fs::copy(built, root.Host("GameData"), fs::copy_options::recursive);
        const fs::path staging = root.Host("staging/Data");
        fs::create_directories(staging);
        for (const auto& e : fs::directory_iterator(fs::path(QUOLIS_SOURCE_DIR) / "content/Data")) {
            fs::copy(e.path(), staging / e.path().filename());
        }
        std::ifstream in(staging / "Setting.Dat");
        std::stringstream text;
        text << in.rdbuf();
        std::string setting = text.str();
        const std::size_t at = setting.find("FLAG_BATTLE 1");
        ASSERT_NE(at, std::string::npos);
        setting.replace(at, 13, "FLAG_BATTLE 0");
        std::ofstream(staging / "Setting.Dat", std::ios::trunc) << setting;
        const std::string pack = std::string(QUOLIS_BINARY_DIR) + "/datpack pack --text " +
                                 root.Host("GameData/Data/Data.Dat") + " " + root.Host("staging") +
                                 " 2>&1";
        ASSERT_EQ(std::system(pack.c_str()), 0) << pack;
        fs::remove_all(root.Host("GameData/Save/Save1E.Dat"));
    }

    std::string Selected(CSelectionWidget* w) {
        std::string name;
        if (w != nullptr) {
            w->GetSelected(name);
        }
        return name;
    }

    // One decision of the driver for the current scene and step: the key to
    // press, or 0 to let a step pass.
    int NextKey(bool continuing) {
        const int s = app.GetScene(0);
        const int c = app.GetCycle(s);
        if (c == kCycleScriptStep || c == kCycleScript2Step) {
            return kKeySpace;
        }
        switch (s) {
        case kSceneLogo:
            return c == 200 ? kKeySpace : 0;
        case kSceneTitle:
            if (c == kCycleButtonRowStep) {
                const std::string want = continuing ? TitleContinueName() : TitleStartName();
                return Selected(app.SharedButtonRow()) == want ? kKeySpace : kKeyRight;
            }
            if (c == kCycleSlotListStep) {
                return app.SharedSlotList()->CurrentKey() == 1 ? kKeySpace : kKeyDown;
            }
            return 0;
        case kSceneMenu:
            return c == -10000 ? kKeySpace : 0; // 次の戦闘へ is the first button
        case kSceneStageEvent:
            if (c != kCycleSlotListStep) {
                return 0;
            }
            if (app.SharedSlotList()->Entries().size() == 10) { // the save slots
                if (app.SharedSlotList()->CurrentKey() == 1) {
                    saved_ = true;
                    return kKeySpace;
                }
                return kKeyDown;
            }
            return Selected(app.SharedSlotList()) == (saved_ ? NextStageChoice() : SaveChoice())
                       ? kKeySpace
                       : kKeyDown;
        case kSceneEnding:
            return c == 6010 ? kKeySpace : 0;
        default:
            // The battle's own menus: their first item.
            return c == kCycleSlotListStep || c == kCycleButtonRowStep ? kKeySpace : 0;
        }
    }

    // Drives the game until `done` holds; the scenes entered on the way.
    template <class Done> std::vector<int> Walk(bool continuing, Done done, int limit) {
        std::vector<int> trail{app.GetScene(0)};
        for (int i = 0; i < limit && !done(); ++i) {
            const int key = NextKey(continuing);
            if (key != 0) {
                queue.Push(InputEvent::Key(key, true));
                Step(kFrameMs);
                queue.Push(InputEvent::Key(key, false));
            }
            Step(kFrameMs);
            // The walk looks at no draw call: the recording device keeps
            // none, or its record grows by every mesh of every pass.
            device.ClearRecord();
            if (app.GetScene(0) != trail.back()) {
                trail.push_back(app.GetScene(0));
            }
        }
        return trail;
    }

    // Passes 33 ms apart, as on a 30 fps display: the fades, the music's
    // volume and the staff roll's holds run on the clock, so the walk needs
    // about half the passes it needs at 60 fps (the text still types one
    // character a pass).
    static constexpr int kFrameMs = 33;
    bool saved_ = false;
};

TEST_F(CampaignWalk, FromTheTitleThroughEveryStageToTheStaffRollAndBackSavingOnce) {
    PrepareGameData();
    ASSERT_EQ(Start(), S_OK);
    bool ending = false;
    std::vector<int> trail = Walk(
        false,
        [&] {
            ending = ending || app.GetScene(0) == kSceneEnding;
            return ending && app.GetScene(0) == kSceneTitle &&
                   app.GetCycle(kSceneTitle) == kCycleButtonRowStep;
        },
        40000); // about 11000 are needed
    ASSERT_TRUE(ending) << "the ending was not reached; last scene " << app.GetScene(0)
                        << " at step " << app.GetCycle(app.GetScene(0));
    EXPECT_EQ(app.GetScene(0), kSceneTitle);
    auto count = [&](int scene) { return std::count(trail.begin(), trail.end(), scene); };
    EXPECT_EQ(count(kScenePrologue), 1);
    EXPECT_EQ(count(kSceneBattle), 8);      // eight stages
    EXPECT_EQ(count(kSceneStageEvent), 15); // eight openings, seven closings
    EXPECT_EQ(count(kSceneMenu), 8);        // after the prologue and each closing
    EXPECT_EQ(count(kSceneEnding), 1);
    ASSERT_TRUE(saved_);

    // The slot read back by the inspector: saved after the first stage.
    const std::string json =
        RunCommand(std::string(QUOLIS_BINARY_DIR) + "/qinspect save " +
                   root.Host("GameData/Save/Save1E.Dat") + " " + root.Host("GameData") + " 2>&1");
    EXPECT_TRUE(std::regex_search(json, std::regex(R"("stageFile"\s*:\s*"BlockA2\.Dat")"))) << json;
    EXPECT_TRUE(std::regex_search(json, std::regex(R"("openingSeen"\s*:\s*0\b)"))) << json;

    // A second start continues from that save to the hub of its stage.
    app.ReleaseAll();
    CGameApp second;
    InstallTitleScenes(second);
    InstallGameScenes(second);
    AppEnvironment env;
    env.device = &device;
    env.mixer = &mixer;
    env.input = &queue;
    env.boxes = &boxes;
    env.host = &host;
    ASSERT_EQ(second.Create(env), S_OK);
    // The driver's helpers look at `app`; the second game is driven here.
    for (int i = 0; i < 4000; ++i) {
        const int s = second.GetScene(0), c = second.GetCycle(s);
        if (s == kSceneMenu && c == -10000) {
            break;
        }
        int key = 0;
        if (s == kSceneLogo && c == 200) {
            key = kKeySpace;
        } else if (s == kSceneTitle && c == kCycleButtonRowStep) {
            key = Selected(second.SharedButtonRow()) == TitleContinueName() ? kKeySpace : kKeyRight;
        } else if (s == kSceneTitle && c == kCycleSlotListStep) {
            key = second.SharedSlotList()->CurrentKey() == 1 ? kKeySpace : kKeyDown;
        }
        if (key != 0) {
            queue.Push(InputEvent::Key(key, true));
        }
        clock.Advance(16);
        ASSERT_EQ(second.FramePass(), S_OK);
        device.ClearRecord();
        if (key != 0) {
            queue.Push(InputEvent::Key(key, false));
            clock.Advance(16);
            ASSERT_EQ(second.FramePass(), S_OK);
        }
    }
    ASSERT_EQ(second.GetScene(0), kSceneMenu);
    EXPECT_EQ(second.OwnCampaign().CurrentStageFile(), "BlockA2.Dat");
    EXPECT_EQ(second.Texts().Get(0)->GetText(), SJ("ブロックＡ－２\n地下水路"));
    second.ReleaseAll();
}

} // namespace
} // namespace quolis
