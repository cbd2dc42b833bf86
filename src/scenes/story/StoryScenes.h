#pragma once
// The two story scenes that frame the campaign: the prologue (scene 2), which
// plays its script and opens the menu hub, and the ending (scene 11), which
// plays its script, then the staff roll over a scrolling background, and
// returns to the title.
#include "app/GameApp.h"

#include <memory>
#include <string>

namespace quolis {

std::unique_ptr<CScene> MakePrologueScene();
std::unique_ptr<CScene> MakeEndingScene();

// The staff roll's blocks, by the ending's step (1005, 1010, … 1070): the
// whole text of the credit at that turn, every line right-aligned in its
// field of CP932 bytes and followed by its line feeds. Empty for any other
// step.
std::string StaffRollBlock(int step);
// The step that follows a block's step (9000 after the last); 0 for a step
// that is no block.
int StaffRollNext(int step);
inline constexpr int kStaffRollFirst = 1005;
inline constexpr int kStaffRollLast = 1070;

} // namespace quolis
