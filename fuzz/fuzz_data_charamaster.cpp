// The creature master reader (and the small tables) on garbage token lists.
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/FloorTables.h"
#include "data/MAMaster.h"
#include "data/Tokens.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace quolis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TokenList tokens =
        SplitTokens(std::string_view(reinterpret_cast<const char*>(data), size));
    MAMaster arms;
    arms.Parse(tokens);
    CharaMaster master;
    master.Parse(tokens, arms);
    for (const auto& [name, type] : master.Types()) {
        CharaValues c;
        c.SetLevel(20);
        c.SetLevel2(AbsoluteLevel(20, 0));
        ApplySteps(type, c);
        ValuesFromTables(type, c);
        LearnArms(type, arms, c);
    }
    HeightBonus h;
    h.Parse(tokens);
    DirectionBonus d;
    d.Parse(tokens);
    FloorTex f;
    f.Parse(tokens);
    return 0;
}
