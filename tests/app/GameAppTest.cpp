// The application object: frame pacing, the scene cycle, the shared services,
// brightness and fades, the global triggers, settings and the window menu.
#include "AppTestUtil.h"
#include "common/Text.h"

namespace quolis {
namespace {

using testing_util::AppFixture;

TEST_F(AppFixture, StartsAtTheTitleAndPacesStepsAtSixteenMilliseconds) {
    StartTitle();
    EXPECT_TRUE(host.shown);
    EXPECT_EQ(app.GetScene(0), kSceneTitle);
    EXPECT_EQ(scenes[kSceneTitle]->builds, 1);
    EXPECT_EQ(scenes[kSceneTitle]->setups, 1);
    EXPECT_EQ(app.Brightness(), 0); // every scene starts black

    Step(100); // a long frame: exactly one step, no catch-up
    EXPECT_EQ(scenes[kSceneTitle]->frames, 1);
    EXPECT_EQ(scenes[kSceneTitle]->draws, 1);
    Step(0); // drawn on every pass, stepped at most every 16 ms
    Step(15);
    EXPECT_EQ(scenes[kSceneTitle]->frames, 1);
    EXPECT_EQ(scenes[kSceneTitle]->draws, 3);
    Step(1);
    EXPECT_EQ(scenes[kSceneTitle]->frames, 2);
    EXPECT_EQ(scenes[kSceneLogo]->frames, 0);
}

TEST_F(AppFixture, MissingUserIniStartsWithDefaultsAndWritesIt) {
    WriteSetting(DefaultSetting());
    ASSERT_EQ(Start(), S_OK);
    EXPECT_EQ(app.GetScene(0), kSceneLogo);
    EXPECT_EQ(app.FirstPlay(), 1);
    EXPECT_EQ(app.GameSpeed(), 1.0f);
    EXPECT_TRUE(app.MenuChecked(kCmdFrameRate));
    EXPECT_TRUE(app.MenuChecked(kCmdMusic));
    EXPECT_TRUE(app.MenuChecked(kCmdSoundEffects));
    EXPECT_EQ(ReadUser(), (TokenList{"FirstPlay", "1", "GameSpeed", "1", "EnableFPS", "1",
                                     "EnableMusic", "1", "EnableSE", "1"}));
}

TEST_F(AppFixture, MissingSettingDatFailsStartUpWithAReason) {
    EXPECT_LT(Start(), 0);
    EXPECT_NE(app.FailureReason().find("Setting.Dat"), std::string::npos);
}

TEST_F(AppFixture, QuitQuestionDecidesTheClose) {
    StartTitle();
    host.passLimit = 1000;
    queue.Push(InputEvent::Window(InputEventKind::CloseRequested));
    queue.Push(InputEvent::Window(InputEventKind::CloseRequested));
    boxes.QueueAnswer(MessageBoxAnswer::No);
    boxes.QueueAnswer(MessageBoxAnswer::Yes);
    EXPECT_EQ(app.Run(), 0);
    ASSERT_EQ(boxes.Asked().size(), 2u);
    EXPECT_EQ(boxes.Asked()[0].text, SJ("終了してもよいですか？"));
    EXPECT_EQ(boxes.Asked()[0].caption, SJ("終了確認"));
    EXPECT_EQ(boxes.Asked()[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(boxes.Asked()[0].icon, MessageBoxIcon::Question);
    EXPECT_TRUE(app.Quit());
    EXPECT_EQ(scenes[kSceneTitle]->teardowns, 1); // the scene was left
    EXPECT_EQ(app.Input(), nullptr);              // and everything released
}

TEST_F(AppFixture, UnfocusedPassMakesTheGameInactive) {
    StartTitle();
    host.focused = false;
    Step(16);
    EXPECT_FALSE(app.Active());
    EXPECT_EQ(scenes[kSceneTitle]->frames, 1);
}

TEST_F(AppFixture, InactiveLoopNeitherStepsNorDraws) {
    StartTitle();
    host.passLimit = 3;
    host.refocusAfter = 4;
    queue.Push(InputEvent::Window(InputEventKind::FocusLost));
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(host.waits, 4);
    EXPECT_EQ(host.passes, 3);
    EXPECT_EQ(scenes[kSceneTitle]->draws, 3);
    EXPECT_EQ(scenes[kSceneTitle]->teardowns, 1);
}

TEST_F(AppFixture, AFrameLimitedRunStepsToItsLimitWithoutTheFocusAndEndsWithoutAQuestion) {
    StartTitle();
    host.passLimit = 5;
    host.focused = false;
    host.refocusAfter = 1000;
    host.closeAfterWaits = 20; // a game that waits for the focus is closed by hand
    host.ignoresFocus = true;
    boxes.QueueAnswer(MessageBoxAnswer::Yes);
    queue.Push(InputEvent::Window(InputEventKind::FocusLost));
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(host.passes, 5);
    EXPECT_EQ(host.waits, 0);
    EXPECT_EQ(scenes[kSceneTitle]->draws, 5);
    EXPECT_TRUE(boxes.Asked().empty());
}

TEST_F(AppFixture, BrightnessClampsAndFadesMoveOncePerThirtyMilliseconds) {
    StartTitle();
    app.SetBrightness(300);
    EXPECT_EQ(app.Brightness(), 255);
    app.SetBrightness(-5);
    EXPECT_EQ(app.Brightness(), 0);
    CPolygon* poly = app.Polygons().Add(std::make_unique<CPolygon>());
    app.SetBrightness(77);
    EXPECT_EQ(poly->GetAlpha(), 77);

    app.SetBrightness(100);
    app.SceneTimer(7).MarkStart();
    EXPECT_EQ(app.FadeBrightness(128, true, 50), 1);
    EXPECT_EQ(app.Brightness(), 100);
    clock.Advance(29);
    EXPECT_EQ(app.FadeBrightness(128, true, 50), 1);
    EXPECT_EQ(app.Brightness(), 100);
    clock.Advance(1);
    EXPECT_EQ(app.FadeBrightness(128, true, 50), 1);
    EXPECT_EQ(app.Brightness(), 150); // overshoot ...
    EXPECT_EQ(app.FadeBrightness(128, true, 50), 0);
    EXPECT_EQ(app.Brightness(), 128); // ... removed by the next call
    // Downward toward a target above the brightness: set at once.
    EXPECT_EQ(app.FadeBrightness(200, false, 50), 0);
    EXPECT_EQ(app.Brightness(), 200);
}

TEST_F(AppFixture, FadeInServiceEndsAtTheAfterCycleAndHalfUpQuietUsesVolumeStepFifty) {
    StartTitle();
    app.SetCycle(kCycleHalfUpQuiet, kSceneTitle, 700, -1);
    app.SetBrightness(128);
    long before = app.Midi()->GetVolume();
    Step(40);
    EXPECT_EQ(app.Midi()->GetVolume(), before + 50);
    // Only 16 ms later, but a music step never moves the fade timer's mark,
    // so with the brightness at its target the volume moves every step.
    Step(16);
    EXPECT_EQ(app.Midi()->GetVolume(), before + 100);

    app.Midi()->SetVolume(-500);
    app.SetBrightness(0);
    app.SetCycle(kCycleFadeIn, kSceneTitle, 200, -1);
    for (int i = 0; i < 200 && app.GetCycle(kSceneTitle) == kCycleFadeIn; ++i) {
        Step(16);
    }
    EXPECT_EQ(app.GetCycle(kSceneTitle), 200);
    EXPECT_EQ(app.Brightness(), 255);
    EXPECT_EQ(app.Midi()->GetVolume(), -500);
}

TEST_F(AppFixture, CycleTablesLeaveUnchangedEntriesAlone) {
    StartTitle();
    EXPECT_EQ(app.SetCycle(5, 2, 6, 7), 1);
    app.SetCycle(8, 2);
    EXPECT_EQ(app.GetCycle(2), 8);
    EXPECT_EQ(app.GetAfterCycle(2), 6);
    EXPECT_EQ(app.GetCancelCycle(2), 7);
    app.SetScene(4, 0, 5);
    EXPECT_EQ(app.GetScene(0), 4);
    EXPECT_EQ(app.GetNextScene(0), 5);
    app.SetScene(6, 0, -1);
    EXPECT_EQ(app.GetNextScene(0), 5);
    app.SetNextScene(9, 0);
    EXPECT_EQ(app.GetNextScene(0), 9);
    EXPECT_EQ(CGameApp::SavePath(0), "GameData\\Save\\Init.Dat");
    EXPECT_EQ(CGameApp::SavePath(10), "GameData\\Save\\Save10.Dat");
    EXPECT_EQ(CGameApp::SavePath(11), "");
}

TEST_F(AppFixture, SceneSwitchLeavesBuildsAndEntersTheNextScene) {
    StartTitle();
    CPolygon* poly = app.Polygons().Add(std::make_unique<CPolygon>());
    ASSERT_NE(poly, nullptr);
    app.SetNextScene(kScenePrologue, 0);
    ASSERT_EQ(app.SwitchToNextScene(), S_OK);
    EXPECT_EQ(scenes[kSceneTitle]->teardowns, 1);
    EXPECT_EQ(app.Polygons().Used(), 0);
    EXPECT_EQ(app.GetScene(0), kScenePrologue);
    EXPECT_EQ(app.GetCycle(kScenePrologue), 0);
    EXPECT_EQ(scenes[kScenePrologue]->builds, 1);
    EXPECT_EQ(scenes[kScenePrologue]->setups, 1);
    // A scene id outside 0..11 runs no handler.
    app.SetScene(17, 0, -1);
    Step(16);
    for (testing_util::CountingScene* s : scenes) {
        EXPECT_EQ(s->frames, 0);
    }
}

TEST_F(AppFixture, GotoMenuKeepsTheNextSceneAndResetRestartsTheScene) {
    StartTitle();
    ButtonMaps maps = DefaultButtonMaps();
    maps[1][30] = kInputGotoMenu;      // A
    maps[1][31] = kInputResetAppCycle; // S
    app.Input()->SetMaps(maps);
    app.SetNextScene(kSceneStatus, 0);
    app.SetCycle(300, kSceneTitle);
    queue.Push(InputEvent::Key(31, true));
    Step(16);
    EXPECT_EQ(app.GetScene(0), kSceneTitle);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 0);
    EXPECT_EQ(scenes[kSceneTitle]->builds, 2);
    queue.Push(InputEvent::Key(31, false));
    queue.Push(InputEvent::Key(30, true));
    Step(16);
    EXPECT_EQ(app.GetScene(0), kSceneMenu);
    EXPECT_EQ(app.GetCycle(kSceneMenu), 0);
    EXPECT_EQ(app.GetNextScene(0), kSceneStatus);
    EXPECT_EQ(scenes[kSceneMenu]->builds, 1);
    EXPECT_EQ(scenes[kSceneMenu]->frames, 1);
}

TEST_F(AppFixture, SlotListServiceReturnsTheChoiceOrTheCancel) {
    StartTitle();
    CSlotList* list = app.SlotLists().Add(std::make_unique<CSlotList>());
    list->SetupWidget("Arial", 12, 0);
    list->AddEntry("One", 0, 0, 0, 0, 100, 20, 0);
    list->AddEntry("Two", 1, 0, 20, 0, 100, 20, 0);
    list->Select(0);
    app.SetSharedSlotList(list);
    app.SetCycle(kCycleSlotList, kSceneTitle, 1100, 0);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), kCycleSlotListStep);
    queue.Push(InputEvent::Key(208, true)); // down
    Step(16);
    queue.Push(InputEvent::Key(208, false));
    queue.Push(InputEvent::Key(57, true)); // decide
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 1100);
    EXPECT_EQ(app.ResultName, "Two");
    EXPECT_EQ(app.ResultIndex, 1);
    EXPECT_EQ(app.Triggers()[kInputDecide], 0u); // cleared by the service

