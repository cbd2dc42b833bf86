#pragma once
// Floor-map characters to floor texture files (FloorTex) and floor object
// files (FloorObj).
#include "data/DatArchive.h"

#include <map>
#include <string>
#include <string_view>

namespace quolis {

class FloorTable {
public:
    // Flat rows of two tokens: key character, file name. A repeated key keeps
    // its first row; an incomplete last row is dropped.
    void Parse(const TokenList& tokens);
    // The file name for a key, or nullptr when the key has no row.
    const std::string* Find(std::string_view key) const;
    const std::map<std::string, std::string, std::less<>>& Rows() const { return rows_; }

protected:
    bool LoadMember(CDatArchive& reader, std::string_view fileName);

private:
    std::map<std::string, std::string, std::less<>> rows_;
};

class FloorTex : public FloorTable {
public:
    bool Load(CDatArchive& reader) { return LoadMember(reader, "FloorTex.Dat"); }
};

class FloorObj : public FloorTable {
public:
    bool Load(CDatArchive& reader) { return LoadMember(reader, "FloorObj.Dat"); }
};

} // namespace quolis
