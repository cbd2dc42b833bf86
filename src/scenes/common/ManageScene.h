#pragma once
// What the four squad management scenes (level up, fusion, regeneration,
// discard) share: the narrations in the message box, the text menus through
// the shared slot list, the creature models, and the save question they all
// end with before going back to the menu hub.
#include "app/GameApp.h"
#include "data/GameState.h"

#include <array>
#include <string>
#include <vector>

namespace quolis {

class CMdl;

// Step codes of the save question (the same in every management scene).
enum SaveQuestionCycle : int {
    kCycleSaveQuestion = 9000,
    kCycleSaveAnswer = 9010,
    kCycleSaveSlot = 9020,
    kCycleBackToHub = 9100,
};

// ("ナレーション：", m1, ".", m2, ".", …). With `keepLast` the last message has
// no closing "." and stays in the box once shown.
TokenList NarrationTokens(const std::vector<std::string>& messages, bool keepLast = false);

// The save question's choices: "セーブしない", "上書きセーブする" (only for a
// state with a file of its own other than the new-game file), "セーブする".
std::vector<std::string> SaveChoices(const std::string& statePath);

// A creature's model standing in a scene: its type's "wait" animation (a
// core shows "Core\wait"), played over and over.
class CCreatureModel {
public:
    void Attach(CMdl* model) { model_ = model; }
    CMdl* Model() { return model_; }
    // Shows the creature (null hides the model). The model is loaded again
    // only when the animation file changes.
    void Show(const CharaValues* c);
    void Update();
    void Draw();

private:
    CMdl* model_ = nullptr;
    std::string file_;
};

// Base of the four scenes: the shared slot list (text menus and the save
// list), two text objects, two creature models, an optional full-screen
// frame picture, the script's message box, and the save question.
class CManageScene : public CScene {
public:
    CManageScene(int scene, const char* music, const char* frame)
        : scene_(scene), music_(music), frame_(frame) {}

    HRESULT Build(CGameApp& app) override;
    HRESULT SetUp(CGameApp& app) override;
    HRESULT Draw(CGameApp& app) override;
    HRESULT Teardown(CGameApp& app) override;
    // Every logic step: the message box and the models move on, then the
    // shared steps (save question, leaving) or the scene's own step run.
    HRESULT Frame(CGameApp& app) final;

protected:
    // The scene's own step `code` (codes of the shared services are ignored).
    virtual void Step(CGameApp& app, int code) = 0;
    // Called while a shared service runs for the scene (menus, narrations).
    virtual void WhileService(CGameApp& /*app*/) {}
    // The key of the slot list's current entry (-1 without one).
    int MenuCursor() const;
    int Scene() const { return scene_; }
    GameState* State(CGameApp& app);
    // True once when the action's trigger is set (the trigger is cleared).
    static bool Take(CGameApp& app, int action);
    // Left or up: -1, right or down: +1 (the trigger is taken), else 0.
    static int TakeDirection(CGameApp& app);
    static void Cue(CGameApp& app, const char* utf8Name);

    // Narration in the message box, stepped by the script service; the box
    // hides when it is done and the scene goes on at `after`.
    void Say(CGameApp& app, const std::vector<std::string>& messages, int after);
    // A message that stays shown while the scene waits for its own keys.
    void Prompt(CGameApp& app, const std::string& message);
    void HideMessage(CGameApp& app);
    // A text menu (the shared slot list) under an optional question shown in
    // the message box; the answer is in ResultName / ResultIndex at `after`.
    void Ask(CGameApp& app, const std::string& question, const std::vector<std::string>& choices,
             int after);
    // A list of creatures (name order) followed by `extra` entries; entry i
    // has key i.
    void AskList(CGameApp& app, const std::string& question, const CharaMap& map,
                 const std::vector<std::string>& extra, int after);
    // After AskList: the chosen creature's position, or -1 for a way back.
    int ListAnswer(CGameApp& app, const CharaMap& map) const;
    void ClearMenu();
    // The question in the message box (or no box) and an empty menu.
    void OpenQuestion(CGameApp& app, const std::string& question);

    // The save question; a cancel there goes back to `resume`.
    void AskSave(CGameApp& app, int resume);

    CTextObject* Text(int i) { return texts_[i]; }
    CCreatureModel& Creature(int i) { return models_[i]; }

private:
    void StepSaveQuestion(CGameApp& app, int code);

    int scene_;
    const char* music_;
    const char* frame_;
    int resume_ = 0;
    CSlotList* list_ = nullptr;
    CPolygon* framePicture_ = nullptr;
    std::array<CTextObject*, 2> texts_{};
    std::array<CCreatureModel, 2> models_{};
};

} // namespace quolis
