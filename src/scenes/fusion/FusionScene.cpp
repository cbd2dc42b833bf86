// Fusion: the entry checks (squad size, room in the core case with the
// discard question), the two choices with "○"/"×", the shape and the
// confirmation, the merging animation and the new core.
#include "scenes/fusion/FusionScene.h"

#include "common/Text.h"
#include "engine/Model.h"
#include "manage/Fusion.h"
#include "manage/Regeneration.h"
#include "manage/Roster.h"
#include "scenes/common/ManageScene.h"

namespace quolis {
namespace {

constexpr float kFirstX = -3, kSecondX = 3;

class FusionScene final : public CManageScene {
public:
    FusionScene() : CManageScene(kSceneFusion, "Gousei.mid", "Gousei\\Frame.bmp") {}

protected:
    void Step(CGameApp& app, int code) override {
        switch (code) {
        case kFusionOpen:
            Open(app);
            break;
        case kFusionEntry:
            Entry(app);
            break;
        case kFusionDiscardQuestion:
            Ask(app, SJ("コアを廃棄しますか？"),
                {SJ("廃棄する"), SJ("廃棄しない"), SJ("キャンセル")}, kFusionDiscardAnswer);
            break;
        case kFusionDiscardAnswer:
            if (app.ResultName == SJ("廃棄する")) {
                AskList(app, std::string(), State(app)->cores,
                        {SJ("←やっぱり廃棄しない"), SJ("キャンセル")}, kFusionDiscardChosen);
            } else {
                Say(app, {SJ("合成を終了します・・・。")}, kFusionEnd);
            }
            break;
        case kFusionDiscardChosen:
            DiscardChosen(app);
            break;
        case kFusionFirstStart:
            Prompt(app,
                   SJ("合成回数が同じで、レベル１５以上のキャラ同士が合成実行可能です・・・。"));
            second_ = -1;
            Refresh(app);
            app.SetCycle(kFusionFirst, Scene(), -1, -1);
            break;
        case kFusionEnd:
            HideMessage(app);
            AskSave(app, kFusionEntry);
            break;
        case kFusionFirst:
            FirstChoice(app);
            break;
        case kFusionSecond:
            SecondChoice(app);
            break;
        case kFusionShape:
            Ask(app, SJ("どちらのＱＬの形状を継承させますか？"), {"1", "2"}, kFusionShapeAnswer);
            break;
        case kFusionShapeAnswer:
            if (app.ResultName == "1" || app.ResultName == "2") {
                inheritSecond_ = app.ResultName == "2";
                Ask(app, std::string(), {SJ("合成する"), SJ("キャンセル")}, kFusionConfirmAnswer);
            } else {
                app.SetCycle(kFusionFirstStart, Scene(), -1, -1);
            }
            break;
        case kFusionConfirmAnswer:
            ClearMenu();
            HideMessage(app);
            app.SetCycle(app.ResultName == SJ("合成する") ? kFusionMerge : kFusionFirstStart,
                         Scene(), -1, -1);
            break;
        case kFusionMerge:
            Merge(app);
            break;
        case kFusionMake:
            Make(app);
            break;
        default:
            break;
        }
    }

private:
    void Open(CGameApp& app) {
        first_ = 0;
        second_ = -1;
        if (CTextObject* t = Text(0)) {
            t->position = {70, 110, 1};
        }
        if (CTextObject* t = Text(1)) {
            t->position = {560, 110, 1};
        }
        app.SetCycle(kCycleFadeIn, Scene(), kFusionEntry, -1);
    }

    void Entry(CGameApp& app) {
        Creature(0).Show(nullptr);
        Creature(1).Show(nullptr);
        ShowText(0, std::string());
        ShowText(1, std::string());
        switch (CheckFusionEntry(*State(app))) {
        case FusionEntry::TooFewInSquad:
            Say(app,
                {SJ("合成を実行すると、最小ＱＬ数である") + std::to_string(kMinSquadSize + 1) +
                     SJ("体以下になってしまいます・・・。"),
                 SJ("合成を実行するには、再生によりＱＬを増やしてください。"),
                 SJ("合成を終了します・・・。")},
                kFusionEnd);
            break;
        case FusionEntry::CoreCaseFull:
            Say(app, {SJ("合成の際には、コアケースの空きが１つ以上必要です・・・。")},
                kFusionDiscardQuestion);
            break;
        case FusionEntry::Open:
            first_ = 0;
            app.SetCycle(kFusionFirstStart, Scene(), -1, -1);
            break;
        }
    }

    void DiscardChosen(CGameApp& app) {
        GameState& g = *State(app);
        const int i = ListAnswer(app, g.cores);
        ClearMenu();
        if (i >= 0 && DiscardCore(g, AtIndex(g.cores, i)) == DiscardResult::Discarded) {
            Say(app, {SJ("コアを廃棄しました・・・。")}, kFusionEntry);
        } else {
            Say(app, {SJ("合成を終了します・・・。")}, kFusionEnd);
        }
    }

    void ShowText(int i, const std::string& text) {
        if (CTextObject* t = Text(i)) {
            t->SetText(text);
            t->SetAlpha(255);
        }
    }

