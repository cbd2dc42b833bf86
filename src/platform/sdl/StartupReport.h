#pragma once
// The start-up profile's measurement point. When the environment variable
// QUOLIS_STARTUP_PROFILE holds the CLOCK_MONOTONIC time (nanoseconds) at
// which the profiler started the process, the first presented frame prints
//   startup-report wall_ms=… cpu_ms=… rss_kb=…
// to standard error: the time since that start, the process's CPU time
// (all threads) and its peak resident size so far. The game and the bare
// yardstick program share this, so both are measured at the same point.
// With QUOLIS_STARTUP_EXIT=1 as well the process ends right there, so that a
// profiler's record (callgrind, perf) holds the start-up alone.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace quolis {

class StartupReport {
public:
    StartupReport() {
        const char* start = std::getenv("QUOLIS_STARTUP_PROFILE");
        if (start != nullptr && *start != '\0') {
            startNs_ = std::strtoll(start, nullptr, 10);
        }
    }
    // Call right after a frame was presented; prints once.
    void FramePresented() {
        if (startNs_ <= 0 || done_) {
            return;
        }
        done_ = true;
        timespec now{}, cpu{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        long long nowNs = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        double wallMs = static_cast<double>(nowNs - startNs_) / 1e6;
        double cpuMs =
            static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6;
        std::fprintf(stderr, "startup-report wall_ms=%.2f cpu_ms=%.2f rss_kb=%ld\n", wallMs, cpuMs,
                     PeakRssKb());
        // For profilers (perf, callgrind): stop here, so that the record
        // holds the start-up alone and not the work after the first frame.
        const char* stop = std::getenv("QUOLIS_STARTUP_EXIT");
        if (stop != nullptr && *stop == '1') {
            std::fflush(stderr);
            std::_Exit(0);
        }
    }

private:
    static long PeakRssKb() {
        long kb = -1;
        if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, f) != nullptr) {
                if (std::strncmp(line, "VmHWM:", 6) == 0) {
                    kb = std::strtol(line + 6, nullptr, 10);
                    break;
                }
            }
            std::fclose(f);
        }
        return kb;
    }

    long long startNs_ = 0;
    bool done_ = false;
};

} // namespace quolis
