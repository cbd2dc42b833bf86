#pragma once
// The campaign in progress and its save files: save date, BP pool, next stage,
// the squad, the core case and the highest creature number per type.
#include "common/Clock.h"
#include "data/CharaMaster.h"
#include "data/CharaValues.h"
#include "data/DatArchive.h"
#include "data/MAMaster.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quolis {

inline constexpr int kSaveSlotCount = 10;

// Game path of save slot 0 ("GameData\Save\Init.Dat") to 10 ("...\Save10.Dat").
std::string SaveSlotPath(int slot);

class GameState {
public:
    std::string filePath;
    std::int32_t loaded = 0;
    std::tm saveDate{};
    std::int32_t bpPool = 0;
    std::string stageFile;
    std::int32_t openingSeen = 0;
    CharaMap squad;
    CharaMap cores;
    std::map<std::string, std::int32_t> numbers;

    // The file's tokens for the state as it is.
    TokenList ComposeSave() const;
    // Replaces the state's content with the file's tokens (the file path and
    // the loaded flag are the caller's business).
    void ParseSave(const TokenList& tokens, const CharaMaster& master, const MAMaster& arms);

    // Refreshes the save date from the calendar and the stage file from
    // `currentStageFile`, then writes the slot through the secure reader.
    bool Save(CDatArchive& secure, const std::string& path, Calendar& calendar,
              const std::string& currentStageFile);
    bool Load(CDatArchive& secure, const std::string& path, const CharaMaster& master,
              const MAMaster& arms);

    // Raises the recorded number of a type to `number` if that is higher.
    void RecordNumber(const std::string& type, std::int32_t number);
};

// The date part of a slot line: "'YY MM/DD hh:mm ".
std::string SummaryDate(const std::tm& date);
// The slot line from a stage label (stage name, "－", full-width stage number,
// "　", second stage name) and a date text: the label's first 8 bytes removed,
// the date inserted after its first full-width space, cut to 36 bytes without
// splitting a double-byte character.
std::string SummaryLine(std::string label, const std::string& date);
std::string StageLabel(const std::string& name, std::int32_t number, const std::string& name2);

struct SlotSummary {
    bool hasData = false;
    std::string text; // "データがありません" without data
};
// The save date and stage file of a save file's tokens; false when the date is
// not there.
bool SummaryFields(const TokenList& tokens, std::tm& date, std::string& stageFile);
// The line of a slot: reads the slot through `secure` and its stage's
// information through `content`.
SlotSummary ReadSlotSummary(CDatArchive& secure, CDatArchive& content, const std::string& path);

// One cell of the save and load lists.
struct SlotEntry {
    std::string text;
    std::int32_t key = 0;
    float x = 0;
    float y = 0;
    float z = 1;
    float width = 100;
    float height = 40;
    bool enabled = true;
};
// "←" (key 0) and slots 1..9 in two columns of five. In the load list a slot
// without data is disabled.
std::vector<SlotEntry> BuildSlotList(bool loadList,
                                     const std::function<SlotSummary(int slot)>& summary);

} // namespace quolis
