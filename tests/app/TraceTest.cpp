// The trace of a run: scene switches and step codes with their frame pass,
// and the campaign on one line at close-down.
#include "AppTestUtil.h"

#include <string>
#include <vector>

namespace quolis {
namespace {

using testing_util::AppFixture;
using testing_util::CountingScene;

struct LineTrace : TraceSink {
    void TraceLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// Moves the title to step 10 in its third logic step and to 20 in its fourth.
struct SteppingTitle : CountingScene {
    HRESULT Frame(CGameApp& app) override {
        CountingScene::Frame(app);
        if (frames == 3) {
            app.SetCycle(10, kSceneTitle);
        } else if (frames == 4) {
            app.SetCycle(20, kSceneTitle);
            app.SetCycle(20, kSceneTitle); // no change: no line
        }
        return S_OK;
    }
};

class TraceFixture : public AppFixture {
protected:
    TraceFixture() { trace = &sink; }
    // The application writes its campaign line when it is released: release
    // it while the sink is still there.
    ~TraceFixture() override { app.CloseDown(); }
    LineTrace sink;
};

TEST_F(TraceFixture, StartSwitchAndStepChangesAreTracedOnce) {
    StartTitle();
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"trace 0 scene -1 -> 1", "trace 0 step 1 0"}));
    sink.lines.clear();
    app.SetCycle(300, kSceneTitle);
    app.SetCycle(300, kSceneTitle);
    app.SetCycle(5, kSceneMenu); // not the current scene
    app.SetNextScene(kScenePrologue, 0);
    ASSERT_EQ(app.SwitchToNextScene(), S_OK);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"trace 0 step 1 300", "trace 0 scene 1 -> 2",
                                                    "trace 0 step 2 0"}));
    // A restart of the same scene shows its step going back to 0.
    app.SetCycle(40, kScenePrologue);
    sink.lines.clear();
    ButtonMaps maps = DefaultButtonMaps();
    maps[1][31] = kInputResetAppCycle; // S
    app.Input()->SetMaps(maps);
    queue.Push(InputEvent::Key(31, true));
    Step(16);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"trace 0 step 2 0"}));
}

TEST_F(TraceFixture, LinesCarryTheFramePassAndTheCampaignEndsTheRun) {
    auto title = std::make_unique<SteppingTitle>();
    app.SetSceneHandlers(kSceneTitle, std::move(title));
    StartTitle();
    GameState* g = app.OwnCampaign().State();
    ASSERT_NE(g, nullptr);
    g->bpPool = 1234;
    g->stageFile = "Stage01.txt";
    app.OwnCampaign().SetCurrentStageFile("Stage02.txt");
    host.passLimit = 6;
    app.Run();
    ASSERT_GE(sink.lines.size(), 5u);
    // Pass 0 comes less than 16 ms after start-up and makes no logic step:
    // the title's third step is in pass 3.
    EXPECT_EQ(sink.lines[2], "trace 3 step 1 10");
    EXPECT_EQ(sink.lines[3], "trace 4 step 1 20");
    const std::string& last = sink.lines.back();
    ASSERT_EQ(last.rfind("campaign {", 0), 0u) << last;
    EXPECT_EQ(last.find('\n'), std::string::npos);
    // The stage file a save would record, the pool and the (empty) lists.
    EXPECT_NE(last.find("\"stageFile\": \"Stage02.txt\""), std::string::npos) << last;
    EXPECT_NE(last.find("\"BPPool\": 1234"), std::string::npos) << last;
    EXPECT_NE(last.find("\"squad\": [], \"cores\": []"), std::string::npos) << last;
    EXPECT_EQ(sink.lines.size(), 5u);
}

TEST_F(AppFixture, NoTraceSinkWritesNothingAndRunsAsBefore) {
    StartTitle();
    app.SetCycle(300, kSceneTitle);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 300);
}

} // namespace
} // namespace quolis
