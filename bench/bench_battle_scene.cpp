// The battle scene on the 100 x 100 benchmark stage (Bench100.Dat, 40
// enemies) of the demo GameData, driven through the application with a null
// drawing device, no sound and a manual clock (16 ms per logic step):
//   - building and entering the scene (goal: under 100 ms from the archives),
//   - one logic step of the player's free cursor (goal: under 0.3 ms, no
//     heap allocations),
//   - one whole enemy turn stepped to its end, with the CPU time of every
//     logic step (goal: the longest under 16 ms) and of the steps in which an
//     enemy glides from cell to cell,
//   - one frame drawn (goal: under 2 ms, no heap allocations).
#include "AllocCounter.h"
#include "NullDevice.h"
#include "app/GameApp.h"
#include "common/Clock.h"
#include "common/Path.h"
#include "common/Text.h"
#include "input/Input.h"
#include "platform/MessageBox.h"
#include "platform/sdl/SdlFonts.h"
#include "scenes/Scenes.h"
#include "scenes/battle/BattleScene.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

#ifndef QUOLIS_BENCH_GAMEDATA
#error "QUOLIS_BENCH_GAMEDATA must name the built demo GameData folder"
#endif

namespace quolis {
namespace {

constexpr const char* kStage = "Bench100.Dat";
constexpr std::uint32_t kStepMs = 16;
constexpr int kStepLimit = 100000; // no turn of this stage takes so many steps

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class BenchHost final : public AppHost {
public:
    void PumpEvents() override {}
    void WaitEvents() override {}
    bool Focused() override { return true; }
    bool FinishFramePass(int) override { return true; }
};

// The application on a scratch copy of the demo GameData, with the new-game
// squad and the benchmark stage as the next battle.
class BattleRig {
public:
    BattleRig() : clock_(1000) {}
    ~BattleRig() { Stop(); }
    BattleRig(const BattleRig&) = delete;
    BattleRig& operator=(const BattleRig&) = delete;

    // Empty on success, else what failed.
    std::string Start() {
        dir_ = (std::filesystem::temp_directory_path() / "quolis-bench-battle-XXXXXX").string();
        if (::mkdtemp(dir_.data()) == nullptr) {
            dir_.clear();
            return "no scratch folder";
        }
        std::error_code ec;
        std::filesystem::copy(QUOLIS_BENCH_GAMEDATA, dir_ + "/GameData",
                              std::filesystem::copy_options::recursive, ec);
        if (ec) {
            return "cannot copy " + std::string(QUOLIS_BENCH_GAMEDATA) + ": " + ec.message();
        }
        SetGameRoot(dir_);
        SetUserRoot(dir_);
        CStopwatch::SetClock(&clock_);
        CTextObject::SetFontRasterizer(&fonts_);
        app_ = std::make_unique<CGameApp>();
        InstallTitleScenes(*app_);
        InstallGameScenes(*app_);
        AppEnvironment env;
        env.device = &device_;
        env.input = &queue_;
        env.boxes = &boxes_;
        env.fonts = &fonts_;
        env.host = &host_;
        env.calendar = &calendar_;
        if (Failed(app_->Create(env))) {
            return "start-up failed: " + app_->FailureReason();
        }
        app_->SetShowFrameRate(0);
        if (app_->Campaign() == nullptr ||
            !app_->Campaign()->LoadSave(app_->SecureReader(), CGameApp::SavePath(0))) {
            return "the new-game save cannot be read";
        }
        return {};
    }

    // Leaves the current scene, then builds and enters the battle on the
    // benchmark stage; `timed` runs around the build and entry only.
    template <class Timed> bool EnterBattle(Timed&& timed) {
        app_->LeaveScene();
        app_->OwnCampaign().SetCurrentStageFile(Utf8ToCp932(kStage));
        app_->SetScene(kSceneBattle, 0, -1);
        app_->SetCycle(0, kSceneBattle);
        bool built = false;
        timed([&] {
            built = Succeeded(app_->BuildScene());
            built = Succeeded(app_->EnterScene()) && built;
        });
        return built && Battle() != nullptr && Battle()->stageLoaded;
    }
    bool EnterBattle() {
        return EnterBattle([](auto&& run) { run(); });
    }

    void Step() {
        clock_.Advance(kStepMs);
        app_->StepFrame();
    }
    void Draw() {
        device_.BeginFrame();
        app_->DrawFrame();
        device_.EndFrame();
    }
    int Code() const { return app_->GetCycle(kSceneBattle); }
    void SetCode(int code) { app_->SetCycle(code, kSceneBattle); }

    // Steps (drawing every frame) until the battle stands at `code`.
    bool StepTo(int code) {
        for (int i = 0; i < kStepLimit && Code() != code; ++i) {
            Step();
            Draw();
        }
        return Code() == code;
    }

    BattleData* Battle() {
        auto* scene = dynamic_cast<BattleScene*>(app_->SceneHandlers(kSceneBattle));
        return scene != nullptr ? scene->Data() : nullptr;
    }

