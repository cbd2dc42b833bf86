#include "data/BonusTables.h"
#include "data/FloorTables.h"
#include "data/MAMaster.h"

#include "common/Log.h"
#include "data/Tokens.h"

namespace quolis {

void MAMaster::Parse(const TokenList& tokens) {
    // Scanned values that do not parse keep the previous row's value.
    MARecord row;
    const std::size_t rows = tokens.size() / 4;
    if (tokens.size() % 4 != 0) {
        LogLine("MAMaster: incomplete last row ignored");
    }
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t i = r * 4;
        row.name = tokens[i];
        ScanInt(tokens[i + 1], row.range);
        ScanInt(tokens[i + 2], row.power);
        ScanInt(tokens[i + 3], row.mpCost);
        records_.emplace(row.name, row);
    }
}

const MARecord* MAMaster::Find(const std::string& name) const {
    auto it = records_.find(name);
    return it == records_.end() ? nullptr : &it->second;
}

std::int32_t BonusLookup(const BonusMap& map, std::int32_t key) {
    if (map.empty()) {
        return 0;
    }
    auto it = map.find(key);
    if (it != map.end()) {
        return it->second;
    }
    return map.rbegin()->second;
}

void ParseBonusLists(const TokenList& tokens, std::string_view m1, std::string_view m2,
                     BonusMap& first, BonusMap& second) {
    const std::string_view sep = "//";
    std::int32_t key = 0;
    std::int32_t value = 0;
    // Reads pairs from `i` up to the closing "//"; returns the index after it.
    const auto readPairs = [&](std::size_t i, BonusMap& into) {
        while (i < tokens.size() && tokens[i] != sep) {
            ScanInt(tokens[i], key);
            if (i + 1 >= tokens.size() || tokens[i + 1] == sep) {
                return i + 2; // an unpaired key before the closing mark
            }
            ScanInt(tokens[i + 1], value);
            into.emplace(key, value);
            i += 2;
        }
        return i + 1;
    };
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (tokens[i] == m1 && i + 1 < tokens.size() && tokens[i + 1] == sep) {
            i = readPairs(i + 2, first);
            if (i + 1 < tokens.size() && tokens[i] == m2 && tokens[i + 1] == sep) {
                i = readPairs(i + 2, second);
            }
            continue;
        }
        ++i;
    }
}

void FloorTable::Parse(const TokenList& tokens) {
    if (tokens.size() % 2 != 0) {
        LogLine("Floor table: incomplete last row ignored");
    }
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2) {
        rows_.emplace(tokens[i], tokens[i + 1]);
    }
}

const std::string* FloorTable::Find(std::string_view key) const {
    auto it = rows_.find(key);
    return it == rows_.end() ? nullptr : &it->second;
}

} // namespace quolis
