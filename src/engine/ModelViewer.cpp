#include "engine/ModelViewer.h"

#include "engine/Polygon.h"

#include <algorithm>
#include <string_view>

namespace quolis {

HRESULT CModelViewer::Open(Device* device, CDatArchive* archive, TextureFiles* textures, Kind kind,
                           const std::string& name) {
    Close();
    device_ = device;
    kind_ = kind;
    CPolygon::InitTextures("GameData\\Texture\\", device, textures);
    CMesh::Init("GameData\\XFile\\", device, archive);
    CMdl::Init("GameData\\mdl\\", archive, kFrameStep);
    open_ = true;
    HRESULT hr;
    if (kind == Kind::Model) {
        hr = object_.Load(ModelMember(name));
        object_.Play();
    } else {
        hr = object_.SetMesh(name);
        if (Succeeded(hr) && !(object_.Record() && object_.Record()->loaded))
            hr = E_FAIL;
    }
    camera_.Create(device, float(device->Width()) / float(device->Height()));
    Frame();
    return hr;
}

std::string CModelViewer::ModelMember(std::string name) {
    // '/' is never a CP932 trail byte, so it can be replaced byte by byte.
    std::replace(name.begin(), name.end(), '/', '\\');
    static constexpr std::string_view kExt = ".mdl";
    bool hasExt = name.size() >= kExt.size();
    for (std::size_t i = 0; hasExt && i < kExt.size(); ++i) {
        char c = name[name.size() - kExt.size() + i];
        hasExt = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == kExt[i];
    }
    if (!hasExt) {
        name += kExt;
    }
    return name;
}

void CModelViewer::Frame() {
    // The union of the parts' spheres at the first pose.
    Vec3 lo{0, 0, 0}, hi{0, 0, 0};
    bool any = false;
    auto add = [&](const Vec3& c, float r) {
        const Vec3 a = c - Vec3{r, r, r}, b = c + Vec3{r, r, r};
        if (!any) {
            lo = a;
            hi = b;
            any = true;
            return;
        }
        lo = {std::min(lo.x, a.x), std::min(lo.y, a.y), std::min(lo.z, a.z)};
        hi = {std::max(hi.x, b.x), std::max(hi.y, b.y), std::max(hi.z, b.z)};
    };
    if (kind_ == Kind::Model && object_.Model()) {
        const MdlData& m = *object_.Model();
        for (std::size_t i = 0; i < m.parts.size(); ++i) {
            const MeshRecord* r = CMesh::FindRecord(m.parts[i].name);
            if (r && r->loaded)
                add(TransformCoord(r->sphereCentre, m.PartWorld(i)), r->sphereRadius);
        }
    } else if (const MeshRecord* r = object_.Record(); r && r->loaded) {
        add(r->sphereCentre, r->sphereRadius);
    }
    centre_ = (lo + hi) * 0.5f;
    radius_ = any ? std::max(Length(hi - lo) * 0.5f, 0.01f) : 1.0f;
    // From the front, a little above, far enough for the field of view.
    const float distance = radius_ * 2.8f;
    camera_.SetEye(centre_.x, centre_.y + distance * 0.35f, centre_.z - distance);
    camera_.SetLookAt(centre_.x, centre_.y, centre_.z);
    camera_.SetUp(0, 1, 0);
}

void CModelViewer::Step() {
    if (!open_)
        return;
    yaw_ += kTurnPerStep;
    if (yaw_ >= 360)
        yaw_ -= 360;
    // Turn about the framed centre: rotate, then move the centre back.
    object_.SetRotation(0, yaw_, 0);
    const Vec3 turned = TransformNormal(centre_, object_.Placement());
    object_.SetPosition(centre_.x - turned.x, centre_.y - turned.y, centre_.z - turned.z);
    if (kind_ == Kind::Model) {
        object_.Update();
        if (!object_.IsPlaying())
            object_.Play();
    }
}

void CModelViewer::Draw() {
    if (!open_ || !device_)
        return;
    camera_.Apply();
    // The battle light: from the eye toward the point looked at.
    Light light;
    light.direction = Normalize(camera_.LookAt() - camera_.Eye());
    light.diffuse = {1.6f, 1.6f, 1.6f, 0};
    light.specular = {1.0f, 1.0f, 1.0f, 0};
    light.ambient = {0.2f, 0.2f, 0.2f, 0};
    device_->SetLight(0, light);
    device_->EnableLight(0, true);
    device_->SetLighting(true);
    if (kind_ == Kind::Model)
        object_.Draw();
    else
        object_.CMesh::Draw();
}

void CModelViewer::Close() {
    if (!open_)
        return;
    object_.Release();
    CMesh::ReleaseAll();
    CPolygon::ReleaseTextures();
    CMesh::Init("GameData\\XFile\\", nullptr, nullptr);
    CMdl::Init("GameData\\mdl\\", nullptr, 0);
    open_ = false;
}

} // namespace quolis
