#include "platform/sdl/FontFiles.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>

namespace quolis {
namespace {

struct FontLookup {
    std::mutex mutex;
    FcConfig* config = nullptr;
    int loads = 0;
    std::map<std::string, std::string> files; // family -> file ("" : no match)

    ~FontLookup() {
        if (config != nullptr) {
            FcConfigDestroy(config);
        }
    }
    FcConfig* Config() {
        if (config == nullptr && loads == 0) {
            ++loads;
            config = FcInitLoadConfigAndFonts();
        }
        return config;
    }
};

FontLookup& Lookup() {
    static FontLookup lookup;
    return lookup;
}

std::string Match(FcConfig* config, const std::string& family) {
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (pattern == nullptr) {
        return file;
    }
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
    return file;
}

} // namespace

std::string FindFontFile(const std::string& family) {
    FontLookup& lookup = Lookup();
    std::lock_guard<std::mutex> lock(lookup.mutex);
    if (auto it = lookup.files.find(family); it != lookup.files.end()) {
        return it->second;
    }
    FcConfig* config = lookup.Config();
    if (config == nullptr) {
        return {};
    }
    std::string file = Match(config, family);
    lookup.files.emplace(family, file);
    return file;
}

int FontConfigLoads() {
    FontLookup& lookup = Lookup();
    std::lock_guard<std::mutex> lock(lookup.mutex);
    return lookup.loads;
}

} // namespace quolis
