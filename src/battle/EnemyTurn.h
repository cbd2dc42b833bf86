#pragma once
// The enemy turn: the order in which enemies act and the decision of each
// one (target, command, cell and path), given as data so that the battle
// scene can play it out step by step. Play() carries a decision out at once
// (no animation) for tests and tools.
#include "battle/Attack.h"
#include "battle/Reach.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quolis {

enum class EnemyOutcome {
    AttackHere,     // attack from the cell it stands on
    MoveThenAttack, // walk `movePath`, then attack
    Approach,       // walk `approachPath` toward the nearest player unit, no attack
    NoStep,         // cannot attack and cannot take a single step
};
const char* OutcomeName(EnemyOutcome o);

struct EnemyDecision {
    std::string enemyName;
    Cell from;
    std::int32_t reach = 1; // r: largest range among commands costing less than MP
    EnemyOutcome outcome = EnemyOutcome::NoStep;

    // Attack outcomes.
    const CharaValues* target = nullptr; // entry of PlayerUnits
    std::string targetName;
    Cell targetCell;
    std::string chosenCommand;             // killing command settled on in advance, or empty
    std::int32_t chosenPass = -1;          // pass that made the last choice
    std::multimap<float, Cell> candidates; // cells considered, by distance from `from`
    Cell bestCell;                         // most recently accepted candidate
    bool hasBestCell = false;
    Path movePath; // BuildPath order: destination at the front, walked from the back
    // The attack as made from `attackCell`: the chosen command, else the
    // strongest affordable one whose area holds the target. Empty when there
    // is none: the enemy then ends its action without attacking.
    Cell attackCell;
    std::string attackCommand;
    std::int32_t attackDistance = 0;
    AttackBonusResult bonus;

    // Approach outcome.
    const CharaValues* approachTarget = nullptr;
    std::string approachTargetName;
    Path approachPath; // walked from the front
};

struct EnemyActionResult {
    bool attacked = false;
    std::int32_t damage = 0;
    AttackOutcome attack;
};

class EnemyTurn {
public:
    EnemyTurn(StageData& stage, BonusTables tables, const CharaMaster& master, bool alwaysCore,
              GameRandom& random);

    // The banner has gone: the first enemy in name order acts first.
    void Begin();
    enum class Check { Defeat, TurnOver, Act };
    // Before each action: defeat when no player unit has HP above 0; turn
    // over (every enemy's flags cleared) when every enemy has moved and
    // acted; else the next-enemy list is rebuilt and the acting enemy acts.
    Check CheckNext();
    CharaValues* Acting();
    // The acting enemy's decision. Leaves the reach grid as the scene shows
    // it last: the attack area of the command (red) for an attack, the move
    // area (blue) for an approach. Updates the enemy's approach memory.
    EnemyDecision Decide();
    // Carries a decision out at once: walks the path (facing each step),
    // attacks (damage roll, HP loss, payment, beaten unit leaves) and sets
    // the enemy's moved and acted flags.
    EnemyActionResult Play(const EnemyDecision& d);
    // After an action: the nearest unfinished enemy acts next.
    void Next();

    const std::multimap<float, CharaMap::iterator>& NextEnemies() const { return nextEnemies_; }
    const ReachGrid& GetReachGrid() const { return grids_->reach; }
    const ReachGrid& GetTargetGrid() const { return grids_->target; }

private:
    struct Grids {
        ReachGrid reach;
        ReachGrid target;
    };
    void BuildNextEnemies();
    void PlanAttack(CharaValues& enemy, EnemyDecision& d);
    void PlanApproach(CharaValues& enemy, EnemyDecision& d);

    StageData& stage_;
    BonusTables tables_;
    const CharaMaster& master_;
    bool alwaysCore_;
    GameRandom& random_;
    std::unique_ptr<Grids> grids_;
    CharaMap::iterator acting_;
    std::multimap<float, CharaMap::iterator> nextEnemies_;
};

struct EnemyTurnRecord {
    EnemyDecision decision;
    EnemyActionResult result;
};

// Runs a whole enemy turn at once; every action goes to `log` when given.
EnemyTurn::Check RunEnemyTurn(EnemyTurn& turn, std::vector<EnemyTurnRecord>* log);

} // namespace quolis
