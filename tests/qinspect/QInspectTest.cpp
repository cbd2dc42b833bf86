#include "common/Clock.h"
#include "common/Path.h"
#include "common/Text.h"
#include "data/GameState.h"
#include "data/Tokens.h"

#include "../support/ScratchDir.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace quolis {
namespace {
namespace fs = std::filesystem;

class QInspect : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "qinspect-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        Write("GameData/Data/MAMaster.Dat", "キャノン 3 20 10\nブレス 2 9 10\nバルカン 1 5 2\n");
        Write("GameData/Data/DirectionBonus.Dat", "BySide // 1 2 // ByRear // 1 4 //");
        Write("GameData/Data/HeightBonus.Dat", "ByUpper // 1 2 // ByLower // 1 -2 //");
        Write("GameData/Data/FloorTex.Dat", "a 草.bmp b rock.bmp");
        Write("GameData/Data/FloorObj.Dat", "- none T tree.x");
        Write(
            "GameData/Data/CharaMaster.Dat",
            "／／名前 ＱＬ－１ QL1 ＱＬ１－ ＱＬ－１Ｅ QL1 敵 ／／名前終わり\n"
            "／／ＨＰ ＱＬ－１ ＱＬ－１Ｅ ／／ 100 10 0.5 ／／ ／／ＨＰ終わり\n"
            "／／ＭＰ ＱＬ－１ ＱＬ－１Ｅ ／／ 100 50 0.1 ／／ ／／ＭＰ終わり\n"
            "／／ＮｅｅｄＢＰ ＱＬ－１Ｅ ／／ 100 50 0.1 ／／ ／／ＮｅｅｄＢＰ終わり\n"
            "／／ＢＰ ＱＬ－１Ｅ ／／ 0.5 0.2 ／／ ／／ＢＰ終わり\n"
            "／／コア出現率 ＱＬ－１Ｅ ／／ 40 ／／ ／／コア出現率終わり\n"
            "／／ＭｂｌＰ ＱＬ－１ ／／ 0 1 3 1 5 5 ／／ ／／ＭｂｌＰ終わり\n"
            "／／メタルアームズ ＱＬ－１ ＱＬ－１Ｅ ／／ ブレス 0 1 キャノン 0 1 バルカン 1 1 ／／ "
            "／／メタルアームズ終わり\n");
        Write("GameData/Stage/Stage01.txt",
              "／／ステージ情報 ステージ名 ブロックＡ ステージ名２ 森 ステージ番号 1 "
              "／／ステージ情報終わり\n／／敵情報 ／／ 名前 敵1 タイプ ＱＬ－１Ｅ レベル 3 位置 a "
              "／／ "
              "／／敵情報終わり\nフロアサイズ 3 2\n"
              "／／フロアテクスチャ情報 aab bba ／／フロアテクスチャ情報終わり\n"
              "／／フロアオブジェクト情報 --T --- ／／フロアオブジェクト情報終わり\n"
              "／／フロア高低情報 012 345 ／／フロア高低情報終わり\n"
              "／／キャラ位置情報 a.. BA. ／／キャラ位置情報終わり\n"
              "／／初期アングル情報 2xx 012 ／／初期アングル情報終わり\n");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Write(const std::string& rel, const std::string& utf8) {
        fs::path p = fs::path(dir_) / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << Utf8ToCp932(utf8);
    }

    // Runs qinspect; returns its output with the layout whitespace removed.
    std::string Run(const std::string& args, int* rc = nullptr) {
        const std::string cmd =
            std::string(QUOLIS_BINARY_DIR) + "/qinspect " + args + " 2>/dev/null";
        FILE* p = ::popen(cmd.c_str(), "r");
        std::string out;
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
            out.append(buf, n);
        }
        const int status = ::pclose(p);
        if (rc) {
            *rc = WEXITSTATUS(status);
        }
        std::string compact;
        for (char c : out) {
            if (c != ' ' && c != '\n') {
                compact += c;
            }
        }
        return compact;
    }

    std::string dir_;
};

