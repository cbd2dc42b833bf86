#include "platform/RecordingDevice.h"

#include <cstring>

namespace quolis {

namespace {

// The device offers lights 0 to 7.
constexpr int kMaxLights = 8;

} // namespace

const char* DeviceOpName(DeviceOp op) {
    switch (op) {
    case DeviceOp::BeginFrame:
        return "BeginFrame";
    case DeviceOp::EndFrame:
        return "EndFrame";
    case DeviceOp::ApplyDefaultStates:
        return "ApplyDefaultStates";
    case DeviceOp::SetAlphaBlend:
        return "SetAlphaBlend";
    case DeviceOp::SetCullMode:
        return "SetCullMode";
    case DeviceOp::SetDepthTest:
        return "SetDepthTest";
    case DeviceOp::SetLighting:
        return "SetLighting";
    case DeviceOp::SetTransform:
        return "SetTransform";
    case DeviceOp::SetLight:
        return "SetLight";
    case DeviceOp::EnableLight:
        return "EnableLight";
    case DeviceOp::SetMaterial:
        return "SetMaterial";
    case DeviceOp::CreateTexture:
        return "CreateTexture";
    case DeviceOp::ReleaseTexture:
        return "ReleaseTexture";
    case DeviceOp::SetTexture:
        return "SetTexture";
    case DeviceOp::CreateBuffers:
        return "CreateBuffers";
    case DeviceOp::ReleaseBuffers:
        return "ReleaseBuffers";
    case DeviceOp::UpdateBuffers:
        return "UpdateBuffers";
    case DeviceOp::DrawIndexed:
        return "DrawIndexed";
    case DeviceOp::DrawIndexedUP:
        return "DrawIndexedUP";
    }
    return "?";
}

std::size_t DrawRecord::VertexCount() const {
    switch (format) {
    case VertexFormat::Screen:
        return screen.size();
    case VertexFormat::Lit:
        return lit.size();
    case VertexFormat::Colored:
        return colored.size();
    }
    return 0;
}

RecordingDevice::RecordingDevice()
    : world_(Mat4::Identity()), view_(Mat4::Identity()), projection_(Mat4::Identity()) {}

DeviceCall& RecordingDevice::Record(DeviceOp op) {
    calls_.push_back(DeviceCall{});
    calls_.back().op = op;
    return calls_.back();
}

void RecordingDevice::Error(std::string line) {
    errors_.push_back(std::move(line));
}

std::size_t RecordingDevice::CountOf(DeviceOp op) const {
    std::size_t n = 0;
    for (const DeviceCall& c : calls_) {
        n += c.op == op ? 1 : 0;
    }
    return n;
}

void RecordingDevice::ClearRecord() {
    calls_.clear();
    draws_.clear();
    errors_.clear();
}

void RecordingDevice::BeginFrame() {
    Record(DeviceOp::BeginFrame);
    if (inFrame_) {
        Error("BeginFrame inside a frame");
    }
    inFrame_ = true;
    ++framesBegun_;
}

void RecordingDevice::EndFrame() {
    Record(DeviceOp::EndFrame);
    if (!inFrame_) {
        Error("EndFrame without BeginFrame");
    }
    inFrame_ = false;
    ++framesEnded_;
}

void RecordingDevice::ApplyDefaultStates() {
    Record(DeviceOp::ApplyDefaultStates);
    states_ = RenderStates{};
}

void RecordingDevice::SetAlphaBlend(bool on) {
    Record(DeviceOp::SetAlphaBlend).flag = on;
    states_.alphaBlend = on;
}

void RecordingDevice::SetCullMode(CullMode mode) {
    Record(DeviceOp::SetCullMode).cull = mode;
    states_.cull = mode;
}

void RecordingDevice::SetDepthTest(bool on) {
    Record(DeviceOp::SetDepthTest).flag = on;
    states_.depthTest = on;
}

void RecordingDevice::SetLighting(bool on) {
    Record(DeviceOp::SetLighting).flag = on;
    states_.lighting = on;
}

void RecordingDevice::SetTransform(TransformKind kind, const Mat4& m) {
    DeviceCall& c = Record(DeviceOp::SetTransform);
    c.transform = kind;
    c.matrix = m;
    switch (kind) {
    case TransformKind::World:
        world_ = m;
        break;
    case TransformKind::View:
        view_ = m;
        break;
    case TransformKind::Projection:
        projection_ = m;
        break;
    }
}

const Mat4& RecordingDevice::GetTransform(TransformKind kind) const {
    switch (kind) {
    case TransformKind::View:
        return view_;
    case TransformKind::Projection:
        return projection_;
    case TransformKind::World:
        break;
    }
    return world_;
}

void RecordingDevice::SetLight(int index, const Light& light) {
    DeviceCall& c = Record(DeviceOp::SetLight);
    c.index = index;
    c.light = light;
    if (index < 0 || index >= kMaxLights) {
        Error("SetLight: index " + std::to_string(index) + " out of range");
        return;
    }
    lights_[index] = light;
}

void RecordingDevice::EnableLight(int index, bool on) {
    DeviceCall& c = Record(DeviceOp::EnableLight);
    c.index = index;
    c.flag = on;
    if (index < 0 || index >= kMaxLights) {
        Error("EnableLight: index " + std::to_string(index) + " out of range");
        return;
    }
    lightOn_[index] = on;
}

const Light* RecordingDevice::GetLight(int index) const {
    auto it = lights_.find(index);
    return it == lights_.end() ? nullptr : &it->second;
}

bool RecordingDevice::LightEnabled(int index) const {
    auto it = lightOn_.find(index);
    return it != lightOn_.end() && it->second;
}

void RecordingDevice::SetMaterial(const Material& m) {
    Record(DeviceOp::SetMaterial).material = m;
    material_ = m;
}

TextureId RecordingDevice::CreateTexture(int width, int height, const Argb* pixels) {
    DeviceCall& c = Record(DeviceOp::CreateTexture);
    c.width = width;
    c.height = height;
    if (failTextures_ || width <= 0 || height <= 0 || pixels == nullptr) {
        return 0;
    }
    RecordedTexture t;
    t.width = width;
    t.height = height;
    t.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    TextureId id = nextTexture_++;
    textures_.emplace(id, std::move(t));
    c.texture = id;
    return id;
}

void RecordingDevice::ReleaseTexture(TextureId id) {
    Record(DeviceOp::ReleaseTexture).texture = id;
    if (id == 0) {
        return;
    }
    if (textures_.erase(id) == 0) {
        Error("ReleaseTexture: unknown texture " + std::to_string(id));
    }
    if (texture_ == id) {
        // A released texture no longer draws.
        texture_ = 0;
    }
}

void RecordingDevice::SetTexture(TextureId id) {
    Record(DeviceOp::SetTexture).texture = id;
    if (id != 0 && textures_.find(id) == textures_.end()) {
        Error("SetTexture: unknown texture " + std::to_string(id));
    }
    texture_ = id;
}

const RecordedTexture* RecordingDevice::FindTexture(TextureId id) const {
    auto it = textures_.find(id);
    return it == textures_.end() ? nullptr : &it->second;
}

BufferId RecordingDevice::CreateBuffers(VertexFormat format, std::size_t maxVertices,
                                        std::size_t maxIndices, bool dynamic) {
    DeviceCall& c = Record(DeviceOp::CreateBuffers);
    c.format = format;
    c.count = maxVertices;
    c.count2 = maxIndices;
    c.dynamic = dynamic;
    if (maxVertices == 0 || maxIndices == 0 || maxVertices > 65536) {
        return 0;
    }
    RecordedBuffers b;
    b.format = format;
    b.maxVertices = maxVertices;
    b.maxIndices = maxIndices;
    b.dynamic = dynamic;
    BufferId id = nextBuffer_++;
    buffers_.emplace(id, std::move(b));
    c.buffer = id;
    return id;
}

void RecordingDevice::ReleaseBuffers(BufferId id) {
    Record(DeviceOp::ReleaseBuffers).buffer = id;
    if (id == 0) {
        return;
    }
    if (buffers_.erase(id) == 0) {
        Error("ReleaseBuffers: unknown buffers " + std::to_string(id));
    }
}

bool RecordingDevice::UpdateBuffers(BufferId id, const void* vertices, std::size_t vertexCount,
                                    const std::uint16_t* indices, std::size_t indexCount) {
    DeviceCall& c = Record(DeviceOp::UpdateBuffers);
    c.buffer = id;
    c.count = vertexCount;
    c.count2 = indexCount;
    auto it = buffers_.find(id);
    if (it == buffers_.end()) {
        Error("UpdateBuffers: unknown buffers " + std::to_string(id));
        return false;
    }
    RecordedBuffers& b = it->second;
    c.format = b.format;
    if (vertexCount > b.maxVertices || indexCount > b.maxIndices) {
        Error("UpdateBuffers: " + std::to_string(vertexCount) + " vertices / " +
              std::to_string(indexCount) + " indices exceed the buffer size");
        return false;
    }
    if ((vertexCount > 0 && vertices == nullptr) || (indexCount > 0 && indices == nullptr)) {
        Error("UpdateBuffers: null data");
        return false;
    }
    std::size_t bytes = vertexCount * VertexStride(b.format);
    b.vertexBytes.resize(bytes);
    if (bytes > 0) {
        std::memcpy(b.vertexBytes.data(), vertices, bytes);
    }
    b.indices.assign(indices, indices + indexCount);
    ++b.updates;
    return true;
}

const RecordedBuffers* RecordingDevice::FindBuffers(BufferId id) const {
    auto it = buffers_.find(id);
    return it == buffers_.end() ? nullptr : &it->second;
}

void RecordingDevice::AddDraw(DeviceCall& call, VertexFormat format, BufferId buffer,
                              const unsigned char* vertexBytes, std::size_t vertexCount,
                              const std::uint16_t* indices, std::size_t indexCount) {
    if (!inFrame_) {
        Error(std::string(DeviceOpName(call.op)) + " outside BeginFrame/EndFrame");
    }
    DrawRecord d;
    d.format = format;
    d.buffer = buffer;
    d.world = world_;
    d.view = view_;
    d.projection = projection_;
    d.material = material_;
    d.texture = texture_;
    d.states = states_;
    if (const Light* l = GetLight(0)) {
        d.light0 = *l;
    }
    d.light0Enabled = LightEnabled(0);
    d.frame = framesBegun_;
    // Copy only the vertices the indices use, in index order of first use, so
    // the record is self-contained and small.
    std::map<std::uint16_t, std::uint16_t> remap;
    std::vector<std::uint16_t> used;
    for (std::size_t i = 0; i < indexCount; ++i) {
        std::uint16_t v = indices[i];
        if (v >= vertexCount) {
            Error(std::string(DeviceOpName(call.op)) + ": index " + std::to_string(v) + " beyond " +
                  std::to_string(vertexCount) + " vertices");
            return;
        }
        auto [it, inserted] = remap.emplace(v, static_cast<std::uint16_t>(used.size()));
        if (inserted) {
            used.push_back(v);
        }
        d.indices.push_back(it->second);
    }
    std::size_t stride = VertexStride(format);
    for (std::uint16_t v : used) {
        const unsigned char* src = vertexBytes + static_cast<std::size_t>(v) * stride;
        switch (format) {
        case VertexFormat::Screen: {
            VertexScreen s;
            std::memcpy(&s, src, sizeof s);
            d.screen.push_back(s);
            break;
        }
        case VertexFormat::Lit: {
            VertexLit s;
            std::memcpy(&s, src, sizeof s);
            d.lit.push_back(s);
            break;
        }
        case VertexFormat::Colored: {
            VertexColored s;
            std::memcpy(&s, src, sizeof s);
            d.colored.push_back(s);
            break;
        }
        }
    }
    if (texture_ != 0 && textures_.find(texture_) == textures_.end()) {
        Error(std::string(DeviceOpName(call.op)) + ": texture " + std::to_string(texture_) +
              " was released");
    }
    call.drawIndex = draws_.size();
    draws_.push_back(std::move(d));
}

void RecordingDevice::DrawIndexed(BufferId id, std::size_t startIndex, std::size_t triangleCount) {
    DeviceCall& c = Record(DeviceOp::DrawIndexed);
    c.buffer = id;
    c.count = startIndex;
    c.count2 = triangleCount;
    auto it = buffers_.find(id);
    if (it == buffers_.end()) {
        Error("DrawIndexed: unknown buffers " + std::to_string(id));
        return;
    }
    const RecordedBuffers& b = it->second;
    c.format = b.format;
    if (startIndex > b.indices.size() || triangleCount > (b.indices.size() - startIndex) / 3) {
        Error("DrawIndexed: " + std::to_string(triangleCount) + " triangles from index " +
              std::to_string(startIndex) + " exceed " + std::to_string(b.indices.size()) +
              " indices");
        return;
    }
    std::size_t stride = VertexStride(b.format);
    AddDraw(c, b.format, id, b.vertexBytes.data(), b.vertexBytes.size() / stride,
            b.indices.data() + startIndex, triangleCount * 3);
}

void RecordingDevice::DrawIndexedUP(VertexFormat format, const void* vertices,
                                    std::size_t vertexCount, const std::uint16_t* indices,
                                    std::size_t indexCount) {
    DeviceCall& c = Record(DeviceOp::DrawIndexedUP);
    c.format = format;
    c.count = vertexCount;
    c.count2 = indexCount;
    if (indexCount % 3 != 0) {
        Error("DrawIndexedUP: " + std::to_string(indexCount) + " indices is not a triangle list");
        return;
    }
    if ((vertexCount > 0 && vertices == nullptr) || (indexCount > 0 && indices == nullptr)) {
        Error("DrawIndexedUP: null data");
        return;
    }
    AddDraw(c, format, 0, static_cast<const unsigned char*>(vertices), vertexCount, indices,
            indexCount);
}

} // namespace quolis
