#include "manage/Roster.h"
#include "common/Clock.h"
#include "common/Text.h"
#include "data/Tokens.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

std::string S(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

CharaMaster Master(int rate) {
    MAMaster arms;
    CharaMaster m;
    m.Parse(SplitTokens(S(
                "／／名前 ＱＬ－３ QL3 ＱＬ３－ ＱＬ－３Ｅ QL3 敵 ＱＬ－１Ｅ QL1 敵 ／／名前終わり "
                "／／コア出現率 ＱＬ－３Ｅ ＱＬ－１Ｅ ／／ " +
                std::to_string(rate) + " ／／ ／／コア出現率終わり")),
            arms);
    return m;
}

CharaValues Enemy(const char* type, int level2) {
    CharaValues c;
    c.SetName(S("敵"));
    c.SetNumber(7);
    c.SetTypeName(S(type));
    c.SetLevel2(level2);
    return c;
}

TEST(Roster, SquadLimits) {
    EXPECT_EQ(SquadMaxForStage(S("ブロックＡ")), 3);
    EXPECT_EQ(SquadMaxForStage(S("ブロックＢ")), 5);
    EXPECT_EQ(SquadMaxForStage(S("ブロックＣ")), 8);
    EXPECT_EQ(SquadMaxForStage(S("ブロックＤ")), 10);
    EXPECT_EQ(SquadMaxForStage("other"), 10);
}

TEST(Roster, NextNumberAndName) {
    const CharaMaster m = Master(0);
    GameState g;
    g.RecordNumber(S("ＱＬ－３"), 1);
    g.RecordNumber(S("ＱＬ－３"), 4);
    g.RecordNumber(S("ＱＬ－３"), 2);
    CharaValues c;
    c.SetTypeName(S("ＱＬ－３"));
    NextNumber(g, c);
    EXPECT_EQ(c.Number(), 5);
    EXPECT_EQ(g.numbers[S("ＱＬ－３")], 5);
    AssignName(m, c);
    EXPECT_EQ(c.Name(), S("ＱＬ３－5"));
    CharaValues fresh;
    fresh.SetTypeName(S("ＱＬ－３Ｅ"));
    NextNumber(g, fresh);
    EXPECT_EQ(fresh.Number(), 1);
}

TEST(Roster, EnemyBecomesCoreOfPlayerType) {
    const CharaMaster m = Master(100);
    FixedCalendar cal(1000);
    GameRandom r(&cal);
    CharaValues e = Enemy("ＱＬ－３Ｅ", 50);
    ASSERT_TRUE(BecomesCore(e, m, false, r));
    EXPECT_EQ(e.CoreFlag(), 1);
    EXPECT_EQ(e.TypeName(), S("ＱＬ－３"));
    EXPECT_EQ(e.FusionCount(), 1);
    EXPECT_EQ(e.Level(), 11);
    EXPECT_EQ(e.Level2(), 30);
    EXPECT_EQ(e.Number(), 0);
    EXPECT_TRUE(e.Name().empty());
}

TEST(Roster, TypeWithoutFinalEIsKept) {
    CharaValues c = Enemy("ＱＬ－３", 1);
    MakeCore(c);
    EXPECT_EQ(c.TypeName(), S("ＱＬ－３"));
    EXPECT_EQ(c.Level2(), 1);
}

TEST(Roster, CoreRatesZeroHundredAndFlag) {
    const CharaMaster never = Master(0);
    const CharaMaster always = Master(100);
    FixedCalendar cal(1);
    GameRandom r(&cal);
    for (int t = 0; t < 200; ++t, cal.Advance(1)) {
        CharaValues a = Enemy("ＱＬ－３Ｅ", 10);
        EXPECT_FALSE(BecomesCore(a, never, false, r));
        EXPECT_EQ(a.CoreFlag(), 0);
        CharaValues b = Enemy("ＱＬ－３Ｅ", 10);
        EXPECT_TRUE(BecomesCore(b, always, false, r));
        CharaValues c = Enemy("ＱＬ－３Ｅ", 10);
        EXPECT_TRUE(BecomesCore(c, never, true, r));
        CharaValues d = Enemy("ＱＬ－１Ｅ", 10);
        EXPECT_FALSE(BecomesCore(d, always, true, r));
        EXPECT_EQ(d.CoreFlag(), 0);
    }
}

TEST(Roster, DrawFollowsTheRateAndRepeatsWithinASecond) {
    const CharaMaster m = Master(30);
    FixedCalendar cal(1070892300);
    GameRandom r(&cal);
    int hits = 0;
    for (int t = 0; t < 2000; ++t, cal.Advance(1)) {
        CharaValues a = Enemy("ＱＬ－３Ｅ", 10);
        const bool first = BecomesCore(a, m, false, r);
        CharaValues b = Enemy("ＱＬ－３Ｅ", 10);
        EXPECT_EQ(BecomesCore(b, m, false, r), first); // same second, same draw
        hits += first ? 1 : 0;
    }
    EXPECT_GT(hits, 2000 * 25 / 100);
    EXPECT_LT(hits, 2000 * 35 / 100);
}

// A calendar one second further on at every reading.
class TickingCalendar final : public Calendar {
public:
    explicit TickingCalendar(std::int64_t t) : t_(t) {}
    std::int64_t Now() override {
        ++reads;
        return t_++;
    }
    int reads = 0;

private:
    std::int64_t t_;
};

TEST(Roster, OneSeedPerCoreDecision) {
    // The clock may pass a second boundary while the decision is made: the
    // shuffle and the pick must still come from the one seed read first.
    const CharaMaster m = Master(50);
    int differ = 0;
    for (std::int64_t t = 1070892300; t < 1070892300 + 200; ++t) {
        TickingCalendar cal(t);
        GameRandom r(&cal);
        CharaValues e = Enemy("ＱＬ－３Ｅ", 10);
        const bool drops = BecomesCore(e, m, false, r);
        EXPECT_EQ(cal.reads, 1);
        GameRandom seeded;
        seeded.Seed(static_cast<std::uint32_t>(t));
        EXPECT_EQ(drops, CoreDropDraw(50, seeded)) << t;
        GameRandom later;
        later.Seed(static_cast<std::uint32_t>(t + 1));
        seeded.Seed(static_cast<std::uint32_t>(t));
        differ += CoreDropDraw(50, later) != CoreDropDraw(50, seeded) ? 1 : 0;
    }
    EXPECT_GT(differ, 0); // the seeds chosen do tell the two readings apart
}

TEST(Roster, PickUpNumbersNamesAndRespectsCapacity) {
    const CharaMaster m = Master(100);
    GameState g;
    CharaMap field;
    CharaValues core = Enemy("ＱＬ－３Ｅ", 10);
    MakeCore(core);
    core.SetCellValue(4, 5);
    field.emplace(core.Name(), core);
    CharaValues mover;
    mover.SetCellValue(4, 4);
    EXPECT_EQ(PickUpCore(mover, field, g, m), kPickUpNothing);
    mover.SetCellValue(4, 5);
    for (int i = 0; i < 8; ++i) {
        CharaValues held = core;
        held.SetName("c" + std::to_string(i));
        g.cores.emplace(held.Name(), held);
    }
    EXPECT_EQ(PickUpCore(mover, field, g, m), kPickedUp);
    EXPECT_TRUE(field.empty());
    ASSERT_EQ(g.cores.count(S("ＱＬ３－1")), 1u);
    EXPECT_EQ(g.cores.find(S("ＱＬ３－1"))->second.Number(), 1);
    // The tenth core stays on the field.
    field.emplace(core.Name(), core);
    EXPECT_EQ(PickUpCore(mover, field, g, m), kCoreCaseFull);
    EXPECT_EQ(field.size(), 1u);
    EXPECT_EQ(g.cores.size(), 9u);
}

} // namespace
} // namespace quolis