TEST_F(QInspect, CharaTables) {
    const std::string out = Run("chara " + dir_ + "/GameData ＱＬ－１Ｅ");
    EXPECT_NE(out.find("\"name\":\"ＱＬ－１Ｅ\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"HP\":[100,115,135,160,190,"), std::string::npos);
    EXPECT_NE(out.find(",25335]"), std::string::npos);
    EXPECT_NE(out.find(",875,979,"), std::string::npos);
    EXPECT_NE(out.find("\"BP\":[16,30,22,30,"), std::string::npos);
    EXPECT_NE(out.find("\"coreRate\":40"), std::string::npos);
    EXPECT_NE(out.find("\"metalArmsByCost\":[\"バルカン\",\"ブレス\",\"キャノン\"]"),
              std::string::npos);
    EXPECT_NE(
        out.find("{\"name\":\"キャノン\",\"fusionCount\":0,\"level\":1,\"range\":3,\"power\":20,"
                 "\"mpCost\":10}"),
        std::string::npos);
    int rc = 0;
    Run("chara " + dir_ + " 無い型", &rc);
    EXPECT_NE(rc, 0);
}

TEST_F(QInspect, StageWithEnemiesGridsAndStartCells) {
    // The folder holding GameData works as well as GameData itself.
    const std::string out = Run("stage " + dir_ + " Stage01.txt");
    EXPECT_NE(out.find("\"stageName\":\"ブロックＡ\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"name\":\"敵1\""), std::string::npos);
    EXPECT_NE(out.find("\"maxHP\":135"), std::string::npos);
    EXPECT_NE(out.find("\"BP\":22"), std::string::npos);
    EXPECT_NE(out.find("\"cell\":[0,1],\"direction\":\"up\""), std::string::npos);
    EXPECT_NE(out.find("\"height\":[[3,4,5],[0,1,2]]"), std::string::npos);
    EXPECT_NE(out.find("\"texture\":[[\"rock.bmp\",\"rock.bmp\",\"草.bmp\"]"), std::string::npos);
    EXPECT_NE(out.find("\"allyStarts\":[[1,0],[0,0]]"), std::string::npos);
    EXPECT_NE(out.find("\"enemyStarts\":{\"a\":[0,1]}"), std::string::npos);
}

TEST_F(QInspect, DecodedSave) {
    SetGameRoot(dir_);
    fs::create_directories(fs::path(dir_) / "GameData" / "Save");
    GameState g;
    CharaValues c;
    c.SetName(Utf8ToCp932("ＱＬ１－1"));
    c.SetNumber(1);
    c.SetTypeName(Utf8ToCp932("ＱＬ－１"));
    c.SetLevel(2);
    c.SetLevel2(2);
    g.squad.emplace(c.Name(), c);
    g.bpPool = 321;
    CDatArchive secure(true, false);
    FixedCalendar cal(1070892300);
    ASSERT_TRUE(g.Save(secure, SaveSlotPath(2), cal, "Stage01.txt"));
    SetGameRoot("");

    const std::string withTables = Run("save " + dir_ + "/GameData/Save/Save2E.Dat " + dir_);
    EXPECT_NE(withTables.find("\"year\":2003"), std::string::npos) << withTables;
    EXPECT_NE(withTables.find("\"stageFile\":\"Stage01.txt\""), std::string::npos);
    EXPECT_NE(withTables.find("\"maxHP\":115"), std::string::npos);
    EXPECT_NE(withTables.find("\"BPPool\":321"), std::string::npos);
    // The game's own name of the slot works too; without tables the saved
    // values are shown as they are.
    const std::string plain = Run("save " + dir_ + "/GameData/Save/Save2.Dat");
    EXPECT_NE(plain.find("\"maxHP\":0"), std::string::npos) << plain;
    int rc = 0;
    Run("save " + dir_ + "/GameData/Save/Save9.Dat", &rc);
    EXPECT_NE(rc, 0);
}

