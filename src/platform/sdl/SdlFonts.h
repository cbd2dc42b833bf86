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
    bool ready_ = false;
    std::map<FontHandle, TTF_Font*> fonts_;
    std::map<std::string, std::string> files_; // face -> file
    FontHandle next_ = 1;
    std::string line_; // one line of text, reused
};

} // namespace quolis
