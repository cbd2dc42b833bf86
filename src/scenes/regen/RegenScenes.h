#pragma once
// Scenes 9 and 10: regeneration turns a core back into a squad creature;
// discard destroys a squad creature (never below three) or a core.
#include "app/GameApp.h"

#include <memory>

namespace quolis {

enum RegenerationCycle : int {
    kRegenOpen = 0,
    kRegenEntry = 100,
    kRegenEnd = 190,
    kRegenCoreList = 200,
    kRegenRoom = 300,
    kRegenConfirmAnswer = 310,
    kRegenDiscardQuestion = 320,
    kRegenDiscardAnswer = 330,
    kRegenDiscardChosen = 340,
    kRegenGlideOut = 400,
    kRegenMake = 410,
    kRegenGlideBack = 420,
};

enum DiscardCycle : int {
    kDiscardOpen = 0,
    kDiscardQuestion = 100,
    kDiscardAnswer = 110,
    kDiscardCreatureChosen = 120,
    kDiscardCoreChosen = 130,
};

std::unique_ptr<CScene> MakeRegenerationScene();
std::unique_ptr<CScene> MakeDiscardScene();

} // namespace quolis
