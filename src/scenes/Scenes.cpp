#include "scenes/Scenes.h"

namespace quolis {

void InstallGameScenes(CGameApp& app) {
    // One line per scene folder, in scene-id order.
    (void)app;
}

} // namespace quolis
