#include "engine/TextObject.h"
#include "EngineTestUtil.h"
#include "common/Text.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quolis {
namespace {

// Draws every UTF-8 character as a solid box half the pixel height wide.
class BoxFonts final : public FontRasterizer {
public:
    struct Opened {
        std::string face;
        int pixelHeight;
        bool bold;
    };
    std::vector<Opened> opened;
    std::vector<std::string> rendered;
    int open = 0;

    FontHandle OpenFont(std::string_view face, int px, bool bold, bool) override {
        opened.push_back({std::string(face), px, bold});
        ++open;
        return static_cast<FontHandle>(opened.size());
    }
    void CloseFont(FontHandle) override { --open; }
    int LineSkip(FontHandle h) override { return opened[h - 1].pixelHeight + 2; }
    bool RenderText(FontHandle h, std::string_view utf8, TextBitmap& out) override {
        rendered.emplace_back(utf8);
        const int px = opened[h - 1].pixelHeight;
        int lines = 1, cols = 0, widest = 0;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c == '\n') {
                ++lines;
                cols = 0;
            } else if ((c & 0xC0) != 0x80) {
                widest = std::max(widest, ++cols);
            }
        }
        out.width = widest * px / 2;
        out.height = (lines - 1) * LineSkip(h) + px;
        out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 0xFFFFFFFFu);
        return out.width > 0;
    }
};

class TextObjectTest : public testutil::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        CTextObject::SetTextDevice(&device);
        CTextObject::SetFontRasterizer(&fonts);
    }
    void TearDown() override {
        CTextObject::ReleaseTextCache();
        CTextObject::SetFontRasterizer(nullptr);
        CTextObject::SetTextDevice(nullptr);
        EngineFixture::TearDown();
    }
    BoxFonts fonts;
};

TEST_F(TextObjectTest, FontFaceSizeAndBoldReachTheRasteriser) {
    CTextObject t;
    t.SetFont(SJ("ＭＳ Ｐゴシック"), 14, 1);
    ASSERT_EQ(fonts.opened.size(), 1u);
    EXPECT_EQ(fonts.opened[0].face, "ＭＳ Ｐゴシック"); // UTF-8 at the border
    EXPECT_EQ(fonts.opened[0].pixelHeight, 19);
    EXPECT_TRUE(fonts.opened[0].bold);
    EXPECT_EQ(std::string(t.FaceName()), SJ("ＭＳ Ｐゴシック"));
    CTextObject a;
    a.SetFont("Arial", 8, 0);
    EXPECT_EQ(fonts.opened.back().pixelHeight, 11); // 10.67 rounds up
    EXPECT_FALSE(fonts.opened.back().bold);
    EXPECT_EQ(FontPixelHeight(36), 48);
    EXPECT_EQ(FontPixelHeight(10), 13);
}

TEST_F(TextObjectTest, NewObjectIsInvisibleUntilItsAlphaIsRaised) {
    CTextObject t;
    t.SetFont(SJ("ＭＳ ゴシック"), 12, 1);
    t.SetText("abc");
    EXPECT_EQ(t.GetAlpha(), 0);
    t.Draw();
    EXPECT_TRUE(device.Draws().empty());
    t.SetAlpha(1);
    t.Draw();
    EXPECT_EQ(device.Draws().size(), 1u);
}

TEST_F(TextObjectTest, EmptyOrDisabledTextDrawsNothing) {
    CTextObject t;
    t.SetFont("Arial", 14, 0);
    t.SetAlpha(255);
    t.Draw();
    t.SetText("x");
    t.SetEnabled(0);
    t.Draw();
    EXPECT_TRUE(device.Draws().empty());
    EXPECT_TRUE(fonts.rendered.empty());
    CTextObject noFont;
    noFont.SetAlpha(255);
    noFont.SetText("x");
    noFont.Draw();
    EXPECT_TRUE(device.Draws().empty());
}

TEST_F(TextObjectTest, DrawsAtTheTruncatedPositionInTheComponentColour) {
    CTextObject t;
    t.SetFont("Arial", 14, 0); // 19 px: two boxes 19 wide
    t.SetText("ab\ncd");
    t.SetColour(200, 10, 20, 30);
    t.position = {790.7f, 10.2f, 0.5f};
    t.Draw();
    ASSERT_EQ(device.Draws().size(), 1u);
    const DrawRecord& d = device.Draws()[0];
    EXPECT_EQ(d.screen[0].x, 790.f);
    EXPECT_EQ(d.screen[0].y, 10.f);
    EXPECT_EQ(d.screen[2].x, 809.f); // past the right edge: no clipping
    EXPECT_EQ(d.screen[2].y, 10.f + 21 + 19);
    EXPECT_EQ(d.screen[0].color, 0xC80A141Eu);
    EXPECT_NE(d.texture, 0u);
    EXPECT_FALSE(d.states.depthTest);
    EXPECT_TRUE(device.States().depthTest);
    TextRect r{100, 200, 900, 800};
    t.Draw(&r);
    EXPECT_EQ(device.Draws().back().screen[0].x, 100.f);
    EXPECT_EQ(device.Draws().back().screen[0].y, 200.f);
}