    void Stop() {
        if (app_) {
            app_->CloseDown();
            app_.reset();
        }
        CTextObject::SetFontRasterizer(nullptr);
        CStopwatch::SetClock(nullptr);
        if (!dir_.empty()) {
            SetGameRoot("");
            SetUserRoot("");
            std::error_code ec;
            std::filesystem::remove_all(dir_, ec);
            dir_.clear();
        }
    }

private:
    std::string dir_;
    ManualClock clock_;
    FixedCalendar calendar_{1700000000};
    NullDevice device_;
    InputEventQueue queue_;
    ScriptedMessageBoxes boxes_;
    SdlFonts fonts_;
    BenchHost host_;
    std::unique_ptr<CGameApp> app_;
};

// Starts the rig and enters the battle; false (with the benchmark skipped)
// when anything is missing.
bool StartBattle(benchmark::State& state, BattleRig& rig) {
    const std::string failure = rig.Start();
    if (!failure.empty()) {
        state.SkipWithError(failure.c_str());
        return false;
    }
    if (!rig.EnterBattle()) {
        state.SkipWithError("the benchmark stage did not load");
        return false;
    }
    if (rig.Battle()->stage.EnemyUnits.size() != 40) {
        state.SkipWithError("the benchmark stage does not hold 40 enemies");
        return false;
    }
    return true;
}

void BM_BattleBuildEnter(benchmark::State& state) {
    BattleRig rig;
    if (!StartBattle(state, rig)) {
        return;
    }
    long long allocations = 0, builds = 0;
    // The heap in use with the battle built, after the first build and after
    // the last: what stays behind from one battle to the next.
    std::size_t heapFirst = 0, heapLast = 0;
    double firstFrames = 0; // untimed: the step and draw right after the entry
    for (auto _ : state) {
        state.PauseTiming();
        long long before = 0;
        bool ok = rig.EnterBattle([&](auto&& run) {
            state.ResumeTiming();
            before = bench::AllocationCount();
            run();
            allocations += bench::AllocationCount() - before;
            state.PauseTiming();
        });
        const double t0 = ThreadCpuSeconds();
        rig.Step();
        rig.Draw();
        firstFrames += ThreadCpuSeconds() - t0;
        heapLast = mallinfo2().uordblks;
        if (builds == 0) {
            heapFirst = heapLast;
        }
        state.ResumeTiming();
        if (!ok) {
            state.SkipWithError("the battle could not be built again");
            break;
        }
        ++builds;
    }
    BattleData* d = rig.Battle();
    state.counters["enemies"] = d != nullptr ? static_cast<double>(d->stage.EnemyUnits.size()) : 0;
    state.counters["players"] = d != nullptr ? static_cast<double>(d->stage.PlayerUnits.size()) : 0;
    state.counters["first_frame_cpu_ms"] =
        builds > 0 ? firstFrames * 1e3 / static_cast<double>(builds) : 0.0;
    state.counters["heap_mb"] = static_cast<double>(heapLast) / (1 << 20);
    state.counters["heap_growth_per_build_kb"] =
        builds > 1 ? (static_cast<double>(heapLast) - static_cast<double>(heapFirst)) / 1024.0 /
                         static_cast<double>(builds - 1)
                   : 0.0;
    state.counters["allocs_per_build"] =
        builds > 0 ? static_cast<double>(allocations) / static_cast<double>(builds) : 0.0;
}
BENCHMARK(BM_BattleBuildEnter)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BattleFreeCursorStep(benchmark::State& state) {
    BattleRig rig;
    if (!StartBattle(state, rig)) {
        return;
    }
    if (!rig.StepTo(kBattleFreeCursor)) {
        state.SkipWithError("the player's turn never came");
        return;
    }
    for (int i = 0; i < 10; ++i) { // settle
        rig.Step();
    }
    const long long before = bench::AllocationCount();
    long long steps = 0;
    for (auto _ : state) {
        rig.Step();
        ++steps;
    }
    state.counters["allocs_per_step"] =
        steps > 0
            ? static_cast<double>(bench::AllocationCount() - before) / static_cast<double>(steps)
            : 0.0;
    if (rig.Code() != kBattleFreeCursor) {
        state.SkipWithError("the free cursor was left without input");
    }
}
BENCHMARK(BM_BattleFreeCursorStep)->Unit(benchmark::kMicrosecond);

// One enemy turn from the player's "ターン終了" to the next player's turn:
// every logic step is timed on its own (thread CPU time), frames are drawn
// between the steps as the game does, untimed.
void BM_BattleEnemyTurn(benchmark::State& state) {
    BattleRig rig;
    if (!StartBattle(state, rig)) {
        return;
    }
    double maxStep = 0, sumSteps = 0, glideSum = 0, glideMax = 0, decideSum = 0, decideMax = 0;
    long long steps = 0, glides = 0, decisions = 0, turns = 0, moved = 0, allocations = 0;
    int maxCode = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!rig.EnterBattle() || !rig.StepTo(kBattleFreeCursor)) {
            state.SkipWithError("the player's turn never came");
            return;
        }
        // Every unit has moved and acted: the turn check hands over to the enemy.
        for (auto& [name, unit] : rig.Battle()->stage.PlayerUnits) {
            unit.SetMoved(true);
            unit.SetActed(true);
        }
        const std::size_t enemies = rig.Battle()->stage.EnemyUnits.size();
        std::vector<std::int32_t> cells;
        for (const auto& [name, e] : rig.Battle()->stage.EnemyUnits) {
            cells.push_back(e.CellX() * 1000 + e.CellY());
        }
        rig.SetCode(kBattleTurnCheck);
        state.ResumeTiming();
        bool entered = false;
        int i = 0;
        for (; i < kStepLimit; ++i) {
            const int code = rig.Code();
            const bool enemyTurn = code == kBattleTurnCheck || (code >= 5000 && code <= 9000);
            if (!enemyTurn) {
                break;
            }
            entered = entered || code >= 5000;
            const long long allocated = bench::AllocationCount();
            const double t0 = ThreadCpuSeconds();
            rig.Step();
            const double dt = ThreadCpuSeconds() - t0;
            allocations += bench::AllocationCount() - allocated;
            sumSteps += dt;
            ++steps;
            if (dt > maxStep) {
                maxStep = dt;
                maxCode = code;
            }
            if (code == 6200 || code == 7200) {
                glideSum += dt;
                glideMax = std::max(glideMax, dt);
                ++glides;
            } else if (code == 5300) {
                decideSum += dt;
                decideMax = std::max(decideMax, dt);
                ++decisions;
            }
            state.PauseTiming();
            rig.Draw();
            state.ResumeTiming();
        }
        if (!entered || i == kStepLimit) {
            state.SkipWithError("the enemy's turn did not run to its end");
            return;
        }
        state.counters["enemies"] = static_cast<double>(enemies);
        std::size_t k = 0;
        for (const auto& [name, e] : rig.Battle()->stage.EnemyUnits) {
            moved += k < cells.size() && cells[k] != e.CellX() * 1000 + e.CellY();
            ++k;
        }
        ++turns;
    }
    const auto per = [](double sum, long long n) {
        return n > 0 ? sum / static_cast<double>(n) : 0;
    };
    state.counters["allocs_per_step"] = per(static_cast<double>(allocations), steps);
    state.counters["steps_per_turn"] = per(static_cast<double>(steps), turns);
    state.counters["step_mean_ms"] = per(sumSteps, steps) * 1e3;
    state.counters["step_max_ms"] = maxStep * 1e3;
    state.counters["step_max_code"] = maxCode;
    state.counters["glide_step_mean_ms"] = per(glideSum, glides) * 1e3;
    state.counters["glide_step_max_ms"] = glideMax * 1e3;
    state.counters["glide_steps_per_turn"] = per(static_cast<double>(glides), turns);
    state.counters["decide_step_mean_ms"] = per(decideSum, decisions) * 1e3;
    state.counters["decide_step_max_ms"] = decideMax * 1e3;
    state.counters["decisions_per_turn"] = per(static_cast<double>(decisions), turns);
    state.counters["enemies_moved_per_turn"] = per(static_cast<double>(moved), turns);
}
BENCHMARK(BM_BattleEnemyTurn)->Unit(benchmark::kMillisecond)->Iterations(3);

