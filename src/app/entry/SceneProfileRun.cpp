#include "app/entry/SceneProfileRun.h"

#include "app/SceneProfile.h"
#include "common/Text.h"
#include "scenes/battle/BattleScene.h"
#include "scenes/stageevent/StageEvents.h"

#include <cstdio>

namespace quolis {

namespace {

void Print(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

bool NewCampaign(CGameApp& app) {
    return app.Campaign() != nullptr &&
           app.Campaign()->LoadSave(app.SecureReader(), CGameApp::SavePath(0));
}

} // namespace

int RunSceneProfile(CGameApp& app, AppHost& host, const std::string& battleStage, int battles) {
    int pass = 0;
    SceneProfiler profiler(app, [&] {
        host.PumpEvents();
        app.FramePass();
        host.FinishFramePass(pass++);
    });
    int status = 0;
    const auto report = [&](const char* name, const SceneTiming& t) {
        Print(FormatSceneReport(name, t));
        if (!t.built) {
            status = 1;
        }
    };

    // The title as a player sees it: through the logo, a second on screen.
    if (!profiler.PassUntil([&] { return app.GetScene(0) == kSceneTitle; }, 5000)) {
        Print("scene-profile: the title never came");
        return 1;
    }
    profiler.Passes(60);
    Print(FormatMemoryReport("title", SampleMemory()));
    if (!NewCampaign(app)) {
        Print("scene-profile: the new-game save cannot be read");
        return 1;
    }

    // The battle, built, played up to the player's free cursor, and left for
    // the menu hub, again and again: the memory after leaving must not grow.
    for (int round = 1; round <= battles; ++round) {
        app.OwnCampaign().SetCurrentStageFile(Utf8ToCp932(battleStage));
        report("battle", profiler.Enter(kSceneBattle));
        profiler.PassUntil(
            [&] {
                return app.GetScene(0) != kSceneBattle ||
                       app.GetCycle(kSceneBattle) == kBattleFreeCursor;
            },
            3000);
        Print(FormatMemoryReport("battle-" + std::to_string(round) + "-built", SampleMemory()));
        report("hub-after-battle", profiler.Enter(kSceneMenu));
        profiler.Passes(30);
        Print(FormatMemoryReport("battle-" + std::to_string(round) + "-left", SampleMemory()));
    }

    // Every menu scene once, on the new campaign (its first stage's opening
    // event for the stage-event scene).
    if (!NewCampaign(app)) {
        Print("scene-profile: the new-game save cannot be read");
        return 1;
    }
    static constexpr struct {
        int scene;
        const char* name;
    } kMenus[] = {{kSceneMenu, "hub"},
                  {kSceneStatus, "status"},
                  {kSceneLevelUp, "levelup"},
                  {kSceneFusion, "fusion"},
                  {kSceneRegeneration, "regen"},
                  {kSceneDiscard, "discard"},
                  {kSceneStageEvent, "stageevent"}};
    for (const auto& menu : kMenus) {
        if (menu.scene == kSceneStageEvent) {
            StageData stage;
            if (ReadCurrentStage(app, stage)) {
                NextBattleScene(app, stage);
            }
        }
        report(menu.name, profiler.Enter(menu.scene));
        profiler.Passes(30);
    }
    Print(FormatMemoryReport("end", SampleMemory()));
    return status;
}

} // namespace quolis
