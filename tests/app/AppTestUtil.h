#pragma once
// A whole application object on the recording device and mixer, a manual
// clock, scripted message boxes and a scratch GameData folder.
#include "../data/ArchiveTestUtil.h"
#include "app/GameApp.h"
#include "common/Clock.h"
#include "data/DatArchiveWriter.h"
#include "platform/RecordingDevice.h"
#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quolis::testing_util {

struct CountingScene : CScene {
    int builds = 0, setups = 0, frames = 0, draws = 0, teardowns = 0;
    HRESULT Build(CGameApp&) override {
        ++builds;
        return S_OK;
    }
    HRESULT SetUp(CGameApp&) override {
        ++setups;
        return S_OK;
    }
    HRESULT Frame(CGameApp&) override {
        ++frames;
        return S_OK;
    }
    HRESULT Draw(CGameApp&) override {
        ++draws;
        return S_OK;
    }
    HRESULT Teardown(CGameApp&) override {
        ++teardowns;
        return S_OK;
    }
};

class FakeHost : public AppHost {
public:
    void PumpEvents() override { ++pumps; }
    void WaitEvents() override {
        ++waits;
        if (waits >= refocusAfter) {
            queue->Push(InputEvent::Window(InputEventKind::FocusGained));
        }
        if (waits == closeAfterWaits) {
            queue->Push(InputEvent::Window(InputEventKind::CloseRequested));
        }
    }
    bool Focused() override { return focused; }
    bool IgnoresFocus() override { return ignoresFocus; }
    bool FinishFramePass(int pass) override {
        clock->Advance(16);
        passes = pass + 1;
        return pass + 1 < passLimit;
    }
    void ShowWindow() override { shown = true; }
    void RunKeyConfig() override { ++keyConfigs; }
    void SetWindowTitle(const std::string& title) override { titles.push_back(title); }

    InputEventQueue* queue = nullptr;
    ManualClock* clock = nullptr;
    int pumps = 0, waits = 0, passes = 0, keyConfigs = 0;
    int refocusAfter = 3;
    int closeAfterWaits = -1; // the window's close button after this many waits
    bool ignoresFocus = false;
    int passLimit = 5;
    bool focused = true;
    bool shown = false;
    std::vector<std::string> titles; // every window title set, in order
};

class AppFixture : public ::testing::Test {
protected:
    AppFixture() {
        CStopwatch::SetClock(&clock);
        host.queue = &queue;
        host.clock = &clock;
        for (int s = 0; s < kSceneCount; ++s) {
            auto scene = std::make_unique<CountingScene>();
            scenes[s] = scene.get();
            app.SetSceneHandlers(s, std::move(scene));
        }
    }
    ~AppFixture() override { CStopwatch::SetClock(nullptr); }

    static TokenList DefaultSetting() {
        return {"FLAG_MSG",        "1",   "FLAG_BATTLE", "1",  "FLAG_ALWAYSCORE",  "0",
                "SPEED_CHARAMOVE", "0.4", "SPEED_FADE",  "20", "SPEED_FADEVOLUME", "100",
                "SPEED_EFFECT",    "10"};
    }
    void WriteSetting(const TokenList& tokens) {
        ArchiveMemberSource member;
        ASSERT_TRUE(TextMember("Data\\Setting.Dat", tokens, member));
        std::string bytes;
        ASSERT_TRUE(ComposeArchive({member}, bytes));
        root.Write("GameData/Data/Data.Dat", bytes);
    }
    void WriteUser(TokenList tokens) {
        std::filesystem::create_directories(root.Host("GameData/Ini"));
        CDatArchive secure(true, false);
        ASSERT_EQ(secure.WriteTokens("GameData\\Ini\\User.ini", tokens), S_OK);
    }
    TokenList ReadUser() {
        CDatArchive secure(true, false);
        TokenList t;
        secure.ReadTokens({}, "GameData\\Ini\\User.ini", t);
        return t;
    }
    HRESULT Start() {
        AppEnvironment env;
        env.device = &device;
        env.mixer = &mixer;
        env.input = &queue;
        env.boxes = &boxes;
        env.host = &host;
        env.trace = trace;
        env.calendar = calendar;
        return app.Create(env);
    }
    // Standard data, FirstPlay 0 (the title first).
    void StartTitle() {
        WriteSetting(DefaultSetting());
        WriteUser({"FirstPlay", "0", "GameSpeed", "1", "EnableFPS", "0", "EnableMusic", "1",
                   "EnableSE", "1"});
        ASSERT_EQ(Start(), S_OK);
    }
    void Step(int ms = 16) {
        clock.Advance(ms);
        ASSERT_EQ(app.FramePass(), S_OK);
    }

    ScratchRoot root;
    ManualClock clock{5000};
    RecordingDevice device;
    RecordingMixer mixer;
    InputEventQueue queue;
    ScriptedMessageBoxes boxes;
    FakeHost host;
    TraceSink* trace = nullptr;   // set before Start
    Calendar* calendar = nullptr; // set before Start
    CountingScene* scenes[kSceneCount] = {};
    CGameApp app;
};

} // namespace quolis::testing_util
