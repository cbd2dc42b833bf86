#include "common/Random.h"

#include <algorithm>
#include <cmath>

namespace quolis {

void GameRandom::Reseed() {
    if (calendar_ != nullptr) {
        state_ = static_cast<std::uint32_t>(static_cast<std::uint64_t>(calendar_->Now()));
    }
}

std::int32_t GameRandom::Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<std::int32_t>((state_ >> 16) & 0x7FFFu);
}

std::int32_t TruncToInt(float v) {
    if (!(v > -2147483904.0f && v < 2147483648.0f)) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(v);
}

std::int32_t VaryRoll(GameRandom& random, std::int32_t x, float low, float high) {
    const float xf = static_cast<float>(x);
    const float lo = xf * low;
    const float hi = xf * high;
    const std::int64_t l = TruncToInt(lo);
    const std::int64_t h = TruncToInt(hi);
    const std::int64_t span = std::max(h, l) - l + 1;
    const std::int64_t g = l + random.Next() % span;
    if (static_cast<float>(g) < lo) {
        return static_cast<std::int32_t>(l);
    }
    if (static_cast<float>(g) > hi) {
        return static_cast<std::int32_t>(h);
    }
    return static_cast<std::int32_t>(g);
}

} // namespace quolis
