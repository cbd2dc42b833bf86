#pragma once
// One management scene on the whole application object: the small creature
// master of the manage tests in a scratch GameData, a campaign saved to and
// loaded from slot 1, keys through the real input path, and the messages the
// message box showed.
#include "app/AppTestUtil.h"
#include "manage/ManageTestUtil.h"
#include "scenes/common/ManageScene.h"

#include <algorithm>
#include <functional>

namespace quolis::manage_test {

constexpr int kKeySpace = 57, kKeyCancel = 48, kKeyUp = 200, kKeyDown = 208, kKeyLeft = 203,
              kKeyRight = 205;

class ManageSceneFixture : public testing_util::AppFixture {
protected:
    // Starts the application with the scene's handlers installed, lets
    // `fill` build the campaign, saves it to slot 1, loads it back (so the
    // state's own file is slot 1) and enters the scene.
    void Enter(int scene, std::unique_ptr<CScene> handlers,
               const std::function<void(GameState&)>& fill, const char* path = nullptr) {
        scene_ = scene;
        app.SetSceneHandlers(scene, std::move(handlers));
        WriteData();
        WriteUser({"FirstPlay", "0", "GameSpeed", "1", "EnableFPS", "0", "EnableMusic", "1",
                   "EnableSE", "1"});
        ASSERT_EQ(Start(), S_OK);
        GameState& g = *app.OwnCampaign().State();
        fill(g);
        const std::string slot = path != nullptr ? path : CGameApp::SavePath(1);
        std::filesystem::create_directories(root.Host("GameData/Save"));
        ASSERT_TRUE(app.OwnCampaign().WriteSave(app.SecureReader(), slot));
        ASSERT_TRUE(app.OwnCampaign().LoadSave(app.SecureReader(), slot));
        saved_ = SaveBytes(slot);
        ASSERT_FALSE(saved_.empty());
        app.SetNextScene(scene, 0);
        ASSERT_EQ(app.SwitchToNextScene(), S_OK);
    }

    void WriteData() {
        std::vector<ArchiveMemberSource> members(7);
        ASSERT_TRUE(TextMember("Data\\Setting.Dat", DefaultSetting(), members[0]));
        ASSERT_TRUE(TextMember("Data\\MAMaster.Dat", SplitTokens(S(kArmsText)), members[1]));
        ASSERT_TRUE(TextMember("Data\\CharaMaster.Dat", SplitTokens(S(kMasterText)), members[2]));
        const char* empty[] = {"DirectionBonus.Dat", "HeightBonus.Dat", "FloorTex.Dat",
                               "FloorObj.Dat"};
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(TextMember(std::string("Data\\") + empty[i], {}, members[3 + i]));
        }
        std::string bytes;
        ASSERT_TRUE(ComposeArchive(members, bytes));
        root.Write("GameData/Data/Data.Dat", bytes);
    }

    // The scrambled file of a slot path as it is on disk.
    std::string SaveBytes(const std::string& path) {
        std::string name = path.substr(path.rfind('\\') + 1);
        name.insert(name.rfind('.'), "E");
        return root.Exists("GameData/Save/" + name) ? root.Read("GameData/Save/" + name)
                                                    : std::string();
    }
    // The campaign as a slot file holds it.
    GameState ReadBack(int slot = 1) {
        GameState g;
        Tables t;
        CDatArchive secure(true, false);
        EXPECT_TRUE(g.Load(secure, CGameApp::SavePath(slot), t.master, t.arms));
        return g;
    }
    GameState& State() { return *app.OwnCampaign().State(); }

    int Cycle() { return app.GetCycle(scene_); }
    void StepRecording() {
        Step();
        if (CScript* s = app.ScriptEngine()) {
            std::string m = s->Message();
            m.erase(std::remove(m.begin(), m.end(), '\n'), m.end());
            if (!m.empty() && (messages.empty() || messages.back() != m)) {
                messages.push_back(m);
            }
        }
    }
    // Steps until the scene is `scene` at step `code`.
    bool WaitFor(int code, int scene = -1, int limit = 600) {
        const int s = scene < 0 ? scene_ : scene;
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == s && app.GetCycle(s) == code) {
                return true;
            }
            StepRecording();
        }
        return false;
    }
    void Tap(int code) {
        queue.Push(InputEvent::Key(code, true));
        StepRecording();
        queue.Push(InputEvent::Key(code, false));
        StepRecording();
    }
    // Reads every narration message to its end (decide once each is typed).
    void ReadNarration(int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            const int c = Cycle();
            if (c != kCycleScript && c != kCycleScriptStep) {
                return;
            }
            CScript* s = app.ScriptEngine();
            if (s != nullptr && !s->Typing() && c == kCycleScriptStep) {
                Tap(kKeySpace);
            } else {
                StepRecording();
            }
        }
        ADD_FAILURE() << "the narration did not end";
    }
    // The names of the open text menu, in key order.
    std::vector<std::string> MenuNames() {
        std::vector<std::string> names;
        if (CSlotList* l = app.SharedSlotList()) {
            for (const auto& [key, e] : l->Entries()) {
                names.push_back(e.name);
            }
        }
        return names;
    }
    // Waits for the text menu, moves to the entry named `utf8` and decides.
    void Choose(const std::string& utf8) {
        ASSERT_TRUE(WaitFor(kCycleSlotListStep)) << "no menu at step " << Cycle();
        const std::string name = S(utf8);
        CSlotList* l = app.SharedSlotList();
        ASSERT_NE(l, nullptr);
        int key = -1;
        for (const auto& [k, e] : l->Entries()) {
            if (e.name == name) {
                key = k;
            }
        }
        ASSERT_GE(key, 0) << "no menu entry " << utf8;
        for (int i = 0; i < 20 && l->CurrentKey() != key; ++i) {
            Tap(kKeyDown);
        }
        ASSERT_EQ(l->CurrentKey(), key);
        Tap(kKeySpace);
    }
    bool Said(const std::string& utf8) const {
        return std::find(messages.begin(), messages.end(), S(utf8)) != messages.end();
    }
    // Answers the save question with "セーブしない" and waits for the hub.
    void LeaveWithoutSaving() {
        ReadNarration();
        Choose("セーブしない");
        ASSERT_TRUE(WaitFor(0, kSceneMenu));
    }

    std::vector<std::string> messages;
    std::string saved_;
    int scene_ = 0;
};

} // namespace quolis::manage_test
