#include "DatPack.h"
#include "common/Path.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "data/DatArchiveWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quolis {
namespace {

namespace fs = std::filesystem;

class DatPack : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "quolis-datpack-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string P(const std::string& rel) const { return dir_ + "/" + rel; }

    void Write(const std::string& rel, const std::string& bytes) const {
        fs::create_directories(fs::path(P(rel)).parent_path());
        std::ofstream f(P(rel), std::ios::binary | std::ios::trunc);
        f << bytes;
    }
    std::string Read(const std::string& rel) const {
        std::ifstream f(P(rel), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    // Runs datpack; keeps stdout and stderr.
    int Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        int rc = datpack::Run(args, out, err);
        out_ = out.str();
        err_ = err.str();
        return rc;
    }

    std::string dir_;
    std::string out_;
    std::string err_;
};

TEST_F(DatPack, TextPackListTokensAndUnpackRoundTrip) {
    Write("src/Data/CharaMaster.Dat", "／／ＨＰ 10 /* 説明 */ 名前　あり\r\n12abc");
    Write("src/Stage/ステージ.Dat", "a\tb\n");
    Write("src/Empty.Dat", "");
    ASSERT_EQ(Run({"pack", "--text", P("a.Dat"), P("src")}), 0) << err_;
    EXPECT_TRUE(err_.empty());

    ASSERT_EQ(Run({"list", P("a.Dat")}), 0) << err_;
    // Byte order of the CP932 names: "D" < "E" < "S".
    EXPECT_EQ(out_, "Data\\CharaMaster.Dat\t18\t4\nEmpty.Dat\t"
                    "48\t0\nStage\\ステージ.Dat\t50\t2\n");

    ASSERT_EQ(Run({"tokens", P("a.Dat"), "data\\charamaster.dat"}), 0) << err_;
    EXPECT_EQ(out_, "／／ＨＰ\n10\n名前　あり\n12abc\n");

    ASSERT_EQ(Run({"unpack", "--text", P("a.Dat"), P("out")}), 0) << err_;
    EXPECT_EQ(Read("out/Data/CharaMaster.Dat"), "／／ＨＰ\n10\n名前　あり\n12abc\n");
    EXPECT_EQ(Read("out/Stage/ステージ.Dat"), "a\nb\n");
    EXPECT_TRUE(fs::exists(P("out/Empty.Dat")));

    // The game's reader gets the same tokens.
    CDatArchive reader(false, true);
    TokenList tokens;
    ASSERT_EQ(reader.ReadTokens(P("a.Dat"), SJ("Stage\\ステージ.Dat"), tokens), S_OK);
    EXPECT_EQ(tokens, TokenList({"a", "b"}));
}

TEST_F(DatPack, BinaryPackCatAndUnpackKeepEveryByte) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.push_back(static_cast<char>(i));
    }
    Write("src/SE/x.wav", bytes);
    Write("src/SE/y.wav", "Y");
    ASSERT_EQ(Run({"pack", "--binary", P("SE.Dat"), P("src")}), 0) << err_;
    ASSERT_EQ(Run({"cat", P("SE.Dat"), "SE\\X.WAV"}), 0) << err_;
    EXPECT_EQ(out_, bytes);
    ASSERT_EQ(Run({"list", P("SE.Dat")}), 0);
    EXPECT_EQ(out_, "SE\\x.wav\t18\t256\nSE\\y.wav\t276\t1\n");
    ASSERT_EQ(Run({"unpack", "--binary", P("SE.Dat"), P("out")}), 0) << err_;
    EXPECT_EQ(Read("out/SE/x.wav"), bytes);
    EXPECT_EQ(Read("out/SE/y.wav"), "Y");
}

TEST_F(DatPack, PackFailsCleanlyAndLeavesNoArchive) {
    Write("src/ok.Dat", "fine");
    Write("src/bad.Dat", "x a! y"); // '!' at position 1 would be stored as a space
    EXPECT_EQ(Run({"pack", "--text", P("a.Dat"), P("src")}), 1);
    EXPECT_NE(err_.find("a!"), std::string::npos) << err_;
    EXPECT_EQ(err_.back(), '\n');
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(P("a.Dat")));

    // Text that is not valid UTF-8, or that CP932 cannot hold.
    Write("src/bad.Dat", "\xff\xfe");
    EXPECT_EQ(Run({"pack", "--text", P("a.Dat"), P("src")}), 1);
    Write("src/bad.Dat", "emoji \xF0\x9F\x98\x80");
    EXPECT_EQ(Run({"pack", "--text", P("a.Dat"), P("src")}), 1);
    EXPECT_FALSE(fs::exists(P("a.Dat")));

    // A failing pack keeps an earlier archive as it was.
    fs::remove(P("src/bad.Dat"));
    ASSERT_EQ(Run({"pack", "--text", P("a.Dat"), P("src")}), 0);
    std::string before = Read("a.Dat");
    Write("src/bad.Dat", "abc#");
    EXPECT_EQ(Run({"pack", "--text", P("a.Dat"), P("src")}), 1);
    EXPECT_EQ(Read("a.Dat"), before);
    EXPECT_EQ(fs::directory_iterator(dir_) == fs::directory_iterator(), false);
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
        files += e.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 1u); // no temporary left behind
    // A binary pack takes any bytes; the archive inside the folder is skipped.
    ASSERT_EQ(Run({"pack", "--binary", P("src/self.Dat"), P("src")}), 0) << err_;
    ASSERT_EQ(Run({"pack", "--binary", P("src/self.Dat"), P("src")}), 0) << err_;
    ASSERT_EQ(Run({"list", P("src/self.Dat")}), 0);
    EXPECT_EQ(out_.find("self.Dat"), std::string::npos) << out_;
}

