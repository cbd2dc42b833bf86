#include "scenes/Scenes.h"

#include "scenes/battle/BattleScene.h"
#include "scenes/fusion/FusionScene.h"
#include "scenes/hub/HubScene.h"
#include "scenes/levelup/LevelUpScene.h"
#include "scenes/regen/RegenScenes.h"
#include "scenes/stageevent/StageEvents.h"
#include "scenes/status/StatusScene.h"
#include "scenes/story/StoryScenes.h"

namespace quolis {

void InstallGameScenes(CGameApp& app) {
    // One line per scene folder, in scene-id order.
    app.SetSceneHandlers(kScenePrologue, MakePrologueScene());
    app.SetSceneHandlers(kSceneMenu, MakeHubScene());
    InstallBattleScene(app);
    app.SetSceneHandlers(kSceneStageEvent, MakeStageEventScene());
    app.SetSceneHandlers(kSceneStatus, MakeStatusScene());
    app.SetSceneHandlers(kSceneLevelUp, MakeLevelUpScene());
    app.SetSceneHandlers(kSceneFusion, MakeFusionScene());
    app.SetSceneHandlers(kSceneRegeneration, MakeRegenerationScene());
    app.SetSceneHandlers(kSceneDiscard, MakeDiscardScene());
    app.SetSceneHandlers(kSceneEnding, MakeEndingScene());
}

} // namespace quolis
