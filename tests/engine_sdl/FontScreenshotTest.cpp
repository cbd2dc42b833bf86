#include "common/Text.h"
#include "engine/TextObject.h"
#include "platform/RecordingDevice.h"
#include "platform/sdl/FontFiles.h"
#include "platform/sdl/SdlFonts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quolis {
namespace {

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1; // inclusive
    bool Empty() const { return x1 < 0; }
};

// Ink (alpha above half) inside a region of an ARGB picture.
Box InkIn(const std::vector<Argb>& px, int w, int x0, int y0, int x1, int y1) {
    Box b;
    int h = static_cast<int>(px.size()) / w;
    for (int y = std::max(0, y0); y < std::min(h, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(w, x1); ++x) {
            if ((px[static_cast<std::size_t>(y) * w + x] >> 24) > 128) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x);
                b.y1 = std::max(b.y1, y);
            }
        }
    }
    return b;
}

// Every drawn pixel inside the box has the colour.
bool AllInkIs(const std::vector<Argb>& px, const Box& b, Argb colour) {
    for (int y = b.y0; y <= b.y1; ++y) {
        for (int x = b.x0; x <= b.x1; ++x) {
            Argb p = px[static_cast<std::size_t>(y) * 800 + x];
            if (p != 0 && p != colour) {
                return false;
            }
        }
    }
    return true;
}

class FontTest : public ::testing::Test {
protected:
    SdlFonts fonts;
};

TEST_F(FontTest, GameFacesMapToTheInstalledFonts) {
    EXPECT_EQ(SdlFonts::FamilyFor("ＭＳ Ｐゴシック"), "IPAPGothic");
    EXPECT_EQ(SdlFonts::FamilyFor("ＭＳ ゴシック"), "IPAGothic");
    EXPECT_EQ(SdlFonts::FamilyFor("Arial"), "Liberation Sans");
    std::string p = SdlFonts::FindFontFile("ＭＳ Ｐゴシック");
    std::string f = SdlFonts::FindFontFile("ＭＳ ゴシック");
    std::string a = SdlFonts::FindFontFile("Arial");
    EXPECT_NE(p.find("ipag"), std::string::npos) << p;
    EXPECT_FALSE(f.empty());
    EXPECT_NE(a.find("Liberation"), std::string::npos) << a;
    // An unknown face still gets a substitute, as GDI would give one.
    EXPECT_NE(fonts.OpenFont("No Such Face", 19, true, false), 0u);
    // Asked again (as every opened text asks), each face keeps its own file,
    // and fontconfig's configuration was loaded once for all of them.
    EXPECT_EQ(SdlFonts::FindFontFile("Arial"), a);
    EXPECT_EQ(SdlFonts::FindFontFile("ＭＳ Ｐゴシック"), p);
    EXPECT_EQ(SdlFonts::FindFontFile("ＭＳ ゴシック"), f);
    EXPECT_EQ(FontConfigLoads(), 1);
}

// The handles on one font file share one opened face, set to each handle's
// size and style as it is used: texts in turn at several sizes and styles
// come out exactly as from a font opened for each alone, and closing some
// handles leaves the others working.
TEST_F(FontTest, HandlesSharingAFaceRenderAsFontsOpenedAlone) {
    struct Spec {
        const char* face;
        int px;
        bool bold, italic;
    };
    const Spec specs[] = {{"ＭＳ Ｐゴシック", 19, true, false},
                          {"ＭＳ Ｐゴシック", 13, false, false},
                          {"ＭＳ Ｐゴシック", 27, false, true},
                          {"ＭＳ ゴシック", 16, false, false},
                          {"ＭＳ Ｐゴシック", 13, true, false}};
    const char* texts[] = {"クオーリス HP 123", "攻撃\n防御 45", "Ａｒｍｓ"};
    auto render = [](SdlFonts& f, FontHandle h, const char* text) {
        TextBitmap b;
        EXPECT_TRUE(f.RenderText(h, text, b));
        return std::make_pair(std::make_pair(b.width, b.height), b.pixels);
    };
    std::vector<FontHandle> shared;
    for (const Spec& s : specs) {
        shared.push_back(fonts.OpenFont(s.face, s.px, s.bold, s.italic));
        ASSERT_NE(shared.back(), 0u);
    }
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < std::size(specs); ++i) {
            SdlFonts alone;
            const FontHandle own =
                alone.OpenFont(specs[i].face, specs[i].px, specs[i].bold, specs[i].italic);
            ASSERT_NE(own, 0u);
            EXPECT_EQ(fonts.LineSkip(shared[i]), alone.LineSkip(own)) << i;
            for (const char* text : texts) {
                EXPECT_EQ(render(fonts, shared[i], text), render(alone, own, text))
                    << "font " << i << ": " << text;
            }
        }
        // Style and size are each handle's own: bold and plain at 13
        // pixels differ, as do 13 and 19.
        EXPECT_NE(render(fonts, shared[1], texts[0]), render(fonts, shared[4], texts[0]));
        EXPECT_NE(render(fonts, shared[4], texts[0]).first,
                  render(fonts, shared[0], texts[0]).first);
        // Some handles go; the face stays for the others.
        fonts.CloseFont(shared[0]);
        fonts.CloseFont(shared[3]);
        shared[0] = fonts.OpenFont(specs[0].face, specs[0].px, specs[0].bold, specs[0].italic);
        shared[3] = fonts.OpenFont(specs[3].face, specs[3].px, specs[3].bold, specs[3].italic);
    }
    TextBitmap none;
    fonts.CloseFont(shared[1]);
    EXPECT_FALSE(fonts.RenderText(shared[1], "x", none));
    EXPECT_EQ(fonts.LineSkip(shared[1]), 0);
}

