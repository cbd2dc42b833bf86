#include "Inspect.h"

#include "common/Path.h"
#include "common/Text.h"

#include <filesystem>

namespace quolis::inspect {

bool OpenGameData(const std::string& folder, GameData& data, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path dir = fs::absolute(fs::path(folder), ec);
    if (ec || !fs::is_directory(dir, ec)) {
        error = "not a folder: " + folder;
        return false;
    }
    // The game root is the folder that holds "GameData".
    fs::path root;
    if (fs::is_directory(dir / "GameData", ec)) {
        root = dir;
    } else if (dir.filename() == "GameData" ||
               (dir.filename().empty() && dir.parent_path().filename() == "GameData")) {
        root = (dir.filename().empty() ? dir.parent_path() : dir).parent_path();
    } else {
        error = "no GameData folder at " + folder;
        return false;
    }
    SetGameRoot(root.string());
    const bool archives = fs::is_regular_file(root / "GameData" / "Data" / "Data.Dat", ec);
    data.content = std::make_unique<CDatArchive>(false, archives);
    bool ok = data.arms.Load(*data.content);
    ok = data.direction.Load(*data.content) && ok;
    ok = data.height.Load(*data.content) && ok;
    ok = data.master.Load(*data.content, data.arms) && ok;
    ok = data.floorTex.Load(*data.content) && ok;
    ok = data.floorObj.Load(*data.content) && ok;
    if (!ok) {
        error = std::string("cannot read the master tables (") +
                (archives ? "archive" : "loose-file") + " mode) under " + root.string();
        return false;
    }
    return true;
}

} // namespace quolis::inspect