TEST_F(TextObjectTest, CP932IsConvertedOnlyForRasterising) {
    CTextObject t;
    t.SetFont(SJ("ＭＳ Ｐゴシック"), 14, 1);
    t.SetText(SJ("クオーリス"));
    t.SetAlpha(255);
    t.Draw();
    ASSERT_EQ(fonts.rendered.size(), 1u);
    EXPECT_EQ(fonts.rendered[0], "クオーリス");
    EXPECT_EQ(t.GetText(), SJ("クオーリス"));
}

TEST_F(TextObjectTest, UnchangedTextIsNotRasterisedAgain) {
    CTextObject t;
    t.SetFont("Arial", 14, 0);
    t.SetAlpha(255);
    t.SetText("HP 100");
    for (int frame = 0; frame < 5; ++frame) {
        t.Draw();
    }
    EXPECT_EQ(fonts.rendered.size(), 1u);
    t.SetText("HP 99");
    t.Draw();
    t.Draw();
    EXPECT_EQ(fonts.rendered.size(), 2u);
    // One object drawing alternating texts (a slot list) finds both cached.
    for (int frame = 0; frame < 3; ++frame) {
        t.SetText("HP 100");
        t.Draw();
        t.SetText("HP 99");
        t.Draw();
    }
    EXPECT_EQ(fonts.rendered.size(), 2u);
    EXPECT_EQ(CTextObject::CachedTextCount(), 2u);
}

// The cache keeps about a megabyte of texels: texts shown once in earlier
// frames make room for new ones, the least recently drawn first, but the
// texts of the frame being drawn all stay, however many, so none of them is
// rasterised twice in one frame or again in the next.
TEST_F(TextObjectTest, OldTextsMakeRoomButAFramesOwnTextsAllStay) {
    CTextObject t;
    t.SetFont("Arial", 24, 0); // 32 pixels high, 16 wide a character
    t.SetAlpha(255);
    auto text = [](int i) {
        char n[8];
        std::snprintf(n, sizeof n, "%02d", i);
        return std::string(40, 'x') + n;
    };
    const std::size_t perText = 42 * 16 * 32;
    // One frame of sixty such texts, drawn twice: more than the budget, all
    // kept; the next frame finds them all.
    CTextObject::NextFrame();
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 60; ++i) {
            t.SetText(text(i));
            t.Draw();
        }
    }
    EXPECT_EQ(fonts.rendered.size(), 60u);
    EXPECT_EQ(CTextObject::CachedTextBytes(), 60 * perText);
    EXPECT_GT(CTextObject::CachedTextBytes(), 1u << 20);
    CTextObject::NextFrame();
    for (int i = 0; i < 60; ++i) {
        t.SetText(text(i));
        t.Draw();
    }
    EXPECT_EQ(fonts.rendered.size(), 60u);
    // Frames of one new text each: the old ones go, least recently drawn
    // first, and the cache is back within the budget.
    for (int i = 60; i < 70; ++i) {
        CTextObject::NextFrame();
        t.SetText(text(i));
        t.Draw();
        EXPECT_LE(CTextObject::CachedTextBytes(), 1u << 20);
    }
    EXPECT_EQ(fonts.rendered.size(), 70u);
    CTextObject::NextFrame();
    for (int i : {69, 60, 40}) { // recent ones are still there
        t.SetText(text(i));
        t.Draw();
    }
    EXPECT_EQ(fonts.rendered.size(), 70u);
    t.SetText(text(0)); // one of the first is rasterised anew
    t.Draw();
    EXPECT_EQ(fonts.rendered.size(), 71u);
    CTextObject::ReleaseTextCache();
    EXPECT_EQ(CTextObject::CachedTextBytes(), 0u);
}

TEST_F(TextObjectTest, SameFontIsSharedAndClosedWithItsLastUser) {
    {
        CTextObject a;
        CTextObject b;
        a.SetFont("Arial", 14, 1);
        b.SetFont("Arial", 14, 1);
        EXPECT_EQ(fonts.opened.size(), 1u);
        a.SetAlpha(255);
        a.SetText("x");
        a.Draw();
        a.ReleaseFont();
        EXPECT_EQ(fonts.open, 1);
        EXPECT_EQ(CTextObject::CachedTextCount(), 1u);
    }
    EXPECT_EQ(fonts.open, 0);
    EXPECT_EQ(CTextObject::CachedTextCount(), 0u);
    EXPECT_EQ(device.LiveTextures(), 0u);
}

TEST_F(TextObjectTest, TextGlidesLikeTheSceneObjects) {
    CTextObject t;
    t.position = {0, 0, 1};
    EXPECT_EQ(t.GlideTo(100, 0, 1, 0.5f), 1);
    EXPECT_EQ(t.GlideTo(100, 0, 1, 0.5f), 1);
    EXPECT_FLOAT_EQ(t.position.x, 50.f);
}

TEST_F(TextObjectTest, LineFeedsOnlyMakeNoQuad) {
    CTextObject t;
    t.SetFont("Arial", 14, 0);
    t.SetAlpha(255);
    t.SetText("\n\n");
    t.Draw();
    t.Draw();
    EXPECT_TRUE(device.Draws().empty());
    EXPECT_EQ(fonts.rendered.size(), 1u);
}

} // namespace
} // namespace quolis
