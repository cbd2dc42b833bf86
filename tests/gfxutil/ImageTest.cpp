#include "gfxutil/Image.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace quolis {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 255;
    b[at + 1] = (v >> 8) & 255;
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A BMP with a 40-byte info header; `rows` are the stored rows (already padded).
Bytes MakeBmp(int w, int h, int bpp, const std::vector<std::uint32_t>& palette, const Bytes& rows,
              std::uint32_t compression = 0, const std::vector<std::uint32_t>& masks = {}) {
    std::size_t off = 54 + masks.size() * 4 + palette.size() * 4;
    Bytes b(off, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(off + rows.size()));
    Put32(b, 10, static_cast<std::uint32_t>(off));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(w));
    Put32(b, 22, static_cast<std::uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bpp));
    Put32(b, 30, compression);
    Put32(b, 46, static_cast<std::uint32_t>(palette.size()));
    std::size_t at = 54;
    for (std::uint32_t m : masks) {
        Put32(b, at, m);
        at += 4;
    }
    for (std::uint32_t c : palette) {
        Put32(b, at, c);
        at += 4;
    }
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

TEST(ImageBmp, TwentyFourBitBottomUpAndTopDown) {
    // 2 × 2: bottom row first on disk (blue, green), then the top row (red, white).
    Bytes rows = {255, 0, 0, 0, 255, 0, 0, 0, /*pad*/ 0, 0, 255, 255, 255, 255, 0, 0};
    Image img;
    ASSERT_TRUE(
        DecodeBmp(MakeBmp(2, 2, 24, {}, rows).data(), MakeBmp(2, 2, 24, {}, rows).size(), img));
    ASSERT_EQ(img.width, 2);
    EXPECT_EQ(img.pixels,
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00}));
    Bytes td = MakeBmp(2, -2, 24, {}, rows);
    ASSERT_TRUE(DecodeBmp(td.data(), td.size(), img));
    EXPECT_EQ(img.pixels,
              (std::vector<std::uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}));
}

