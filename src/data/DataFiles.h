#pragma once
// Where the game's tables and stages live. A content reader in archive mode
// reads members of the archives; in loose-file mode it reads the files of the
// same names from the archive's folder.
#include "data/DatArchive.h"

#include <string_view>

namespace quolis {

inline constexpr std::string_view kDataArchive = "GameData\\Data\\Data.Dat";
inline constexpr std::string_view kStageArchive = "GameData\\Stage\\Stage.Dat";

// A master table ("MAMaster.Dat", ...): member "Data\" + name of the data
// archive, or the file "GameData\Data\" + name.
HRESULT ReadDataTable(CDatArchive& reader, std::string_view fileName, TokenList& out);
// A stage file: member `fileName` of the stage archive, or the file
// "GameData\Stage\" + name.
HRESULT ReadStageFile(CDatArchive& reader, std::string_view fileName, TokenList& out);

} // namespace quolis
