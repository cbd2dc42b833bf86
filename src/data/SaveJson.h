#pragma once
// The campaign state as JSON: the layout the inspector's "save" command
// prints and the game's trace writes at exit (one object: the save date, the
// stage file, the opening flag, squad, cores, the numbering table and the BP
// pool).
#include "common/Json.h"
#include "data/CharaValues.h"
#include "data/GameState.h"

#include <string>

namespace quolis {

// The members of one creature (the caller opens and closes its object).
void WriteCharaJson(JsonWriter& json, const CharaValues& c);

// The whole state as one object. `stageFile` is the stage file a save of
// this state records; `tablesUsed` says whether the master tables were at
// hand when the state was read.
void WriteSaveJson(JsonWriter& json, const GameState& g, const std::string& stageFile,
                   bool tablesUsed);

} // namespace quolis
