// The names to generate: what the game asks for by itself, what the tables,
// stages and scripts of content/ name, and the animations of every creature
// type read through the game's own table readers.
#include "Checker.h"
#include "HardNames.h"
#include "Mkcontent.h"

#include "common/Path.h"
#include "common/Text.h"
#include "data/CharaMaster.h"
#include "data/DatArchive.h"
#include "data/MAMaster.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quolis::mkcontent {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Sorts one file name by its extension into the set of its kind.
void AddByExtension(const std::string& name, NameSet& out) {
    const std::string low = Lower(name);
    if (EndsWith(low, ".bmp")) {
        out.textures.insert(name);
    } else if (EndsWith(low, ".x")) {
        out.meshes.insert(name);
    } else if (EndsWith(low, ".mdl")) {
        out.models.insert(name);
    } else if (EndsWith(low, ".wav")) {
        out.sounds.insert(name);
    } else if (EndsWith(low, ".mid")) {
        out.music.insert(name);
    }
}

// Every whitespace-separated token of the text sources that names an asset
// file, and the pieces scripts play by their bare name ("MIDIPlay Story1").
void ScanSources(const std::string& contentDir, NameSet& out) {
    std::error_code ec;
    for (const char* kind : {"Data", "Stage", "Text"}) {
        for (auto it = fs::recursive_directory_iterator(fs::path(contentDir) / kind, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_regular_file()) {
                continue;
            }
            std::ifstream in(it->path(), std::ios::binary);
            const std::string utf8((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            std::istringstream words(Utf8ToCp932(utf8));
            std::string word, previous;
            while (words >> word) {
                if (previous == "MIDIPlay") {
                    out.music.insert(word + ".mid");
                }
                const auto dot = word.rfind('.');
                if (dot != std::string::npos && dot > 0 && word.find('\\') != std::string::npos) {
                    AddByExtension(word, out);
                } else if (dot != std::string::npos && dot > 0) {
                    const std::string low = Lower(word);
                    if (EndsWith(low, ".mid") || EndsWith(low, ".wav")) {
                        AddByExtension(word, out);
                    }
                }
                previous = word;
            }
        }
    }
}

} // namespace

bool CollectNames(const std::string& contentDir, const std::string& scratch, NameSet& out,
                  std::string& error) {
    out = NameSet{};
    for (const auto& hard : qcheck::HardCodedNames()) {
        switch (hard.kind) {
        case qcheck::AssetKind::Texture:
            out.textures.insert(hard.name);
            break;
        case qcheck::AssetKind::Mesh:
            out.meshes.insert(hard.name);
            break;
        case qcheck::AssetKind::Model:
            out.models.insert(hard.name);
            break;
        case qcheck::AssetKind::Sound:
            out.sounds.insert(hard.name);
            break;
        case qcheck::AssetKind::Music:
            out.music.insert(hard.name);
            break;
        }
    }
    for (const auto& anim : qcheck::BaseAnimations()) {
        out.models.insert("Core\\" + anim + ".mdl");
    }
    for (const auto& attack : qcheck::AttackTable()) {
        out.metalArms.push_back(attack.name);
        out.textures.insert(qcheck::BattleButtonName(attack.name));
    }
    ScanSources(contentDir, out);

    // The creature types: their model folders and the Metal Arms each learns,
    // read with the game's readers from a CP932 copy of the tables.
    const std::string gameData = (fs::path(scratch) / "GameData").string();
    if (!qcheck::WriteLooseTree(contentDir, gameData, error)) {
        return false;
    }
    SetGameRoot(scratch);
    CDatArchive reader(false, false);
    MAMaster arms;
    CharaMaster master;
    const bool loaded = arms.Load(reader) && master.Load(reader, arms);
    std::error_code ec;
    fs::remove_all(gameData, ec);
    if (!loaded) {
        error = "the creature tables in " + contentDir + "/Data cannot be read";
        return false;
    }
    for (const auto& [name, type] : master.Types()) {
        auto& anims = out.animationsByFolder[type.modelFolder];
        for (const auto& base : qcheck::BaseAnimations()) {
            anims.insert(base);
        }
        for (const auto& attack : qcheck::AttackTable()) {
            if (type.arms.count(attack.name) != 0) {
                anims.insert(attack.animations.begin(), attack.animations.end());
            }
        }
        for (const auto& anim : anims) {
            out.models.insert(type.modelFolder + "\\" + anim + ".mdl");
        }
    }
    return true;
}

} // namespace quolis::mkcontent
