#pragma once
// One loaded stage: its information, enemies, floor grids and start cells.
// Grids hold 100 x 100 cells indexed x + 100 * y (x the column, y the row,
// row 0 nearest the viewer).
#include "data/CharaMaster.h"
#include "data/CharaValues.h"
#include "data/DatArchive.h"
#include "data/FloorTables.h"
#include "data/MAMaster.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quolis {

inline constexpr std::int32_t kGridSize = 100;
inline constexpr std::size_t kGridCells = static_cast<std::size_t>(kGridSize) * kGridSize;

inline std::size_t GridIndex(std::int32_t x, std::int32_t y) {
    return static_cast<std::size_t>(x) +
           static_cast<std::size_t>(kGridSize) * static_cast<std::size_t>(y);
}
inline bool InGrid(std::int32_t x, std::int32_t y) {
    return x >= 0 && y >= 0 && x < kGridSize && y < kGridSize;
}

// A start cell as the stage stores it: (column, 0, row).
struct CellPos {
    float x = 0;
    float y = 0;
    float z = 0;
};

// The facing word of a facing-grid character: "0" down, "1" left, "2" up,
// "3" right, anything else the empty word.
std::string FacingWord(char c);

class StageData {
public:
    StageData();

    std::string stageName;                  // "ステージ名"
    std::string stageName2;                 // "ステージ名２"
    std::int32_t stageNumber = 0;           // "ステージ番号"
    std::string sceneryMesh;                // "ステージＸファイル名"
    std::array<float, 3> sceneryPosition{}; // "位置"
    std::array<float, 3> sceneryAngle{};    // "アングル"
    std::int32_t cameraAngle = 0;           // "初期カメラアングル"
    // Floor size as read, limited to 0..100 so that width x depth cells are
    // always inside the grids.
    std::int32_t floorWidth = 0;
    std::int32_t floorDepth = 0;
    std::string openingEvent;        // "ＯＰイベント"
    std::string closingEvent;        // "ＥＤイベント"
    std::int32_t ending = 0;         // "エンディング"
    std::string nextStageFile;       // "次のステージファイル"
    std::string openingStory;        // "ＯＰストーリーファイル"
    std::string closingStory;        // "ＥＤストーリーファイル"
    std::string allyMusic;           // "味方ＢＧＭ"
    std::string enemyMusic;          // "敵ＢＧＭ"
    std::vector<std::string> places; // "アドプレイス情報"
    std::string nextCycle;           // "ネクストサイクル情報"
    std::int32_t eventBonus = 0;     // "イベントボーナス"
    std::int32_t battleBP = 0;       // BP earned in the running battle

    // Unit collections. EnemyUnits is filled by the battle-data reader; the
    // others belong to the running battle.
    CharaMap PlayerUnits;
    CharaMap EnemyUnits;
    CharaMap FieldCores;
    CharaMap FloorObjects;

    std::vector<std::string> textureGrid; // texture file names
    std::vector<std::string> objectGrid;  // object file names
    std::vector<std::int32_t> heightGrid; // 0..9
    std::vector<char> markerGrid;         // start letters, 0 for none
    std::vector<char> facingGrid;         // facing characters, 0 for none

    std::vector<CellPos> allyStarts;     // in marker letter order
    std::map<char, CellPos> enemyStarts; // letter -> cell

    std::int32_t Height(std::int32_t x, std::int32_t y) const {
        return InGrid(x, y) ? heightGrid[GridIndex(x, y)] : 0;
    }

    // Parsers over the stage file's tokens (each one starts from the first
    // token). The information section must be the first token.
    void ParseInformation(const TokenList& tokens);
    // Information, then the enemy section right after it; enemies of a type
    // missing from the master are rejected with a log line.
    void ParseBattleData(const TokenList& tokens, const CharaMaster& master, const MAMaster& arms);
    void ParseFloor(const TokenList& tokens, const FloorTex& tex, const FloorObj& obj);

    // The three readers: false only when the file cannot be read.
    bool ReadInformation(CDatArchive& reader, const std::string& stageFile);
    bool ReadBattleData(CDatArchive& reader, const std::string& stageFile,
                        const CharaMaster& master, const MAMaster& arms);
    bool ReadFloor(CDatArchive& reader, const std::string& stageFile, const FloorTex& tex,
                   const FloorObj& obj);

    // Battle start: every enemy goes to the start cell of its marker letter
    // and takes the facing of the facing grid there; an enemy whose letter has
    // no cell stands at (0, 0) facing "down".
    void PlaceEnemies();

private:
    std::size_t ParseInformationAt(const TokenList& tokens);
};

} // namespace quolis
