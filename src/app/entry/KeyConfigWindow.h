#pragma once
// The key configuration window drawn with Dear ImGui inside the game window.
#include "input/KeyConfig.h"

#include <string>
#include <vector>

namespace quolis {

// Draws the window once (inside an ImGui frame). Clicked button ids are
// appended to `clicks`; they are handed to the window's logic outside the
// frame, so a message box it raises gets frames of its own.
void DrawKeyConfigWindow(const CKeyConfig& config, std::vector<int>& clicks);

// The window's fixed texts (UTF-8): caption, labels, buttons, action names.
std::string KeyConfigWindowTexts();

} // namespace quolis
