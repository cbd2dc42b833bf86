// What the battle shows and how the view keys work: camera presets and
// distance levels, cursor keys relative to the preset, the bonus labels, the
// details window's columns and the areas.
#include "BattleFixture.h"

namespace quolis {
namespace {

using namespace testing_util;

TEST(BattleCamera, RotationAndDistanceCycleThroughTheTables) {
    BattleCameraSetting v;
    v.Start(0);
    v.RotateRight();
    EXPECT_EQ(v.Angle(), 315);
    v.RotateLeft();
    v.RotateLeft();
    EXPECT_EQ(v.Angle(), 45);
    for (int expected : {2, 4, 6, 0}) {
        v.NextDistance();
        EXPECT_EQ(v.Level(), expected);
    }
    // base + level x step: preset 90 at level 4.
    v.Start(90);
    v.NextDistance();
    v.NextDistance();
    const Vec3 eye = v.EyeOffset();
    EXPECT_FLOAT_EQ(eye.x, -15 - 4 * 2);
    EXPECT_FLOAT_EQ(eye.y, 11 + 4 * 2);
    EXPECT_FLOAT_EQ(eye.z, 0);
    // An angle the table does not know starts at the first preset.
    v.Start(30);
    EXPECT_EQ(v.Angle(), 0);
}

TEST(BattleCamera, CursorKeysFollowThePresetQuarter) {
    EXPECT_EQ(CursorStep(90, CursorKey::Up), (Cell{1, 0}));
    EXPECT_EQ(CursorStep(0, CursorKey::Up), (Cell{0, 1}));
    EXPECT_EQ(CursorStep(45, CursorKey::Right), (Cell{1, 0}));
    EXPECT_EQ(CursorStep(135, CursorKey::Left), (Cell{0, 1}));
    EXPECT_EQ(CursorStep(135, CursorKey::Right), (Cell{0, -1}));
    EXPECT_EQ(CursorStep(180, CursorKey::Up), (Cell{0, -1}));
    EXPECT_EQ(CursorStep(225, CursorKey::Left), (Cell{1, 0}));
    EXPECT_EQ(CursorStep(270, CursorKey::Down), (Cell{1, 0}));
    EXPECT_EQ(CursorStep(315, CursorKey::Right), (Cell{0, 1}));
}

TEST(BattlePanelsText, BonusLabelsCarryTheirSign) {
    const std::string side = Utf8ToCp932("側方攻撃");
    EXPECT_EQ(BonusLabelText(side, -3), side + " -3");
    EXPECT_EQ(BonusLabelText(side, 10), side + " +10");
    EXPECT_EQ(BonusLabelText(side, 0), side + " +0");
    EXPECT_EQ(BonusLabelText("", 5), "");
}

TEST(BattlePanelsText, UnknownCommandsAreMaskedInTheDetailsWindow) {
    MAMaster arms;
    arms.Parse({"a",  "1", "10", "0", "b", "2",  "20", "5", "c",  "3",
                "30", "9", "d",  "1", "5", "12", "e",  "4", "40", "20"});
    std::multimap<std::int32_t, std::string> typeList;
    for (const auto& [name, r] : arms.Records()) {
        typeList.emplace(r.mpCost, name);
    }
    CharaValues enemy;
    for (const char* known : {"a", "c", "e"}) {
        enemy.LearnArm(*arms.Find(known));
    }
    const DetailColumns c = BuildDetailColumns(enemy, typeList, arms);
    EXPECT_EQ(c.rows, 5);
    const std::string mask = Utf8ToCp932("＊＊＊＊＊＊");
    auto count = [](const std::string& s, const std::string& part) {
        int n = 0;
        for (std::size_t p = s.find(part); p != std::string::npos; p = s.find(part, p + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(c.text[0], mask), 2);
    EXPECT_EQ(count(c.text[1], "?"), 2);
    EXPECT_EQ(count(c.text[3], "?"), 2);
    // Header padded to its width, then rows in MP cost order.
    EXPECT_EQ(c.text[0].substr(0, 21), Utf8ToCp932("コマンド名") + std::string(10, ' ') + "\n");
    EXPECT_EQ(c.text[1], Utf8ToCp932("射程") + "\n1\n?\n3\n?\n4\n");
}

class BattleView : public BattleFixture {
protected:
    void Start(int cameraAngle) {
        TestStage s;
        s.cameraAngle = cameraAngle;
        s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
        s.markers = {"A....a", "......", "......", "......", "......", "BC...."};
        WriteData(0, 1);
        WriteStages({s});
        EnterBattle(s.name);
        ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    }
};

TEST_F(BattleView, UpOnTheTopRowDoesNothing) {
    Start(0);
    // The first unit stands on the top row (y = 5).
    ASSERT_EQ(D().cursor.CellY(), 5);
    const int cameraRow = app.Camera().CellRow();
    Tap(kKeyUp);
    EXPECT_EQ(D().cursor.CellY(), 5);
    EXPECT_EQ(app.Camera().CellRow(), cameraRow);
    Tap(kKeyDown);
    EXPECT_EQ(D().cursor.CellY(), 4);
    EXPECT_EQ(app.Camera().CellRow(), 4);
}

TEST_F(BattleView, AtPreset90UpMovesAlongX) {
    Start(90);
    const int x = D().cursor.CellX();
    Tap(kKeyUp);
    EXPECT_EQ(D().cursor.CellX(), x + 1);
    // Rotating right twice: 90 → 45 → 0, where up is +y again.
    Tap(kKeyRotateRight);
    Tap(kKeyRotateRight);
    EXPECT_EQ(D().view.Angle(), 0);
    Tap(kKeyDown);
    EXPECT_EQ(D().cursor.CellY(), 4);
}

TEST_F(BattleView, PanelsFollowTheCursorAndTheBonusLabelsColourTheHeight) {
    Start(0);
    EXPECT_EQ(D().panels.LeftPanel().IsEnabled(), 1);
    EXPECT_NE(D().panels.LeftText().GetText().find(Utf8ToCp932("ウルフ1")), std::string::npos);
    EXPECT_EQ(D().panels.RightPanel().IsEnabled(), 0);
    CursorTo(5, 5);
    EXPECT_EQ(D().panels.LeftPanel().IsEnabled(), 0);
    EXPECT_EQ(D().panels.RightPanel().IsEnabled(), 1);
    EXPECT_NE(D().panels.RightText().GetText().find(Utf8ToCp932("野良Ａ")), std::string::npos);

    AttackBonusResult bonus;
    bonus.directionLabel = Utf8ToCp932("側方攻撃");
    bonus.direction = -3;
    bonus.heightLabel = Utf8ToCp932("下方攻撃");
    bonus.height = -3;
    D().panels.ShowBonus(bonus, Utf8ToCp932("体当たり"));
    EXPECT_EQ(D().panels.DirectionLabel().GetText(), Utf8ToCp932("側方攻撃") + " -3");
    EXPECT_EQ(D().panels.HeightLabel().GetRed(), 200);
    EXPECT_EQ(D().panels.HeightLabel().GetBlue(), 0);
    bonus.height = 4;
    D().panels.ShowBonus(bonus, Utf8ToCp932("体当たり"));
    EXPECT_EQ(D().panels.HeightLabel().GetRed(), 0);
    EXPECT_EQ(D().panels.HeightLabel().GetBlue(), 200);
}

TEST_F(BattleView, TheMoveAreaIsBlueAndCoversTheReachableCells) {
    Start(0);
    Tap(kKeyDecide);
    ASSERT_EQ(Code(), 300);
    Tap(kKeyDecide);
    ASSERT_EQ(Code(), 1000);
    EXPECT_GT(D().area.QuadCount(), 0u);
    // The unit's own cell is not part of it.
    Vec3 p;
    EXPECT_EQ(D().area.FindQuad(0, 5, "", &p), 0);
    EXPECT_EQ(D().area.FindQuad(0, 4, "", &p), 1);
    EXPECT_EQ(D().area.GetBlue(), 200);
    EXPECT_EQ(D().area.GetRed(), 0);
    Tap(kKeyCancel);
    EXPECT_EQ(D().area.QuadCount(), 0u);
}

} // namespace
} // namespace quolis
