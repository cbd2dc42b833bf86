// The headless runner behind "qscript run".
#include "ScriptTestUtil.h"
#include "script/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quolis::test {
namespace {

class Runner : public ::testing::Test, public ScriptFixture {
public:
    std::ostringstream out;
    PrintingObserver observer{out};
    Runner() {
        ScriptPortsRef p;
        p.storage = &storage;
        p.clock = &clock;
        p.calendar = &calendar;
        p.observer = &observer;
        script.SetUp(p);
    }
};

TEST_F(Runner, PrintsMessagesEffectsAndStopsAtASceneRequest) {
    storage.scripts["S.Dat"] =
        Toks("MIDIPlay Op Texture 甲 a.bmp Left 甲 newlinecharnum 10 ナレーション： "
             "一二三四五六七八 FontMenu { menuitem { はい 0 はい } } INT %x = 3 string $s = 文 "
             "FadeOut All 終 Battle");
    EXPECT_EQ(RunHeadless(script, clock, "S.Dat", out), 0);
    PrintVariables(script, out);
    EXPECT_EQ(out.str(), "* MIDIPlay Op.mid\n"
                         "* Left a.bmp\n"
                         "> 一二三四五\n  六七八\n"
                         "* FontMenu はい\n"
                         "* MenuResult はい\n"
                         "* FadeOut All\n"
                         "> 終\n"
                         "* Battle\n"
                         "scene request Battle (10000)\n"
                         "INT %x = 3\n"
                         "string $MenuResult = はい\n"
                         "string $s = 文\n");
}

TEST_F(Runner, ReportsUnreadableScriptsAndFinishedOnes) {
    EXPECT_EQ(RunHeadless(script, clock, "None.Dat", out), 1);
    storage.scripts["E.Dat"] = Toks("一");
    out.str("");
    EXPECT_EQ(RunHeadless(script, clock, "E.Dat", out), 0);
    EXPECT_EQ(out.str(), "> 一\nfinished\n");
}

TEST_F(Runner, MenuWithADisabledFirstItemIsReported) {
    storage.scripts["L.Dat"] = Toks("LoadMenu");
    // Slot menus start on "←戻る", which can always be chosen.
    EXPECT_EQ(RunHeadless(script, clock, "L.Dat", out), 0);
    EXPECT_NE(out.str().find("* MenuResult $back"), std::string::npos);
}

TEST_F(Runner, AnUndeclaredVariableInTheMiddleFailsTheRun) {
    storage.scripts["S.Dat"] = Toks("一 INT %a = 1 二 if ( %zzz == 1 ) { 三 } 四");
    EXPECT_EQ(RunHeadless(script, clock, "S.Dat", out), 3);
    EXPECT_EQ(out.str(), "> 一\n> 二\n"
                         "aborted in S.Dat at token 9: undeclared variable %zzz in the statement "
                         "\"if ( %zzz == 1 ) {\" (token 7)\n");
    // The same script with the variable declared runs to its end.
    storage.scripts["S.Dat"] = Toks("一 INT %zzz = 1 二 if ( %zzz == 1 ) { 三 } 四");
    out.str("");
    EXPECT_EQ(RunHeadless(script, clock, "S.Dat", out), 0);
    EXPECT_EQ(out.str(), "> 一\n> 二\n> 三\n> 四\nfinished\n");
}

TEST_F(Runner, AnErrorInTheFirstStepFailsTheRun) {
    // The first step runs inside RunFile; its error shows at the next press.
    storage.scripts["F.Dat"] = Toks("INT %a = 1 %b = 2 一");
    EXPECT_EQ(RunHeadless(script, clock, "F.Dat", out), 3);
    EXPECT_NE(out.str().find("undeclared variable %b"), std::string::npos) << out.str();
}

} // namespace
} // namespace quolis::test