    // Cancel goes through the save service to the cancel cycle.
    queue.Push(InputEvent::Key(57, false));
    app.SetCycle(kCycleSlotList, kSceneTitle, kCycleLoadSave, -1);
    Step(16);
    queue.Push(InputEvent::Key(48, true)); // B: cancel
    Step(16);
    EXPECT_EQ(app.ResultName, SJ("キャンセル"));
    EXPECT_EQ(app.GetCycle(kSceneTitle), kCycleLoadSave);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 0);
    EXPECT_TRUE(list->Entries().empty());
}

struct FakeCampaign : CampaignPort {
    void CreateState() override { ++created; }
    HRESULT LoadMasterData(CDatArchive&, std::string* failed) override {
        if (fail) {
            *failed = "CharaMaster.Dat";
            return E_FAIL;
        }
        return S_OK;
    }
    bool WriteSave(CDatArchive&, const std::string& path) override {
        written.push_back(path);
        return true;
    }
    bool LoadSave(CDatArchive&, const std::string& path) override {
        loaded.push_back(path);
        return true;
    }
    void Release() override { ++released; }
    int created = 0, released = 0;
    bool fail = false;
    std::vector<std::string> written, loaded;
};

TEST_F(AppFixture, SaveServicesWriteAndLoadTheChosenSlot) {
    FakeCampaign campaign;
    app.SetCampaignPort(&campaign);
    StartTitle();
    EXPECT_EQ(campaign.created, 1);
    app.ResultName = "Save 3";
    app.ResultIndex = 3;
    app.SetCycle(kCycleWriteSave, kSceneTitle, 1200, 0);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 1200);
    ASSERT_EQ(campaign.written.size(), 1u);
    EXPECT_EQ(campaign.written[0], "GameData\\Save\\Save3.Dat");
    app.ResultIndex = 0;
    app.SetCycle(kCycleLoadSave, kSceneTitle, 1300, 0);
    Step(16);
    ASSERT_EQ(campaign.loaded.size(), 1u);
    EXPECT_EQ(campaign.loaded[0], "GameData\\Save\\Init.Dat");
    // "←" cancels; an index naming no slot is a cancel as well.
    app.ResultName = SJ("←");
    app.SetCycle(kCycleWriteSave, kSceneTitle, 1200, 50);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 50);
    app.ResultName = "x";
    app.ResultIndex = 40;
    app.SetCycle(kCycleWriteSave, kSceneTitle, 1200, 60);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 60);
    EXPECT_EQ(campaign.written.size(), 1u);
    app.CloseDown();
    EXPECT_EQ(campaign.released, 1);
}

