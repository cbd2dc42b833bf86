#include "data/Tokens.h"
#include "../support/ScratchDir.h"
#include "common/Text.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(Tokens, SplitAtAsciiWhitespaceOnly) {
    EXPECT_EQ(SplitTokens(" a\tb\r\nc\vd\fe  "), TokenList({"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(SplitTokens("").empty());
    EXPECT_TRUE(SplitTokens(" \r\n\t").empty());
    // The full-width space joins two words into one token.
    EXPECT_EQ(SplitTokens(SJ("赤　青 緑")), TokenList({SJ("赤　青"), SJ("緑")}));
    // NUL and other control bytes are not whitespace.
    EXPECT_EQ(SplitTokens(std::string("a\0b c", 5)), TokenList({std::string("a\0b", 3), "c"}));
}

TEST(Tokens, CommentsAreStandAloneMarksWithoutNesting) {
    TokenList t = SplitTokens("/* a b */ c");
    RemoveComments(t);
    EXPECT_EQ(t, TokenList({"c"}));
    t = SplitTokens("/*a b*/ c");
    RemoveComments(t);
    EXPECT_EQ(t, TokenList({"/*a", "b*/", "c"}));
    // No nesting: the first "*/" ends the comment.
    t = SplitTokens("x /* /* y */ z */ w");
    RemoveComments(t);
    EXPECT_EQ(t, TokenList({"x", "z", "*/", "w"}));
    // A lone "*/" is an ordinary token; an unterminated comment runs to the end.
    t = SplitTokens("*/ k /* never closed");
    RemoveComments(t);
    EXPECT_EQ(t, TokenList({"*/", "k"}));
}

TEST(Tokens, IntegerScanReadsALeadingNumber) {
    std::int32_t v = 99;
    EXPECT_TRUE(ScanInt("0012", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ScanInt("12abc", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ScanInt("-7", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(ScanInt("+8x", v));
    EXPECT_EQ(v, 8);
    EXPECT_TRUE(ScanInt("3.9", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(ScanInt("2147483647", v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(ScanInt("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    // Not a number: the target keeps its value.
    v = 42;
    for (const char* bad : {"", "abc", "-", "+", "--1", ".5", " ", "x12"}) {
        EXPECT_FALSE(ScanInt(bad, v)) << bad;
        EXPECT_EQ(v, 42) << bad;
    }
    EXPECT_FALSE(ScanInt(SJ("１２"), v)); // full-width digits are not digits
    EXPECT_EQ(v, 42);
    // A very long digit run neither hangs nor overflows undefinedly.
    EXPECT_TRUE(ScanInt(std::string(5000, '9'), v));
}

TEST(Tokens, RealScanReadsALeadingNumber) {
    float f = -1.0f;
    EXPECT_TRUE(ScanFloat("3", f));
    EXPECT_FLOAT_EQ(f, 3.0f);
    EXPECT_TRUE(ScanFloat("0.25abc", f));
    EXPECT_FLOAT_EQ(f, 0.25f);
    EXPECT_TRUE(ScanFloat("-1.5", f));
    EXPECT_FLOAT_EQ(f, -1.5f);
    EXPECT_TRUE(ScanFloat(".5", f));
    EXPECT_FLOAT_EQ(f, 0.5f);
    EXPECT_TRUE(ScanFloat("+2.", f));
    EXPECT_FLOAT_EQ(f, 2.0f);
    EXPECT_TRUE(ScanFloat("1e2", f));
    EXPECT_FLOAT_EQ(f, 100.0f);
    EXPECT_TRUE(ScanFloat("7e", f));
    EXPECT_FLOAT_EQ(f, 7.0f);
    EXPECT_TRUE(ScanFloat("0x10", f));
    EXPECT_FLOAT_EQ(f, 0.0f);
    EXPECT_TRUE(ScanFloat("1e999", f));
    EXPECT_TRUE(std::isinf(f));
    EXPECT_TRUE(ScanFloat("-1e-999", f));
    EXPECT_EQ(f, 0.0f);
    f = 4.0f;
    for (const char* bad : {"", ".", "-.", "abc", "inf", "nan", "e5", "-x"}) {
        EXPECT_FALSE(ScanFloat(bad, f)) << bad;
        EXPECT_FLOAT_EQ(f, 4.0f) << bad;
    }
}

TEST(Tokens, RealScanIgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    // A comma locale would read "1.5" as 1 through the C library.
    bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                    std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    float f = 0.0f;
    EXPECT_TRUE(ScanFloat("1.5", f));
    EXPECT_FLOAT_EQ(f, 1.5f);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!switched) {
        QUOLIS_SKIP_UNLESS_CI("no comma-decimal locale (de_DE.UTF-8 or fr_FR.UTF-8) installed");
    }
}

TEST(Tokens, FindAndCursorNeverReadPastTheEnd) {
    TokenList t = {SJ("／／ＨＰ"), "10", "x", "20", SJ("／／ＨＰ終わり")};
    EXPECT_EQ(FindToken(t, SJ("／／ＨＰ")), 0u);
    EXPECT_EQ(FindToken(t, SJ("／／ＨＰ終わり")), 4u);
    EXPECT_EQ(FindToken(t, "x", 3), std::nullopt);
    EXPECT_EQ(FindToken(t, "x", 100), std::nullopt);

    TokenCursor c(t);
    EXPECT_TRUE(c.SkipPast(SJ("／／ＨＰ")));
    std::int32_t a = 0, b = 5;
    EXPECT_TRUE(c.NextInt(a));
    EXPECT_EQ(a, 10);
    EXPECT_FALSE(c.NextInt(b)); // "x" is consumed, b unchanged
    EXPECT_EQ(b, 5);
    EXPECT_EQ(c.Peek(), "20");
    EXPECT_FALSE(c.SkipPast("missing"));
    EXPECT_TRUE(c.AtEnd());
    EXPECT_EQ(c.Next(), "");
    EXPECT_EQ(c.Peek(), "");
    float f = 1.0f;
    EXPECT_FALSE(c.NextFloat(f));
    EXPECT_FALSE(c.NextInt(a));
    EXPECT_EQ(c.Pos(), t.size());
    c.Seek(1000);
    EXPECT_TRUE(c.AtEnd());
    EXPECT_EQ(c.Next(), "");

    TokenList empty;
    TokenCursor e(empty);
    EXPECT_TRUE(e.AtEnd());
    EXPECT_FALSE(e.SkipPast("x"));
}

TEST(Tokens, SectionsListsAndRows) {
    TokenList t = {"x", SJ("／／ＨＰ"), "1", "2", SJ("／／ＨＰ終わり"), SJ("／／ＭＰ"), "3"};
    auto hp = FindSection(t, SJ("ＨＰ"));
    ASSERT_TRUE(hp.has_value());
    EXPECT_EQ(hp->begin, 2u);
    EXPECT_EQ(hp->end, 4u);
    // A missing end mark runs the section to the end of the list.
    auto mp = FindSection(t, SJ("ＭＰ"));
    ASSERT_TRUE(mp.has_value());
    EXPECT_EQ(mp->begin, 6u);
    EXPECT_EQ(mp->end, t.size());
    EXPECT_FALSE(FindSection(t, SJ("ＡＰ")).has_value());
    EXPECT_FALSE(FindSection(t, SJ("ＨＰ"), 2).has_value());

    // Group: names, "／／", values, "／／".
    TokenList g = {"A", "B", SJ("／／"), "10", "20", SJ("／／"), "C"};
    TokenCursor c(g);
    TokenList names, values;
    EXPECT_TRUE(c.ReadUntil(SJ("／／"), names));
    EXPECT_EQ(names, TokenList({"A", "B"}));
    EXPECT_TRUE(c.ReadUntil(SJ("／／"), values));
    EXPECT_EQ(values, TokenList({"10", "20"}));
    EXPECT_FALSE(c.ReadUntil(SJ("／／"), values));
    EXPECT_EQ(values, TokenList({"C"}));
    EXPECT_TRUE(c.AtEnd());

    // Flat rows of three; an incomplete last row is left alone.
    TokenList r = {"a", "1", "2", "b", "3"};
    TokenCursor rc(r);
    std::vector<std::string_view> row;
    EXPECT_TRUE(rc.NextRow(3, row));
    EXPECT_EQ(row, (std::vector<std::string_view>{"a", "1", "2"}));
    EXPECT_FALSE(rc.NextRow(3, row));
    EXPECT_TRUE(row.empty());
    EXPECT_EQ(rc.Pos(), 3u);
    EXPECT_TRUE(rc.NextRow(2, row));
    EXPECT_FALSE(rc.NextRow(1, row));
}

} // namespace
} // namespace quolis
