#pragma once
// The battle scene on a whole application object: the demo campaign's master
// tables (from the content sources), a stage written by the test, the squad
// of the new-game data, and keys pressed through the input queue.
#include "app/AppTestUtil.h"
#include "common/Text.h"
#include "data/Tokens.h"
#include "scenes/battle/BattleScene.h"

#include <fstream>
#include <sstream>

namespace quolis::testing_util {

// Keyboard scan codes of the default key map.
enum BattleKey : int {
    kKeyUp = 200,
    kKeyDown = 208,
    kKeyLeft = 203,
    kKeyRight = 205,
    kKeyDecide = 57,
    kKeyCancel = 48,
    kKeyStart = 25,
    kKeyRotateLeft = 44,
    kKeyRotateRight = 46,
    kKeyDistance = 32,
};

inline TokenList Cp932Tokens(const std::string& utf8) {
    TokenList t = SplitTokens(Utf8ToCp932(utf8));
    RemoveComments(t);
    return t;
}

inline std::string ReadSource(const std::string& rel) {
    std::ifstream f(std::string(QUOLIS_SOURCE_DIR) + "/" + rel, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A stage written by a test: rows are given top row first, as in the file.
struct TestStage {
    std::string name = "Test.Dat";
    int width = 6, depth = 6;
    std::vector<std::string> enemies; // "名前 X タイプ T 合成回数 0 レベル 1 アングル down 位置 a"
    std::vector<std::string> markers; // start letters
    std::vector<std::string> heights; // empty: all 1
    std::vector<std::string> objects; // empty: none
    std::vector<std::string> facings; // empty: all "2" (up)
    std::string next = "Nothing";
    std::string edEvent; // empty: no closing event
    std::string opStory = "Nothing";
    std::string edStory = "Nothing";
    int eventBonus = 50;
    int cameraAngle = 0;

    std::string Text() const {
        auto grid = [&](const std::vector<std::string>& rows, char fill) {
            std::string s;
            for (int r = 0; r < depth; ++r) {
                std::string row = r < static_cast<int>(rows.size()) ? rows[r] : std::string();
                row.resize(static_cast<std::size_t>(width), fill);
                s += row + "\n";
            }
            return s;
        };
        std::string s = "／／ステージ情報\nステージ名 テスト\nステージ名２ 試験場\nステージ番号 1\n"
                        "ステージＸファイル名 Nothing\n位置 0 0 0\nアングル 0 0 0\n";
        s += "初期カメラアングル " + std::to_string(cameraAngle) + "\n";
        if (!edEvent.empty()) {
            s += "ＥＤイベント " + edEvent + "\n";
        }
        s += "次のステージファイル " + next + "\nＯＰストーリーファイル " + opStory +
             "\nＥＤストーリーファイル " + edStory +
             "\n味方ＢＧＭ Battle1.mid\n敵ＢＧＭ Enemy1.mid\nイベントボーナス " +
             std::to_string(eventBonus) +
             "\nアドプレイス情報 ／／ 試験場 ／／\nネクストサイクル情報 "
             "次へ\n／／ステージ情報終わり\n";
        s += "／／敵情報\n";
        for (const std::string& e : enemies) {
            s += "／／ " + e + " ／／\n";
        }
        s += "／／敵情報終わり\n";
        s += "フロアサイズ " + std::to_string(width) + " " + std::to_string(depth) + "\n";
        s += "／／フロアテクスチャ情報\n" + grid({}, '1') + "／／フロアテクスチャ情報終わり\n";
        s += "／／フロアオブジェクト情報\n" + grid(objects, '0') +
             "／／フロアオブジェクト情報終わり\n";
        s += "／／フロア高低情報\n" + grid(heights, '1') + "／／フロア高低情報終わり\n";
        s += "／／キャラ位置情報\n" + grid(markers, '.') + "／／キャラ位置情報終わり\n";
        s += "／／初期アングル情報\n" + grid(facings, '2') + "／／初期アングル情報終わり\n";
        return s;
    }
};

class BattleFixture : public AppFixture {
protected:
    BattleFixture() { InstallBattleScene(app); }

    // Master tables of the demo campaign with the given switches.
    // `charaMove`: the walk's glide step (1 crosses a cell in one step).
    void WriteData(int flagMsg, int flagBattle, int alwaysCore = 0,
                   const std::string& charaMove = "1") {
        std::vector<ArchiveMemberSource> members;
        for (const char* table : {"MAMaster.Dat", "DirectionBonus.Dat", "HeightBonus.Dat",
                                  "CharaMaster.Dat", "FloorTex.Dat", "FloorObj.Dat"}) {
            ArchiveMemberSource m;
            ASSERT_TRUE(TextMember(std::string("Data\\") + table,
                                   Cp932Tokens(ReadSource(std::string("content/Data/") + table)),
                                   m));
            members.push_back(m);
        }
        ArchiveMemberSource setting;
        ASSERT_TRUE(TextMember("Data\\Setting.Dat", {"FLAG_MSG",         std::to_string(flagMsg),
                                                     "FLAG_BATTLE",      std::to_string(flagBattle),
                                                     "FLAG_ALWAYSCORE",  std::to_string(alwaysCore),
                                                     "SPEED_CHARAMOVE",  charaMove,
                                                     "SPEED_CAMERAMOVE", "1",
                                                     "SPEED_VARY",       "1",
                                                     "SPEED_SLIDE",      "1",
                                                     "SPEED_FADE",       "64",
                                                     "SPEED_FADEVOLUME", "1000",
                                                     "SPEED_WIPE",       "1",
                                                     "SPEED_EFFECT",     "1"},
                               setting));
        members.push_back(setting);
        std::string bytes;
        ASSERT_TRUE(ComposeArchive(members, bytes));
        root.Write("GameData/Data/Data.Dat", bytes);
    }

    void WriteStages(const std::vector<TestStage>& stages) {
        std::vector<ArchiveMemberSource> members;
        for (const TestStage& s : stages) {
            ArchiveMemberSource m;
            ASSERT_TRUE(TextMember(s.name, Cp932Tokens(s.Text()), m));
            members.push_back(m);
        }
        std::string bytes;
        ASSERT_TRUE(ComposeArchive(members, bytes));
        root.Write("GameData/Stage/Stage.Dat", bytes);
    }

    // Starts the application (title first), gives it the new-game squad and
    // enters the battle on `stageFile`.
    void EnterBattle(const std::string& stageFile) {
        WriteUser({"FirstPlay", "0", "GameSpeed", "1", "EnableFPS", "0", "EnableMusic", "1",
                   "EnableSE", "1"});
        std::filesystem::create_directories(root.Host("GameData/Save"));
        ASSERT_EQ(AppFixture::Start(), S_OK);
        GameState* state = app.OwnCampaign().State();
        ASSERT_NE(state, nullptr);
        state->ParseSave(Cp932Tokens(ReadSource("content/Save/Init.Dat")),
                         app.OwnCampaign().Charas(), app.OwnCampaign().Arms());
        state->filePath = "GameData\\Save\\Init.Dat";
        app.OwnCampaign().SetCurrentStageFile(stageFile);
        app.SetNextScene(kSceneBattle, 0);
        app.SwitchToNextScene();
        ASSERT_EQ(app.GetScene(0), kSceneBattle);
    }

    BattleData& D() {
        auto* scene = static_cast<BattleScene*>(app.SceneHandlers(kSceneBattle));
        return *scene->Data();
    }
    int Code() { return app.GetCycle(kSceneBattle); }
    BattleUnits& Units() {
        return static_cast<BattleScene*>(app.SceneHandlers(kSceneBattle))->Units();
    }

    // Steps until the battle's code is `code`; the number of steps, or -1.
    int StepUntil(int code, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == kSceneBattle && Code() == code) {
                return i;
            }
            Step();
        }
        return -1;
    }
    // Steps until the scene is `scene`.
    int StepUntilScene(int scene, int limit = 4000) {
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == scene) {
                return i;
            }
            Step();
        }
        return -1;
    }
    // One logic step with the key held, then one with it released.
    void Tap(int key) {
        queue.Push(InputEvent::Key(key, true));
        Step();
        queue.Push(InputEvent::Key(key, false));
        Step();
    }
    // Keeps stepping (tapping decide through messages) until `code`.
    int TapDecideUntil(int code, int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == kSceneBattle && Code() == code) {
                return i;
            }
            if (Code() == kCycleScriptStep) {
                Tap(kKeyDecide);
            } else {
                Step();
            }
        }
        return -1;
    }
    // The same until the scene is `scene`.
    int TapDecideUntilScene(int scene, int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == scene) {
                return i;
            }
            if (app.GetScene(0) == kSceneBattle && Code() == kCycleScriptStep) {
                Tap(kKeyDecide);
            } else {
                Step();
            }
        }
        return -1;
    }
    // Moves the cursor with the keys (preset 0); gives up after 20 taps.
    void CursorTo(int x, int y) {
        while (D().cursor.CellX() < x)
            Tap(kKeyRight);
        while (D().cursor.CellX() > x)
            Tap(kKeyLeft);
        while (D().cursor.CellY() < y)
            Tap(kKeyUp);
        while (D().cursor.CellY() > y)
            Tap(kKeyDown);
    }
    std::vector<std::string> MenuItems() {
        std::vector<std::string> out;
        if (app.SharedSlotList() != nullptr) {
            for (const auto& [key, e] : app.SharedSlotList()->Entries()) {
                out.push_back(e.name);
            }
        }
        return out;
    }
    // Moves the shared menu's cursor to `name` and decides.
    void Choose(const std::string& name) {
        for (int i = 0; i < 12; ++i) {
            std::string current;
            app.SharedSlotList()->GetSelected(current);
            if (current == name) {
                break;
            }
            Tap(kKeyDown);
        }
        Tap(kKeyDecide);
    }
};

} // namespace quolis::testing_util
