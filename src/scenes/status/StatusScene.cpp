// Scene 6: the first squad creature after a fade-in; the direction keys step
// through the squad (wrapping), cancel returns to the menu hub.
#include "scenes/status/StatusScene.h"
#include "scenes/DrawOrder.h"

#include "common/Text.h"
#include "engine/Model.h"

namespace quolis {

namespace {

enum StatusStep : int { kStatusOpen = 0, kStatusBrowse = 100 };

// Where the creature stands in front of the default camera: the left half of
// the frame.
constexpr float kModelX = -4.0f, kModelY = 0.0f, kModelZ = 0.0f;
constexpr float kModelYaw = 45.0f; // facing the viewer, turned a little

class StatusScene final : public CScene {
public:
    HRESULT Build(CGameApp& app) override {
        frame_ = app.Polygons().Add(std::make_unique<CPolygon>());
        status_ = app.Texts().Add(std::make_unique<CTextObject>());
        if (status_ != nullptr) {
            status_->SetFont(SJ("ＭＳ Ｐゴシック"), 16, 1);
            status_->position = {440, 100, 1.0f};
        }
        arms_ = app.Texts().Add(std::make_unique<CTextObject>());
        if (arms_ != nullptr) {
            arms_->SetFont(SJ("ＭＳ ゴシック"), 14, 0);
            arms_->position = {80, 380, 1.0f};
        }
        model_ = app.Meshes().Add(std::make_unique<CMdl>());
        return S_OK;
    }

    HRESULT SetUp(CGameApp& /*app*/) override {
        if (frame_ != nullptr) {
            frame_->Setup(0, 0, 1.0f, 800, 600, 0, 255, 0);
            frame_->SetTextureName("Status\\Frame.bmp");
        }
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        if (model_ != nullptr) {
            // "wait" plays over and over.
            model_->Update();
            if (model_->IsPlaying() == 0) {
                model_->Play();
            }
        }
        switch (app.GetCycle(kSceneStatus)) {
        case kStatusOpen:
            index_ = 0;
            Show(app);
            app.SetCycle(kCycleFadeIn, kSceneStatus, kStatusBrowse, -1);
            break;
        case kStatusBrowse:
            Browse(app);
            break;
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& /*app*/) override {
        DrawInOrder(frame_, model_, status_, arms_);
        return S_OK;
    }

    HRESULT Teardown(CGameApp& /*app*/) override {
        frame_ = nullptr; // the pools delete them
        status_ = nullptr;
        arms_ = nullptr;
        model_ = nullptr;
        return S_OK;
    }

private:
    const CharaValues* Shown(CGameApp& app) const {
        const GameState* state = app.OwnCampaign().State();
        if (state == nullptr || state->squad.empty()) {
            return nullptr;
        }
        auto it = state->squad.begin();
        std::advance(it, index_);
        return &it->second;
    }

    int SquadSize(CGameApp& app) const {
        const GameState* state = app.OwnCampaign().State();
        return state != nullptr ? static_cast<int>(state->squad.size()) : 0;
    }

    // Model, status text and list of the shown creature.
    void Show(CGameApp& app) {
        const CharaValues* c = Shown(app);
        if (status_ != nullptr) {
            status_->SetText(c != nullptr ? c->StatusText(true) : std::string());
        }
        if (arms_ != nullptr) {
            arms_->SetText(c != nullptr
                               ? StatusArmsText(StatusArmsRows(app.OwnCampaign().Charas(),
                                                               app.OwnCampaign().Arms(), *c))
                               : std::string());
        }
        if (model_ != nullptr) {
            if (c != nullptr && Succeeded(model_->Load(c->ModelFolder() + "\\wait.mdl"))) {
                model_->Play();
            } else {
                model_->Release();
            }
            model_->SetPosition(kModelX, kModelY, kModelZ);
            model_->SetRotation(0, kModelYaw, 0);
        }
    }

    void Browse(CGameApp& app) {
        std::uint32_t* t = app.Triggers();
        int direction = 0;
        if (t[kInputLeft] != 0 || t[kInputUp] != 0) {
            direction = -1;
        } else if (t[kInputRight] != 0 || t[kInputDown] != 0) {
            direction = 1;
        }
        if (direction != 0) {
            t[kInputLeft] = t[kInputUp] = t[kInputRight] = t[kInputDown] = 0;
            app.PlayCue(SJ("方向キー"));
            index_ = StepSquadIndex(index_, SquadSize(app), direction);
            Show(app);
        } else if (t[kInputCancel] != 0) {
            t[kInputCancel] = 0;
            app.PlayCue(SJ("キャンセルキー"));
            app.SetNextScene(kSceneMenu, 0);
            app.SetCycle(kCycleFadeOut, kSceneStatus, kCycleLeave, -1);
        }
    }

    CPolygon* frame_ = nullptr;
    CTextObject* status_ = nullptr;
    CTextObject* arms_ = nullptr;
    CMdl* model_ = nullptr;
    int index_ = 0;
};

} // namespace

std::unique_ptr<CScene> MakeStatusScene() {
    return std::make_unique<StatusScene>();
}

} // namespace quolis
