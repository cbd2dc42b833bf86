// What the stage-event scene and the menu hub decide from the stage and the
// campaign: the current stage's information, whether the opening event comes
// before the battle, and the items of the stage-clear choice.
#include "common/Log.h"
#include "common/Text.h"
#include "data/DataFiles.h"
#include "scenes/stageevent/StageEvents.h"

namespace quolis {

std::string NextStageChoice() {
    return SJ("次のステージへ");
}
std::string OverwriteChoice() {
    return SJ("上書きセーブして次のステージへ");
}
std::string SaveChoice() {
    return SJ("セーブして次のステージへ");
}

bool ReadCurrentStage(CGameApp& app, StageData& out) {
    const std::string& file = app.OwnCampaign().CurrentStageFile();
    // A member missing from the archive reads as no tokens at all: that is no
    // stage either.
    TokenList tokens;
    if (file.empty() || Failed(ReadStageFile(app.ContentReader(), file, tokens)) ||
        tokens.empty() || tokens.front() != SJ("／／ステージ情報")) {
        LogLine("stage file \"" + Cp932ToUtf8(file) + "\" cannot be read");
        return false;
    }
    out.ParseInformation(tokens);
    return true;
}

int NextBattleScene(CGameApp& app, const StageData& stage) {
    const GameState* state = app.OwnCampaign().State();
    const bool seen = state != nullptr && state->openingSeen != 0;
    if (app.Settings().flagMsg != 0 && !seen && !stage.openingEvent.empty()) {
        app.Handover.eventName = stage.openingEvent;
        app.Handover.openingPending = 1;
        return kSceneStageEvent;
    }
    app.Handover.openingPending = 0;
    return kSceneBattle;
}

std::vector<std::string> StageClearChoices(const std::string& campaignFile) {
    std::vector<std::string> items{NextStageChoice()};
    // A campaign still on its initial data has no file of its own to
    // overwrite.
    if (campaignFile.find("Init.Dat") == std::string::npos) {
        items.push_back(OverwriteChoice());
    }
    items.push_back(SaveChoice());
    return items;
}

} // namespace quolis
