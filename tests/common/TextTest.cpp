#include "common/Text.h"
#include "common/Path.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(Text, RoundTripsJapaneseThroughCp932) {
    bool ok = false;
    std::string sj = Utf8ToCp932("クオーリス　Ver1.00", &ok);
    EXPECT_TRUE(ok);
    // ク is 0x83 0x4E; the full-width space is 0x81 0x40.
    ASSERT_GE(sj.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(sj[0]), 0x83);
    EXPECT_EQ(static_cast<unsigned char>(sj[1]), 0x4E);
    EXPECT_NE(sj.find("\x81\x40"), std::string::npos);
    EXPECT_EQ(Cp932ToUtf8(sj), "クオーリス　Ver1.00");
}

TEST(Text, SectionMarkIsTwoFullWidthSolidi) {
    EXPECT_EQ(SJ("／／"), std::string("\x81\x5E\x81\x5E"));
    // Kanji and kana: 終 8F 49, わ 82 ED, り 82 E8.
    EXPECT_EQ(SJ("終わり"), std::string("\x8F\x49\x82\xED\x82\xE8"));
}

TEST(Text, InvalidInputIsReportedNotDropped) {
    bool ok = true;
    std::string u = Cp932ToUtf8(std::string("A\x81", 2), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(u.substr(0, 1), "A");
    ok = true;
    std::string s = Utf8ToCp932("a\xF0\x9F\x98\x80z", &ok); // an emoji has no CP932 form
    EXPECT_FALSE(ok);
    EXPECT_EQ(s, "a?z");
}

TEST(Text, PrefixNeverSplitsADoubleByteCharacter) {
    std::string s = SJ("あいう"); // six bytes
    EXPECT_EQ(SjisPrefix(s, 3).size(), 2u);
    EXPECT_EQ(SjisPrefix(s, 4).size(), 4u);
    EXPECT_EQ(SjisPrefix("abc", 2), "ab");
}

TEST(Text, CaseFoldingLeavesTrailBytesAlone) {
    // 0x83 0x41 is ア; its trail byte is the letter 'A' in ASCII and must not
    // fold, so ア and 0x83 0x61 (ャ) stay different.
    EXPECT_FALSE(SjisEqualNoCase("\x83\x41", "\x83\x61"));
    EXPECT_TRUE(SjisEqualNoCase("Data\\CharaMaster.Dat", "data\\charamaster.dat"));
    EXPECT_EQ(AsciiLower("AB\x83\x41"
                         "C"),
              "ab\x83\x41"
              "c");
}

TEST(Path, TrailByte5CIsNotAFolderSeparator) {
    // 表 is 0x95 0x5C in CP932: its trail byte is a backslash.
    std::string game = "GameData\\" + SJ("表") + "\\x.bmp";
    EXPECT_EQ(HostRelativePath(game), "GameData/表/x.bmp");
}

TEST(Path, RelativePathsGoUnderTheGameRoot) {
    SetGameRoot("/tmp/root");
    EXPECT_EQ(HostPath("GameData\\Save\\Save1.Dat"), "/tmp/root/GameData/Save/Save1.Dat");
    EXPECT_EQ(HostPath("/abs/x"), "/abs/x");
    SetGameRoot("");
    EXPECT_EQ(HostPath("GameData\\Ini\\UserE.ini"), "GameData/Ini/UserE.ini");
}

} // namespace
} // namespace quolis
