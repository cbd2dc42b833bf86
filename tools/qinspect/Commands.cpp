// The chara, stage and save subcommands.
#include "Inspect.h"

#include "common/Path.h"
#include "common/Text.h"
#include "data/GameState.h"
#include "data/SaveJson.h"
#include "data/StageData.h"

#include <filesystem>

namespace quolis::inspect {
namespace {

void IntArray(JsonWriter& json, const std::vector<std::int32_t>& rows) {
    json.BeginArray();
    for (std::int32_t v : rows) {
        json.Int(v);
    }
    json.EndArray();
}

void Steps(JsonWriter& json, const std::vector<LevelStep>& steps) {
    json.BeginArray();
    for (const LevelStep& s : steps) {
        json.BeginObject();
        json.Key("fusionCount").Int(s.fusionCount);
        json.Key("level").Int(s.level);
        json.Key("value").Int(s.value);
        json.EndObject();
    }
    json.EndArray();
}

std::vector<std::int32_t> First99(const std::vector<std::int32_t>& t) {
    return std::vector<std::int32_t>(
        t.begin(),
        t.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(t.size(), kTableRows)));
}

void Cell(JsonWriter& json, const CellPos& c) {
    json.BeginArray();
    json.Int(static_cast<std::int64_t>(c.x));
    json.Int(static_cast<std::int64_t>(c.z));
    json.EndArray();
}

} // namespace

int RunChara(const Args& args, JsonWriter& json, std::string& error) {
    if (args.size() != 2) {
        error = "usage: chara GAMEDATA TYPE";
        return 2;
    }
    GameData data;
    if (!OpenGameData(args[0], data, error)) {
        return 1;
    }
    const CharaType* t = data.master.Find(Utf8ToCp932(args[1]));
    if (t == nullptr) {
        error = "no such type: " + args[1];
        return 1;
    }
    json.BeginObject();
    json.Key("name").String(t->name);
    json.Key("modelFolder").String(t->modelFolder);
    json.Key("namePrefix").String(t->namePrefix);
    json.Key("coreRate").Int(t->coreRate);
    const std::pair<const char*, CharaTable> tables[] = {
        {"HP", CharaTable::HP}, {"MP", CharaTable::MP}, {"AP", CharaTable::AP},
        {"DP", CharaTable::DP}, {"QP", CharaTable::QP}, {"NeedBP", CharaTable::NeedBP},
        {"BP", CharaTable::BP}};
    for (const auto& [key, table] : tables) {
        json.Key(key);
        IntArray(json, First99(t->Table(table)));
    }
    json.Key("MblP");
    Steps(json, t->mblP);
    json.Key("RiseP");
    Steps(json, t->riseP);
    json.Key("metalArms");
    json.BeginArray();
    for (const auto& [name, e] : t->arms) {
        json.BeginObject();
        json.Key("name").String(name);
        json.Key("fusionCount").Int(e.fusionCount);
        json.Key("level").Int(e.level);
        if (const MARecord* r = data.arms.Find(name)) {
            json.Key("range").Int(r->range);
            json.Key("power").Int(r->power);
            json.Key("mpCost").Int(r->mpCost);
        }
        json.EndObject();
    }
    json.EndArray();
    json.Key("metalArmsByCost");
    json.BeginArray();
    for (const auto& [cost, name] : t->armsByCost) {
        json.String(name);
    }
    json.EndArray();
    json.EndObject();
    return 0;
}

