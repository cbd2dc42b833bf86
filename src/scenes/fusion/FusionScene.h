#pragma once
// Scene 8, fusion: two squad creatures of the same tier at level 15 or more
// become one core of the next tier.
#include "app/GameApp.h"

#include <memory>

namespace quolis {

enum FusionCycle : int {
    kFusionOpen = 0,
    kFusionEntry = 100,
    kFusionDiscardQuestion = 110,
    kFusionDiscardAnswer = 120,
    kFusionDiscardChosen = 130,
    kFusionFirstStart = 150,
    kFusionEnd = 190,
    kFusionFirst = 200,
    kFusionSecond = 300,
    kFusionShape = 400,
    kFusionShapeAnswer = 410,
    kFusionConfirmAnswer = 420,
    kFusionMerge = 500,
    kFusionMake = 510,
};

std::unique_ptr<CScene> MakeFusionScene();

} // namespace quolis
