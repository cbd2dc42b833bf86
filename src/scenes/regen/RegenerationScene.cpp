// Regeneration: the core list, the squad-maximum question with its discard
// list, and the glide out and back around the regeneration itself.
#include "common/Text.h"
#include "engine/Model.h"
#include "manage/Regeneration.h"
#include "scenes/common/ManageScene.h"
#include "scenes/regen/RegenScenes.h"

namespace quolis {
namespace {

constexpr float kTextX = 50, kTextY = 400;

class RegenerationScene final : public CManageScene {
public:
    RegenerationScene() : CManageScene(kSceneRegeneration, "Saisei.mid", nullptr) {}

protected:
    void Step(CGameApp& app, int code) override {
        GameState& g = *State(app);
        switch (code) {
        case kRegenOpen:
            index_ = 0;
            app.SetCycle(kCycleFadeIn, Scene(), kRegenEntry, -1);
            break;
        case kRegenEntry:
            Entry(app);
            break;
        case kRegenEnd:
            HideMessage(app);
            AskSave(app, kRegenEntry);
            break;
        case kRegenCoreList:
            CoreList(app);
            break;
        case kRegenRoom:
            showingSquad_ = false;
            ShowCore(app);
            if (SquadHasRoom(g, app.OwnCampaign().SquadMax())) {
                Ask(app, std::string(), {SJ("このコアを再生する"), SJ("キャンセル")},
                    kRegenConfirmAnswer);
            } else {
                Say(app,
                    {SJ("ＱＬは") + std::to_string(app.OwnCampaign().SquadMax()) +
                     SJ("体までしか制御できません・・・。")},
                    kRegenDiscardQuestion);
            }
            break;
        case kRegenConfirmAnswer:
            ClearMenu();
            app.SetCycle(app.ResultName == SJ("このコアを再生する") ? kRegenGlideOut
                                                                    : kRegenCoreList,
                         Scene(), -1, -1);
            break;
        case kRegenDiscardQuestion:
            Ask(app, SJ("ＱＬを廃棄しますか？"),
                {SJ("廃棄する"), SJ("廃棄しない"), SJ("キャンセル")}, kRegenDiscardAnswer);
            break;
        case kRegenDiscardAnswer:
            if (app.ResultName == SJ("廃棄する")) {
                showingSquad_ = true;
                AskList(app, std::string(), g.squad, {SJ("←やっぱり廃棄しない"), SJ("キャンセル")},
                        kRegenDiscardChosen);
            } else {
                ClearMenu();
                HideMessage(app);
                app.SetCycle(kRegenCoreList, Scene(), -1, -1);
            }
            break;
        case kRegenDiscardChosen:
            DiscardChosen(app);
            break;
        case kRegenGlideOut:
            GlideOut(app);
            break;
        case kRegenMake:
            Make(app);
            break;
        case kRegenGlideBack:
            GlideBack(app);
            break;
        default:
            break;
        }
    }

    // While the squad list is open, the creature under the cursor is shown.
    void WhileService(CGameApp& app) override {
        if (!showingSquad_) {
            return;
        }
        GameState& g = *State(app);
        auto it = AtIndex(g.squad, MenuCursor());
        Show(it == g.squad.end() ? nullptr : &it->second);
    }

private:
    void Show(const CharaValues* c) {
        Creature(0).Show(c);
        if (CMdl* m = Creature(0).Model()) {
            m->SetPosition(0, 0, 0);
            m->SetAlpha(255);
        }
        if (CTextObject* t = Text(0)) {
            t->position = {kTextX, kTextY, 1};
            t->SetText(c != nullptr ? c->ShortStatusText(true) : std::string());
            t->SetAlpha(255);
        }
    }

    void ShowCore(CGameApp& app) {
        GameState& g = *State(app);
        auto it = AtIndex(g.cores, index_);
        Show(it == g.cores.end() ? nullptr : &it->second);
    }

