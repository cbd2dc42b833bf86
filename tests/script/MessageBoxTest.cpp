// Layout, draw order, menus and navigation of the message box.
#include "ScriptTestUtil.h"

#include <gtest/gtest.h>

namespace quolis::test {
namespace {

class Box : public ::testing::Test, public ScriptFixture {
public:
    std::vector<std::string> Draw(HRESULT* hr = nullptr) {
        RecordingCanvas c;
        const HRESULT r = script.Draw(c);
        if (hr != nullptr) {
            *hr = r;
        }
        return c.calls;
    }
};

TEST_F(Box, LayoutOfTheThirteenDrawables) {
    const CMessageBox& b = script.Box();
    struct Row {
        MsgPart p;
        float x, y, w, h;
        const char* tex;
    } rows[] = {
        {MsgPart::CharaPicFrame, 50, 400, 136, 136, "MsgBox\\CharaPicFrame.bmp"},
        {MsgPart::CharaPic, 52, 404, 128, 128, ""},
        {MsgPart::SerifuFrame, 230, 400, 512, 136, "MsgBox\\MsgBox.bmp"},
        {MsgPart::SerifuText, 260, 435, 0, 0, ""},
        {MsgPart::Cursor, 722, 506, 24, 32, "MsgBox\\Cursor.bmp"},
        {MsgPart::BG, 10, 10, 620, 290, ""},
        {MsgPart::Right, 580, 20, 200, 400, ""},
        {MsgPart::Center, 300, 20, 200, 400, ""},
        {MsgPart::Left, 20, 20, 200, 400, ""},
        {MsgPart::WideCenter, 200, 20, 400, 400, ""},
    };
    for (const Row& r : rows) {
        const MsgDrawable& d = b.Part(r.p);
        EXPECT_EQ(d.x, r.x) << static_cast<int>(r.p);
        EXPECT_EQ(d.y, r.y) << static_cast<int>(r.p);
        EXPECT_EQ(d.w, r.w) << static_cast<int>(r.p);
        EXPECT_EQ(d.h, r.h) << static_cast<int>(r.p);
        EXPECT_EQ(d.texture, r.tex) << static_cast<int>(r.p);
    }
    EXPECT_TRUE(b.Part(MsgPart::SerifuText).text);
    EXPECT_TRUE(b.Part(MsgPart::MenuText).text);
    EXPECT_EQ(U8(b.Part(MsgPart::SerifuText).font), "ＭＳ Ｐゴシック");
    EXPECT_EQ(U8(b.Part(MsgPart::MenuText).font), "ＭＳ ゴシック");
}

TEST_F(Box, HiddenScriptDrawsNothing) {
    Play("一");
    EXPECT_TRUE(Draw().empty());
}

TEST_F(Box, DrawOrderOfPicturesMessageAndCursor) {
    Play("Texture 背 bg.bmp Texture 甲 a.bmp BG 背 Left 甲 Right 甲 2dpoly1 0 0 5 5 甲 一 二");
    script.Show(true);
    Settle();
    EXPECT_EQ(Draw(), (std::vector<std::string>{"pic 6 bg.bmp", "pic 7 a.bmp", "pic 9 a.bmp",
                                                "pic 12 a.bmp", "pic 0 MsgBox\\CharaPicFrame.bmp",
                                                "pic 2 MsgBox\\MsgBox.bmp", "text 3 一 260,435 255",
                                                "pic 5 MsgBox\\Cursor.bmp"}));
}

TEST_F(Box, CursorWaitsForTypingAndFollowsTheFrameSwitch) {
    Play("一二三 off serifuframe 四");
    script.Show(true);
    script.Update();
    auto calls = Draw();
    EXPECT_EQ(calls.back(), "text 3 一 260,435 255") << "no cursor while typing";
    Settle();
    EXPECT_EQ(Draw().back(), "pic 5 MsgBox\\Cursor.bmp");
    script.Step();
    Settle();
    calls = Draw();
    EXPECT_EQ(calls, (std::vector<std::string>{"pic 0 MsgBox\\CharaPicFrame.bmp",
                                               "text 3 一二三 260,435 255"}))
        << "the frame and the cursor are hidden; the typed text stays";
}

TEST_F(Box, ButtonMenuInsideTheFrame) {
    Play("ButtonMenu { フォーマット 2 2 メニューアイテム { 甲 3 a 乙 1 b 丙 2 c 丁 4 d } } 後");
    const MsgMenu& m = script.Box().ButtonMenu();
    ASSERT_TRUE(m.shown);
    ASSERT_EQ(m.items.size(), 4u);
    const float want[4][2] = {{230, 400}, {486, 400}, {230, 468}, {486, 468}};
    const char* order[4] = {"乙", "丙", "甲", "丁"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(U8(m.items[k].name), order[k]);
        EXPECT_EQ(m.items[k].x, want[k][0]) << k;
        EXPECT_EQ(m.items[k].y, want[k][1]) << k;
        EXPECT_EQ(m.items[k].w, 256);
        EXPECT_EQ(m.items[k].h, 68);
        EXPECT_EQ(m.items[k].level, k == 0 ? 255 : 180);
    }
    EXPECT_EQ(script.Step(), S_OK) << "a shown menu holds the script";
    EXPECT_NE(U8(script.Message()), "後");
}

TEST_F(Box, ButtonMenuOnTheLeftUsesIntegerCells) {
    Play("ButtonMenu Left { フォーマット 4 3 メニューアイテム { 甲 0 a 乙 1 b 丙 2 c 丁 3 d 戊 4 e "
         "} "
         "}");
    const MsgMenu& m = script.Box().ButtonMenu();
    ASSERT_EQ(m.items.size(), 5u);
    EXPECT_EQ(m.items[1].x, 37);
    EXPECT_EQ(m.items[1].w, 37);
    EXPECT_EQ(m.items[1].h, 133);
    EXPECT_EQ(m.items[4].x, 0);
    EXPECT_EQ(m.items[4].y, 133);
}

TEST_F(Box, ZeroColumnsDoNotDivideByZero) {
    Play("ButtonMenu Left { フォーマット 0 0 メニューアイテム { 甲 0 a 乙 1 b } }");
    const MsgMenu& m = script.Box().ButtonMenu();
    ASSERT_EQ(m.items.size(), 2u);
    EXPECT_EQ(m.items[1].y, 400);
}

TEST_F(Box, ButtonsDrawTheirPicturesAndStopAtAMissingOne) {
    Play("Texture 背 bg.bmp BG 背 Texture 甲ボタン ka.bmp ButtonMenu { フォーマット 1 2 "
         "メニューアイテム { 甲 0 a 乙 1 b } }");
    script.Show(true);
    HRESULT hr = S_OK;
    auto calls = Draw(&hr);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(calls, (std::vector<std::string>{"pic 6 bg.bmp", "pic 11 ka.bmp"}));
    Play("Texture 甲ボタン ka.bmp Texture 乙ボタン ot.bmp ButtonMenu { フォーマット 1 2 "
         "メニューアイテム { 甲 0 a 乙 1 b } }");
    calls = Draw(&hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(calls, (std::vector<std::string>{"pic 6 bg.bmp", "pic 11 ka.bmp", "pic 11 ot.bmp"}))
        << "BG stays from the last script; no message frame or cursor under a menu";
}

TEST_F(Box, TextMenuLayoutAndDraw) {
    Play("FontMenu { format 2 1 menuitem { 右 1 みぎ 左 0 ひだり } }");
    script.Show(true);
    EXPECT_EQ(Draw(),
              (std::vector<std::string>{"text 4 ひだり 250,410 255", "text 4 みぎ 506,410 180"}));
}

TEST_F(Box, NavigationWrapsAndChoosingStoresTheName) {
    Play("ButtonMenu { フォーマット 2 2 メニューアイテム { a 0 a b 1 b c 2 c d 3 d } } 後");
    MsgMenu& m = script.Box().ButtonMenu();
    EXPECT_EQ(script.MenuKey(ScriptMenuKey::Right), kScriptBusy);
    EXPECT_EQ(m.current, 1);
    script.MenuKey(ScriptMenuKey::Down);
    EXPECT_EQ(m.current, 3);
    script.MenuKey(ScriptMenuKey::Down);
    EXPECT_EQ(m.current, 1) << "wraps to the top row";
    script.MenuKey(ScriptMenuKey::Left);
    script.MenuKey(ScriptMenuKey::Left);
    EXPECT_EQ(m.current, 3) << "wraps backwards";
    EXPECT_EQ(m.items[3].level, 255);
    EXPECT_EQ(m.items[1].level, 180);
    EXPECT_EQ(script.MenuKey(ScriptMenuKey::Cancel), kScriptBusy);
    EXPECT_TRUE(script.MenuShown());
    EXPECT_EQ(script.MenuKey(ScriptMenuKey::Decide), S_OK);
    EXPECT_FALSE(script.MenuShown());
    EXPECT_EQ(script.StringVariables().at(CScript::kMenuResult), "d");
    EXPECT_EQ(U8(script.Message()), "後");
}

TEST_F(Box, SingleColumnIgnoresLeftAndRight) {
    Play("FontMenu { format 1 2 menuitem { a 0 a b 1 b } }");
    audio.log.clear();
    script.MenuKey(ScriptMenuKey::Right);
    EXPECT_EQ(script.Box().TextMenu().current, 0);
    EXPECT_TRUE(audio.log.empty());
}

TEST_F(Box, MenuInsideAnIfBlockEndsTheStepAndTheBlockGoesOnAfterTheChoice) {
    Play("INT %r = 0 if ( 1 == 1 ) { FontMenu { menuitem { a 0 a } } %r = 1 } 後");
    EXPECT_TRUE(script.MenuShown());
    EXPECT_EQ(IntVar("%r"), 0);
    EXPECT_EQ(script.MenuKey(ScriptMenuKey::Decide), S_OK);
    EXPECT_EQ(IntVar("%r"), 1);
    EXPECT_EQ(U8(script.Message()), "後") << "the block's closing brace is passed over";
}

TEST_F(Box, ChoiceOverwritesADeclaredMenuResultAndRunsOn) {
    Play("string $MenuResult INT %r = 0 FontMenu { menuitem { はい 0 はい いいえ 1 いいえ } } "
         "switch ( %r ) { case 0 : 一 break }");
    script.MenuKey(ScriptMenuKey::Decide);
    EXPECT_EQ(U8(script.StringVariables().at(CScript::kMenuResult)), "はい");
    EXPECT_EQ(U8(script.Message()), "一");
}

} // namespace
} // namespace quolis::test
