#include "platform/GameFolders.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace quolis {

namespace fs = std::filesystem;

namespace {

bool HoldsGameData(const fs::path& dir) {
    std::error_code ec;
    return fs::is_directory(dir / "GameData", ec);
}

} // namespace

DataLocation LocateGameData(const FolderSearch& search) {
    DataLocation l;
    if (!search.dataOption.empty()) {
        l.root = search.dataOption;
        return l;
    }
    if (!search.exeDir.empty() && HoldsGameData(search.exeDir)) {
        l.root = search.exeDir;
        return l;
    }
    if (HoldsGameData(".")) {
        return l; // the working directory
    }
    if (!search.exeDir.empty()) {
        fs::path share = fs::path(search.exeDir).parent_path() / "share" / "quolis";
        if (HoldsGameData(share)) {
            l.root = share.lexically_normal().string();
            l.installed = true;
            return l;
        }
    }
    if (!search.builtInDir.empty() && HoldsGameData(search.builtInDir)) {
        l.root = search.builtInDir;
        l.installed = true;
    }
    return l;
}

std::string ChooseUserFolder(const DataLocation& data, const UserFolderEnvironment& env,
                             bool dataWritable) {
    if (!env.userDirOption.empty()) {
        return env.userDirOption;
    }
    if (!data.installed && dataWritable) {
        return {};
    }
    // A relative XDG_DATA_HOME is invalid and ignored.
    if (!env.xdgDataHome.empty() && env.xdgDataHome[0] == '/') {
        return (fs::path(env.xdgDataHome) / "quolis").string();
    }
    if (!env.home.empty()) {
        return (fs::path(env.home) / ".local" / "share" / "quolis").string();
    }
    // Nowhere to go: keep the old place (a write there fails and says so).
    return {};
}

bool DataFolderWritable(const std::string& root) {
    fs::path game = (root.empty() ? fs::path(".") : fs::path(root)) / "GameData";
    std::error_code ec;
    if (!fs::is_directory(game, ec)) {
        // Nothing there yet: the game can write only if it may create it.
        return ::access(root.empty() ? "." : root.c_str(), W_OK | X_OK) == 0;
    }
    for (const fs::path& dir : {game, game / "Save", game / "Ini", game / "Text" / "savedata"}) {
        if (fs::is_directory(dir, ec) && ::access(dir.c_str(), W_OK | X_OK) != 0) {
            return false;
        }
    }
    return true;
}

bool PrepareUserFolder(const std::string& dir, std::string* error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    std::string why = ec ? ": " + ec.message() : std::string();
    if (ec || !fs::is_directory(dir, ec)) {
        *error = "cannot create the folder for saves and settings " + dir + why;
        return false;
    }
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        *error = "cannot write into the folder for saves and settings " + dir;
        return false;
    }
    return true;
}

} // namespace quolis
