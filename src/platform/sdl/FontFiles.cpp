#include "platform/sdl/FontFiles.h"

#include <fontconfig/fontconfig.h>

namespace quolis {

std::string FindFontFile(const std::string& family) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return {};
    }
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (pattern != nullptr) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        if (match != nullptr) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
                file = reinterpret_cast<const char*>(path);
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return file;
}

} // namespace quolis