int RunStage(const Args& args, JsonWriter& json, std::string& error) {
    if (args.size() != 2) {
        error = "usage: stage GAMEDATA FILE";
        return 2;
    }
    GameData data;
    if (!OpenGameData(args[0], data, error)) {
        return 1;
    }
    const std::string file = Utf8ToCp932(args[1]);
    StageData s;
    if (!s.ReadBattleData(*data.content, file, data.master, data.arms) ||
        !s.ReadFloor(*data.content, file, data.floorTex, data.floorObj)) {
        error = "cannot read the stage file " + args[1];
        return 1;
    }
    s.PlaceEnemies();
    json.BeginObject();
    json.Key("information");
    json.BeginObject();
    json.Key("stageName").String(s.stageName);
    json.Key("stageName2").String(s.stageName2);
    json.Key("stageNumber").Int(s.stageNumber);
    json.Key("sceneryMesh").String(s.sceneryMesh);
    json.Key("sceneryPosition");
    json.BeginArray();
    for (float v : s.sceneryPosition) {
        json.Float(v);
    }
    json.EndArray();
    json.Key("sceneryAngle");
    json.BeginArray();
    for (float v : s.sceneryAngle) {
        json.Float(v);
    }
    json.EndArray();
    json.Key("cameraAngle").Int(s.cameraAngle);
    json.Key("openingEvent").String(s.openingEvent);
    json.Key("closingEvent").String(s.closingEvent);
    json.Key("ending").Int(s.ending);
    json.Key("nextStageFile").String(s.nextStageFile);
    json.Key("openingStory").String(s.openingStory);
    json.Key("closingStory").String(s.closingStory);
    json.Key("allyMusic").String(s.allyMusic);
    json.Key("enemyMusic").String(s.enemyMusic);
    json.Key("places");
    json.BeginArray();
    for (const auto& p : s.places) {
        json.String(p);
    }
    json.EndArray();
    json.Key("nextCycle").String(s.nextCycle);
    json.Key("eventBonus").Int(s.eventBonus);
    json.EndObject();

    json.Key("enemies");
    json.BeginArray();
    for (const auto& [name, c] : s.EnemyUnits) {
        json.BeginObject();
        WriteCharaJson(json, c);
        // Placement at battle start.
        json.Key("marker").String(c.Marker());
        json.Key("cell");
        json.BeginArray();
        json.Int(c.CellX());
        json.Int(c.CellY());
        json.EndArray();
        json.Key("direction").String(c.Direction());
        json.EndObject();
    }
    json.EndArray();

    json.Key("floor");
    json.BeginObject();
    json.Key("width").Int(s.floorWidth);
    json.Key("depth").Int(s.floorDepth);
    // Rows from row 0 (nearest the viewer) upwards; column 0 first.
    const auto stringGrid = [&](const char* key, const std::vector<std::string>& grid) {
        json.Key(key);
        json.BeginArray();
        for (std::int32_t y = 0; y < s.floorDepth; ++y) {
            json.BeginArray();
            for (std::int32_t x = 0; x < s.floorWidth; ++x) {
                json.String(grid[GridIndex(x, y)]);
            }
            json.EndArray();
        }
        json.EndArray();
    };
    const auto charGrid = [&](const char* key, const std::vector<char>& grid) {
        json.Key(key);
        json.BeginArray();
        for (std::int32_t y = 0; y < s.floorDepth; ++y) {
            std::string row;
            for (std::int32_t x = 0; x < s.floorWidth; ++x) {
                const char c = grid[GridIndex(x, y)];
                row += (c == 0 || static_cast<unsigned char>(c) >= 0x80) ? ' ' : c;
            }
            json.String(row);
        }
        json.EndArray();
    };
    stringGrid("texture", s.textureGrid);
    stringGrid("object", s.objectGrid);
    json.Key("height");
    json.BeginArray();
    for (std::int32_t y = 0; y < s.floorDepth; ++y) {
        json.BeginArray();
        for (std::int32_t x = 0; x < s.floorWidth; ++x) {
            json.Int(s.Height(x, y));
        }
        json.EndArray();
    }
    json.EndArray();
    charGrid("marker", s.markerGrid);
    charGrid("facing", s.facingGrid);
    json.Key("allyStarts");
    json.BeginArray();
    for (const CellPos& c : s.allyStarts) {
        Cell(json, c);
    }
    json.EndArray();
    json.Key("enemyStarts");
    json.BeginObject();
    for (const auto& [letter, c] : s.enemyStarts) {
        json.Key(std::string(1, letter));
        Cell(json, c);
    }
    json.EndObject();
    json.EndObject();
    json.EndObject();
    return 0;
}

bool LoadSaveFile(const std::string& file, const GameData& data, GameState& g, std::string& error) {
    // The secure reader gives the file name the E-name rule; accept either
    // the game's name ("Save3.Dat") or the name on disk ("Save3E.Dat"). The
    // rule changes the first '.' of the path it is given, so the reader gets
    // the bare file name, resolved against the file's folder as the game
    // root: folders such as "." or "saves.v2" are left alone.
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path given = fs::absolute(fs::path(file), ec).lexically_normal();
    const fs::path folder = given.parent_path();
    std::string name = given.filename().string();
    if (!fs::exists(folder / ApplyEName(name), ec)) {
        const auto dot = name.find('.');
        if (dot != std::string::npos && dot > 0 && name[dot - 1] == 'E') {
            name.erase(dot - 1, 1);
        }
    }
    const std::string oldRoot = GameRoot();
    SetGameRoot(folder.string());
    CDatArchive secure(true, false);
    const bool loaded = g.Load(secure, Utf8ToCp932(name), data.master, data.arms);
    SetGameRoot(oldRoot);
    if (!loaded) {
        error = "cannot read the save file " + file;
        return false;
    }
    return true;
}

int RunSave(const Args& args, JsonWriter& json, std::string& error) {
    if (args.empty() || args.size() > 2) {
        error = "usage: save FILE [GAMEDATA]";
        return 2;
    }
    GameData data;
    if (args.size() == 2 && !OpenGameData(args[1], data, error)) {
        return 1;
    }
    GameState g;
    if (!LoadSaveFile(args[0], data, g, error)) {
        return 1;
    }
    WriteSaveJson(json, g, g.stageFile, args.size() == 2);
    return 0;
}

} // namespace quolis::inspect
