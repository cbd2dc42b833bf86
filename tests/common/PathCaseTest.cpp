// Loose files copied from Windows: game paths found on disk whatever the
// ASCII case of their components.
#include "common/Log.h"
#include "common/Path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quolis {
namespace {

namespace fs = std::filesystem;

class PathCase : public ::testing::Test {
protected:
    PathCase() {
        std::string tmpl = (fs::temp_directory_path() / "quolis-case-XXXXXX").string();
        dir_ = ::mkdtemp(tmpl.data()) != nullptr ? tmpl : std::string();
        previousRoot_ = GameRoot();
        SetGameRoot(dir_);
    }
    ~PathCase() override {
        SetHostPathCaseFolding(false);
        SetGameRoot(previousRoot_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Touch(const std::string& rel) {
        fs::path p = fs::path(dir_) / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << rel;
    }
    std::string dir_, previousRoot_;
};

TEST_F(PathCase, EveryComponentIsMatchedIgnoringAsciiCaseOnlyWhenFoldingIsOn) {
    Touch("gamedata/TEXTURE/title/titleBACK.bmp");
    // Off (the default): the path as written.
    EXPECT_FALSE(HostPathCaseFolding());
    EXPECT_EQ(HostPath("GameData\\Texture\\Title\\TitleBack.bmp"),
              dir_ + "/GameData/Texture/Title/TitleBack.bmp");
    SetHostPathCaseFolding(true);
    EXPECT_EQ(HostPath("GameData\\Texture\\Title\\TitleBack.bmp"),
              dir_ + "/gamedata/TEXTURE/title/titleBACK.bmp");
    // A missing component keeps the rest as written after the part found.
    EXPECT_EQ(HostPath("GameData\\Texture\\Story\\A.bmp"), dir_ + "/gamedata/TEXTURE/Story/A.bmp");
    // Only ASCII letters fold: a full-width letter is not an ASCII one.
    Touch("gamedata/\xef\xbc\xa1.txt"); // "Ａ.txt" in UTF-8
    EXPECT_EQ(HostPath("GameData\\\x82\x60.TXT"), dir_ + "/gamedata/\xef\xbc\xa1.txt");
    EXPECT_EQ(HostPath("GameData\\\x82\x81.txt"), dir_ + "/gamedata/\xef\xbd\x81.txt"); // "ａ"
}

TEST_F(PathCase, AnExactNameWinsAndAnAmbiguousFoldTakesTheFirstInDirectoryOrderAndLogsIt) {
    Touch("Data/Setting.Dat");
    Touch("Data/SETTING.DAT");
    Touch("Data/setting.dat");
    SetHostPathCaseFolding(true);
    std::vector<std::string> lines;
    LogSink old = SetLogSink([&](std::string_view l) { lines.emplace_back(l); });
    EXPECT_EQ(HostPath("Data\\SETTING.DAT"), dir_ + "/Data/SETTING.DAT");
    EXPECT_TRUE(lines.empty());
    std::string first;
    for (const auto& e : fs::directory_iterator(fs::path(dir_) / "Data")) {
        first = e.path().filename().string();
        break;
    }
    EXPECT_EQ(HostPath("Data\\Setting.DAT"), dir_ + "/Data/" + first);
    SetLogSink(old);
    ASSERT_EQ(lines.size(), 2u); // three names fold alike: two are passed over
    EXPECT_NE(lines[0].find("\"" + first + "\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("Setting.DAT"), std::string::npos) << lines[0];
}

TEST_F(PathCase, RootlessAndAbsolutePathsFoldBelowTheirStart) {
    Touch("Sub/File.TXT");
    SetHostPathCaseFolding(true);
    EXPECT_EQ(FoldHostPathCase(dir_, "sub//file.txt"), dir_ + "/Sub/File.TXT");
    std::string abs = dir_ + "/SUB/FILE.txt";
    EXPECT_EQ(HostPath(abs), dir_ + "/Sub/File.TXT");
    EXPECT_EQ(FoldHostPathCase(dir_, "sub/../Sub/x"), dir_ + "/Sub/../Sub/x");
}

} // namespace
} // namespace quolis
