// Scene 2: the prologue script, read to its end, then the menu hub.
#include "common/Text.h"
#include "scenes/story/StoryScenes.h"

namespace quolis {

namespace {

enum PrologueStep : int { kPrologueStart = 0, kPrologueRead = 100, kPrologueDone = 200 };

class PrologueScene final : public CScene {
public:
    HRESULT SetUp(CGameApp& app) override {
        app.SetSceneTitle(SJ("プロローグ"));
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        switch (app.GetCycle(kScenePrologue)) {
        case kPrologueStart:
            // The pictures come up with the screen fade, from black.
            if (app.Script() != nullptr) {
                app.Script()->SetBrightness(0);
            }
            if (app.ScriptEngine() != nullptr) {
                app.ScriptEngine()->RunFile("Prologue\\1.Dat");
            }
            if (app.Script() != nullptr) {
                app.Script()->Show(true);
            }
            app.SetCycle(kCycleFadeIn, kScenePrologue, kPrologueRead, -1);
            break;
        case kPrologueRead:
            // A script that could not be read (or ended at once) has nothing
            // to wait for.
            if (app.ScriptEngine() != nullptr && !app.ScriptEngine()->Running()) {
                app.SetCycle(kPrologueDone, kScenePrologue, -1, -1);
            } else {
                app.SetCycle(kCycleScript, kScenePrologue, kPrologueDone, -1);
            }
            break;
        case kPrologueDone:
            app.SetNextScene(kSceneMenu, 0);
            app.SetCycle(kCycleFadeOut, kScenePrologue, kCycleLeave, -1);
            break;
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        if (app.Script() != nullptr) {
            app.Script()->Update();
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& app) override {
        if (app.Script() != nullptr) {
            app.Script()->Draw();
        }
        return S_OK;
    }
};

} // namespace

std::unique_ptr<CScene> MakePrologueScene() {
    return std::make_unique<PrologueScene>();
}

} // namespace quolis