TEST_F(DatPack, UnpackRefusesNamesThatLeaveTheFolder) {
    for (std::string name :
         {"..\\evil.txt", "a\\..\\..\\evil.txt", "/abs.txt", "a\\\\b", "../evil.txt", "."}) {
        std::string image;
        ASSERT_TRUE(ComposeArchive({BinaryMember("ok.txt", "ok"), BinaryMember(name, "E")}, image));
        Write("x.Dat", image);
        EXPECT_EQ(Run({"unpack", "--binary", P("x.Dat"), P("out/in")}), 1) << name;
        EXPECT_NE(err_.find("refused"), std::string::npos) << err_;
        EXPECT_FALSE(fs::exists(P("out/evil.txt")));
        EXPECT_FALSE(fs::exists(P("evil.txt")));
        // Nothing is written when any name is refused.
        EXPECT_FALSE(fs::exists(P("out/in/ok.txt")));
    }
    // The double-byte character 表 ends in 0x5C but is not a separator.
    std::string image;
    ASSERT_TRUE(ComposeArchive({BinaryMember(SJ("表.txt"), "H")}, image));
    Write("x.Dat", image);
    ASSERT_EQ(Run({"unpack", "--binary", P("x.Dat"), P("out2")}), 0) << err_;
    EXPECT_EQ(Read("out2/表.txt"), "H");
}

TEST_F(DatPack, GarbageTruncatedAndHugeArchivesNeverCrash) {
    std::string image;
    ASSERT_TRUE(ComposeArchive({BinaryMember("A", "0123456789"), BinaryMember("B", "xy")}, image));
    std::string enc = "2147483647";
    DataCodec::Encode(enc);
    std::vector<std::string> inputs = {
        "",
        "garbage",
        image.substr(0, 10),
        image.substr(0, image.size() - 3),
        std::string(18, '\0') + std::string(300, 'z'),
        image + "A 18 " + enc, // a trailing entry with a huge length
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        Write("g.Dat", inputs[i]);
        for (std::vector<std::string> args :
             {std::vector<std::string>{"list", P("g.Dat")},
              {"tokens", P("g.Dat"), "A"},
              {"cat", P("g.Dat"), "A"},
              {"unpack", "--text", P("g.Dat"), P("o" + std::to_string(i))},
              {"unpack", "--binary", P("g.Dat"), P("p" + std::to_string(i))},
              {"decode-file", P("g.Dat")}}) {
            int rc = Run(args);
            EXPECT_TRUE(rc == 0 || rc == 1);
            EXPECT_EQ(rc == 1, !err_.empty()) << err_;
        }
    }
}

TEST_F(DatPack, ScrambledTokenFilesBothWays) {
    Write("plain.txt", "\xEF\xBB\xBF／／セーブ 123\n-7 名前　あり");
    ASSERT_EQ(Run({"encode-file", P("plain.txt"), P("Save1E.Dat")}), 0) << err_;
    // The secure reader reads it back through the E-name rule.
    CDatArchive secure(true, false);
    TokenList tokens;
    SetGameRoot(dir_); // so that the E-name rule sees no dot in the folder names
    HRESULT hr = secure.ReadTokens("", "Save1.Dat", tokens);
    SetGameRoot("");
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(tokens, TokenList({SJ("／／セーブ"), "123", "-7", SJ("名前　あり")}));
    std::string raw = Read("Save1E.Dat");
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), 4);
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\r'), 4);

    ASSERT_EQ(Run({"decode-file", P("Save1E.Dat")}), 0) << err_;
    EXPECT_EQ(out_, "／／セーブ\n123\n-7\n名前　あり\n");

    for (const char* bad : {"ok a!", "x /+ y", "\xff"}) {
        Write("bad.txt", bad);
        EXPECT_EQ(Run({"encode-file", P("bad.txt"), P("bad.Dat")}), 1) << bad;
        EXPECT_FALSE(fs::exists(P("bad.Dat")));
    }
}

TEST_F(DatPack, UsageAndMissingFilesAreOneLineErrors) {
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out_.find("datpack pack (--text|--binary) ARCHIVE DIR"), std::string::npos);
    for (std::vector<std::string> args : {std::vector<std::string>{},
                                          {"frobnicate"},
                                          {"list"},
                                          {"list", P("none.Dat")},
                                          {"tokens", P("none.Dat"), "A"},
                                          {"cat", P("none.Dat")},
                                          {"pack", "--zip", P("a.Dat"), P("src")},
                                          {"pack", "--text", P("a.Dat"), P("no-such-folder")},
                                          {"unpack", "--text", P("none.Dat"), P("out")},
                                          {"decode-file", P("none")},
                                          {"encode-file", P("none"), P("out.Dat")}}) {
        EXPECT_EQ(Run(args), 1) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << err_;
        EXPECT_EQ(err_.rfind("datpack: ", 0), 0u) << err_;
    }
    // An absent member is an error for the tool, not an empty result.
    std::string image;
    ASSERT_TRUE(ComposeArchive({BinaryMember("A", "a")}, image));
    Write("a.Dat", image);
    EXPECT_EQ(Run({"cat", P("a.Dat"), "B"}), 1);
    EXPECT_EQ(Run({"tokens", P("a.Dat"), "B"}), 1);
}

} // namespace
} // namespace quolis
