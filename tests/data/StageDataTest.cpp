#include "data/StageData.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using test::S;
using test::Tok;

struct Tables {
    MAMaster arms;
    CharaMaster master;
    FloorTex tex;
    FloorObj obj;
    Tables() {
        arms.Parse(Tok("キャノン 3 20 10"));
        master.Parse(
            Tok("／／名前 ＱＬ－１Ｅ QL1 E－ ／／名前終わり "
                "／／ＨＰ ＱＬ－１Ｅ ／／ 100 10 0.5 ／／ ／／ＨＰ終わり "
                "／／ＮｅｅｄＢＰ ＱＬ－１Ｅ ／／ 100 50 0.1 ／／ ／／ＮｅｅｄＢＰ終わり "
                "／／ＢＰ ＱＬ－１Ｅ ／／ 0.5 0.2 ／／ ／／ＢＰ終わり "
                "／／ＭｂｌＰ ＱＬ－１Ｅ ／／ 0 1 3 ／／ ／／ＭｂｌＰ終わり "
                "／／メタルアームズ ＱＬ－１Ｅ ／／ キャノン 0 2 ／／ ／／メタルアームズ終わり"),
            arms);
        tex.Parse(Tok("a grass.bmp b rock.bmp"));
        obj.Parse(Tok("- none.x T tree.x"));
    }
};

const char* kInfo = "／／ステージ情報 ステージ名 ブロックＡ ステージ名２ 始まりの森 ステージ番号 3 "
                    "位置 1 2.5 3 アングル 0 90 0 初期カメラアングル 2 イベントボーナス 500 "
                    "不明 x エンディング 次のステージファイル Ending "
                    "アドプレイス情報 ／／ 森 川 ／／ 味方ＢＧＭ a.mid ／／ステージ情報終わり ";

TEST(StageInformation, KeysFlagsAndPlaceList) {
    StageData s;
    s.ParseInformation(Tok(kInfo));
    EXPECT_EQ(s.stageName, S("ブロックＡ"));
    EXPECT_EQ(s.stageName2, S("始まりの森"));
    EXPECT_EQ(s.stageNumber, 3);
    EXPECT_FLOAT_EQ(s.sceneryPosition[1], 2.5f);
    EXPECT_FLOAT_EQ(s.sceneryAngle[1], 90.0f);
    EXPECT_EQ(s.cameraAngle, 2);
    EXPECT_EQ(s.eventBonus, 500);
    EXPECT_EQ(s.ending, 1);
    EXPECT_EQ(s.nextStageFile, "Ending");
    ASSERT_EQ(s.places.size(), 2u);
    EXPECT_EQ(s.places[1], S("川"));
    EXPECT_EQ(s.allyMusic, "a.mid");
}

TEST(StageInformation, NothingWithoutLeadingMark) {
    StageData s;
    s.ParseInformation(Tok("x ／／ステージ情報 ステージ名 A ／／ステージ情報終わり"));
    EXPECT_TRUE(s.stageName.empty());
    s.ParseInformation(Tok("／／ステージ情報 ステージ名"));
    EXPECT_TRUE(s.stageName.empty());
}

TEST(StageBattleData, EnemiesFromTables) {
    Tables t;
    StageData s;
    s.ParseBattleData(
        Tok(std::string(kInfo) +
            "／／敵情報 ／／ 名前 敵 タイプ ＱＬ－１Ｅ 合成回数 1 レベル 1 アングル left "
            "位置 c ／／ ／／ 名前 敵 タイプ ＱＬ－１Ｅ レベル 2 ／／ "
            "／／ 名前 幽霊 タイプ 無い ／／ ／／敵情報終わり"),
        t.master, t.arms);
    ASSERT_EQ(s.EnemyUnits.size(), 2u); // equal names kept, unknown type left out
    auto it = s.EnemyUnits.begin();
    const CharaValues& first = it->second;
    EXPECT_EQ(first.Level2(), 20);
    EXPECT_EQ(first.MaxHP(), 1240);
    EXPECT_EQ(first.HP(), 1240);
    EXPECT_EQ(first.BP(), t.master.Find(S("ＱＬ－１Ｅ"))->Value(CharaTable::BP, 20));
    EXPECT_EQ(first.ModelFolder(), "QL1");
    EXPECT_EQ(first.MblP(), 3);
    EXPECT_EQ(first.Direction(), "left");
    EXPECT_EQ(first.Marker(), "c");
    EXPECT_EQ(first.Arms().size(), 1u);
    const CharaValues& second = (++it)->second;
    EXPECT_EQ(second.Level2(), 2);
    EXPECT_EQ(second.MaxHP(), 115);
    EXPECT_EQ(second.BP(), 30);
}

TEST(StageBattleData, EnemySectionOnlyRightAfterInformation) {
    Tables t;
    StageData s;
    s.ParseBattleData(Tok(std::string(kInfo) + "x ／／敵情報 ／／ 名前 A タイプ ＱＬ－１Ｅ ／／ "
                                               "／／敵情報終わり"),
                      t.master, t.arms);
    EXPECT_TRUE(s.EnemyUnits.empty());
}

