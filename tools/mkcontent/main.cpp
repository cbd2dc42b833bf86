// mkcontent CONTENT_DIR OUT_DIR [--preview DIR]
// Generates the demo campaign's pictures, meshes, models, sounds and music
// for everything the game and the sources in CONTENT_DIR name, into
// OUT_DIR/{Texture,XFile,mdl,SE,MIDI}; datpack then packs each folder.
// mkcontent --icons OUT_DIR NAME
// Writes the program icon made from the campaign's emblem as
// OUT_DIR/<n>x<n>/apps/NAME.png in the sizes of a desktop icon theme.
#include "Mkcontent.h"

#include "platform/sdl/SdlFonts.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    using namespace quolis::mkcontent;
    if (argc == 4 && std::string(argv[1]) == "--icons") {
        std::string error;
        if (!WriteIcons(argv[2], argv[3], error)) {
            std::cerr << "mkcontent: " << error << "\n";
            return 1;
        }
        return 0;
    }
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--preview")) {
        std::cerr << "usage: mkcontent CONTENT_DIR OUT_DIR [--preview DIR]\n"
                     "       mkcontent --icons OUT_DIR NAME\n";
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string contentDir = argv[1], outDir = argv[2];
    const std::string previewDir = argc == 5 ? argv[4] : "";
    NameSet names;
    std::string error;
    const std::string scratch = (std::filesystem::path(outDir) / "tables").string();
    if (!CollectNames(contentDir, scratch, names, error)) {
        std::cerr << "mkcontent: " << error << "\n";
        return 1;
    }
    quolis::SdlFonts fonts;
    GenerateStats stats;
    if (!GenerateAll(names, outDir, previewDir, &fonts, stats, error)) {
        std::cerr << "mkcontent: " << error << "\n";
        return 1;
    }
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
    if (stats.textsWithoutFont > 0) {
        std::cerr << "mkcontent: warning: " << stats.textsWithoutFont
                  << " labels drawn without text: no font for their face (fonts-ipafont-gothic, "
                     "fonts-liberation)\n";
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "mkcontent: " << stats.pictures << " pictures, " << stats.meshes << " meshes, "
              << stats.models << " models, " << stats.sounds << " sounds, " << stats.music
              << " pieces of music in " << seconds << " s\n";
    return 0;
}