TEST(ImageBmp, PalettedDepths) {
    std::vector<std::uint32_t> pal2 = {0x000000, 0xFFFFFF};
    Bytes one = MakeBmp(9, 1, 1, pal2, {0xA0, 0x80, 0, 0}); // 1010 0000 1...
    Image img;
    ASSERT_TRUE(DecodeBmp(one.data(), one.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(img.pixels[1], 0xFF000000u);
    EXPECT_EQ(img.pixels[2], 0xFFFFFFFFu);
    EXPECT_EQ(img.pixels[8], 0xFFFFFFFFu);

    std::vector<std::uint32_t> pal16(16, 0);
    pal16[3] = 0x112233;
    pal16[12] = 0x445566;
    Bytes four = MakeBmp(3, 1, 4, pal16, {0x3C, 0x30, 0, 0});
    ASSERT_TRUE(DecodeBmp(four.data(), four.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF112233, 0xFF445566, 0xFF112233}));

    std::vector<std::uint32_t> pal256(256, 0);
    pal256[200] = 0xABCDEF;
    Bytes eight = MakeBmp(1, 1, 8, pal256, {200, 0, 0, 0});
    ASSERT_TRUE(DecodeBmp(eight.data(), eight.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFFABCDEFu);
    // An index beyond a short palette reads black, not memory past it.
    Bytes shortPal = MakeBmp(1, 1, 8, {0xFF0000}, {7, 0, 0, 0});
    ASSERT_TRUE(DecodeBmp(shortPal.data(), shortPal.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF000000u);
}

TEST(ImageBmp, SixteenAndThirtyTwoBits) {
    Image img;
    Bytes p555 = MakeBmp(1, 1, 16, {}, {0x1F, 0x7C, 0, 0}); // red 31, blue 31
    ASSERT_TRUE(DecodeBmp(p555.data(), p555.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFFFF00FFu);
    Bytes p565 = MakeBmp(1, 1, 16, {}, {0xE0, 0x07, 0, 0}, 3, {0xF800, 0x07E0, 0x001F});
    ASSERT_TRUE(DecodeBmp(p565.data(), p565.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF00FF00u);
    Bytes p32 = MakeBmp(1, 1, 32, {}, {0x10, 0x20, 0x30, 0x00});
    ASSERT_TRUE(DecodeBmp(p32.data(), p32.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF302010u); // the unused byte does not make it transparent
}

TEST(ImageBmp, TruncatedAndBogusFilesAreRefused) {
    Bytes rows(2 * 4 * 2, 0x40);
    Bytes ok = MakeBmp(2, 2, 24, {}, Bytes(16, 0x40));
    Image img;
    ASSERT_TRUE(DecodeBmp(ok.data(), ok.size(), img));
    for (std::size_t n : {0ul, 2ul, 20ul, 53ul, ok.size() - 1}) {
        EXPECT_FALSE(DecodeBmp(ok.data(), n, img)) << n;
        EXPECT_TRUE(img.pixels.empty());
    }
    Bytes huge = ok;
    Put32(huge, 18, 100000);
    EXPECT_FALSE(DecodeBmp(huge.data(), huge.size(), img));
    Bytes badOff = ok;
    Put32(badOff, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(DecodeBmp(badOff.data(), badOff.size(), img));
    Bytes rle = ok; // RLE8 needs 8 bits per pixel
    Put32(rle, 30, 1);
    EXPECT_FALSE(DecodeBmp(rle.data(), rle.size(), img));
}

TEST(ImageBmp, RunLengthEightAndFourBits) {
    const std::vector<std::uint32_t> pal = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
    // 4 × 3, RLE8. Bottom row: a run of three 1s and one 2. Middle row: an
    // absolute run 3 0 1 (padded to an even count of bytes), then end of line.
    // Then a delta of (2, 0) and a run of one 3 on the top row, end of bitmap.
    Bytes rle8 = {3, 1, 1, 2, 0, 0, /**/ 0, 3, 3, 0, 1, 0, 0, 0, /**/ 0, 2, 2, 0, 1, 3, 0, 1};
    Bytes b8 = MakeBmp(4, 3, 8, pal, rle8, 1);
    Image img;
    ASSERT_TRUE(DecodeBmp(b8.data(), b8.size(), img));
    const std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF,
                        K = 0xFF000000; // K: a pixel no run reached
    EXPECT_EQ(img.pixels,
              (std::vector<std::uint32_t>{K, K, W, K, /**/ W, B, G, K, /**/ G, G, G, R}));
    // RLE4: encoded runs alternate the two nibbles; absolute runs hold two
    // pixels per byte (padded to an even count of bytes). 6 × 1: a run of 3
    // from 0x12 (1 2 1), then an absolute run of 3 pixels 3 0 1.
    Bytes rle4 = {3, 0x12, 0, 3, 0x30, 0x10, 0, 1};
    Bytes b4 = MakeBmp(6, 1, 4, pal, rle4, 2);
    ASSERT_TRUE(DecodeBmp(b4.data(), b4.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{G, R, G, W, B, G}));
    // Every cut of the data before its end mark is refused, as are runs that
    // leave the picture and a delta past its corner.
    for (std::size_t n = 0; n < b8.size(); ++n) {
        EXPECT_FALSE(DecodeBmp(b8.data(), n, img)) << n;
        EXPECT_TRUE(img.pixels.empty());
    }
    Bytes wide = MakeBmp(4, 1, 8, pal, {5, 1, 0, 1}, 1);
    EXPECT_FALSE(DecodeBmp(wide.data(), wide.size(), img));
    Bytes far = MakeBmp(4, 1, 8, pal, {0, 2, 9, 9, 0, 1}, 1);
    EXPECT_FALSE(DecodeBmp(far.data(), far.size(), img));
    Bytes topDown = MakeBmp(4, 3, 8, pal, rle8, 1);
    Put32(topDown, 22, static_cast<std::uint32_t>(-3));
    EXPECT_FALSE(DecodeBmp(topDown.data(), topDown.size(), img));
}

Bytes MakeTga(int type, int w, int h, int bpp, int desc, const Bytes& body) {
    Bytes b(18, 0);
    b[2] = static_cast<std::uint8_t>(type);
    Put16(b, 12, static_cast<std::uint32_t>(w));
    Put16(b, 14, static_cast<std::uint32_t>(h));
    b[16] = static_cast<std::uint8_t>(bpp);
    b[17] = static_cast<std::uint8_t>(desc);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

TEST(ImageTga, UncompressedKeepsBlackOpaqueAndHonoursOrigin) {
    // Bottom-up (default): first stored row is the bottom one.
    Bytes body = {0, 0, 0, 255, /**/ 0, 0, 255, 128, /**/ 0, 255, 0, 255, /**/ 255, 0, 0, 0};
    Bytes t = MakeTga(2, 2, 2, 32, 8, body);
    Image img;
    ASSERT_TRUE(DecodeTga(t.data(), t.size(), img));
    EXPECT_EQ(img.pixels,
              (std::vector<std::uint32_t>{0xFF00FF00, 0x000000FF, 0xFF000000, 0x80FF0000}));
    Bytes top = MakeTga(2, 2, 2, 32, 0x28, body);
    ASSERT_TRUE(DecodeTga(top.data(), top.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF000000u);
    Bytes rgb = MakeTga(2, 1, 1, 24, 0x20, {1, 2, 3});
    ASSERT_TRUE(DecodeTga(rgb.data(), rgb.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF030201u);
}

TEST(ImageTga, RunLengthPacketsAndTruncation) {
    // A run of three reds, then a raw packet of one blue.
    Bytes body = {0x82, 0, 0, 255, 0x00, 255, 0, 0};
    Bytes t = MakeTga(10, 4, 1, 24, 0x20, body);
    Image img;
    ASSERT_TRUE(DecodeTga(t.data(), t.size(), img));
    EXPECT_EQ(img.pixels,
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF}));
    for (std::size_t n = 0; n < t.size(); ++n) {
        EXPECT_FALSE(DecodeTga(t.data(), n, img)) << n;
    }
    // A run longer than the image is cut off, not written past the end.
    Bytes longRun = MakeTga(10, 2, 1, 24, 0x20, {0xFF, 1, 2, 3});
    ASSERT_TRUE(DecodeTga(longRun.data(), longRun.size(), img));
    EXPECT_EQ(img.pixels.size(), 2u);
    // A colour-mapped type without a colour map is refused.
    Bytes paletted = MakeTga(1, 1, 1, 8, 0, {0});
    EXPECT_FALSE(DecodeTga(paletted.data(), paletted.size(), img));
}

// A colour-mapped TGA: map entries numbered from `first`, of `mapBits` bits.
Bytes MakeMappedTga(int type, int w, int h, int first, int mapBits, const Bytes& map, int count,
                    const Bytes& body) {
    Bytes b = MakeTga(type, w, h, 8, 0x20, {});
    b[1] = 1;
    Put16(b, 3, static_cast<std::uint32_t>(first));
    Put16(b, 5, static_cast<std::uint32_t>(count));
    b[7] = static_cast<std::uint8_t>(mapBits);
    b.insert(b.end(), map.begin(), map.end());
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

TEST(ImageTga, SixteenBitPalettedAndGreyscalePlainAndRunLength) {
    Image img;
    // 16 bits: X1R5G5B5 without attribute bits (opaque), A1R5G5B5 with one.
    Bytes body16 = {0x00, 0x7C, /*red, alpha bit 0*/ 0x1F, 0x80 /*blue, alpha bit 1*/};
    Bytes x16 = MakeTga(2, 2, 1, 16, 0x20, body16);
    ASSERT_TRUE(DecodeTga(x16.data(), x16.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF}));
    Bytes a16 = MakeTga(2, 2, 1, 16, 0x21, body16);
    ASSERT_TRUE(DecodeTga(a16.data(), a16.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0x00FF0000, 0xFF0000FF}));
    Bytes g15 = MakeTga(2, 1, 1, 15, 0x20, {0xE0, 0x03});
    ASSERT_TRUE(DecodeTga(g15.data(), g15.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF00FF00u);
    // Paletted: 24-bit map entries numbered from 2; index 0 is outside it.
    Bytes map = {255, 0, 0, /**/ 0, 0, 255};
    Bytes m = MakeMappedTga(1, 3, 1, 2, 24, map, 2, {2, 3, 0});
    ASSERT_TRUE(DecodeTga(m.data(), m.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF0000FF, 0xFFFF0000, 0xFF000000}));
    Bytes mr = MakeMappedTga(9, 3, 1, 2, 24, map, 2, {0x81, 3, 0x00, 2});
    ASSERT_TRUE(DecodeTga(mr.data(), mr.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFF0000, 0xFF0000FF}));
    for (std::size_t n = 0; n < mr.size(); ++n) {
        EXPECT_FALSE(DecodeTga(mr.data(), n, img)) << n;
    }
    // Greyscale 8 bits, and 16 bits with alpha, plain and run-length.
    Bytes g8 = MakeTga(3, 2, 1, 8, 0x20, {0x40, 0xC0});
    ASSERT_TRUE(DecodeTga(g8.data(), g8.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF404040, 0xFFC0C0C0}));
    Bytes ga = MakeTga(11, 3, 1, 16, 0x28, {0x82, 0x10, 0x80});
    ASSERT_TRUE(DecodeTga(ga.data(), ga.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>(3, 0x80101010)));
    EXPECT_EQ(DetectImageFormat(ga.data(), ga.size()), ImageFormat::Tga);
    EXPECT_EQ(DetectImageFormat(m.data(), m.size()), ImageFormat::Tga);
    ASSERT_TRUE(DecodeImage(mr.data(), mr.size(), img));
    // Greyscale in 24 bits is no TGA form.
    Bytes g24 = MakeTga(3, 1, 1, 24, 0x20, {1, 2, 3});
    EXPECT_FALSE(DecodeTga(g24.data(), g24.size(), img));
}

Bytes MakeDds(int w, int h, const char* fourcc, std::uint32_t pfFlags, std::uint32_t bits,
              std::vector<std::uint32_t> masks, const Bytes& body) {
    Bytes b(128, 0);
    std::memcpy(b.data(), "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 12, static_cast<std::uint32_t>(h));
    Put32(b, 16, static_cast<std::uint32_t>(w));
    Put32(b, 76, 32);
    Put32(b, 80, pfFlags);
    if (fourcc != nullptr) {
        std::memcpy(&b[84], fourcc, 4);
    }
    Put32(b, 88, bits);
    for (std::size_t i = 0; i < masks.size(); ++i) {
        Put32(b, 92 + i * 4, masks[i]);
    }
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

TEST(ImageDds, Dxt1OpaqueAndPunchThrough) {
    // c0 = white > c1 = black: four colours; indices 0,1,2,3 on the first row.
    Bytes block = {0xFF, 0xFF, 0x00, 0x00, 0xE4, 0, 0, 0};
    Bytes d = MakeDds(4, 4, "DXT1", 4, 0, {}, block);
    Image img;
    ASSERT_TRUE(DecodeDds(d.data(), d.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(img.pixels[1], 0xFF000000u);
    EXPECT_EQ(img.pixels[2], 0xFFAAAAAAu);
    EXPECT_EQ(img.pixels[3], 0xFF555555u);
    // c0 <= c1: index 3 is transparent black.
    Bytes punch = {0x00, 0x00, 0xFF, 0xFF, 0xC0, 0, 0, 0};
    Bytes p = MakeDds(3, 1, "DXT1", 4, 0, {}, punch); // partial block: 3 × 1
    ASSERT_TRUE(DecodeDds(p.data(), p.size(), img));
    ASSERT_EQ(img.pixels.size(), 3u);
    EXPECT_EQ(img.pixels[0], 0xFF000000u);
    EXPECT_EQ(img.pixels[2], 0xFF000000u);
    Bytes q = MakeDds(4, 1, "DXT1", 4, 0, {}, punch);
    ASSERT_TRUE(DecodeDds(q.data(), q.size(), img));
    EXPECT_EQ(img.pixels[3], 0u);
}

TEST(ImageDds, Dxt3AndDxt5Alpha) {
    Bytes colour = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}; // all white
    Bytes d3(8, 0);
    d3[0] = 0xF0; // pixel 0 alpha 0, pixel 1 alpha 15
    d3.insert(d3.end(), colour.begin(), colour.end());
    Bytes f3 = MakeDds(4, 4, "DXT3", 4, 0, {}, d3);
    Image img;
    ASSERT_TRUE(DecodeDds(f3.data(), f3.size(), img));
    EXPECT_EQ(img.pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(img.pixels[1], 0xFFFFFFFFu);
    // DXT5: a0 = 255, a1 = 0, pixel 0 index 1 (alpha 0), pixel 1 index 0 (255).
    Bytes d5 = {255, 0, 0x01, 0, 0, 0, 0, 0};
    d5.insert(d5.end(), colour.begin(), colour.end());
    Bytes f5 = MakeDds(4, 4, "DXT5", 4, 0, {}, d5);
    ASSERT_TRUE(DecodeDds(f5.data(), f5.size(), img));
    EXPECT_EQ(img.pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(img.pixels[1], 0xFFFFFFFFu);
}

TEST(ImageDds, Uncompressed32BitAndRefusals) {
    Bytes body = {0x10, 0x20, 0x30, 0x40};
    Bytes d = MakeDds(1, 1, nullptr, 0x41, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, body);
    Image img;
    ASSERT_TRUE(DecodeDds(d.data(), d.size(), img));
    EXPECT_EQ(img.pixels[0], 0x40302010u);
    Bytes noAlpha = MakeDds(1, 1, nullptr, 0x40, 32, {0xFF0000, 0xFF00, 0xFF, 0}, body);
    ASSERT_TRUE(DecodeDds(noAlpha.data(), noAlpha.size(), img));
    EXPECT_EQ(img.pixels[0], 0xFF302010u);
    EXPECT_FALSE(DecodeDds(d.data(), d.size() - 1, img));
    Bytes dxt2 = MakeDds(4, 4, "DXT2", 4, 0, {}, Bytes(16, 0));
    EXPECT_FALSE(DecodeDds(dxt2.data(), dxt2.size(), img));
    Bytes big = MakeDds(1 << 20, 1 << 20, "DXT1", 4, 0, {}, Bytes(8, 0));
    EXPECT_FALSE(DecodeDds(big.data(), big.size(), img));
}

TEST(ImageDds, Uncompressed16And24Bits) {
    Image img;
    // A4R4G4B4: alpha 8, red 15, green 0, blue 4.
    Bytes a4 = MakeDds(1, 1, nullptr, 0x41, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, {0x04, 0x8F});
    ASSERT_TRUE(DecodeDds(a4.data(), a4.size(), img));
    EXPECT_EQ(img.pixels[0], 0x88FF0044u);
    // A1R5G5B5: a transparent green and an opaque blue.
    Bytes a1 = MakeDds(2, 1, nullptr, 0x41, 16, {0x7C00, 0x03E0, 0x001F, 0x8000},
                       {0xE0, 0x03, 0x1F, 0x80});
    ASSERT_TRUE(DecodeDds(a1.data(), a1.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0x0000FF00, 0xFF0000FF}));
    // R5G6B5 (no alpha): full green, and red 16 of 31.
    Bytes r5 =
        MakeDds(2, 1, nullptr, 0x40, 16, {0xF800, 0x07E0, 0x001F, 0}, {0xE0, 0x07, 0x00, 0x80});
    ASSERT_TRUE(DecodeDds(r5.data(), r5.size(), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF00FF00, 0xFF840000}));
    // 24 bits, rows packed: 3 × 2 pixels in 18 bytes.
    Bytes body24;
    for (int i = 0; i < 6; ++i) {
        body24.insert(body24.end(), {static_cast<std::uint8_t>(i), 0x20, 0x30});
    }
    Bytes d24 = MakeDds(3, 2, nullptr, 0x40, 24, {0xFF0000, 0xFF00, 0xFF, 0}, body24);
    ASSERT_TRUE(DecodeDds(d24.data(), d24.size(), img));
    ASSERT_EQ(img.pixels.size(), 6u);
    EXPECT_EQ(img.pixels[0], 0xFF302000u);
    EXPECT_EQ(img.pixels[5], 0xFF302005u);
    for (std::size_t n = 0; n < d24.size(); ++n) {
        EXPECT_FALSE(DecodeDds(d24.data(), n, img)) << n;
    }
    Bytes odd = MakeDds(1, 1, nullptr, 0x40, 8, {0xE0, 0x1C, 0x03, 0}, {0xFF});
    EXPECT_FALSE(DecodeDds(odd.data(), odd.size(), img));
}

Bytes WritePng(int w, int h, const std::vector<std::uint32_t>& argb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, argb.data(), 0, nullptr);
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, argb.data(), 0, nullptr));
    out.resize(size);
    return out;
}

TEST(ImagePng, DecodesWithAlphaAndRefusesTruncation) {
    std::vector<std::uint32_t> px = {0xFF000000, 0x80FF0000, 0xFF00FF00, 0x000000FF};
    Bytes png = WritePng(2, 2, px);
    Image img;
    EXPECT_EQ(DetectImageFormat(png.data(), png.size()), ImageFormat::Png);
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), img));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.pixels[0], 0xFF000000u);
    EXPECT_EQ(img.pixels[2], 0xFF00FF00u);
    EXPECT_EQ(img.pixels[1] >> 24, 0x80u);
    EXPECT_FALSE(DecodePng(png.data(), png.size() / 2, img));
    EXPECT_TRUE(img.pixels.empty());
}

Bytes WriteJpeg(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
    for (int x = 0; x < w; ++x) {
        row[x * 3] = r;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = b;
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    Bytes out(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return out;
}

TEST(ImageJpeg, DecodesColourAndSurvivesGarbage) {
    Bytes jpg = WriteJpeg(16, 8, 200, 40, 40);
    Image img;
    EXPECT_EQ(DetectImageFormat(jpg.data(), jpg.size()), ImageFormat::Jpeg);
    ASSERT_TRUE(DecodeImage(jpg.data(), jpg.size(), img));
    EXPECT_EQ(img.width, 16);
    EXPECT_EQ(img.height, 8);
    std::uint32_t p = img.pixels[5];
    EXPECT_EQ(p >> 24, 255u);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 255), 200, 6);
    EXPECT_NEAR(static_cast<int>((p >> 8) & 255), 40, 6);
    Bytes garbage = jpg;
    for (std::size_t i = 20; i < garbage.size(); i += 7) {
        garbage[i] ^= 0x5A;
    }
    DecodeJpeg(garbage.data(), garbage.size(), img); // must not crash
    EXPECT_FALSE(DecodeJpeg(jpg.data(), 10, img));
}

TEST(Image, ColourKeyClearsOnlyOpaqueBlack) {
    Image img;
    img.width = 3;
    img.height = 1;
    img.pixels = {0xFF000000, 0x00000000, 0xFF010000};
    ApplyColourKey(img, 0xFF000000);
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0, 0, 0xFF010000}));
    EXPECT_EQ(DetectImageFormat(nullptr, 0), ImageFormat::Unknown);
}

} // namespace
} // namespace quolis
