// Level up: choose a creature (the cap refusals), set the amount, count the
// pool down, apply the levels and tell what was gained.
#include "scenes/levelup/LevelUpScene.h"

#include "common/Text.h"
#include "engine/Model.h"
#include "manage/LevelUp.h"
#include "manage/Regeneration.h"
#include "scenes/common/ManageScene.h"

namespace quolis {
namespace {

class LevelUpScene final : public CManageScene {
public:
    LevelUpScene() : CManageScene(kSceneLevelUp, "Lvup.mid", nullptr) {}

protected:
    void Step(CGameApp& app, int code) override {
        switch (code) {
        case kLevelUpOpen:
            Open(app);
            break;
        case kLevelUpChooseStart:
            amount_ = 0;
            Prompt(app, SJ("レベルアップさせたいＱＬを選択します・・・。"));
            Refresh(app);
            app.SetCycle(kLevelUpChoose, Scene(), -1, -1);
            break;
        case kLevelUpChoose:
            Choose(app);
            break;
        case kLevelUpAmountStart:
            // The unit stays in the box while the amount is set.
            Prompt(app, SJ("単位は１００ＢＰです・・・。"));
            app.SetCycle(kLevelUpAmount, Scene(), -1, -1);
            break;
        case kLevelUpAmount:
            Amount(app);
            break;
        case kLevelUpCountDown:
            CountDown(app);
            break;
        default:
            break;
        }
    }

private:
    void Open(CGameApp& app) {
        index_ = 0;
        amount_ = 0;
        counting_ = false;
        if (CTextObject* t = Text(0)) {
            t->position = {40, 40, 1};
        }
        if (CTextObject* t = Text(1)) {
            t->position = {540, 40, 1};
        }
        if (CMdl* m = Creature(0).Model()) {
            m->SetPosition(0, 0, 0);
        }
        app.SetCycle(kCycleFadeIn, Scene(), kLevelUpChooseStart, -1);
    }

    CharaMap::iterator Shown(CGameApp& app) {
        GameState* g = State(app);
        return g == nullptr ? CharaMap::iterator() : AtIndex(g->squad, index_);
    }
    bool HasShown(CGameApp& app) {
        GameState* g = State(app);
        return g != nullptr && Shown(app) != g->squad.end();
    }

    // The shown creature's model, status and the three BP displays.
    void Refresh(CGameApp& app) {
        GameState* g = State(app);
        if (!HasShown(app)) {
            Creature(0).Show(nullptr);
            return;
        }
        auto it = Shown(app);
        cap_ = LevelCap(g->squad, it);
        Creature(0).Show(&it->second);
        if (CTextObject* t = Text(0)) {
            t->SetText(it->second.StatusText(true));
        }
        if (!counting_) {
            shownPool_ = g->bpPool;
        }
        std::int32_t next = 0;
        if (const CharaType* type = app.OwnCampaign().Charas().Find(it->second.TypeName())) {
            next = std::max(NeedToNext(*type, it->second), 0);
        }
        if (CTextObject* t = Text(1)) {
            t->SetText(SJ("現在のレベル上限：") + std::to_string(cap_) + "\n" + SJ("残りＢＰ：") +
                       std::to_string(shownPool_) + "\n" + SJ("投入するＢＰ：") +
                       std::to_string(amount_) + "\n" + SJ("ＮＥＸＴ：") + std::to_string(next));
        }
    }

    void Choose(CGameApp& app) {
        GameState* g = State(app);
        const int n = g == nullptr ? 0 : static_cast<int>(g->squad.size());
        if (const int step = TakeDirection(app)) {
            Cue(app, "方向キー");
            index_ = n == 0 ? 0 : (index_ + n + step) % n;
            Refresh(app);
        } else if (Take(app, kActDecide)) {
            if (!HasShown(app)) {
                return;
            }
            Cue(app, "決定キー");
            const CharaValues& c = Shown(app)->second;
            if (c.Level() >= kTierTopLevel) {
                Say(app,
                    {SJ("レベル上限は２０です。"),
                     SJ("これ以上強化するには、合成を実行してください・・・。")},
                    kLevelUpChooseStart);
            } else if (c.Level() >= cap_ ||
                       app.OwnCampaign().Charas().Find(c.TypeName()) == nullptr) {
                Say(app,
                    {SJ("このＱＬの現在のレベル上限は") + std::to_string(cap_) + SJ("です・・・。"),
                     SJ("これ以上強化するには、まず他のＱＬのレベルを上げてください・・・。")},
                    kLevelUpChooseStart);
            } else {
                amount_ = 0;
                Refresh(app);
                Say(app, {SJ("このＱＬに投入するＢＰ量を指定します・・・。")}, kLevelUpAmountStart);
            }
        } else if (Take(app, kActCancel)) {
            Cue(app, "キャンセルキー");
            HideMessage(app);
            AskSave(app, kLevelUpChooseStart);
        }
    }

    void Amount(CGameApp& app) {
        GameState* g = State(app);
        if (!HasShown(app)) {
            app.SetCycle(kLevelUpChooseStart, Scene(), -1, -1);
            return;
        }
        const CharaValues& c = Shown(app)->second;
        const CharaType* type = app.OwnCampaign().Charas().Find(c.TypeName());
        const std::int32_t need = type != nullptr ? NeedToCap(*type, c, cap_) : 0;
        if (Take(app, kActUp) || Take(app, kActRight)) {
            Cue(app, IncreaseAmount(amount_, need, g->bpPool) == AmountStep::Changed
                         ? "方向キー"
                         : "キャンセルキー");
            Refresh(app);
        } else if (Take(app, kActDown) || Take(app, kActLeft)) {
            Cue(app,
                DecreaseAmount(amount_) == AmountStep::Changed ? "方向キー" : "キャンセルキー");
            Refresh(app);
        } else if (Take(app, kActDecide)) {
            if (amount_ >= 1 && amount_ <= g->bpPool) {
                Cue(app, "決定キー");
                counting_ = true;
                shownPool_ = g->bpPool;
                app.SetCycle(kLevelUpCountDown, Scene(), -1, -1);
            }
        } else if (Take(app, kActCancel)) {
            Cue(app, "キャンセルキー");
            app.SetCycle(kLevelUpChooseStart, Scene(), -1, -1);
        }
    }

    // The pool display counts down to what stays after the investment; then
    // the creature takes the BP.
    void CountDown(CGameApp& app) {
        GameState* g = State(app);
        const std::int32_t target = g->bpPool - amount_;
        if (shownPool_ > target) {
            shownPool_ -= std::max<std::int32_t>(1, (shownPool_ - target) / 6);
            Refresh(app);
            return;
        }
        counting_ = false;
        CharaValues& c = Shown(app)->second;
        const CharaType* type = app.OwnCampaign().Charas().Find(c.TypeName());
        LevelUpResult r;
        if (type != nullptr) {
            r = ApplyLevelUp(*g, c, amount_, *type, app.OwnCampaign().Arms());
        }
        amount_ = 0;
        Refresh(app);
        ClearMenu();
        if (CScript* script = app.ScriptEngine()) {
            script->RunTokens(LevelUpNarration(r), true);
        }
        app.SetCycle(kCycleScript, Scene(), kLevelUpChooseStart, -1);
    }

    int index_ = 0;
    std::int32_t cap_ = 0;
    std::int32_t amount_ = 0;
    std::int32_t shownPool_ = 0;
    bool counting_ = false;
};

} // namespace

std::unique_ptr<CScene> MakeLevelUpScene() {
    return std::make_unique<LevelUpScene>();
}

} // namespace quolis
