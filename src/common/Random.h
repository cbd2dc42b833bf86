#pragma once
// The game's random numbers: the C runtime's linear congruential generator
// (state * 214013 + 2531011, 15-bit outputs from bits 16..30), reseeded from
// the calendar time in seconds before each use, so draws made within the same
// second repeat.
#include "common/Clock.h"

#include <cstdint>

namespace quolis {

class GameRandom {
public:
    // calendar may be null: Reseed() then keeps the current state.
    explicit GameRandom(Calendar* calendar = nullptr) : calendar_(calendar) {}

    void SetCalendar(Calendar* calendar) { calendar_ = calendar; }
    // The state becomes the calendar time in seconds (low 32 bits).
    void Reseed();
    void Seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t State() const { return state_; }
    // Next output, 0..32767.
    std::int32_t Next();

private:
    Calendar* calendar_;
    std::uint32_t state_ = 1;
};

// A random integer between x * low and x * high (single precision products,
// truncated toward zero); for negative x the range collapses to the upper end.
std::int32_t VaryRoll(GameRandom& random, std::int32_t x, float low, float high);

// Real to integer truncation toward zero as the processor does it: values out
// of the 32-bit range (and NaN) give the "integer indefinite" 0x80000000.
std::int32_t TruncToInt(float v);

} // namespace quolis
