#include "platform/sdl/SdlFonts.h"

#include "platform/sdl/FontFiles.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstring>

namespace quolis {

SdlFonts::SdlFonts() {
    ready_ = TTF_Init() == 0;
}

SdlFonts::~SdlFonts() {
    for (auto& [id, font] : fonts_) {
        TTF_CloseFont(font);
    }
    if (ready_) {
        TTF_Quit();
    }
}

std::string SdlFonts::FamilyFor(std::string_view face) {
    if (face == "ＭＳ Ｐゴシック") {
        return "IPAPGothic";
    }
    if (face == "ＭＳ ゴシック") {
        return "IPAGothic";
    }
    if (face == "Arial") {
        return "Liberation Sans";
    }
    return std::string(face);
}

std::string SdlFonts::FindFontFile(std::string_view face) {
    return quolis::FindFontFile(FamilyFor(face));
}

FontHandle SdlFonts::OpenFont(std::string_view face, int pixelHeight, bool bold, bool italic) {
    if (!ready_ || pixelHeight <= 0) {
        return 0;
    }
    std::string key(face);
    auto it = files_.find(key);
    if (it == files_.end()) {
        it = files_.emplace(key, FindFontFile(face)).first;
    }
    if (it->second.empty()) {
        return 0;
    }
    TTF_Font* font = TTF_OpenFont(it->second.c_str(), pixelHeight);
    if (font == nullptr) {
        return 0;
    }
    int style = TTF_STYLE_NORMAL;
    if (bold) {
        style |= TTF_STYLE_BOLD;
    }
    if (italic) {
        style |= TTF_STYLE_ITALIC;
    }
    TTF_SetFontStyle(font, style);
    TTF_SetFontHinting(font, TTF_HINTING_NORMAL);
    FontHandle id = next_++;
    fonts_.emplace(id, font);
    return id;
}

void SdlFonts::CloseFont(FontHandle handle) {
    auto it = fonts_.find(handle);
    if (it == fonts_.end()) {
        return;
    }
    TTF_CloseFont(it->second);
    fonts_.erase(it);
}

int SdlFonts::LineSkip(FontHandle handle) {
    auto it = fonts_.find(handle);
    return it == fonts_.end() ? 0 : TTF_FontLineSkip(it->second);
}

bool SdlFonts::RenderText(FontHandle handle, std::string_view utf8, TextBitmap& out) {
    out.Clear();
    auto it = fonts_.find(handle);
    if (it == fonts_.end() || utf8.empty()) {
        return false;
    }
    TTF_Font* font = it->second;
    const int skip = TTF_FontLineSkip(font);
    const int height = TTF_FontHeight(font);
    // Measure: the widest line and the number of lines.
    int width = 0;
    int lines = 0;
    for (std::size_t start = 0; start <= utf8.size(); ++lines) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) {
            end = utf8.size();
        }
        line_.assign(utf8.substr(start, end - start));
        if (!line_.empty() && line_.back() == '\r') {
            line_.pop_back();
        }
        int w = 0;
        int h = 0;
        if (!line_.empty() && TTF_SizeUTF8(font, line_.c_str(), &w, &h) == 0) {
            width = std::max(width, w);
        }
        start = end + 1;
    }
    if (width <= 0) {
        return false;
    }
    out.width = width;
    out.height = (lines - 1) * skip + height;
    out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 0x00FFFFFFu);
    const SDL_Color white{255, 255, 255, 255};
    int row = 0;
    for (std::size_t start = 0; start <= utf8.size(); ++row) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) {
            end = utf8.size();
        }
        line_.assign(utf8.substr(start, end - start));
        if (!line_.empty() && line_.back() == '\r') {
            line_.pop_back();
        }
        start = end + 1;
        if (line_.empty()) {
            continue;
        }
        SDL_Surface* s = TTF_RenderUTF8_Blended(font, line_.c_str(), white);
        if (s == nullptr) {
            continue;
        }
        SDL_Surface* argb = s;
        if (s->format->format != SDL_PIXELFORMAT_ARGB8888) {
            argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(s);
            if (argb == nullptr) {
                continue;
            }
        }
        SDL_LockSurface(argb);
        const int top = row * skip;
        for (int y = 0; y < argb->h && top + y < out.height; ++y) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch);
            Argb* dst = &out.pixels[static_cast<std::size_t>(top + y) * out.width];
            for (int x = 0; x < argb->w && x < out.width; ++x) {
                // Keep the coverage, make the colour white: the vertex colour
                // tints it.
                dst[x] = (src[x] & 0xFF000000u) | 0x00FFFFFFu;
            }
        }
        SDL_UnlockSurface(argb);
        SDL_FreeSurface(argb);
    }
    return true;
}

} // namespace quolis
