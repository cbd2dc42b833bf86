// Script save data, the slot labels and the slot menus.
#include "ScriptTestUtil.h"
#include "script/ScriptSave.h"

#include <gtest/gtest.h>

namespace quolis::test {
namespace {

class SaveData : public ::testing::Test, public ScriptFixture {};

TEST_F(SaveData, SaveWritesTimeScriptAndVariablesInNameOrder) {
    Play(
        "INT %b = 2 INT %a = 1 string $z = ぜ string $y = わい Save Stage\\3 savedata\\save1 待つ");
    const auto it = storage.files.find("GameData\\Text\\savedata\\save1.Dat");
    ASSERT_NE(it, storage.files.end());
    const TokenList& t = it->second;
    EXPECT_EQ(t, Toks("セーブ日時 103 3 2 5 14 7 0 現在のスクリプトファイル名 Stage\\3 変数情報 "
                      "string $y わい string $z ぜ INT %a 1 INT %b 2"));
}

TEST_F(SaveData, VariablesThatCannotBeTokensAreLeftOut) {
    Play("string $empty string $c = /* string $ok = 1 Save x s 待つ");
    EXPECT_EQ(
        storage.files.at("GameData\\Text\\s.Dat"),
        Toks("セーブ日時 103 3 2 5 14 7 0 現在のスクリプトファイル名 x 変数情報 string $ok 1"));
}

TEST_F(SaveData, SaveResumeNameMayBeAStringVariable) {
    Play("string $next = Stage\\9 Save $next mine 待つ");
    EXPECT_EQ(storage.files.at("GameData\\Text\\mine.Dat")[9], "Stage\\9");
}

TEST_F(SaveData, FailedWriteLeavesTheScriptRunning) {
    storage.failWrites = true;
    Play("Save a b 一");
    EXPECT_TRUE(script.Running());
    EXPECT_EQ(U8(script.Message()), "一");
}

TEST_F(SaveData, SlotLabelWithWeekday) {
    std::array<std::int32_t, 7> t{103, 3, 2, 5, 14, 7, 33};
    EXPECT_EQ(U8(ScriptSlotLabel(1, t)), "データ1：2003年 3月 5日（水）14時 7分");
    EXPECT_EQ(U8(ScriptSlotLabel(3, std::nullopt)), "データ3：空き");
    t[1] = 9;
    EXPECT_EQ(U8(ScriptSlotLabel(2, t)), "データ2：2003年 3月 5日（）14時 7分")
        << "a corrupt weekday reads no character";
}

TEST_F(SaveData, LoadCreatesVariablesAndRunsTheSavedScript) {
    storage.files["GameData\\Text\\s.Dat"] =
        Toks("セーブ日時 103 3 2 5 14 7 0 現在のスクリプトファイル名 Stage\\3 変数情報 "
             "string $new 新 INT %fresh 42 INT %old 5 junk");
    storage.scripts["Stage\\3.Dat"] = Toks("再開");
    Play("INT %old = 1 Load s");
    EXPECT_EQ(IntVar("%fresh"), 42);
    EXPECT_EQ(IntVar("%old"), 5);
    EXPECT_EQ(U8(script.StringVariables().at("$new")), "新");
    EXPECT_EQ(script.RecordedScriptName(), "Stage\\3.Dat");
    EXPECT_EQ(U8(script.Message()), "再開\n\n");
}

TEST_F(SaveData, LoadOfABrokenFileLeavesVariablesAndEnds) {
    storage.files["GameData\\Text\\b.Dat"] = Toks("セーブ日時 1 2 変数情報 INT %x 5");
    storage.files["GameData\\Text\\c.Dat"] = Toks("現在のスクリプトファイル名");
    for (const char* src : {"Load b", "Load c", "Load nofile"}) {
        Play(std::string("INT %x = 1 ") + src + " 後");
        EXPECT_FALSE(script.Running()) << src;
        EXPECT_EQ(IntVar("%x"), 1) << src;
        EXPECT_EQ(script.StepOnKey(), E_FAIL) << src;
    }
}

TEST_F(SaveData, AnIntRecordThatIsNoNumberLeavesTheVariable) {
    // %kept has a value: a record "x1" leaves it; %made has none: it is
    // created with 0; %late is read from its second, numeric record.
    storage.files["GameData\\Text\\n.Dat"] =
        Toks("セーブ日時 103 3 2 5 14 7 0 現在のスクリプトファイル名 R 変数情報 "
             "INT %kept x1 INT %made - INT %late 4 INT %late ? INT %neg -3");
    storage.scripts["R.Dat"] = Toks("再開");
    Play("INT %kept = 9 Load n");
    EXPECT_EQ(IntVar("%kept"), 9);
    EXPECT_EQ(IntVar("%made"), 0);
    EXPECT_EQ(IntVar("%late"), 4);
    EXPECT_EQ(IntVar("%neg"), -3);
    EXPECT_EQ(U8(script.Message()), "再開\n\n");
}

TEST_F(SaveData, RoundTripThroughTheTokenFormat) {
    StringVars s{{"$a", "x"}};
    IntVars i{{"%n", -5}};
    std::tm tm{};
    tm.tm_year = 120;
    const auto parsed = ParseScriptSave(BuildScriptSave(tm, "S\\1", s, i));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->resume, "S\\1.Dat");
    EXPECT_EQ(parsed->strings, s);
    EXPECT_EQ(parsed->ints, i);
    const TokenList cut = {Sj("現在のスクリプトファイル名"), "X", Sj("変数情報"), "INT", "%a"};
    ASSERT_TRUE(ParseScriptSave(cut));
    EXPECT_TRUE(ParseScriptSave(cut)->ints.empty()) << "a record cut off is not read";
}

TEST_F(SaveData, SaveMenuListsSlotsAndSavesTheChosenOne) {
    Play("Save x savedata\\save2 INT %a = 7 SaveMenu Stage\\5 後");
    const MsgMenu& m = script.Box().TextMenu();
    ASSERT_TRUE(m.shown);
    ASSERT_EQ(m.items.size(), 4u);
    EXPECT_EQ(U8(m.items[0].label), "←戻る");
    EXPECT_EQ(m.items[0].name, "$back");
    EXPECT_EQ(U8(m.items[1].label), "データ1：空き");
    EXPECT_TRUE(m.items[1].enabled);
    EXPECT_EQ(U8(m.items[2].label), "データ2：2003年 3月 5日（水）14時 7分");
    EXPECT_EQ(U8(m.items[2].name), "$セーブデータ2");
    EXPECT_EQ(m.items[3].y, 400 + 90);
    EXPECT_EQ(m.items[3].x, 230);
    EXPECT_EQ(m.items[0].level, 255);
    EXPECT_EQ(m.items[1].level, 180);
    EXPECT_EQ(U8(m.items[3].payload), "Stage\\5");

    script.MenuKey(ScriptMenuKey::Down);
    script.MenuKey(ScriptMenuKey::Down);
    script.MenuKey(ScriptMenuKey::Down);
    EXPECT_EQ(script.MenuKey(ScriptMenuKey::Decide), S_OK);
    const TokenList& t = storage.files.at("GameData\\Text\\savedata\\save3.Dat");
    EXPECT_EQ(U8(t[9]), "Stage\\5");
    EXPECT_EQ(U8(script.Message()), "後");
}

TEST_F(SaveData, BackClosesTheSlotMenuWithoutSaving) {
    Play("SaveMenu x 後");
    script.MenuKey(ScriptMenuKey::Decide);
    EXPECT_TRUE(storage.files.empty());
    EXPECT_EQ(script.StringVariables().at(CScript::kMenuResult), "$back");
    EXPECT_EQ(U8(script.Message()), "後");
}

TEST_F(SaveData, SaveMenuWaitsForTheChoiceBeforeTheNextLine) {
    // The line after "SaveMenu" is not shown under the open menu, and the
    // choice does not skip it: it comes after the choice, and the next key
    // brings the one after it.
    Play("SaveMenu x 一 二");
    ASSERT_TRUE(script.Box().TextMenu().shown);
    EXPECT_EQ(U8(script.Message()), "");
    script.MenuKey(ScriptMenuKey::Decide); // "←戻る"
    EXPECT_EQ(U8(script.Message()), "一");
    script.StepOnKey();
    EXPECT_EQ(U8(script.Message()), "二");
}

TEST_F(SaveData, LoadMenuSkipsEmptySlotsAndLoadsTheChosenOne) {
    storage.files["GameData\\Text\\savedata\\save3.Dat"] =
        Toks("セーブ日時 103 3 2 5 14 7 0 現在のスクリプトファイル名 R 変数情報 INT %z 3");
    storage.scripts["R.Dat"] = Toks("再開");
    Play("LoadMenu 後");
    const MsgMenu& m = script.Box().TextMenu();
    ASSERT_TRUE(m.shown);
    EXPECT_FALSE(m.items[1].enabled);
    EXPECT_FALSE(m.items[2].enabled);
    EXPECT_TRUE(m.items[3].enabled);
    script.MenuKey(ScriptMenuKey::Down);
    EXPECT_EQ(m.current, 3) << "empty slots are skipped";
    EXPECT_EQ(script.MenuKey(ScriptMenuKey::Decide), S_OK);
    EXPECT_EQ(IntVar("%z"), 3);
    EXPECT_EQ(U8(script.Message()), "再開\n\n");
}

} // namespace
} // namespace quolis::test
