#include "data/DatArchive.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(DataCodec, ShiftsByTheLowTwoBitsOfTheKey) {
    ASSERT_EQ(DataCodec::Key(), "pelomu4716");
    // p e l o m u 4 7 1 6 -> 0 1 0 3 1 1 0 3 1 2, repeating every ten bytes.
    std::string s(12, 'A');
    DataCodec::Decode(s);
    EXPECT_EQ(s, "ABADBBADBCAB");
    DataCodec::Encode(s);
    EXPECT_EQ(s, std::string(12, 'A'));
    std::string e = "12345";
    DataCodec::Encode(e);
    EXPECT_EQ(e, "11314");
}

TEST(DataCodec, WrapsModulo256AndKeepsEveryByte) {
    std::string s("\xff\x00\xfe\xfd", 4);
    DataCodec::Decode(s);
    EXPECT_EQ(s, std::string("\xff\x01\xfe\x00", 4));
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<char>(i));
    }
    std::string copy = all;
    DataCodec::Encode(copy);
    EXPECT_NE(copy, all);
    DataCodec::Decode(copy);
    EXPECT_EQ(copy, all);
}

TEST(DataCodec, ListFormsRestartPositionsForEveryToken) {
    TokenList list = {"AA", "AA", ""};
    DataCodec::Decode(list);
    EXPECT_EQ(list, TokenList({"AB", "AB", ""}));
    DataCodec::Encode(list);
    EXPECT_EQ(list, TokenList({"AA", "AA", ""}));
}

TEST(DataCodec, AnotherKeyChangesTheShifts) {
    std::string saved = DataCodec::Key();
    DataCodec::SetKey("CCCCCCCCCC"); // every shift 3
    std::string s = "aa";
    DataCodec::Decode(s);
    EXPECT_EQ(s, "dd");
    DataCodec::SetKey("pel"); // shifts 0 1 0, repeating every three bytes
    s = "AAAAAAA";
    DataCodec::Decode(s);
    EXPECT_EQ(s, "ABAABAA");
    DataCodec::Encode(s);
    EXPECT_EQ(s, "AAAAAAA");
    DataCodec::SetKey(saved);
    s = "aa";
    DataCodec::Decode(s);
    EXPECT_EQ(s, "ab");
}

TEST(DataCodec, ENameReplacesTheFirstDotOnly) {
    EXPECT_EQ(ApplyEName("Save1.Dat"), "Save1E.Dat");
    EXPECT_EQ(ApplyEName("GameData\\Save\\Save3.Dat"), "GameData\\Save\\Save3E.Dat");
    EXPECT_EQ(ApplyEName("a.b.c"), "aE.b.c");
    EXPECT_EQ(ApplyEName("NoDot"), "NoDot");
    EXPECT_EQ(ApplyEName(""), "");
}

} // namespace
} // namespace quolis
