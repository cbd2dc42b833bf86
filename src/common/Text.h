#pragma once
// Game strings are CP932 (Shift-JIS) byte strings from end to end. Japanese
// text written in the C++ sources is UTF-8 and goes through SJ("...") once;
// CP932 becomes UTF-8 only for fonts, host file names and human-readable output.
#include <string>
#include <string_view>

namespace quolis {

// Converts UTF-8 to CP932. Characters CP932 cannot hold become '?'; `ok`
// (when given) reports whether every character converted.
std::string Utf8ToCp932(std::string_view utf8, bool* ok = nullptr);

// Converts CP932 to UTF-8. Invalid bytes become U+FFFD; `ok` reports them.
std::string Cp932ToUtf8(std::string_view cp932, bool* ok = nullptr);

// True for the first byte of a CP932 double-byte character.
constexpr bool IsSjisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Byte length of the character starting at s[i] (1 or 2; 1 at a lead byte
// that ends the string).
inline std::size_t SjisCharLen(std::string_view s, std::size_t i) {
    if (i + 1 < s.size() && IsSjisLead(static_cast<unsigned char>(s[i]))) {
        return 2;
    }
    return 1;
}

// Longest prefix of at most `maxBytes` bytes that does not split a
// double-byte character.
std::string_view SjisPrefix(std::string_view s, std::size_t maxBytes);

// Folds ASCII letters to lower case; every other byte, including the trail
// bytes of double-byte characters, stays as it is.
std::string AsciiLower(std::string_view s);

// Case-insensitive equality on ASCII letters only, stepping over double-byte
// characters so that a trail byte is never folded.
bool SjisEqualNoCase(std::string_view a, std::string_view b);

} // namespace quolis

// SJ("日本語"): the CP932 form of a UTF-8 literal, converted once at first use.
#define SJ(utf8)                                                                                   \
    ([]() -> const std::string& {                                                                  \
        static const std::string converted = ::quolis::Utf8ToCp932(utf8);                          \
        return converted;                                                                          \
    }())
