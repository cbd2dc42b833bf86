#pragma once
// Installs the handlers of the scenes after the title (prologue, menu hub,
// battle, stage events, status, level up, fusion, regeneration, discard,
// ending) on the application. A scene not installed keeps the empty handlers.
#include "app/GameApp.h"

namespace quolis {

void InstallGameScenes(CGameApp& app);

} // namespace quolis
