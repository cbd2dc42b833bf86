#pragma once
// The field darkening that special attacks use: the battle display fades the
// floor and scenery out behind the lit creatures and shows its backdrop.
// The creatures only switch it and fade it; the battle implements it.
#include <string>
#include <vector>

namespace quolis {

class FieldDarkening {
public:
    virtual ~FieldDarkening() = default;
    // On: backdrop shown and scrolling; off: hidden.
    virtual void SwitchDarkening(int on) = 0;
    // One step toward `level` (0 dark .. 255 clear), raising when `up` is 1,
    // by `step`; 1 while fading, 0 once at the level.
    virtual int FadeDarkening(int level, int up, int step) = 0;
};

// A darkening that only remembers what it was asked: for tests and viewers.
// Each fade call moves the level by the step at once.
class RecordingDarkening final : public FieldDarkening {
public:
    void SwitchDarkening(int on) override {
        on_ = on;
        log_.push_back(on ? "on" : "off");
    }
    int FadeDarkening(int level, int up, int step) override {
        if (log_.empty() || log_.back() != (up ? "fade up" : "fade down"))
            log_.push_back(up ? "fade up" : "fade down");
        if (up ? level_ >= level : level_ <= level) {
            level_ = level;
            return 0;
        }
        const int s = step > 0 ? step : 1; // a zero step would never arrive
        level_ += up ? s : -s;
        return 1;
    }
    int On() const { return on_; }
    int Level() const { return level_; }
    // "on", "fade down", "fade up", "off" in the order they happened (a run
    // of fade calls in one direction is one entry).
    const std::vector<std::string>& Log() const { return log_; }
    void Clear() { log_.clear(); }

private:
    int on_ = 0;
    int level_ = 255;
    std::vector<std::string> log_;
};

} // namespace quolis
