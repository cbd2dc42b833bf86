#include "platform/UiGlyphs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quolis {
namespace {

TEST(UiGlyphs, DecodesUtf8AndSkipsMalformedBytesOneAtATime) {
    const std::string text = "A\xC3\xA9\xE3\x82\xAD\xF0\x9F\x98\x80";
    std::size_t i = 0;
    EXPECT_EQ(DecodeUtf8(text, i), 0x41u);
    EXPECT_EQ(DecodeUtf8(text, i), 0xE9u);
    EXPECT_EQ(DecodeUtf8(text, i), 0x30ADu); // キ
    EXPECT_EQ(DecodeUtf8(text, i), 0x1F600u);
    EXPECT_EQ(i, text.size());

    // A lone continuation byte, a lead byte cut off by the end, an overlong
    // slash and an encoded surrogate: each is one bad byte, and decoding
    // goes on with the next one.
    for (const std::string bad : {"\x80", "\xE3\x82", "\xC0\xAF", "\xED\xA0\x80"}) {
        std::size_t k = 0;
        EXPECT_EQ(DecodeUtf8(bad, k), 0xFFFFFFFFu) << bad.size();
        EXPECT_EQ(k, 1u);
    }
}

TEST(UiGlyphs, RangesMergeNeighboursAndLeaveOutControlsAndAstralCharacters) {
    UiGlyphs glyphs;
    EXPECT_FALSE(glyphs.Changed());
    EXPECT_TRUE(glyphs.Note("cab\n\xF0\x9F\x98\x80キ"));
    EXPECT_TRUE(glyphs.TakeChanged());
    EXPECT_FALSE(glyphs.Changed());
    EXPECT_FALSE(glyphs.Note("abcキ")); // nothing new
    EXPECT_FALSE(glyphs.Changed());
    EXPECT_TRUE(glyphs.Note("ギe")); // ギ follows キ
    EXPECT_TRUE(glyphs.Changed());
    EXPECT_FALSE(glyphs.Contains('\n'));
    EXPECT_EQ(glyphs.Ranges(), (std::vector<std::uint16_t>{'a', 'c', 'e', 'e', 0x30AD, 0x30AE, 0}));
    EXPECT_EQ(glyphs.Size(), 7u); // the emoji is kept, only the atlas leaves it out
}

} // namespace
} // namespace quolis
