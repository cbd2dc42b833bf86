#include "engine/Polygon.h"

#include "gfxutil/Image.h"

#include <set>

namespace quolis {
namespace {

const std::uint16_t kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

struct TextureCache {
    std::map<std::string, TextureId, std::less<>> entries;
    // Names that could not be loaded: not tried again until the cache is
    // released (meshes and quad lists ask for their textures on every draw).
    std::set<std::string, std::less<>> failed;
    std::string directory;
    Device* device = nullptr;
    TextureFiles* files = nullptr;
    BufferId quad = 0;
    BufferId quad3d = 0;
    BufferId colouredQuad = 0;
    ByteBuffer scratch; // file bytes, reused between loads
};

TextureCache& Cache() {
    static TextureCache cache;
    return cache;
}

} // namespace

HRESULT CPolygon::InitTextures(std::string directory, Device* device, TextureFiles* files) {
    ReleaseTextures();
    TextureCache& c = Cache();
    c.directory = std::move(directory);
    c.device = device;
    c.files = files;
    if (device == nullptr) {
        return E_FAIL;
    }
    c.quad = device->CreateBuffers(VertexFormat::Screen, 4, 6, true);
    c.quad3d = device->CreateBuffers(VertexFormat::Lit, 4, 6, true);
    c.colouredQuad = device->CreateBuffers(VertexFormat::Colored, 4, 6, true);
    if (c.quad == 0 || c.quad3d == 0 || c.colouredQuad == 0) {
        return E_FAIL;
    }
    return S_OK;
}

void CPolygon::ReleaseTextures() {
    TextureCache& c = Cache();
    if (c.device != nullptr) {
        for (auto& [name, id] : c.entries) {
            c.device->ReleaseTexture(id);
        }
        for (BufferId* b : {&c.quad, &c.quad3d, &c.colouredQuad}) {
            if (*b != 0) {
                c.device->ReleaseBuffers(*b);
            }
        }
    }
    c.quad = c.quad3d = c.colouredQuad = 0;
    c.entries.clear();
    c.failed.clear();
}

HRESULT CPolygon::LoadTexture(std::string_view name) {
    TextureCache& c = Cache();
    if (c.entries.find(name) != c.entries.end()) {
        return E_FAIL;
    }
    if (c.device == nullptr || c.files == nullptr) {
        return E_FAIL;
    }
    // "Nothing" names no picture; a name that failed stays failed.
    if (name == "Nothing" || c.failed.find(name) != c.failed.end()) {
        return E_FAIL;
    }
    auto fail = [&c, name] {
        c.failed.emplace(name);
        return E_FAIL;
    };
    if (Failed(c.files->Read(c.directory, name, c.scratch))) {
        return fail();
    }
    Image image;
    bool ok = DecodeImage(c.scratch.data(), c.scratch.size(), image);
    c.scratch.clear();
    if (!ok) {
        return fail();
    }
    // DDS and TGA pictures bring their own alpha; every other picture has
    // opaque black as its transparent colour.
    if (name.find(".dds") == std::string_view::npos &&
        name.find(".tga") == std::string_view::npos) {
        ApplyColourKey(image, 0xFF000000u);
    }
    // A device that cannot create the texture now may later: not remembered.
    TextureId id = c.device->CreateTexture(image.width, image.height, image.pixels.data());
    if (id == 0) {
        return E_FAIL;
    }
    c.entries.emplace(std::string(name), id);
    return S_OK;
}

HRESULT CPolygon::GetTexture(std::string_view name, TextureId* out) {
    TextureCache& c = Cache();
    *out = 0;
    auto it = c.entries.find(name);
    if (it == c.entries.end()) {
        if (Failed(LoadTexture(name))) {
            return E_FAIL;
        }
        it = c.entries.find(name);
    }
    *out = it->second;
    return S_OK;
}

HRESULT CPolygon::UnloadTexture(std::string_view name) {
    TextureCache& c = Cache();
    std::string key = c.directory;
    key += name;
    auto it = c.entries.find(key);
    if (it == c.entries.end()) {
        return E_FAIL;
    }
    if (c.device != nullptr) {
        c.device->ReleaseTexture(it->second);
    }
    c.entries.erase(it);
    return S_OK;
}

std::size_t CPolygon::CachedTextureCount() {
    return Cache().entries.size();
}
bool CPolygon::IsTextureCached(std::string_view name) {
    return Cache().entries.find(name) != Cache().entries.end();
}
Device* CPolygon::TextureDevice() {
    return Cache().device;
}
BufferId CPolygon::QuadBuffers() {
    return Cache().quad;
}
BufferId CPolygon::Quad3DBuffers() {
    return Cache().quad3d;
}
BufferId CPolygon::ColouredQuadBuffers() {
    return Cache().colouredQuad;
}
const std::uint16_t* CPolygon::QuadIndices() {
    return kQuadIndices;
}

void CPolygon::DrawScreenQuad(const Vec3& p, const Vec3& s, const UVRect& uv, Argb colour,
                              TextureId texture, bool depthTest) {
    TextureCache& c = Cache();
    if (c.device == nullptr || c.quad == 0) {
        return;
    }
    Device& d = *c.device;
    d.SetDepthTest(depthTest);
    const VertexScreen v[4] = {
        {p.x, p.y, p.z, 1.f, colour, uv.u0, uv.v0},
        {p.x + s.x, p.y, p.z, 1.f, colour, uv.u1, uv.v0},
        {p.x + s.x, p.y + s.y, p.z, 1.f, colour, uv.u1, uv.v1},
        {p.x, p.y + s.y, p.z, 1.f, colour, uv.u0, uv.v1},
    };
    d.UpdateBuffers(c.quad, v, 4, kQuadIndices, 6);
    if (texture != 0) {
        d.SetTexture(texture);
    }
    d.DrawIndexed(c.quad, 0, 2);
    d.SetTexture(0);
    d.SetDepthTest(true);
}

// ---------------------------------------------------------------------------

CPolygon::CPolygon() {
    pos_ = {0, 0, 0.9f};
    size_ = {100, 100, 0};
}

HRESULT CPolygon::Setup(float x, float y, float z, float width, float height, float depth,
                        int alpha, int depthTest) {
    SetPos(x, y, z);
    SetSize(width, height, depth);
    created_ = 1;
    StoreRaw(alpha, (static_cast<Argb>(alpha) << 24) | 0xFFFFFFu);
    depthTest_ = depthTest;
    return S_OK;
}

HRESULT CPolygon::Draw() {
    if (!IsEnabled()) {
        return S_OK;
    }
    DrawScreenQuad(pos_, size_, uv_, GetPacked(), texture_, depthTest_ != 0);
    return S_OK;
}

HRESULT CPolygon::SetTextureName(std::string_view name) {
    textureName_.assign(name);
    if (name == "Nothing") {
        texture_ = 0;
        return S_OK;
    }
    TextureId id = 0;
    if (Failed(GetTexture(name, &id))) {
        return E_FAIL;
    }
    texture_ = id;
    return S_OK;
}

// ---------------------------------------------------------------------------

void CAnimPolygon::SetupAnimated(const std::vector<UVRect>& rects, float frameTime, float x,
                                 float y, float z, float width, float height, float depth,
                                 int alpha, int depthTest) {
    rects_ = rects;
    index_ = 0;
    frameTime_ = frameTime;
    if (!rects_.empty()) {
        uv_ = rects_[0];
    }
    Setup(x, y, z, width, height, depth, alpha, depthTest);
    watch_.MarkStart();
}

void CAnimPolygon::UpdateAnimated() {
    if (!CStopwatch::TimeFrozen()) {
        watch_.Sample();
    }
    if (rects_.empty() || !(watch_.SinceMark() > frameTime_)) {
        return;
    }
    uv_ = rects_[index_];
    index_ = (index_ + 1) % rects_.size();
    watch_.SetMark();
}

} // namespace quolis