TEST_F(AppFixture, FailedMasterTableFailsStartUpNamingIt) {
    FakeCampaign campaign;
    campaign.fail = true;
    app.SetCampaignPort(&campaign);
    WriteSetting(DefaultSetting());
    EXPECT_LT(Start(), 0);
    EXPECT_NE(app.FailureReason().find("CharaMaster.Dat"), std::string::npos);
    app.CloseDown();
    EXPECT_EQ(campaign.released, 1);
}

struct FakeScript : ScriptPort {
    void PrepareScene() override { ++prepared; }
    void Show(bool v) override { visible = v; }
    void SetBrightness(int l) override { level = l; }
    void StartEmpty() override { ++empties; }
    bool ServeStep(std::uint32_t* triggers) override {
        if (!triggers[kInputDecide]) {
            return false;
        }
        triggers[kInputDecide] = 0;
        ++steps;
        HRESULT h = E_FAIL;
        if (!answers.empty()) {
            h = answers.front();
            answers.erase(answers.begin());
        }
        if (h == E_FAIL) {
            visible = false;
            return true;
        }
        return false;
    }
    void ReleasePictures() override { ++releases; }
    int prepared = 0, empties = 0, steps = 0, releases = 0, level = -1;
    bool visible = false;
    std::vector<HRESULT> answers{-1000, 0};
};

