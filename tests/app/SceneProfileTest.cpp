// The scene profile: the memory figures read from /proc, the order of the
// handlers a timed scene switch runs, what the timings cover, and the report
// lines scripts/startup-profile reads.
#include "app/SceneProfile.h"
#include "AppTestUtil.h"

#include <ctime>
#include <regex>

namespace quolis {
namespace {

using testing_util::AppFixture;
using testing_util::CountingScene;

TEST(ProcStatus, ReadsResidentAndPeakAndNothingElse) {
    const char* status = "Name:\tquolis\nVmPeak:\t  999999 kB\nVmHWM:\t  170112 kB\n"
                         "VmRSS:\t  165000 kB\nRssAnon:\t 120000 kB\n";
    MemorySample m = ParseProcStatus(status);
    EXPECT_EQ(m.rssKb, 165000);
    EXPECT_EQ(m.peakKb, 170112);

    // Keys that only start like the wanted ones are other figures.
    m = ParseProcStatus("VmRSSFile:\t12 kB\nVmHWMx: 7\nVmRSS:\t5 kB\n");
    EXPECT_EQ(m.rssKb, 5);
    EXPECT_EQ(m.peakKb, -1);
}

TEST(ProcStatus, CutShortMissingOrGarbageLeavesMinusOne) {
    // Cut in the middle of the last figure: what is there counts.
    MemorySample m = ParseProcStatus("VmHWM:\t  17\nVmRSS:\t  1");
    EXPECT_EQ(m.peakKb, 17);
    EXPECT_EQ(m.rssKb, 1);
    // Cut right after the key.
    m = ParseProcStatus("VmHWM:\t  170112 kB\nVmRSS:");
    EXPECT_EQ(m.peakKb, 170112);
    EXPECT_EQ(m.rssKb, -1);
    m = ParseProcStatus("");
    EXPECT_EQ(m.rssKb, -1);
    EXPECT_EQ(m.peakKb, -1);
    m = ParseProcStatus("VmRSS: lots\nVmHWM:\t-5 kB\n");
    EXPECT_EQ(m.rssKb, -1);
    EXPECT_EQ(m.peakKb, -1);
    // An absurd figure is not believed (and does not overflow).
    m = ParseProcStatus("VmRSS: 99999999999999999999999999999 kB\n");
    EXPECT_EQ(m.rssKb, -1);
    const std::string binary("\0\xff\x01VmRSS\0:\n\xfe", 11);
    m = ParseProcStatus(binary);
    EXPECT_EQ(m.rssKb, -1);
}

TEST(ProcStatus, ThisProcessHasMemory) {
    const MemorySample m = SampleMemory();
    EXPECT_GT(m.rssKb, 0);
    EXPECT_GE(m.peakKb, m.rssKb);
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// A scene whose build burns a known amount of CPU and may fail.
struct SlowScene : CountingScene {
    double buildMs = 0;
    HRESULT buildResult = S_OK, setUpResult = S_OK;
    HRESULT Build(CGameApp& app) override {
        CountingScene::Build(app);
        const double start = ThreadCpuMs();
        volatile unsigned spin = 0;
        while (ThreadCpuMs() - start < buildMs) {
            spin = spin + 1;
        }
        return buildResult;
    }
    HRESULT SetUp(CGameApp& app) override {
        CountingScene::SetUp(app);
        return setUpResult;
    }
};

class SceneProfilerTest : public AppFixture {
protected:
    SlowScene* InstallSlow(int scene) {
        auto s = std::make_unique<SlowScene>();
        SlowScene* raw = s.get();
        app.SetSceneHandlers(scene, std::move(s));
        return raw;
    }
    SceneProfiler Profiler() {
        return SceneProfiler(app, [this] {
            ++passes;
            Step();
        });
    }
    int passes = 0;
};

TEST_F(SceneProfilerTest, EnterLeavesTheSceneBuildsEntersAndShowsOneFrame) {
    SlowScene* status = InstallSlow(kSceneStatus);
    StartTitle();
    const int first = app.GetScene(0);
    ASSERT_GE(first, 0);
    CountingScene* before = scenes[first];
    const int teardowns = before->teardowns;
    SceneProfiler profiler = Profiler();

    SceneTiming t = profiler.Enter(kSceneStatus);
    EXPECT_EQ(t.scene, kSceneStatus);
    EXPECT_TRUE(t.built);
    EXPECT_EQ(before->teardowns, teardowns + 1);
    EXPECT_EQ(status->builds, 1);
    EXPECT_EQ(status->setups, 1);
    EXPECT_EQ(app.GetScene(0), kSceneStatus);
    // The first frame: one pass, in which the new scene stepped and drew.
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(status->frames, 1);
    EXPECT_EQ(status->draws, 1);
    EXPECT_EQ(status->teardowns, 0);
    EXPECT_GT(t.memory.rssKb, 0);
    EXPECT_GE(t.memory.peakKb, t.memory.rssKb);

    // The next switch leaves the profiled scene.
    profiler.Enter(kSceneFusion);
    EXPECT_EQ(status->teardowns, 1);
    EXPECT_EQ(scenes[kSceneFusion]->builds, 1);
}

TEST_F(SceneProfilerTest, TheBuildTimeIsTheBuildHandlers) {
    SlowScene* battle = InstallSlow(kSceneBattle);
    battle->buildMs = 40;
    StartTitle();
    SceneProfiler profiler = Profiler();
    const SceneTiming t = profiler.Enter(kSceneBattle);
    EXPECT_GE(t.build.cpuMs, 40.0);
    EXPECT_GE(t.build.wallMs, t.build.cpuMs * 0.99);
    // The 40 ms belong to the build, not to the entry or the frame.
    EXPECT_LT(t.enter.cpuMs, 40.0);
    EXPECT_LT(t.firstFrame.cpuMs, 40.0);
    EXPECT_LT(t.leave.cpuMs, 40.0);
}

TEST_F(SceneProfilerTest, AFailedBuildOrEntryIsReported) {
    SlowScene* levelUp = InstallSlow(kSceneLevelUp);
    SlowScene* regen = InstallSlow(kSceneRegeneration);
    levelUp->buildResult = E_FAIL;
    regen->setUpResult = E_FAIL;
    StartTitle();
    SceneProfiler profiler = Profiler();
    EXPECT_FALSE(profiler.Enter(kSceneLevelUp).built);
    // A failed build is still entered, as the game does.
    EXPECT_EQ(levelUp->setups, 1);
    EXPECT_FALSE(profiler.Enter(kSceneRegeneration).built);
    EXPECT_TRUE(profiler.Enter(kSceneStatus).built);
}

TEST_F(SceneProfilerTest, PassUntilStopsAtTheConditionOrTheLimit) {
    StartTitle();
    SceneProfiler profiler = Profiler();
    EXPECT_TRUE(profiler.PassUntil([&] { return passes == 7; }, 100));
    EXPECT_EQ(passes, 7);
    // Already true: no pass at all.
    EXPECT_TRUE(profiler.PassUntil([] { return true; }, 100));
    EXPECT_EQ(passes, 7);
    EXPECT_FALSE(profiler.PassUntil([] { return false; }, 12));
    EXPECT_EQ(passes, 19);
    profiler.Passes(3);
    EXPECT_EQ(passes, 22);
}

// scripts/startup-profile reads these lines with the same patterns.
TEST(SceneReport, LinesCarryEveryFigureTheProfileScriptReads) {
    SceneTiming t;
    t.built = true;
    t.leave = {1.5, 1.25};
    t.build = {81.234, 80.5};
    t.enter = {2.0, 1.75};
    t.firstFrame = {12.5, 12.0};
    t.memory = {120000, 150000};
    const std::string line = FormatSceneReport("battle", t);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        line, m,
        std::regex(R"(scene-report scene=(\S+) built=(\d) leave_ms=([\d.]+) build_ms=([\d.]+) )"
                   R"(build_cpu_ms=([\d.]+) enter_ms=([\d.]+) enter_cpu_ms=([\d.]+) )"
                   R"(first_frame_ms=([\d.]+) rss_kb=(-?\d+) peak_kb=(-?\d+))")))
        << line;
    EXPECT_EQ(m[1], "battle");
    EXPECT_EQ(m[2], "1");
    EXPECT_EQ(m[3], "1.50");
    EXPECT_EQ(m[4], "81.23");
    EXPECT_EQ(m[5], "80.50");
    EXPECT_EQ(m[6], "2.00");
    EXPECT_EQ(m[7], "1.75");
    EXPECT_EQ(m[8], "12.50");
    EXPECT_EQ(m[9], "120000");
    EXPECT_EQ(m[10], "150000");

    t.built = false;
    t.memory = {};
    EXPECT_NE(FormatSceneReport("hub", t).find("scene=hub built=0 "), std::string::npos);
    EXPECT_NE(FormatSceneReport("hub", t).find("rss_kb=-1 peak_kb=-1"), std::string::npos);

    EXPECT_EQ(FormatMemoryReport("battle-3-left", {160000, 171000}),
              "memory-report point=battle-3-left rss_kb=160000 peak_kb=171000");
}

} // namespace
} // namespace quolis
