#pragma once
// The Metal Arms table: attack commands with range, power and MP cost.
#include "data/DatArchive.h"

#include <cstdint>
#include <map>
#include <string>

namespace quolis {

struct MARecord {
    std::string name;        // "コマンド名"
    std::int32_t range = 0;  // "射程"
    std::int32_t power = 0;  // "威力"
    std::int32_t mpCost = 0; // "消費ＭＰ"
};

class MAMaster {
public:
    // Flat rows of four tokens: name, range, power, MP cost. A repeated name
    // keeps its first row; an incomplete last row is dropped.
    void Parse(const TokenList& tokens);
    // Reads "MAMaster.Dat" through the content reader; false when unreadable.
    bool Load(CDatArchive& reader);

    const MARecord* Find(const std::string& name) const;
    const std::map<std::string, MARecord>& Records() const { return records_; }

private:
    std::map<std::string, MARecord> records_;
};

} // namespace quolis