TEST_F(AppFixture, ScriptServiceShowsStepsOnDecideAndEndsWhenTheScriptEnds) {
    FakeScript script;
    app.SetScriptPort(&script);
    StartTitle();
    EXPECT_EQ(script.prepared, 1);
    EXPECT_EQ(script.empties, 1);
    EXPECT_FALSE(script.visible);
    app.SetCycle(kCycleScript, kSceneTitle, 400, -1);
    Step(16);
    EXPECT_TRUE(script.visible);
    EXPECT_EQ(script.level, 255);
    EXPECT_EQ(app.GetCycle(kSceneTitle), kCycleScriptStep);
    Step(16);
    EXPECT_EQ(script.steps, 0); // no decide: nothing
    for (int i = 0; i < 3; ++i) {
        queue.Push(InputEvent::Key(57, true));
        Step(16);
        queue.Push(InputEvent::Key(57, false));
        Step(16);
    }
    EXPECT_EQ(script.steps, 3);
    EXPECT_FALSE(script.visible);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 400);
    app.CloseDown();
    EXPECT_GE(script.releases, 1);
}

TEST_F(AppFixture, SpeedItemsCheckAndScaleAsTheMenuSays) {
    StartTitle();
    EXPECT_TRUE(app.MenuChecked(kCmdSpeed10));
    // "2.0倍" on the title: stored, written, checked; the title runs at 1.0.
    EXPECT_EQ(app.HandleMessage(kCmdSpeed20), 1);
    EXPECT_EQ(app.GameSpeed(), 2.0f);
    EXPECT_TRUE(app.MenuChecked(kCmdSpeed20));
    EXPECT_FALSE(app.MenuChecked(kCmdSpeed10));
    EXPECT_EQ(app.Speed(kSpeedFade), 20.0f);
    TokenList user = ReadUser();
    ASSERT_EQ(user.size(), 10u);
    EXPECT_EQ(user[3], "2");
    // "5.0倍" keeps its factor until the next scene switch.
    app.HandleMessage(kCmdSpeed50);
    EXPECT_EQ(app.Speed(kSpeedFade), 100.0f);
    EXPECT_EQ(app.Speed(kSpeedCharaMove), 1.0f); // 0.4 x 5, clamped
    EXPECT_EQ(app.Speed(kSpeedEffect), 2.0f);    // 10 / 5
    app.SetNextScene(kSceneMenu, 0);
    app.SwitchToNextScene();
    EXPECT_EQ(app.Speed(kSpeedFade), 20.0f);
    EXPECT_EQ(app.GameSpeed(), 5.0f);
    // In a battle a speed item stays active.
    app.SetScene(kSceneBattle, 0, -1);
    app.HandleMessage(kCmdSpeed30);
    EXPECT_FLOAT_EQ(app.Speed(kSpeedFade), 60.0f);
}

