#include "manage/LevelUp.h"

#include "common/Text.h"

#include <algorithm>
#include <set>

namespace quolis {
namespace {

// Table rows beyond the last one read as the last row, so a creature whose
// absolute level is held at 99 neither loses its values nor levels for free.
std::int32_t Row(const CharaType& type, CharaTable t, std::int32_t absLevel) {
    return type.Value(t, std::min(absLevel, kTableRows));
}

std::int32_t Growth(const CharaType& type, CharaTable t, std::int32_t i) {
    return Row(type, t, i + 1) - Row(type, t, i);
}

} // namespace

std::int32_t LevelCap(const CharaMap& squad, CharaMap::const_iterator x) {
    const auto n = static_cast<std::int32_t>(squad.size());
    if (n < 2) {
        return kTierTopLevel;
    }
    std::int64_t s = 0;
    for (auto it = squad.begin(); it != squad.end(); ++it) {
        if (it != x) {
            s += it->second.Level2() + 2 * it->second.FusionCount();
        }
    }
    const auto t = static_cast<std::int32_t>(s / (n - 1) + n);
    const FusionLevel tier = Split(t, 1.0f);
    const CharaValues& c = x->second;
    if (c.FusionCount() > tier.fusionCount) {
        return c.Level();
    }
    if (c.FusionCount() == tier.fusionCount) {
        return tier.level;
    }
    return kTierTopLevel;
}

std::int32_t NeedToCap(const CharaType& type, const CharaValues& x, std::int32_t cap) {
    const std::int32_t absCap = x.Level2() - x.Level() + cap;
    return Row(type, CharaTable::NeedBP, absCap - 1) - x.BP();
}

std::int32_t NeedToNext(const CharaType& type, const CharaValues& x) {
    return Row(type, CharaTable::NeedBP, x.Level2()) - x.BP();
}

AmountStep IncreaseAmount(std::int32_t& amount, std::int32_t need, std::int32_t pool) {
    if (need < amount + kBPUnit) {
        if (pool < need) {
            return AmountStep::Refused;
        }
        amount = std::max(need, 0);
        return AmountStep::Changed;
    }
    if (pool < amount + kBPUnit) {
        return AmountStep::Refused;
    }
    amount += kBPUnit;
    return AmountStep::Changed;
}

AmountStep DecreaseAmount(std::int32_t& amount) {
    if (amount < kBPUnit) {
        amount = 0;
        return AmountStep::Zeroed;
    }
    amount -= kBPUnit;
    return AmountStep::Changed;
}

LevelUpResult ApplyLevelUp(GameState& state, CharaValues& x, std::int32_t bp, const CharaType& type,
                           const MAMaster& arms) {
    LevelUpResult result;
    if (bp < 1 || bp > state.bpPool) {
        return result;
    }
    std::set<std::string> known;
    for (const auto& [name, rec] : x.Arms()) {
        known.insert(name);
    }
    std::int32_t level = x.Level();
    std::int32_t i = x.Level2();
    std::int32_t hp = 0, mp = 0, ap = 0, dp = 0, qp = 0;
    const std::int64_t invested = static_cast<std::int64_t>(x.BP()) + bp;
    while (level < kTierTopLevel && invested >= Row(type, CharaTable::NeedBP, i)) {
        ++level;
        ++result.levels;
        hp += Growth(type, CharaTable::HP, i);
        mp += Growth(type, CharaTable::MP, i);
        ap += Growth(type, CharaTable::AP, i);
        dp += Growth(type, CharaTable::DP, i);
        qp += Growth(type, CharaTable::QP, i);
        ++i;
    }
    state.bpPool -= bp;
    x.AddBP(bp);
    x.AddLevel(result.levels);
    x.AddLevel2(result.levels);
    x.AddMaxHP(hp);
    x.SetHP(x.MaxHP());
    x.AddMaxMP(mp);
    x.SetMP(x.MaxMP());
    x.AddAP(ap);
    x.AddDP(dp);
    x.AddQP(qp);
    ApplySteps(type, x);
    LearnArms(type, arms, x);
    for (const auto& [name, rec] : x.Arms()) {
        if (known.count(name) == 0) {
            result.newArms.push_back(name);
        }
    }
    return result;
}

void AppendArmsMessages(TokenList& out, const std::vector<std::string>& names,
                        const std::string& closing) {
    if (names.empty()) {
        return;
    }
    for (std::size_t i = 0; i < names.size(); i += 2) {
        std::string text = names[i] + "\n\n";
        if (i + 1 < names.size()) {
            text += names[i + 1] + "\n\n";
        }
        out.push_back(text);
        out.push_back(".");
    }
    out.push_back(closing);
    out.push_back(".");
}

TokenList LevelUpNarration(const LevelUpResult& result) {
    TokenList out;
    out.push_back(SJ("レベルが") + std::to_string(result.levels) + SJ("上がりました・・・。"));
    out.push_back(".");
    AppendArmsMessages(out, result.newArms, SJ("以上のメタルアームズを習得しました・・・。"));
    return out;
}

} // namespace quolis