TEST(StageFloor, OrientationHeightsAndStartCells) {
    Tables t;
    StageData s;
    s.ParseFloor(Tok("／／ステージ情報 ／／ステージ情報終わり フロアサイズ 3 2 "
                     "／／フロアテクスチャ情報 aab bba ／／フロアテクスチャ情報終わり "
                     "／／フロアオブジェクト情報 --T --- ／／フロアオブジェクト情報終わり "
                     "／／フロア高低情報 012 345 ／／フロア高低情報終わり "
                     "／／キャラ位置情報 c.. BA. ／／キャラ位置情報終わり "
                     "／／初期アングル情報 7xx 012 ／／初期アングル情報終わり"),
                 t.tex, t.obj);
    EXPECT_EQ(s.floorWidth, 3);
    EXPECT_EQ(s.floorDepth, 2);
    EXPECT_EQ(s.Height(0, 0), 3);
    EXPECT_EQ(s.Height(2, 1), 2);
    EXPECT_EQ(s.textureGrid[GridIndex(2, 1)], "rock.bmp");
    EXPECT_EQ(s.textureGrid[GridIndex(0, 0)], "rock.bmp");
    EXPECT_EQ(s.textureGrid[GridIndex(2, 0)], "grass.bmp");
    EXPECT_EQ(s.objectGrid[GridIndex(2, 1)], "tree.x");
    // Ally list in letter order: A at (1, 0) before B at (0, 0).
    ASSERT_EQ(s.allyStarts.size(), 2u);
    EXPECT_FLOAT_EQ(s.allyStarts[0].x, 1.0f);
    EXPECT_FLOAT_EQ(s.allyStarts[0].z, 0.0f);
    EXPECT_FLOAT_EQ(s.allyStarts[1].x, 0.0f);
    ASSERT_EQ(s.enemyStarts.count('c'), 1u);
    EXPECT_FLOAT_EQ(s.enemyStarts['c'].x, 0.0f);
    EXPECT_FLOAT_EQ(s.enemyStarts['c'].z, 1.0f);

    CharaValues onC;
    onC.SetMarker("c");
    CharaValues noMarker;
    noMarker.SetDirectionValue("left");
    s.EnemyUnits.emplace("a", onC);
    s.EnemyUnits.emplace("b", noMarker);
    s.PlaceEnemies();
    const CharaValues& placed = s.EnemyUnits.find("a")->second;
    EXPECT_EQ(placed.CellY(), 1);
    EXPECT_EQ(placed.Direction(), ""); // facing character 7
    const CharaValues& lost = s.EnemyUnits.find("b")->second;
    EXPECT_EQ(lost.CellX(), 0);
    EXPECT_EQ(lost.CellY(), 0);
    EXPECT_EQ(lost.Direction(), "down");
}

TEST(StageFloor, MissingBlockStopsReading) {
    Tables t;
    StageData s;
    s.ParseFloor(Tok("フロアサイズ 2 1 ／／フロアテクスチャ情報 ab ／／フロアテクスチャ情報終わり "
                     "／／フロア高低情報 99 ／／フロア高低情報終わり"),
                 t.tex, t.obj);
    EXPECT_EQ(s.textureGrid[GridIndex(1, 0)], "rock.bmp");
    EXPECT_EQ(s.Height(0, 0), 0);
}

TEST(StageFloor, OversizedFloorAndShortRowsStayInsideGrids) {
    Tables t;
    StageData s;
    // 130 row tokens of 120 characters; every seventh one is a short row "a".
    std::string text = "フロアサイズ 120 130 ／／フロアテクスチャ情報 ";
    for (int r = 0; r < 130; ++r) {
        text += (r % 7 == 0) ? std::string("a") : std::string(120, 'b');
        text += ' ';
    }
    text += "／／フロアテクスチャ情報終わり ／／フロアオブジェクト情報 "
            "／／フロアオブジェクト情報終わり "
            "／／フロア高低情報 9 ／／フロア高低情報終わり";
    s.ParseFloor(Tok(text), t.tex, t.obj);
    EXPECT_EQ(s.floorWidth, 100);
    EXPECT_EQ(s.floorDepth, 100);
    // Row token r is row 129 - r; row 99 is token 30, a full row of b.
    EXPECT_EQ(s.textureGrid[GridIndex(99, 99)], "rock.bmp");
    // Token 126 (row 3) is a short row: only its first column is written.
    EXPECT_EQ(s.textureGrid[GridIndex(0, 3)], "grass.bmp");
    EXPECT_EQ(s.textureGrid[GridIndex(1, 3)], "");
    // The height block has one row token for a depth of 130: it is row 129,
    // outside the grid, so nothing is written.
    EXPECT_EQ(s.Height(0, 99), 0);
    EXPECT_EQ(s.Height(0, 0), 0);
}

TEST(StageFloor, NegativeSizeWritesNothing) {
    Tables t;
    StageData s;
    s.ParseFloor(
        Tok("フロアサイズ -3 -2 ／／フロアテクスチャ情報 ab ／／フロアテクスチャ情報終わり"), t.tex,
        t.obj);
    EXPECT_EQ(s.floorWidth, 0);
    EXPECT_EQ(s.textureGrid[GridIndex(0, 0)], "");
}

} // namespace
} // namespace quolis