TEST_F(AppFixture, UserIniSpeedWithoutAnItemChecksNothingNew) {
    WriteSetting(DefaultSetting());
    WriteUser({"FirstPlay", "0", "GameSpeed", "1.5", "EnableFPS", "1", "EnableMusic", "0",
               "EnableSE", "0"});
    ASSERT_EQ(Start(), S_OK);
    EXPECT_EQ(app.GameSpeed(), 1.5f);
    EXPECT_TRUE(app.MenuChecked(kCmdSpeed10));
    EXPECT_EQ(app.SpeedMenuItem(), kCmdSpeed10);
    EXPECT_FALSE(app.MenuChecked(kCmdMusic));
    EXPECT_FALSE(app.MenuChecked(kCmdSoundEffects));
    EXPECT_TRUE(app.MenuChecked(kCmdFrameRate));
}

TEST_F(AppFixture, ToggleItemsFlipTheirSwitchAndRewriteUserIni) {
    StartTitle();
    EXPECT_FALSE(app.MenuChecked(kCmdFrameRate));
    app.HandleMessage(kCmdFrameRate);
    EXPECT_TRUE(app.MenuChecked(kCmdFrameRate));
    app.HandleMessage(kCmdMusic);
    EXPECT_FALSE(app.Midi()->IsEnabled());
    app.HandleMessage(kCmdSoundEffects);
    EXPECT_FALSE(app.Sound()->IsEnabled());
    EXPECT_EQ(ReadUser(), (TokenList{"FirstPlay", "0", "GameSpeed", "1", "EnableFPS", "1",
                                     "EnableMusic", "0", "EnableSE", "0"}));
    app.HandleMessage(kCmdKeyConfig);
    EXPECT_EQ(host.keyConfigs, 1);
    EXPECT_EQ(app.HandleMessage(12345), 0);
    // The frame-rate text appears one second after the display is on.
    Step(16);
    EXPECT_EQ(app.FrameRateText(), "");
    for (int i = 0; i < 70; ++i) {
        Step(16);
    }
    EXPECT_NE(app.FrameRateText().find(" rps"), std::string::npos);
    // 40001 asks the quit question.
    boxes.QueueAnswer(MessageBoxAnswer::No);
    app.HandleMessage(kCmdQuit);
    EXPECT_EQ(boxes.Asked().size(), 1u);
    EXPECT_FALSE(app.Quit());
}

} // namespace
} // namespace quolis

