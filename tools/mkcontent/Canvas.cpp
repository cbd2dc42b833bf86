#include "Mkcontent.h"

#include "platform/Fonts.h"

#include <algorithm>
#include <cmath>

namespace quolis::mkcontent {
namespace {

float Clamp255(float v) {
    return std::min(255.0f, std::max(0.0f, v));
}

std::uint32_t Hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

} // namespace

Canvas::Canvas(int width, int height, Rgb fill)
    : w_(width), h_(height), px_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) {
        px_[static_cast<std::size_t>(y) * w_ + x] = c;
    }
}

void Canvas::Blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) {
        return;
    }
    a = std::min(a, 1.0f);
    Rgb& p = px_[static_cast<std::size_t>(y) * w_ + x];
    p.r += (c.r - p.r) * a;
    p.g += (c.g - p.g) * a;
    p.b += (c.b - p.b) * a;
}

void Canvas::Add(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) {
        return;
    }
    Rgb& p = px_[static_cast<std::size_t>(y) * w_ + x];
    p.r = Clamp255(p.r + c.r * a);
    p.g = Clamp255(p.g + c.g * a);
    p.b = Clamp255(p.b + c.b * a);
}

void Canvas::FillRect(int x, int y, int w, int h, Rgb c, float a) {
    for (int j = std::max(0, y); j < std::min(h_, y + h); ++j) {
        for (int i = std::max(0, x); i < std::min(w_, x + w); ++i) {
            Blend(i, j, c, a);
        }
    }
}

void Canvas::VerticalGradient(Rgb top, Rgb bottom) {
    for (int y = 0; y < h_; ++y) {
        const float t = h_ > 1 ? static_cast<float>(y) / (h_ - 1) : 0;
        const Rgb c{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                    top.b + (bottom.b - top.b) * t};
        for (int x = 0; x < w_; ++x) {
            px_[static_cast<std::size_t>(y) * w_ + x] = c;
        }
    }
}

void Canvas::Disc(float cx, float cy, float radius, Rgb c, float a, float edge, bool additive) {
    const int x0 = static_cast<int>(std::floor(cx - radius - edge));
    const int x1 = static_cast<int>(std::ceil(cx + radius + edge));
    const int y0 = static_cast<int>(std::floor(cy - radius - edge));
    const int y1 = static_cast<int>(std::ceil(cy + radius + edge));
    for (int y = std::max(0, y0); y <= std::min(h_ - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(w_ - 1, x1); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float cover = std::clamp((radius + edge - d) / std::max(edge, 0.01f), 0.0f, 1.0f);
            if (cover > 0) {
                additive ? Add(x, y, c, cover * a) : Blend(x, y, c, cover * a);
            }
        }
    }
}

void Canvas::Ring(float cx, float cy, float radius, float thickness, Rgb c, float a,
                  bool additive) {
    const float outer = radius + thickness / 2 + 1;
    for (int y = std::max(0, static_cast<int>(cy - outer));
         y <= std::min(h_ - 1, static_cast<int>(cy + outer)); ++y) {
        for (int x = std::max(0, static_cast<int>(cx - outer));
             x <= std::min(w_ - 1, static_cast<int>(cx + outer)); ++x) {
            const float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius);
            const float cover = std::clamp(thickness / 2 + 0.75f - d, 0.0f, 1.0f);
            if (cover > 0) {
                additive ? Add(x, y, c, cover * a) : Blend(x, y, c, cover * a);
            }
        }
    }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float thickness, Rgb c, float a,
                  bool additive) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    const float half = thickness / 2;
    const int bx0 = static_cast<int>(std::min(x0, x1) - half - 1);
    const int bx1 = static_cast<int>(std::max(x0, x1) + half + 1);
    const int by0 = static_cast<int>(std::min(y0, y1) - half - 1);
    const int by1 = static_cast<int>(std::max(y0, y1) + half + 1);
    for (int y = std::max(0, by0); y <= std::min(h_ - 1, by1); ++y) {
        for (int x = std::max(0, bx0); x <= std::min(w_ - 1, bx1); ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            const float t = std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f);
            const float d = std::hypot(px - t * dx, py - t * dy);
            const float cover = std::clamp(half + 0.5f - d, 0.0f, 1.0f);
            if (cover > 0) {
                additive ? Add(x, y, c, cover * a) : Blend(x, y, c, cover * a);
            }
        }
    }
}

