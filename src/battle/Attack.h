#pragma once
// Attack rules: usable commands and ranges, the side, rear and height
// relations with their bonus, the damage roll, and what follows an attack
// (MP payment, beaten units, BP and the core drop).
#include "battle/Field.h"
#include "common/Random.h"
#include "data/BonusTables.h"
#include "data/CharaMaster.h"

#include <cstdint>
#include <string>

namespace quolis {

// The tables the attack rules read.
struct BonusTables {
    const DirectionBonus* direction = nullptr;
    const HeightBonus* height = nullptr;
};

struct AttackBonusResult {
    std::int32_t direction = 0;
    std::int32_t height = 0;
    std::string directionLabel; // "後方攻撃", "側方攻撃" or empty
    std::string heightLabel;    // "下方攻撃", "上方攻撃" or empty
    std::int32_t Sum() const { return direction + height; }
};

// The cell triple meaning "the creature's own cell".
inline constexpr CellPos kOwnCell{-1.0f, -1.0f, -1.0f};

// Direction and height bonus of an attack with key `key` (the distance). The
// cells are the creatures' own unless explicit (x, 0, y) triples are given.
AttackBonusResult AttackBonus(const StageData& stage, const BonusTables& tables,
                              const CharaValues& attacker, const CharaValues& target,
                              std::int32_t key, CellPos attackerCell = kOwnCell,
                              CellPos targetCell = kOwnCell);

// Rear: behind the target on its own line; side: level with it across its
// line. A target facing no direction has neither.
bool IsBehindFrom(Cell from, const CharaValues& target);
bool IsBesideFrom(Cell from, const CharaValues& target);
inline bool IsBehind(const CharaValues& attacker, const CharaValues& target) {
    return IsBehindFrom(CellOf(attacker), target);
}
inline bool IsBeside(const CharaValues& attacker, const CharaValues& target) {
    return IsBesideFrom(CellOf(attacker), target);
}
// 0 < height here - target height <= the creature's RiseP.
bool IsAboveWithin(const CharaValues& creature, std::int32_t here, std::int32_t targetHeight);

// Largest range among the commands with MP cost <= MP; 1 when there is none
// (the player's measure).
std::int32_t LargestUsableRange(const CharaValues& c);
// Largest range among the commands with MP cost < MP; 1 when there is none
// (the enemy's reach r).
std::int32_t EnemyReach(const CharaValues& c);
// Some command has range >= distance (MP not considered).
bool HasRange(const CharaValues& c, std::int32_t distance);

// The damage roll: reseeds the generator from the calendar, then
// VaryRoll(AP, 1, 1.2) + VaryRoll(trunc((lv * 0.3 + 1) * power), 1, 1.2)
// + VaryRoll(trunc((lv * 0.3 + 1) * bonus), 1, 1.2) - VaryRoll(DP, 0.6, 0.8),
// never below 0. A command the attacker does not own has power 0.
std::int32_t RollDamage(GameRandom& random, const CharaValues& attacker, const CharaValues& target,
                        const std::string& command, std::int32_t bonus);

// The first command in MP cost order whose trial roll beats the target's HP
// with a fifth to spare, that the creature can pay and that reaches
// `distance`; empty when none, or when the height step exceeds its RiseP.
std::string ChooseKillingCommand(GameRandom& random, const CharaValues& self,
                                 const CharaValues& target, std::int32_t distance,
                                 std::int32_t ownHeight, std::int32_t targetHeight,
                                 std::int32_t bonus);

// MP := MP - cost of the command (clamped at 0).
void PayForCommand(CharaValues& c, const std::string& command);

// Whether a beaten enemy leaves a core (converting it when it does).
bool CoreDrop(CharaValues& enemy, const CharaMaster& master, bool alwaysCore, GameRandom& random);

struct AttackOutcome {
    bool beaten = false;
    bool coreDropped = false;
    std::int32_t bpGained = 0;
};

// After the attack: the attacker pays; a beaten enemy adds its BP to the
// battle's, may leave a core in FieldCores, and leaves EnemyUnits; a beaten
// player unit leaves PlayerUnits; the attacker's turn is over. `target` must
// be an entry of EnemyUnits (targetIsEnemy) or of PlayerUnits.
AttackOutcome FinishAttack(StageData& stage, CharaValues& attacker, const std::string& command,
                           CharaMap::iterator target, bool targetIsEnemy, const CharaMaster& master,
                           bool alwaysCore, GameRandom& random);

} // namespace quolis
