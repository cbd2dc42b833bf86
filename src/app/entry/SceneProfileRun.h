#pragma once
// --scene-profile: the program walks its scenes instead of waiting for a
// player and prints, on standard error, the time each scene takes to build,
// enter and show its first frame, and the memory held after the title, after
// each battle is built and after each battle is left.
#include "app/GameApp.h"

#include <string>

namespace quolis {

// From the application just created (logo or title): the title, then
// `battles` times the battle on `battleStage` (each left for the menu hub),
// then the new campaign again and every menu scene once. 0 when every
// scene was built, 1 otherwise.
int RunSceneProfile(CGameApp& app, AppHost& host, const std::string& battleStage, int battles);

} // namespace quolis
