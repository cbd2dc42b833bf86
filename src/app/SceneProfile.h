#pragma once
// The scene profile: how long the application takes to leave one scene,
// build and enter the next, and present its first frame, and how much memory
// the process holds afterwards. The program's --scene-profile mode walks the
// game's scenes with it and prints one line per measurement.
#include "app/GameApp.h"

#include <functional>
#include <string>
#include <string_view>

namespace quolis {

// The process's resident set now and its peak so far, in KiB (-1 when the
// system does not say).
struct MemorySample {
    long rssKb = -1;
    long peakKb = -1;
};

// Reads VmRSS and VmHWM out of the text of /proc/self/status. A line that
// is missing, cut short or not a number leaves its figure at -1.
MemorySample ParseProcStatus(std::string_view text);
// The current process's figures.
MemorySample SampleMemory();

// Wall and CPU time of one piece of work, in milliseconds.
struct WorkTime {
    double wallMs = 0;
    double cpuMs = 0; // the calling thread's
};

struct SceneTiming {
    int scene = -1;
    WorkTime leave, build, enter, firstFrame;
    bool built = false;  // Build and SetUp both succeeded
    MemorySample memory; // after the first frame
};

class SceneProfiler {
public:
    // `framePass` runs one pass of the game loop (step, draw, present).
    SceneProfiler(CGameApp& app, std::function<void()> framePass)
        : app_(app), framePass_(std::move(framePass)) {}

    // Leaves the current scene, builds and enters `scene` at step 0 and runs
    // one frame pass, each timed on its own.
    SceneTiming Enter(int scene);
    // Runs `n` frame passes.
    void Passes(int n);
    // Runs frame passes until `done` holds, at most `limit`; false when the
    // limit was reached first.
    bool PassUntil(const std::function<bool()>& done, int limit);

private:
    CGameApp& app_;
    std::function<void()> framePass_;
};

// "scene-report scene=NAME built=1 leave_ms=… build_ms=… build_cpu_ms=…
//  enter_ms=… enter_cpu_ms=… first_frame_ms=… rss_kb=… peak_kb=…"
std::string FormatSceneReport(std::string_view name, const SceneTiming& t);
// "memory-report point=NAME rss_kb=… peak_kb=…"
std::string FormatMemoryReport(std::string_view point, const MemorySample& m);

} // namespace quolis
