#pragma once
// Script save data: the resume point and the variables of a script, with the
// date and time of saving, as a plain token file.
#include "data/DatArchive.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace quolis {

using IntVars = std::map<std::string, std::int32_t>;
using StringVars = std::map<std::string, std::string>;

// "GameData\Text\savedata\save" + n + ".Dat" and its save name "savedata\save" + n.
std::string ScriptSlotName(int n);
std::string ScriptSlotPath(int n);
// "GameData\Text\" + name + ".Dat".
std::string ScriptSavePath(std::string_view name);

// The tokens of a save file: the date key and the seven time fields, the
// script key and the script to resume, the variables key, then every string
// variable and every INT variable in name order. Variables whose name or
// value cannot be stored as a token (empty, or "/*") are left out.
TokenList BuildScriptSave(const std::tm& when, std::string_view resume, const StringVars& strings,
                          const IntVars& ints);

// The seven time fields after "セーブ日時" (years since 1900, weekday, month
// 0-11, day, hour, minute, second); nullopt when the key is missing.
std::optional<std::array<std::int32_t, 7>> ReadSaveTime(const TokenList& tokens);

// "データ" + n + "：" + the date and time with the weekday character, or
// "データ" + n + "：空き" when `time` is empty.
std::string ScriptSlotLabel(int n, const std::optional<std::array<std::int32_t, 7>>& time);

struct ScriptSaveContents {
    std::string resume; // the script to run, with ".Dat"
    StringVars strings;
    IntVars ints;                     // the INT records whose value reads as a number
    std::set<std::string> intRecords; // every INT record's name, number or not
};

// Reads a save file's tokens. nullopt when the script key (with its value) or
// the variables key is missing.
std::optional<ScriptSaveContents> ParseScriptSave(const TokenList& tokens);

} // namespace quolis
