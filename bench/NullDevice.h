#pragma once
// A device that accepts everything, draws nothing and keeps nothing, so that
// what a benchmark measures (time, heap allocations) is the engine's own cost.
// The recording device would count its own growing call list.
#include "platform/Device.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace quolis {

class NullDevice final : public Device {
public:
    void BeginFrame() override {}
    void EndFrame() override {}
    void ApplyDefaultStates() override {}
    void SetAlphaBlend(bool) override {}
    void SetCullMode(CullMode) override {}
    void SetDepthTest(bool) override {}
    void SetLighting(bool) override {}
    void SetTransform(TransformKind, const Mat4&) override {}
    void SetLight(int, const Light&) override {}
    void EnableLight(int, bool) override {}
    void SetMaterial(const Material&) override {}
    TextureId CreateTexture(int, int, const Argb*) override { return ++next_; }
    void ReleaseTexture(TextureId) override {}
    void SetTexture(TextureId) override {}
    BufferId CreateBuffers(VertexFormat, std::size_t, std::size_t, bool) override {
        return ++next_;
    }
    void ReleaseBuffers(BufferId) override {}
    bool UpdateBuffers(BufferId, const void* v, std::size_t, const std::uint16_t*,
                       std::size_t) override {
        benchmark::DoNotOptimize(v);
        return true;
    }
    void DrawIndexed(BufferId, std::size_t, std::size_t) override {}
    void DrawIndexedUP(VertexFormat, const void* v, std::size_t, const std::uint16_t*,
                       std::size_t) override {
        benchmark::DoNotOptimize(v);
    }

private:
    std::uint32_t next_ = 0;
};

} // namespace quolis
