#include "data/DatArchive.h"
#include "ArchiveTestUtil.h"
#include "common/Text.h"
#include "data/DatArchiveWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace quolis {
namespace {

using testing_util::ScratchRoot;

const char* kData = "GameData\\Data\\Data.Dat";

std::string Enc(std::string s) {
    DataCodec::Encode(s);
    return s;
}

// An archive in the documented layout, built by hand here rather than by the
// library's own writer.
std::string HandArchive(const std::string& data, const std::string& directory) {
    std::string header = Enc(std::to_string(18 + data.size()));
    header.resize(18, '\0');
    return header + data + directory;
}

std::string Pack(const std::vector<ArchiveMemberSource>& members) {
    std::string out;
    EXPECT_TRUE(ComposeArchive(members, out));
    return out;
}

ArchiveMemberSource Text(std::string name, const TokenList& tokens) {
    ArchiveMemberSource m;
    EXPECT_TRUE(TextMember(std::move(name), tokens, m));
    return m;
}

TEST(DatArchiveLookup, HandMadeArchiveIsReadAsDocumented) {
    ScratchRoot root;
    // Key "pelomu4716" shifts positions 0..9 by 0,1,0,3,1,1,0,3,1,2.
    // "hi" is stored "hh"; "Data\X" is stored "D`t^[W"; "18" as "17"; "21" as
    // "20" in the header.
    std::string file = std::string("20") + std::string(16, '\0') + "hh\n" + "D`t^[W 17 1";
    root.Write("GameData/Data/Data.Dat", file);
    CDatArchive reader(false, true);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens(kData, "data\\x", out), S_OK);
    EXPECT_EQ(out, TokenList({"hi"}));

    std::vector<ArchiveEntry> dir;
    ASSERT_EQ(ReadArchiveDirectory(kData, dir), S_OK);
    ASSERT_EQ(dir.size(), 1u);
    EXPECT_EQ(dir[0].name, "Data\\X");
    EXPECT_EQ(dir[0].offset, 18);
    EXPECT_EQ(dir[0].length, 1);
}

TEST(DatArchiveLookup, NamesMatchWithAsciiLettersFoldedOnly) {
    ScratchRoot root;
    // "ア" is 0x83 0x41 and "ャ" is 0x83 0x61: they differ only in a trail byte
    // that looks like 'A'/'a' and must not be folded.
    std::string katakanaA = "\x83\x41";
    std::string katakanaYa = "\x83\x61";
    root.Write("GameData/Data/Data.Dat",
               Pack({Text("Data\\CharaMaster.Dat", {"chara"}), Text("Data\\" + katakanaA, {"a"}),
                     Text("Data\\" + katakanaYa, {"ya"})}));
    for (bool cached : {false, true}) {
        CDatArchive reader(false, true);
        reader.SetDirectoryCache(cached, 0);
        TokenList out;
        ASSERT_EQ(reader.ReadTokens(kData, "data\\charamaster.dat", out), S_OK);
        EXPECT_EQ(out, TokenList({"chara"}));
        ASSERT_EQ(reader.ReadTokens(kData, "DATA\\" + katakanaYa, out), S_OK);
        EXPECT_EQ(out, TokenList({"ya"}));
        ASSERT_EQ(reader.ReadTokens(kData, "data\\" + katakanaA, out), S_OK);
        EXPECT_EQ(out, TokenList({"a"}));
        // Only ASCII letters fold: a full-width letter is another name.
        ASSERT_EQ(reader.ReadTokens(kData, SJ("Ｄata\\CharaMaster.Dat"), out), S_OK);
        EXPECT_TRUE(out.empty());
    }
}