namespace quolis {
namespace {

TEST_F(AppFixture, OwnCampaignWritesAndReadsBackASaveSlot) {
    StartTitle();
    ASSERT_NE(app.OwnCampaign().State(), nullptr);
    app.OwnCampaign().State()->bpPool = 1234;
    app.OwnCampaign().State()->stageFile = "Stage01.txt";
    std::filesystem::create_directories(root.Host("GameData/Save"));
    app.ResultName = "slot";
    app.ResultIndex = 2;
    app.SetCycle(kCycleWriteSave, kSceneTitle, 500, 0);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 500);
    EXPECT_FALSE(root.Read("GameData/Save/Save2E.Dat").empty());
    app.OwnCampaign().State()->bpPool = 0;
    app.SetCycle(kCycleLoadSave, kSceneTitle, 600, 0);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 600);
    EXPECT_EQ(app.OwnCampaign().State()->bpPool, 1234);
}

} // namespace
} // namespace quolis

namespace quolis {
namespace {

TEST_F(AppFixture, InjectedCalendarDatesTheSavesByteForByte) {
    // 2003-03-05 14:07:00 UTC, moving with the game clock: two saves of the
    // same state at the same game time are the same bytes, whatever the
    // machine's clock says.
    ManualClock gameClock(0);
    ClockCalendar cal(1046873220, gameClock);
    calendar = &cal;
    StartTitle();
    EXPECT_EQ(&app.GameCalendar(), &cal);
    app.OwnCampaign().State()->bpPool = 77;
    std::filesystem::create_directories(root.Host("GameData/Save"));
    std::string first;
    for (int slot : {1, 2}) {
        app.ResultName = "slot";
        app.ResultIndex = slot;
        app.SetCycle(kCycleWriteSave, kSceneTitle, 500, 0);
        Step(16);
        ASSERT_EQ(app.GetCycle(kSceneTitle), 500);
        std::tm date = app.OwnCampaign().State()->saveDate;
        EXPECT_EQ(date.tm_year, 103);
        EXPECT_EQ(date.tm_mday, 5);
        EXPECT_EQ(date.tm_hour, 14);
        EXPECT_EQ(date.tm_min, 7);
        EXPECT_EQ(date.tm_sec, 0);
    }
    EXPECT_EQ(root.Read("GameData/Save/Save1E.Dat"), root.Read("GameData/Save/Save2E.Dat"));
    // A later game second gives a later date.
    gameClock.Advance(5000);
    app.ResultIndex = 3;
    app.SetCycle(kCycleWriteSave, kSceneTitle, 500, 0);
    Step(16);
    EXPECT_EQ(app.OwnCampaign().State()->saveDate.tm_sec, 5);
    EXPECT_NE(root.Read("GameData/Save/Save3E.Dat"), root.Read("GameData/Save/Save1E.Dat"));
    app.CloseDown();
}

TEST_F(AppFixture, OwnScriptEngineServesTheScriptCycles) {
    StartTitle();
    CScript* script = app.ScriptEngine();
    ASSERT_NE(script, nullptr);
    EXPECT_FALSE(script->Visible()); // hidden by the scene build
    script->RunTokens({}, false);
    app.SetCycle(kCycleScript2, kSceneTitle, 900, -1);
    Step(16);
    EXPECT_TRUE(script->Visible());
    EXPECT_EQ(app.GetCycle(kSceneTitle), kCycleScript2Step);
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), kCycleScript2Step); // waits for decide
    queue.Push(InputEvent::Key(57, true));
    Step(16);
    EXPECT_EQ(app.GetCycle(kSceneTitle), 900); // the empty script has ended
    EXPECT_FALSE(script->Visible());
}

} // namespace
} // namespace quolis
