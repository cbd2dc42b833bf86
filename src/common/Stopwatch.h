#pragma once
// Stopwatches: milliseconds of the process clock read in seconds through the
// factor 0.001. Every stopwatch joins one process-wide list while it lives, so
// that the battle pause can stop them all at once (PauseAll / ResumeAll); while
// time is frozen no stopwatch samples a new "now" or sets a new mark.
#include "common/Clock.h"

#include <cstdint>

namespace quolis {

class CStopwatch {
public:
    CStopwatch();
    ~CStopwatch();
    CStopwatch(const CStopwatch&) = delete;
    CStopwatch& operator=(const CStopwatch&) = delete;

    // The clock every stopwatch reads (nullptr: the steady clock). Set it
    // before timing anything; tests and fixed-step replays use a ManualClock.
    static void SetClock(Clock* clock);
    static Clock& GetClock();

    // Process-wide freeze: while set, Sample and SetMark change nothing.
    static bool TimeFrozen();
    static void SetTimeFrozen(bool frozen);
    // Freeze time and pause every live stopwatch / thaw and resume them.
    static void PauseAll();
    static void ResumeAll();

    // start := now, last := now (the sample is taken even while frozen, as a
    // restart is an explicit request of the owner).
    void MarkStart();
    // now := the clock (unless time is frozen); returns now in milliseconds.
    std::int64_t Sample();
    // last := now (unless time is frozen).
    void SetMark();
    // (now - start) x factor and (now - last) x factor, from the latest sample.
    float Elapsed() const { return static_cast<float>(now_ - start_) * factor_; }
    float SinceMark() const { return static_cast<float>(now_ - last_) * factor_; }
    // Sample, then the elapsed or since-mark seconds.
    float SampleElapsed() {
        Sample();
        return Elapsed();
    }
    float SampleSinceMark() {
        Sample();
        return SinceMark();
    }

    void Pause();
    void Resume();
    bool Paused() const { return paused_ != 0; }
    void SetPausable(bool pausable) { pausable_ = pausable ? 1 : 0; }

    std::int64_t NowMs() const { return now_; }
    std::int64_t StartMs() const { return start_; }
    std::int64_t MarkMs() const { return last_; }

private:
    static std::int64_t ClockMs();

    std::int64_t savedStartSpan_ = 0;
    std::int64_t savedLastSpan_ = 0;
    int paused_ = 0;
    int pausable_ = 1;
    std::int64_t start_ = 0;
    std::int64_t now_ = 0;
    std::int64_t last_ = 0;
    float factor_ = 0.001f;

    // The process-wide list (intrusive, so joining it never allocates).
    CStopwatch* prev_ = nullptr;
    CStopwatch* next_ = nullptr;
};

} // namespace quolis
