#include "HardNames.h"
#include "Mkcontent.h"

#include "common/Text.h"
#include "gfxutil/Image.h"
#include "platform/sdl/SdlFonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

using namespace quolis;
using namespace quolis::mkcontent;

namespace {

struct Decoded {
    Image image;
    int blackPixels = 0;
};

Decoded DecodePicture(const std::string& name, TextPainter& text) {
    Decoded d;
    const Bytes bmp = MakePicture(name, text).EncodeBmp();
    EXPECT_EQ(DetectImageFormat(bmp.data(), bmp.size()), ImageFormat::Bmp) << name;
    EXPECT_EQ(bmp[28], 24) << name << ": not a 24-bit picture";
    EXPECT_TRUE(DecodeBmp(bmp.data(), bmp.size(), d.image)) << name;
    for (std::uint32_t p : d.image.pixels) {
        d.blackPixels += (p & 0xFFFFFF) == 0 ? 1 : 0;
    }
    return d;
}

class PicturesTest : public ::testing::Test {
protected:
    SdlFonts fonts;
    TextPainter text{&fonts};
};

TEST_F(PicturesTest, EveryHardCodedPictureDecodesAndIsNotBlank) {
    for (const auto& hard : qcheck::HardCodedNames()) {
        if (hard.kind != qcheck::AssetKind::Texture) {
            continue;
        }
        const Decoded d = DecodePicture(hard.name, text);
        ASSERT_GT(d.image.width, 0) << hard.name;
        const std::size_t total = d.image.pixels.size();
        std::set<std::uint32_t> colours(d.image.pixels.begin(), d.image.pixels.end());
        EXPECT_GT(colours.size(), 3u) << hard.name << " is flat";
        EXPECT_LT(static_cast<std::size_t>(d.blackPixels), total)
            << hard.name << " is all transparent";
    }
}

TEST_F(PicturesTest, OpaquePicturesHaveNoTransparentPixels) {
    for (const char* name :
         {"Floor\\Grass.bmp", "Floor\\Black.bmp", "Floor\\Water.bmp", "Wall\\Wall.bmp",
          "Menu\\BG.bmp", "Status\\Frame.bmp", "Back\\City.bmp", "Face\\Mina.bmp",
          "Battle\\ScrBoard.bmp", "Title\\TitleBack.bmp"}) {
        EXPECT_EQ(DecodePicture(name, text).blackPixels, 0) << name;
    }
}

// Mean difference of the colour channels between two rows (or columns) of
// a picture, the second index taken modulo the size.
double LineDifference(const Image& im, bool rows, int a, int b) {
    const int n = rows ? im.width : im.height;
    const int size = rows ? im.height : im.width;
    b %= size;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const std::uint32_t p = rows ? im.pixels[a * im.width + i] : im.pixels[i * im.width + a];
        const std::uint32_t q = rows ? im.pixels[b * im.width + i] : im.pixels[i * im.width + b];
        for (int shift = 0; shift < 24; shift += 8) {
            sum += std::abs(static_cast<int>((p >> shift) & 0xFF) -
                            static_cast<int>((q >> shift) & 0xFF));
        }
    }
    return sum / (3.0 * n);
}

// The staff roll scrolls the menu background with wrap-around: crossing from
// its last row to its first (or last column to first) must look like any
// step inside it, not like a cut.
TEST_F(PicturesTest, MenuBackgroundRepeatsWithoutASeam) {
    const Image im = DecodePicture("Menu\\BG.bmp", text).image;
    ASSERT_GT(im.width, 1);
    ASSERT_GT(im.height, 1);
    for (bool rows : {true, false}) {
        const int size = rows ? im.height : im.width;
        double inside = 0;
        for (int i = 0; i + 1 < size; ++i) {
            inside = std::max(inside, LineDifference(im, rows, i, i + 1));
        }
        EXPECT_LE(LineDifference(im, rows, size - 1, size), inside + 0.5)
            << (rows ? "rows" : "columns");
    }
}

TEST_F(PicturesTest, SpritesKeepBlackAsTheTransparentKey) {
    for (const char* name :
         {"Effect\\Explosion.bmp", "Battle\\Cursor.bmp", "Number\\Number.bmp", "MsgBox\\Cursor.bmp",
          "Stand\\Mina.bmp", "Button\\Menu\\Save.bmp", "MsgBox\\CharaPicFrame.bmp"}) {
        EXPECT_GT(DecodePicture(name, text).blackPixels, 0) << name;
    }
}