void Canvas::Panel(int x, int y, int w, int h, Rgb face, int bevel) {
    FillRect(x, y, w, h, face);
    const Rgb light{Clamp255(face.r * 1.6f + 30), Clamp255(face.g * 1.6f + 30),
                    Clamp255(face.b * 1.6f + 30)};
    const Rgb dark{face.r * 0.45f, face.g * 0.45f, face.b * 0.45f};
    for (int i = 0; i < bevel; ++i) {
        const float a = 1.0f - static_cast<float>(i) / bevel * 0.6f;
        FillRect(x + i, y + i, w - 2 * i, 1, light, a);
        FillRect(x + i, y + i, 1, h - 2 * i, light, a);
        FillRect(x + i, y + h - 1 - i, w - 2 * i, 1, dark, a);
        FillRect(x + w - 1 - i, y + i, 1, h - 2 * i, dark, a);
    }
}

void Canvas::Grain(float amount, std::uint32_t seed) {
    for (std::size_t i = 0; i < px_.size(); ++i) {
        const float n =
            (static_cast<float>(Hash(static_cast<std::uint32_t>(i) * 2654435761U ^ seed) & 0xFFFF) /
                 65535.0f -
             0.5f) *
            2 * amount;
        Rgb& p = px_[i];
        p.r = Clamp255(p.r + n);
        p.g = Clamp255(p.g + n);
        p.b = Clamp255(p.b + n);
    }
}

void Canvas::Stamp(const std::vector<std::uint8_t>& alpha, int aw, int ah, int x, int y, Rgb c,
                   float a) {
    for (int j = 0; j < ah; ++j) {
        for (int i = 0; i < aw; ++i) {
            const std::uint8_t cover = alpha[static_cast<std::size_t>(j) * aw + i];
            if (cover != 0) {
                Blend(x + i, y + j, c, a * cover / 255.0f);
            }
        }
    }
}

void Canvas::LiftBlack(bool keepTransparentBlack) {
    for (Rgb& p : px_) {
        p.r = Clamp255(p.r);
        p.g = Clamp255(p.g);
        p.b = Clamp255(p.b);
        const bool black = p.r < 0.5f && p.g < 0.5f && p.b < 0.5f;
        if (black && keepTransparentBlack) {
            p = Rgb{};
        } else if (black || (!keepTransparentBlack && p.r + p.g + p.b < 1.5f)) {
            p.b = std::max(p.b, 1.0f); // the darkest visible colour, never the key
        }
    }
}

Bytes Canvas::EncodeBmp() const {
    const std::uint32_t stride = (static_cast<std::uint32_t>(w_) * 3 + 3) & ~3U;
    const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(h_);
    Bytes out(54 + dataSize, 0);
    auto put32 = [&out](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w_));
    put32(22, static_cast<std::uint32_t>(h_)); // bottom-up rows
    out[26] = 1;
    out[28] = 24;
    put32(34, dataSize);
    put32(38, 2835); // 72 dots per inch
    put32(42, 2835);
    for (int y = 0; y < h_; ++y) {
        std::uint8_t* row = out.data() + 54 + static_cast<std::size_t>(h_ - 1 - y) * stride;
        for (int x = 0; x < w_; ++x) {
            const Rgb p = Get(x, y);
            row[x * 3 + 0] = static_cast<std::uint8_t>(std::lround(Clamp255(p.b)));
            row[x * 3 + 1] = static_cast<std::uint8_t>(std::lround(Clamp255(p.g)));
            row[x * 3 + 2] = static_cast<std::uint8_t>(std::lround(Clamp255(p.r)));
        }
    }
    return out;
}

std::vector<std::uint32_t> Canvas::Argb() const {
    std::vector<std::uint32_t> out(px_.size());
    for (std::size_t i = 0; i < px_.size(); ++i) {
        const Rgb& p = px_[i];
        out[i] = 0xFF000000U | static_cast<std::uint32_t>(std::lround(Clamp255(p.r))) << 16 |
                 static_cast<std::uint32_t>(std::lround(Clamp255(p.g))) << 8 |
                 static_cast<std::uint32_t>(std::lround(Clamp255(p.b)));
    }
    return out;
}

TextMask TextPainter::Render(const std::string& face, int pixelHeight, bool bold,
                             const std::string& text) {
    TextMask mask;
    if (fonts_ == nullptr) {
        ++missing_;
        return mask;
    }
    const FontHandle font = fonts_->OpenFont(face, pixelHeight, bold, false);
    if (font == 0) {
        ++missing_;
        return mask;
    }
    TextBitmap bitmap;
    if (fonts_->RenderText(font, text, bitmap)) {
        mask.width = bitmap.width;
        mask.height = bitmap.height;
        mask.alpha.resize(bitmap.pixels.size());
        for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
            mask.alpha[i] = static_cast<std::uint8_t>(bitmap.pixels[i] >> 24);
        }
    }
    fonts_->CloseFont(font);
    return mask;
}

} // namespace quolis::mkcontent
