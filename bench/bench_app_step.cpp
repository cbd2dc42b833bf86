// The application spine: one logic step (StepFrame) of an empty scene, and
// one input poll that drains 100 buffered events. Both report the heap
// allocations they make in steady state (which must be none).
#include "NullDevice.h"
#include "app/GameApp.h"
#include "common/Clock.h"
#include "common/Path.h"
#include "data/DatArchiveWriter.h"
#include "input/Input.h"
#include "platform/MessageBox.h"
#include "platform/RecordingDevice.h"
#include "platform/RecordingMixer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

namespace {
std::atomic<long long> g_allocations{0};

[[gnu::noinline]] void* Allocate(std::size_t n) {
    return std::malloc(n == 0 ? 1 : n);
}
[[gnu::noinline]] void Deallocate(void* p) {
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = Allocate(n)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    Deallocate(p);
}
void operator delete[](void* p) noexcept {
    Deallocate(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Deallocate(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Deallocate(p);
}

namespace quolis {
namespace {

class BenchHost : public AppHost {
public:
    void PumpEvents() override {}
    void WaitEvents() override {}
    bool Focused() override { return true; }
    bool FinishFramePass(int) override { return true; }
};

void BM_StepFrameEmptyScene(benchmark::State& state) {
    std::string dir = (std::filesystem::temp_directory_path() / "quolis-bench-app-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        state.SkipWithError("no scratch folder");
        return;
    }
    SetGameRoot(dir);
    {
        ArchiveMemberSource member;
        TextMember("Data\\Setting.Dat", {"SPEED_FADE", "16"}, member);
        std::string bytes;
        ComposeArchive({member}, bytes);
        std::filesystem::create_directories(dir + "/GameData/Data");
        std::ofstream(dir + "/GameData/Data/Data.Dat", std::ios::binary) << bytes;
    }
    ManualClock clock(1000);
    CStopwatch::SetClock(&clock);
    {
        NullDevice device;
        RecordingMixer mixer;
        InputEventQueue queue;
        ScriptedMessageBoxes boxes;
        BenchHost host;
        CGameApp app;
        AppEnvironment env{&device, &mixer, &queue, &boxes, nullptr, &host};
        if (Failed(app.Create(env))) {
            state.SkipWithError("start-up failed");
        } else {
            app.SetShowFrameRate(0);
            for (int i = 0; i < 10; ++i) { // settle
                clock.Advance(16);
                app.StepFrame();
            }
            long long before = g_allocations.load();
            long long steps = 0;
            for (auto _ : state) {
                clock.Advance(16);
                benchmark::DoNotOptimize(app.StepFrame());
                ++steps;
            }
            long long allocations = g_allocations.load() - before;
            state.counters["allocs_per_step"] =
                steps > 0 ? static_cast<double>(allocations) / static_cast<double>(steps) : 0.0;
        }
        app.CloseDown();
    }
    CStopwatch::SetClock(nullptr);
    SetGameRoot("");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_StepFrameEmptyScene);

void BM_Poll100Events(benchmark::State& state) {
    ManualClock clock(1000);
    CStopwatch::SetClock(&clock);
    {
        InputEventQueue queue;
        queue.SetPresent(InputDeviceIndex::Joypad, true);
        CInput input;
        input.Init(&queue, DefaultButtonMaps());
        std::uint32_t triggers[kActionTriggerCount] = {};
        std::uint32_t raw[kRawButtonCount] = {};
        std::uint32_t mask = 0;
        long long pollAllocations = 0;
        long long polls = 0;
        for (auto _ : state) {
            state.PauseTiming();
            for (int i = 0; i < 25; ++i) {
                queue.Push(InputEvent::Key(30 + (i % 9), true));
                queue.Push(InputEvent::Key(30 + (i % 9), false));
                queue.Push(InputEvent::JoypadButton(i % 9, (i & 1) != 0));
                queue.Push(InputEvent::JoypadAxis(kJoypadAxisX, (i * 400) % 2001));
            }
            clock.Advance(16);
            state.ResumeTiming();
            long long before = g_allocations.load();
            input.Poll(triggers, raw, &mask, 1);
            pollAllocations += g_allocations.load() - before;
            ++polls;
            benchmark::DoNotOptimize(triggers);
        }
        state.counters["allocs_per_poll"] =
            polls > 0 ? static_cast<double>(pollAllocations) / static_cast<double>(polls) : 0.0;
    }
    CStopwatch::SetClock(nullptr);
}
BENCHMARK(BM_Poll100Events);

} // namespace
} // namespace quolis

BENCHMARK_MAIN();
