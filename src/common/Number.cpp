#include "common/Number.h"

#include <cstdint>

namespace quolis {

std::from_chars_result FloatFromChars(const char* first, const char* last, float& out) {
    // Powers of ten a float holds exactly (5^10 < 2^24).
    static constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr std::uint32_t kExactLimit = 1u << 24; // every integer up to it is a float
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) {
        ++p;
    }
    // Up to 19 digits fit a 64-bit integer whatever they are.
    std::uint64_t digits = 0;
    auto readDigits = [&]() {
        const char* begin = p;
        const char* end = last - p > 20 ? p + 20 : last;
        for (; p != end; ++p) {
            const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
            if (d > 9) {
                break;
            }
            digits = digits * 10 + d;
        }
        return p - begin;
    };
    const auto whole = readDigits();
    std::ptrdiff_t places = 0;
    if (p != last && *p == '.') {
        ++p;
        places = readDigits();
    }
    // No digits, an exponent, too many digits or places, or a value past the
    // exact integers: the library reads it.
    if (whole + places == 0 || whole + places > 19 || places > 10 || digits > kExactLimit ||
        (p != last && (*p == 'e' || *p == 'E' || (*p >= '0' && *p <= '9')))) {
        return std::from_chars(first, last, out, std::chars_format::general);
    }
    // Both operands are exact, so the one rounding of the division is the
    // correctly rounded value, as std::from_chars gives.
    float v = static_cast<float>(digits) / kPow10[places];
    out = negative ? -v : v;
    return {p, std::errc()};
}

} // namespace quolis
