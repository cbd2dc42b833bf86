#include "app/SceneProfile.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

namespace quolis {

namespace {

// The number after "Key:" on its own line ("VmRSS:\t  1234 kB"); -1 when the
// line is not there or holds no number.
long StatusFigure(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != ':') {
            continue;
        }
        std::size_t i = key.size() + 1;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        long value = 0;
        bool digits = false;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
            if (value > (1L << 40)) {
                return -1; // no process holds a petabyte
            }
            value = value * 10 + (line[i] - '0');
            digits = true;
        }
        return digits ? value : -1;
    }
    return -1;
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// Times `work` (wall and thread CPU).
template <class Work> WorkTime Time(Work&& work) {
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = ThreadCpuMs();
    work();
    WorkTime t;
    t.cpuMs = ThreadCpuMs() - cpu0;
    t.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall0).count();
    return t;
}

} // namespace

MemorySample ParseProcStatus(std::string_view text) {
    MemorySample m;
    m.rssKb = StatusFigure(text, "VmRSS");
    m.peakKb = StatusFigure(text, "VmHWM");
    return m;
}

MemorySample SampleMemory() {
    std::ifstream in("/proc/self/status", std::ios::binary);
    if (!in) {
        return {};
    }
    std::stringstream text;
    text << in.rdbuf();
    return ParseProcStatus(text.str());
}

SceneTiming SceneProfiler::Enter(int scene) {
    SceneTiming t;
    t.scene = scene;
    t.leave = Time([&] { app_.LeaveScene(); });
    app_.SetScene(scene, 0, -1);
    app_.SetCycle(0, scene);
    bool built = false, entered = false;
    t.build = Time([&] { built = Succeeded(app_.BuildScene()); });
    t.enter = Time([&] { entered = Succeeded(app_.EnterScene()); });
    t.built = built && entered;
    t.firstFrame = Time([&] { framePass_(); });
    t.memory = SampleMemory();
    return t;
}

void SceneProfiler::Passes(int n) {
    for (int i = 0; i < n; ++i) {
        framePass_();
    }
}

bool SceneProfiler::PassUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit; ++i) {
        if (done()) {
            return true;
        }
        framePass_();
    }
    return done();
}

std::string FormatSceneReport(std::string_view name, const SceneTiming& t) {
    char line[384];
    std::snprintf(line, sizeof line,
                  "scene-report scene=%.*s built=%d leave_ms=%.2f build_ms=%.2f "
                  "build_cpu_ms=%.2f enter_ms=%.2f enter_cpu_ms=%.2f first_frame_ms=%.2f "
                  "rss_kb=%ld peak_kb=%ld",
                  static_cast<int>(name.size()), name.data(), t.built ? 1 : 0, t.leave.wallMs,
                  t.build.wallMs, t.build.cpuMs, t.enter.wallMs, t.enter.cpuMs, t.firstFrame.wallMs,
                  t.memory.rssKb, t.memory.peakKb);
    return line;
}

std::string FormatMemoryReport(std::string_view point, const MemorySample& m) {
    char line[256];
    std::snprintf(line, sizeof line, "memory-report point=%.*s rss_kb=%ld peak_kb=%ld",
                  static_cast<int>(point.size()), point.data(), m.rssKb, m.peakKb);
    return line;
}

} // namespace quolis
