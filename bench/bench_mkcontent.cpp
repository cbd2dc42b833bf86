// The whole generated asset set must be written in under 30 seconds: the
// full generation from the repository's content, and its costliest parts.
#include "Mkcontent.h"

#include "platform/sdl/SdlFonts.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quolis;
using namespace quolis::mkcontent;

namespace {

const std::string kContent = std::string(QUOLIS_BENCH_SOURCE_DIR) + "/content";

void BM_GenerateAll(benchmark::State& state) {
    const auto out = std::filesystem::temp_directory_path() / "bench-mkcontent";
    SdlFonts fonts;
    for (auto _ : state) {
        NameSet names;
        std::string error;
        if (!CollectNames(kContent, (out / "tables").string(), names, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        GenerateStats stats;
        if (!GenerateAll(names, out.string(), "", &fonts, stats, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.counters["files"] =
            stats.pictures + stats.meshes + stats.models + stats.sounds + stats.music;
    }
    std::filesystem::remove_all(out);
}
BENCHMARK(BM_GenerateAll)->Unit(benchmark::kSecond)->Iterations(1);

void BM_EffectSheet(benchmark::State& state) {
    TextPainter none(nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakePicture("Effect\\Plasma.bmp", none).EncodeBmp());
    }
}
BENCHMARK(BM_EffectSheet)->Unit(benchmark::kMillisecond);

void BM_CreatureAnimation(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteMdlText(CreatureAnimation("QL4", "wait")));
    }
}
BENCHMARK(BM_CreatureAnimation)->Unit(benchmark::kMillisecond);

void BM_ComposeMidi(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComposeMidi("LastBattle.mid"));
    }
}
BENCHMARK(BM_ComposeMidi)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
