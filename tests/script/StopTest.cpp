// Why a script stopped: a normal end, "GameEnd", a scene request, or an error
// with the statement and token that caused it; the runner's exit code and the
// service's log line follow from it.
#include "ScriptTestUtil.h"
#include "common/Log.h"
#include "script/ScriptService.h"

#include <gtest/gtest.h>

#include <array>

namespace quolis::test {
namespace {

class Stop : public ::testing::Test, public ScriptFixture {
public:
    // Presses decide until the script answers E_FAIL or a scene request.
    HRESULT RunOut() {
        for (int i = 0; i < 100; ++i) {
            Settle();
            const HRESULT hr = script.StepOnKey();
            if (hr == E_FAIL || hr == kScriptGameEnd || hr == kScriptBattle) {
                return hr;
            }
        }
        return S_OK;
    }
};

TEST_F(Stop, NormalEndsAreToldApart) {
    Play("一 二");
    EXPECT_EQ(script.Stop().kind, ScriptStopKind::None) << "waiting on the first line";
    EXPECT_EQ(RunOut(), E_FAIL);
    EXPECT_EQ(script.Stop().kind, ScriptStopKind::EndOfScript);
    EXPECT_EQ(DescribeScriptStop(script.Stop()), "end of the script");

    Play("一 GameEnd");
    EXPECT_EQ(RunOut(), kScriptGameEnd);
    EXPECT_EQ(script.Stop().kind, ScriptStopKind::GameEnd);

    Play("一 Battle");
    EXPECT_EQ(RunOut(), kScriptBattle);
    EXPECT_EQ(script.Stop().kind, ScriptStopKind::SceneRequest);
    // A new script clears the last stop.
    Play("一");
    EXPECT_EQ(script.Stop().kind, ScriptStopKind::None);
}

struct ErrorCase {
    const char* source;
    ScriptError error;
    std::size_t statement; // 0-based token indices
    std::size_t token;
    const char* text; // the statement as reported
    const char* name;
};

TEST_F(Stop, EachErrorNamesItsStatementAndToken) {
    const ErrorCase cases[] = {
        {"一 INT %a = 1 if ( %a == 1 && %zzz == 2 ) { 二 } 三", ScriptError::UndeclaredVariable, 5,
         11, "if ( %a == 1 && %zzz == 2 ) {", "%zzz"},
        {"一 if ( 1 == %b ) { 二 }", ScriptError::UndeclaredVariable, 1, 5, "if ( 1 == %b ) {",
         "%b"},
        {"一 %n = 3 二", ScriptError::UndeclaredVariable, 1, 1, "%n = 3", "%n"},
        {"一 $s = x 二", ScriptError::UndeclaredVariable, 1, 1, "$s = x", "$s"},
        {"一 switch ( %v ) { case 1 : 二 }", ScriptError::UndeclaredVariable, 1, 3,
         "switch ( %v ) {", "%v"},
        {"一 if ( 1 == 1 ) 二 }", ScriptError::MalformedStatement, 1, 7, "if ( 1 == 1 ) 二", ""},
        {"一 FontMenu Elsewhere { menuitem { a 0 a } } 二", ScriptError::MalformedStatement, 1, 2,
         "FontMenu Elsewhere {", "Elsewhere"},
        {"一 TexLoad 顔 二", ScriptError::MissingTexture, 1, 2, "TexLoad 顔", "顔"},
        {"一 goto Nowhere 二", ScriptError::MissingFile, 1, 2, "goto Nowhere", "Nowhere.Dat"},
        {"一 Load savedata\\save9 二", ScriptError::MissingFile, 1, 2, "Load savedata\\save9",
         "savedata\\save9"},
        // An error inside a taken block is the cause, not the block around it.
        {"一 if ( 1 == 1 ) { 二 %q = 1 } 三", ScriptError::UndeclaredVariable, 9, 9, "%q = 1",
         "%q"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.source);
        Play(c.source);
        EXPECT_EQ(U8(script.Message()), "一");
        EXPECT_EQ(RunOut(), E_FAIL);
        const ScriptStop& s = script.Stop();
        ASSERT_EQ(s.kind, ScriptStopKind::Error);
        EXPECT_EQ(s.error, c.error);
        EXPECT_EQ(s.statement, c.statement);
        EXPECT_EQ(s.token, c.token);
        EXPECT_EQ(U8(s.text), c.text);
        EXPECT_EQ(U8(s.name), c.name);
        EXPECT_NE(U8(script.Message()), "三") << "nothing after the error runs";
        // Stepping an aborted script again keeps the cause.
        EXPECT_EQ(script.StepOnKey(), E_FAIL);
        EXPECT_EQ(script.Stop().kind, ScriptStopKind::Error);
    }
}

TEST_F(Stop, ErrorsInAFileReachedByGotoNameThatFile) {
    storage.scripts["A.Dat"] = Toks("一 goto B");
    storage.scripts["B.Dat"] = Toks("二 TexUnload 無い 三");
    ASSERT_EQ(script.RunFile("A.Dat"), S_OK);
    EXPECT_EQ(RunOut(), E_FAIL);
    EXPECT_EQ(script.Stop().kind, ScriptStopKind::Error);
    EXPECT_EQ(DescribeScriptStop(script.Stop()),
              "aborted in B.Dat at token 3: undefined texture variable 無い in the statement "
              "\"TexUnload 無い\" (token 2)");
    // A file that cannot be read has no statement; the script that was
    // running is read again in its place, but the missing file is reported.
    EXPECT_EQ(script.RunFile("None.Dat"), S_OK);
    EXPECT_EQ(U8(script.CurrentScriptName()), "B.Dat");
    EXPECT_EQ(script.Stop().error, ScriptError::MissingFile);
    EXPECT_EQ(script.Stop().statement, ScriptStop::kNoToken);
    EXPECT_EQ(U8(script.Stop().name), "None.Dat");
}

TEST_F(Stop, AGotoToAMissingFileIsReportedThoughTheFileRunsAgain) {
    storage.scripts["A.Dat"] = Toks("一 goto Nowhere");
    ASSERT_EQ(script.RunFile("A.Dat"), S_OK);
    ASSERT_EQ(script.Stop().kind, ScriptStopKind::None);
    Settle();
    script.StepOnKey();
    EXPECT_EQ(U8(script.Message()), "一\n\n") << "the running file starts again";
    EXPECT_EQ(DescribeScriptStop(script.Stop()),
              "aborted in A.Dat at token 3: cannot read the file Nowhere.Dat in the statement "
              "\"goto Nowhere\" (token 2)");
}

class StopService : public ::testing::Test, public ScriptFixture {
public:
    std::array<std::uint32_t, 16> trig{};
    std::vector<std::string> lines;
    LogSink previous;
    void SetUp() override {
        previous = SetLogSink([this](std::string_view l) { lines.emplace_back(l); });
    }
    void TearDown() override { SetLogSink(previous); }
    ScriptServiceResult Press() {
        Settle();
        trig[kActionDecide] = 1;
        return RunScriptService(-1010, script, trig, audio);
    }
};

TEST_F(StopService, AnAbortedStoryEndsAsBeforeAndTheLogSaysWhy) {
    Play("一 %x = 1 二");
    const ScriptServiceResult r = Press();
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.stepResult, E_FAIL);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "story script aborted in Nothing at token 2: undeclared variable %x in "
                        "the statement \"%x = 1\" (token 2)");
    // A story that simply ends logs nothing.
    lines.clear();
    Play("一");
    EXPECT_TRUE(Press().done);
    EXPECT_TRUE(lines.empty());
}

} // namespace
} // namespace quolis::test
