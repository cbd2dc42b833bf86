#pragma once
// Scene 6, the status screen: the squad one creature at a time, its model
// playing "wait", its status text and its type's Metal Arms list.
#include "app/GameApp.h"
#include "data/CharaMaster.h"

#include <memory>
#include <string>
#include <vector>

namespace quolis {

std::unique_ptr<CScene> MakeStatusScene();

// One row of the Metal Arms list; a Metal Arms not learnt yet shows
// "＊＊＊＊＊＊" and "?" in every number column.
struct ArmsRow {
    std::string name;
    std::string range;
    std::string power;
    std::string mpCost;
};

// The type's Metal Arms in MP-cost order (equal costs in file order), learnt
// or not. A type missing from the master gives no rows.
std::vector<ArmsRow> StatusArmsRows(const CharaMaster& charas, const MAMaster& arms,
                                    const CharaValues& creature);

// The list as text for a fixed-width font: the heading line ("コマンド名",
// "射程", "威力", "消費ＭＰ") and one line per row, the name left-aligned and
// the numbers right-aligned in CP932 byte columns.
std::string StatusArmsText(const std::vector<ArmsRow>& rows);

// The next or previous squad member in name order, wrapping at both ends;
// `current` is an index into the squad (0 for an empty squad).
int StepSquadIndex(int current, int squadSize, int direction);

} // namespace quolis