TEST(DatArchiveLookup, FirstOfEqualNamesWins) {
    ScratchRoot root;
    root.Write("GameData/Data/Data.Dat",
               Pack({Text("Data\\A.Dat", {"first"}), Text("data\\a.dat", {"second"}),
                     Text("Data\\A.Dat", {"third"})}));
    for (bool cached : {false, true}) {
        CDatArchive reader(false, true);
        reader.SetDirectoryCache(cached, 0);
        TokenList out;
        ASSERT_EQ(reader.ReadTokens(kData, "DATA\\A.DAT", out), S_OK);
        EXPECT_EQ(out, TokenList({"first"}));
    }
}

TEST(DatArchiveLookup, HeaderWithoutNulIsUsedWhole) {
    ScratchRoot root;
    // 18 digits and no NUL: D = 40. A reader that drops the last byte would
    // find D = 4.
    std::string data = "\r\n" + Enc("x") + "\r\n" + std::string(17, ' ');
    ASSERT_EQ(data.size(), 22u);
    std::string file =
        Enc("000000000000000040") + data + Enc("M") + " " + Enc("20") + " " + Enc("1") + "\r\n";
    ASSERT_EQ(file.find('\0'), std::string::npos);
    root.Write("GameData/Data/Data.Dat", file);
    CDatArchive reader(false, true);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens(kData, "M", out), S_OK);
    EXPECT_EQ(out, TokenList({"x"}));
}

TEST(DatArchiveLookup, DigitFreeHeaderReadsTheWholeFileAsDirectory) {
    ScratchRoot root;
    // D = 0: the directory runs from byte 0, so the header itself is the first
    // name token of the directory.
    std::string name = "ABCDEFGHIJKLMNOPQ"; // 17 bytes, then one space = 18
    std::string file = Enc(name) + " " + Enc("23") + " " + Enc("1") + " " + Enc("body");
    ASSERT_EQ(file.substr(23, 4), Enc("body"));
    root.Write("GameData/Data/Data.Dat", file);
    std::vector<ArchiveEntry> dir;
    ASSERT_EQ(ReadArchiveDirectory(kData, dir), S_OK);
    ASSERT_EQ(dir.size(), 1u);
    EXPECT_EQ(dir[0].name, name);
    CDatArchive reader(false, true);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens(kData, name, out), S_OK);
    EXPECT_EQ(out, TokenList({"body"}));
}

TEST(DatArchiveLookup, AbsentMemberIsSuccessWithNothingAndUnopenableArchiveFails) {
    ScratchRoot root;
    root.Write("GameData/Data/Data.Dat", Pack({Text("Data\\A.Dat", {"a"})}));
    CDatArchive reader(false, true);
    TokenList out = {"stale"};
    EXPECT_EQ(reader.ReadTokens(kData, "Data\\B.Dat", out), S_OK);
    EXPECT_TRUE(out.empty());
    ByteBuffer bytes = {1, 2};
    EXPECT_EQ(reader.ReadMember(kData, "Data\\B.Dat", bytes), S_OK);
    EXPECT_TRUE(bytes.empty());

    out = {"stale"};
    EXPECT_EQ(reader.ReadTokens("GameData\\Data\\Missing.Dat", "Data\\A.Dat", out), E_FAIL);
    EXPECT_TRUE(out.empty());
    // A folder is not an archive.
    EXPECT_EQ(reader.ReadTokens("GameData\\Data", "Data\\A.Dat", out), E_FAIL);
    EXPECT_EQ(reader.ReadMember("GameData\\Data", "Data\\A.Dat", bytes), E_FAIL);
    std::vector<ArchiveEntry> dir;
    EXPECT_EQ(ReadArchiveDirectory("GameData\\Nothing.Dat", dir), E_FAIL);
}

