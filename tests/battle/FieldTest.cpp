#include "battle/Field.h"
#include "BattleTestUtil.h"
#include "data/Tokens.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using namespace quolis::test;

// A floor section with all five grids (texture and object keys "1").
TokenList FloorTokens(std::int32_t w, std::int32_t d, const std::string& heights,
                      const std::string& markers, const std::string& angles) {
    std::string rows1;
    for (std::int32_t r = 0; r < d; ++r) {
        rows1 += std::string(static_cast<std::size_t>(w), '1') + " ";
    }
    return SplitTokens(S("フロアサイズ " + std::to_string(w) + " " + std::to_string(d) +
                         " ／／フロアテクスチャ情報 " + rows1 + "／／フロアテクスチャ情報終わり " +
                         "／／フロアオブジェクト情報 " + rows1 +
                         "／／フロアオブジェクト情報終わり ／／フロア高低情報 " + heights +
                         " ／／フロア高低情報終わり ／／キャラ位置情報 " + markers +
                         " ／／キャラ位置情報終わり ／／初期アングル情報 " + angles +
                         " ／／初期アングル情報終わり"));
}

struct Tables {
    FloorTex tex;
    FloorObj obj;
    Tables() {
        tex.Parse(SplitTokens("1 grass.bmp"));
        obj.Parse(SplitTokens("1 Nothing"));
    }
};

TEST(Field, CreationDefaults) {
    Tables t;
    StageData s;
    s.floorWidth = 3;
    s.battleBP = 9;
    Put(s.EnemyUnits, Unit("e", 1, 1));
    CreateField(s, t.tex);
    EXPECT_EQ(s.floorWidth, 10);
    EXPECT_EQ(s.floorDepth, 10);
    EXPECT_EQ(s.battleBP, 0);
    EXPECT_TRUE(s.EnemyUnits.empty());
    // Every one of the 100 x 100 cells, not only the 10 x 10 floor.
    for (std::size_t i : {std::size_t{0}, GridIndex(99, 99), GridIndex(42, 7)}) {
        EXPECT_EQ(s.heightGrid[i], 1);
        EXPECT_EQ(s.textureGrid[i], "grass.bmp");
        EXPECT_EQ(s.objectGrid[i], "Nothing");
        EXPECT_EQ(s.markerGrid[i], '0');
        EXPECT_EQ(s.facingGrid[i], '0');
    }
}

TEST(Field, GridRowsRunFromTheTopDown) {
    Tables t;
    StageData s;
    CreateField(s, t.tex);
    s.ParseFloor(FloorTokens(2, 2, "12 34", "00 00", "00 00"), t.tex, t.obj);
    EXPECT_EQ(s.Height(0, 1), 1);
    EXPECT_EQ(s.Height(1, 1), 2);
    EXPECT_EQ(s.Height(0, 0), 3);
    EXPECT_EQ(s.Height(1, 0), 4);
    // World point: ((x + y - X size) * 2, h, (y - x) * 2).
    const WorldPoint p = CellToWorld(s, 1, 0);
    EXPECT_FLOAT_EQ(p.x, -2.0f);
    EXPECT_FLOAT_EQ(p.y, 4.0f);
    EXPECT_FLOAT_EQ(p.z, -2.0f);
}

TEST(Field, PlayerStartsInCodeOrderAndExtrasOnTheCorner) {
    Tables t;
    StageData s;
    CreateField(s, t.tex);
    // Rows from the top: y = 2, 1, 0. "A" at (5, 2) facing "3" (right),
    // "B" at (3, 0) facing "1" (left).
    s.ParseFloor(
        FloorTokens(6, 3, "111111 111111 111111", "00000A 000000 000B00", "000003 000000 000100"),
        t.tex, t.obj);
    CharaMap squad;
    for (const char* n : {"p1", "p2", "p3"}) {
        CharaValues c = Unit(n, 9, 9);
        c.SetHP(3);
        c.SetMP(0);
        c.SetMoved(true);
        c.SetActed(true);
        Put(squad, c);
    }
    FillPlayerUnits(s, squad);
    PlaceUnits(s, squad);
    const CharaValues& p1 = s.PlayerUnits.find("p1")->second;
    const CharaValues& p2 = s.PlayerUnits.find("p2")->second;
    const CharaValues& p3 = s.PlayerUnits.find("p3")->second;
    EXPECT_EQ(CellOf(p1), (Cell{5, 2}));
    EXPECT_EQ(p1.Direction(), "right");
    EXPECT_EQ(CellOf(p2), (Cell{3, 0}));
    EXPECT_EQ(p2.Direction(), "left");
    EXPECT_EQ(CellOf(p3), (Cell{0, 0}));
    EXPECT_EQ(p3.Direction(), "up");
    for (const auto* m : {&s.PlayerUnits, &squad}) {
        for (const auto& [name, c] : *m) {
            EXPECT_EQ(c.HP(), 100) << name;
            EXPECT_EQ(c.MP(), 50) << name;
        }
    }
    EXPECT_FALSE(p3.Moved());
    EXPECT_FALSE(p3.Acted());
}

