#pragma once
// All timing goes through Clock (milliseconds) and all calendar time through
// Calendar, so that tests and replays control both.
#include <cstdint>
#include <ctime>

namespace quolis {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
    virtual std::uint32_t NowMs() = 0;
    // High-resolution counter in seconds (the frame pacing timer).
    virtual double NowSeconds() { return NowMs() * 0.001; }
};

// The real clock: std::chrono::steady_clock.
class SteadyClock final : public Clock {
public:
    SteadyClock();
    std::uint32_t NowMs() override;
    double NowSeconds() override;

private:
    std::int64_t startNs_;
};

// A clock that moves only when told to (tests, fixed-step replays).
class ManualClock final : public Clock {
public:
    explicit ManualClock(std::uint32_t startMs = 0) : ms_(startMs) {}
    std::uint32_t NowMs() override { return ms_; }
    double NowSeconds() override { return ms_ * 0.001; }
    void Advance(std::uint32_t ms) { ms_ += ms; }
    void Set(std::uint32_t ms) { ms_ = ms; }

private:
    std::uint32_t ms_;
};

// Calendar time: seconds since the epoch and local broken-down time.
class Calendar {
public:
    virtual ~Calendar() = default;
    virtual std::int64_t Now() = 0;
    virtual std::tm Local(std::int64_t epochSeconds);
};

class SystemCalendar final : public Calendar {
public:
    std::int64_t Now() override;
};

// A calendar that always answers the time it was set to (tests, replays).
// Local time is computed in UTC so results do not depend on the machine.
class FixedCalendar final : public Calendar {
public:
    explicit FixedCalendar(std::int64_t t = 0) : t_(t) {}
    std::int64_t Now() override { return t_; }
    std::tm Local(std::int64_t epochSeconds) override;
    void Set(std::int64_t t) { t_ = t; }
    void Advance(std::int64_t s) { t_ += s; }

private:
    std::int64_t t_;
};

// A calendar that starts at a given second and moves with a clock: a run
// started with a fixed calendar second on a fixed-step clock sees the same
// times, and so draws the same random numbers, every time (--seed).
// Local time is computed in UTC so results do not depend on the machine.
class ClockCalendar final : public Calendar {
public:
    ClockCalendar(std::int64_t startSeconds, Clock& clock)
        : start_(startSeconds), clock_(clock), startMs_(clock.NowMs()) {}
    std::int64_t Now() override {
        return start_ + static_cast<std::int64_t>(clock_.NowMs() - startMs_) / 1000;
    }
    std::tm Local(std::int64_t epochSeconds) override;

private:
    std::int64_t start_;
    Clock& clock_;
    std::uint32_t startMs_;
};

// The processor time used by the calling thread, and a monotonic wall
// clock, in seconds (for profiles; the game's own timing uses Clock).
double ThreadCpuSeconds();
double WallSeconds();

} // namespace quolis
