#pragma once
// The content checker: loads a built GameData with the game's own readers and
// names every file that something refers to but that is missing, and every
// inconsistency between the tables, the stages, the saves and the scripts.
#include <string>
#include <vector>

namespace quolis::qcheck {

struct CheckOptions {
    std::string root;   // host folder that holds "GameData"
    bool loose = false; // read loose files instead of archives
};

// A file that something in the content or the game's code asks for.
struct RequiredFile {
    std::string kind;   // "texture", "mesh", "model", "sound", "music"
    std::string name;   // member name, UTF-8
    std::string usedBy; // the first user found, UTF-8
};

struct Report {
    std::vector<std::string> problems;  // UTF-8, one line each
    std::vector<std::string> pending;   // checks that cannot run yet (archive missing)
    std::vector<std::string> notes;     // what was checked
    std::vector<RequiredFile> required; // every binary file the content needs
    bool Ok() const { return problems.empty(); }
};

Report CheckGameData(const CheckOptions& options);

// Writes the UTF-8 sources of content/ (Data, Stage, Text) as CP932 loose
// files under `gameDataDir` (a "GameData" folder). False with a message when
// a file cannot be converted or written.
bool WriteLooseTree(const std::string& contentDir, const std::string& gameDataDir,
                    std::string& error);

} // namespace quolis::qcheck
