#pragma once
// Direction bonus (BySide, ByRear) and height bonus (ByUpper, ByLower): maps
// from a key (attack distance or height difference) to a bonus.
#include "data/DatArchive.h"

#include <cstdint>
#include <map>
#include <string_view>

namespace quolis {

using BonusMap = std::map<std::int32_t, std::int32_t>;

// The bonus stored under the key, else that of the greatest key; 0 for an
// empty map.
std::int32_t BonusLookup(const BonusMap& map, std::int32_t key);

// Reads "M1 // key value ... // M2 // key value ... //"; a repeated key keeps
// its first value. Tokens outside that layout are skipped.
void ParseBonusLists(const TokenList& tokens, std::string_view m1, std::string_view m2,
                     BonusMap& first, BonusMap& second);

struct DirectionBonus {
    BonusMap BySide;
    BonusMap ByRear;

    void Parse(const TokenList& tokens) {
        ParseBonusLists(tokens, "BySide", "ByRear", BySide, ByRear);
    }
    bool Load(CDatArchive& reader);
};

struct HeightBonus {
    BonusMap ByUpper;
    BonusMap ByLower;

    void Parse(const TokenList& tokens) {
        ParseBonusLists(tokens, "ByUpper", "ByLower", ByUpper, ByLower);
    }
    bool Load(CDatArchive& reader);
};

} // namespace quolis
