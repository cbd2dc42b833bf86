// 3-D engine costs per frame: posing and drawing 40 models of 15 parts, and
// building the quad lists of a 100 x 100 floor with walls. Heap allocations
// are counted per frame (they must be zero in steady state).
#include "AllocCounter.h"
#include "GreyTextures.h"
#include "NullDevice.h"
#include "common/Path.h"
#include "data/DatArchive.h"
#include "engine/Mesh.h"
#include "engine/Model.h"
#include "engine/Polygon.h"
#include "engine/QuadList.h"
#include "platform/RecordingDevice.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace quolis;

// A box mesh per part, written as an X file.
std::string BoxX(float s) {
    char buf[1024];
    std::snprintf(buf, sizeof buf,
                  "xof 0303txt 0032\nMesh {\n 8;\n -%g;-%g;-%g;, -%g;%g;-%g;, %g;%g;-%g;, "
                  "%g;-%g;-%g;, -%g;-%g;%g;, -%g;%g;%g;, %g;%g;%g;, %g;-%g;%g;;\n 6;\n"
                  " 4;0,1,2,3;, 4;7,6,5,4;, 4;4,5,1,0;, 4;3,2,6,7;, 4;1,5,6,2;, 4;4,0,3,7;;\n"
                  " MeshMaterialList { 2; 6; 0,0,0,1,1,1;; Material { 1;1;1;1;; 0; 0;0;0;; "
                  "0;0;0;; } Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; } }\n}\n",
                  s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s);
    return buf;
}

struct ModelScene {
    std::filesystem::path root;
    CDatArchive archive{false, false};
    GreyTextures textures;
    std::vector<std::unique_ptr<CMdl>> models;

    ModelScene(Device* device) {
        root = std::filesystem::temp_directory_path() / "quolis_bench_engine_3d";
        std::filesystem::create_directories(root / "GameData" / "XFile");
        std::filesystem::create_directories(root / "GameData" / "mdl");
        SetGameRoot(root.string());
        CPolygon::InitTextures("GameData\\Texture\\", device, &textures);
        CMesh::Init("GameData\\XFile\\", device, &archive);
        CMdl::Init("GameData\\mdl\\", &archive, 0.25f);
        // 15 parts in a chain of joints, 30 keys.
        std::string mdl = "15 30\n";
        for (int p = 0; p < 15; ++p) {
            const std::string name = "part" + std::to_string(p) + ".x";
            std::ofstream(root / "GameData" / "XFile" / name) << BoxX(0.2f + 0.05f * float(p));
            mdl += name + " " + std::to_string(p == 0 ? -1 : (p - 1) / 2) + "\n";
            for (int k = 0; k < 30; ++k)
                mdl += "0 0.5 0 " + std::to_string(k * 3) + " " + std::to_string(k) + " 0 1 1 1\n";
        }
        std::ofstream(root / "GameData" / "mdl" / "bench.mdl") << mdl;
        for (int i = 0; i < 40; ++i) {
            auto m = std::make_unique<CMdl>();
            m->Load("bench.mdl");
            m->SetPosition(float(i % 8) * 4, 0, float(i / 8) * 4);
            m->SetRotation(0, float(i * 9), 0);
            m->Play();
            models.push_back(std::move(m));
        }
    }
    ~ModelScene() {
        for (auto& m : models)
            m->Release();
        CMesh::ReleaseAll();
        CPolygon::ReleaseTextures();
        SetGameRoot("");
        std::filesystem::remove_all(root);
    }

    void Frame() {
        for (auto& m : models) {
            m->Update();
            if (!m->IsPlaying())
                m->Play();
            m->Draw();
        }
    }
};

void BM_Models40x15_Recording(benchmark::State& state) {
    RecordingDevice dev;
    ModelScene scene(&dev);
    std::size_t draws = 0;
    for (auto _ : state) {
        dev.BeginFrame();
        scene.Frame();
        dev.EndFrame();
        draws = dev.Draws().size();
        dev.ClearRecord();
    }
    state.counters["draws/frame"] = double(draws);
}
BENCHMARK(BM_Models40x15_Recording)->Unit(benchmark::kMicrosecond);

void BM_Models40x15_EngineOnly(benchmark::State& state) {
    NullDevice dev;
    ModelScene scene(&dev);
    scene.Frame(); // warm up
    long allocations = 0;
    for (auto _ : state) {
        const long before = bench::AllocationCount();
        scene.Frame();
        allocations += bench::AllocationCount() - before;
    }
    state.counters["allocs/frame"] =
        benchmark::Counter(double(allocations) / double(state.iterations()));
}
BENCHMARK(BM_Models40x15_EngineOnly)->Unit(benchmark::kMicrosecond);

// A 100 x 100 floor of four textures, each cell with two upright walls.
void AddFloor(CQuadList& floor, CQuadList& walls) {
    static const char* kFloor[4] = {"floor0.bmp", "floor1.bmp", "floor2.bmp", "floor3.bmp"};
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const float h = float((x * 7 + y * 3) % 5);
            QuadRecord q;
            q.position = {float(x + y - 100) * 2, h, float(y - x) * 2};
            q.extent = {2, 0, 2};
            q.texture = kFloor[(x + y) % 4];
            q.cellX = x;
            q.cellY = y;
            floor.AddQuad(q);
            QuadRecord w = q;
            w.texture = "wall.bmp";
            w.extent = {2, -h - 1, 2};
            w.kind = 1;
            w.tag = "front";
            walls.AddQuad(w);
            w.kind = 2;
            w.tag = "right";
            walls.AddQuad(w);
        }
}

void BM_QuadLists100x100_Build(benchmark::State& state) {
    NullDevice dev;
    GreyTextures textures;
    CPolygon::InitTextures("GameData\\Texture\\", &dev, &textures);
    CQuadList floor(0), walls(2);
    for (auto _ : state) {
        floor.ClearQuads();
        walls.ClearQuads();
        AddFloor(floor, walls);
        floor.BuildQuads();
        walls.BuildQuads();
        benchmark::DoNotOptimize(floor.ChunkCount() + walls.ChunkCount());
    }
    state.counters["quads"] = double(floor.QuadCount() + walls.QuadCount());
    state.counters["chunks"] = double(floor.ChunkCount() + walls.ChunkCount());
    CPolygon::ReleaseTextures();
}
BENCHMARK(BM_QuadLists100x100_Build)->Unit(benchmark::kMillisecond);

void BM_QuadLists100x100_DrawAndLookUp(benchmark::State& state) {
    NullDevice dev;
    GreyTextures textures;
    CPolygon::InitTextures("GameData\\Texture\\", &dev, &textures);
    CQuadList floor(0), walls(2);
    AddFloor(floor, walls);
    floor.BuildQuads();
    walls.BuildQuads();
    floor.Draw(); // the first draw loads the textures
    walls.Draw();
    long allocations = 0;
    Vec3 p;
    for (auto _ : state) {
        const long before = bench::AllocationCount();
        floor.Draw();
        walls.Draw();
        // A frame's worth of cell look-ups (units, camera, cursor).
        for (int i = 0; i < 100; ++i)
            benchmark::DoNotOptimize(floor.FindQuad(i, 99 - i, "", &p));
        allocations += bench::AllocationCount() - before;
    }
    state.counters["allocs/frame"] =
        benchmark::Counter(double(allocations) / double(state.iterations()));
    state.counters["textures"] = double(CPolygon::CachedTextureCount());
    CPolygon::ReleaseTextures();
}
BENCHMARK(BM_QuadLists100x100_DrawAndLookUp)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
