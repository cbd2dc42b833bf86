#include "platform/GameFolders.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace quolis {
namespace {

namespace fs = std::filesystem;

// A scratch tree, entered as the working directory for the test.
class GameFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = fs::path(QUOLIS_BINARY_DIR) / "game-folders-test";
        fs::remove_all(base_);
        fs::create_directories(base_ / "cwd");
        old_ = fs::current_path();
        fs::current_path(base_ / "cwd");
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(base_);
    }
    fs::path base_, old_;
};

TEST_F(GameFoldersTest, DataIsLookedForFromTheOptionToTheInstalledFolder) {
    const fs::path prefix = base_ / "usr";
    const fs::path bin = prefix / "bin";
    fs::create_directories(bin);
    FolderSearch s;
    s.exeDir = bin.string();
    s.builtInDir = (base_ / "built-in").string();

    // Nothing anywhere: the working directory, as before.
    DataLocation l = LocateGameData(s);
    EXPECT_EQ(l.root, "");
    EXPECT_FALSE(l.installed);

    // The built-in installed folder.
    fs::create_directories(base_ / "built-in" / "GameData");
    l = LocateGameData(s);
    EXPECT_EQ(l.root, s.builtInDir);
    EXPECT_TRUE(l.installed);

    // ../share/quolis beside the program wins over the built-in folder, so a
    // DESTDIR or relocated install finds its own data.
    fs::create_directories(prefix / "share" / "quolis" / "GameData");
    l = LocateGameData(s);
    EXPECT_EQ(fs::path(l.root), (prefix / "share" / "quolis").lexically_normal());
    EXPECT_TRUE(l.installed);

    // A GameData in the working directory comes before any installed one.
    fs::create_directories(base_ / "cwd" / "GameData");
    l = LocateGameData(s);
    EXPECT_EQ(l.root, "");
    EXPECT_FALSE(l.installed);

    // Beside the executable (a build folder) comes before that.
    fs::create_directories(bin / "GameData");
    l = LocateGameData(s);
    EXPECT_EQ(l.root, bin.string());
    EXPECT_FALSE(l.installed);

    // --data first of all, even when it holds nothing yet.
    s.dataOption = "/games/q";
    l = LocateGameData(s);
    EXPECT_EQ(l.root, "/games/q");
    EXPECT_FALSE(l.installed);
}

TEST_F(GameFoldersTest, WritesStayBesideAWritableDataFolderOnly) {
    UserFolderEnvironment env;
    env.home = "/home/p";
    DataLocation build{"/work/build", false};
    DataLocation installed{"/usr/share/quolis", true};

    // A build folder or a copied original GameData: beside the data, as always.
    EXPECT_EQ(ChooseUserFolder(build, env, true), "");
    // Read-only data, or an installed copy even when writable (root).
    EXPECT_EQ(ChooseUserFolder(build, env, false), "/home/p/.local/share/quolis");
    EXPECT_EQ(ChooseUserFolder(installed, env, true), "/home/p/.local/share/quolis");
    // XDG_DATA_HOME when absolute; a relative one is invalid and ignored.
    env.xdgDataHome = "/xdg/data";
    EXPECT_EQ(ChooseUserFolder(installed, env, true), "/xdg/data/quolis");
    env.xdgDataHome = "relative/data";
    EXPECT_EQ(ChooseUserFolder(installed, env, true), "/home/p/.local/share/quolis");
    // --user-dir overrides every case, a writable build folder too.
    env.userDirOption = "/elsewhere";
    EXPECT_EQ(ChooseUserFolder(build, env, true), "/elsewhere");
    EXPECT_EQ(ChooseUserFolder(installed, env, false), "/elsewhere");
    // No home and no XDG folder: nowhere better to go.
    UserFolderEnvironment none;
    EXPECT_EQ(ChooseUserFolder(installed, none, false), "");
}

TEST_F(GameFoldersTest, WritabilityLooksAtTheFoldersTheGameWritesInto) {
    const fs::path root = base_ / "game";
    fs::create_directories(root / "GameData" / "Save");
    fs::create_directories(root / "GameData" / "Ini");
    EXPECT_TRUE(DataFolderWritable(root.string()));
    if (::geteuid() == 0) {
        // Permission bits do not stop root; the installed-folder rule covers
        // that case (above).
        return;
    }
    fs::permissions(root / "GameData" / "Ini", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(DataFolderWritable(root.string()));
    fs::permissions(root / "GameData" / "Ini", fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(root / "GameData", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(DataFolderWritable(root.string()));
    fs::permissions(root / "GameData", fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(GameFoldersTest, UserFolderIsMadeOrRefusedWithAReason) {
    std::string error;
    const fs::path made = base_ / "xdg" / "quolis";
    EXPECT_TRUE(PrepareUserFolder(made.string(), &error)) << error;
    EXPECT_TRUE(fs::is_directory(made));
    EXPECT_TRUE(PrepareUserFolder(made.string(), &error)) << "an existing folder is fine";

    // A regular file in the way cannot become a folder, whoever runs this.
    std::ofstream(base_ / "plain-file") << "x";
    const fs::path blocked = base_ / "plain-file" / "quolis";
    error.clear();
    EXPECT_FALSE(PrepareUserFolder(blocked.string(), &error));
    EXPECT_NE(error.find(blocked.string()), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

} // namespace
} // namespace quolis
