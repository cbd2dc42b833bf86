#include "engine/QuadList.h"

#include "engine/Polygon.h"

#include <algorithm>
#include <cstdio>

namespace quolis {

std::string MakeQuadKey(int cellX, int cellY, std::string_view tag) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%05d%05d", cellX, cellY);
    std::string key(buf);
    key.append(tag);
    return key;
}

void MakeQuadVertices(const QuadRecord& q, VertexLit out[4]) {
    const Vec3 p = q.position, e = q.extent;
    Vec3 c[4];
    switch (q.kind) {
    case 0:
        c[0] = {p.x + e.x, p.y, p.z + e.z};
        c[1] = {p.x + 2 * e.x, p.y, p.z};
        c[2] = {p.x + e.x, p.y, p.z - e.z};
        c[3] = p;
        break;
    case 1:
        c[0] = p;
        c[1] = {p.x, p.y + e.y, p.z};
        c[2] = {p.x + e.x, p.y + e.y, p.z - e.z};
        c[3] = {p.x + e.x, p.y, p.z - e.z};
        break;
    default: // 2 (and anything else, drawn like an upright quad)
        c[0] = p;
        c[1] = {p.x, p.y + e.y, p.z};
        c[2] = {p.x + e.x, p.y + e.y, p.z + e.z};
        c[3] = {p.x + e.x, p.y, p.z + e.z};
        break;
    }
    static constexpr float kUV[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        out[i] = {c[i].x, c[i].y, c[i].z, 0, 1, 0, kUV[i][0], kUV[i][1]};
}

CQuadList::CQuadList(int cullMode) : cullMode_(cullMode) {}

CQuadList::~CQuadList() {
    ReleaseChunks();
}

int CQuadList::AddQuad(const QuadRecord& quad) {
    std::string key = MakeQuadKey(quad.cellX, quad.cellY, quad.tag);
    auto [it, inserted] = byKey_.try_emplace(key, quad);
    if (!inserted)
        return 0;
    it->second.key = std::move(key);
    byTexture_.emplace(quad.texture, &it->second);
    return 1;
}

int CQuadList::FindQuad(int cellX, int cellY, std::string_view tag, Vec3* position) const {
    // Built in a fixed buffer: lookups run every frame and must not allocate.
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%05d%05d", cellX, cellY);
    if (n < 0 || std::size_t(n) + tag.size() >= sizeof buf) {
        std::string key = MakeQuadKey(cellX, cellY, tag);
        auto it = byKey_.find(key);
        if (it == byKey_.end())
            return 0;
        if (position)
            *position = it->second.position;
        return 1;
    }
    std::copy(tag.begin(), tag.end(), buf + n);
    auto it = byKey_.find(std::string_view(buf, std::size_t(n) + tag.size()));
    if (it == byKey_.end())
        return 0;
    if (position)
        *position = it->second.position;
    return 1;
}

void CQuadList::ReleaseChunks() {
    for (auto& [name, chunks] : groups_)
        for (auto& c : chunks)
            if (c.buffers && device_)
                device_->ReleaseBuffers(c.buffers);
    groups_.clear();
}

void CQuadList::ClearQuads() {
    ReleaseChunks();
    byTexture_.clear();
    byKey_.clear();
}

HRESULT CQuadList::BuildQuads() {
    ReleaseChunks();
    device_ = CPolygon::TextureDevice();
    if (!device_)
        return E_FAIL;
    HRESULT result = S_OK;
    auto it = byTexture_.begin();
    while (it != byTexture_.end()) {
        const std::string& name = it->first;
        auto end = byTexture_.upper_bound(name);
        int left = int(std::distance(it, end)); // quads of this texture still to come
        auto& chunks = groups_[name];
        while (left > 0) {
            const int capacity = std::min(2 * left, kChunkTriangles);
            const int quads = capacity / 2;
            Chunk c;
            c.capacity = capacity;
            c.buffers = device_->CreateBuffers(VertexFormat::Lit, std::size_t(quads) * 4,
                                               std::size_t(quads) * 6, false);
            vertices_.clear();
            indices_.clear();
            for (int q = 0; q < quads; ++q, ++it, --left) {
                VertexLit v[4];
                MakeQuadVertices(*it->second, v);
                vertices_.insert(vertices_.end(), v, v + 4);
                const auto t = static_cast<std::uint16_t>(c.nextVertex);
                const std::uint16_t idx[6] = {
                    t, static_cast<std::uint16_t>(t + 2), static_cast<std::uint16_t>(t + 3),
                    t, static_cast<std::uint16_t>(t + 1), static_cast<std::uint16_t>(t + 2)};
                indices_.insert(indices_.end(), idx, idx + 6);
                c.nextVertex += 4;
                c.triangles += 2;
                c.capacity -= 2;
            }
            if (!c.buffers || !device_->UpdateBuffers(c.buffers, vertices_.data(), vertices_.size(),
                                                      indices_.data(), indices_.size())) {
                result = E_FAIL;
            }
            chunks.push_back(c);
        }
    }
    return result;
}

std::size_t CQuadList::ChunkCount() const {
    std::size_t n = 0;
    for (const auto& [name, chunks] : groups_)
        n += chunks.size();
    return n;
}

std::vector<int> CQuadList::ChunkQuads(const std::string& texture) const {
    std::vector<int> out;
    auto it = groups_.find(texture);
    if (it != groups_.end())
        for (const auto& c : it->second)
            out.push_back(c.triangles / 2);
    return out;
}

HRESULT CQuadList::Draw() {
    Device* dev = device_ ? device_ : CPolygon::TextureDevice();
    if (!dev || !IsEnabled())
        return S_OK;
    dev->SetCullMode(cullMode_ == 0   ? CullMode::CounterClockwise
                     : cullMode_ == 1 ? CullMode::Clockwise
                                      : CullMode::None);
    dev->SetTransform(TransformKind::World, world_);
    const float a = float(GetAlpha()) * 0.004f;
    Material m;
    m.diffuse = {float(GetRed()) * 0.004f, float(GetGreen()) * 0.004f, float(GetBlue()) * 0.004f,
                 a};
    m.ambient = m.diffuse;
    m.specular = {0, 0, 0, a};
    m.emissive = {0, 0, 0, a};
    dev->SetMaterial(m);
    for (const auto& [name, chunks] : groups_) {
        // A texture that cannot be had draws its quads untextured.
        TextureId tex = 0;
        if (Failed(CPolygon::GetTexture(name, &tex)))
            tex = 0;
        dev->SetTexture(tex);
        for (const auto& c : chunks)
            if (c.buffers)
                dev->DrawIndexed(c.buffers, 0, std::size_t(c.triangles));
    }
    dev->SetTexture(0);
    dev->SetCullMode(CullMode::CounterClockwise);
    return S_OK;
}

HRESULT CCellCursor::SetTextureName(std::string_view name) {
    textureName_ = std::string(name);
    if (name == "Nothing") {
        texture_ = 0;
        return S_OK;
    }
    TextureId tex = 0;
    HRESULT hr = CPolygon::GetTexture(name, &tex);
    if (Succeeded(hr))
        texture_ = tex;
    return hr;
}

void CCellCursor::SetCell(int x, int y) {
    cellX_ = x;
    cellY_ = y;
    Vec3 p;
    if (floor_ && floor_->FindQuad(x, y, "", &p))
        local_ = MatrixTranslation(p.x, p.y, p.z);
}

HRESULT CCellCursor::Draw() {
    Device* dev = CPolygon::TextureDevice();
    BufferId buf = CPolygon::ColouredQuadBuffers();
    if (!dev || !buf || !IsEnabled())
        return S_OK;
    dev->SetLighting(false);
    dev->SetDepthTest(depthTest_ != 0);
    const Argb c = GetPacked();
    const float w = size_.x, h = size_.y, d = size_.z;
    const VertexColored v[4] = {
        {0, 0, 0, c, 0, 0}, {w, 0, d, c, 1, 0}, {2 * w, -h, 0, c, 1, 1}, {w, -h, -d, c, 0, 1}};
    dev->UpdateBuffers(buf, v, 4, CPolygon::QuadIndices(), 6);
    dev->SetTransform(TransformKind::World, local_);
    dev->SetTexture(texture_);
    dev->DrawIndexed(buf, 0, 2);
    dev->SetTexture(0);
    dev->SetDepthTest(true);
    dev->SetLighting(true);
    return S_OK;
}

} // namespace quolis
