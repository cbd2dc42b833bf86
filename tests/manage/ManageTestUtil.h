#pragma once
// A small creature master for the squad management tests: two types with
// growth tables, mobility steps and Metal Arms, and the creatures built from
// it the way a save file builds them.
#include "common/Text.h"
#include "data/CharaMaster.h"
#include "data/GameState.h"
#include "data/MAMaster.h"
#include "data/Tokens.h"

#include <string>
#include <string_view>

namespace quolis::manage_test {

inline std::string S(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

// NeedBP rows 100, 155, 215, 280 …; HP rows 100, 115, 135, 160, 190 ….
// ＱＬ－３ learns 打撃 (0, 1), 斬撃 (0, 10), 火炎 (0, 18) and 雷撃 (1, 1).
inline const char* kMasterText =
    "／／名前 ＱＬ－３ QL3 ＱＬ３－ ＱＬ－５ QL5 ＱＬ５－ ／／名前終わり "
    "／／ＨＰ ＱＬ－３ ＱＬ－５ ／／ 100 10 0.5 ／／ ／／ＨＰ終わり "
    "／／ＭＰ ＱＬ－３ ＱＬ－５ ／／ 40 2 0.5 ／／ ／／ＭＰ終わり "
    "／／ＡＰ ＱＬ－３ ＱＬ－５ ／／ 30 2 0.5 ／／ ／／ＡＰ終わり "
    "／／ＤＰ ＱＬ－３ ＱＬ－５ ／／ 20 2 0.5 ／／ ／／ＤＰ終わり "
    "／／ＱＰ ＱＬ－３ ＱＬ－５ ／／ 9 1 0.5 ／／ ／／ＱＰ終わり "
    "／／ＮｅｅｄＢＰ ＱＬ－３ ＱＬ－５ ／／ 100 50 0.1 ／／ ／／ＮｅｅｄＢＰ終わり "
    "／／ＢＰ ＱＬ－３ ＱＬ－５ ／／ 0.5 0.2 ／／ ／／ＢＰ終わり "
    "／／ＭｂｌＰ ＱＬ－３ ＱＬ－５ ／／ 0 1 3 0 10 4 1 1 5 ／／ ／／ＭｂｌＰ終わり "
    "／／ＲｉｓｅＰ ＱＬ－３ ＱＬ－５ ／／ 0 1 1 ／／ ／／ＲｉｓｅＰ終わり "
    "／／メタルアームズ ＱＬ－３ ／／ 打撃 0 1 斬撃 0 10 火炎 0 18 雷撃 1 1 ／／ "
    "ＱＬ－５ ／／ 打撃 0 1 ／／ ／／メタルアームズ終わり";
inline const char* kArmsText = "打撃 1 10 0 斬撃 1 20 5 火炎 2 30 10 雷撃 3 40 15";

struct Tables {
    Tables() {
        arms.Parse(SplitTokens(S(kArmsText)));
        master.Parse(SplitTokens(S(kMasterText)), arms);
    }
    MAMaster arms;
    CharaMaster master;
};

// A creature as a save file builds it: unfused ones take the table values.
inline CharaValues Creature(const Tables& t, const char* type, int number, int level,
                            int fusionCount = 0, int bp = 0) {
    CharaValues c;
    c.SetTypeName(S(type));
    c.SetNumber(number);
    const CharaType* ct = t.master.Find(c.TypeName());
    c.SetName(ct->namePrefix + std::to_string(number));
    c.SetModelFolder(ct->modelFolder);
    c.SetFusionCount(fusionCount);
    c.SetLevel(level);
    c.SetLevel2(AbsoluteLevel(level, fusionCount));
    c.SetBP(bp);
    ValuesFromTables(*ct, c);
    ApplySteps(*ct, c);
    LearnArms(*ct, t.arms, c);
    return c;
}

inline CharaMap::iterator Add(GameState& g, CharaValues c) {
    g.RecordNumber(c.TypeName(), c.Number());
    return g.squad.emplace(c.Name(), std::move(c));
}

} // namespace quolis::manage_test
