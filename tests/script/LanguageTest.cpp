// Statements, conditions, switches and dialogue lines of the script language.
#include "ScriptTestUtil.h"

#include <gtest/gtest.h>

namespace quolis::test {
namespace {

class Language : public ::testing::Test, public ScriptFixture {};

TEST_F(Language, OnlyTheLastComparisonDecides) {
    Play("INT %a = 0 INT %b = 2 INT %r = 0 if ( %a == 1 && %b == 2 ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 1);
    Play("INT %a = 1 INT %b = 3 INT %r = 0 if ( %a == 1 || %b == 2 ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 0);
}

TEST_F(Language, LiteralOnTheLeftComparesWithTheVariable) {
    Play("INT %a = 2 INT %r = 0 if ( 3 > %a ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 1);
    Play("INT %a = 5 INT %r = 0 if ( 3 > %a ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 0);
    Play("INT %a = 5 INT %r = 0 if ( %a >= 5 ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 1);
    Play("INT %a = 5 INT %r = 0 if ( %a <= 4 ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 0);
}

TEST_F(Language, UnknownOperatorKeepsThePreviousResult) {
    Play("INT %a = 1 INT %r = 0 if ( %a == 1 && %a != 7 ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 1);
    Play("INT %r = 0 if ( 1 != 1 ) { %r = 1 } end");
    EXPECT_EQ(IntVar("%r"), 0) << "false at the start";
}

TEST_F(Language, FalseConditionSkipsNestedBlocks) {
    Play("INT %r = 0 if ( 1 == 2 ) { if ( 1 == 1 ) { %r = 5 } %r = 6 } %r = 7 end");
    EXPECT_EQ(IntVar("%r"), 7);
    EXPECT_EQ(U8(script.Message()), "end");
}

TEST_F(Language, IfBlockRunsInOneStepAndDialogueDoesNotWait) {
    Play("INT %r = 0 if ( 1 == 1 ) { 一行目 二行目 %r = 3 } 外");
    EXPECT_EQ(IntVar("%r"), 3);
    EXPECT_EQ(U8(script.Message()), "外");
}

TEST_F(Language, UndeclaredVariablesEndTheScript) {
    for (const char* src :
         {"if ( %x == 1 ) { a } b", "%x = 3 b", "$x = 3 b", "switch ( %x ) { case 1 : a break } b",
          "TexLoad nope b", "TexUnload nope b"}) {
        Play("前");
        EXPECT_EQ(script.Step(), E_FAIL) << src;
        Play(src);
        EXPECT_FALSE(script.Running()) << src;
        EXPECT_EQ(script.StepOnKey(), E_FAIL) << src;
    }
}

TEST_F(Language, SwitchJumpsToTheMatchingCaseAndBreakLeaves) {
    Play("INT %v = 2 switch ( %v ) { case 1 : 一 break case 2 : case 3 : 二 break } 後");
    EXPECT_EQ(U8(script.Message()), "二");
    EXPECT_EQ(script.Step(), S_OK);
    EXPECT_EQ(U8(script.Message()), "後");
}

TEST_F(Language, SwitchWithoutMatchGoesOnAfterTheBlock) {
    Play("INT %v = 9 switch ( %v ) { case 1 : 一 break case 2 : { 二 } break } 後");
    EXPECT_EQ(U8(script.Message()), "後");
}

TEST_F(Language, SwitchFallsThroughAndShowsTheNextLabelAsText) {
    Play("INT %v = 1 switch ( %v ) { case 1 : 一 case 2 : 二 break } 後");
    EXPECT_EQ(U8(script.Message()), "一");
    script.Step();
    EXPECT_EQ(U8(script.Message()), "case");
    script.Step();
    EXPECT_EQ(U8(script.Message()), "2");
}

TEST_F(Language, CaseInsideNestedBracesDoesNotMatch) {
    Play("INT %v = 1 switch ( %v ) { { case 1 : 内 } case 1 : 外 break } 後");
    EXPECT_EQ(U8(script.Message()), "外");
}

TEST_F(Language, VariablesDeclareSetAndCopy) {
    Play("INT %a INT %b = 4 %b = -7 string $s string $t = 値 $s = $t $t = 別 Texture 顔 face.bmp "
         "end");
    EXPECT_EQ(IntVar("%a"), 0);
    EXPECT_EQ(IntVar("%b"), -7);
    EXPECT_EQ(U8(script.StringVariables().at("$s")), "値");
    EXPECT_EQ(U8(script.StringVariables().at("$t")), "別");
    EXPECT_EQ(script.TextureVars().at(Sj("顔")), "face.bmp");
}

TEST_F(Language, StringDeclarationWithoutValueEmptiesTheVariable) {
    Play("string $s = 値 string $t = 残る string $s string $u end");
    EXPECT_EQ(script.StringVariables().at("$s"), "");
    EXPECT_EQ(U8(script.StringVariables().at("$t")), "残る");
    EXPECT_EQ(script.StringVariables().at("$u"), "");
}

TEST_F(Language, HugeNumbersDoNotMisbehave) {
    Play("INT %a = 99999999999999999999 newlinecharnum 99999999999999 INT %b = -2147483648 "
         "あいうえお");
    EXPECT_EQ(IntVar("%b"), INT32_MIN);
    EXPECT_TRUE(script.Running());
    EXPECT_EQ(script.Step(), E_FAIL);
}

TEST_F(Language, StarSpeakerShowsQuestionMarksButKeepsThePortrait) {
    Play("Texture 博士 hakase.bmp ＊博士： こんにちは");
    EXPECT_EQ(U8(script.Message()), "？？？：こんにちは");
    EXPECT_EQ(script.Box().Part(MsgPart::CharaPic).texture, "hakase.bmp");
    Play("＊誰か： やあ");
    EXPECT_EQ(U8(script.Message()), "？？？：やあ");
    EXPECT_EQ(script.SpeakerName(), "Nothing");
}

TEST_F(Language, NarrationHasNoLabelAndTakesTheNothingPortrait) {
    Play("Texture Nothing none.bmp Texture 兵士 hei.bmp 兵士： 前 ナレーション： 語り");
    EXPECT_EQ(U8(script.Message()), "兵士：前");
    EXPECT_EQ(script.Box().Part(MsgPart::CharaPic).texture, "hei.bmp");
    script.Step();
    EXPECT_EQ(U8(script.Message()), "語り");
    EXPECT_EQ(script.Box().Part(MsgPart::CharaPic).texture, "none.bmp");
}

TEST_F(Language, LabelIsCutAtTheMiddleDotAndKeptWithoutSpeaker) {
    Play("Texture アル・ベルト al.bmp アル・ベルト： 一 二 町人： 三");
    EXPECT_EQ(U8(script.Message()), "アル：一");
    script.Step();
    EXPECT_EQ(U8(script.Message()), "アル：二") << "the previous label stays";
    script.Step();
    EXPECT_EQ(U8(script.Message()), "町人：三");
}

TEST_F(Language, ColonBytesAcrossCharactersAreNotASpeaker) {
    // "ャ" is 0x83 0x81; followed by "F" (0x46) the bytes 0x81 0x46 of "："
    // appear across two characters. That is no speaker token.
    Play("ャF 次");
    EXPECT_EQ(U8(script.Message()), "ャF");
    EXPECT_EQ(script.Label(), "");
}

TEST_F(Language, AutomaticBreaksCountBytesOfTheGrowingMessage) {
    script.RunTokens(Toks("newlinecharnum 10 abcdefghijklmnopqrstuvwxy"), true);
    EXPECT_EQ(script.Message(), "abcdefghij\n\nklmnopqr\n\nstuvwxy\n\n");
    script.RunTokens(Toks("newlinecharnum 10 abcdefghij"), true);
    EXPECT_EQ(script.Message(), "abcdefghij\n\n");
    script.RunTokens(Toks("autonewline off abc"), true);
    EXPECT_EQ(script.Message(), "abc");
}

TEST_F(Language, TinyLineLengthsDoNotHang) {
    for (const char* n : {"0", "1", "2", "-5"}) {
        script.RunTokens(Toks(std::string("newlinecharnum ") + n + " abcdef"), true);
        EXPECT_EQ(script.Message(), "abcdef\n\n") << n;
    }
    script.RunTokens(Toks("newlinecharnum 3 abcdef"), true);
    EXPECT_EQ(script.Message(), "abc\n\nd\n\ne\n\nf\n\n");
}

TEST_F(Language, SceneRequestsAndGameEndDoNotConsumeTheirToken) {
    Play("一 Battle");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(script.Step(), kScriptBattle);
    }
    Play("一 Map");
    EXPECT_EQ(script.Step(), kScriptMap);
    Play("一 TITLE");
    EXPECT_EQ(script.Step(), kScriptTitle);
    EXPECT_EQ(script.Step(), kScriptTitle);
    Play("一 GameEnd");
    EXPECT_EQ(script.Step(), kScriptGameEnd);
    EXPECT_FALSE(script.Running());
    EXPECT_EQ(script.Step(), kScriptGameEnd);
}

TEST_F(Language, PictureStatementsFillTheSlots) {
    Play("Texture 背景 bg.bmp Texture 甲 a.bmp BG 背景 Left 甲 right 甲 Center 甲 WideCenter 甲 "
         "2dpoly1 10 20 30 40 甲 left 不明 待つ");
    const CMessageBox& b = script.Box();
    EXPECT_EQ(b.Part(MsgPart::BG).texture, "bg.bmp");
    EXPECT_EQ(b.Part(MsgPart::Left).texture, "a.bmp") << "unknown variable leaves the slot";
    EXPECT_EQ(b.Part(MsgPart::Right).texture, "a.bmp");
    EXPECT_EQ(b.Part(MsgPart::WideCenter).texture, "a.bmp");
    const MsgDrawable& f = b.Part(MsgPart::FreePoly);
    EXPECT_EQ(f.texture, "a.bmp");
    EXPECT_EQ(f.x, 10);
    EXPECT_EQ(f.y, 20);
    EXPECT_EQ(f.w, 30);
    EXPECT_EQ(f.h, 40);
    Play("Texture 甲 a.bmp Left 甲 Right 甲 Clear left 一 Clear All 二");
    EXPECT_EQ(script.Box().Part(MsgPart::Left).texture, "");
    EXPECT_EQ(script.Box().Part(MsgPart::Right).texture, "a.bmp");
    script.Step();
    EXPECT_EQ(script.Box().Part(MsgPart::Right).texture, "");
    EXPECT_EQ(script.Box().Part(MsgPart::FreePoly).texture, "");
}

TEST_F(Language, TextureStatementsDriveTheCache) {
    textures.log.clear();
    Play("Texture 甲 a.bmp Texture 甲 b.bmp TexLoad 甲 TexUnload 甲 待つ");
    EXPECT_EQ(textures.log,
              (std::vector<std::string>{"drop a.bmp", "drop b.bmp", "load b.bmp", "drop b.bmp"}));
}

TEST_F(Language, MusicAndSoundStatements) {
    audio.log.clear();
    Play("MIDILoad x y MIDIPlay Title volume -1200 SELoad 爆発 bomb.wav SEPlay 爆発 MIDIStop 待つ");
    EXPECT_EQ(audio.log, (std::vector<std::string>{"play Title.mid", "load 爆発 bomb.wav",
                                                   "cue 爆発", "stop"}));
    EXPECT_EQ(audio.volumes, std::vector<std::int32_t>{-1200});
}

TEST_F(Language, LastStatementFinishesTheScriptInItsStep) {
    Play("一 MIDIStop");
    EXPECT_TRUE(script.Running());
    EXPECT_EQ(script.Step(), E_FAIL);
    EXPECT_FALSE(script.Running());
    EXPECT_EQ(audio.log.back(), "stop");
    Play("一");
    EXPECT_TRUE(script.Running()) << "a last dialogue line finishes at the next step";
    EXPECT_EQ(script.Step(), E_FAIL);
}

TEST_F(Language, PositionsAndSwitches) {
    Play("setposition serifuframe 100 200 setposition charapic 5 6 off serifuframe off charapic "
         "待つ");
    const MsgDrawable& f = script.Box().Part(MsgPart::SerifuFrame);
    EXPECT_EQ(f.x, 100);
    EXPECT_EQ(f.y, 200);
    EXPECT_EQ(f.z, 1.0f);
    EXPECT_FALSE(script.Switches().serifuframe);
    EXPECT_FALSE(script.Switches().charapic);
    EXPECT_TRUE(script.Switches().serifu);
    Play("setposition serifuframe default on serifuframe 待つ");
    EXPECT_EQ(script.Box().Part(MsgPart::SerifuFrame).x, 230);
    EXPECT_EQ(script.Box().Part(MsgPart::SerifuFrame).y, 400);
    EXPECT_TRUE(script.Switches().serifuframe);
}

TEST_F(Language, KeyConfigClearsTheDecideTrigger) {
    Play("キーコンフィグ 待つ");
    EXPECT_EQ(host.cleared, std::vector<int>{7});
}

TEST_F(Language, NextScriptFileRecordsTheName) {
    Play("NextScriptFile Stage\\2.Dat 待つ");
    EXPECT_EQ(script.RecordedScriptName(), "Stage\\2.Dat");
}

TEST_F(Language, MalformedScriptsEndOrWait) {
    const char* cases[] = {
        "Texture",
        "2dpoly1 1 2",
        "if ( %a",
        "INT %a = 1 if ( %a == 1 ) { 一 二",
        "INT %a = 1 if ( %a == 1 ) 一",
        "switch ( %a",
        "INT %a = 1 switch ( %a ) { case 1 :",
        "} } } 一 {",
        "break",
        "ButtonMenu { メニューアイテム { a 1",
        "FontMenu Left { menuitem { a 1 b } }",
        "ButtonMenu Top { メニューアイテム { a 1 b } }",
        "setposition serifu",
        "string $x =",
        "＊：",
        "名前：",
        "FadeOut",
        "Load",
        "goto",
    };
    for (const char* src : cases) {
        Play(src);
        for (int i = 0; i < 50 && script.Running(); ++i) {
            Settle(200);
            const HRESULT hr = script.StepOnKey();
            if (hr == E_FAIL) {
                break;
            }
        }
        EXPECT_LE(script.Cursor(), Toks(src).size()) << src;
    }
}

} // namespace
} // namespace quolis::test
