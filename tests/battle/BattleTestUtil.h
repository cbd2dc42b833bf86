#pragma once
#include "battle/Field.h"
#include "common/Text.h"
#include "data/MAMaster.h"

#include <string>
#include <string_view>

namespace quolis::test {

inline std::string S(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

// A flat open floor of w x d cells of height h.
inline void FlatFloor(StageData& s, std::int32_t w, std::int32_t d, std::int32_t h = 1) {
    FloorTex tex;
    CreateField(s, tex);
    s.floorWidth = w;
    s.floorDepth = d;
    for (std::int32_t y = 0; y < d; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            s.heightGrid[GridIndex(x, y)] = h;
        }
    }
}

inline void SetHeight(StageData& s, std::int32_t x, std::int32_t y, std::int32_t h) {
    s.heightGrid[GridIndex(x, y)] = h;
}

inline MARecord Arm(const std::string& name, std::int32_t range, std::int32_t power,
                    std::int32_t cost) {
    MARecord r;
    r.name = name;
    r.range = range;
    r.power = power;
    r.mpCost = cost;
    return r;
}

inline CharaValues Unit(const std::string& name, std::int32_t x, std::int32_t y,
                        const std::string& facing = "up") {
    CharaValues c;
    c.SetName(name);
    c.SetCellValue(x, y);
    c.SetDirectionValue(facing);
    c.SetMaxHP(100);
    c.SetHP(100);
    c.SetMaxMP(50);
    c.SetMP(50);
    c.SetMblP(3);
    c.SetRiseP(1);
    c.SetLevel(1);
    c.SetLevel2(1);
    return c;
}

inline CharaValues& Put(CharaMap& m, CharaValues c) {
    std::string name = c.Name();
    return m.emplace(std::move(name), std::move(c))->second;
}

} // namespace quolis::test
