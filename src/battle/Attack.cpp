#include "battle/Attack.h"

#include "common/Text.h"
#include "manage/Roster.h"

#include <algorithm>
#include <cstdlib>

namespace quolis {

namespace {
Cell ResolveCell(CellPos given, const CharaValues& owner) {
    if (given.x == -1.0f && given.y == -1.0f && given.z == -1.0f) {
        return CellOf(owner);
    }
    return CellOf(given);
}
} // namespace

bool IsBehindFrom(Cell from, const CharaValues& target) {
    const Cell t = CellOf(target);
    const std::string& f = target.Direction();
    if (f == "up") {
        return from.x == t.x && from.y < t.y;
    }
    if (f == "down") {
        return from.x == t.x && from.y > t.y;
    }
    if (f == "left") {
        return from.y == t.y && from.x > t.x;
    }
    if (f == "right") {
        return from.y == t.y && from.x < t.x;
    }
    return false;
}

bool IsBesideFrom(Cell from, const CharaValues& target) {
    const Cell t = CellOf(target);
    const std::string& f = target.Direction();
    if (f == "up" || f == "down") {
        return from.y == t.y;
    }
    if (f == "left" || f == "right") {
        return from.x == t.x;
    }
    return false;
}

bool IsAboveWithin(const CharaValues& creature, std::int32_t here, std::int32_t targetHeight) {
    const std::int32_t d = here - targetHeight;
    return d > 0 && d <= creature.RiseP();
}

AttackBonusResult AttackBonus(const StageData& stage, const BonusTables& tables,
                              const CharaValues& attacker, const CharaValues& target,
                              std::int32_t key, CellPos attackerCell, CellPos targetCell) {
    AttackBonusResult r;
    const Cell a = ResolveCell(attackerCell, attacker);
    // The relations look at the target's facing from its cell.
    CharaValues placed;
    const CharaValues* t = &target;
    const Cell tc = ResolveCell(targetCell, target);
    if (!(tc == CellOf(target))) {
        placed.SetCellValue(tc.x, tc.y);
        placed.SetDirectionValue(target.Direction());
        t = &placed;
    }
    static const BonusMap kEmpty;
    const BonusMap& rear = tables.direction ? tables.direction->ByRear : kEmpty;
    const BonusMap& side = tables.direction ? tables.direction->BySide : kEmpty;
    if (IsBehindFrom(a, *t)) {
        r.directionLabel = SJ("後方攻撃");
        r.direction = BonusLookup(rear, key);
    } else if (IsBesideFrom(a, *t)) {
        r.directionLabel = SJ("側方攻撃");
        r.direction = BonusLookup(side, key);
    }
    const std::int32_t ha = stage.Height(a.x, a.y);
    const std::int32_t ht = stage.Height(tc.x, tc.y);
    const std::int32_t hkey = std::abs(ha - ht);
    if (ha > ht) {
        r.heightLabel = SJ("下方攻撃");
        r.height = tables.height ? BonusLookup(tables.height->ByUpper, hkey) : 0;
    } else if (ha < ht) {
        r.heightLabel = SJ("上方攻撃");
        r.height = tables.height ? BonusLookup(tables.height->ByLower, hkey) : 0;
    }
    return r;
}

std::int32_t LargestUsableRange(const CharaValues& c) {
    std::int32_t best = -1;
    for (const auto& [name, arm] : c.Arms()) {
        if (arm.mpCost <= c.MP()) {
            best = std::max(best, arm.range);
        }
    }
    return best < 0 ? 1 : best;
}

std::int32_t EnemyReach(const CharaValues& c) {
    std::int32_t best = -1;
    for (const auto& [name, arm] : c.Arms()) {
        if (arm.mpCost < c.MP()) {
            best = std::max(best, arm.range);
        }
    }
    return best < 0 ? 1 : best;
}

bool HasRange(const CharaValues& c, std::int32_t distance) {
    for (const auto& [name, arm] : c.Arms()) {
        if (arm.range >= distance) {
            return true;
        }
    }
    return false;
}

std::int32_t RollDamage(GameRandom& random, const CharaValues& attacker, const CharaValues& target,
                        const std::string& command, std::int32_t bonus) {
    random.Reseed();
    const std::int32_t p1 = VaryRoll(random, attacker.AP(), 1.0f, 1.2f);
    const MARecord* arm = attacker.FindArm(command);
    const std::int32_t power = arm ? arm->power : 0;
    // Single precision at every step: lv * 0.3, + 1.0, then the product.
    const float lv = static_cast<float>(attacker.Level2());
    const float scaled = lv * 0.3f;
    const float factor = scaled + 1.0f;
    const float powerF = factor * static_cast<float>(power);
    const std::int32_t p2 = VaryRoll(random, TruncToInt(powerF), 1.0f, 1.2f);
    const float bonusF = factor * static_cast<float>(bonus);
    const std::int32_t p3 = VaryRoll(random, TruncToInt(bonusF), 1.0f, 1.2f);
    const std::int32_t p4 = VaryRoll(random, target.DP(), 0.6f, 0.8f);
    const std::int64_t damage = static_cast<std::int64_t>(p1) + p2 + p3 - p4;
    return damage < 0 ? 0 : damage > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(damage);
}

std::string ChooseKillingCommand(GameRandom& random, const CharaValues& self,
                                 const CharaValues& target, std::int32_t distance,
                                 std::int32_t ownHeight, std::int32_t targetHeight,
                                 std::int32_t bonus) {
    if (self.RiseP() < std::abs(ownHeight - targetHeight)) {
        return {};
    }
    const float needed = static_cast<float>(target.HP()) * 1.2f;
    for (const auto& [cost, name] : self.ArmsByCost()) {
        const std::int32_t damage = RollDamage(random, self, target, name, bonus);
        const MARecord* arm = self.FindArm(name);
        if (arm == nullptr || self.MP() < arm->mpCost || arm->range < distance ||
            needed > static_cast<float>(damage)) {
            continue;
        }
        return name;
    }
    return {};
}

void PayForCommand(CharaValues& c, const std::string& command) {
    if (const MARecord* arm = c.FindArm(command)) {
        c.AddMP(-arm->mpCost);
    }
}

bool CoreDrop(CharaValues& enemy, const CharaMaster& master, bool alwaysCore, GameRandom& random) {
    return BecomesCore(enemy, master, alwaysCore, random);
}

AttackOutcome FinishAttack(StageData& stage, CharaValues& attacker, const std::string& command,
                           CharaMap::iterator target, bool targetIsEnemy, const CharaMaster& master,
                           bool alwaysCore, GameRandom& random) {
    AttackOutcome out;
    PayForCommand(attacker, command);
    attacker.SetActed(true);
    attacker.SetMoved(true);
    if (target->second.HP() >= 1) {
        return out;
    }
    out.beaten = true;
    if (targetIsEnemy) {
        CharaValues enemy = std::move(target->second);
        stage.EnemyUnits.erase(target);
        out.bpGained = enemy.BP();
        stage.battleBP += enemy.BP();
        out.coreDropped = CoreDrop(enemy, master, alwaysCore, random);
        if (out.coreDropped) {
            std::string name = enemy.Name();
            stage.FieldCores.emplace(std::move(name), std::move(enemy));
        }
    } else {
        stage.PlayerUnits.erase(target);
    }
    return out;
}

} // namespace quolis
