// Discard: a squad creature (never below the minimum squad size) or a core.
#include "common/Text.h"
#include "engine/Model.h"
#include "manage/Regeneration.h"
#include "scenes/common/ManageScene.h"
#include "scenes/regen/RegenScenes.h"

namespace quolis {
namespace {

class DiscardScene final : public CManageScene {
public:
    DiscardScene() : CManageScene(kSceneDiscard, "Haiki.mid", nullptr) {}

protected:
    void Step(CGameApp& app, int code) override {
        GameState& g = *State(app);
        switch (code) {
        case kDiscardOpen:
            if (CTextObject* t = Text(0)) {
                t->position = {560, 110, 1};
            }
            app.SetCycle(kCycleFadeIn, Scene(), kDiscardQuestion, -1);
            break;
        case kDiscardQuestion:
            listed_ = nullptr;
            Show(nullptr);
            Ask(app, SJ("何を廃棄しますか？"), {SJ("ＱＬ"), SJ("コア"), SJ("キャンセル")},
                kDiscardAnswer);
            break;
        case kDiscardAnswer:
            if (app.ResultName == SJ("ＱＬ")) {
                listed_ = &g.squad;
                AskList(app, std::string(), g.squad, {SJ("←やっぱり廃棄しない"), SJ("キャンセル")},
                        kDiscardCreatureChosen);
            } else if (app.ResultName == SJ("コア")) {
                listed_ = &g.cores;
                AskList(app, std::string(), g.cores, {SJ("←やっぱり廃棄しない"), SJ("キャンセル")},
                        kDiscardCoreChosen);
            } else {
                ClearMenu();
                AskSave(app, kDiscardQuestion);
            }
            break;
        case kDiscardCreatureChosen:
            Chosen(app, true);
            break;
        case kDiscardCoreChosen:
            Chosen(app, false);
            break;
        default:
            break;
        }
    }

    // While a list is open, the creature or core under the cursor is shown.
    void WhileService(CGameApp& /*app*/) override {
        if (listed_ == nullptr) {
            return;
        }
        auto it = AtIndex(*listed_, MenuCursor());
        Show(it == listed_->end() ? nullptr : &it->second);
    }

private:
    void Show(const CharaValues* c) {
        Creature(0).Show(c);
        if (CMdl* m = Creature(0).Model()) {
            m->SetPosition(0, 0, 0);
        }
        if (CTextObject* t = Text(0)) {
            t->SetText(c != nullptr ? c->ShortStatusText(true) : std::string());
        }
    }

    void Chosen(CGameApp& app, bool creature) {
        GameState& g = *State(app);
        CharaMap& map = creature ? g.squad : g.cores;
        listed_ = nullptr;
        Show(nullptr);
        const int i = ListAnswer(app, map);
        ClearMenu();
        if (i < 0) {
            app.SetCycle(kDiscardQuestion, Scene(), -1, -1);
            return;
        }
        if (!creature) {
            DiscardCore(g, AtIndex(map, i));
            Say(app, {SJ("コアを廃棄しました・・・。")}, kDiscardQuestion);
        } else if (DiscardCreature(g, AtIndex(map, i)) == DiscardResult::Discarded) {
            Say(app, {SJ("ＱＬを廃棄しました・・・。")}, kDiscardQuestion);
        } else {
            Say(app, {SJ("これ以上ＱＬを廃棄することはできません・・・。")}, kDiscardQuestion);
        }
    }

    CharaMap* listed_ = nullptr;
};

} // namespace

std::unique_ptr<CScene> MakeDiscardScene() {
    return std::make_unique<DiscardScene>();
}

} // namespace quolis