TEST(DatArchiveLookup, GarbageAndTruncatedArchivesGiveNothing) {
    ScratchRoot root;
    std::string good = Pack({Text("M", {"one", "two"}), BinaryMember("B", "0123456789")});
    std::vector<std::string> files = {
        "",                                                           // empty
        good.substr(0, 5),                                            // cut inside the header
        good.substr(0, 30),                                           // cut inside the data
        good.substr(0, good.size() - 4),                              // cut inside the directory
        Enc("99999") + std::string(13, '\0') + "x",                   // directory beyond the end
        Enc("-40") + std::string(15, '\0') + "x y z",                 // negative directory offset
        HandArchive("", Enc("M") + " " + Enc("-5") + " " + Enc("3")), // negative offset
        HandArchive("a", Enc("M") + " " + Enc("999999") + " " + Enc("3")),       // offset past end
        HandArchive("ab", Enc("B") + " " + Enc("18") + " " + Enc("2147483647")), // huge length
        HandArchive("ab", Enc("M")), // name without offset and length
        std::string(18, '\xff') + std::string(100, '\x01'),
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        root.Write("GameData/Data/Data.Dat", files[i]);
        for (bool cached : {false, true}) {
            CDatArchive reader(false, true);
            reader.SetDirectoryCache(cached, 0);
            TokenList out;
            EXPECT_EQ(reader.ReadTokens(kData, "M", out), S_OK);
            EXPECT_LE(out.size(), 3u);
            ByteBuffer bytes;
            EXPECT_EQ(reader.ReadMember(kData, "B", bytes), S_OK);
            EXPECT_LE(bytes.size(), files[i].size());
        }
    }
    // A huge length reads only what the file holds.
    root.Write("GameData/Data/Data.Dat", files[8]);
    CDatArchive reader(false, true);
    ByteBuffer bytes;
    ASSERT_EQ(reader.ReadMember(kData, "B", bytes), S_OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 2), "ab");
}

TEST(DatArchiveText, TokenLimitRunsPastTheMemberEnd) {
    ScratchRoot root;
    ArchiveMemberSource a = Text("A", {"a1", "a2"});
    ArchiveMemberSource b = Text("B", {"b1", "b2", "b3"});
    // LongA and ShortA share A's bytes: only the length field differs.
    std::string file = Pack({a, b});
    std::vector<ArchiveEntry> dir;
    root.Write("GameData/Data/Data.Dat", file);
    ASSERT_EQ(ReadArchiveDirectory(kData, dir), S_OK);
    ASSERT_EQ(dir.size(), 2u);
    file += Enc("LongA") + " " + Enc(std::to_string(dir[0].offset)) + " " + Enc("4") + " " +
            Enc("ShortA") + " " + Enc(std::to_string(dir[0].offset)) + " " + Enc("1");
    root.Write("GameData/Data/Data.Dat", file);
    for (bool cached : {false, true}) {
        CDatArchive reader(false, true);
        reader.SetDirectoryCache(cached, 0);
        TokenList out;
        ASSERT_EQ(reader.ReadTokens(kData, "A", out), S_OK);
        EXPECT_EQ(out, TokenList({"a1", "a2"}));
        ASSERT_EQ(reader.ReadTokens(kData, "LongA", out), S_OK);
        EXPECT_EQ(out, TokenList({"a1", "a2", "b1", "b2"}));
        ASSERT_EQ(reader.ReadTokens(kData, "ShortA", out), S_OK);
        EXPECT_EQ(out, TokenList({"a1"}));
    }
}

TEST(DatArchiveText, MembersAreNotSearchedForComments) {
    ScratchRoot root;
    root.Write("GameData/Data/Data.Dat", Pack({Text("M", {"/*", "x", "*/", "y"})}));
    CDatArchive reader(false, true);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens(kData, "M", out), S_OK);
    EXPECT_EQ(out, TokenList({"/*", "x", "*/", "y"}));
}

TEST(DatArchiveText, ScrambledArchiveReaderAppliesTheENameToMembers) {
    ScratchRoot root;
    root.Write("GameData/Data/Data.Dat",
               Pack({Text("Save1.Dat", {"plain"}), Text("Save1E.Dat", {"secure"})}));
    CDatArchive reader(true, true);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens(kData, "Save1.Dat", out), S_OK);
    EXPECT_EQ(out, TokenList({"secure"}));
}

