#include "scenes/Scenes.h"

#include "scenes/battle/BattleScene.h"
#include "scenes/fusion/FusionScene.h"
#include "scenes/levelup/LevelUpScene.h"
#include "scenes/regen/RegenScenes.h"

namespace quolis {

void InstallGameScenes(CGameApp& app) {
    // One line per scene folder, in scene-id order.
    InstallBattleScene(app);
    app.SetSceneHandlers(kSceneLevelUp, MakeLevelUpScene());
    app.SetSceneHandlers(kSceneFusion, MakeFusionScene());
    app.SetSceneHandlers(kSceneRegeneration, MakeRegenerationScene());
    app.SetSceneHandlers(kSceneDiscard, MakeDiscardScene());
}

} // namespace quolis