    void Entry(CGameApp& app) {
        GameState& g = *State(app);
        showingSquad_ = false;
        if (g.cores.empty()) {
            Show(nullptr);
            Say(app, {SJ("再生にはコアが１個以上必要です・・・。"), SJ("再生を終了します・・・。")},
                kRegenEnd);
            return;
        }
        if (index_ >= static_cast<int>(g.cores.size())) {
            index_ = 0;
        }
        ShowCore(app);
        app.SetCycle(kRegenCoreList, Scene(), -1, -1);
    }

    void CoreList(CGameApp& app) {
        GameState& g = *State(app);
        const int n = static_cast<int>(g.cores.size());
        HideMessage(app);
        ShowCore(app);
        if (const int step = TakeDirection(app)) {
            Cue(app, "方向キー");
            index_ = (index_ + n + step) % n;
            ShowCore(app);
        } else if (Take(app, kActDecide)) {
            Cue(app, "決定キー");
            app.SetCycle(kRegenRoom, Scene(), -1, -1);
        } else if (Take(app, kActCancel)) {
            Cue(app, "キャンセルキー");
            app.SetCycle(kRegenEnd, Scene(), -1, -1);
        }
    }

    void DiscardChosen(CGameApp& app) {
        GameState& g = *State(app);
        showingSquad_ = false;
        const int i = ListAnswer(app, g.squad);
        ClearMenu();
        if (i < 0) {
            HideMessage(app);
            app.SetCycle(kRegenCoreList, Scene(), -1, -1);
            return;
        }
        switch (DiscardCreature(g, AtIndex(g.squad, i))) {
        case DiscardResult::Discarded:
            // The same core again: now there is room.
            Say(app, {SJ("ＱＬを廃棄しました・・・。")}, kRegenRoom);
            break;
        case DiscardResult::AtMinimum:
            Say(app, {SJ("これ以上ＱＬを廃棄することはできません・・・。")}, kRegenCoreList);
            break;
        case DiscardResult::NotFound:
            app.SetCycle(kRegenCoreList, Scene(), -1, -1);
            break;
        }
    }

    // The core glides off to the left and fades; its text flies up right.
    void GlideOut(CGameApp& app) {
        int model = 0;
        if (CMdl* m = Creature(0).Model()) {
            model |= m->GlideTo(-4, 0, 0, 0.2f);
            model |= m->FadeAlpha(0, 0, 10);
        }
        if (CTextObject* t = Text(0)) {
            t->GlideTo(450, 50, 1, 0.2f);
            t->FadeAlpha(0, 0, 10);
        }
        if (model == 0) {
            app.SetCycle(kRegenMake, Scene(), -1, -1);
        }
    }

    void Make(CGameApp& app) {
        GameState& g = *State(app);
        auto it = AtIndex(g.cores, index_);
        const std::string name = it != g.cores.end() ? it->first : std::string();
        if (it == g.cores.end() || !Regenerate(g, it, app.OwnCampaign().SquadMax())) {
            app.SetCycle(kRegenEntry, Scene(), -1, -1);
            return;
        }
        Say(app, {SJ("コアから、") + name + SJ("が再生されました・・・。")}, kRegenGlideBack);
    }

    void GlideBack(CGameApp& app) {
        int busy = 0;
        if (CMdl* m = Creature(0).Model()) {
            busy |= m->GlideTo(0, 0, 0, 0.2f);
            busy |= m->FadeAlpha(0, 0, 10);
        }
        if (CTextObject* t = Text(0)) {
            busy |= t->GlideTo(kTextX, kTextY, 1, 0.2f);
            busy |= t->FadeAlpha(0, 0, 10);
        }
        if (busy == 0) {
            index_ = 0;
            app.SetCycle(kRegenEntry, Scene(), -1, -1);
        }
    }

    int index_ = 0;
    bool showingSquad_ = false;
};

} // namespace

std::unique_ptr<CScene> MakeRegenerationScene() {
    return std::make_unique<RegenerationScene>();
}

} // namespace quolis
