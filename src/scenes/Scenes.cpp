#include "scenes/Scenes.h"

#include "scenes/battle/BattleScene.h"

namespace quolis {

void InstallGameScenes(CGameApp& app) {
    // One line per scene folder, in scene-id order.
    InstallBattleScene(app);
}

} // namespace quolis