    static std::string Panel(const CharaValues& c, const char* mark) {
        std::string s = c.ShortStatusText(true);
        if (mark != nullptr) {
            s += "\n" + SJ("合成実行可能") + Utf8ToCp932(mark);
        }
        return s;
    }

    void Place(int i, float x, const CharaValues* c) {
        Creature(i).Show(c);
        if (CMdl* m = Creature(i).Model()) {
            m->SetPosition(x, 0, 0);
            m->SetAlpha(255);
        }
    }

    // The first choice shows the creature under the cursor on the left; the
    // second keeps the first there and shows the candidate on the right.
    void Refresh(CGameApp& app) {
        GameState& g = *State(app);
        auto first = AtIndex(g.squad, first_);
        if (first == g.squad.end()) {
            return;
        }
        if (second_ < 0) {
            Place(0, kFirstX, &first->second);
            Place(1, kSecondX, nullptr);
            ShowText(0, Panel(first->second, FusibleAlone(first->second) ? "○" : "×"));
            ShowText(1, std::string());
            return;
        }
        auto second = AtIndex(g.squad, second_);
        Place(0, kFirstX, &first->second);
        Place(1, kSecondX, &second->second);
        ShowText(0, Panel(first->second, nullptr));
        ShowText(1, Panel(second->second, FusiblePair(first->second, second->second) ? "○" : "×"));
    }

    // The next position in name order from `i` by `step`, wrapping, skipping
    // `skip`.
    static int Next(int i, int step, int n, int skip) {
        do {
            i = (i + step + n) % n;
        } while (i == skip && n > 1);
        return i;
    }

    void FirstChoice(CGameApp& app) {
        GameState& g = *State(app);
        const int n = static_cast<int>(g.squad.size());
        const int step = TakeDirection(app);
        if (step != 0) {
            Cue(app, "方向キー");
            first_ = Next(first_, step, n, -1);
            Refresh(app);
        } else if (Take(app, kActDecide)) {
            if (!FusibleAlone(AtIndex(g.squad, first_)->second)) {
                Cue(app, "キャンセルキー");
                return;
            }
            Cue(app, "決定キー");
            second_ = Next(first_, 1, n, first_);
            Refresh(app);
            app.SetCycle(kFusionSecond, Scene(), -1, -1);
        } else if (Take(app, kActCancel)) {
            Cue(app, "キャンセルキー");
            Creature(0).Show(nullptr);
            ShowText(0, std::string());
            app.SetCycle(kFusionEnd, Scene(), -1, -1);
        }
    }

    void SecondChoice(CGameApp& app) {
        GameState& g = *State(app);
        const int n = static_cast<int>(g.squad.size());
        const int step = TakeDirection(app);
        if (step != 0) {
            Cue(app, "方向キー");
            second_ = Next(second_, step, n, first_);
            Refresh(app);
        } else if (Take(app, kActDecide)) {
            if (!FusiblePair(AtIndex(g.squad, first_)->second, AtIndex(g.squad, second_)->second)) {
                Cue(app, "キャンセルキー");
                return;
            }
            Cue(app, "決定キー");
            app.SetCycle(kFusionShape, Scene(), -1, -1);
        } else if (Take(app, kActCancel)) {
            Cue(app, "キャンセルキー");
            app.SetCycle(kFusionFirstStart, Scene(), -1, -1);
        }
    }

    // Both parents glide to the middle and fade out with their panels.
    void Merge(CGameApp& app) {
        int busy = 0;
        for (int i = 0; i < 2; ++i) {
            if (CMdl* m = Creature(i).Model()) {
                busy |= m->GlideTo(0, 0, 0, 0.2f);
                busy |= m->FadeAlpha(0, 0, 10);
            }
            if (CTextObject* t = Text(i)) {
                busy |= t->FadeAlpha(0, 0, 10);
            }
        }
        if (busy == 0) {
            app.SetCycle(kFusionMake, Scene(), -1, -1);
        }
    }

    void Make(CGameApp& app) {
        GameState& g = *State(app);
        FusionResult r = Fuse(g, AtIndex(g.squad, first_), AtIndex(g.squad, second_),
                              inheritSecond_, app.OwnCampaign().Charas(), app.OwnCampaign().Arms());
        Place(1, kSecondX, nullptr);
        if (r.done) {
            auto core = g.cores.find(r.coreName);
            Place(0, 0, &core->second);
            ShowText(0, core->second.ShortStatusText(true));
        } else {
            Place(0, kFirstX, nullptr);
        }
        first_ = 0;
        second_ = -1;
        ClearMenu();
        if (!r.done) {
            app.SetCycle(kFusionEntry, Scene(), -1, -1);
            return;
        }
        if (CScript* script = app.ScriptEngine()) {
            script->RunTokens(FusionNarration(r), true);
        }
        app.SetCycle(kCycleScript, Scene(), kFusionEntry, -1);
    }

    int first_ = 0;
    int second_ = -1;
    bool inheritSecond_ = false;
};

} // namespace

std::unique_ptr<CScene> MakeFusionScene() {
    return std::make_unique<FusionScene>();
}

} // namespace quolis
