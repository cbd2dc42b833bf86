#include "creature/Chara.h"

#include "audio/Sound.h"
#include "battle/Attack.h"
#include "common/Random.h"
#include "engine/Camera.h"
#include "engine/QuadList.h"

namespace quolis {

namespace {

struct ClassState {
    CharaStage stage;
    CCamera* camera = nullptr;
    CSound* sound = nullptr;
    const CQuadList* floor = nullptr;
    float xOffset = 0;
    Vec3 eyeOffset{0, 0, 0};
    float effectFrameTime = 0.05f;
    float cameraSpeed = 0.1f;
    float fadeSpeed = 16.0f;
    float gameSpeed = 1.0f;
    Viewport defaultViewport;
    GameRandom ownRandom;
};

ClassState& State() {
    static ClassState s;
    return s;
}

// The class-wide glide of MoveToCell: one creature glides at a time.
struct CellGlide {
    int phase = 0; // 0 start, 1 moving, 2 arrived
    std::int32_t x = 0;
    std::int32_t y = 0;
    Vec3 current{0, 0, 0};
    Vec3 target{0, 0, 0};
};

CellGlide& Glide() {
    static CellGlide g;
    return g;
}

// The floor's reference corner of a cell, shifted to where creatures stand.
bool StandPoint(std::int32_t x, std::int32_t y, Vec3* out) {
    const ClassState& s = State();
    if (s.floor == nullptr || !s.floor->FindQuad(x, y, "", out))
        return false;
    *out += Vec3{s.xOffset - 0.03f, 0, 0.01f};
    return true;
}

} // namespace

// --- class-wide state -------------------------------------------------------

void CChara::Init(const CharaStage& stage, CCamera* camera, CSound* sound, float xOffset,
                  const CQuadList* floor, const Vec3& eyeOffset, float effectFrameTime,
                  float cameraSpeed, float fadeSpeed, float gameSpeed) {
    ClassState& s = State();
    s.stage = stage;
    s.camera = camera;
    s.sound = sound;
    s.xOffset = xOffset;
    s.floor = floor;
    s.eyeOffset = eyeOffset;
    SetSpeeds(effectFrameTime, cameraSpeed, fadeSpeed, gameSpeed);
    if (sound != nullptr) {
        for (int cue = 0; cue < kCharaCueCount; ++cue)
            sound->Load(CueFile(cue), CueName(cue), true, false, false);
    }
}

void CChara::SetSpeeds(float effectFrameTime, float cameraSpeed, float fadeSpeed, float gameSpeed) {
    ClassState& s = State();
    s.effectFrameTime = effectFrameTime;
    s.cameraSpeed = cameraSpeed;
    s.fadeSpeed = fadeSpeed;
    s.gameSpeed = gameSpeed > 0 ? gameSpeed : 1.0f;
}

float CChara::EffectFrameTime() {
    return State().effectFrameTime;
}
float CChara::CameraSpeed() {
    return State().cameraSpeed;
}
float CChara::FadeSpeed() {
    return State().fadeSpeed;
}
float CChara::GameSpeed() {
    return State().gameSpeed;
}
CCamera* CChara::Camera() {
    return State().camera;
}
CSound* CChara::Sound() {
    return State().sound;
}
const CQuadList* CChara::Floor() {
    return State().floor;
}
const Vec3& CChara::EyeOffset() {
    return State().eyeOffset;
}
float CChara::XOffset() {
    return State().xOffset;
}
FieldDarkening* CChara::Darkening() {
    return State().stage.darkening;
}
void CChara::SetEyeOffset(const Vec3& eyeOffset) {
    State().eyeOffset = eyeOffset;
}

// --- life -------------------------------------------------------------------

CChara::CChara() = default;

CChara::CChara(const CharaValues& values) : CharaValues(values) {}

CChara::~CChara() {
    Release();
}

void CChara::Create() {
    attackSteps_.fill(0);
    ReleaseSprites();
    ClassState& s = State();
    const Viewport* viewport = s.stage.viewport ? s.stage.viewport : &s.defaultViewport;
    static const Mat4 identity = Mat4::Identity();
    const Mat4* projection = s.camera ? &s.camera->Projection() : &identity;
    const Mat4* view = s.camera ? &s.camera->View() : &identity;
    RefreshAnchor();

    number_ = std::make_unique<CNumber>();
    number_->Load("Number\\Number.bmp");
    number_->SetAutoWidth(1);
    number_->SetColour(255, 255, 0, 0);
    number_->SetAnchor({0, 1, 0}, 35, 35, 0, viewport, projection, view, &Placement(), &anchor_);
    attachments_.reserve(1 + kEffectCount);
    attachments_.push_back(number_.get());
    for (auto& e : effects_) {
        e = std::make_unique<CEffect>();
        attachments_.push_back(e.get());
    }
}

void CChara::ReleaseSprites() {
    attachments_.clear();
    if (number_)
        number_->Release();
    number_.reset();
    for (auto& e : effects_)
        e.reset();
}

HRESULT CChara::Release() {
    ReleaseSprites();
    return CMdl::Release();
}

// --- animation and facing ---------------------------------------------------

std::string CChara::AnimationMember(const std::string& name) const {
    if (CoreFlag() == 1)
        return "Core\\" + name + ".mdl";
    return ModelFolder() + "\\" + name + ".mdl";
}

HRESULT CChara::SetAnimation(const std::string& name) {
    const HRESULT hr = Load(AnimationMember(name));
    Play();
    animation_ = name;
    RefreshAnchor();
    return hr;
}

void CChara::SetDirection(const std::string& name) {
    SetDirectionValue(name);
    float yaw = 0;
    if (name == "up")
        yaw = -135;
    else if (name == "down")
        yaw = 45;
    else if (name == "left")
        yaw = 135;
    else if (name == "right")
        yaw = -45;
    else
        return;
    SetRotation(0, yaw, 0);
}

void CChara::FaceCell(const CharaValues& other) {
    if (other.CellY() > CellY())
        SetDirection("up");
    else if (other.CellY() < CellY())
        SetDirection("down");
    else if (other.CellX() < CellX())
        SetDirection("left");
    else if (other.CellX() > CellX())
        SetDirection("right");
}

void CChara::FaceBack(const CharaValues& other) {
    const std::string& d = other.Direction();
    if (d == "up")
        SetDirection("down");
    else if (d == "down")
        SetDirection("up");
    else if (d == "left")
        SetDirection("right");
    else if (d == "right")
        SetDirection("left");
}

// --- cells ------------------------------------------------------------------

void CChara::SetCell(std::int32_t x, std::int32_t y) {
    SetCellValue(x, y);
    Vec3 p;
    if (StandPoint(x, y, &p))
        SetPosition(p.x, p.y, p.z);
}

int CChara::MoveToCell(std::int32_t x, std::int32_t y, float step) {
    CellGlide& g = Glide();
    switch (g.phase) {
    case 0: {
        g.x = x;
        g.y = y;
        // A cell without a floor quad cannot be glided to: stand there at once.
        if (!StandPoint(x, y, &g.target)) {
            SetCell(x, y);
            g.phase = 2;
            return 0;
        }
        if (!StandPoint(CellX(), CellY(), &g.current))
            g.current = GetPosition();
        g.phase = 1;
        return 1;
    }
    case 1: {
        if (x != g.x || y != g.y) {
            g.phase = 0;
            return 1;
        }
        const Vec3 d = g.target - g.current;
        if (Length(d) <= 0.1f) {
            SetCell(x, y);
            g.phase = 2;
            return 0;
        }
        g.current = g.current + d * step;
        SetPosition(g.current.x, g.current.y, g.current.z);
        return 1;
    }
    default:
        if (CellX() == x && CellY() == y)
            return 0;
        g.phase = 0;
        return 1;
    }
}

void CChara::ResetGlide() {
    Glide() = CellGlide{};
}

// --- frames -----------------------------------------------------------------

void CChara::RefreshAnchor() {
    const float* r = ReferenceValues();
    anchor_ = {r[0], r[1], r[2], r[3], r[4]};
}

void CChara::Update() {
    CMdl::Update();
    RefreshAnchor();
    if (number_)
        number_->UpdateAnchor();
    for (auto& e : effects_)
        if (e)
            e->Update();
    if (animation_ == "wait" && !IsPlaying())
        Play();
}

HRESULT CChara::Draw() {
    return CMdl::Draw();
}

void CChara::DrawNumber() {
    if (number_)
        number_->Draw();
}

void CChara::DrawEffects() {
    for (auto& e : effects_)
        if (e)
            e->Draw();
}

void CChara::SetAlpha(int alpha) {
    for (CSceneObject* a : attachments_)
        a->SetAlpha(alpha);
    CColour::SetAlpha(alpha);
}

int CChara::AnyEffectActive() const {
    for (const auto& e : effects_)
        if (e && e->IsActive())
            return 1;
    return 0;
}

// --- effects ----------------------------------------------------------------

int CChara::StartEffect(EffectKind kind, float offsetX, float offsetY, float offsetZ, float width,
                        float height, float depth, float red, float green, float blue, float alpha,
                        float frameTime) {
    CEffect* free = nullptr;
    for (auto& e : effects_) {
        if (e && !e->IsActive()) {
            free = e.get();
            break;
        }
    }
    if (free == nullptr)
        return 0;
    ClassState& s = State();
    const EffectKindInfo& info = EffectInfo(kind);
    static const Mat4 identity = Mat4::Identity();
    RefreshAnchor();
    free->Start(info.columns, info.rows, frameTime, {offsetX, offsetY, offsetZ},
                {width, height, depth}, s.stage.viewport ? s.stage.viewport : &s.defaultViewport,
                s.camera ? &s.camera->Projection() : &identity,
                s.camera ? &s.camera->View() : &identity, &Placement(), &anchor_);
    free->SetTextureName(info.texture);
    free->SetColour(TruncToInt(alpha), TruncToInt(red), TruncToInt(green), TruncToInt(blue));
    free->Play();
    if (s.sound != nullptr)
        s.sound->Play(CueName(info.cue));
    return 1;
}

// --- battle rules -----------------------------------------------------------

bool CChara::IsBehind(const CharaValues& target) const {
    return ::quolis::IsBehind(*this, target);
}

bool CChara::IsBeside(const CharaValues& target) const {
    return ::quolis::IsBeside(*this, target);
}

bool CChara::IsAboveWithin(std::int32_t here, std::int32_t targetHeight) const {
    return ::quolis::IsAboveWithin(*this, here, targetHeight);
}

std::int32_t CChara::RollDamage(const CharaValues& target, const std::string& command,
                                std::int32_t bonus) const {
    ClassState& s = State();
    GameRandom& random = s.stage.random ? *s.stage.random : s.ownRandom;
    return ::quolis::RollDamage(random, *this, target, command, bonus);
}

bool CChara::HasRange(std::int32_t distance) const {
    return ::quolis::HasRange(*this, distance);
}

std::string CChara::ChooseKillingCommand(const CharaValues& target, std::int32_t distance,
                                         std::int32_t ownHeight, std::int32_t targetHeight,
                                         std::int32_t bonus) const {
    ClassState& s = State();
    GameRandom& random = s.stage.random ? *s.stage.random : s.ownRandom;
    return ::quolis::ChooseKillingCommand(random, *this, target, distance, ownHeight, targetHeight,
                                          bonus);
}

int CChara::IsVisited(std::int32_t x, std::int32_t y) const {
    for (const auto& c : Visited())
        if (c.first == x && c.second == y)
            return 1;
    return 0;
}

} // namespace quolis