TEST_F(QInspect, ReachOfAFillOnAStage) {
    Write("GameData/Data/FloorObj.Dat", "- Nothing T tree.x");
    Write("GameData/Stage/Stage02.txt",
          "／／ステージ情報 ステージ名 ブロックＡ ステージ番号 2 ／／ステージ情報終わり\n"
          "／／敵情報 ／／ 名前 敵1 タイプ ＱＬ－１Ｅ レベル 3 位置 a ／／ ／／敵情報終わり\n"
          "フロアサイズ 6 1\n／／フロアテクスチャ情報 aaaaaa ／／フロアテクスチャ情報終わり\n"
          "／／フロアオブジェクト情報 ------ ／／フロアオブジェクト情報終わり\n"
          "／／フロア高低情報 111131 ／／フロア高低情報終わり\n"
          "／／キャラ位置情報 a00A00 ／／キャラ位置情報終わり\n"
          "／／初期アングル情報 000000 ／／初期アングル情報終わり\n");
    // Enemies block (mask 2); RiseP 1 stops at the step, RiseP 2 climbs it.
    std::string out = Run("reach " + dir_ + " Stage02.txt 3 0 4 2 1");
    EXPECT_NE(out.find("\"grid\":[[0,2,3,4,0,0]]"), std::string::npos) << out;
    out = Run("reach " + dir_ + " Stage02.txt 3 0 4 2 2");
    EXPECT_NE(out.find("\"grid\":[[0,2,3,4,3,2]]"), std::string::npos) << out;
    out = Run("reach " + dir_ + " Stage02.txt 3 0 4 0");
    EXPECT_NE(out.find("\"grid\":[[1,2,3,4,3,2]]"), std::string::npos) << out;
    int rc = 0;
    Run("reach " + dir_ + " Stage02.txt 3 0 4 x", &rc);
    EXPECT_EQ(rc, 2);
    Run("reach " + dir_ + " Stage99.txt 3 0 4 0", &rc);
    EXPECT_EQ(rc, 1);

    // The enemy turn: with the squad of a save the enemy attacks the unit on
    // (3, 0) from its side with its strongest command.
    SetGameRoot(dir_);
    fs::create_directories(fs::path(dir_) / "GameData" / "Save");
    GameState g;
    CharaValues c;
    c.SetName(Utf8ToCp932("ＱＬ１－1"));
    c.SetNumber(1);
    c.SetTypeName(Utf8ToCp932("ＱＬ－１"));
    c.SetLevel(2);
    c.SetLevel2(2);
    g.squad.emplace(c.Name(), c);
    CDatArchive secure(true, false);
    FixedCalendar cal(1070892300);
    ASSERT_TRUE(g.Save(secure, SaveSlotPath(3), cal, "Stage02.txt"));
    SetGameRoot("");
    out = Run("enemy-turn " + dir_ + " Stage02.txt --squad " + dir_ +
              "/GameData/Save/Save3.Dat --time 5");
    EXPECT_NE(out.find("\"enemy\":\"敵1\",\"from\":[0,0],\"reach\":3,\"outcome\":\"attack\","
                       "\"target\":\"ＱＬ１－1\",\"targetCell\":[3,0],\"pass\":8"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"command\":\"キャノン\",\"distance\":3,\"directionBonus\":2,"
                       "\"directionLabel\":\"側方攻撃\""),
              std::string::npos);
    EXPECT_NE(out.find("\"attacked\":true"), std::string::npos);
    EXPECT_NE(out.find("\"result\":\"turn-over\""), std::string::npos);
    // The same time gives the same rolls.
    EXPECT_EQ(Run("enemy-turn " + dir_ + " Stage02.txt --squad " + dir_ +
                  "/GameData/Save/Save3.Dat --time 5"),
              out);
    // Without a squad nobody stands: the battle is lost at once.
    out = Run("enemy-turn " + dir_ + " Stage02.txt");
    EXPECT_NE(out.find("\"actions\":[],\"result\":\"defeat\""), std::string::npos) << out;
    Run("enemy-turn " + dir_ + " Stage02.txt --time", &rc);
    EXPECT_EQ(rc, 2);
}

TEST_F(QInspect, OutputIsValidJson) {
    if (std::system("python3 -c 'import json' >/dev/null 2>&1") != 0) {
        QUOLIS_SKIP_UNLESS_CI("python3 not available");
    }
    const std::string cmd = std::string(QUOLIS_BINARY_DIR) + "/qinspect stage " + dir_ +
                            " Stage01.txt | python3 -c 'import json,sys; json.load(sys.stdin)'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

} // namespace
} // namespace quolis
