#include "common/Clock.h"

#include <chrono>

namespace quolis {
namespace {
std::int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

SteadyClock::SteadyClock() : startNs_(SteadyNs()) {}

std::uint32_t SteadyClock::NowMs() {
    return static_cast<std::uint32_t>((SteadyNs() - startNs_) / 1000000);
}

double SteadyClock::NowSeconds() {
    return static_cast<double>(SteadyNs() - startNs_) * 1e-9;
}

std::tm Calendar::Local(std::int64_t epochSeconds) {
    std::time_t t = static_cast<std::time_t>(epochSeconds);
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

std::int64_t SystemCalendar::Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

namespace {

std::tm UtcTime(std::int64_t epochSeconds) {
    std::time_t t = static_cast<std::time_t>(epochSeconds);
    std::tm out{};
    gmtime_r(&t, &out);
    return out;
}

} // namespace

std::tm FixedCalendar::Local(std::int64_t epochSeconds) {
    return UtcTime(epochSeconds);
}

std::tm ClockCalendar::Local(std::int64_t epochSeconds) {
    return UtcTime(epochSeconds);
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace quolis
