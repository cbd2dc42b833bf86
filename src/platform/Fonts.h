#pragma once
// Text rasterising: a face name, a pixel height and a style make a font; a
// UTF-8 string becomes a bitmap of white pixels whose alpha is the glyph
// coverage, so that drawing it textured with a vertex colour gives the text in
// that colour. Line feeds start new lines; nothing wraps.
#include "platform/Device.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quolis {

struct TextBitmap {
    int width = 0;
    int height = 0;
    std::vector<Argb> pixels; // rows top to bottom
    void Clear() {
        width = 0;
        height = 0;
        pixels.clear();
    }
};

using FontHandle = std::uint32_t; // 0 = none

class FontRasterizer {
public:
    virtual ~FontRasterizer() = default;
    // `face` is the UTF-8 face name the game asks for ("ＭＳ Ｐゴシック",
    // "ＭＳ ゴシック", "Arial", ...); a face that is not installed is
    // replaced by a substitute. `pixelHeight` is the character (em) height.
    // Returns 0 when no font at all can be opened.
    virtual FontHandle OpenFont(std::string_view face, int pixelHeight, bool bold, bool italic) = 0;
    virtual void CloseFont(FontHandle font) = 0;
    // Renders the text, one line per line feed, each line's top one line
    // distance below the previous one, left-aligned. False (empty bitmap)
    // when nothing can be rendered.
    virtual bool RenderText(FontHandle font, std::string_view utf8, TextBitmap& out) = 0;
    // The distance between the tops of two lines.
    virtual int LineSkip(FontHandle font) = 0;
};

// Pixel height of a font of `points` on a 96-dots-per-inch screen, rounded
// like the Win32 MulDiv (half away from zero): 14 points -> 19 pixels.
constexpr int FontPixelHeight(int points) {
    long long n = static_cast<long long>(points) * 96;
    return static_cast<int>(n >= 0 ? (n + 36) / 72 : -((-n + 36) / 72));
}

} // namespace quolis
