// The logo and title scenes on the whole application object: the logo's wait
// and FirstPlay, the title's buttons, the key configuration and the load list.
#include "app/TitleScenes.h"

#include "AppTestUtil.h"

namespace quolis {
namespace {

using testing_util::AppFixture;

constexpr int kSpace = 57, kRight = 205;

class TitleScenes : public AppFixture {
protected:
    TitleScenes() { InstallTitleScenes(app); }

    void Start(int firstPlay) {
        WriteSetting(DefaultSetting());
        WriteUser({"FirstPlay", std::to_string(firstPlay), "GameSpeed", "1", "EnableFPS", "0",
                   "EnableMusic", "1", "EnableSE", "1"});
        ASSERT_EQ(AppFixture::Start(), S_OK);
    }
    // Steps until the scene's cycle is `cycle`; the number of steps, or -1.
    int StepUntil(int scene, int cycle, int limit = 400) {
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == scene && app.GetCycle(scene) == cycle) {
                return i;
            }
            Step();
        }
        return -1;
    }
    void Tap(int code) {
        queue.Push(InputEvent::Key(code, true));
        Step();
        queue.Push(InputEvent::Key(code, false));
        Step();
    }
    int FirstPlayInFile() {
        TokenList t = ReadUser();
        return t.size() >= 2 && t[0] == "FirstPlay" ? std::stoi(t[1]) : -1;
    }
};

TEST_F(TitleScenes, LogoWaitsOneSecondThenTitleAndClearsFirstPlay) {
    Start(1);
    ASSERT_EQ(app.GetScene(0), kSceneLogo);
    // Decide during the fade-in does nothing.
    Step();
    ASSERT_EQ(app.GetCycle(kSceneLogo), kCycleFadeIn);
    Tap(kSpace);
    ASSERT_GE(StepUntil(kSceneLogo, 200), 0);
    std::uint32_t start = clock.NowMs();
    ASSERT_GE(StepUntil(kSceneLogo, kCycleFadeOut), 0);
    EXPECT_GE(clock.NowMs() - start, 1000u);
    EXPECT_LE(clock.NowMs() - start, 1050u);
    EXPECT_EQ(app.FirstPlay(), 0);
    EXPECT_EQ(FirstPlayInFile(), 0);
    EXPECT_EQ(app.GetNextScene(0), kSceneTitle);
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep), 0);
    ASSERT_NE(app.SharedButtonRow(), nullptr);
    EXPECT_EQ(app.SharedButtonRow()->Entries().size(), 3u);
}

TEST_F(TitleScenes, DecideEndsTheLogoWaitAtOnceAndTheNextWaitStartsAfresh) {
    Start(1);
    ASSERT_GE(StepUntil(kSceneLogo, 200), 0);
    Step();
    std::uint32_t start = clock.NowMs();
    queue.Push(InputEvent::Key(kSpace, true));
    Step();
    EXPECT_EQ(app.GetCycle(kSceneLogo), kCycleFadeOut);
    EXPECT_LT(clock.NowMs() - start, 100u);
    EXPECT_EQ(FirstPlayInFile(), 0);
    COneShotWait wait;
    CStopwatch watch;
    EXPECT_FALSE(wait.Done(watch, 0.5f));
    clock.Advance(499);
    EXPECT_FALSE(wait.Done(watch, 0.5f));
    clock.Advance(1);
    EXPECT_TRUE(wait.Done(watch, 0.5f));
    EXPECT_FALSE(wait.Started());
    EXPECT_FALSE(wait.Done(watch, 0.5f)); // restarted
}

TEST_F(TitleScenes, SecondStartIsTheTitleWithButtonsInKeyOrder) {
    Start(0);
    EXPECT_EQ(app.GetScene(0), kSceneTitle);
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep), 0);
    CButtonRow* row = app.SharedButtonRow();
    ASSERT_NE(row, nullptr);
    std::vector<std::string> names;
    for (const auto& [key, e] : row->Entries()) {
        names.push_back(e.name);
        EXPECT_EQ(e.pos.y, 350);
        EXPECT_EQ(e.size.x, 168);
    }
    EXPECT_EQ(names, (std::vector<std::string>{TitleContinueName(), TitleStartName(),
                                               TitleKeyConfigName()}));
    EXPECT_EQ(row->Entries().at(3).picture, "Button\\Title\\KeyConfig.bmp");
    EXPECT_EQ(app.Polygons().Used(), 3);
}

TEST_F(TitleScenes, KeyConfigOpensTheWindowAndRebuildsWithTheCursorOnContinue) {
    Start(0);
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep), 0);
    Tap(kRight);
    Tap(kRight);
    EXPECT_EQ(app.SharedButtonRow()->CurrentKey(), 3);
    Tap(kSpace);
    EXPECT_EQ(host.keyConfigs, 1);
    EXPECT_TRUE(app.ResultName.empty());
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep), 0);
    EXPECT_EQ(app.SharedButtonRow()->Entries().size(), 3u);
    std::string name;
    app.SharedButtonRow()->GetSelected(name);
    EXPECT_EQ(name, TitleContinueName());
    EXPECT_EQ(host.keyConfigs, 1);
}

TEST_F(TitleScenes, LoadListWithoutSavesCancelsBackToTheTitle) {
    Start(0);
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep), 0);
    Tap(kSpace);
    ASSERT_GE(StepUntil(kSceneTitle, kCycleSlotListStep, 10), 0);
    CSlotList* list = app.SharedSlotList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Entries().size(), 10u);
    for (int key = 1; key <= 9; ++key) {
        EXPECT_EQ(list->Entries().at(key).enabled, 0) << key;
    }
    EXPECT_TRUE(app.SharedButtonRow()->Entries().empty());
    EXPECT_FALSE(app.Polygons().Get(2)->IsEnabled()); // the title logo is hidden
    Tap(kSpace);                                      // "←"
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep, 20), 0);
    EXPECT_EQ(app.GetScene(0), kSceneTitle);
    EXPECT_TRUE(app.Polygons().Get(2)->IsEnabled());
    EXPECT_EQ(app.SharedButtonRow()->Entries().size(), 3u);
}

TEST_F(TitleScenes, StartGoesToThePrologueEvenWithoutInitialData) {
    Start(0);
    ASSERT_GE(StepUntil(kSceneTitle, kCycleButtonRowStep), 0);
    Tap(kRight);
    Tap(kSpace);
    ASSERT_GE(StepUntil(kScenePrologue, 0, 200), 0);
    EXPECT_EQ(app.Polygons().Used(), 0); // the title's objects are gone
}

} // namespace
} // namespace quolis
