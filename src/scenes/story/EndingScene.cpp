// Scene 11: the ending script, then the staff roll over the scrolling
// background with the ending music; the last block waits for decide, then
// the title.
#include "app/TitleScenes.h"
#include "common/Log.h"
#include "common/Text.h"
#include "scenes/DrawOrder.h"
#include "scenes/story/StoryScenes.h"

namespace quolis {

namespace {

enum EndingStep : int {
    kEndingStart = 0,
    kEndingScript = 100,
    kEndingScriptDone = 1000,
    kEndingMusic = 1002,
    kCreditFadeIn = 5000,
    kCreditStay = 5010,
    kCreditFadeOut = 5020,
    kLastCreditFadeIn = 6000,
    kLastCreditWait = 6010,
    kEndingDone = 9000,
};

constexpr int kCreditTimer = 9;
constexpr float kCreditSeconds = 2.0f;

class EndingScene final : public CScene {
public:
    HRESULT Build(CGameApp& app) override {
        credit_ = app.Texts().Add(std::make_unique<CTextObject>());
        if (credit_ != nullptr) {
            credit_->SetFont(SJ("ＭＳ Ｐゴシック"), 20, 1);
            credit_->position = {150, 230, 1.0f};
        }
        background_ = std::make_unique<CScrollPolygon>();
        background_->Setup(0, 0, 1.0f, 800, 600, 0, 255, 0);
        background_->SetTextureName("Menu\\BG.bmp");
        background_->SetScroll(-0.001f, -0.002f);
        background_->SetEnabled(0);
        return S_OK;
    }

    HRESULT SetUp(CGameApp& app) override {
        app.SetSceneTitle(SJ("エンディング"));
        return S_OK;
    }

    HRESULT Teardown(CGameApp& /*app*/) override {
        background_.reset();
        credit_ = nullptr;
        wait_.Clear();
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        if (background_) {
            background_->UpdateScroll();
        }
        if (app.Script() != nullptr) {
            app.Script()->Update();
        }
        const int step = app.GetCycle(kSceneEnding);
        if (step >= kStaffRollFirst && step <= kStaffRollLast && StaffRollNext(step) != 0) {
            ShowBlock(app, step);
            return S_OK;
        }
        switch (step) {
        case kEndingStart: {
            CScript* script = app.ScriptEngine();
            bool running = script != nullptr && Succeeded(script->RunFile("Ending\\1.Dat")) &&
                           script->Running();
            if (!running) {
                // Without its script the ending still rolls the credits.
                LogLine("the ending script cannot be run");
            }
            app.SetCycle(kCycleFadeIn, kSceneEnding, running ? kEndingScript : kEndingScriptDone,
                         -1);
            break;
        }
        case kEndingScript:
            app.SetCycle(kCycleScript, kSceneEnding, kEndingScriptDone, -1);
            break;
        case kEndingScriptDone:
            app.SetCycle(kCycleFadeOut, kSceneEnding, kEndingMusic, -1);
            break;
        case kEndingMusic:
            if (app.Midi() != nullptr) {
                app.Midi()->Play("Ending.mid");
            }
            if (background_) {
                background_->SetEnabled(1);
            }
            app.SetCycle(kCycleFadeIn, kSceneEnding, kStaffRollFirst, -1);
            break;
        case kCreditFadeIn:
            if (credit_ == nullptr || credit_->FadeAlpha(255, 1, FadeStep(app)) == 0) {
                app.SetCycle(kCreditStay, kSceneEnding, -1, -1);
            }
            break;
        case kCreditStay:
            if (wait_.Done(app.SceneTimer(kCreditTimer), kCreditSeconds)) {
                app.SetCycle(kCreditFadeOut, kSceneEnding, -1, -1);
            }
            break;
        case kCreditFadeOut:
            if (credit_ == nullptr || credit_->FadeAlpha(0, 0, FadeStep(app)) == 0) {
                app.SetCycle(app.GetAfterCycle(kSceneEnding), kSceneEnding, -1, -1);
            }
            break;
        case kLastCreditFadeIn:
            if (credit_ == nullptr || credit_->FadeAlpha(255, 1, FadeStep(app)) == 0) {
                app.SetCycle(kLastCreditWait, kSceneEnding, -1, -1);
            }
            break;
        case kLastCreditWait:
            if (app.Triggers()[kInputDecide] != 0) {
                app.Triggers()[kInputDecide] = 0;
                app.SetCycle(kCreditFadeOut, kSceneEnding, -1, -1);
            }
            break;
        case kEndingDone:
            app.SetNextScene(kSceneTitle, 0);
            app.SetCycle(kCycleFadeOut, kSceneEnding, kCycleLeave, -1);
            break;
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& app) override {
        DrawInOrder(background_.get(), credit_, app.Script());
        return S_OK;
    }

private:
    // A block's step: its text at alpha 0, then fade in, stay and fade out
    // (the last block waits for decide instead of staying).
    void ShowBlock(CGameApp& app, int step) {
        if (credit_ != nullptr) {
            credit_->SetText(StaffRollBlock(step));
            credit_->SetAlpha(0);
        }
        if (step == kStaffRollLast) {
            app.SetCycle(kLastCreditFadeIn, kSceneEnding, kEndingDone, -1);
        } else {
            app.SetCycle(kCreditFadeIn, kSceneEnding, StaffRollNext(step), -1);
        }
    }

    // The scaled fade speed; at least 1 so that a tiny setting still ends
    // each fade.
    static int FadeStep(CGameApp& app) {
        const int step = static_cast<int>(app.Speed(kSpeedFade));
        return step < 1 ? 1 : step;
    }

    CTextObject* credit_ = nullptr;
    std::unique_ptr<CScrollPolygon> background_;
    COneShotWait wait_;
};

} // namespace

std::unique_ptr<CScene> MakeEndingScene() {
    return std::make_unique<EndingScene>();
}

} // namespace quolis
