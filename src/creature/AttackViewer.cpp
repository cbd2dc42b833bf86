#include "creature/AttackViewer.h"

#include "data/DatArchive.h"
#include "engine/Mesh.h"
#include "engine/Model.h"
#include "engine/TextureFiles.h"

namespace quolis {

namespace {

// The battle's standard eye offset (the 45-degree preset, nearest level).
const Vec3 kEyeOffset{-12, 12, -12};
constexpr float kEffectFrameTime = 0.04f;
constexpr float kCameraSpeed = 0.12f;
constexpr float kFadeSpeed = 8.0f;
constexpr float kKeysPerStep = 1.0f;

} // namespace

// The battle's darkening as the viewer shows it: the floor dims and the
// scrolling backdrop shows behind the creatures.
class CAttackViewer::Darkening final : public FieldDarkening {
public:
    Darkening(CQuadList* floor, CScrollPolygon* backdrop) : floor_(floor), backdrop_(backdrop) {}
    void SwitchDarkening(int on) override {
        on_ = on;
        backdrop_->SetEnabled(on);
    }
    int FadeDarkening(int level, int up, int step) override {
        if (up ? level_ >= level : level_ <= level) {
            Set(level);
            return 0;
        }
        watch_.Sample();
        if (watch_.SinceMark() >= 0.03f) {
            Set(level_ + (up ? step : -step));
            watch_.SetMark();
        }
        return 1;
    }
    void Scroll() {
        if (on_)
            backdrop_->UpdateScroll();
    }

private:
    void Set(int v) {
        level_ = v < 0 ? 0 : v > 255 ? 255 : v;
        floor_->SetColour(255, level_, level_, level_);
    }
    CQuadList* floor_;
    CScrollPolygon* backdrop_;
    CStopwatch watch_;
    int on_ = 0;
    int level_ = 255;
};

CAttackViewer::CAttackViewer() = default;

CAttackViewer::~CAttackViewer() {
    Close();
}

HRESULT CAttackViewer::Open(Device* device, CDatArchive* content, TextureFiles* textures,
                            const AttackViewRequest& request) {
    Close();
    device_ = device;
    request_ = request;
    open_ = true;
    CPolygon::InitTextures("GameData\\Texture\\", device, textures);
    CMesh::Init("GameData\\XFile\\", device, content);
    CMdl::Init("GameData\\mdl\\", content, kKeysPerStep);
    camera_.Create(device, float(device->Width()) / float(device->Height()));

    for (int y = 0; y < kFloorCells; ++y)
        for (int x = 0; x < kFloorCells; ++x) {
            QuadRecord q;
            q.position = {float(x + y - kFloorCells) * 2, 0, float(y - x) * 2};
            q.extent = {2, 0, 2};
            q.texture = (x + y) % 2 ? "Floor\\Grass.bmp" : "Floor\\Soil.bmp";
            q.cellX = x;
            q.cellY = y;
            floor_.AddQuad(q);
        }
    floor_.BuildQuads();
    backdrop_.Setup(0, 0, 1.0f, 800, 600, 0, 255, 0);
    backdrop_.SetTextureName("Battle\\ScrBoard.bmp");
    backdrop_.SetScroll(-0.007f, -0.0035f);
    backdrop_.SetEnabled(0);
    darkening_ = std::make_unique<Darkening>(&floor_, &backdrop_);

    CharaStage stage;
    stage.darkening = darkening_.get();
    CCamera::ResetGlides();
    CChara::ResetGlide();
    CChara::Init(stage, &camera_, nullptr, 0, &floor_, kEyeOffset, kEffectFrameTime, kCameraSpeed,
                 kFadeSpeed);

    attacker_.SetModelFolder(request.attackerFolder);
    attacker_.SetAP(request.attackerAP);
    attacker_.Create();
    attacker_.SetCell(2, 1);
    attacker_.SetDirection("up");
    HRESULT hr = attacker_.SetAnimation("wait");
    target_.SetModelFolder(request.targetFolder);
    target_.SetMaxHP(request.targetHP);
    target_.Create();
    target_.SetCell(2, 3);
    if (Failed(target_.SetAnimation("wait")))
        hr = E_FAIL;
    Reset();
    FrameCamera();
    return hr;
}

void CAttackViewer::Reset() {
    target_.SetHP(request_.targetHP);
    target_.ForceAlpha(255);
    target_.ResetColour();
    target_.SetDirection("down");
    target_.SetAnimation("wait");
    attacker_.SetAlpha(255);
}

void CAttackViewer::FrameCamera() {
    const Vec3 a = attacker_.GetPosition();
    const Vec3 t = target_.GetPosition();
    const Vec3 centre = (a + t) * 0.5f;
    const Vec3 eye = centre + kEyeOffset;
    camera_.SetUp(0, 1, 0);
    camera_.SetLookAt(centre.x, centre.y, centre.z);
    camera_.SetEye(eye.x, eye.y, eye.z);
}

void CAttackViewer::Step() {
    if (!open_)
        return;
    moment_ = false;
    auto momentIn = [&](int steps) {
        if (pending_ < 0 || steps < pending_)
            pending_ = steps;
    };
    if (rest_ > 0) {
        if (--rest_ == 0) {
            Reset();
            FrameCamera();
        }
    } else {
        const std::int32_t hp = target_.HP();
        if (attacker_.PlayAttack(target_, request_.attack, 0) == 0) {
            ++plays_;
            rest_ = kRestSteps;
            begun_ = false;
            pending_ = 0;
        } else {
            if (!begun_ && attacker_.GetAnimation() != "wait") {
                begun_ = true;
                momentIn(4);
            }
            if (target_.HP() != hp)
                momentIn(3);
        }
    }
    int effects = 0;
    for (int i = 0; i < CChara::kEffectCount; ++i)
        effects += target_.Effect(i)->IsActive();
    if (effects > effects_)
        momentIn(4);
    effects_ = effects;
    if (pending_ == 0)
        moment_ = true;
    if (pending_ >= 0)
        --pending_;
    darkening_->Scroll();
    attacker_.Update();
    target_.Update();
}

void CAttackViewer::Draw() {
    if (!open_ || device_ == nullptr)
        return;
    backdrop_.Draw();
    camera_.Apply();
    Light light;
    light.direction = Normalize(camera_.LookAt() - camera_.Eye());
    light.diffuse = {1.6f, 1.6f, 1.6f, 0};
    light.specular = {1.0f, 1.0f, 1.0f, 0};
    light.ambient = {0.2f, 0.2f, 0.2f, 0};
    device_->SetLight(0, light);
    device_->EnableLight(0, true);
    device_->SetLighting(true);
    floor_.Draw();
    attacker_.Draw();
    target_.Draw();
    attacker_.DrawNumber();
    target_.DrawNumber();
    attacker_.DrawEffects();
    target_.DrawEffects();
}

void CAttackViewer::Close() {
    if (!open_)
        return;
    open_ = false;
    attacker_.Release();
    target_.Release();
    floor_.ClearQuads();
    darkening_.reset();
    CChara::Init({}, nullptr, nullptr, 0, nullptr, {0, 0, 0}, kEffectFrameTime, kCameraSpeed,
                 kFadeSpeed);
    CMesh::ReleaseAll();
    CPolygon::ReleaseTextures();
    CMesh::Init("GameData\\XFile\\", nullptr, nullptr);
    CMdl::Init("GameData\\mdl\\", nullptr, 0);
}

} // namespace quolis
