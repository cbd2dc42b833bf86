#include "manage/Roster.h"

#include "common/Text.h"

#include <array>
#include <utility>

namespace quolis {

std::int32_t SquadMaxForStage(const std::string& stageName) {
    if (stageName == SJ("ブロックＡ")) {
        return 3;
    }
    if (stageName == SJ("ブロックＢ")) {
        return 5;
    }
    if (stageName == SJ("ブロックＣ")) {
        return 8;
    }
    return 10;
}

void NextNumber(GameState& state, CharaValues& c) {
    auto it = state.numbers.find(c.TypeName());
    const std::int32_t n = it == state.numbers.end() ? 1 : it->second + 1;
    c.SetNumber(n);
    state.RecordNumber(c.TypeName(), n);
}

void AssignName(const CharaMaster& master, CharaValues& c) {
    const CharaType* type = master.Find(c.TypeName());
    c.SetName((type ? type->namePrefix : std::string()) + std::to_string(c.Number()));
}

bool CoreDropDraw(std::int32_t coreRate, GameRandom& random) {
    const std::int32_t r = coreRate < 0 ? 0 : coreRate > 100 ? 100 : coreRate;
    std::array<std::uint8_t, 100> list{};
    for (std::int32_t i = 0; i < r; ++i) {
        list[static_cast<std::size_t>(i)] = 1;
    }
    for (std::int32_t i = 1; i < 100; ++i) {
        std::swap(list[static_cast<std::size_t>(i)],
                  list[static_cast<std::size_t>(random.Next() % i)]);
    }
    return list[static_cast<std::size_t>(VaryRoll(random, 99, 0.0f, 1.0f))] != 0;
}

void MakeCore(CharaValues& c) {
    c.SetCoreFlag(1);
    const FusionLevel s = Split(c.Level2(), 0.6f);
    c.SetFusionCount(s.fusionCount);
    c.SetLevel(s.level);
    c.SetLevel2(AbsoluteLevel(c.Level(), c.FusionCount()));
    std::string type = c.TypeName();
    const std::string& e = SJ("Ｅ");
    // Only a whole final character counts.
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < type.size(); i += SjisCharLen(type, i)) {
        last = i;
    }
    if (last != std::string::npos && type.compare(last, std::string::npos, e) == 0) {
        type.erase(last);
    }
    c.SetTypeName(type);
    c.SetNumber(0);
    c.SetName(std::string());
}

bool BecomesCore(CharaValues& enemy, const CharaMaster& master, bool alwaysCore,
                 GameRandom& random) {
    // One seed per decision: the shuffle and the pick draw from it.
    bool drops = true;
    random.Reseed();
    if (!alwaysCore) {
        const CharaType* type = master.Find(enemy.TypeName());
        drops = CoreDropDraw(type ? type->coreRate : 0, random);
    }
    if (enemy.TypeName() == SJ("ＱＬ－１Ｅ") || enemy.TypeName() == SJ("ＱＬ－２Ｅ")) {
        return false;
    }
    if (drops) {
        MakeCore(enemy);
    }
    return drops;
}

std::int32_t PickUpCore(const CharaValues& mover, CharaMap& fieldCores, GameState& state,
                        const CharaMaster& master) {
    auto it = fieldCores.begin();
    for (; it != fieldCores.end(); ++it) {
        if (it->second.CellX() == mover.CellX() && it->second.CellY() == mover.CellY()) {
            break;
        }
    }
    if (it == fieldCores.end()) {
        return kPickUpNothing;
    }
    if (static_cast<std::int32_t>(state.cores.size()) >= kCoreCaseCapacity) {
        return kCoreCaseFull;
    }
    CharaValues core = std::move(it->second);
    fieldCores.erase(it);
    NextNumber(state, core);
    AssignName(master, core);
    state.cores.emplace(core.Name(), std::move(core));
    return kPickedUp;
}

} // namespace quolis
