#include "battle/EnemyTurn.h"

#include <algorithm>
#include <cstdlib>

namespace quolis {

const char* OutcomeName(EnemyOutcome o) {
    switch (o) {
    case EnemyOutcome::AttackHere:
        return "attack";
    case EnemyOutcome::MoveThenAttack:
        return "move-attack";
    case EnemyOutcome::Approach:
        return "approach";
    case EnemyOutcome::NoStep:
        return "no-step";
    }
    return "";
}

EnemyTurn::EnemyTurn(StageData& stage, BonusTables tables, const CharaMaster& master,
                     bool alwaysCore, GameRandom& random)
    : stage_(stage), tables_(tables), master_(master), alwaysCore_(alwaysCore), random_(random),
      grids_(std::make_unique<Grids>()), acting_(stage.EnemyUnits.end()) {}

void EnemyTurn::Begin() {
    acting_ = stage_.EnemyUnits.begin();
    BuildNextEnemies();
}

CharaValues* EnemyTurn::Acting() {
    return acting_ == stage_.EnemyUnits.end() ? nullptr : &acting_->second;
}

void EnemyTurn::BuildNextEnemies() {
    nextEnemies_.clear();
    if (acting_ == stage_.EnemyUnits.end()) {
        return;
    }
    const Cell from = CellOf(acting_->second);
    for (auto it = stage_.EnemyUnits.begin(); it != stage_.EnemyUnits.end(); ++it) {
        if (it == acting_ || (it->second.Acted() && it->second.Moved())) {
            continue;
        }
        nextEnemies_.emplace(CellDistance(from, CellOf(it->second)), it);
    }
}

EnemyTurn::Check EnemyTurn::CheckNext() {
    if (!AnyPlayerStanding(stage_)) {
        return Check::Defeat;
    }
    bool allDone = true;
    for (const auto& [name, e] : stage_.EnemyUnits) {
        if (!(e.Acted() && e.Moved())) {
            allDone = false;
            break;
        }
    }
    if (allDone || acting_ == stage_.EnemyUnits.end()) {
        for (auto& [name, e] : stage_.EnemyUnits) {
            e.SetActed(false);
            e.SetMoved(false);
        }
        return Check::TurnOver;
    }
    BuildNextEnemies();
    return Check::Act;
}

void EnemyTurn::Next() {
    if (!nextEnemies_.empty()) {
        acting_ = nextEnemies_.begin()->second;
    }
}

namespace {

struct Choice {
    const CharaValues* target = nullptr;
    std::string command;
    bool move = false;
    std::int32_t pass = -1;
};

} // namespace

EnemyDecision EnemyTurn::Decide() {
    EnemyDecision d;
    if (acting_ == stage_.EnemyUnits.end()) {
        return d;
    }
    CharaValues& e = acting_->second;
    d.enemyName = e.Name();
    d.from = CellOf(e);
    const std::int32_t r = EnemyReach(e);
    d.reach = r;
    const std::int32_t ex = d.from.x;
    const std::int32_t ey = d.from.y;
    const std::int32_t eh = stage_.Height(ex, ey);
    const std::int32_t mbl = e.MblP();
    const std::int32_t maxX = std::clamp(stage_.floorWidth, 0, kGridSize) - 1;
    const std::int32_t maxY = std::clamp(stage_.floorDepth, 0, kGridSize) - 1;

    // Highest absolute level first; equal levels latest name first.
    std::multimap<std::int32_t, const CharaValues*> targets;
    for (const auto& [name, p] : stage_.PlayerUnits) {
        targets.emplace(p.Level2(), &p);
    }

    Choice ch;
    auto bestCell = d.candidates.end();
    std::int32_t highest = targets.empty() ? 0 : targets.rbegin()->first;

    const auto here = [&](const CharaValues& t, std::int32_t n, int pass) {
        if (ch.target == nullptr) {
            ch = {&t, {}, false, pass};
        } else if (!ch.command.empty()) {
            if (ch.target->Level2() >= t.Level2()) {
                return;
            }
            ch = {&t, {}, false, pass};
        }
        if (t.Level2() < ch.target->Level2()) {
            return;
        }
        if (!HasRange(e, n)) {
            return;
        }
        const AttackBonusResult b = AttackBonus(stage_, tables_, e, t, n);
        std::string name = ChooseKillingCommand(random_, e, t, n, eh,
                                                stage_.Height(t.CellX(), t.CellY()), b.Sum());
        if (!name.empty()) {
            ch = {&t, std::move(name), false, pass};
        }
    };
    const auto move = [&](const CharaValues& t, Cell c, std::int32_t n, int pass) {
        const bool replace =
            ch.target == nullptr || (!ch.command.empty() && t.Level2() > ch.target->Level2());
        if (!ch.command.empty() && ch.target->Level2() >= t.Level2()) {
            return;
        }
        if (replace) {
            bestCell = d.candidates.emplace(CellDistance(d.from, c), c);
            ch = {&t, {}, true, pass};
        }
        if (t.Level2() < ch.target->Level2()) {
            return;
        }
        if (!HasRange(e, n)) {
            return;
        }
        const AttackBonusResult b =
            AttackBonus(stage_, tables_, e, t, n,
                        CellPos{static_cast<float>(c.x), 0.0f, static_cast<float>(c.y)});
        std::string name = ChooseKillingCommand(random_, e, t, n, stage_.Height(c.x, c.y),
                                                stage_.Height(t.CellX(), t.CellY()), b.Sum());
        if (!name.empty()) {
            bestCell = d.candidates.emplace(CellDistance(d.from, c), c);
            ch = {&t, std::move(name), true, pass};
        }
    };

    ReachGrid& reach = grids_->reach;
    ReachGrid& around = grids_->target;
    for (int pass = 0; pass < 12; ++pass) {
        // Once a command is settled only a strictly higher level can displace
        // it, and every step of both procedures stops before any effect.
        if (!ch.command.empty() && ch.target->Level2() >= highest) {
            break;
        }
        const bool odd = pass % 2 == 1;
        reach.Clear();
        if (!odd) {
            FloodReach(stage_, reach, e, ex, ey, r + 1, kBlockCores);
        } else {
            FloodReach(stage_, reach, e, ex, ey, mbl + 1,
                       kBlockPlayers | kBlockEnemies | kBlockCores);
        }
        for (auto it = targets.rbegin(); it != targets.rend(); ++it) {
            const CharaValues& t = *it->second;
            if (!ch.command.empty() && ch.target->Level2() >= t.Level2()) {
                continue; // would stop at once
            }
            const Cell tc = CellOf(t);
            const std::int32_t th = stage_.Height(tc.x, tc.y);
            if (!odd) {
                const std::int32_t v = reach.At(tc);
                if (v < 1) {
                    continue;
                }
                const std::int32_t n = r + 1 - v;
                bool ok = true;
                switch (pass) {
                case 0:
                    ok = IsBehind(e, t) && IsAboveWithin(e, eh, th);
                    break;
                case 2:
                    ok = IsBeside(e, t) && IsAboveWithin(e, eh, th);
                    break;
                case 4:
                    ok = IsBehind(e, t);
                    break;
                case 6:
                    ok = IsAboveWithin(e, eh, th);
                    break;
                case 8:
                    ok = IsBeside(e, t);
                    break;
                default:
                    break;
                }
                if (ok) {
                    here(t, n, pass);
                }
                continue;
            }
            around.Clear();
            FloodReach(stage_, around, e, tc.x, tc.y, r + 1, kBlockNone);
            const std::int32_t x0 = std::max(ex < tc.x ? ex - mbl : tc.x - r, 0);
            const std::int32_t x1 = std::min(ex < tc.x ? tc.x + r : ex + mbl, maxX);
            const std::int32_t y0 = std::max(ey < tc.y ? ey - mbl : tc.y - r, 0);
            const std::int32_t y1 = std::min(ey < tc.y ? tc.y + r : ey + mbl, maxY);
            for (std::int32_t x = x0; x <= x1; ++x) {
                for (std::int32_t y = y0; y <= y1; ++y) {
                    const std::int32_t tv = around.At(x, y);
                    if (tv <= 0 || reach.At(x, y) <= 0) {
                        continue;
                    }
                    if (!ch.command.empty() && ch.target->Level2() >= t.Level2()) {
                        break;
                    }
                    const Cell c{x, y};
                    const std::int32_t ch_ = stage_.Height(x, y);
                    bool ok = true;
                    switch (pass) {
                    case 1:
                        ok = IsBehindFrom(c, t) && IsAboveWithin(e, ch_, th);
                        break;
                    case 3:
                        ok = IsBesideFrom(c, t) && IsAboveWithin(e, ch_, th);
                        break;
                    case 5:
                        ok = IsBehindFrom(c, t);
                        break;
                    case 7:
                        ok = IsAboveWithin(e, ch_, th);
                        break;
                    case 9:
                        ok = IsBesideFrom(c, t);
                        break;
                    default:
                        break;
                    }
                    if (ok) {
                        move(t, c, r + 1 - tv, pass);
                    }
                }
            }
        }
    }

    d.chosenPass = ch.pass;
    if (ch.target != nullptr) {
        d.target = ch.target;
        d.targetName = ch.target->Name();
        d.targetCell = CellOf(*ch.target);
        d.chosenCommand = ch.command;
    }
    if (bestCell != d.candidates.end()) {
        d.hasBestCell = true;
        d.bestCell = bestCell->second;
    }
    if (ch.target != nullptr && !ch.move) {
        d.outcome = EnemyOutcome::AttackHere;
        d.attackCell = d.from;
        PlanAttack(e, d);
    } else if (ch.target != nullptr && d.hasBestCell) {
        d.outcome = EnemyOutcome::MoveThenAttack;
        d.attackCell = d.bestCell;
        reach.Clear();
        FloodReach(stage_, reach, e, ex, ey, mbl + 1, kBlockPlayers | kBlockEnemies | kBlockCores);
        BuildPath(stage_, reach, e, d.bestCell.x, d.bestCell.y, mbl, d.movePath);
        PlanAttack(e, d);
    } else {
        PlanApproach(e, d);
    }
    return d;
}

void EnemyTurn::PlanAttack(CharaValues& e, EnemyDecision& d) {
    e.Visited().clear();
    // The fallback search fills the scratch grid; the attack area itself is
    // the reach grid, the one the battle shows in red.
    ReachGrid& scratch = grids_->target;
    ReachGrid& area = grids_->reach;
    const Cell at = d.attackCell;
    std::string command = d.chosenCommand;
    if (command.empty()) {
        // Strongest first; equal powers in the listing order.
        std::vector<const MARecord*> byPower;
        for (const auto& [cost, name] : e.ArmsByCost()) {
            if (const MARecord* arm = e.FindArm(name)) {
                byPower.push_back(arm);
            }
        }
        std::stable_sort(byPower.begin(), byPower.end(),
                         [](const MARecord* a, const MARecord* b) { return a->power > b->power; });
        for (const MARecord* arm : byPower) {
            if (arm->mpCost > e.MP()) {
                continue;
            }
            scratch.Clear();
            FloodReach(stage_, scratch, e, at.x, at.y, arm->range + 1, kBlockNone);
            if (scratch.At(d.targetCell) >= 1) {
                command = arm->name;
                break;
            }
        }
    }
    d.attackCommand = command;
    if (command.empty()) {
        return; // nothing affordable reaches: the action ends without an attack
    }
    const MARecord* arm = e.FindArm(command);
    const std::int32_t range = arm ? arm->range : 0;
    area.Clear();
    FloodReach(stage_, area, e, at.x, at.y, range + 1, kBlockNone);
    d.attackDistance = range + 1 - area.At(d.targetCell);
    d.bonus = AttackBonus(stage_, tables_, e, *d.target, d.attackDistance,
                          CellPos{static_cast<float>(at.x), 0.0f, static_cast<float>(at.y)});
}

void EnemyTurn::PlanApproach(CharaValues& e, EnemyDecision& d) {
    ReachGrid& reach = grids_->reach;
    const std::int32_t blockers = kBlockPlayers | kBlockEnemies | kBlockCores;
    reach.Clear();
    FloodReach(stage_, reach, e, d.from.x, d.from.y, 2, blockers);
    const bool canStep =
        reach.At(d.from.x, d.from.y + 1) > 0 || reach.At(d.from.x, d.from.y - 1) > 0 ||
        reach.At(d.from.x - 1, d.from.y) > 0 || reach.At(d.from.x + 1, d.from.y) > 0;
    const CharaValues* nearest = nullptr;
    float best = 0;
    for (const auto& [name, p] : stage_.PlayerUnits) {
        const float dist = CellDistance(d.from, CellOf(p));
        if (nearest == nullptr || dist < best) {
            nearest = &p;
            best = dist;
        }
    }
    if (!canStep || nearest == nullptr) {
        d.outcome = EnemyOutcome::NoStep;
        e.Visited().clear();
        return;
    }
    d.outcome = EnemyOutcome::Approach;
    if (nearest != e.ApproachTarget()) {
        e.Visited().clear();
        e.SetApproachTarget(nearest);
    }
    d.approachTarget = nearest;
    d.approachTargetName = nearest->Name();
    reach.Clear();
    FloodReach(stage_, reach, e, d.from.x, d.from.y, e.MblP() + 1, blockers);
    ApproachPath(stage_, reach, e, d.from.x, d.from.y, nearest->CellX(), nearest->CellY(), e.MblP(),
                 d.approachPath);
}

EnemyActionResult EnemyTurn::Play(const EnemyDecision& d) {
    EnemyActionResult res;
    if (acting_ == stage_.EnemyUnits.end()) {
        return res;
    }
    CharaValues& e = acting_->second;
    const auto stepTo = [&](Cell w) {
        e.SetDirectionValue(FacingToward(CellOf(e), w, e.Direction()));
        e.SetCellValue(w.x, w.y);
    };
    switch (d.outcome) {
    case EnemyOutcome::MoveThenAttack:
        for (auto it = d.movePath.rbegin(); it != d.movePath.rend(); ++it) {
            stepTo(*it);
        }
        [[fallthrough]];
    case EnemyOutcome::AttackHere: {
        auto target = stage_.PlayerUnits.end();
        for (auto it = stage_.PlayerUnits.begin(); it != stage_.PlayerUnits.end(); ++it) {
            if (&it->second == d.target) {
                target = it;
                break;
            }
        }
        if (d.attackCommand.empty() || target == stage_.PlayerUnits.end()) {
            break;
        }
        res.attacked = true;
        res.damage = RollDamage(random_, e, target->second, d.attackCommand, d.bonus.Sum());
        target->second.AddHP(-res.damage);
        res.attack =
            FinishAttack(stage_, e, d.attackCommand, target, false, master_, alwaysCore_, random_);
        break;
    }
    case EnemyOutcome::Approach:
        for (const Cell& w : d.approachPath) {
            stepTo(w);
        }
        break;
    case EnemyOutcome::NoStep:
        break;
    }
    e.SetMoved(true);
    e.SetActed(true);
    return res;
}

EnemyTurn::Check RunEnemyTurn(EnemyTurn& turn, std::vector<EnemyTurnRecord>* log) {
    turn.Begin();
    for (;;) {
        const EnemyTurn::Check c = turn.CheckNext();
        if (c != EnemyTurn::Check::Act) {
            return c;
        }
        EnemyTurnRecord rec;
        rec.decision = turn.Decide();
        rec.result = turn.Play(rec.decision);
        if (log != nullptr) {
            log->push_back(std::move(rec));
        }
        turn.Next();
    }
}

} // namespace quolis
