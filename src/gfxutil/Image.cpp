#include "gfxutil/Image.h"

#include <cstring>

namespace quolis {
namespace {

// Bounds-checked little-endian reader.
class Reader {
public:
    Reader(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    bool Has(std::size_t off, std::size_t len) const { return off <= n_ && len <= n_ - off; }
    std::uint32_t U8(std::size_t off) const { return Has(off, 1) ? d_[off] : 0; }
    std::uint32_t U16(std::size_t off) const { return U8(off) | (U8(off + 1) << 8); }
    std::uint32_t U32(std::size_t off) const { return U16(off) | (U16(off + 2) << 16); }
    std::int32_t S32(std::size_t off) const { return static_cast<std::int32_t>(U32(off)); }
    const std::uint8_t* At(std::size_t off) const { return d_ + off; }
    std::size_t Size() const { return n_; }

private:
    const std::uint8_t* d_;
    std::size_t n_;
};

bool SideOk(std::int64_t w, std::int64_t h) {
    return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide;
}

void Allocate(Image& out, int w, int h) {
    out.width = w;
    out.height = h;
    out.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Position of the lowest set bit and the width of a channel mask.
void MaskShape(std::uint32_t mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (mask == 0) {
        return;
    }
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) {
        ++bits;
    }
}

// A channel value scaled to 0..255.
std::uint32_t Channel(std::uint32_t px, std::uint32_t mask, int shift, int bits) {
    if (bits == 0) {
        return 0;
    }
    std::uint32_t v = (px & mask) >> shift;
    std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    if (bits > 8) {
        return v >> (bits - 8);
    }
    return (v * 255u + max / 2) / max;
}

// Run-length encoded BMP pixels (RLE8: 8 bits, RLE4: 4 bits per index) from
// `at` to the end of the data, bottom row first, as palette indices. Pixels
// the runs never reach (a delta, an early end of line or bitmap) keep index
// -1. False when the data ends before the end-of-bitmap mark or a run
// reaches past the picture.
bool DecodeBmpRle(const Reader& r, std::size_t at, int bits, std::size_t w, std::size_t h,
                  std::vector<int>& index) {
    index.assign(w * h, -1);
    std::size_t x = 0, y = 0; // y counts stored rows (bottom first)
    auto put = [&](int v) {
        if (x >= w || y >= h) {
            return false;
        }
        index[y * w + x] = v;
        ++x;
        return true;
    };
    while (true) {
        if (!r.Has(at, 2)) {
            return false;
        }
        std::uint32_t count = r.U8(at), value = r.U8(at + 1);
        at += 2;
        if (count > 0) {
            // Encoded run: RLE4 alternates the two nibbles of the value.
            for (std::uint32_t i = 0; i < count; ++i) {
                int v = bits == 8 ? static_cast<int>(value)
                                  : static_cast<int>(i % 2 == 0 ? value >> 4 : value & 15);
                if (!put(v)) {
                    return false;
                }
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta: move right and up
            if (!r.Has(at, 2)) {
                return false;
            }
            x += r.U8(at);
            y += r.U8(at + 1);
            at += 2;
            if (x > w || y > h) {
                return false;
            }
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            std::size_t bytes = bits == 8 ? value : (value + 1) / 2;
            if (!r.Has(at, bytes)) {
                return false;
            }
            for (std::uint32_t i = 0; i < value; ++i) {
                std::uint32_t b = r.U8(at + (bits == 8 ? i : i / 2));
                int v = bits == 8 ? static_cast<int>(b)
                                  : static_cast<int>(i % 2 == 0 ? b >> 4 : b & 15);
                if (!put(v)) {
                    return false;
                }
            }
            at += (bytes + 1) & ~static_cast<std::size_t>(1);
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------
// BMP: BITMAPFILEHEADER, then a core (12 bytes) or info (40+ bytes) header.
// Uncompressed 1/4/8/16/24/32 bits, bit fields, and run-length encoded 8-bit
// (RLE8) and 4-bit (RLE4) pictures.

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Image& out) {
    out.Clear();
    Reader r(data, size);
    if (!r.Has(0, 26) || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    std::uint32_t offBits = r.U32(10);
    std::uint32_t hdr = r.U32(14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bpp = 0;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::size_t palEntry = 4;
    if (hdr == 12) {
        width = r.U16(18);
        height = static_cast<std::int16_t>(r.U16(20));
        bpp = r.U16(24);
        palEntry = 3;
    } else if (hdr >= 40 && r.Has(14, hdr)) {
        width = r.S32(18);
        height = r.S32(22);
        bpp = r.U16(28);
        compression = r.U32(30);
        clrUsed = r.U32(46);
    } else {
        return false;
    }
    bool topDown = height < 0;
    if (topDown) {
        height = -height;
    }
    if (!SideOk(width, height)) {
        return false;
    }
    // Channel masks: defaults for 16 (5-5-5) and 32 bits; BI_BITFIELDS takes
    // them from after the info header (or inside a V4/V5 header).
    std::uint32_t rm = 0, gm = 0, bm = 0, am = 0;
    if (bpp == 16) {
        rm = 0x7C00;
        gm = 0x03E0;
        bm = 0x001F;
    } else if (bpp == 32) {
        rm = 0x00FF0000;
        gm = 0x0000FF00;
        bm = 0x000000FF;
    }
    std::size_t paletteAt = 14 + hdr;
    if (compression == 3 && (bpp == 16 || bpp == 32)) {
        const std::size_t at = 54; // after a 40-byte header, or inside a V2..V5 one
        if (!r.Has(at, 12)) {
            return false;
        }
        rm = r.U32(at);
        gm = r.U32(at + 4);
        bm = r.U32(at + 8);
        if (hdr >= 56) {
            am = r.U32(54 + 12);
        }
        if (hdr == 40) {
            paletteAt += 12;
        }
    } else if (compression == 1 || compression == 2) {
        if (bpp != (compression == 1 ? 8u : 4u) || topDown) {
            return false; // run-length pictures are stored bottom-up only
        }
    } else if (compression != 0) {
        return false; // embedded JPEG/PNG bitmaps are not textures
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return false;
    }
    std::uint32_t palette[256];
    for (std::uint32_t& c : palette) {
        c = 0xFF000000u; // indices past a short palette read opaque black
    }
    if (bpp <= 8) {
        std::uint32_t count = clrUsed == 0 || clrUsed > (1u << bpp) ? (1u << bpp) : clrUsed;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::size_t at = paletteAt + i * palEntry;
            if (!r.Has(at, 3)) {
                return false;
            }
            palette[i] = Argb(255, r.U8(at + 2), r.U8(at + 1), r.U8(at));
        }
    }
    if (compression == 1 || compression == 2) {
        const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
        std::vector<int> index;
        if (!r.Has(offBits, 0) || !DecodeBmpRle(r, offBits, static_cast<int>(bpp), w, h, index)) {
            return false;
        }
        // Pixels no run reached read as opaque black.
        Allocate(out, static_cast<int>(w), static_cast<int>(h));
        for (std::size_t y = 0; y < h; ++y) {
            for (std::size_t x = 0; x < w; ++x) {
                int v = index[y * w + x];
                out.pixels[(h - 1 - y) * w + x] = v < 0 ? 0xFF000000u : palette[v];
            }
        }
        return true;
    }
    std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    if (!r.Has(offBits, 0) ||
        stride * static_cast<std::size_t>(height) > size - static_cast<std::size_t>(offBits)) {
        return false;
    }
    int rs, rb, gs, gb, bs, bb, as, ab;
    MaskShape(rm, rs, rb);
    MaskShape(gm, gs, gb);
    MaskShape(bm, bs, bb);
    MaskShape(am, as, ab);
    Allocate(out, static_cast<int>(width), static_cast<int>(height));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = data + offBits + stride * static_cast<std::size_t>(y);
        std::int64_t dstY = topDown ? y : height - 1 - y;
        std::uint32_t* dst = &out.pixels[static_cast<std::size_t>(dstY * width)];
        // The common depths in loops of their own (a title picture is half a
        // million pixels).
        if (bpp == 24) {
            for (std::int64_t x = 0; x < width; ++x) {
                dst[x] = Argb(255, row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
            }
            continue;
        }
        if (bpp == 8) {
            for (std::int64_t x = 0; x < width; ++x) {
                dst[x] = palette[row[x]];
            }
            continue;
        }
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t px = 0;
            switch (bpp) {
            case 1:
                px = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                px = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                px = palette[row[x]];
                break;
            case 24:
                px = Argb(255, row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
                break;
            default: {
                std::uint32_t v = 0;
                if (bpp == 16) {
                    v = row[x * 2] | (std::uint32_t(row[x * 2 + 1]) << 8);
                } else {
                    v = std::uint32_t(row[x * 4]) | (std::uint32_t(row[x * 4 + 1]) << 8) |
                        (std::uint32_t(row[x * 4 + 2]) << 16) |
                        (std::uint32_t(row[x * 4 + 3]) << 24);
                }
                std::uint32_t a = ab ? Channel(v, am, as, ab) : 255;
                px =
                    Argb(a, Channel(v, rm, rs, rb), Channel(v, gm, gs, gb), Channel(v, bm, bs, bb));
                break;
            }
            }
            dst[x] = px;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// TGA: colour-mapped (1), true-colour (2) and greyscale (3) pictures, plain or
// run-length encoded (9, 10, 11). True colour in 15, 16 (alpha in the top bit
// when the descriptor gives one attribute bit), 24 or 32 bits; colour maps of
// 15, 16, 24 or 32-bit entries indexed by 8 or 16 bits; greyscale in 8 bits,
// or 16 with alpha.

namespace {

// One TGA colour of 15/16, 24 or 32 bits at `p` as ARGB.
std::uint32_t TgaColour(const std::uint8_t* p, std::uint32_t bits, bool alpha16) {
    switch (bits) {
    case 15:
    case 16: {
        std::uint32_t v = p[0] | (std::uint32_t(p[1]) << 8);
        std::uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        std::uint32_t a = alpha16 ? ((v & 0x8000u) ? 255 : 0) : 255;
        return Argb(a, (r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    case 24:
        return Argb(255, p[2], p[1], p[0]);
    default:
        return Argb(p[3], p[2], p[1], p[0]);
    }
}

} // namespace

bool DecodeTga(const std::uint8_t* data, std::size_t size, Image& out) {
    out.Clear();
    Reader r(data, size);
    if (!r.Has(0, 18)) {
        return false;
    }
    std::uint32_t idLength = r.U8(0);
    std::uint32_t mapType = r.U8(1);
    std::uint32_t type = r.U8(2);
    std::uint32_t mapFirst = r.U16(3);
    std::uint32_t mapLength = r.U16(5);
    std::uint32_t mapBits = r.U8(7);
    std::int64_t width = r.U16(12);
    std::int64_t height = r.U16(14);
    std::uint32_t bpp = r.U8(16);
    std::uint32_t desc = r.U8(17);
    const bool rle = type >= 9;
    const std::uint32_t kind = rle ? type - 8 : type; // 1 mapped, 2 true colour, 3 grey
    bool ok = false;
    switch (kind) {
    case 1:
        ok = mapType == 1 && (bpp == 8 || bpp == 16) &&
             (mapBits == 15 || mapBits == 16 || mapBits == 24 || mapBits == 32);
        break;
    case 2:
        ok = bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32;
        break;
    case 3:
        ok = bpp == 8 || bpp == 16;
        break;
    default:
        break;
    }
    if (!ok || (type != kind && type != kind + 8) || mapType > 1 || !SideOk(width, height)) {
        return false;
    }
    const bool alpha16 = (desc & 0x0F) != 0;
    std::size_t at = 18 + idLength;
    // The colour map (its entries are numbered from mapFirst).
    std::vector<std::uint32_t> map;
    if (mapType == 1) {
        std::size_t entryBytes = (mapBits + 7) / 8;
        std::size_t mapBytes = static_cast<std::size_t>(mapLength) * entryBytes;
        if (!r.Has(at, mapBytes)) {
            return false;
        }
        if (kind == 1) {
            map.reserve(mapLength);
            for (std::size_t i = 0; i < mapLength; ++i) {
                map.push_back(
                    TgaColour(data + at + i * entryBytes, mapBits, mapBits == 16 && alpha16));
            }
        }
        at += mapBytes;
    }
    const std::size_t bytes = (bpp + 7) / 8;
    auto pixelAt = [&](std::size_t p) -> std::uint32_t {
        const std::uint8_t* px = data + p;
        if (kind == 1) {
            std::uint32_t i = bytes == 1 ? px[0] : (px[0] | (std::uint32_t(px[1]) << 8));
            // Indices outside the map read as opaque black.
            return i >= mapFirst && i - mapFirst < map.size() ? map[i - mapFirst] : 0xFF000000u;
        }
        if (kind == 3) {
            std::uint32_t a = bytes == 2 ? px[1] : 255;
            return Argb(a, px[0], px[0], px[0]);
        }
        return TgaColour(px, bpp, alpha16);
    };
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // Grown as packets arrive (not reserved from the header): a header that
    // promises a huge picture costs nothing until the data is really there.
    std::vector<std::uint32_t> linear;
    if (!rle) {
        if (!r.Has(at, count * bytes)) {
            return false;
        }
        linear.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            linear.push_back(pixelAt(at + i * bytes));
        }
    } else {
        while (linear.size() < count) {
            if (!r.Has(at, 1)) {
                return false;
            }
            std::uint32_t head = data[at++];
            std::size_t run = (head & 0x7F) + 1;
            if (run > count - linear.size()) {
                run = count - linear.size(); // a run past the end is cut off
            }
            if (head & 0x80) {
                if (!r.Has(at, bytes)) {
                    return false;
                }
                std::uint32_t px = pixelAt(at);
                at += bytes;
                linear.insert(linear.end(), run, px);
            } else {
                if (!r.Has(at, run * bytes)) {
                    return false;
                }
                for (std::size_t i = 0; i < run; ++i) {
                    linear.push_back(pixelAt(at + i * bytes));
                }
                at += run * bytes;
            }
        }
    }
    bool topDown = (desc & 0x20) != 0;
    bool rightToLeft = (desc & 0x10) != 0;
    Allocate(out, static_cast<int>(width), static_cast<int>(height));
    for (std::int64_t y = 0; y < height; ++y) {
        std::int64_t dy = topDown ? y : height - 1 - y;
        for (std::int64_t x = 0; x < width; ++x) {
            std::int64_t dx = rightToLeft ? width - 1 - x : x;
            out.pixels[static_cast<std::size_t>(dy * width + dx)] =
                linear[static_cast<std::size_t>(y * width + x)];
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// DDS: DXT1, DXT3, DXT5 and uncompressed RGB(A) of 16 bits (A4R4G4B4,
// A1R5G5B5, X1R5G5B5, R5G6B5 and other masks), 24 and 32 bits.

namespace {

std::uint32_t Expand565(std::uint32_t c) {
    std::uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return Argb(255, (r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int wa, int wb, int div) {
    std::uint32_t out = 0xFF000000u;
    for (int s = 0; s < 24; s += 8) {
        std::uint32_t ca = (a >> s) & 255, cb = (b >> s) & 255;
        out |= ((ca * wa + cb * wb) / div) << s;
    }
    return out;
}

// Colour part of a block: 4 colours, or 3 and transparent black (DXT1 only).
void DecodeColourBlock(const std::uint8_t* b, bool dxt1, std::uint32_t px[16]) {
    std::uint32_t c0 = b[0] | (b[1] << 8), c1 = b[2] | (b[3] << 8);
    std::uint32_t pal[4];
    pal[0] = Expand565(c0);
    pal[1] = Expand565(c1);
    if (c0 > c1 || !dxt1) {
        pal[2] = Mix(pal[0], pal[1], 2, 1, 3);
        pal[3] = Mix(pal[0], pal[1], 1, 2, 3);
    } else {
        pal[2] = Mix(pal[0], pal[1], 1, 1, 2);
        pal[3] = 0;
    }
    for (int i = 0; i < 16; ++i) {
        px[i] = pal[(b[4 + i / 4] >> ((i % 4) * 2)) & 3];
    }
}

} // namespace

bool DecodeDds(const std::uint8_t* data, std::size_t size, Image& out) {
    out.Clear();
    Reader r(data, size);
    if (!r.Has(0, 128) || std::memcmp(data, "DDS ", 4) != 0 || r.U32(4) != 124) {
        return false;
    }
    std::int64_t height = r.U32(12);
    std::int64_t width = r.U32(16);
    std::uint32_t pfFlags = r.U32(80);
    std::uint32_t fourCC = r.U32(84);
    std::uint32_t bits = r.U32(88);
    std::uint32_t rm = r.U32(92), gm = r.U32(96), bm = r.U32(100), am = r.U32(104);
    if (!SideOk(width, height)) {
        return false;
    }
    const std::size_t at = 128;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height);
    if (pfFlags & 0x4) { // FOURCC
        int kind = 0;
        if (fourCC == 0x31545844u) { // "DXT1"
            kind = 1;
        } else if (fourCC == 0x33545844u) { // "DXT3"
            kind = 3;
        } else if (fourCC == 0x35545844u) { // "DXT5"
            kind = 5;
        } else {
            return false;
        }
        std::size_t bw = (w + 3) / 4, bh = (h + 3) / 4;
        std::size_t blockBytes = kind == 1 ? 8 : 16;
        if (!r.Has(at, bw * bh * blockBytes)) {
            return false;
        }
        Allocate(out, static_cast<int>(w), static_cast<int>(h));
        for (std::size_t by = 0; by < bh; ++by) {
            for (std::size_t bx = 0; bx < bw; ++bx) {
                const std::uint8_t* b = data + at + (by * bw + bx) * blockBytes;
                std::uint32_t px[16];
                DecodeColourBlock(kind == 1 ? b : b + 8, kind == 1, px);
                if (kind == 3) {
                    for (int i = 0; i < 16; ++i) {
                        std::uint32_t a = (b[i / 2] >> ((i % 2) * 4)) & 15;
                        px[i] = (px[i] & 0xFFFFFFu) | ((a * 17) << 24);
                    }
                } else if (kind == 5) {
                    std::uint32_t a0 = b[0], a1 = b[1];
                    std::uint32_t al[8] = {a0, a1};
                    if (a0 > a1) {
                        for (int i = 1; i < 7; ++i) {
                            al[i + 1] = ((7 - i) * a0 + i * a1) / 7;
                        }
                    } else {
                        for (int i = 1; i < 5; ++i) {
                            al[i + 1] = ((5 - i) * a0 + i * a1) / 5;
                        }
                        al[6] = 0;
                        al[7] = 255;
                    }
                    std::uint64_t idx = 0;
                    for (int i = 0; i < 6; ++i) {
                        idx |= std::uint64_t(b[2 + i]) << (8 * i);
                    }
                    for (int i = 0; i < 16; ++i) {
                        px[i] = (px[i] & 0xFFFFFFu) | (al[(idx >> (3 * i)) & 7] << 24);
                    }
                }
                for (int i = 0; i < 16; ++i) {
                    std::size_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                    if (x < w && y < h) {
                        out.pixels[y * w + x] = px[i];
                    }
                }
            }
        }
        return true;
    }
    if ((pfFlags & 0x40) == 0 || (bits != 16 && bits != 24 && bits != 32)) { // RGB
        return false;
    }
    const std::size_t bytes = bits / 8; // rows are packed without padding
    if (!r.Has(at, w * h * bytes)) {
        return false;
    }
    bool hasAlpha = (pfFlags & 0x1) != 0 && am != 0;
    int rs, rb, gs, gb, bs, bb, as, ab;
    MaskShape(rm, rs, rb);
    MaskShape(gm, gs, gb);
    MaskShape(bm, bs, bb);
    MaskShape(am, as, ab);
    Allocate(out, static_cast<int>(w), static_cast<int>(h));
    for (std::size_t i = 0; i < w * h; ++i) {
        const std::size_t p = at + i * bytes;
        std::uint32_t v = bytes == 2   ? r.U16(p)
                          : bytes == 3 ? r.U16(p) | (r.U8(p + 2) << 16)
                                       : r.U32(p);
        std::uint32_t a = hasAlpha ? Channel(v, am, as, ab) : 255;
        out.pixels[i] =
            Argb(a, Channel(v, rm, rs, rb), Channel(v, gm, gs, gb), Channel(v, bm, bs, bb));
    }
    return true;
}

// ---------------------------------------------------------------------------

ImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        return ImageFormat::Bmp;
    }
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) {
        return ImageFormat::Dds;
    }
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0) {
        return ImageFormat::Png;
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return ImageFormat::Jpeg;
    }
    if (size >= 18 && data[1] <= 1) {
        const int kind = data[2] > 8 ? data[2] - 8 : data[2];
        const int bits = data[16];
        const bool plausible = (data[2] & 7) == kind && kind >= 1 && kind <= 3 &&
                               (bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32);
        if (plausible && (kind != 1 || data[1] == 1)) {
            return ImageFormat::Tga;
        }
    }
    return ImageFormat::Unknown;
}

bool DecodeImage(const std::uint8_t* data, std::size_t size, Image& out) {
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Bmp:
        return DecodeBmp(data, size, out);
    case ImageFormat::Tga:
        return DecodeTga(data, size, out);
    case ImageFormat::Dds:
        return DecodeDds(data, size, out);
    case ImageFormat::Png:
        return DecodePng(data, size, out);
    case ImageFormat::Jpeg:
        return DecodeJpeg(data, size, out);
    case ImageFormat::Unknown:
        break;
    }
    out.Clear();
    return false;
}

void ApplyColourKey(Image& image, std::uint32_t key) {
    for (std::uint32_t& p : image.pixels) {
        if (p == key) {
            p = 0;
        }
    }
}

} // namespace quolis
