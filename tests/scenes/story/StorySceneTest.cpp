// The prologue and the ending on the whole application, and the staff roll's
// composed blocks byte for byte.
#include "scenes/SceneTestUtil.h"
#include "scenes/story/StoryScenes.h"

namespace quolis {
namespace {

using namespace testing_util;

std::string Pad(int spaces, std::string_view utf8) {
    return std::string(static_cast<std::size_t>(spaces), ' ') + Utf8ToCp932(utf8);
}

TEST(StaffRoll, BlocksAreRightAlignedInTheirFieldsOfCp932Bytes) {
    EXPECT_EQ(StaffRollBlock(1005), Pad(24, "クオーリス") + "\n\n\n" + Pad(22, "ＳＴＡＦＦ"));
    EXPECT_EQ(StaffRollBlock(1010), Pad(7, "原作　　　クオーリス　Ver1.00") + "\n");
    EXPECT_EQ(StaffRollBlock(1041), Pad(17, "音楽提供者の皆様") + "\n");
    // Three names with two line feeds each and one more at the end.
    EXPECT_EQ(StaffRollBlock(1044), Pad(18, "IPAフォント様") + "\n\n" +
                                        Pad(14, "Liberation Fonts様") + "\n\n" +
                                        Pad(10, "libpng・libjpeg・zlib様") + "\n\n\n");
    EXPECT_EQ(StaffRollBlock(1050),
              Pad(20, "効果音提供者") + "\n\n" + Pad(13, "mkcontent（効果音合成）様") + "\n");
    // A text longer than its field is not cut.
    EXPECT_EQ(StaffRollBlock(1060),
              Pad(0, "プログラム　　　クオーリス for Linux 開発チーム") + "\n");
    EXPECT_EQ(StaffRollBlock(1070), Pad(16, "Ａｎｄ　Ｙｏｕ．．．") + "\n");
    EXPECT_EQ(StaffRollBlock(1000), "");
}

TEST(StaffRoll, ThirteenBlocksInOrderEndingAt9000) {
    int step = kStaffRollFirst, blocks = 0;
    while (step != 9000 && blocks < 20) {
        EXPECT_FALSE(StaffRollBlock(step).empty()) << step;
        step = StaffRollNext(step);
        ++blocks;
    }
    EXPECT_EQ(blocks, 13);
    EXPECT_EQ(StaffRollNext(1044), 1050);
    EXPECT_EQ(StaffRollNext(1999), 0);
}

class StoryScenes : public SceneFixture {
protected:
    void StartWith(bool endingScript) {
        std::map<std::string, std::string> scripts = {
            {"Prologue\\1.Dat", "ナレーション： 遠い未来。 . 戦いが始まる。 ."}};
        if (endingScript) {
            scripts["Ending\\1.Dat"] = "ナレーション： 終わった。 .";
        }
        WriteScripts(scripts);
        StartGame();
    }
    // Steps, pressing decide while the script waits, until scene/cycle.
    int ReadUntil(int scene, int cycle, int limit = 6000) {
        for (int i = 0; i < limit; ++i) {
            const int s = app.GetScene(0);
            if (s == scene && app.GetCycle(s) == cycle) {
                return i;
            }
            if (app.GetCycle(s) == kCycleScriptStep && i % 8 == 0) {
                Tap(kKeySpace);
            } else {
                Step();
            }
        }
        return -1;
    }
};

TEST_F(StoryScenes, ThePrologueStartsDarkIsReadToItsEndThenTheHub) {
    StartWith(true);
    Enter(kScenePrologue);
    EXPECT_EQ(app.WindowTitle(), CGameApp::AppTitle() + std::string(12, ' ') + SJ("プロローグ"));
    Step();
    ASSERT_NE(app.ScriptEngine(), nullptr);
    EXPECT_EQ(app.GetCycle(kScenePrologue), kCycleFadeIn);
    EXPECT_TRUE(app.ScriptEngine()->Visible());
    EXPECT_TRUE(app.ScriptEngine()->Running());
    for (const MsgDrawable& d : app.ScriptEngine()->Box().Parts()) {
        EXPECT_EQ(d.level, 0);
    }
    Step();
    Step();
    EXPECT_GT(app.ScriptEngine()->Box().Parts()[0].level, 0); // up with the screen
    ASSERT_GE(ReadUntil(kSceneMenu, 0), 0);
}

TEST_F(StoryScenes, DecideOnlyEndsTheLastCreditBlock) {
    StartWith(true);
    Enter(kSceneEnding);
    EXPECT_EQ(app.WindowTitle(), CGameApp::AppTitle() + std::string(12, ' ') + SJ("エンディング"));
    Step();
    EXPECT_FALSE(app.ScriptEngine()->Visible()); // shown by the service at 100
    ASSERT_GE(ReadUntil(kSceneEnding, 5010), 0);
    CTextObject* credit = app.Texts().Get(0);
    EXPECT_EQ(credit->GetText(), StaffRollBlock(1005));
    EXPECT_EQ(credit->GetAlpha(), 255);
    const std::uint32_t shown = clock.NowMs();
    Tap(kKeySpace);
    EXPECT_EQ(app.GetCycle(kSceneEnding), 5010);
    ASSERT_GE(StepUntil(kSceneEnding, 5020), 0);
    EXPECT_GE(clock.NowMs() - shown, 2000u);
    EXPECT_LE(clock.NowMs() - shown, 2050u);
    ASSERT_GE(StepUntil(kSceneEnding, 5000), 0);
    EXPECT_EQ(credit->GetText(), StaffRollBlock(1010));
    ASSERT_GE(StepUntil(kSceneEnding, 6010, 8000), 0);
    EXPECT_EQ(credit->GetText(), StaffRollBlock(1070));
    for (int i = 0; i < 400; ++i) {
        Step();
    }
    EXPECT_EQ(app.GetCycle(kSceneEnding), 6010); // it waits for the player
    Tap(kKeySpace);
    ASSERT_GE(StepUntil(kSceneTitle, 0), 0);
}

TEST_F(StoryScenes, WithoutItsScriptTheEndingStillRollsTheCreditsToTheTitle) {
    StartWith(false);
    Enter(kSceneEnding);
    ASSERT_GE(StepUntil(kSceneEnding, 6010, 8000), 0);
    EXPECT_TRUE(Logged("ending script"));
    Tap(kKeySpace);
    ASSERT_GE(StepUntil(kSceneTitle, 0), 0);
}

} // namespace
} // namespace quolis