TEST(Field, EnemyStartsFirstCellOfTheWalkAndMissingCode) {
    Tables t;
    StageData s;
    CreateField(s, t.tex);
    // "a" at (2, 1) and (1, 2): the walk meets (2, 1) first (lowest y).
    s.ParseFloor(FloorTokens(3, 3, "111 111 111", "0a0 00a 000", "000 002 000"), t.tex, t.obj);
    CharaValues e1 = Unit("e1", 7, 7, "");
    e1.SetMarker("a");
    e1.SetHP(1);
    CharaValues e2 = Unit("e2", 7, 7, "");
    e2.SetMarker("z");
    CharaValues e3 = Unit("e1", 7, 7, ""); // same name as the first: both kept
    e3.SetMarker("a");
    Put(s.EnemyUnits, e1);
    Put(s.EnemyUnits, e2);
    Put(s.EnemyUnits, e3);
    CharaMap squad;
    PlaceUnits(s, squad);
    ASSERT_EQ(s.EnemyUnits.size(), 3u);
    auto it = s.EnemyUnits.begin();
    EXPECT_EQ(CellOf(it->second), (Cell{2, 1}));
    EXPECT_EQ(it->second.Direction(), "up");
    EXPECT_EQ(it->second.HP(), 100);
    ++it;
    EXPECT_EQ(CellOf(it->second), (Cell{2, 1}));
    ++it;
    EXPECT_EQ(CellOf(it->second), (Cell{0, 0}));
    EXPECT_EQ(it->second.Direction(), "down");
}

TEST(Field, UnitAtAnswersTheFirstInNameOrder) {
    StageData s;
    FlatFloor(s, 5, 5);
    Put(s.PlayerUnits, Unit("b", 1, 1));
    Put(s.PlayerUnits, Unit("a", 1, 1));
    Put(s.PlayerUnits, Unit("c", 2, 1));
    ASSERT_NE(UnitAt(s.PlayerUnits, 1, 1), nullptr);
    EXPECT_EQ(UnitAt(s.PlayerUnits, 1, 1)->Name(), "a");
    EXPECT_EQ(UnitAt(s.PlayerUnits, 3, 3), nullptr);

    std::string order;
    Put(s.EnemyUnits, Unit("e", 0, 0));
    Put(s.FieldCores, Unit("k", 0, 0));
    Put(s.FloorObjects, Unit("o", 0, 0));
    ForEachUnit(s, [&](CharaValues& c) { order += c.Name(); });
    EXPECT_EQ(order, "abceko");
}

TEST(Field, FloorObjectsFromTheObjectGrid) {
    StageData s;
    FlatFloor(s, 4, 4);
    s.objectGrid[GridIndex(2, 3)] = "tree.x";
    s.objectGrid[GridIndex(1, 0)] = "rock.x";
    s.objectGrid[GridIndex(3, 3)] = ""; // a character without a row
    s.facingGrid[GridIndex(2, 3)] = '1';
    CreateFloorObjects(s);
    ASSERT_EQ(s.FloorObjects.size(), 2u);
    const CharaValues& tree = s.FloorObjects.find("tree.x")->second;
    EXPECT_EQ(CellOf(tree), (Cell{2, 3}));
    EXPECT_EQ(tree.Direction(), "left");
}

} // namespace
} // namespace quolis
