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
    for (auto& [file, face] : faces_) {
        TTF_CloseFont(face.font);
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
    Face& shared = faces_[it->second];
    if (shared.font == nullptr) {
        shared.font = TTF_OpenFont(it->second.c_str(), pixelHeight);
        if (shared.font == nullptr) {
            faces_.erase(it->second);
            return 0;
        }
        TTF_SetFontHinting(shared.font, TTF_HINTING_NORMAL);
        shared.size = pixelHeight;
        shared.style = TTF_GetFontStyle(shared.font);
    }
    ++shared.users;
    int style = TTF_STYLE_NORMAL;
    if (bold) {
        style |= TTF_STYLE_BOLD;
    }
    if (italic) {
        style |= TTF_STYLE_ITALIC;
    }
    FontHandle id = next_++;
    fonts_.emplace(id, Handle{it->second, pixelHeight, style});
    return id;
}

void SdlFonts::CloseFont(FontHandle handle) {
    auto it = fonts_.find(handle);
    if (it == fonts_.end()) {
        return;
    }
    auto face = faces_.find(it->second.file);
    if (face != faces_.end() && --face->second.users == 0) {
        TTF_CloseFont(face->second.font);
        faces_.erase(face);
    }
    fonts_.erase(it);
}

// Setting the size and the style recomputes the face's metrics exactly as
// opening it at that size and giving it that style would.
TTF_Font* SdlFonts::Use(FontHandle handle) {
    auto it = fonts_.find(handle);
    if (it == fonts_.end()) {
        return nullptr;
    }
    Face& face = faces_[it->second.file];
    if (face.size != it->second.size) {
        if (TTF_SetFontSize(face.font, it->second.size) != 0) {
            return nullptr;
        }
        face.size = it->second.size;
    }
    if (face.style != it->second.style) {
        TTF_SetFontStyle(face.font, it->second.style);
        face.style = it->second.style;
    }
    return face.font;
}

int SdlFonts::LineSkip(FontHandle handle) {
    TTF_Font* font = Use(handle);
    return font == nullptr ? 0 : TTF_FontLineSkip(font);
}

bool SdlFonts::RenderText(FontHandle handle, std::string_view utf8, TextBitmap& out) {
    out.Clear();
    TTF_Font* font = Use(handle);
    if (font == nullptr || utf8.empty()) {
        return false;
    }
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
