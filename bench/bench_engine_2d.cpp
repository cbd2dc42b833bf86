// One 2-D frame: 500 textured polygons and 50 text objects. Reports the time
// per frame and the heap allocations per frame in steady state (which must be
// zero: quads share one buffer and unchanged texts stay rasterised).
#include "AllocCounter.h"
#include "NullDevice.h"
#include "common/Text.h"
#include "engine/Polygon.h"
#include "engine/TextObject.h"
#include "platform/sdl/SdlFonts.h"

#include "platform/sdl/PlatformHost.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace quolis {
namespace {

// Eight 64 × 64 textures in memory.
class BenchTextures final : public TextureFiles {
public:
    HRESULT Read(std::string_view, std::string_view name, ByteBuffer& out) override {
        const int w = 64;
        out.assign(54 + w * w * 4, 0);
        out[0] = 'B';
        out[1] = 'M';
        out[10] = 54;
        out[14] = 40;
        out[18] = w;
        out[22] = w;
        out[26] = 1;
        out[28] = 32;
        for (std::size_t i = 54; i < out.size(); ++i) {
            out[i] = static_cast<std::uint8_t>(i * 7 + name.size());
        }
        return S_OK;
    }
};

void RunFrames(benchmark::State& state, Device& device) {
    BenchTextures files;
    SdlFonts fonts;
    CPolygon::InitTextures("GameData\\Texture\\", &device, &files);
    CTextObject::SetTextDevice(&device);
    CTextObject::SetFontRasterizer(&fonts);
    {
        std::vector<std::unique_ptr<CPolygon>> polygons;
        for (int i = 0; i < 500; ++i) {
            auto p = std::make_unique<CPolygon>();
            p->Setup(static_cast<float>(i % 25) * 32, static_cast<float>(i / 25) * 30, 0.5f, 32, 30,
                     0, 200, i % 2);
            std::string name = "tex";
            name += std::to_string(i % 8);
            name += ".bmp";
            p->SetTextureName(name);
            polygons.push_back(std::move(p));
        }
        std::vector<std::unique_ptr<CTextObject>> texts;
        for (int i = 0; i < 50; ++i) {
            auto t = std::make_unique<CTextObject>();
            t->SetFont(i % 2 ? SJ("ＭＳ Ｐゴシック") : SJ("ＭＳ ゴシック"), 14, 1);
            std::string text = SJ("ＨＰ");
            text += std::to_string(100 + i);
            text += SJ("／ＭＰ");
            text += std::to_string(i);
            t->SetText(text);
            t->SetAlpha(255);
            t->position = {static_cast<float>(i % 5) * 160, static_cast<float>(i / 5) * 60, 0};
            texts.push_back(std::move(t));
        }
        auto frame = [&] {
            device.BeginFrame();
            for (auto& p : polygons) {
                p->Draw();
            }
            for (auto& t : texts) {
                t->Draw();
            }
            device.EndFrame();
        };
        frame(); // the first frame rasterises the texts
        long long frames = 0;
        long long before = bench::AllocationCount();
        for (auto _ : state) {
            frame();
            ++frames;
        }
        long long allocations = bench::AllocationCount() - before;
        state.counters["allocs_per_frame"] =
            frames > 0 ? static_cast<double>(allocations) / static_cast<double>(frames) : 0.0;
    }
    CTextObject::ReleaseTextCache();
    CTextObject::SetFontRasterizer(nullptr);
    CTextObject::SetTextDevice(nullptr);
    CPolygon::ReleaseTextures();
}
void Frame2D_NullDevice(benchmark::State& state) {
    NullDevice device;
    RunFrames(state, device);
}
BENCHMARK(Frame2D_NullDevice)->Unit(benchmark::kMicrosecond);

// The same frame on the OpenGL device, headless; each frame is presented.
void Frame2D_GlDevice(benchmark::State& state) {
    HostConfig config;
    config.headless = true;
    config.imgui = false;
    config.joystick = false;
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (host == nullptr) {
        state.SkipWithError(("no headless OpenGL: " + error).c_str());
        return;
    }
    host->Device().ApplyDefaultStates();
    RunFrames(state, host->Device());
}
BENCHMARK(Frame2D_GlDevice)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quolis

BENCHMARK_MAIN();
