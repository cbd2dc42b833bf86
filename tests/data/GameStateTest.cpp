#include "data/GameState.h"
#include "TestUtil.h"
#include "common/Clock.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using test::S;
using test::Tok;

struct Tables {
    MAMaster arms;
    CharaMaster master;
    Tables() {
        arms.Parse(Tok("キャノン 3 20 10 ブレス 2 9 4"));
        master.Parse(Tok("／／名前 ＱＬ－１ QL1 ＱＬ１－ ／／名前終わり "
                         "／／ＨＰ ＱＬ－１ ／／ 100 10 0.5 ／／ ／／ＨＰ終わり "
                         "／／ＭＰ ＱＬ－１ ／／ 100 50 0.1 ／／ ／／ＭＰ終わり "
                         "／／ＡＰ ＱＬ－１ ／／ 10 1 1 ／／ ／／ＡＰ終わり "
                         "／／ＭｂｌＰ ＱＬ－１ ／／ 0 1 3 ／／ ／／ＭｂｌＰ終わり "
                         "／／メタルアームズ ＱＬ－１ ／／ キャノン 0 1 ブレス 2 1 ／／ "
                         "／／メタルアームズ終わり"),
                     arms);
    }
};

CharaValues Creature(const char* name, int number, int fusion, int level) {
    CharaValues c;
    c.SetName(S(name));
    c.SetNumber(number);
    c.SetTypeName(S("ＱＬ－１"));
    c.SetFusionCount(fusion);
    c.SetLevel(level);
    c.SetLevel2(AbsoluteLevel(level, fusion));
    return c;
}

TEST(GameState, SaveRoundTrip) {
    Tables t;
    GameState g;
    g.saveDate.tm_year = 103;
    g.stageFile = "Stage02.txt";
    g.openingSeen = 1;
    g.bpPool = 4321;
    CharaValues unfused = Creature("ＱＬ１－1", 1, 0, 3);
    unfused.SetMaxHP(7777); // altered: the tables win on load
    unfused.SetBP(250);
    CharaValues fused = Creature("ＱＬ１－4", 4, 2, 1);
    fused.SetMaxHP(5555);
    fused.SetMaxMP(66);
    fused.SetAP(77);
    fused.SetDP(88);
    fused.SetQP(99);
    g.squad.emplace(unfused.Name(), unfused);
    g.squad.emplace(fused.Name(), fused);
    g.squad.emplace(unfused.Name(), Creature("ＱＬ１－1", 2, 0, 5)); // equal name
    CharaValues core = Creature("ＱＬ１－3", 3, 0, 1);
    g.cores.emplace(core.Name(), core);

    const TokenList tokens = g.ComposeSave();
    EXPECT_EQ(tokens[0], S("セーブ日時"));
    EXPECT_EQ(tokens[1], "103");

    GameState back;
    back.numbers["stale"] = 9;
    back.ParseSave(tokens, t.master, t.arms);
    EXPECT_EQ(back.stageFile, "Stage02.txt");
    EXPECT_EQ(back.openingSeen, 1);
    EXPECT_EQ(back.bpPool, 4321);
    EXPECT_EQ(back.saveDate.tm_year, 103);
    ASSERT_EQ(back.squad.size(), 3u);
    EXPECT_EQ(back.squad.count(S("ＱＬ１－1")), 2u);
    auto u = back.squad.find(S("ＱＬ１－1"));
    EXPECT_EQ(u->second.Number(), 1); // insertion order kept
    EXPECT_EQ(u->second.MaxHP(), 135);
    EXPECT_EQ(u->second.HP(), 135);
    EXPECT_EQ(u->second.BP(), 250);
    EXPECT_EQ(u->second.MblP(), 3);
    EXPECT_EQ(u->second.Arms().size(), 1u);
    const CharaValues& f = back.squad.find(S("ＱＬ１－4"))->second;
    EXPECT_EQ(f.MaxHP(), 5555);
    EXPECT_EQ(f.HP(), 5555);
    EXPECT_EQ(f.MP(), 66);
    EXPECT_EQ(f.AP(), 77);
    EXPECT_EQ(f.DP(), 88);
    EXPECT_EQ(f.QP(), 99);
    EXPECT_EQ(f.Level2(), 40);
    EXPECT_EQ(f.Arms().size(), 2u);
    ASSERT_EQ(back.cores.size(), 1u);
    EXPECT_EQ(back.cores.begin()->second.CoreFlag(), 1);
    EXPECT_EQ(back.numbers.size(), 1u);
    EXPECT_EQ(back.numbers[S("ＱＬ－１")], 4);
}

TEST(GameState, FusedRecordWithoutHPIsRecomputed) {
    Tables t;
    GameState g;
    g.ParseSave(Tok("／／味方情報 ／／ 名前 X 番号 2 タイプ ＱＬ－１ 合成回数 2 レベル 3 "
                    "レベル２ 7 ／／ ／／味方情報終わり"),
                t.master, t.arms);
    ASSERT_EQ(g.squad.size(), 1u);
    const CharaValues& c = g.squad.begin()->second;
    EXPECT_EQ(c.Level2(), 42);
    EXPECT_EQ(c.MaxHP(), t.master.Find(S("ＱＬ－１"))->Value(CharaTable::HP, 42));
}