TEST_F(FontTest, FixedFaceLaysFullWidthGlyphsOneEmApart) {
    FontHandle h = fonts.OpenFont("ＭＳ ゴシック", 19, true, false);
    ASSERT_NE(h, 0u);
    TextBitmap bmp;
    ASSERT_TRUE(fonts.RenderText(h, "クオーリス", bmp));
    EXPECT_GE(bmp.width, 5 * 19 - 2);
    EXPECT_LE(bmp.width, 5 * 19 + 6);
    // Every em cell holds ink of its own glyph.
    for (int i = 0; i < 5; ++i) {
        Box b = InkIn(bmp.pixels, bmp.width, i * 19 + 1, 0, (i + 1) * 19 - 1, bmp.height);
        EXPECT_FALSE(b.Empty()) << "glyph " << i;
    }
    // The glyph colour is white; the coverage is in the alpha.
    Box all = InkIn(bmp.pixels, bmp.width, 0, 0, bmp.width, bmp.height);
    ASSERT_FALSE(all.Empty());
    EXPECT_EQ(bmp.pixels[static_cast<std::size_t>(all.y0) * bmp.width + all.x0] & 0xFFFFFFu,
              0xFFFFFFu);
}

TEST_F(FontTest, ProportionalFaceIsNarrowerAndLineFeedsStackLines) {
    FontHandle p = fonts.OpenFont("ＭＳ Ｐゴシック", 19, true, false);
    FontHandle f = fonts.OpenFont("ＭＳ ゴシック", 19, true, false);
    TextBitmap pb, fb;
    ASSERT_TRUE(fonts.RenderText(p, "リリリリ", pb));
    ASSERT_TRUE(fonts.RenderText(f, "リリリリ", fb));
    EXPECT_LT(pb.width, fb.width);
    TextBitmap two;
    ASSERT_TRUE(fonts.RenderText(p, "ク\nクオ", two));
    const int skip = fonts.LineSkip(p);
    EXPECT_GE(two.height, skip + 15);
    Box first = InkIn(two.pixels, two.width, 0, 0, two.width, skip);
    Box second = InkIn(two.pixels, two.width, 0, skip, two.width, two.height);
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(second.Empty());
    EXPECT_GT(second.x1, first.x1 + 8); // the second line is two glyphs long
    EXPECT_LE(first.x0, 3);
    EXPECT_LE(second.x0, 3);
}

// A whole text object on the recording device: the drawn quad with its
// texture composed into an 800 × 600 picture puts the glyphs at the text's
// position, in its colour, in both Japanese faces.
TEST_F(FontTest, TextObjectScreenshotShowsGlyphsWhereExpected) {
    RecordingDevice device;
    CTextObject::SetTextDevice(&device);
    CTextObject::SetFontRasterizer(&fonts);
    {
        CTextObject prop;
        CTextObject fixed;
        prop.SetFont(SJ("ＭＳ Ｐゴシック"), 14, 1);
        fixed.SetFont(SJ("ＭＳ ゴシック"), 14, 1);
        prop.SetText(SJ("クオーリス　Ver1.00"));
        fixed.SetText(SJ("メタルアームズ"));
        prop.SetColour(255, 255, 0, 0);
        fixed.SetColour(255, 0, 255, 0);
        prop.position = {100, 50, 0};
        fixed.position = {300, 400, 0};
        device.BeginFrame();
        prop.Draw();
        fixed.Draw();
        device.EndFrame();
        ASSERT_EQ(device.Draws().size(), 2u);

        std::vector<Argb> screen(800 * 600, 0u); // nothing drawn: no ink
        for (const DrawRecord& d : device.Draws()) {
            const RecordedTexture* t = device.FindTexture(d.texture);
            ASSERT_NE(t, nullptr);
            int x0 = static_cast<int>(d.screen[0].x), y0 = static_cast<int>(d.screen[0].y);
            EXPECT_EQ(static_cast<int>(d.screen[2].x) - x0, t->width); // one texel per pixel
            for (int y = 0; y < t->height; ++y) {
                for (int x = 0; x < t->width; ++x) {
                    Argb tex = t->pixels[static_cast<std::size_t>(y) * t->width + x];
                    if ((tex >> 24) > 128 && x0 + x < 800 && y0 + y < 600) {
                        // texture × diffuse
                        screen[static_cast<std::size_t>(y0 + y) * 800 + x0 + x] =
                            0xFF000000u | (d.screen[0].color & 0xFFFFFFu);
                    }
                }
            }
        }
        Box red = InkIn(screen, 800, 0, 0, 800, 300);
        Box green = InkIn(screen, 800, 0, 300, 800, 600);
        ASSERT_FALSE(red.Empty());
        ASSERT_FALSE(green.Empty());
        EXPECT_GE(red.x0, 100);
        EXPECT_LE(red.x0, 104);
        EXPECT_GE(red.y0, 50);
        EXPECT_LE(red.y1, 50 + 30);
        EXPECT_GT(red.x1, 100 + 5 * 12); // five katakana and more
        EXPECT_TRUE(AllInkIs(screen, red, 0xFFFF0000u));
        EXPECT_GE(green.x0, 300);
        EXPECT_GE(green.y0, 400);
        // Seven full-width glyphs of the fixed face, 19 pixels each.
        EXPECT_GE(green.x1 - 300, 6 * 19);
        EXPECT_LE(green.x1 - 300, 7 * 19 + 4);
        EXPECT_TRUE(AllInkIs(screen, green, 0xFF00FF00u));
        CTextObject::ReleaseTextCache();
    }
    CTextObject::SetFontRasterizer(nullptr);
    CTextObject::SetTextDevice(nullptr);
    EXPECT_TRUE(device.Errors().empty());
}

} // namespace
} // namespace quolis
