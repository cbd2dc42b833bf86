// Scene 0: one picture, shown for a second after its fade-in (or until
// decide), on the first start only.
#include "app/TitleScenes.h"

#include <memory>

namespace quolis {

bool COneShotWait::Done(CStopwatch& watch, float seconds) {
    if (!started_) {
        started_ = true;
        threshold_ = seconds;
        watch.MarkStart();
    }
    if (watch.SampleElapsed() >= threshold_) {
        started_ = false;
        return true;
    }
    return false;
}

namespace {

class LogoScene final : public CScene {
public:
    HRESULT Build(CGameApp& app) override {
        logo_ = app.Polygons().Add(std::make_unique<CPolygon>());
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        switch (app.GetCycle(kSceneLogo)) {
        case 0:
            if (logo_ != nullptr) {
                logo_->Setup(250, 260, 1.0f, 300, 48, 0, 255, 0);
                logo_->SetTextureName("Logo\\Logo.bmp");
                logo_->SetAlpha(0);
            }
            app.SetCycle(kCycleFadeIn, kSceneLogo, 200, -1);
            break;
        case 200: {
            bool decide = app.Triggers()[kInputDecide] != 0;
            if (wait_.Done(app.SceneTimer(0), 1.0f) || decide) {
                wait_.Clear();
                app.SetNextScene(kSceneTitle, 0);
                app.SetFirstPlay(0);
                app.WriteUserSettings(); // a failed write is not reported
                app.SetCycle(kCycleFadeOut, kSceneLogo, kCycleLeave, -1);
            }
            break;
        }
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& /*app*/) override { return logo_ != nullptr ? logo_->Draw() : S_OK; }

    HRESULT Teardown(CGameApp& /*app*/) override {
        logo_ = nullptr; // the pool deletes it
        return S_OK;
    }

private:
    CPolygon* logo_ = nullptr;
    COneShotWait wait_;
};

} // namespace

std::unique_ptr<CScene> MakeLogoScene() {
    return std::make_unique<LogoScene>();
}

} // namespace quolis
