// What the application asks of the window side besides the loop: the window
// title, and the music events handled during modal windows.
#include "app/TitleScenes.h"

#include "AppTestUtil.h"
#include "common/Path.h"
#include "common/Text.h"

#include <string>

namespace quolis {
namespace {

using testing_util::AppFixture;
using State = RecordingMixer::MusicState;

TEST_F(AppFixture, SceneTitlesAreTheAppTitleTwelveSpacesAndTheName) {
    StartTitle();
    EXPECT_EQ(CGameApp::AppTitle(), "\x83\x4e\x83\x49\x81\x5b\x83\x8a\x83\x58\x81\x40Ver1.00");
    app.SetSceneTitle(SJ("プロローグ"));
    const std::string expected = CGameApp::AppTitle() + "            " + SJ("プロローグ");
    ASSERT_FALSE(host.titles.empty());
    EXPECT_EQ(host.titles.back(), expected);
    EXPECT_EQ(app.WindowTitle(), expected);
}

TEST_F(AppFixture, TheTitleSceneRestoresThePlainApplicationTitle) {
    InstallTitleScenes(app);
    StartTitle();
    ASSERT_EQ(host.titles.size(), 1u);
    EXPECT_EQ(host.titles[0], CGameApp::AppTitle());
    // Back from a scene with its own title: the title's build restores it.
    app.SetSceneTitle(SJ("エンディング"));
    app.SetNextScene(kSceneTitle, 0);
    ASSERT_EQ(app.SwitchToNextScene(), S_OK);
    EXPECT_EQ(host.titles.back(), CGameApp::AppTitle());
    EXPECT_EQ(app.WindowTitle(), CGameApp::AppTitle());
}

TEST_F(AppFixture, MusicThatEndsDuringAModalWindowStartsAgain) {
    // The music archive with one short piece.
    std::string midi =
        std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14) + std::string("MTrk\0\0\0\4\0\xff\x2f\0", 12);
    std::string bytes;
    ASSERT_TRUE(ComposeArchive({BinaryMember("Title.mid", midi)}, bytes));
    root.Write("GameData/MIDI/MIDI.Dat", bytes);
    StartTitle();
    ASSERT_EQ(app.Midi()->Play("Title.mid"), S_OK);
    ASSERT_EQ(mixer.MusicStarts(), 1);
    // The loop of a modal window (no logic step, no drawing) still hands the
    // end of the piece to the music, which starts it from the beginning.
    mixer.FinishMusic();
    EXPECT_EQ(mixer.Music(), State::Stopped);
    const std::size_t draws = device.Calls().size();
    app.ModalPass();
    EXPECT_EQ(mixer.Music(), State::Playing);
    EXPECT_EQ(mixer.MusicStarts(), 2);
    EXPECT_EQ(device.Calls().size(), draws);
    EXPECT_EQ(app.StepCount(), 0);
}

} // namespace
} // namespace quolis

namespace quolis {
namespace {

// Loose content copied from Windows: the names on disk differ in case from
// the names the game asks for.
class LooseFiles : public testing_util::AppFixture {
protected:
    void WriteLooseTree() {
        root.Write("gamedata/DATA/setting.dat",
                   "FLAG_MSG 1\r\nFLAG_BATTLE 1\r\nFLAG_ALWAYSCORE 0\r\nSPEED_FADE 17\r\n");
        for (const char* table : {"mamaster.dat", "DirectionBonus.DAT", "heightbonus.dat",
                                  "CHARAMASTER.DAT", "floortex.dat", "FloorObj.dat"}) {
            root.Write(std::string("gamedata/DATA/") + table, "");
        }
        root.Write("gamedata/midi/TITLE.MID", std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14) +
                                                  std::string("MTrk\0\0\0\4\0\xff\x2f\0", 12));
        // The settings the game writes itself go where the folded names lead.
        std::filesystem::create_directories(root.Host("gamedata/INI"));
        bool folding = HostPathCaseFolding();
        SetHostPathCaseFolding(true);
        TokenList user = {"FirstPlay", "0",           "GameSpeed", "1",        "EnableFPS",
                          "0",         "EnableMusic", "1",         "EnableSE", "1"};
        CDatArchive secure(true, false);
        ASSERT_EQ(secure.WriteTokens("GameData\\Ini\\User.ini", user), S_OK);
        SetHostPathCaseFolding(folding);
        ASSERT_TRUE(root.Exists("gamedata/INI/UserE.ini"));
    }
    ~LooseFiles() override { SetHostPathCaseFolding(false); }
};

TEST_F(LooseFiles, TheContentReaderReadsPlainFilesWhateverTheirCase) {
    WriteLooseTree();
    app.SetLooseFiles(true);
    SetHostPathCaseFolding(true);
    ASSERT_EQ(Start(), S_OK) << app.FailureReason();
    EXPECT_FALSE(app.ContentReader().Archived());
    EXPECT_EQ(app.RawSpeed(kSpeedFade), 17.0f);
    EXPECT_EQ(app.Midi()->Play("Title.mid"), S_OK);
    EXPECT_EQ(mixer.Music(), State::Playing);
}

TEST_F(LooseFiles, WithoutFoldingTheSameTreeIsNotFound) {
    WriteLooseTree();
    app.SetLooseFiles(true);
    EXPECT_NE(Start(), S_OK);
    EXPECT_NE(app.FailureReason().find("Setting.Dat"), std::string::npos) << app.FailureReason();
}

} // namespace
} // namespace quolis
