// The battle's creatures: every unit, core and floor object stands on the
// centre of its cell as a creature; walks glide and the unit changes cell on
// arrival; attacks land once; beaten enemies' creatures go and dropped cores'
// creatures come; the field darkening dims the field but not the creatures.
#include "BattleFixture.h"

#include <cmath>

namespace quolis {
namespace {

using namespace testing_util;

class Creatures : public BattleFixture {
protected:
    void StartOn(const TestStage& s, int alwaysCore = 0, const std::string& charaMove = "1") {
        // The generator is seeded from the calendar's second before each
        // draw: a fixed calendar keeps a roll made on a copy of it equal to
        // the one the attack makes later, however long the steps take.
        calendar = &fixedCalendar_;
        WriteData(0, 1, alwaysCore, charaMove);
        WriteStages({s});
        EnterBattle(s.name);
        ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    }
    CharaValues& Unit(const char* utf8) {
        auto it = D().stage.PlayerUnits.find(Utf8ToCp932(utf8));
        EXPECT_NE(it, D().stage.PlayerUnits.end());
        return it->second;
    }
    // Where a creature on (x, y) stands: the centre of the cell's floor quad
    // (its reference corner plus one cell along X), nudged as every creature is.
    Vec3 StandPoint(int x, int y) {
        Vec3 p{0, 0, 0};
        EXPECT_TRUE(D().floor.Floor().FindQuad(x, y, "", &p));
        return p + Vec3{kCellSize - 0.03f, 0, 0.01f};
    }
    static float Distance(const Vec3& a, const Vec3& b) { return Length(a - b); }
    FixedCalendar fixedCalendar_{86400};
    // Every unit of the four collections has its creature, and no other
    // creature is left over.
    void ExpectOneCreaturePerUnit() {
        std::size_t units = 0;
        for (CharaMap* m : {&D().stage.PlayerUnits, &D().stage.EnemyUnits, &D().stage.FieldCores,
                            &D().stage.FloorObjects}) {
            for (auto& [name, unit] : *m) {
                ++units;
                EXPECT_NE(Units().CreatureOf(unit), nullptr) << Cp932ToUtf8(name);
            }
        }
        EXPECT_EQ(Units().CreatureCount(), units);
    }
    static TestStage TwoRows() {
        TestStage s;
        s.enemies = {"名前 野良Ａ タイプ ＱＬ－３Ｅ 合成回数 0 レベル 1 アングル down 位置 a",
                     "名前 野良Ｂ タイプ ＱＬ－１Ｅ 合成回数 0 レベル 1 アングル left 位置 b"};
        s.markers = {".....b", "......", "......", "......", "a.....", "ABC..."};
        s.objects = {"......", "....1.", "......", "......", "......", "......"};
        return s;
    }
};

TEST_F(Creatures, EveryUnitAndFloorObjectStandsOnItsCellCentreFacingItsWay) {
    StartOn(TwoRows());
    ExpectOneCreaturePerUnit();
    ASSERT_EQ(D().stage.FloorObjects.size(), 1u);
    for (CharaMap* m : {&D().stage.PlayerUnits, &D().stage.EnemyUnits, &D().stage.FloorObjects}) {
        for (auto& [name, unit] : *m) {
            CChara* c = Units().CreatureOf(unit);
            ASSERT_NE(c, nullptr);
            EXPECT_LT(Distance(c->GetPosition(), StandPoint(unit.CellX(), unit.CellY())), 1e-4f)
                << Cp932ToUtf8(name);
            EXPECT_EQ(c->GetDirection(), unit.Direction()) << Cp932ToUtf8(name);
        }
    }
    // The floor object's creature plays the model its cell names.
    const CharaValues& object = D().stage.FloorObjects.begin()->second;
    EXPECT_EQ(CellOf(object), (Cell{4, 4}));
    EXPECT_EQ(Units().CreatureOf(object)->GetAnimation(), "wait");
}

TEST_F(Creatures, AWalkGlidesAcrossTheCellAndTheUnitChangesCellOnArrival) {
    TestStage s = TwoRows();
    s.markers = {".....b", "......", "a.....", "......", "......", "A.BC.."};
    StartOn(s, 0, "0.3");
    CharaValues& wolf = Unit("ウルフ1");
    CChara* c = Units().CreatureOf(wolf);
    ASSERT_NE(c, nullptr);
    const Vec3 from = StandPoint(0, 0), to = StandPoint(1, 0);
    CursorTo(0, 0);
    Tap(kKeyDecide);
    ASSERT_EQ(Code(), 300);
    Tap(kKeyDecide); // "移動"
    ASSERT_EQ(Code(), 1000);
    CursorTo(1, 0);
    Tap(kKeyDecide);
    int between = 0;
    for (int i = 0; i < 200 && Code() >= 1100 && Code() <= 1110; ++i) {
        const float a = Distance(c->GetPosition(), from), b = Distance(c->GetPosition(), to);
        if (a > 0.05f && b > 0.05f) {
            ++between;
            // Until it arrives the unit is still on its old cell for the rules.
            EXPECT_EQ(CellOf(wolf), (Cell{0, 0}));
        }
        Step();
    }
    EXPECT_GE(between, 3) << "the walk jumped instead of gliding";
    EXPECT_EQ(CellOf(wolf), (Cell{1, 0}));
    EXPECT_LT(Distance(c->GetPosition(), to), 1e-4f);
    // Facing the way it walked.
    EXPECT_EQ(c->GetDirection(), "right");
    EXPECT_EQ(wolf.Direction(), "right");
}

TEST_F(Creatures, TheBeatenEnemysCreatureGoesAndItsCoreComesAsOne) {
    StartOn(TwoRows(), 1);
    Unit("ウルフ1").SetAP(5000);
    CursorTo(0, 0);
    Tap(kKeyDecide);
    Tap(kKeyDown); // "攻撃"
    Tap(kKeyDecide);
    ASSERT_EQ(Code(), 500);
    Tap(kKeyDecide);
    ASSERT_EQ(Code(), 700);
    CursorTo(0, 1);
    const std::int32_t hpBefore = D().stage.EnemyUnits.begin()->second.HP();
    ASSERT_GT(hpBefore, 0);
    Tap(kKeyDecide);
    // The attack plays over several steps; the creatures stay one per unit.
    int steps = 0;
    while (Code() == 750 && steps < 3000) {
        Step();
        ++steps;
    }
    EXPECT_GT(steps, 2) << "the attack did not play";
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    ASSERT_EQ(D().stage.EnemyUnits.size(), 1u);
    ASSERT_EQ(D().stage.FieldCores.size(), 1u);
    const CharaValues& core = D().stage.FieldCores.begin()->second;
    EXPECT_EQ(CellOf(core), (Cell{0, 1}));
    CChara* c = Units().CreatureOf(core);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->CoreFlag(), 1);
    EXPECT_EQ(c->AnimationMember("wait"), "Core\\wait.mdl");
    ExpectOneCreaturePerUnit();
}

TEST_F(Creatures, TheDamageOfAnAttackIsDealtOnceWhatEverThePresentation) {
    TestStage s = TwoRows();
    StartOn(s);
    CharaValues& wolf = Unit("ウルフ1");
    CharaValues& enemy = D().stage.EnemyUnits.begin()->second;
    enemy.SetMaxHP(99999);
    enemy.SetHP(99999);
    wolf.SetAP(300);
    wolf.SetDirectionValue("left");
    enemy.SetDirectionValue("left");
    const std::string command = wolf.ArmsByCost().begin()->second;
    // The same roll as the rules would make, on a copy of the generator.
    GameRandom copy = D().random;
    const std::int32_t expected = RollDamage(copy, wolf, enemy, command, 0);
    ASSERT_GT(expected, 0);
    int calls = 0;
    while (Units().PlayAttack(D(), wolf, enemy, command, 0) != 0 && calls < 5000) {
        Step();
        ++calls;
    }
    EXPECT_GT(calls, 0);
    EXPECT_EQ(enemy.HP(), 99999 - expected);
    // The attacker turned to its target, in the rules' values too; the
    // target turned back to its own facing once the hits were over.
    EXPECT_EQ(wolf.Direction(), "up");
    EXPECT_EQ(enemy.Direction(), "left");
    // A command with no presentation lands at once with the same one roll.
    MARecord odd = *wolf.FindArm(command);
    odd.name = "NoSuchPresentation";
    ASSERT_TRUE(wolf.LearnArm(odd));
    GameRandom copy2 = D().random;
    const std::int32_t second = RollDamage(copy2, wolf, enemy, odd.name, 0);
    const std::int32_t before = enemy.HP();
    EXPECT_EQ(Units().PlayAttack(D(), wolf, enemy, odd.name, 0), 0);
    EXPECT_EQ(enemy.HP(), before - second);
}

TEST_F(Creatures, TheFieldDarkensBehindTheCreaturesAndIgnoresTheScreensBrightness) {
    StartOn(TwoRows());
    BattleUnits& u = Units();
    CChara* wolf = u.CreatureOf(Unit("ウルフ1"));
    CChara* object = u.CreatureOf(D().stage.FloorObjects.begin()->second);
    ASSERT_NE(wolf, nullptr);
    ASSERT_NE(object, nullptr);
    u.SwitchDarkening(1);
    EXPECT_TRUE(D().darkening);
    EXPECT_EQ(D().backdrop.IsEnabled(), 1);
    int steps = 0;
    while (u.FadeDarkening(0, 0, 64) != 0 && steps < 100) {
        Step();
        ++steps;
    }
    EXPECT_GT(steps, 1) << "the fade did not take its time";
    EXPECT_EQ(u.FieldBrightness(), 0);
    EXPECT_EQ(D().floor.Floor().GetAlpha(), 0);
    EXPECT_EQ(D().floor.Walls().GetAlpha(), 0);
    EXPECT_EQ(object->GetAlpha(), 0);
    EXPECT_EQ(wolf->GetAlpha(), 255);
    // The screen's brightness reaches the creatures and the cursor, not the
    // darkened field.
    app.SetBrightness(100);
    EXPECT_EQ(D().floor.Floor().GetAlpha(), 0);
    EXPECT_EQ(object->GetAlpha(), 0);
    EXPECT_EQ(wolf->GetAlpha(), 100);
    EXPECT_EQ(D().cursor.GetAlpha(), 100);
    app.SetBrightness(255);
    while (u.FadeDarkening(255, 1, 64) != 0 && steps < 200) {
        Step();
        ++steps;
    }
    u.SwitchDarkening(0);
    EXPECT_FALSE(D().darkening);
    EXPECT_EQ(D().backdrop.IsEnabled(), 0);
    EXPECT_EQ(D().floor.Floor().GetAlpha(), 255);
    // Back in the light, the field follows the screen again.
    app.SetBrightness(180);
    EXPECT_EQ(D().floor.Floor().GetAlpha(), 180);
    EXPECT_EQ(object->GetAlpha(), 180);
}

TEST_F(Creatures, ASpeedChosenInTheWindowMenuReachesTheCreatures) {
    StartOn(TwoRows());
    const float before = CChara::EffectFrameTime();
    app.SetGameSpeed(2.0f, false, false);
    EXPECT_FLOAT_EQ(CChara::GameSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(CChara::EffectFrameTime(), app.Speed(kSpeedEffect));
    EXPECT_NE(CChara::EffectFrameTime(), before);
}

} // namespace
} // namespace quolis
