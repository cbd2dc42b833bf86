#pragma once
// The characters the window menu, the key configuration window and the
// message boxes show. Their font atlas holds only these glyphs: rasterising
// every Japanese glyph the font has would cost most of a second at every
// start. Texts are noted when they become known (the fixed ones at start,
// a message box's text when it opens); a new character marks the set changed
// so that the atlas is rebuilt before the next frame is drawn.
#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

namespace quolis {

class UiGlyphs {
public:
    // Adds the characters of a UTF-8 text (malformed bytes are skipped).
    // True when one of them was not in the set yet.
    bool Note(std::string_view utf8);
    bool Contains(std::uint32_t codePoint) const { return points_.count(codePoint) != 0; }
    std::size_t Size() const { return points_.size(); }
    // Whether characters were added since the last TakeChanged.
    bool Changed() const { return changed_; }
    bool TakeChanged() {
        bool c = changed_;
        changed_ = false;
        return c;
    }
    // Inclusive ranges [first, last, first, last, …, 0] of the set, adjacent
    // characters merged, limited to the basic plane (what the atlas takes).
    std::vector<std::uint16_t> Ranges() const;

private:
    std::set<std::uint32_t> points_;
    bool changed_ = false;
};

// Decodes one UTF-8 character at `i`; returns the code point and advances
// `i`, or returns 0xFFFFFFFF and skips one byte when the bytes are malformed.
std::uint32_t DecodeUtf8(std::string_view text, std::size_t& i);

} // namespace quolis
