#pragma once
// The key configuration window drawn with Dear ImGui inside the game window.
#include "input/KeyConfig.h"
#include "platform/PadNames.h"

#include <vector>

namespace quolis {

// Draws the window once (inside an ImGui frame). Clicked button ids are
// appended to `clicks`; they are handed to the window's logic outside the
// frame, so a message box it raises gets frames of its own. The joypad's
// bindings are shown with the attached pad's own button names.
void DrawKeyConfigWindow(const CKeyConfig& config, std::vector<int>& clicks, PadStyle pad);

} // namespace quolis
