// Pixel checks of the 2-D engine on the real OpenGL device, headless (SDL
// offscreen through EGL). Skipped where no such context can be made.
#include "common/Text.h"
#include "engine/Polygon.h"
#include "engine/TextObject.h"
#include "platform/sdl/SdlFonts.h"

#include <gtest/gtest.h>

#include "../support/HeadlessGl.h"
#include "platform/sdl/PlatformHost.h"
#include "platform/sdl/PngFile.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>

namespace quolis {
namespace {

class MapFiles final : public TextureFiles {
public:
    std::map<std::string, ByteBuffer> files;
    HRESULT Read(std::string_view, std::string_view name, ByteBuffer& out) override {
        auto it = files.find(std::string(name));
        if (it == files.end()) {
            return E_FAIL;
        }
        out = it->second;
        return S_OK;
    }
};

void Put16(ByteBuffer& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 255;
    b[at + 1] = (v >> 8) & 255;
}
void Put32(ByteBuffer& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// 2 × 1 pictures: black on the left, white on the right.
ByteBuffer BlackWhiteBmp() {
    ByteBuffer b(54 + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, 2);
    Put32(b, 22, 1);
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    b[57] = b[58] = b[59] = 255;
    return b;
}
ByteBuffer BlackWhiteTga() {
    ByteBuffer b(18, 0);
    b[2] = 2;
    Put16(b, 12, 2);
    Put16(b, 14, 1);
    b[16] = 32;
    b[17] = 0x28;
    for (std::uint8_t v : {0, 0, 0, 255, 255, 255, 255, 255}) {
        b.push_back(v);
    }
    return b;
}

class GlPixelTest : public testgl::HeadlessGlTest<> {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        if (!HasGl()) {
            return;
        }
        files.files["bw.bmp"] = BlackWhiteBmp();
        files.files["bw.tga"] = BlackWhiteTga();
        Gl().ApplyDefaultStates();
        ASSERT_EQ(CPolygon::InitTextures("", &Gl(), &files), S_OK);
        Gl().BeginFrame();
    }
    void TearDown() override {
        if (HasGl()) {
            CPolygon::ReleaseTextures();
        }
    }
    // The frame ends at the first read; colours without their alpha.
    Argb Pixel(int x, int y) {
        if (pixels_.empty()) {
            Gl().EndFrame();
        }
        return HeadlessGlTest::Pixel(x, y) & 0xFFFFFFu;
    }
    // A plain untextured background quad.
    void Fill(float x, float y, float w, float h, Argb colour, float z, int depthTest) {
        CPolygon p;
        p.Setup(x, y, z, w, h, 0, 255, depthTest);
        p.SetColour(255, (colour >> 16) & 255, (colour >> 8) & 255, colour & 255);
        p.Draw();
    }

    MapFiles files;
};

TEST_F(GlPixelTest, BlackIsTransparentInABitmapButOpaqueInTga) {
    Fill(0, 0, 800, 600, 0xFF0000, 0.9f, 0);
    CPolygon bmp;
    bmp.Setup(100, 100, 0.5f, 200, 100, 0, 255, 0);
    ASSERT_EQ(bmp.SetTextureName("bw.bmp"), S_OK);
    bmp.Draw();
    CPolygon tga;
    tga.Setup(100, 300, 0.5f, 200, 100, 0, 255, 0);
    ASSERT_EQ(tga.SetTextureName("bw.tga"), S_OK);
    tga.Draw();
    EXPECT_EQ(Pixel(150, 150), 0xFF0000u); // the background shows through
    EXPECT_EQ(Pixel(250, 150), 0xFFFFFFu);
    EXPECT_EQ(Pixel(150, 350), 0x000000u); // black stays black
    EXPECT_EQ(Pixel(250, 350), 0xFFFFFFu);
}

TEST_F(GlPixelTest, NothingDrawsTheQuadInItsColour) {
    CPolygon p;
    p.Setup(10, 10, 0.5f, 50, 50, 0, 255, 0);
    p.SetTextureName("bw.bmp");
    p.SetTextureName("Nothing");
    p.SetColour(255, 0, 0, 255);
    p.Draw();
    EXPECT_EQ(Pixel(20, 20), 0x0000FFu);
    EXPECT_EQ(Pixel(55, 55), 0x0000FFu);
    EXPECT_EQ(Pixel(70, 70), 0x000000u);
}

TEST_F(GlPixelTest, DepthTestHidesAPolygonBehindNearerGeometry) {
    Fill(0, 0, 400, 600, 0x00FF00, 0.2f, 1);     // near geometry on the left half
    Fill(100, 100, 600, 100, 0xFF0000, 0.5f, 1); // farther, depth test on
    Fill(100, 300, 600, 100, 0x0000FF, 0.5f, 0); // farther, depth test off
    EXPECT_EQ(Pixel(200, 150), 0x00FF00u);
    EXPECT_EQ(Pixel(600, 150), 0xFF0000u);
    EXPECT_EQ(Pixel(200, 350), 0x0000FFu);
}

TEST_F(GlPixelTest, TextGlyphsAppearAtThePositionInTheTextColour) {
    SdlFonts fonts;
    CTextObject::SetTextDevice(&Gl());
    CTextObject::SetFontRasterizer(&fonts);
    {
        CTextObject t;
        t.SetFont(SJ("ＭＳ ゴシック"), 14, 1);
        t.SetText(SJ("■■■"));
        t.SetColour(255, 255, 255, 0);
        t.position = {200, 100, 0};
        t.Draw();
        int yellow = 0;
        int elsewhere = 0;
        for (int y = 90; y < 140; ++y) {
            for (int x = 190; x < 280; ++x) {
                Argb p = Pixel(x, y);
                bool inside = x >= 200 && x < 200 + 3 * 19 && y >= 100 && y < 100 + 26;
                if (p == 0xFFFF00u) {
                    (inside ? yellow : elsewhere)++;
                }
            }
        }
        EXPECT_GT(yellow, 3 * 12 * 12); // three filled squares
        EXPECT_EQ(elsewhere, 0);
        CTextObject::ReleaseTextCache();
    }
    CTextObject::SetFontRasterizer(nullptr);
    CTextObject::SetTextDevice(nullptr);
}

// Both Japanese faces on the real device: each string's ink lies where its
// text object stands, in its colour; the frame is kept as a PNG beside the
// build for a human look.
TEST_F(GlPixelTest, JapaneseScreenshotInBothFaces) {
    SdlFonts fonts;
    CTextObject::SetTextDevice(&Gl());
    CTextObject::SetFontRasterizer(&fonts);
    {
        CTextObject prop;
        CTextObject fixed;
        prop.SetFont(SJ("ＭＳ Ｐゴシック"), 20, 1);
        fixed.SetFont(SJ("ＭＳ ゴシック"), 20, 1);
        prop.SetText(SJ("クオーリス　メタルアームズ\n次のステージへ"));
        fixed.SetText(SJ("ＨＰ　１２３／４５６"));
        prop.SetColour(255, 255, 255, 255);
        fixed.SetColour(255, 0, 255, 255);
        prop.position = {50, 40, 0};
        fixed.position = {50, 300, 0};
        prop.Draw();
        fixed.Draw();
        auto box = [&](int x0, int y0, int x1, int y1, Argb colour, int* outside) {
            int maxX = -1, maxY = -1, n = 0;
            *outside = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    Argb p = Pixel(x, y);
                    if (p == colour) {
                        ++n;
                        maxX = std::max(maxX, x);
                        maxY = std::max(maxY, y);
                    } else if (p != 0) {
                        ++*outside;
                    }
                }
            }
            return std::array<int, 3>{n, maxX, maxY};
        };
        int mixed = 0;
        auto white = box(40, 30, 700, 150, 0xFFFFFFu, &mixed);
        EXPECT_GT(white[0], 500);
        EXPECT_GT(white[2], 40 + 27 + 10); // the second line is drawn below the first
        auto cyan = box(40, 290, 700, 350, 0x00FFFFu, &mixed);
        EXPECT_GT(cyan[0], 300);
        // Ten full-width glyphs of the fixed face, 27 pixels each.
        EXPECT_GE(cyan[1], 50 + 9 * 27);
        EXPECT_LE(cyan[1], 50 + 10 * 27 + 4);
        std::string error;
        EXPECT_TRUE(WritePng(std::string(QUOLIS_BINARY_DIR) + "/engine_text_screenshot.png", 800,
                             600, pixels_, &error))
            << error;
        CTextObject::ReleaseTextCache();
    }
    CTextObject::SetFontRasterizer(nullptr);
    CTextObject::SetTextDevice(nullptr);
}

} // namespace
} // namespace quolis
