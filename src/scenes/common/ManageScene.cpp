#include "scenes/common/ManageScene.h"

#include "app/Campaign.h"
#include "common/Text.h"
#include "engine/Model.h"

#include <memory>

namespace quolis {
namespace {

// Short menus stand right, just above the message frame; long lists down
// the left edge.
constexpr float kMenuX = 560, kMenuY = 290, kMenuStep = 30;
constexpr float kListX = 40, kListY = 70, kListStep = 26;

} // namespace

TokenList NarrationTokens(const std::vector<std::string>& messages, bool keepLast) {
    TokenList out{SJ("ナレーション：")};
    for (std::size_t i = 0; i < messages.size(); ++i) {
        out.push_back(messages[i]);
        if (!keepLast || i + 1 < messages.size()) {
            out.push_back(".");
        }
    }
    return out;
}

std::vector<std::string> SaveChoices(const std::string& statePath) {
    std::vector<std::string> choices{SJ("セーブしない")};
    // A state without a file of its own (never loaded or saved) has nowhere
    // to be written over.
    if (!statePath.empty() && statePath.find("Init.Dat") == std::string::npos) {
        choices.push_back(SJ("上書きセーブする"));
    }
    choices.push_back(SJ("セーブする"));
    return choices;
}

// --- creature models --------------------------------------------------------

void CCreatureModel::Show(const CharaValues* c) {
    if (model_ == nullptr) {
        return;
    }
    if (c == nullptr) {
        model_->SetEnabled(0);
        return;
    }
    model_->SetEnabled(1);
    const std::string folder = c->CoreFlag() != 0 ? std::string("Core") : c->ModelFolder();
    const std::string file = folder + "\\wait.mdl";
    if (file != file_) {
        file_ = file;
        model_->Load(file);
        model_->Play();
    }
}

void CCreatureModel::Update() {
    if (model_ == nullptr || model_->IsEnabled() == 0) {
        return;
    }
    if (model_->IsPlaying() == 0) {
        model_->Play();
    }
    model_->Update();
}

void CCreatureModel::Draw() {
    if (model_ != nullptr && model_->IsEnabled() != 0) {
        model_->Draw();
    }
}

// --- the scene base ---------------------------------------------------------

HRESULT CManageScene::Build(CGameApp& app) {
    // Nearer than the scene cycle's camera, so that the creature fills the
    // middle of the screen.
    app.Camera().SetEye(0, 3.5f, -8);
    app.Camera().SetLookAt(0, 0.3f, 0);
    list_ = app.SlotLists().Add(std::make_unique<CSlotList>());
    if (list_ != nullptr) {
        list_->SetupWidget(SJ("ＭＳ Ｐゴシック"), 14, 1);
    }
    app.SetSharedSlotList(list_);
    for (CTextObject*& t : texts_) {
        t = app.Texts().Add(std::make_unique<CTextObject>());
        if (t != nullptr) {
            t->SetFont(SJ("ＭＳ Ｐゴシック"), 14, 1);
        }
    }
    for (CCreatureModel& m : models_) {
        m = CCreatureModel();
        CMdl* model = app.Meshes().Add(std::make_unique<CMdl>());
        if (model != nullptr) {
            model->SetEnabled(0);
        }
        m.Attach(model);
    }
    if (frame_ != nullptr) {
        framePicture_ = app.Polygons().Add(std::make_unique<CPolygon>());
    }
    return S_OK;
}

HRESULT CManageScene::SetUp(CGameApp& app) {
    if (list_ != nullptr) {
        list_->SetAlpha(255);
    }
    if (framePicture_ != nullptr) {
        framePicture_->Setup(0, 0, 1.0f, 800, 600, 0, 255, 0);
        framePicture_->SetTextureName(frame_);
    }
    if (app.Midi() != nullptr) {
        app.Midi()->Play(music_);
    }
    return S_OK;
}

HRESULT CManageScene::Draw(CGameApp& app) {
    if (framePicture_ != nullptr) {
        framePicture_->Draw();
    }
    for (CCreatureModel& m : models_) {
        m.Draw();
    }
    for (CTextObject* t : texts_) {
        if (t != nullptr && t->IsEnabled() != 0) {
            t->Draw();
        }
    }
    if (app.Script() != nullptr) {
        app.Script()->Draw();
    }
    if (list_ != nullptr) {
        list_->Draw();
    }
    return S_OK;
}

HRESULT CManageScene::Teardown(CGameApp& /*app*/) {
    list_ = nullptr;
    framePicture_ = nullptr;
    texts_ = {};
    for (CCreatureModel& m : models_) {
        m = CCreatureModel();
    }
    return S_OK;
}

GameState* CManageScene::State(CGameApp& app) {
    return app.OwnCampaign().State();
}

bool CManageScene::Take(CGameApp& app, int action) {
    std::uint32_t& t = app.Triggers()[action];
    if (t == 0) {
        return false;
    }
    t = 0;
    return true;
}

int CManageScene::TakeDirection(CGameApp& app) {
    if (Take(app, kActLeft) || Take(app, kActUp)) {
        return -1;
    }
    if (Take(app, kActRight) || Take(app, kActDown)) {
        return 1;
    }
    return 0;
}

void CManageScene::Cue(CGameApp& app, const char* utf8Name) {
    app.PlayCue(Utf8ToCp932(utf8Name));
}

void CManageScene::Say(CGameApp& app, const std::vector<std::string>& messages, int after) {
    ClearMenu();
    if (CScript* script = app.ScriptEngine()) {
        script->RunTokens(NarrationTokens(messages), true);
    }
    app.SetCycle(kCycleScript, scene_, after, -1);
}

void CManageScene::Prompt(CGameApp& app, const std::string& message) {
    if (CScript* script = app.ScriptEngine()) {
        script->RunTokens(NarrationTokens({message}, true), true);
    }
    if (app.Script() != nullptr) {
        app.Script()->SetBrightness(255);
        app.Script()->Show(true);
    }
}

void CManageScene::HideMessage(CGameApp& app) {
    if (app.Script() != nullptr) {
        app.Script()->Show(false);
    }
}

void CManageScene::Ask(CGameApp& app, const std::string& question,
                       const std::vector<std::string>& choices, int after) {
    OpenQuestion(app, question);
    if (list_ != nullptr) {
        for (std::size_t i = 0; i < choices.size(); ++i) {
            list_->AddEntry(choices[i], static_cast<int>(i), kMenuX,
                            kMenuY + kMenuStep * static_cast<float>(i), 1.0f, 100, 40, 0);
        }
    }
    app.SetCycle(kCycleSlotList, scene_, after, -1);
}

void CManageScene::AskList(CGameApp& app, const std::string& question, const CharaMap& map,
                           const std::vector<std::string>& extra, int after) {
    OpenQuestion(app, question);
    if (list_ != nullptr) {
        int key = 0;
        const auto add = [&](const std::string& name) {
            list_->AddEntry(name, key, kListX, kListY + kListStep * static_cast<float>(key), 1.0f,
                            100, 40, 0);
            ++key;
        };
        for (const auto& [name, c] : map) {
            add(name);
        }
        for (const std::string& e : extra) {
            add(e);
        }
    }
    app.SetCycle(kCycleSlotList, scene_, after, -1);
}

int CManageScene::ListAnswer(CGameApp& app, const CharaMap& map) const {
    // A cancel leaves the index of the previous choice behind: the name decides.
    if (app.ResultName == SJ("キャンセル") || app.ResultIndex < 0 ||
        app.ResultIndex >= static_cast<int>(map.size())) {
        return -1;
    }
    return app.ResultIndex;
}

int CManageScene::MenuCursor() const {
    return list_ != nullptr ? list_->CurrentKey() : -1;
}

void CManageScene::OpenQuestion(CGameApp& app, const std::string& question) {
    if (question.empty()) {
        HideMessage(app);
    } else {
        Prompt(app, question);
    }
    ClearMenu();
}

void CManageScene::ClearMenu() {
    if (list_ != nullptr) {
        list_->ClearEntries();
    }
}

void CManageScene::AskSave(CGameApp& app, int resume) {
    resume_ = resume;
    app.SetCycle(kCycleSaveQuestion, scene_, -1, -1);
}

HRESULT CManageScene::Frame(CGameApp& app) {
    if (app.Script() != nullptr) {
        app.Script()->Update();
    }
    for (CCreatureModel& m : models_) {
        m.Update();
    }
    const int code = app.GetCycle(scene_);
    switch (code) {
    case kCycleSaveQuestion:
    case kCycleSaveAnswer:
    case kCycleSaveSlot:
    case kCycleBackToHub:
        StepSaveQuestion(app, code);
        break;
    case kCycleLeave:
        return app.SwitchToNextScene();
    default:
        if (code >= 0) {
            Step(app, code);
        } else {
            WhileService(app);
        }
        break;
    }
    return S_OK;
}

void CManageScene::StepSaveQuestion(CGameApp& app, int code) {
    GameState* state = State(app);
    switch (code) {
    case kCycleSaveQuestion:
        Ask(app, std::string(), SaveChoices(state != nullptr ? state->filePath : std::string()),
            kCycleSaveAnswer);
        break;
    case kCycleSaveAnswer:
        ClearMenu();
        if (app.ResultName == SJ("セーブしない")) {
            app.SetCycle(kCycleBackToHub, scene_, -1, -1);
        } else if (app.ResultName == SJ("上書きセーブする")) {
            if (state != nullptr && app.Campaign() != nullptr) {
                app.Campaign()->WriteSave(app.SecureReader(), state->filePath);
            }
            app.SetCycle(kCycleBackToHub, scene_, -1, -1);
        } else if (app.ResultName == SJ("セーブする")) {
            if (list_ != nullptr) {
                for (const SlotEntry& e : BuildSlotList(false, [&app](int slot) {
                         return ReadSlotSummary(app.SecureReader(), app.ContentReader(),
                                                CGameApp::SavePath(slot));
                     })) {
                    list_->AddEntry(e.text, e.key, e.x, e.y, e.z, e.width, e.height, 0);
                }
            }
            app.SetCycle(kCycleSlotList, scene_, kCycleSaveSlot, -1);
        } else {
            // Cancelled: back into the scene.
            app.SetCycle(resume_, scene_, -1, -1);
        }
        break;
    case kCycleSaveSlot:
        // A cancel of the save list asks the question again.
        app.SetCycle(kCycleWriteSave, scene_, kCycleBackToHub, kCycleSaveQuestion);
        break;
    case kCycleBackToHub:
        ClearMenu();
        HideMessage(app);
        app.SetNextScene(kSceneMenu, 0);
        app.SetCycle(kCycleFadeOut, scene_, kCycleLeave, -1);
        break;
    default:
        break;
    }
}

} // namespace quolis
