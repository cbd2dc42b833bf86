// The player's own folder for the files the game writes: writes go there,
// reads look there first and fall back to the data folder, and nothing is
// ever written into the data folder while a player's folder is set.
#include "ArchiveTestUtil.h"
#include "common/Path.h"
#include "data/DatArchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace quolis {
namespace {

namespace fs = std::filesystem;
using testing_util::ScratchRoot;

// Every file below a folder, relative, with its bytes.
std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        out.insert(fs::relative(e.path(), dir).string());
    }
    return out;
}

class UserFolder : public ::testing::Test {
protected:
    void SetUp() override {
        user_ = data_.Dir() + "/user";
        data_.Write("GameData/Ini/UserE.ini", "");
        // The shipped settings, scrambled as the secure reader stores them.
        TokenList shipped = {"FirstPlay", "1"};
        CDatArchive secure(true, false);
        ASSERT_EQ(secure.WriteTokens("GameData\\Ini\\User.ini", shipped), S_OK);
        data_.Write("GameData/Text/savedata/.keep", "");
        SetUserRoot(user_);
    }
    void TearDown() override { SetUserRoot(""); }

    ScratchRoot data_; // the game root: <dir>/GameData
    std::string user_;
};

TEST_F(UserFolder, MapsGameDataPathsAndLeavesOthersBesideTheData) {
    EXPECT_EQ(UserHostPath("GameData\\Save\\Save1E.Dat"), user_ + "/Save/Save1E.Dat");
    EXPECT_EQ(UserHostPath("gamedata\\Ini\\UserE.ini"), user_ + "/Ini/UserE.ini");
    // Outside GameData, climbing out of it, or the folder itself: not mapped.
    EXPECT_EQ(UserHostPath("Other\\x.Dat"), "");
    EXPECT_EQ(UserHostPath("GameData\\..\\x.Dat"), "");
    EXPECT_EQ(UserHostPath("GameData\\Save\\..\\..\\x.Dat"), "");
    EXPECT_EQ(UserHostPath("GameData\\"), "");
    EXPECT_EQ(HostWritePath("Other\\x.Dat"), HostPath("Other\\x.Dat"));
    SetUserRoot("");
    EXPECT_EQ(UserHostPath("GameData\\Save\\Save1E.Dat"), "");
    EXPECT_EQ(HostWritePath("GameData\\Save\\Save1E.Dat"), HostPath("GameData\\Save\\Save1E.Dat"));
}

TEST_F(UserFolder, WritesLandInTheUserFolderAndReadsPreferIt) {
    const std::set<std::string> before = Listing(data_.Dir() + "/GameData");
    CDatArchive secure(true, false);
    TokenList read;
    // Before the player saved anything the shipped file is read.
    ASSERT_EQ(secure.ReadTokens({}, "GameData\\Ini\\User.ini", read), S_OK);
    EXPECT_EQ(read, (TokenList{"FirstPlay", "1"}));

    TokenList mine = {"FirstPlay", "0"};
    ASSERT_EQ(secure.WriteTokens("GameData\\Ini\\User.ini", mine), S_OK);
    TokenList save = {"Save", "slot"};
    ASSERT_EQ(secure.WriteTokens("GameData\\Save\\Save3.Dat", save), S_OK);
    CDatArchive plain(false, false);
    TokenList script = {"resume", "Prologue\\1.Dat"};
    ASSERT_EQ(plain.WriteTokens("GameData\\Text\\savedata\\save1.Dat", script), S_OK);

    // Same names and layout as in GameData (the E-name rule included), so a
    // file copied between the two places still loads.
    EXPECT_TRUE(fs::is_regular_file(user_ + "/Ini/UserE.ini"));
    EXPECT_TRUE(fs::is_regular_file(user_ + "/Save/Save3E.Dat"));
    EXPECT_TRUE(fs::is_regular_file(user_ + "/Text/savedata/save1.Dat"));
    EXPECT_EQ(Listing(data_.Dir() + "/GameData"), before) << "a file was written beside the data";

    ASSERT_EQ(secure.ReadTokens({}, "GameData\\Ini\\User.ini", read), S_OK);
    EXPECT_EQ(read, (TokenList{"FirstPlay", "0"}));
    ASSERT_EQ(secure.ReadTokens({}, "GameData\\Save\\Save3.Dat", read), S_OK);
    EXPECT_EQ(read, (TokenList{"Save", "slot"}));

    // The player's copy read without a user folder (copied back into a
    // writable GameData) gives the same tokens.
    fs::create_directories(data_.Host("GameData/Save"));
    fs::copy_file(user_ + "/Save/Save3E.Dat", data_.Host("GameData/Save/Save3E.Dat"));
    SetUserRoot("");
    ASSERT_EQ(secure.ReadTokens({}, "GameData\\Save\\Save3.Dat", read), S_OK);
    EXPECT_EQ(read, (TokenList{"Save", "slot"}));
}

TEST_F(UserFolder, AppendingStartsFromTheShippedFileAndWritesOnlyTheCopy) {
    const std::string shipped = data_.Read("GameData/Ini/UserE.ini");
    CDatArchive secure(true, false);
    TokenList more = {"EnableFPS", "1"};
    ASSERT_EQ(secure.WriteTokens("GameData\\Ini\\User.ini", more, 0,
                                 std::ios_base::out | std::ios_base::app),
              S_OK);
    EXPECT_EQ(data_.Read("GameData/Ini/UserE.ini"), shipped);
    TokenList read;
    ASSERT_EQ(secure.ReadTokens({}, "GameData\\Ini\\User.ini", read), S_OK);
    EXPECT_EQ(read, (TokenList{"FirstPlay", "1", "EnableFPS", "1"}));
}

TEST_F(UserFolder, AFolderThatCannotBeMadeFailsTheWriteAndTouchesNoData) {
    data_.Write("blocker", "a file where the folder should be");
    SetUserRoot(data_.Host("blocker") + "/quolis");
    const std::set<std::string> before = Listing(data_.Dir() + "/GameData");
    CDatArchive secure(true, false);
    TokenList save = {"Save", "slot"};
    EXPECT_EQ(secure.WriteTokens("GameData\\Save\\Save1.Dat", save), E_FAIL);
    EXPECT_EQ(Listing(data_.Dir() + "/GameData"), before);
    // Reads still find the shipped files.
    TokenList read;
    EXPECT_EQ(secure.ReadTokens({}, "GameData\\Ini\\User.ini", read), S_OK);
    EXPECT_EQ(read, (TokenList{"FirstPlay", "1"}));
}

} // namespace
} // namespace quolis