void DrawBenchmark(benchmark::State& state, int code) {
    BattleRig rig;
    if (!StartBattle(state, rig)) {
        return;
    }
    if (code >= 5000) {
        if (!rig.StepTo(kBattleFreeCursor)) {
            state.SkipWithError("the player's turn never came");
            return;
        }
        for (auto& [name, unit] : rig.Battle()->stage.PlayerUnits) {
            unit.SetMoved(true);
            unit.SetActed(true);
        }
        rig.SetCode(kBattleTurnCheck);
    }
    if (!rig.StepTo(code)) {
        state.SkipWithError("the battle never reached the drawn step");
        return;
    }
    for (int i = 0; i < 10; ++i) { // settle: textures and texts load on first use
        rig.Draw();
    }
    const long long before = bench::AllocationCount();
    long long frames = 0;
    for (auto _ : state) {
        rig.Draw();
        ++frames;
    }
    state.counters["allocs_per_frame"] =
        frames > 0
            ? static_cast<double>(bench::AllocationCount() - before) / static_cast<double>(frames)
            : 0.0;
}

void BM_BattleDrawFreeCursor(benchmark::State& state) {
    DrawBenchmark(state, kBattleFreeCursor);
}
BENCHMARK(BM_BattleDrawFreeCursor)->Unit(benchmark::kMicrosecond);

// The frame while an enemy walks (its blue area shown).
void BM_BattleDrawEnemyGlide(benchmark::State& state) {
    DrawBenchmark(state, 7200);
}
BENCHMARK(BM_BattleDrawEnemyGlide)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quolis

BENCHMARK_MAIN();