TEST(GameState, MissingSectionsAndNoDate) {
    Tables t;
    GameState g;
    g.ParseSave(Tok("／／ステージ情報 s1 0 s2 1 ／／ステージ情報終わり ／／コア情報 ／／ 名前 C "
                    "タイプ ＱＬ－１ レベル 1 ／／ ／／コア情報終わり ＢＰ 12"),
                t.master, t.arms);
    EXPECT_EQ(g.stageFile, "s2"); // the last pair wins
    EXPECT_EQ(g.openingSeen, 1);
    EXPECT_TRUE(g.squad.empty());
    EXPECT_EQ(g.cores.size(), 1u);
    EXPECT_EQ(g.bpPool, 12);
    // Sections out of order are not read.
    GameState h;
    h.ParseSave(Tok("／／コア情報 ／／コア情報終わり ／／味方情報 ／／ 名前 C タイプ ＱＬ－１ ／／ "
                    "／／味方情報終わり ＢＰ 5"),
                t.master, t.arms);
    EXPECT_TRUE(h.squad.empty());
    EXPECT_EQ(h.bpPool, 0);
}

TEST(GameState, UnknownTypeKeepsSavedValues) {
    Tables t;
    GameState g;
    g.ParseSave(
        Tok("／／味方情報 ／／ 名前 Z タイプ 無い レベル 3 ＨＰ 50 ／／ ／／味方情報終わり"),
        t.master, t.arms);
    ASSERT_EQ(g.squad.size(), 1u);
    EXPECT_EQ(g.squad.begin()->second.MaxHP(), 50);
}

TEST(SaveSummary, DateAndLine) {
    FixedCalendar cal(1070892300 + 17); // 2003-12-08 14:05:17 UTC, a Monday
    std::tm d = cal.Local(cal.Now());
    EXPECT_EQ(SummaryDate(d), "'03 12/08 14:05 ");
    GameState g;
    g.saveDate = d;
    const TokenList tokens = g.ComposeSave();
    EXPECT_EQ(TokenList(tokens.begin() + 1, tokens.begin() + 8),
              (TokenList{"103", "1", "11", "8", "14", "5", "17"}));

    const std::string label = StageLabel(S("ブロックＡ"), 2, S("森"));
    EXPECT_EQ(Cp932ToUtf8(label), "ブロックＡ－２　森");
    EXPECT_EQ(Cp932ToUtf8(SummaryLine(label, SummaryDate(d))), "Ａ－２　'03 12/08 14:05 森");
}

TEST(SaveSummary, CutNeverSplitsADoubleByteCharacter) {
    const std::string label = StageLabel(S("ブロックＡ"), 1, S("xとても長い名前の森の奥の奥"));
    const std::string line = SummaryLine(label, "'03 12/08 14:05 ");
    EXPECT_LE(line.size(), 36u);
    EXPECT_EQ(line.size(), 35u); // byte 36 would be the first half of a character
    bool ok = false;
    Cp932ToUtf8(line, &ok);
    EXPECT_TRUE(ok);
    // A label whose first 8 bytes end inside a character loses that character whole.
    bool ok2 = false;
    Cp932ToUtf8(SummaryLine("abcdefg" + S("あい　う"), "d "), &ok2);
    EXPECT_TRUE(ok2);
}

TEST(SaveSummary, FieldsFromTokens) {
    std::tm d{};
    std::string stage;
    EXPECT_TRUE(SummaryFields(Tok("セーブ日時 103 1 11 8 14 5 0 ／／ステージ情報 S3 0"), d, stage));
    EXPECT_EQ(d.tm_mon, 11);
    EXPECT_EQ(stage, "S3");
    std::tm e{};
    std::string st2;
    SummaryFields(Tok("セーブ日時 1 2"), e, st2);
    EXPECT_EQ(e.tm_year, 1);
}

TEST(SlotList, PositionsKeysAndDisabledEmptySlots) {
    const auto summary = [](int slot) {
        SlotSummary s;
        s.hasData = slot == 3;
        s.text = s.hasData ? "line3" : S("データがありません");
        return s;
    };
    const auto load = BuildSlotList(true, summary);
    ASSERT_EQ(load.size(), 10u);
    EXPECT_EQ(Cp932ToUtf8(load[0].text), "←");
    EXPECT_EQ(load[0].key, 0);
    EXPECT_FLOAT_EQ(load[0].y, 370);
    EXPECT_EQ(load[3].key, 3);
    EXPECT_EQ(load[3].text, "line3");
    EXPECT_TRUE(load[3].enabled);
    EXPECT_FALSE(load[1].enabled);
    EXPECT_EQ(Cp932ToUtf8(load[1].text), "データがありません");
    EXPECT_FLOAT_EQ(load[4].x, 60);
    EXPECT_FLOAT_EQ(load[4].y, 490);
    EXPECT_FLOAT_EQ(load[5].x, 420);
    EXPECT_FLOAT_EQ(load[5].y, 370);
    EXPECT_FLOAT_EQ(load[9].y, 490);
    const auto save = BuildSlotList(false, summary);
    for (const auto& e : save) {
        EXPECT_TRUE(e.enabled);
    }
}

TEST(SaveSlots, Paths) {
    EXPECT_EQ(SaveSlotPath(0), "GameData\\Save\\Init.Dat");
    EXPECT_EQ(SaveSlotPath(10), "GameData\\Save\\Save10.Dat");
}

} // namespace
} // namespace quolis