TEST_F(PicturesTest, EffectSheetsHaveTheirCellsAndTheCellsAnimate) {
    ASSERT_EQ(EffectSheets().size(), 14u);
    for (const auto& sheet : EffectSheets()) {
        const Decoded d = DecodePicture(sheet.name, text);
        ASSERT_EQ(d.image.width % sheet.columns, 0) << sheet.name;
        ASSERT_EQ(d.image.height % sheet.rows, 0) << sheet.name;
        const int cw = d.image.width / sheet.columns, ch = d.image.height / sheet.rows;
        EXPECT_EQ(cw, ch) << sheet.name << ": cells are square";
        std::vector<std::vector<std::uint32_t>> cells;
        // The last cell never shows; every other one must hold something.
        for (int k = 0; k + 1 < sheet.columns * sheet.rows; ++k) {
            std::vector<std::uint32_t> cell;
            int lit = 0;
            for (int y = 0; y < ch; ++y) {
                for (int x = 0; x < cw; ++x) {
                    const std::uint32_t p =
                        d.image.pixels[static_cast<std::size_t>((k / sheet.columns) * ch + y) *
                                           d.image.width +
                                       (k % sheet.columns) * cw + x];
                    cell.push_back(p);
                    lit += (p & 0xFFFFFF) != 0 ? 1 : 0;
                }
            }
            EXPECT_GT(lit, 0) << sheet.name << " cell " << k << " is empty";
            cells.push_back(std::move(cell));
        }
        for (std::size_t k = 1; k < cells.size(); ++k) {
            EXPECT_NE(cells[k], cells[k - 1])
                << sheet.name << ": cell " << k << " repeats the one before";
        }
    }
}

TEST_F(PicturesTest, DigitStripHasTenEqualCellsEachWithItsDigit) {
    const Decoded d = DecodePicture("Number\\Number.bmp", text);
    ASSERT_EQ(d.image.width % 10, 0);
    const int cw = d.image.width / 10;
    std::vector<std::vector<std::uint32_t>> cells(10);
    for (int k = 0; k < 10; ++k) {
        int lit = 0;
        for (int y = 0; y < d.image.height; ++y) {
            for (int x = 0; x < cw; ++x) {
                const std::uint32_t p =
                    d.image.pixels[static_cast<std::size_t>(y) * d.image.width + k * cw + x];
                cells[static_cast<std::size_t>(k)].push_back(p);
                lit += (p & 0xFFFFFF) != 0 ? 1 : 0;
            }
        }
        EXPECT_GT(lit, 20) << "digit " << k;
    }
    EXPECT_NE(cells[1], cells[7]);
    EXPECT_NE(cells[6], cells[9]);
}

TEST_F(PicturesTest, MetalArmsButtonsCarryTheirOwnNames) {
    const Decoded a = DecodePicture("Button\\Battle\\" + Utf8ToCp932("ブレード") + ".bmp", text);
    const Decoded b = DecodePicture("Button\\Battle\\" + Utf8ToCp932("レーザー") + ".bmp", text);
    const Decoded blank = DecodePicture("Button\\Battle\\" + Utf8ToCp932("　") + ".bmp", text);
    EXPECT_NE(a.image.pixels, b.image.pixels);
    EXPECT_NE(a.image.pixels, blank.image.pixels) << "the name was not drawn";
}

TEST_F(PicturesTest, GenerationIsDeterministic) {
    for (const char* name :
         {"Effect\\Mist.bmp", "Face\\Kai.bmp", "Back\\Plant.bmp", "Button\\Title\\Start.bmp"}) {
        EXPECT_EQ(MakePicture(name, text).EncodeBmp(), MakePicture(name, text).EncodeBmp()) << name;
    }
}

TEST(CanvasTest, BmpRowsAreBottomUpAndPadded) {
    Canvas c(3, 2);
    c.Set(0, 0, Rgb{255, 0, 0});
    c.Set(2, 1, Rgb{0, 0, 255});
    const Bytes bmp = c.EncodeBmp();
    ASSERT_EQ(bmp.size(), 54u + 2 * 12); // 3 pixels = 9 bytes, padded to 12
    Image img;
    ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), img));
    EXPECT_EQ(img.pixels[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixels[5] & 0xFFFFFF, 0x0000FFu);
}

} // namespace

namespace {

TEST(TextPainterTest, LabelsWithoutAFontAreCountedNotFatal) {
    TextPainter none(nullptr);
    const Canvas button = MakePicture("Button\\Menu\\Save.bmp", none);
    EXPECT_EQ(button.Width(), 256);
    EXPECT_EQ(none.Missing(), 1);
    SdlFonts fonts;
    TextPainter real(&fonts);
    MakePicture("Button\\Menu\\Save.bmp", real);
    EXPECT_EQ(real.Missing(), 0) << "the game's fonts are installed on the build machine";
}

} // namespace