TEST(DatArchivePlain, CommentsAreRemovedAndFullWidthSpaceStaysInsideTokens) {
    ScratchRoot root;
    std::string text = "/* a b */ c\r\n/*a b*/ d " + SJ("赤　青") + "\t*/ /* x\n";
    root.Write("GameData/Ini/Plain.ini", text);
    CDatArchive reader(false, false);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens("", "GameData\\Ini\\Plain.ini", out), S_OK);
    EXPECT_EQ(out, TokenList({"c", "/*a", "b*/", "d", SJ("赤　青"), "*/"}));
}

TEST(DatArchivePlain, StartOffsetAndTokenLimitApplyBeforeCommentRemoval) {
    ScratchRoot root;
    root.Write("GameData/p.txt", "skip one /* two */ three four");
    CDatArchive reader(false, false);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens("", "GameData\\p.txt", out, 5, 4), S_OK);
    EXPECT_EQ(out, TokenList({"one"}));
    ASSERT_EQ(reader.ReadTokens("", "GameData\\p.txt", out, 6, -1), S_OK);
    EXPECT_EQ(out, TokenList({"ne", "three", "four"}));
    ASSERT_EQ(reader.ReadTokens("", "GameData\\p.txt", out, 1000, -1), S_OK);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(reader.ReadTokens("", "GameData\\absent.txt", out), E_FAIL);
}

TEST(DatArchivePlain, TokensAcrossTheReadBufferAreWholeAndCountedOnce) {
    // The file is read 64 KiB at a time: tokens cut by a read's end, one that
    // ends exactly at it, and one longer than a whole read.
    ScratchRoot root;
    const std::size_t kRead = 64 * 1024;
    std::string text(kRead - 3, ' ');
    text += "ABCDEF "; // across the first boundary
    text.resize(2 * kRead - 4, ' ');
    text += "WXYZ"; // ends exactly at the second boundary
    text += " tail ";
    const std::string huge(kRead + 10, 'h');
    text += huge + " end";
    root.Write("GameData/big.txt", text);
    CDatArchive reader(false, false);
    TokenList out;
    ASSERT_EQ(reader.ReadTokens("", "GameData\\big.txt", out), S_OK);
    EXPECT_EQ(out, TokenList({"ABCDEF", "WXYZ", "tail", huge, "end"}));
    ASSERT_EQ(reader.ReadTokens("", "GameData\\big.txt", out, 0, 2), S_OK);
    EXPECT_EQ(out, TokenList({"ABCDEF", "WXYZ"}));
    ASSERT_EQ(reader.ReadTokens("", "GameData\\big.txt", out, 0, 4), S_OK);
    EXPECT_EQ(out, TokenList({"ABCDEF", "WXYZ", "tail", huge}));
}

TEST(DatArchivePlain, ScrambledFilesUseTheENameAndRoundTrip) {
    ScratchRoot root;
    std::filesystem::create_directories(root.Host("GameData/Save"));
    CDatArchive secure(true, false);
    TokenList tokens = {SJ("／／セーブ"), "123", "-7", SJ("名前　あり")};
    const TokenList original = tokens;
    ASSERT_EQ(secure.WriteTokens("GameData\\Save\\Save3.Dat", tokens), S_OK);
    // The caller's list holds the encoded form afterwards.
    TokenList encoded = original;
    DataCodec::Encode(encoded);
    EXPECT_EQ(tokens, encoded);
    EXPECT_TRUE(root.Exists("GameData/Save/Save3E.Dat"));
    EXPECT_FALSE(root.Exists("GameData/Save/Save3.Dat"));

    TokenList back;
    ASSERT_EQ(secure.ReadTokens("", "GameData\\Save\\Save3.Dat", back), S_OK);
    EXPECT_EQ(back, original);
    // The plain reader sees the stored (scrambled) form.
    CDatArchive plain(false, false);
    ASSERT_EQ(plain.ReadTokens("", "GameData\\Save\\Save3E.Dat", back), S_OK);
    EXPECT_EQ(back, encoded);
}

