#pragma once
// Fonts through SDL2_ttf (FreeType). Font files are found with fontconfig:
// "ＭＳ Ｐゴシック" is IPAPGothic, "ＭＳ ゴシック" is IPAGothic and "Arial" is
// Liberation Sans; any other face goes to fontconfig as it is, which answers
// with its nearest substitute.
#include "platform/Fonts.h"

#include <map>
#include <string>

typedef struct _TTF_Font TTF_Font;

namespace quolis {

class SdlFonts final : public FontRasterizer {
public:
    SdlFonts();
    ~SdlFonts() override;
    SdlFonts(const SdlFonts&) = delete;
    SdlFonts& operator=(const SdlFonts&) = delete;

    FontHandle OpenFont(std::string_view face, int pixelHeight, bool bold, bool italic) override;
    void CloseFont(FontHandle font) override;
    bool RenderText(FontHandle font, std::string_view utf8, TextBitmap& out) override;
    int LineSkip(FontHandle font) override;

    // The family fontconfig is asked for, and the file it answers with
    // (empty when none).
    static std::string FamilyFor(std::string_view face);
    static std::string FindFontFile(std::string_view face);

private:
    // One opened face per font file, shared by every handle on that file
    // (FreeType keeps about 320 KB of tables for each opened face): it is set
    // to a handle's size and style before that handle measures or renders.
    struct Face {
        TTF_Font* font = nullptr;
        int users = 0;
        int size = 0;
        int style = 0;
    };
    struct Handle {
        std::string file;
        int size = 0;
        int style = 0;
    };
    // The shared face set up for the handle; nullptr for an unknown handle.
    TTF_Font* Use(FontHandle handle);

    bool ready_ = false;
    std::map<FontHandle, Handle> fonts_;
    std::map<std::string, Face> faces_;        // file -> face
    std::map<std::string, std::string> files_; // face name -> file
    FontHandle next_ = 1;
    std::string line_; // one line of text, reused
};

} // namespace quolis
