#include "common/Number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace quolis {
namespace {

std::uint32_t Bits(float f) {
    std::uint32_t b = 0;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// The same value (to the bit, so -0 and NaN payloads count), the same end
// and the same error as the library's reading.
void ExpectSameAsLibrary(const std::string& s) {
    const float kUntouched = 12345.f;
    float ours = kUntouched, theirs = kUntouched;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    auto a = FloatFromChars(first, last, ours);
    auto b = std::from_chars(first, last, theirs, std::chars_format::general);
    EXPECT_EQ(a.ec, b.ec) << '"' << s << '"';
    EXPECT_EQ(a.ptr - first, b.ptr - first) << '"' << s << '"';
    EXPECT_EQ(Bits(ours), Bits(theirs)) << '"' << s << "\": " << ours << " / " << theirs;
}

TEST(FloatFromChars, ReadsEdgeFormsAsTheLibraryDoes) {
    const std::vector<std::string> cases = {
        "", "-", ".", "-.", "+1", " 1", "0", "-0", "-0.0", "00000", "1.", ".5", "-.5", "1.2.3",
        "1..2", "12abc", "1e", "1e5", "1E-3", "2.5e+2", "inf", "-nan", "0x10",
        // Precision edges: 2^24 and past it, eight and nine significant
        // digits, ten and eleven places after the point, leading zeros.
        "16777216", "16777217", "16777218", "99999999", "12345678", "123456789", "0.1234567891",
        "0.12345678912", "0.0000000001", "0.00000000001", "0000001.5", "3.4028235", "0.30000001",
        "1.0000001", "1.00000005", "8388608.5", "8388609.5", "0.000001", "-1677.7216", "9.999999",
        "1.1754944", "0.0000011754944"};
    for (const std::string& s : cases) {
        ExpectSameAsLibrary(s);
    }
}

// Random decimals in the forms model files hold, and their neighbours: the
// fast reading must round exactly as the library does.
TEST(FloatFromChars, RandomDecimalsMatchTheLibraryToTheBit) {
    std::mt19937 rng(20261210);
    const char* tails[] = {"", ";", ",", " ", "e", "e2", "x", "."};
    for (int n = 0; n < 200000; ++n) {
        std::string s;
        if (rng() % 4 == 0) {
            s += '-';
        }
        const int whole = static_cast<int>(rng() % 9);
        const int places = static_cast<int>(rng() % 12);
        for (int i = 0; i < whole; ++i) {
            s += static_cast<char>('0' + rng() % 10);
        }
        if (places > 0 || rng() % 2 == 0) {
            s += '.';
        }
        for (int i = 0; i < places; ++i) {
            s += static_cast<char>('0' + rng() % 10);
        }
        s += tails[rng() % (sizeof tails / sizeof tails[0])];
        ExpectSameAsLibrary(s);
        if (HasFailure()) {
            return;
        }
    }
}

} // namespace
} // namespace quolis