TEST(DatArchivePlain, WritesOneTokenPerLineWithCrLfAndReplacesTheWholeFile) {
    ScratchRoot root;
    root.Write("GameData/Ini/User.ini", "an old and much longer content that must disappear");
    CDatArchive plain(false, false);
    TokenList tokens = {"//SettingStart", "1", "//SettingEnd"};
    ASSERT_EQ(plain.WriteTokens("GameData\\Ini\\User.ini", tokens), S_OK);
    EXPECT_EQ(root.Read("GameData/Ini/User.ini"), "//SettingStart\r\n1\r\n//SettingEnd\r\n");
    // No temporary file is left beside it.
    EXPECT_EQ(root.FileCount("GameData/Ini"), 1u);

    // Without truncation the text goes in at the start offset.
    TokenList more = {"X"};
    ASSERT_EQ(plain.WriteTokens("GameData\\Ini\\User.ini", more, 2, std::ios_base::in), S_OK);
    EXPECT_EQ(root.Read("GameData/Ini/User.ini"), "//X\r\ntingStart\r\n1\r\n//SettingEnd\r\n");
    ASSERT_EQ(plain.WriteTokens("GameData\\Ini\\User.ini", more, 0, std::ios_base::app), S_OK);
    EXPECT_EQ(root.Read("GameData/Ini/User.ini"), "//X\r\ntingStart\r\n1\r\n//SettingEnd\r\nX\r\n");
    // Input mode needs an existing file; binary mode ends lines with LF only.
    EXPECT_EQ(plain.WriteTokens("GameData\\Ini\\None.ini", more, 0, std::ios_base::in), E_FAIL);
    EXPECT_EQ(plain.WriteTokens("GameData\\Ini\\Far.ini", more, 1L << 40), E_FAIL);
    EXPECT_EQ(plain.WriteTokens("GameData\\Ini\\Far.ini", more, -1), E_FAIL);
    EXPECT_FALSE(root.Exists("GameData/Ini/Far.ini"));
    EXPECT_FALSE(root.Exists("GameData/Ini/None.ini"));
    ASSERT_EQ(plain.WriteTokens("GameData\\Ini\\Bin.ini", more, 0, std::ios_base::binary), S_OK);
    EXPECT_EQ(root.Read("GameData/Ini/Bin.ini"), "X\n");
}

TEST(DatArchivePlain, AFailedWriteLeavesNothingBehind) {
    ScratchRoot root;
    CDatArchive plain(false, false);
    TokenList tokens = {"a"};
    EXPECT_EQ(plain.WriteTokens("GameData\\NoSuchFolder\\x.Dat", tokens), E_FAIL);
    EXPECT_FALSE(root.Exists("GameData/NoSuchFolder"));
    // A folder in the way is not replaced.
    std::filesystem::create_directories(root.Host("GameData/Busy.Dat"));
    root.Write("GameData/Busy.Dat/keep", "k");
    EXPECT_EQ(plain.WriteTokens("GameData\\Busy.Dat", tokens), E_FAIL);
    EXPECT_EQ(root.Read("GameData/Busy.Dat/keep"), "k");
    EXPECT_EQ(root.FileCount("GameData"), 1u);
}

TEST(DatArchivePlain, TokensThatWouldNotReadBackAreRefusedAndTheOldFileKept) {
    ScratchRoot root;
    root.Write("GameData/Save/Save1E.Dat", "old");
    CDatArchive secure(true, false);
    // '!' at position 1 is stored as a space.
    TokenList tokens = {"ok", "a!"};
    EXPECT_EQ(secure.WriteTokens("GameData\\Save\\Save1.Dat", tokens), E_FAIL);
    EXPECT_EQ(root.Read("GameData/Save/Save1E.Dat"), "old");
    CDatArchive plain(false, false);
    // "/+" is stored as "/*", which the reader would take for a comment.
    TokenList slashPlus = {"/+", "x", "*/"};
    EXPECT_EQ(secure.WriteTokens("GameData\\Save\\Save1.Dat", slashPlus), E_FAIL);
    for (TokenList bad :
         {TokenList{"a", ""}, TokenList{"a b"}, TokenList{"x\ty"}, TokenList{"/*", "c", "*/"}}) {
        EXPECT_EQ(plain.WriteTokens("GameData\\Save\\Save1E.Dat", bad), E_FAIL);
    }
    EXPECT_EQ(root.Read("GameData/Save/Save1E.Dat"), "old");
    EXPECT_EQ(root.FileCount("GameData/Save"), 1u);
}

