#include "engine/TextObject.h"
#include "EngineTestUtil.h"
#include "common/Text.h"

#include <gtest/gtest.h>

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
