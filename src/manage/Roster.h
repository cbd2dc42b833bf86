#pragma once
// Squad and core case rules: limits, creature numbers and names, the chance
// that a beaten enemy leaves a core, and picking cores up.
#include "common/Random.h"
#include "data/CharaMaster.h"
#include "data/CharaValues.h"
#include "data/GameState.h"

#include <cstdint>
#include <string>

namespace quolis {

inline constexpr std::int32_t kCoreCaseCapacity = 9;
inline constexpr std::int32_t kMinSquadSize = 3;
// The squad maximum before the first visit of the menu hub.
inline constexpr std::int32_t kInitialSquadMax = 5;

// The squad maximum for the current stage's name: "ブロックＡ" 3, "ブロックＢ" 5,
// "ブロックＣ" 8, "ブロックＤ" 10, anything else 10.
std::int32_t SquadMaxForStage(const std::string& stageName);

// Gives the creature the next number of its type and records it.
void NextNumber(GameState& state, CharaValues& c);
// Name = the type's name prefix followed by the number in decimal.
void AssignName(const CharaMaster& master, CharaValues& c);

// The core drop draw for a core rate (clamped to 0..100): a list of r ones and
// 100 - r zeros, shuffled, one entry picked. Draws from the generator as it
// stands (BecomesCore seeds it once for the whole decision).
bool CoreDropDraw(std::int32_t coreRate, GameRandom& random);

// Turns a beaten enemy into a core lying where it fell: core flag, levels
// split by 0.6, the final "Ｅ" of its type removed, number 0, empty name.
void MakeCore(CharaValues& c);

// Decides whether a beaten enemy leaves a core and converts it when it does.
// Types "ＱＬ－１Ｅ" and "ＱＬ－２Ｅ" never leave one.
bool BecomesCore(CharaValues& enemy, const CharaMaster& master, bool alwaysCore,
                 GameRandom& random);

enum PickUpResult : std::int32_t { kPickUpNothing = 0, kPickedUp = 1, kCoreCaseFull = 2 };

// A squad creature ended its move: a core lying on its cell goes into the
// core case (numbered and named) unless the case is full.
std::int32_t PickUpCore(const CharaValues& mover, CharaMap& fieldCores, GameState& state,
                        const CharaMaster& master);

} // namespace quolis
