#include "engine/Mesh.h"

#include "engine/Polygon.h"
#include "gfxutil/XFile.h"

#include <memory>

namespace quolis {
namespace {

struct MeshCache {
    std::string directory = "GameData\\XFile\\";
    Device* device = nullptr;
    CDatArchive* archive = nullptr;
    // Records keep their addresses while the cache lives (objects point at them).
    std::map<std::string, std::unique_ptr<MeshRecord>, std::less<>> records;
};

MeshCache& Cache() {
    static MeshCache cache;
    return cache;
}

ColorF ToColor(const XColor& c) {
    return {c.r, c.g, c.b, c.a};
}

} // namespace

void CMesh::Init(std::string directory, Device* device, CDatArchive* archive) {
    MeshCache& c = Cache();
    c.directory = std::move(directory);
    c.device = device;
    c.archive = archive;
}

MeshRecord* CMesh::Lookup(std::string_view name) {
    auto& records = Cache().records;
    auto it = records.find(name);
    return it == records.end() ? nullptr : it->second.get();
}

const MeshRecord* CMesh::FindRecord(std::string_view name) {
    return Lookup(name);
}

std::size_t CMesh::CachedMeshCount() {
    return Cache().records.size();
}

HRESULT CMesh::Preload(const std::string& name) {
    if (Lookup(name))
        return S_OK;
    auto record = std::make_unique<MeshRecord>();
    record->name = name;
    MeshRecord& r = *record;
    Cache().records.emplace(name, std::move(record));
    return LoadRecord(r);
}

HRESULT CMesh::LoadRecord(MeshRecord& r) {
    MeshCache& c = Cache();
    if (!c.archive || !c.device)
        return E_FAIL;
    ByteBuffer bytes;
    const std::string member = c.archive->Archived() ? r.name : c.directory + r.name;
    if (Failed(c.archive->ReadMember(kArchivePath, member, bytes)))
        return E_FAIL;
    XMesh x;
    if (!ReadXFile(bytes.data(), bytes.size(), x))
        return E_FAIL;
    SortXFacesByMaterial(x);
    // A mesh that lacked normals or texture coordinates is brought to the
    // position-normal-uv layout, and its normals are computed there.
    if (!x.hadNormals || !x.hadTexCoords)
        ComputeXNormals(x);

    std::vector<VertexLit> vertices(x.vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const XVertex& v = x.vertices[i];
        vertices[i] = {v.position.x, v.position.y, v.position.z, v.normal.x,
                       v.normal.y,   v.normal.z,   v.u,          v.v};
    }
    std::vector<std::uint16_t> indices(x.indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint16_t>(x.indices[i]);
    r.buffers = c.device->CreateBuffers(VertexFormat::Lit, vertices.size(), indices.size(), false);
    if (!r.buffers || !c.device->UpdateBuffers(r.buffers, vertices.data(), vertices.size(),
                                               indices.data(), indices.size())) {
        if (r.buffers)
            c.device->ReleaseBuffers(r.buffers);
        r.buffers = 0;
        return E_FAIL;
    }

    r.materials.resize(x.materials.size());
    r.textureNames.resize(x.materials.size());
    r.subsets.assign(x.materials.size(), {});
    for (std::size_t i = 0; i < x.materials.size(); ++i) {
        const XMaterial& xm = x.materials[i];
        Material& m = r.materials[i];
        m.diffuse = ToColor(xm.diffuse);
        m.ambient = m.diffuse;
        m.specular = ToColor(xm.specular);
        m.emissive = ToColor(xm.emissive);
        m.power = xm.power;
        if (!xm.textureFile.empty()) {
            r.textureNames[i] = "XFile\\" + xm.textureFile;
            // Loaded into the texture cache now; a name cached already is reused.
            if (!CPolygon::IsTextureCached(r.textureNames[i]))
                CPolygon::LoadTexture(r.textureNames[i]);
        }
    }
    // Faces are sorted by material: each subset is one contiguous range.
    for (std::size_t t = 0; t < x.faceMaterials.size(); ++t) {
        MeshRecord::Subset& s = r.subsets[x.faceMaterials[t]];
        if (s.triangleCount == 0)
            s.startIndex = t * 3;
        ++s.triangleCount;
    }
    r.vertexCount = vertices.size();
    r.triangleCount = x.TriangleCount();
    ComputeXBoundingSphere(x, r.sphereCentre, r.sphereRadius);
    r.loaded = true;
    return S_OK;
}

void CMesh::ReleaseAll() {
    MeshCache& c = Cache();
    for (auto& [name, r] : c.records)
        if (r->buffers && c.device)
            c.device->ReleaseBuffers(r->buffers);
    c.records.clear();
}

CMesh::CMesh() {
    for (auto& s : stopwatches_)
        s.MarkStart();
}

CMesh::~CMesh() = default;

HRESULT CMesh::SetMesh(std::string_view name) {
    if (meshName_ != name)
        meshName_.assign(name.data(), name.size());
    if (name == "Nothing") {
        record_ = nullptr;
        for (float& v : reference_)
            v = 0;
        return S_OK;
    }
    MeshRecord* r = Lookup(name);
    HRESULT hr = S_OK;
    if (!r) {
        hr = Preload(meshName_);
        r = Lookup(name);
    }
    record_ = r;
    // The record's sphere comes from its vertices (computed once at load: the
    // vertices never change afterwards).
    reference_[0] = r ? r->sphereCentre.x : 0;
    reference_[1] = r ? r->sphereCentre.y : 0;
    reference_[2] = r ? r->sphereCentre.z : 0;
    reference_[3] = r ? r->sphereRadius : 0;
    reference_[4] = r ? r->heightValue : 0;
    return hr;
}

void CMesh::SetRotation(float pitch, float yaw, float roll) {
    rotation_ = {pitch, yaw, roll};
    const Mat4 r =
        MatrixRotationYawPitchRoll(yaw * 0.017453292f, pitch * 0.017453292f, roll * 0.017453292f);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            placement_.m[i][j] = r.m[i][j];
}

void CMesh::SetPosition(float x, float y, float z) {
    placement_.m[3][0] = x;
    placement_.m[3][1] = y;
    placement_.m[3][2] = z;
}

Vec3 CMesh::GetPosition() {
    position_ = {placement_.m[3][0], placement_.m[3][1], placement_.m[3][2]};
    return position_;
}

Vec3 CMesh::ReferencePoint() const {
    return TransformCoord({reference_[0], reference_[4], reference_[2]}, placement_);
}

HRESULT CMesh::Draw() {
    Device* dev = Cache().device;
    if (!dev || !record_ || !record_->loaded || !IsEnabled())
        return S_OK;
    dev->SetTransform(TransformKind::World, local_ * placement_);
    const float a = float(GetAlpha()) * 0.004f;
    for (std::size_t i = 0; i < record_->subsets.size(); ++i) {
        Material m = record_->materials[i];
        m.diffuse.a = m.ambient.a = m.specular.a = m.emissive.a = a;
        dev->SetMaterial(m);
        const std::string& tex = record_->textureNames[i];
        if (!tex.empty()) {
            TextureId id = 0;
            if (Succeeded(CPolygon::GetTexture(tex, &id)))
                dev->SetTexture(id);
        }
        const MeshRecord::Subset& s = record_->subsets[i];
        if (s.triangleCount > 0)
            dev->DrawIndexed(record_->buffers, s.startIndex, s.triangleCount);
        dev->SetTexture(0);
    }
    dev->SetTexture(0);
    return S_OK;
}

int CMesh::GlideTo(float x, float y, float z, float step) {
    Vec3 pos = GetPosition();
    const int r = GlideStep(glides_, 0, &pos, {x, y, z}, step);
    SetPosition(pos.x, pos.y, pos.z);
    return r;
}

int CMesh::Slide(int ch, const Vec3& now, const Vec3& to, float step, Vec3* out) {
    int& state = glides_.state[ch];
    Vec3& current = glides_.current[ch];
    Vec3& target = glides_.target[ch];
    Vec3& difference = glides_.difference[ch];
    switch (state) {
    case 0:
        current = now;
        target = to;
        state = 1;
        return 1;
    case 1:
        difference = target - current;
        if (Length(difference) <= 0.3f) {
            *out = target;
            state = 2;
            return 0;
        }
        current = current + difference * step;
        *out = current;
        return 1;
    default:
        if (!(target == to)) {
            state = 0;
            return 1;
        }
        return 0;
    }
}

int CMesh::SlideTo(float x, float y, float z, float step) {
    Vec3 pos = GetPosition();
    const int r = Slide(1, pos, {x, y, z}, step, &pos);
    SetPosition(pos.x, pos.y, pos.z);
    return r;
}

int CMesh::SlideRotationTo(float pitch, float yaw, float roll, float step) {
    Vec3 angles = rotation_;
    const int r = Slide(2, angles, {pitch, yaw, roll}, step, &angles);
    SetRotation(angles.x, angles.y, angles.z);
    return r;
}

} // namespace quolis
