#include "common/Stopwatch.h"

namespace quolis {
namespace {

struct StopwatchWorld {
    Clock* clock = nullptr;
    int frozen = 0;
    CStopwatch* head = nullptr;
    // The clock's 32-bit milliseconds extended to 64 bits.
    std::uint32_t lastRaw = 0;
    std::int64_t extended = 0;
    bool haveRaw = false;
};

StopwatchWorld& World() {
    static StopwatchWorld w;
    return w;
}

Clock& DefaultClock() {
    static SteadyClock clock;
    return clock;
}

} // namespace

CStopwatch::CStopwatch() {
    StopwatchWorld& w = World();
    next_ = w.head;
    if (next_ != nullptr) {
        next_->prev_ = this;
    }
    w.head = this;
    MarkStart();
}

CStopwatch::~CStopwatch() {
    StopwatchWorld& w = World();
    if (prev_ != nullptr) {
        prev_->next_ = next_;
    } else {
        w.head = next_;
    }
    if (next_ != nullptr) {
        next_->prev_ = prev_;
    }
}

void CStopwatch::SetClock(Clock* clock) {
    StopwatchWorld& w = World();
    w.clock = clock;
    w.haveRaw = false;
}

Clock& CStopwatch::GetClock() {
    StopwatchWorld& w = World();
    return w.clock != nullptr ? *w.clock : DefaultClock();
}

std::int64_t CStopwatch::ClockMs() {
    StopwatchWorld& w = World();
    std::uint32_t raw = GetClock().NowMs();
    if (!w.haveRaw) {
        w.haveRaw = true;
        w.lastRaw = raw;
        w.extended = raw;
        return w.extended;
    }
    // Unsigned difference: survives the wrap of the 32-bit tick count. A
    // clock set backwards (tests) moves the extended time back as well.
    std::int32_t delta = static_cast<std::int32_t>(raw - w.lastRaw);
    w.lastRaw = raw;
    w.extended += delta;
    return w.extended;
}

bool CStopwatch::TimeFrozen() {
    return World().frozen != 0;
}
void CStopwatch::SetTimeFrozen(bool frozen) {
    World().frozen = frozen ? 1 : 0;
}

void CStopwatch::PauseAll() {
    StopwatchWorld& w = World();
    w.frozen = 1;
    for (CStopwatch* s = w.head; s != nullptr; s = s->next_) {
        s->Pause();
    }
}

void CStopwatch::ResumeAll() {
    StopwatchWorld& w = World();
    w.frozen = 0;
    for (CStopwatch* s = w.head; s != nullptr; s = s->next_) {
        s->Resume();
    }
}

void CStopwatch::MarkStart() {
    now_ = ClockMs();
    start_ = now_;
    last_ = now_;
}

std::int64_t CStopwatch::Sample() {
    if (!TimeFrozen() && !paused_) {
        now_ = ClockMs();
    }
    return now_;
}

void CStopwatch::SetMark() {
    if (!TimeFrozen()) {
        last_ = now_;
    }
}

void CStopwatch::Pause() {
    if (!pausable_ || paused_) {
        return;
    }
    paused_ = 1;
    savedStartSpan_ = now_ - start_;
    savedLastSpan_ = now_ - last_;
}

void CStopwatch::Resume() {
    if (!pausable_ || !paused_) {
        return;
    }
    paused_ = 0;
    now_ = ClockMs();
    start_ = now_ - savedStartSpan_;
    last_ = now_ - savedLastSpan_;
}

} // namespace quolis
