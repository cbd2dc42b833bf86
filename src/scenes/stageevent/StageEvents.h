#pragma once
// Scene 5: a stage's story event between the menu hub and the battle (the
// opening event) or between a won battle and the next menu hub (the closing
// event), followed by the battle, the menu hub or the stage-clear choice of
// saving before the next stage.
#include "app/GameApp.h"
#include "data/StageData.h"

#include <memory>
#include <string>
#include <vector>

namespace quolis {

std::unique_ptr<CScene> MakeStageEventScene();

// The information section of the campaign's current stage file. False (and a
// log line) when the file cannot be read; `out` then keeps its defaults.
bool ReadCurrentStage(CGameApp& app, StageData& out);

// The menu hub's "次の戦闘へ": with FLAG_MSG on, the opening not yet seen and
// an opening event named, that event is handed over (opening pending) and the
// answer is this scene; otherwise opening pending is cleared and the answer is
// the battle.
int NextBattleScene(CGameApp& app, const StageData& stage);

// The items of the stage-clear choice: "次のステージへ", then
// "上書きセーブして次のステージへ" unless the campaign's file is the initial
// data, then "セーブして次のステージへ".
std::vector<std::string> StageClearChoices(const std::string& campaignFile);
// Where the choice stands: x 300, from y 200, 30 pixels apart.
inline constexpr float kChoiceX = 300, kChoiceY = 200, kChoiceStep = 30;

std::string NextStageChoice();
std::string OverwriteChoice();
std::string SaveChoice();

} // namespace quolis
