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

void WriteCharaFields(JsonWriter& json, const CharaValues& c) {
    json.Key("name").String(c.Name());
    json.Key("number").Int(c.Number());
    json.Key("type").String(c.TypeName());
    json.Key("modelFolder").String(c.ModelFolder());
    json.Key("core").Int(c.CoreFlag());
    json.Key("fusionCount").Int(c.FusionCount());
    json.Key("level").Int(c.Level());
    json.Key("level2").Int(c.Level2());
    json.Key("maxHP").Int(c.MaxHP());
    json.Key("HP").Int(c.HP());
    json.Key("maxMP").Int(c.MaxMP());
    json.Key("MP").Int(c.MP());
    json.Key("AP").Int(c.AP());
    json.Key("DP").Int(c.DP());
    json.Key("QP").Int(c.QP());
    json.Key("BP").Int(c.BP());
    json.Key("MblP").Int(c.MblP());
    json.Key("RiseP").Int(c.RiseP());
    json.Key("metalArms");
    json.BeginArray();
    for (const auto& [cost, name] : c.ArmsByCost()) {
        json.String(name);
    }
    json.EndArray();
}

} // namespace quolis::inspect
