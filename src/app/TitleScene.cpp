// Scene 1: the title pictures with music and the three buttons: continue
// from a save (the load list), a new campaign, and the key configuration.
#include "app/TitleScenes.h"

#include "common/Text.h"
#include "data/GameState.h"

#include <memory>

namespace quolis {

std::unique_ptr<CScene> MakeLogoScene();

std::string TitleContinueName() {
    return SJ("つづきから");
}
std::string TitleStartName() {
    return SJ("はじめから");
}
std::string TitleKeyConfigName() {
    return SJ("キーコンフィグ");
}

namespace {

constexpr float kButtonWidth = 168, kButtonHeight = 48, kButtonY = 350;

class TitleScene final : public CScene {
public:
    HRESULT Build(CGameApp& app) override {
        // The window shows the application's title again (no scene name).
        app.SetWindowTitle(CGameApp::AppTitle());
        row_ = app.ButtonRows().Add(std::make_unique<CButtonRow>());
        if (row_ != nullptr) {
            row_->SetupWidget();
        }
        list_ = app.SlotLists().Add(std::make_unique<CSlotList>());
        if (list_ != nullptr) {
            list_->SetupWidget(SJ("ＭＳ Ｐゴシック"), 14, 1);
        }
        app.SetSharedButtonRow(row_);
        app.SetSharedSlotList(list_);
        for (CPolygon*& p : pictures_) {
            p = app.Polygons().Add(std::make_unique<CPolygon>());
        }
        return S_OK;
    }

    HRESULT SetUp(CGameApp& app) override {
        if (list_ != nullptr) {
            list_->SetAlpha(255);
        }
        static constexpr struct {
            float x, y, w, h;
            const char* picture;
        } kPictures[3] = {{0, 0, 800, 600, "Title\\TitleBack.bmp"},
                          {144, 120, 512, 64, "Title\\Title.bmp"},
                          {250, 420, 256, 64, "Title\\TitleLogo.bmp"}};
        for (int i = 0; i < 3; ++i) {
            if (pictures_[i] != nullptr) {
                const auto& p = kPictures[i];
                pictures_[i]->Setup(p.x, p.y, 1.0f, p.w, p.h, 0, 255, 0);
                // A missing picture leaves the polygon without a texture.
                pictures_[i]->SetTextureName(p.picture);
            }
        }
        if (app.Midi() != nullptr) {
            app.Midi()->Play("Title.mid");
        }
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        switch (app.GetCycle(kSceneTitle)) {
        case 0:
            if (pictures_[2] != nullptr) {
                pictures_[2]->SetEnabled(1);
            }
            if (list_ != nullptr) {
                list_->ClearEntries();
            }
            if (row_ != nullptr) {
                row_->ClearEntries();
                row_->AddEntry(TitleContinueName(), "Button\\Title\\Continue.bmp", 1, 100, kButtonY,
                               1.0f, kButtonWidth, kButtonHeight, 0);
                row_->AddEntry(TitleStartName(), "Button\\Title\\Start.bmp", 2, 300, kButtonY, 1.0f,
                               kButtonWidth, kButtonHeight, 0);
                row_->AddEntry(TitleKeyConfigName(), "Button\\Title\\KeyConfig.bmp", 3, 500,
                               kButtonY, 1.0f, kButtonWidth, kButtonHeight, 0);
                row_->SetAlpha(0);
            }
            app.SetCycle(kCycleFadeIn, kSceneTitle, 200, -1);
            break;
        case 200:
            app.SetCycle(kCycleButtonRow, kSceneTitle, 400, -1);
            break;
        case 400:
            Choose(app);
            break;
        case 1000:
            app.FillSlotList(true);
            app.SetCycle(kCycleSlotList, kSceneTitle, 1100, -1);
            break;
        case 1100:
            app.SetNextScene(kSceneMenu, 0);
            app.SetCycle(kCycleLoadSave, kSceneTitle, 1200, 0);
            break;
        case 1200:
            app.SetCycle(kCycleFadeOut, kSceneTitle, kCycleLeave, -1);
            break;
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& /*app*/) override {
        for (int i = 0; i < 2; ++i) {
            if (pictures_[i] != nullptr) {
                pictures_[i]->Draw();
            }
        }
        if (row_ != nullptr) {
            row_->Draw();
        }
        if (pictures_[2] != nullptr) {
            pictures_[2]->Draw();
        }
        if (list_ != nullptr) {
            list_->Draw();
        }
        return S_OK;
    }

    HRESULT Teardown(CGameApp& /*app*/) override {
        row_ = nullptr;
        list_ = nullptr;
        pictures_ = {};
        return S_OK;
    }

private:
    void Choose(CGameApp& app) {
        if (app.ResultName == TitleContinueName()) {
            if (pictures_[2] != nullptr) {
                pictures_[2]->SetEnabled(0);
            }
            if (row_ != nullptr) {
                row_->ClearEntries();
            }
            app.SetCycle(1000, kSceneTitle, -1, -1);
        } else if (app.ResultName == TitleStartName()) {
            // The prologue follows whether or not the initial data loaded.
            if (app.Campaign() != nullptr) {
                app.Campaign()->LoadSave(app.SecureReader(), CGameApp::SavePath(0));
            }
            app.SetNextScene(kScenePrologue, 0);
            app.SetCycle(kCycleFadeOut, kSceneTitle, kCycleLeave, -1);
        } else if (app.ResultName == TitleKeyConfigName()) {
            app.SetCycle(0, kSceneTitle, -1, -1);
            app.ResultName.clear();
            // Modal: returns when the window closes; step 0 then rebuilds
            // the buttons with the cursor on the first one.
            if (app.Env().host != nullptr) {
                app.Env().host->RunKeyConfig();
            }
        }
    }

    CButtonRow* row_ = nullptr;
    CSlotList* list_ = nullptr;
    std::array<CPolygon*, 3> pictures_{};
};

} // namespace

void InstallTitleScenes(CGameApp& app) {
    app.SetSceneHandlers(kSceneLogo, MakeLogoScene());
    app.SetSceneHandlers(kSceneTitle, std::make_unique<TitleScene>());
}

} // namespace quolis
