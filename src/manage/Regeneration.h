#pragma once
// Regeneration turns a core back into a squad creature, unchanged in its
// values, while the squad has room; discard destroys a squad creature (never
// below the minimum squad size) or a core.
#include "data/GameState.h"

#include <cstdint>
#include <string>

namespace quolis {

// True when the squad has room for one more creature under `squadMax`.
bool SquadHasRoom(const GameState& state, std::int32_t squadMax);

// Moves core `core` from the core case into the squad under its name with
// the core flag cleared. False (nothing changes) when the squad is full or
// the core is not in the case.
bool Regenerate(GameState& state, CharaMap::iterator core, std::int32_t squadMax);

enum class DiscardResult {
    Discarded,
    AtMinimum, // the squad is at its minimum size; the creature stays
    NotFound,
};
// Removes a squad creature, as long as the squad holds more than the minimum.
DiscardResult DiscardCreature(GameState& state, CharaMap::iterator creature);
// Removes a core from the core case.
DiscardResult DiscardCore(GameState& state, CharaMap::iterator core);

// The position of `it` in its map's name order (0 for the first), and the
// entry at a position (end when the map is shorter): a scene keeps its
// place in a list across changes to the map this way.
std::int32_t IndexOf(const CharaMap& map, CharaMap::const_iterator it);
CharaMap::iterator AtIndex(CharaMap& map, std::int32_t index);

} // namespace quolis