TEST(DatArchiveBinary, ReadMemberGivesTheExactBytes) {
    ScratchRoot root;
    std::string wav("RIFF\0\x01 \r\n\t\xff\x80", 12);
    root.Write("GameData/SE/SE.Dat",
               Pack({BinaryMember("SE\\a.wav", wav), BinaryMember("SE\\empty.wav", "")}));
    CDatArchive reader(false, true);
    ByteBuffer bytes;
    ASSERT_EQ(reader.ReadMember("GameData\\SE\\SE.Dat", "se\\A.WAV", bytes), S_OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), wav);
    ASSERT_EQ(reader.ReadMember("GameData\\SE\\SE.Dat", "SE\\empty.wav", bytes), S_OK);
    EXPECT_TRUE(bytes.empty());
    // Plain mode reads the loose file.
    root.Write("GameData/SE/loose.wav", "LOOSE");
    CDatArchive loose(false, false);
    ASSERT_EQ(loose.ReadMember("", "GameData\\SE\\loose.wav", bytes), S_OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "LOOSE");
    EXPECT_EQ(loose.ReadMember("", "GameData\\SE\\none.wav", bytes), E_FAIL);
}

TEST(DatArchiveBinary, ExtractionWritesBesideTheArchiveAndDeletes) {
    ScratchRoot root;
    root.Write("GameData/SE/SE.Dat", Pack({BinaryMember("SE\\x.wav", "WAVE")}));
    CDatArchive reader(false, true);
    ASSERT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", "SE\\x.wav"), S_OK);
    EXPECT_EQ(reader.ExtractedPath(), "GameData\\SE\\x.wav");
    EXPECT_EQ(root.Read("GameData/SE/x.wav"), "WAVE");
    EXPECT_EQ(reader.DeleteExtracted(), S_OK);
    EXPECT_FALSE(root.Exists("GameData/SE/x.wav"));
    EXPECT_EQ(reader.ExtractedPath(), "");

    // An absent member gives a zero-byte file.
    ASSERT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", "SE\\none.wav"), S_OK);
    EXPECT_TRUE(root.Exists("GameData/SE/none.wav"));
    EXPECT_EQ(root.Read("GameData/SE/none.wav"), "");
    // A failed deletion still forgets the path.
    std::filesystem::remove(root.Host("GameData/SE/none.wav"));
    EXPECT_EQ(reader.DeleteExtracted(), S_OK);
    EXPECT_EQ(reader.ExtractedPath(), "");
}

TEST(DatArchiveBinary, ExtractionNeverWritesOutsideTheArchiveFolder) {
    ScratchRoot root;
    std::string hyou = SJ("表"); // 0x95 0x5C: its trail byte is a backslash
    ASSERT_EQ(hyou[1], '\\');
    std::string archive =
        Pack({BinaryMember("..\\..\\up.wav", "U"), BinaryMember("../../sl.wav", "S"),
              BinaryMember("..", "D"), BinaryMember("SE\\SE.Dat", "SELF"),
              BinaryMember("SE\\" + hyou + ".wav", "H")});
    root.Write("GameData/SE/SE.Dat", archive);
    CDatArchive reader(false, true);
    ASSERT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", "..\\..\\up.wav"), S_OK);
    EXPECT_TRUE(root.Exists("GameData/SE/up.wav"));
    ASSERT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", "../../sl.wav"), S_OK);
    EXPECT_TRUE(root.Exists("GameData/SE/sl.wav"));
    EXPECT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", ".."), E_FAIL);
    // A member named like the archive must not overwrite it.
    EXPECT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", "SE\\SE.Dat"), E_FAIL);
    EXPECT_EQ(root.Read("GameData/SE/SE.Dat"), archive);
    // The trail byte 0x5C is not a folder separator.
    ASSERT_EQ(reader.ExtractMember("GameData\\SE\\SE.Dat", "SE\\" + hyou + ".wav"), S_OK);
    EXPECT_EQ(root.Read("GameData/SE/表.wav"), "H");
    EXPECT_EQ(reader.ExtractedPath(), "GameData\\SE\\" + hyou + ".wav");
    EXPECT_EQ(root.FileCount(""), 1u); // only GameData at the top
}

