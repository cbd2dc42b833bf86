#include "manage/Fusion.h"

#include "common/Text.h"
#include "manage/LevelUp.h"
#include "manage/Regeneration.h"
#include "manage/Roster.h"

namespace quolis {
namespace {

std::int32_t Average(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + b) / 2);
}

bool InMap(const CharaMap& map, CharaMap::const_iterator it) {
    return IndexOf(map, it) >= 0;
}

} // namespace

bool FusibleAlone(const CharaValues& c) {
    return c.Level() >= kFusionLevel;
}

bool FusiblePair(const CharaValues& a, const CharaValues& b) {
    return a.FusionCount() == b.FusionCount() && FusibleAlone(a) && FusibleAlone(b);
}

FusionEntry CheckFusionEntry(const GameState& state) {
    if (static_cast<std::int32_t>(state.squad.size()) < kMinSquadSize + 1) {
        return FusionEntry::TooFewInSquad;
    }
    if (static_cast<std::int32_t>(state.cores.size()) >= kCoreCaseCapacity) {
        return FusionEntry::CoreCaseFull;
    }
    return FusionEntry::Open;
}

CharaValues MakeFusedCore(const CharaValues& first, const CharaValues& second, bool inheritSecond,
                          GameState& state, const CharaMaster& master, const MAMaster& arms) {
    const CharaValues& shape = inheritSecond ? second : first;
    CharaValues core;
    core.SetCoreFlag(1);
    core.SetTypeName(shape.TypeName());
    core.SetModelFolder(shape.ModelFolder());
    core.SetBP(shape.BP());
    core.SetLevel(1);
    core.SetFusionCount(first.FusionCount() + 1);
    core.SetLevel2(AbsoluteLevel(core.Level(), core.FusionCount()));
    core.SetMaxHP(Average(first.MaxHP(), second.MaxHP()));
    core.SetHP(core.MaxHP());
    core.SetMaxMP(Average(first.MaxMP(), second.MaxMP()));
    core.SetMP(core.MaxMP());
    core.SetAP(Average(first.AP(), second.AP()));
    core.SetDP(Average(first.DP(), second.DP()));
    core.SetQP(Average(first.QP(), second.QP()));
    NextNumber(state, core);
    AssignName(master, core);
    if (const CharaType* type = master.Find(core.TypeName())) {
        ApplySteps(*type, core);
        LearnArms(*type, arms, core);
    }
    return core;
}

FusionResult Fuse(GameState& state, CharaMap::iterator first, CharaMap::iterator second,
                  bool inheritSecond, const CharaMaster& master, const MAMaster& arms) {
    FusionResult result;
    if (first == second || !InMap(state.squad, first) || !InMap(state.squad, second) ||
        !FusiblePair(first->second, second->second) ||
        static_cast<std::int32_t>(state.cores.size()) >= kCoreCaseCapacity) {
        return result;
    }
    CharaValues core =
        MakeFusedCore(first->second, second->second, inheritSecond, state, master, arms);
    const CharaValues& shape = inheritSecond ? second->second : first->second;
    for (const auto& [name, rec] : core.Arms()) {
        if (shape.FindArm(name) == nullptr) {
            result.newArms.push_back(name);
        }
    }
    state.squad.erase(first);
    state.squad.erase(second);
    result.coreName = core.Name();
    state.cores.emplace(core.Name(), std::move(core));
    result.done = true;
    return result;
}

TokenList FusionNarration(const FusionResult& result) {
    TokenList out;
    out.push_back(SJ("ナレーション："));
    out.push_back(SJ("合成により、コア") + result.coreName + SJ("ができました・・・。"));
    out.push_back(".");
    AppendArmsMessages(out, result.newArms,
                       SJ("以上のメタルアームズがコアに組み込まれました・・・。"));
    return out;
}

} // namespace quolis
