#pragma once
// A drawing device without a GPU: it records every call as plain data and
// keeps the state a real device would hold (transforms, light, material,
// texture, render states, textures and buffers), so tests can check what was
// drawn, in which order and with which settings.
#include "platform/Device.h"

#include <map>
#include <string>
#include <vector>

namespace quolis {

enum class DeviceOp {
    BeginFrame,
    EndFrame,
    ApplyDefaultStates,
    SetAlphaBlend,
    SetCullMode,
    SetDepthTest,
    SetLighting,
    SetTransform,
    SetLight,
    EnableLight,
    SetMaterial,
    CreateTexture,
    ReleaseTexture,
    SetTexture,
    CreateBuffers,
    ReleaseBuffers,
    UpdateBuffers,
    DrawIndexed,
    DrawIndexedUP,
};

const char* DeviceOpName(DeviceOp op);

// The toggles of the render-state defaults.
struct RenderStates {
    CullMode cull = CullMode::CounterClockwise;
    bool lighting = true;
    bool depthTest = true;
    bool alphaBlend = true;
    bool operator==(const RenderStates&) const = default;
};

// One recorded call. Only the fields that belong to `op` are meaningful.
struct DeviceCall {
    DeviceOp op = DeviceOp::BeginFrame;
    bool flag = false;              // SetAlphaBlend/SetDepthTest/SetLighting/EnableLight
    int index = 0;                  // SetLight/EnableLight: light index
    CullMode cull = CullMode::None; // SetCullMode
    TransformKind transform = TransformKind::World;
    Mat4 matrix;           // SetTransform
    Light light;           // SetLight
    Material material;     // SetMaterial
    TextureId texture = 0; // CreateTexture (result), ReleaseTexture, SetTexture
    BufferId buffer = 0;   // buffer calls, DrawIndexed
    VertexFormat format = VertexFormat::Screen;
    int width = 0, height = 0; // CreateTexture
    std::size_t count = 0;     // vertices (Create/Update/UP), start index (DrawIndexed)
    std::size_t count2 = 0;    // indices (Create/Update/UP), triangles (DrawIndexed)
    bool dynamic = false;      // CreateBuffers
    std::size_t drawIndex = 0; // DrawIndexed/DrawIndexedUP: index into Draws()
};

// A draw with everything that decides how it looks: the triangles it drew
// (vertices copied in their format, indices rebased to that copy) and a
// snapshot of the device state at the time.
struct DrawRecord {
    VertexFormat format = VertexFormat::Screen;
    BufferId buffer = 0; // 0 for DrawIndexedUP
    std::vector<VertexScreen> screen;
    std::vector<VertexLit> lit;
    std::vector<VertexColored> colored;
    // Three indices per triangle into the vertex vector of `format`.
    std::vector<std::uint16_t> indices;
    Mat4 world, view, projection;
    Material material;
    TextureId texture = 0;
    RenderStates states;
    Light light0;
    bool light0Enabled = false;
    int frame = 0; // frames begun before this draw

    std::size_t TriangleCount() const { return indices.size() / 3; }
    std::size_t VertexCount() const;
};

struct RecordedTexture {
    int width = 0, height = 0;
    std::vector<Argb> pixels;
};

struct RecordedBuffers {
    VertexFormat format = VertexFormat::Screen;
    std::size_t maxVertices = 0, maxIndices = 0;
    bool dynamic = false;
    std::vector<unsigned char> vertexBytes;
    std::vector<std::uint16_t> indices;
    int updates = 0;
};

class RecordingDevice final : public Device {
public:
    RecordingDevice();

    void BeginFrame() override;
    void EndFrame() override;
    void ApplyDefaultStates() override;
    void SetAlphaBlend(bool on) override;
    void SetCullMode(CullMode mode) override;
    void SetDepthTest(bool on) override;
    void SetLighting(bool on) override;
    void SetTransform(TransformKind kind, const Mat4& m) override;
    void SetLight(int index, const Light& light) override;
    void EnableLight(int index, bool on) override;
    void SetMaterial(const Material& m) override;
    TextureId CreateTexture(int width, int height, const Argb* pixels) override;
    void ReleaseTexture(TextureId id) override;
    void SetTexture(TextureId id) override;
    BufferId CreateBuffers(VertexFormat format, std::size_t maxVertices, std::size_t maxIndices,
                           bool dynamic) override;
    void ReleaseBuffers(BufferId id) override;
    bool UpdateBuffers(BufferId id, const void* vertices, std::size_t vertexCount,
                       const std::uint16_t* indices, std::size_t indexCount) override;
    void DrawIndexed(BufferId id, std::size_t startIndex, std::size_t triangleCount) override;
    void DrawIndexedUP(VertexFormat format, const void* vertices, std::size_t vertexCount,
                       const std::uint16_t* indices, std::size_t indexCount) override;

    // --- what was recorded --------------------------------------------------
    const std::vector<DeviceCall>& Calls() const { return calls_; }
    const std::vector<DrawRecord>& Draws() const { return draws_; }
    // Calls a real device would reject (unknown handles, indices out of range,
    // drawing outside BeginFrame/EndFrame...), one readable line each.
    const std::vector<std::string>& Errors() const { return errors_; }
    std::size_t CountOf(DeviceOp op) const;
    // Forgets the recorded calls, draws and errors; the state stays.
    void ClearRecord();

    // --- current state ------------------------------------------------------
    const RenderStates& States() const { return states_; }
    const Mat4& GetTransform(TransformKind kind) const;
    const Material& CurrentMaterial() const { return material_; }
    TextureId CurrentTexture() const { return texture_; }
    const Light* GetLight(int index) const;
    bool LightEnabled(int index) const;
    bool InFrame() const { return inFrame_; }
    int FramesBegun() const { return framesBegun_; }
    int FramesEnded() const { return framesEnded_; }
    const RecordedTexture* FindTexture(TextureId id) const;
    const RecordedBuffers* FindBuffers(BufferId id) const;
    std::size_t LiveTextures() const { return textures_.size(); }
    std::size_t LiveBuffers() const { return buffers_.size(); }

    // Makes the next texture creations fail (out of video memory).
    void SetFailTextureCreation(bool fail) { failTextures_ = fail; }

private:
    DeviceCall& Record(DeviceOp op);
    void Error(std::string line);
    void AddDraw(DeviceCall& call, VertexFormat format, BufferId buffer,
                 const unsigned char* vertexBytes, std::size_t vertexCount,
                 const std::uint16_t* indices, std::size_t indexCount);

    std::vector<DeviceCall> calls_;
    std::vector<DrawRecord> draws_;
    std::vector<std::string> errors_;

    RenderStates states_;
    Mat4 world_, view_, projection_;
    Material material_;
    TextureId texture_ = 0;
    std::map<int, Light> lights_;
    std::map<int, bool> lightOn_;
    bool inFrame_ = false;
    int framesBegun_ = 0;
    int framesEnded_ = 0;
    bool failTextures_ = false;

    std::map<TextureId, RecordedTexture> textures_;
    std::map<BufferId, RecordedBuffers> buffers_;
    TextureId nextTexture_ = 1;
    BufferId nextBuffer_ = 1;
};

} // namespace quolis
