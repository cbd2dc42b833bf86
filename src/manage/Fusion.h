#pragma once
// Fusion: two squad creatures of the same fusion tier, both at level 15 or
// more, become one core of the next tier with values averaged from both.
#include "data/CharaMaster.h"
#include "data/DatArchive.h"
#include "data/GameState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quolis {

inline constexpr std::int32_t kFusionLevel = 15;

bool FusibleAlone(const CharaValues& c);
bool FusiblePair(const CharaValues& a, const CharaValues& b);

enum class FusionEntry {
    Open,          // fusion may start
    TooFewInSquad, // fewer than minimum squad size + 1 creatures
    CoreCaseFull,  // no room for the core
};
FusionEntry CheckFusionEntry(const GameState& state);

// The core two parents make; `inheritSecond` gives it the second parent's
// type, model folder and invested BP instead of the first's. Numbers it
// (recording the number in `state`) and names it.
CharaValues MakeFusedCore(const CharaValues& first, const CharaValues& second, bool inheritSecond,
                          GameState& state, const CharaMaster& master, const MAMaster& arms);

struct FusionResult {
    bool done = false;
    std::string coreName;
    std::vector<std::string> newArms; // the core's Metal Arms the inherited parent lacked
};

// Fuses two distinct squad creatures: the parents leave the squad and the
// core goes into the core case. Refused (nothing changes) when the pair is
// not fusible, when either is not in the squad, or when the core case has no
// room.
FusionResult Fuse(GameState& state, CharaMap::iterator first, CharaMap::iterator second,
                  bool inheritSecond, const CharaMaster& master, const MAMaster& arms);

// "合成により、コア…ができました・・・。" and the new Metal Arms two to a
// message, as a narration for the script's inline run.
TokenList FusionNarration(const FusionResult& result);

} // namespace quolis
