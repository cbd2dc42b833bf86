// The file side of the tables, stages and saves: everything that goes through
// CDatArchive. The parsers themselves work on token lists.
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/DataFiles.h"
#include "data/FloorTables.h"
#include "data/GameState.h"
#include "data/MAMaster.h"
#include "data/StageData.h"

#include "common/Text.h"
#include "data/Tokens.h"

#include <string>

namespace quolis {

namespace {
std::string Join(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += name;
    return path;
}
} // namespace

HRESULT ReadDataTable(CDatArchive& reader, std::string_view fileName, TokenList& out) {
    if (reader.Archived()) {
        return reader.ReadTokens(kDataArchive, Join("Data\\", fileName), out);
    }
    return reader.ReadTokens({}, Join("GameData\\Data\\", fileName), out);
}

HRESULT ReadStageFile(CDatArchive& reader, std::string_view fileName, TokenList& out) {
    if (reader.Archived()) {
        return reader.ReadTokens(kStageArchive, fileName, out);
    }
    return reader.ReadTokens({}, Join("GameData\\Stage\\", fileName), out);
}

bool MAMaster::Load(CDatArchive& reader) {
    TokenList tokens;
    if (Failed(ReadDataTable(reader, "MAMaster.Dat", tokens))) {
        return false;
    }
    Parse(tokens);
    return true;
}

bool DirectionBonus::Load(CDatArchive& reader) {
    TokenList tokens;
    if (Failed(ReadDataTable(reader, "DirectionBonus.Dat", tokens))) {
        return false;
    }
    Parse(tokens);
    return true;
}

bool HeightBonus::Load(CDatArchive& reader) {
    TokenList tokens;
    if (Failed(ReadDataTable(reader, "HeightBonus.Dat", tokens))) {
        return false;
    }
    Parse(tokens);
    return true;
}

bool FloorTable::LoadMember(CDatArchive& reader, std::string_view fileName) {
    TokenList tokens;
    if (Failed(ReadDataTable(reader, fileName, tokens))) {
        return false;
    }
    Parse(tokens);
    return true;
}

bool CharaMaster::Load(CDatArchive& reader, const MAMaster& arms) {
    TokenList tokens;
    if (Failed(ReadDataTable(reader, "CharaMaster.Dat", tokens))) {
        return false;
    }
    Parse(tokens, arms);
    return true;
}

bool StageData::ReadInformation(CDatArchive& reader, const std::string& stageFile) {
    TokenList tokens;
    if (Failed(ReadStageFile(reader, stageFile, tokens))) {
        return false;
    }
    ParseInformation(tokens);
    return true;
}

bool StageData::ReadBattleData(CDatArchive& reader, const std::string& stageFile,
                               const CharaMaster& master, const MAMaster& arms) {
    TokenList tokens;
    if (Failed(ReadStageFile(reader, stageFile, tokens))) {
        return false;
    }
    ParseBattleData(tokens, master, arms);
    return true;
}

bool StageData::ReadFloor(CDatArchive& reader, const std::string& stageFile, const FloorTex& tex,
                          const FloorObj& obj) {
    TokenList tokens;
    if (Failed(ReadStageFile(reader, stageFile, tokens))) {
        return false;
    }
    ParseFloor(tokens, tex, obj);
    return true;
}

bool GameState::Save(CDatArchive& secure, const std::string& path, Calendar& calendar,
                     const std::string& currentStageFile) {
    saveDate = calendar.Local(calendar.Now());
    stageFile = currentStageFile;
    TokenList tokens = ComposeSave();
    if (Failed(secure.WriteTokens(path, tokens))) {
        return false;
    }
    filePath = path;
    return true;
}

bool GameState::Load(CDatArchive& secure, const std::string& path, const CharaMaster& master,
                     const MAMaster& arms) {
    squad.clear();
    cores.clear();
    numbers.clear();
    TokenList tokens;
    if (Failed(secure.ReadTokens({}, path, tokens))) {
        loaded = 0;
        return false;
    }
    filePath = path;
    loaded = 1;
    ParseSave(tokens, master, arms);
    return true;
}

SlotSummary ReadSlotSummary(CDatArchive& secure, CDatArchive& content, const std::string& path) {
    SlotSummary s;
    TokenList tokens;
    if (Failed(secure.ReadTokens({}, path, tokens))) {
        s.text = SJ("データがありません");
        return s;
    }
    s.hasData = true;
    std::tm date{};
    std::string stageFile;
    SummaryFields(tokens, date, stageFile);
    StageData stage;
    stage.ReadInformation(content, stageFile);
    s.text = SummaryLine(StageLabel(stage.stageName, stage.stageNumber, stage.stageName2),
                         SummaryDate(date));
    return s;
}

} // namespace quolis
