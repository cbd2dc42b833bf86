// Running, stepping, typing, fades, file loading and the script service.
#include "ScriptTestUtil.h"
#include "script/ScriptService.h"

#include <gtest/gtest.h>

#include <array>

namespace quolis::test {
namespace {

class Interpreter : public ::testing::Test, public ScriptFixture {};

TEST_F(Interpreter, EmptyTokenListFinishesAtOnce) {
    EXPECT_EQ(script.RunTokens({}, true), S_OK);
    EXPECT_FALSE(script.Running());
    EXPECT_EQ(script.StepOnKey(), E_FAIL);
}

TEST_F(Interpreter, EmptyTokenListResetsATypingMessage) {
    Play("長いメッセージです");
    clock.Advance(16);
    script.Update();
    ASSERT_TRUE(script.Typing());
    script.RunTokens({}, true);
    EXPECT_EQ(script.StepOnKey(), E_FAIL);
}

TEST_F(Interpreter, TypingStepsOverLeadBytesAndKeyWaits) {
    Play("aあb 次");
    EXPECT_EQ(script.ShownText(), "");
    script.Update();
    EXPECT_EQ(script.ShownText(), "a");
    EXPECT_TRUE(script.Typing());
    EXPECT_EQ(script.StepOnKey(), kScriptBusy);
    script.Update();
    EXPECT_EQ(U8(script.ShownText()), "aあ");
    script.Update();
    EXPECT_EQ(U8(script.ShownText()), "aあb");
    script.Update();
    EXPECT_FALSE(script.Typing());
    EXPECT_EQ(script.StepOnKey(), S_OK);
    EXPECT_EQ(U8(script.Message()), "次");
}

TEST_F(Interpreter, NewMessageContinuesFromThePreviousPositionUntilADot) {
    Play("abc abcdef . xy");
    Settle();
    EXPECT_EQ(script.TypingPosition(), 3u);
    script.Step();
    script.Update();
    EXPECT_EQ(script.ShownText(), "abcd") << "shown at once up to the old position";
    Settle();
    script.Step();
    EXPECT_EQ(script.TypingPosition(), 0u);
    EXPECT_EQ(script.Message(), "xy");
    script.Update();
    EXPECT_EQ(script.ShownText(), "x");
}

TEST_F(Interpreter, FadeOutAllContinuesWithoutAKey) {
    Play("一 FadeOut All 二");
    Settle();
    EXPECT_EQ(script.Step(), S_OK);
    EXPECT_TRUE(script.FadeBusy());
    EXPECT_EQ(script.StepOnKey(), kScriptBusy);
    EXPECT_EQ(script.Step(), kScriptBusy);
    int steps = 0;
    while (script.FadeBusy() && steps < 10000) {
        clock.Advance(16);
        script.Update();
        ++steps;
    }
    // 51 ticks of -5 at least 0.04 s apart (48 ms at 16 ms a step).
    EXPECT_GE(steps, 51 * 3);
    EXPECT_LE(steps, 51 * 3 + 5);
    EXPECT_EQ(U8(script.Message()), "二");
    for (MsgPart p : {MsgPart::BG, MsgPart::Right, MsgPart::SerifuFrame, MsgPart::SerifuText,
                      MsgPart::FreePoly, MsgPart::CharaPicFrame}) {
        EXPECT_EQ(script.Box().Part(p).level, 0) << static_cast<int>(p);
    }
    EXPECT_EQ(script.Box().Part(MsgPart::Cursor).level, 255) << "not in the fade lists";
}

TEST_F(Interpreter, FadeOfOneSlotTouchesOnlyIt) {
    Play("FadeOut Left 一");
    Settle();
    EXPECT_EQ(script.Box().Part(MsgPart::Left).level, 0);
    EXPECT_EQ(script.Box().Part(MsgPart::Right).level, 255);
    Play("FadeIn left 二");
    Settle();
    EXPECT_EQ(script.Box().Part(MsgPart::Left).level, 255);
    EXPECT_EQ(U8(script.Message()), "二");
}

TEST_F(Interpreter, FadeHeldByTheBrightnessRangeStillEnds) {
    script.SetBrightnessRange(128, 255);
    Play("FadeOut Images 一");
    Settle(2000);
    EXPECT_FALSE(script.FadeBusy());
    EXPECT_EQ(script.Box().Part(MsgPart::BG).level, 128);
    EXPECT_EQ(U8(script.Message()), "一");
}

TEST_F(Interpreter, VolumeFadeMovesFiftyAStep) {
    Play("FadeIn Volume 一");
    Settle();
    ASSERT_GE(audio.volumes.size(), 51u);
    EXPECT_EQ(audio.volumes.front(), -3000);
    EXPECT_EQ(audio.volumes[1], -2950);
    EXPECT_EQ(audio.volumes.back(), -500);
    EXPECT_EQ(audio.volumes.size(), 51u);
    EXPECT_EQ(U8(script.Message()), "一");
    audio.volumes.clear();
    Play("fadeout volume 二");
    Settle();
    EXPECT_EQ(audio.volumes.front(), -500);
    EXPECT_EQ(audio.volumes.back(), -3000);
    EXPECT_EQ(U8(script.Message()), "二");
}

TEST_F(Interpreter, RunFileLoadsAndSteps) {
    storage.scripts["Prologue\\1.Dat"] = Toks("MIDIPlay Op 最初 最後");
    EXPECT_EQ(script.RunFile("Prologue\\1.Dat"), S_OK);
    EXPECT_EQ(script.CurrentScriptName(), "Prologue\\1.Dat");
    EXPECT_TRUE(script.AutoNewline());
    EXPECT_EQ(U8(script.Message()), "最初\n\n");
}

TEST_F(Interpreter, GotoRunsTheNamedFileAndAStringVariable) {
    storage.scripts["B.Dat"] = Toks("Bの一");
    storage.scripts["C.Dat"] = Toks("Cの一");
    Play("goto B");
    EXPECT_EQ(U8(script.Message()), "Bの一\n\n");
    EXPECT_EQ(script.RecordedScriptName(), "B.Dat");
    Play("string $n = C 一 goto $n");
    script.Step();
    EXPECT_EQ(U8(script.Message()), "Cの一\n\n");
}

TEST_F(Interpreter, GotoToAMissingFileReloadsTheRunningScript) {
    storage.scripts["A.Dat"] = Toks("Aの一 goto Missing");
    script.RunFile("A.Dat");
    EXPECT_EQ(U8(script.Message()), "Aの一\n\n");
    EXPECT_EQ(script.Step(), S_OK);
    EXPECT_TRUE(script.Running());
    EXPECT_EQ(U8(script.Message()), "Aの一\n\n") << "started again from the top";
}

TEST_F(Interpreter, FailedReloadStopsInsteadOfRetrying) {
    Play("一 goto Missing 二");
    EXPECT_EQ(script.Step(), E_FAIL);
    EXPECT_FALSE(script.Running());
    EXPECT_EQ(script.StepOnKey(), E_FAIL);
    EXPECT_EQ(script.RunFile("AlsoMissing.Dat"), E_FAIL);
    EXPECT_FALSE(script.Running());
}

TEST_F(Interpreter, GotoLoopsEndTheScript) {
    storage.scripts["L.Dat"] = Toks("goto L");
    storage.scripts["P.Dat"] = Toks("INT %n = 0 goto Q");
    storage.scripts["Q.Dat"] = Toks("goto P");
    EXPECT_EQ(script.RunFile("L.Dat"), S_OK);
    EXPECT_FALSE(script.Running());
    EXPECT_EQ(script.StepOnKey(), E_FAIL);
    script.RunFile("P.Dat");
    EXPECT_EQ(script.StepOnKey(), E_FAIL);
}

TEST_F(Interpreter, GotoInsideAnIfBlockEndsTheStep) {
    storage.scripts["B.Dat"] = Toks("Bの一");
    Play("INT %r = 0 if ( 1 == 1 ) { goto B %r = 1 } 後");
    EXPECT_EQ(IntVar("%r"), 0);
    EXPECT_EQ(U8(script.Message()), "Bの一\n\n");
}

TEST_F(Interpreter, SceneRequestInsideAnIfBlockDoesNotHang) {
    Play("if ( 1 == 1 ) { Battle } 後");
    EXPECT_EQ(script.Step(), kScriptBattle);
}

TEST_F(Interpreter, DeepNestingIsRefused) {
    std::string src = "INT %a = 1 ";
    for (int i = 0; i < 5000; ++i) {
        src += "if ( 1 == 1 ) { ";
    }
    src += "一";
    Play(src);
    EXPECT_FALSE(script.Running());
}

TEST_F(Interpreter, ContinueCursorFramesAdvanceEveryThreeTenths) {
    Play("一 二");
    Settle();
    const int f0 = script.Box().CursorFrame();
    clock.Advance(290);
    script.Update();
    EXPECT_EQ(script.Box().CursorFrame(), f0);
    clock.Advance(20);
    script.Update();
    EXPECT_EQ(script.Box().CursorFrame(), (f0 + 1) % 4);
    const MsgDrawable& c = script.Box().Part(MsgPart::Cursor);
    EXPECT_FLOAT_EQ(c.u0, static_cast<float>((f0 + 1) % 4) / 4.0f);
    EXPECT_FLOAT_EQ(c.u1 - c.u0, 0.25f);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(300);
        script.Update();
    }
    EXPECT_EQ(script.Box().CursorFrame(), f0);
}

TEST_F(Interpreter, BrightnessAppliesToAllThirteenWithinTheRange) {
    script.SetBrightness(100);
    for (auto& d : script.Box().Parts()) {
        EXPECT_EQ(d.level, 100);
    }
    script.SetBrightnessRange(128, 255);
    EXPECT_EQ(script.Box().Part(MsgPart::BG).level, 128);
    script.AddBrightness(500);
    EXPECT_EQ(script.Box().Part(MsgPart::Cursor).level, 255);
    script.SetBrightness(-4);
    EXPECT_EQ(script.Box().Part(MsgPart::Cursor).level, 128);
}

TEST_F(Interpreter, SetUpRegistersMenuCuesAndLoadsBoxPictures) {
    EXPECT_EQ(audio.log[0], "load 方向キー音 DirKey.wav");
    EXPECT_EQ(audio.log[1], "load 決定キー音 DecideKey.wav");
    EXPECT_EQ(textures.log,
              (std::vector<std::string>{"load MsgBox\\CharaPicFrame.bmp", "load MsgBox\\MsgBox.bmp",
                                        "load MsgBox\\Cursor.bmp"}));
    EXPECT_FALSE(script.Visible());
}

class Service : public ::testing::Test, public ScriptFixture {
public:
    std::array<std::uint32_t, 16> trig{};
    ScriptServiceResult Press(int cycle, int action = kActionDecide) {
        trig[static_cast<std::size_t>(action)] = 1;
        return RunScriptService(cycle, script, trig, audio);
    }
};

TEST_F(Service, ShowsStepsAndFinishes) {
    script.SetBrightness(0);
    Play("一 二");
    auto r = RunScriptService(-1000, script, trig, audio);
    EXPECT_EQ(r.nextCycle, -1010);
    EXPECT_TRUE(script.Visible());
    EXPECT_EQ(script.Box().Part(MsgPart::BG).level, 255);
    EXPECT_EQ(RunScriptService(-1100, script, trig, audio).nextCycle, -1110);

    // Decide while typing: nothing, no sound.
    script.Update();
    audio.log.clear();
    r = Press(-1010);
    EXPECT_EQ(r.stepResult, kScriptBusy);
    EXPECT_FALSE(r.done);
    EXPECT_TRUE(audio.log.empty());
    EXPECT_EQ(trig[kActionDecide], 0u);

    Settle();
    r = Press(-1010);
    EXPECT_EQ(audio.log, std::vector<std::string>{"cue メッセージ送りキー"});
    EXPECT_FALSE(r.done);
    Settle();
    r = Press(-1110);
    EXPECT_TRUE(r.done);
    EXPECT_FALSE(script.Visible());
}

TEST_F(Service, WithoutDecideNothingHappens) {
    Play("一 二");
    Settle();
    auto r = RunScriptService(-1010, script, trig, audio);
    EXPECT_FALSE(r.stepped);
    EXPECT_EQ(U8(script.Message()), "一");
}

TEST_F(Service, MenuTakesTheDirectionKeys) {
    Play("FontMenu { format 1 3 menuitem { はい 0 はい いいえ 1 いいえ 保留 2 保留 } } 後");
    audio.log.clear();
    Press(-1010, kActionDown);
    EXPECT_EQ(audio.log, std::vector<std::string>{"cue 方向キー音"});
    auto r = Press(-1010);
    EXPECT_TRUE(r.stepped);
    EXPECT_EQ(U8(script.StringVariables().at(CScript::kMenuResult)), "いいえ");
    EXPECT_EQ(U8(script.Message()), "後");
    EXPECT_EQ(audio.log.back(), "cue 決定キー音");
}

} // namespace
} // namespace quolis::test
