#pragma once
// The whole application on the recording device with the game's scenes
// installed (the scenes not built here stay counting stand-ins), a scratch
// GameData with hand-made stage files and scripts, and key presses through
// the input queue.
#include "app/AppTestUtil.h"
#include "common/Log.h"
#include "common/Text.h"
#include "data/Tokens.h"
#include "scenes/Scenes.h"

#include <map>
#include <string>
#include <vector>

namespace quolis::testing_util {

// DirectInput codes of the default keyboard bindings.
enum SceneKey : int {
    kKeySpace = 57, // decide
    kKeyB = 48,     // cancel
    kKeyZ = 44,     // rotate view left
    kKeyLeft = 203,
    kKeyRight = 205,
    kKeyUp = 200,
    kKeyDown = 208,
};

class SceneFixture : public AppFixture {
protected:
    SceneFixture() {
        InstallGameScenes(app);
        previousSink_ = SetLogSink([this](std::string_view line) { log.emplace_back(line); });
    }
    ~SceneFixture() override { SetLogSink(previousSink_); }

    // UTF-8 text → tokens in CP932.
    static TokenList T(std::string_view utf8) { return SplitTokens(Utf8ToCp932(utf8)); }

    // Stage files (member name → UTF-8 text) into GameData\Stage\Stage.Dat.
    void WriteStages(const std::map<std::string, std::string>& files) {
        WriteArchive("GameData/Stage/Stage.Dat", files);
    }
    // Scripts (member name → UTF-8 text) into GameData\Text\Text.Dat.
    void WriteScripts(const std::map<std::string, std::string>& files) {
        WriteArchive("GameData/Text/Text.Dat", files);
    }
    void WriteArchive(const std::string& rel, const std::map<std::string, std::string>& files) {
        std::vector<ArchiveMemberSource> members;
        for (const auto& [name, text] : files) {
            ArchiveMemberSource m;
            ASSERT_TRUE(TextMember(Utf8ToCp932(name), T(text), m)) << name;
            members.push_back(m);
        }
        std::string bytes;
        ASSERT_TRUE(ComposeArchive(members, bytes));
        root.Write(rel, bytes);
    }
    // The information section of a stage file.
    static std::string StageInfo(const std::string& block, int number, const std::string& name2,
                                 const std::string& extra) {
        return "／／ステージ情報 ステージ名 " + block + " ステージ名２ " + name2 +
               " ステージ番号 " + std::to_string(number) + " " + extra + " ／／ステージ情報終わり";
    }

    void StartGame(int flagMsg = 1) {
        TokenList setting = DefaultSetting();
        setting[1] = std::to_string(flagMsg);
        WriteSetting(setting);
        WriteUser({"FirstPlay", "0", "GameSpeed", "1", "EnableFPS", "0", "EnableMusic", "1",
                   "EnableSE", "1"});
        ASSERT_EQ(Start(), S_OK);
    }
    // Leaves the current scene and enters `scene` at its first step.
    void Enter(int scene) {
        app.LeaveScene();
        app.SetScene(scene, 0, -1);
        app.SetCycle(0, scene);
        app.BuildScene();
        app.EnterScene();
    }
    // Steps until the current scene is `scene` at step `cycle`; the number of
    // steps, or -1.
    int StepUntil(int scene, int cycle, int limit = 600) {
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
    bool Logged(std::string_view part) const {
        for (const std::string& l : log) {
            if (l.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> log;

private:
    LogSink previousSink_;
};

} // namespace quolis::testing_util
