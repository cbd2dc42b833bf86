#pragma once
// Scene 7, level up: the player picks a squad creature and invests BP from
// the pool in units of 100, up to the creature's level cap.
#include "app/GameApp.h"

#include <memory>

namespace quolis {

enum LevelUpCycle : int {
    kLevelUpOpen = 0,
    kLevelUpChooseStart = 100,
    kLevelUpChoose = 200,
    kLevelUpAmountStart = 290,
    kLevelUpAmount = 300,
    kLevelUpCountDown = 400,
};

std::unique_ptr<CScene> MakeLevelUpScene();

} // namespace quolis
