#pragma once
// The inspector's subcommands and the game data they share.
#include "common/Json.h"
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/DatArchive.h"
#include "data/FloorTables.h"
#include "data/GameState.h"
#include "data/MAMaster.h"

#include <memory>
#include <string>
#include <vector>

namespace quolis::inspect {

using quolis::JsonWriter;
using Args = std::vector<std::string>; // the arguments after the subcommand, UTF-8

struct Command {
    const char* name;
    const char* usage;
    // Writes JSON to `json` and returns 0, or writes a message to `error` and
    // returns non-zero.
    int (*run)(const Args& args, JsonWriter& json, std::string& error);
};

// Every subcommand, in the order the usage text lists them.
const std::vector<Command>& Commands();

// The master tables of a game data folder: a "GameData" folder (or the folder
// holding one) with archives, or with loose files in the same layout.
struct GameData {
    std::unique_ptr<CDatArchive> content;
    MAMaster arms;
    DirectionBonus direction;
    HeightBonus height;
    CharaMaster master;
    FloorTex floorTex;
    FloorObj floorObj;
};
bool OpenGameData(const std::string& folder, GameData& data, std::string& error);

// Reads a save file given by its game name or its name on disk.
bool LoadSaveFile(const std::string& file, const GameData& data, GameState& g, std::string& error);

int RunChara(const Args& args, JsonWriter& json, std::string& error);
int RunStage(const Args& args, JsonWriter& json, std::string& error);
int RunSave(const Args& args, JsonWriter& json, std::string& error);
int RunReach(const Args& args, JsonWriter& json, std::string& error);
int RunEnemyTurn(const Args& args, JsonWriter& json, std::string& error);

} // namespace quolis::inspect
