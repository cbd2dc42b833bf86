#include "platform/UiGlyphs.h"

namespace quolis {

std::uint32_t DecodeUtf8(std::string_view text, std::size_t& i) {
    constexpr std::uint32_t kBad = 0xFFFFFFFFu;
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    std::uint8_t lead = byte(i);
    int length = lead < 0x80           ? 1
                 : (lead >> 5) == 0x6  ? 2
                 : (lead >> 4) == 0xE  ? 3
                 : (lead >> 3) == 0x1E ? 4
                                       : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return kBad;
    }
    std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        std::uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kBad;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    static constexpr std::uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kBad;
    }
    i += length;
    return cp;
}

bool UiGlyphs::Note(std::string_view utf8) {
    bool added = false;
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = DecodeUtf8(utf8, i);
        if (cp == 0xFFFFFFFFu || cp < 0x20) {
            continue;
        }
        if (points_.insert(cp).second) {
            added = true;
        }
    }
    changed_ = changed_ || added;
    return added;
}

std::vector<std::uint16_t> UiGlyphs::Ranges() const {
    std::vector<std::uint16_t> ranges;
    for (std::uint32_t cp : points_) {
        if (cp > 0xFFFF) {
            break;
        }
        auto c = static_cast<std::uint16_t>(cp);
        if (!ranges.empty() && ranges.back() + 1u == c) {
            ranges.back() = c;
        } else {
            ranges.push_back(c);
            ranges.push_back(c);
        }
    }
    ranges.push_back(0);
    return ranges;
}

} // namespace quolis