TEST(DatArchiveCache, CachedAndUncachedReadersAgreeEverywhere) {
    ScratchRoot root;
    std::vector<ArchiveMemberSource> members;
    for (int i = 0; i < 60; ++i) {
        std::string name = "Data\\M" + std::to_string(i % 45) + ".Dat";
        members.push_back(Text(name, {"t" + std::to_string(i), std::to_string(i * 7)}));
        if (i % 9 == 0) {
            members.back().length = 5; // runs on into the next members
        }
    }
    root.Write("GameData/Data/Data.Dat", Pack(members));
    CDatArchive cached(false, true);
    cached.SetDirectoryCache(true, 0); // trust even a file written just now
    CDatArchive uncached(false, true);
    uncached.SetDirectoryCache(false);
    EXPECT_TRUE(cached.DirectoryCacheEnabled());
    EXPECT_FALSE(uncached.DirectoryCacheEnabled());
    for (int i = 0; i < 50; ++i) {
        for (std::string name :
             {"Data\\M" + std::to_string(i) + ".Dat", "DATA\\m" + std::to_string(i) + ".dat"}) {
            TokenList a, b;
            ByteBuffer x, y;
            EXPECT_EQ(cached.ReadTokens(kData, name, a), uncached.ReadTokens(kData, name, b));
            EXPECT_EQ(a, b) << name;
            EXPECT_EQ(cached.ReadMember(kData, name, x), uncached.ReadMember(kData, name, y));
            EXPECT_EQ(x, y) << name;
        }
    }
}

TEST(DatArchiveCache, ARewrittenArchiveIsReadAgain) {
    ScratchRoot root;
    CDatArchive reader(false, true);
    TokenList out;
    root.Write("GameData/Data/Data.Dat", Pack({Text("A", {"one"})}));
    ASSERT_EQ(reader.ReadTokens(kData, "A", out), S_OK);
    EXPECT_EQ(out, TokenList({"one"}));
    // Same size, same path, other contents and member order.
    std::string second = Pack({Text("B", {"two"})});
    ASSERT_TRUE(WriteHostFileAtomic(root.Host("GameData/Data/Data.Dat"), second));
    ASSERT_EQ(reader.ReadTokens(kData, "A", out), S_OK);
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(reader.ReadTokens(kData, "B", out), S_OK);
    EXPECT_EQ(out, TokenList({"two"}));
    // Rewritten in place (same inode) with the same size.
    root.Write("GameData/Data/Data.Dat", Pack({Text("C", {"six"})}));
    ASSERT_EQ(reader.ReadTokens(kData, "C", out), S_OK);
    EXPECT_EQ(out, TokenList({"six"}));
    std::filesystem::remove(root.Host("GameData/Data/Data.Dat"));
    EXPECT_EQ(reader.ReadTokens(kData, "C", out), E_FAIL);
}

