#include "manage/Regeneration.h"

#include "manage/Roster.h"

namespace quolis {
namespace {

bool Holds(const CharaMap& map, CharaMap::const_iterator it) {
    return IndexOf(map, it) >= 0;
}

} // namespace

bool SquadHasRoom(const GameState& state, std::int32_t squadMax) {
    return static_cast<std::int32_t>(state.squad.size()) < squadMax;
}

bool Regenerate(GameState& state, CharaMap::iterator core, std::int32_t squadMax) {
    if (!SquadHasRoom(state, squadMax) || !Holds(state.cores, core)) {
        return false;
    }
    CharaValues c = std::move(core->second);
    state.cores.erase(core);
    c.SetCoreFlag(0);
    state.squad.emplace(c.Name(), std::move(c));
    return true;
}

DiscardResult DiscardCreature(GameState& state, CharaMap::iterator creature) {
    if (!Holds(state.squad, creature)) {
        return DiscardResult::NotFound;
    }
    if (static_cast<std::int32_t>(state.squad.size()) <= kMinSquadSize) {
        return DiscardResult::AtMinimum;
    }
    state.squad.erase(creature);
    return DiscardResult::Discarded;
}

DiscardResult DiscardCore(GameState& state, CharaMap::iterator core) {
    if (!Holds(state.cores, core)) {
        return DiscardResult::NotFound;
    }
    state.cores.erase(core);
    return DiscardResult::Discarded;
}

std::int32_t IndexOf(const CharaMap& map, CharaMap::const_iterator it) {
    std::int32_t i = 0;
    for (auto m = map.begin(); m != map.end(); ++m, ++i) {
        if (m == it) {
            return i;
        }
    }
    return -1;
}

CharaMap::iterator AtIndex(CharaMap& map, std::int32_t index) {
    auto it = map.begin();
    for (std::int32_t i = 0; i < index && it != map.end(); ++i) {
        ++it;
    }
    return index < 0 ? map.end() : it;
}

} // namespace quolis
