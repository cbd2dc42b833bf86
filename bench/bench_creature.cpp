// Creature costs per frame: 40 creatures of 15-part models playing "wait",
// ten of them with all nine effect sprites playing, updated and drawn (model,
// number, effects) through the null device; and one whole attack played step
// by step. Heap allocations are counted per frame (none in steady state).
#include "AllocCounter.h"
#include "GreyTextures.h"
#include "NullDevice.h"
#include "common/Path.h"
#include "common/Stopwatch.h"
#include "common/Text.h"
#include "creature/Chara.h"
#include "data/DatArchive.h"
#include "engine/Camera.h"
#include "engine/Mesh.h"
#include "engine/Polygon.h"
#include "engine/QuadList.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace quolis;

std::string BoxX(float s) {
    char buf[1024];
    std::snprintf(buf, sizeof buf,
                  "xof 0303txt 0032\nMesh {\n 8;\n -%g;-%g;-%g;, -%g;%g;-%g;, %g;%g;-%g;, "
                  "%g;-%g;-%g;, -%g;-%g;%g;, -%g;%g;%g;, %g;%g;%g;, %g;-%g;%g;;\n 6;\n"
                  " 4;0,1,2,3;, 4;7,6,5,4;, 4;4,5,1,0;, 4;3,2,6,7;, 4;1,5,6,2;, 4;4,0,3,7;;\n"
                  " MeshMaterialList { 1; 6; 0,0,0,0,0,0;; Material { 1;1;1;1;; 0; 0;0;0;; "
                  "0;0;0;; } }\n}\n",
                  s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s);
    return buf;
}

// A game folder of 15-part creature models (every animation an attack of
// the benchmark names), a floor, a camera and 40 creatures.
struct CreatureScene {
    std::filesystem::path root;
    CDatArchive archive{false, false};
    GreyTextures textures;
    ManualClock clock{1000};
    CCamera camera;
    CQuadList floor{0};
    std::vector<std::unique_ptr<CChara>> creatures;

    explicit CreatureScene(Device* device) {
        root = std::filesystem::temp_directory_path() / "quolis_bench_creature";
        std::filesystem::create_directories(root / "GameData" / "XFile");
        std::filesystem::create_directories(root / "GameData" / "mdl" / "B");
        SetGameRoot(root.string());
        CStopwatch::SetClock(&clock);
        CPolygon::InitTextures("GameData\\Texture\\", device, &textures);
        CMesh::Init("GameData\\XFile\\", device, &archive);
        CMdl::Init("GameData\\mdl\\", &archive, 1.0f);
        std::string mdl = "15 30\n";
        for (int p = 0; p < 15; ++p) {
            const std::string name = "part" + std::to_string(p) + ".x";
            std::ofstream(root / "GameData" / "XFile" / name) << BoxX(0.2f + 0.05f * float(p));
            mdl += name + " " + std::to_string(p == 0 ? -1 : (p - 1) / 2) + "\n";
            for (int k = 0; k < 30; ++k)
                mdl += "0 0.5 0 " + std::to_string(k * 3) + " " + std::to_string(k) + " 0 1 1 1\n";
        }
        for (const char* anim : {"wait", "Damage1", "Damage2", "Damage3", "Dead1", "Dead2",
                                 "FGravity1", "FGravity2", "OPress1", "OPress2"})
            std::ofstream(root / "GameData" / "mdl" / "B" / (std::string(anim) + ".mdl")) << mdl;
        camera.Create(device, 800.0f / 600.0f);
        camera.SetLookAt(16, 0, 0);
        camera.SetEye(4, 12, -12);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                QuadRecord q;
                q.position = {float(x + y) * 2, 0, float(y - x) * 2};
                q.extent = {2, 0, 2};
                q.cellX = x;
                q.cellY = y;
                floor.AddQuad(q);
            }
        CChara::Init({}, &camera, nullptr, 0, &floor, {-12, 12, -12}, 0.04f, 0.12f, 8.0f);
        for (int i = 0; i < 40; ++i) {
            auto c = std::make_unique<CChara>();
            c->SetModelFolder("B");
            c->SetMaxHP(100000);
            c->SetHP(99999);
            c->Create();
            c->SetCell(i % 8, i / 8);
            c->SetDirection("up");
            c->SetAnimation("wait");
            c->NumberSprite()->SetNumber(123);
            c->NumberSprite()->Show(1);
            creatures.push_back(std::move(c));
        }
    }
    ~CreatureScene() {
        creatures.clear();
        CChara::Init({}, nullptr, nullptr, 0, nullptr, {0, 0, 0}, 0.04f, 0.12f, 8.0f);
        CMesh::ReleaseAll();
        CPolygon::ReleaseTextures();
        CStopwatch::SetClock(nullptr);
        SetGameRoot("");
        std::filesystem::remove_all(root);
    }

    // Ten creatures keep all nine effect sprites playing.
    void KeepEffects() {
        for (int i = 0; i < 10; ++i) {
            CChara& c = *creatures[std::size_t(i) * 4];
            while (c.StartEffect(EffectKind::Plasma, 0, 0, 0, 160, 160, 0, 255, 255, 255, 255,
                                 0.04f) == 1) {
            }
        }
    }

    void Frame() {
        clock.Advance(16);
        for (auto& c : creatures)
            c->Update();
        for (auto& c : creatures)
            c->Draw();
        for (auto& c : creatures)
            c->DrawNumber();
        for (auto& c : creatures)
            c->DrawEffects();
    }
};

void BM_Creatures40_NineEffectsOnTen(benchmark::State& state) {
    NullDevice dev;
    CreatureScene scene(&dev);
    scene.KeepEffects();
    for (int i = 0; i < 60; ++i) { // warm up: every effect has started and ended once
        scene.KeepEffects();
        scene.Frame();
    }
    long long allocations = 0;
    for (auto _ : state) {
        scene.KeepEffects();
        const long long before = bench::AllocationCount();
        scene.Frame();
        allocations += bench::AllocationCount() - before;
    }
    state.counters["allocs/frame"] =
        benchmark::Counter(double(allocations) / double(state.iterations()));
}
BENCHMARK(BM_Creatures40_NineEffectsOnTen)->Unit(benchmark::kMicrosecond);

// One whole attack (the longest special one), step by step, with both
// creatures updated every frame; each animation is loaded as it starts.
void BM_PlayAttack_FinalGravity(benchmark::State& state) {
    NullDevice dev;
    CreatureScene scene(&dev);
    CChara& attacker = *scene.creatures[0];
    CChara& target = *scene.creatures[17];
    const std::string name = Utf8ToCp932("ファイナルグラビティ");
    long long allocations = 0;
    long long calls = 0;
    for (auto _ : state) {
        target.SetHP(99999);
        target.ForceAlpha(255);
        const long long before = bench::AllocationCount();
        while (attacker.PlayAttack(target, name, 0) != 0) {
            ++calls;
            scene.clock.Advance(16);
            attacker.Update();
            target.Update();
        }
        allocations += bench::AllocationCount() - before;
    }
    state.counters["calls/attack"] = benchmark::Counter(double(calls) / double(state.iterations()));
    state.counters["allocs/attack"] =
        benchmark::Counter(double(allocations) / double(state.iterations()));
}
BENCHMARK(BM_PlayAttack_FinalGravity)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
