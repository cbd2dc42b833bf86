#pragma once
// Level up: investing BP from the pool into one squad creature. A creature's
// level cap depends on the rest of the squad (the squad is raised evenly);
// level 20 ends a fusion tier and is passed only by fusion.
#include "data/CharaMaster.h"
#include "data/DatArchive.h"
#include "data/GameState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quolis {

inline constexpr std::int32_t kTierTopLevel = 20;
inline constexpr std::int32_t kBPUnit = 100;

// The level cap of squad creature `x`: from the others' absolute levels and
// fusion counts. A creature alone in its squad has no one to keep even with:
// its cap is the top of its tier (20).
std::int32_t LevelCap(const CharaMap& squad, CharaMap::const_iterator x);

// BP still to invest for `x` to reach `cap` (NeedBP row of the absolute level
// one below the cap's, minus what it holds already; may be 0 or less).
std::int32_t NeedToCap(const CharaType& type, const CharaValues& x, std::int32_t cap);
// BP still to invest for the next level (the "ＮＥＸＴ" display).
std::int32_t NeedToNext(const CharaType& type, const CharaValues& x);

// The amount of BP to invest, as the player sets it.
enum class AmountStep {
    Changed, // the amount moved (cue "方向キー")
    Refused, // nothing moved (cue "キャンセルキー")
    Zeroed,  // a decrease below one unit made it 0 (cue "キャンセルキー")
};
// One increase: the next unit, or exactly the remaining need when the next
// unit would pass it, as long as the pool covers it.
AmountStep IncreaseAmount(std::int32_t& amount, std::int32_t need, std::int32_t pool);
// One decrease by a unit; below one unit the amount becomes 0.
AmountStep DecreaseAmount(std::int32_t& amount);

struct LevelUpResult {
    std::int32_t levels = 0;          // levels gained
    std::vector<std::string> newArms; // Metal Arms learnt, in name order
};

// Invests `bp` (1…pool) into squad creature `x`: level gains by the NeedBP
// rows, values grown by the table differences, then the mobility and rise
// steps and Metal Arms learning. Nothing changes (and levels 0 is returned)
// for an amount below 1 or above the pool.
LevelUpResult ApplyLevelUp(GameState& state, CharaValues& x, std::int32_t bp, const CharaType& type,
                           const MAMaster& arms);

// The result narration for the script's inline run: the levels gained, then
// the newly learnt Metal Arms two to a message.
TokenList LevelUpNarration(const LevelUpResult& result);

// The messages shown two names to a message (each name followed by two line
// feeds; an odd last name alone), then `closing`. Shared by level up and
// fusion.
void AppendArmsMessages(TokenList& out, const std::vector<std::string>& names,
                        const std::string& closing);

} // namespace quolis