// A cache that trusts fresh files (settle time 0) must still tell a rewrite
// of the same size whose modification time was set back to the old one: by
// the change time when written in place, by the inode when replaced by
// rename. The pause lets the file system's timestamp clock move on, as it
// would between two real writes.
TEST(DatArchiveCache, SameSizeRewritesWithTheOldModificationTimeAreReadFresh) {
    ScratchRoot root;
    CDatArchive reader(false, true);
    reader.SetDirectoryCache(true, 0);
    const std::string path = root.Host("GameData/Data/Data.Dat");
    const std::string first = Pack({Text("A", {"one"})});
    const std::string inPlace = Pack({Text("C", {"six"})});
    const std::string renamed = Pack({Text("E", {"ten"})});
    ASSERT_EQ(first.size(), inPlace.size());
    ASSERT_EQ(first.size(), renamed.size());
    TokenList out;
    root.Write("GameData/Data/Data.Dat", first);
    ASSERT_EQ(reader.ReadTokens(kData, "A", out), S_OK);
    ASSERT_EQ(out, TokenList({"one"}));
    const auto mtime = std::filesystem::last_write_time(path);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    root.Write("GameData/Data/Data.Dat", inPlace);
    std::filesystem::last_write_time(path, mtime);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_ino, before.st_ino) << "written in place";
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    ASSERT_EQ(reader.ReadTokens(kData, "A", out), S_OK);
    EXPECT_TRUE(out.empty()) << "the old directory was used";
    ASSERT_EQ(reader.ReadTokens(kData, "C", out), S_OK);
    EXPECT_EQ(out, TokenList({"six"}));

    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::string temp = path + ".new";
    root.Write("GameData/Data/Data.Dat.new", renamed);
    std::filesystem::last_write_time(temp, mtime);
    std::filesystem::rename(temp, path);
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_NE(after.st_ino, before.st_ino) << "replaced by rename";
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    ASSERT_EQ(reader.ReadTokens(kData, "C", out), S_OK);
    EXPECT_TRUE(out.empty()) << "the old directory was used";
    ASSERT_EQ(reader.ReadTokens(kData, "E", out), S_OK);
    EXPECT_EQ(out, TokenList({"ten"}));
}

TEST(DatArchiveCache, ACacheThatTrustsFreshFilesStillSeesReplacedArchives) {
    ScratchRoot root;
    CDatArchive reader(false, true);
    reader.SetDirectoryCache(true, 0);
    TokenList out;
    root.Write("GameData/Data/Data.Dat", Pack({Text("A", {"one"})}));
    ASSERT_EQ(reader.ReadTokens(kData, "A", out), S_OK);
    EXPECT_EQ(out, TokenList({"one"}));
    // Replaced by rename (another inode) and rewritten with another size.
    ASSERT_TRUE(WriteHostFileAtomic(root.Host("GameData/Data/Data.Dat"), Pack({Text("B", {"2"})})));
    ASSERT_EQ(reader.ReadTokens(kData, "B", out), S_OK);
    EXPECT_EQ(out, TokenList({"2"}));
    root.Write("GameData/Data/Data.Dat", Pack({Text("Longer", {"three"})}));
    ASSERT_EQ(reader.ReadTokens(kData, "longer", out), S_OK);
    EXPECT_EQ(out, TokenList({"three"}));
}

TEST(DatArchiveWriter, RefusesTokensThatCannotBeStoredScrambled) {
    // '!' (0x21) where the shift is 1 and '#' (0x23) where it is 3 would be
    // stored as a space.
    EXPECT_FALSE(CanStoreScrambled("a!"));   // position 1: shift 1
    EXPECT_FALSE(CanStoreScrambled("abc#")); // position 3: shift 3
    EXPECT_TRUE(CanStoreScrambled("ab!"));   // position 2: shift 0
    EXPECT_TRUE(CanStoreScrambled("!a"));    // position 0: shift 0
    EXPECT_FALSE(CanStoreScrambled(""));
    ArchiveMemberSource m;
    std::string bad;
    EXPECT_FALSE(TextMember("M", {"ok", "abc#"}, m, &bad));
    EXPECT_EQ(bad, "abc#");
    std::string out, error;
    EXPECT_FALSE(ComposeArchive({BinaryMember("a!", "x")}, out, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace quolis
