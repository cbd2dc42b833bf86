// Enemy decisions on a generated 100 x 100 stage: 40 enemies against 10
// player units, and one reach fill of 99 points. Goal: a whole enemy turn's
// decisions well under 50 ms.
#include "battle/EnemyTurn.h"
#include "common/Clock.h"

#include <benchmark/benchmark.h>

namespace quolis {
namespace {

MARecord Arm(const char* name, std::int32_t range, std::int32_t power, std::int32_t cost) {
    MARecord r;
    r.name = name;
    r.range = range;
    r.power = power;
    r.mpCost = cost;
    return r;
}

CharaValues Creature(std::string name, std::int32_t x, std::int32_t y, std::int32_t level,
                     const char* facing) {
    CharaValues c;
    c.SetName(std::move(name));
    c.SetCellValue(x, y);
    c.SetDirectionValue(facing);
    c.SetLevel(level);
    c.SetLevel2(level);
    c.SetMaxHP(400 + level * 20);
    c.SetHP(c.MaxHP());
    c.SetMaxMP(60);
    c.SetMP(60);
    c.SetAP(30 + level);
    c.SetDP(20 + level);
    c.SetMblP(6);
    c.SetRiseP(2);
    c.LearnArm(Arm("claw", 1, 20, 0));
    c.LearnArm(Arm("spit", 3, 30, 10));
    c.LearnArm(Arm("beam", 5, 60, 30));
    return c;
}

// Rolling heights 1..4 with a few holes and rocks, the squad in the middle
// and the enemies spread around it.
void BuildStage(StageData& s) {
    FloorTex tex;
    CreateField(s, tex);
    s.floorWidth = 100;
    s.floorDepth = 100;
    std::uint32_t seed = 12345;
    const auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (std::int32_t y = 0; y < 100; ++y) {
        for (std::int32_t x = 0; x < 100; ++x) {
            const std::uint32_t r = next() % 100;
            s.heightGrid[GridIndex(x, y)] =
                r < 3 ? 0 : 1 + static_cast<std::int32_t>(((x / 7) + (y / 5) + r / 40) % 4);
            if (r == 50) {
                s.objectGrid[GridIndex(x, y)] = "rock.x";
            }
        }
    }
    CreateFloorObjects(s);
    const char* facings[4] = {"up", "down", "left", "right"};
    for (std::int32_t i = 0; i < 10; ++i) {
        const std::int32_t x = 40 + (i % 5) * 3, y = 40 + (i / 5) * 3;
        s.heightGrid[GridIndex(x, y)] = 2;
        CharaValues p = Creature("P" + std::to_string(i), x, y, 5 + i, facings[i % 4]);
        s.PlayerUnits.emplace(p.Name(), std::move(p));
    }
    for (std::int32_t i = 0; i < 40; ++i) {
        const std::int32_t x = 34 + (i % 8) * 4, y = 36 + (i / 8) * 6;
        s.heightGrid[GridIndex(x, y)] = 2;
        CharaValues e = Creature("E" + std::to_string(i), x, y, 3 + i % 10, facings[i % 4]);
        s.EnemyUnits.emplace(e.Name(), std::move(e));
    }
}

void BM_EnemyTurnDecisions(benchmark::State& state) {
    StageData base;
    BuildStage(base);
    DirectionBonus direction;
    direction.BySide = {{1, 5}};
    direction.ByRear = {{1, 10}};
    HeightBonus height;
    height.ByUpper = {{1, 5}, {2, 8}};
    height.ByLower = {{1, -3}};
    CharaMaster master;
    FixedCalendar calendar(1700000000);
    GameRandom random(&calendar);
    std::size_t actions = 0, attacks = 0, moves = 0;
    for (auto _ : state) {
        state.PauseTiming();
        StageData stage = base;
        state.ResumeTiming();
        EnemyTurn turn(stage, {&direction, &height}, master, false, random);
        std::vector<EnemyTurnRecord> log;
        log.reserve(40);
        benchmark::DoNotOptimize(RunEnemyTurn(turn, &log));
        actions = log.size();
        attacks = moves = 0;
        for (const EnemyTurnRecord& r : log) {
            attacks += r.result.attacked;
            moves += r.decision.outcome == EnemyOutcome::MoveThenAttack;
        }
    }
    state.counters["actions"] = static_cast<double>(actions);
    state.counters["attacks"] = static_cast<double>(attacks);
    state.counters["moveAttacks"] = static_cast<double>(moves);
}
BENCHMARK(BM_EnemyTurnDecisions)->Unit(benchmark::kMillisecond);

void BM_FloodReach99(benchmark::State& state) {
    StageData stage;
    BuildStage(stage);
    const CharaValues walker = Creature("W", 50, 50, 1, "up");
    ReachGrid grid;
    for (auto _ : state) {
        grid.Clear();
        FloodReach(stage, grid, walker, 50, 50, 99, kBlockPlayers | kBlockEnemies | kBlockCores);
        benchmark::DoNotOptimize(grid.At(0, 0));
    }
}
BENCHMARK(BM_FloodReach99)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quolis

BENCHMARK_MAIN();
