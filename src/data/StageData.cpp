#include "data/StageData.h"

#include "common/Log.h"
#include "common/Text.h"
#include "data/Tokens.h"

#include <utility>

namespace quolis {

std::string FacingWord(char c) {
    switch (c) {
    case '0':
        return "down";
    case '1':
        return "left";
    case '2':
        return "up";
    case '3':
        return "right";
    default:
        return {};
    }
}

StageData::StageData()
    : textureGrid(kGridCells), objectGrid(kGridCells), heightGrid(kGridCells, 0),
      markerGrid(kGridCells, 0), facingGrid(kGridCells, 0) {}

void StageData::ParseInformation(const TokenList& tokens) {
    ParseInformationAt(tokens);
}

// Returns the index after the section's end mark (0 when there is no section).
std::size_t StageData::ParseInformationAt(const TokenList& tokens) {
    if (tokens.empty() || tokens[0] != SJ("／／ステージ情報")) {
        return 0;
    }
    const std::string& end = SJ("／／ステージ情報終わり");
    const std::pair<const std::string*, std::string*> strings[] = {
        {&SJ("ステージ名"), &stageName},
        {&SJ("ステージ名２"), &stageName2},
        {&SJ("ステージＸファイル名"), &sceneryMesh},
        {&SJ("ＯＰイベント"), &openingEvent},
        {&SJ("ＥＤイベント"), &closingEvent},
        {&SJ("次のステージファイル"), &nextStageFile},
        {&SJ("ＯＰストーリーファイル"), &openingStory},
        {&SJ("ＥＤストーリーファイル"), &closingStory},
        {&SJ("味方ＢＧＭ"), &allyMusic},
        {&SJ("敵ＢＧＭ"), &enemyMusic},
        {&SJ("ネクストサイクル情報"), &nextCycle},
    };
    const std::pair<const std::string*, std::int32_t*> ints[] = {
        {&SJ("ステージ番号"), &stageNumber},
        {&SJ("初期カメラアングル"), &cameraAngle},
        {&SJ("イベントボーナス"), &eventBonus},
    };
    const std::pair<const std::string*, std::array<float, 3>*> triples[] = {
        {&SJ("位置"), &sceneryPosition},
        {&SJ("アングル"), &sceneryAngle},
    };
    TokenCursor cur(tokens, 1);
    while (!cur.AtEnd() && cur.Peek() != end) {
        const std::string_view key = cur.Next();
        bool known = false;
        for (const auto& [k, target] : strings) {
            if (key == *k) {
                *target = std::string(cur.Next());
                known = true;
                break;
            }
        }
        if (known) {
            continue;
        }
        for (const auto& [k, target] : ints) {
            if (key == *k) {
                cur.NextInt(*target);
                known = true;
                break;
            }
        }
        if (known) {
            continue;
        }
        for (const auto& [k, target] : triples) {
            if (key == *k) {
                cur.NextFloat((*target)[0]);
                cur.NextFloat((*target)[1]);
                cur.NextFloat((*target)[2]);
                known = true;
                break;
            }
        }
        if (known) {
            continue;
        }
        if (key == SJ("エンディング")) {
            ending = 1;
        } else if (key == SJ("アドプレイス情報")) {
            places.clear();
            if (cur.Peek() == SJ("／／")) {
                cur.Next();
                while (!cur.AtEnd() && cur.Peek() != SJ("／／") && cur.Peek() != end) {
                    places.emplace_back(cur.Next());
                }
                if (cur.Peek() == SJ("／／")) {
                    cur.Next();
                }
            }
        }
    }
    cur.Next(); // the end mark
    return cur.Pos();
}

void StageData::ParseBattleData(const TokenList& tokens, const CharaMaster& master,
                                const MAMaster& arms) {
    std::size_t pos = ParseInformationAt(tokens);
    EnemyUnits.clear();
    if (pos == 0 || pos >= tokens.size() || tokens[pos] != SJ("／／敵情報")) {
        return;
    }
    const std::string& end = SJ("／／敵情報終わり");
    const std::string& sep = SJ("／／");
    TokenCursor cur(tokens, pos + 1);
    while (!cur.AtEnd() && cur.Peek() != end) {
        if (cur.Next() != sep) {
            continue;
        }
        CharaValues c;
        while (!cur.AtEnd() && cur.Peek() != sep && cur.Peek() != end) {
            const std::string_view key = cur.Next();
            std::int32_t v = 0;
            if (key == SJ("名前")) {
                c.SetName(std::string(cur.Next()));
            } else if (key == SJ("タイプ")) {
                c.SetTypeName(std::string(cur.Next()));
            } else if (key == SJ("合成回数")) {
                v = c.FusionCount();
                cur.NextInt(v);
                c.SetFusionCount(v);
            } else if (key == SJ("レベル")) {
                v = c.Level();
                cur.NextInt(v);
                c.SetLevel(v);
            } else if (key == SJ("アングル")) {
                c.SetDirectionValue(std::string(cur.Next()));
            } else if (key == SJ("位置")) {
                c.SetMarker(std::string(cur.Next()));
            }
        }
        if (cur.Peek() == sep) {
            cur.Next();
        }
        const CharaType* type = master.Find(c.TypeName());
        if (type == nullptr) {
            LogLine("Stage: enemy of an unknown type left out: " + Cp932ToUtf8(c.TypeName()));
            continue;
        }
        c.SetLevel2(AbsoluteLevel(c.Level(), c.FusionCount()));
        c.SetModelFolder(type->modelFolder);
        ApplySteps(*type, c);
        ValuesFromTables(*type, c);
        c.SetBP(type->Value(CharaTable::BP, c.Level2()));
        LearnArms(*type, arms, c);
        EnemyUnits.emplace(c.Name(), std::move(c));
    }
}

void StageData::ParseFloor(const TokenList& tokens, const FloorTex& tex, const FloorObj& obj) {
    auto size = FindToken(tokens, SJ("フロアサイズ"));
    if (!size) {
        return;
    }
    TokenCursor cur(tokens, *size + 1);
    std::int32_t width = floorWidth;
    std::int32_t depth = floorDepth;
    cur.NextInt(width);
    cur.NextInt(depth);
    const auto limit = [](std::int32_t v) { return v < 0 ? 0 : v > kGridSize ? kGridSize : v; };
    floorWidth = limit(width);
    floorDepth = limit(depth);

    const char* blocks[5] = {"フロアテクスチャ情報", "フロアオブジェクト情報", "フロア高低情報",
                             "キャラ位置情報", "初期アングル情報"};
    bool missingKey = false;
    for (int b = 0; b < 5; ++b) {
        const std::string mark = SJ("／／") + Utf8ToCp932(blocks[b]);
        const std::string end = mark + SJ("終わり");
        if (cur.Peek() != mark) {
            break; // a missing block ends the floor here
        }
        cur.Next();
        // The first row token is the farthest row (depth - 1), the last row 0.
        for (std::int32_t r = 0; r < depth && !cur.AtEnd() && cur.Peek() != end; ++r) {
            const std::string_view row = cur.Next();
            const std::int32_t y = depth - 1 - r;
            for (std::size_t j = 0; j < row.size() && j < static_cast<std::size_t>(width); ++j) {
                const std::int32_t x = static_cast<std::int32_t>(j);
                if (!InGrid(x, y)) {
                    continue;
                }
                const std::size_t i = GridIndex(x, y);
                const char ch = row[j];
                switch (b) {
                case 0:
                case 1: {
                    const std::string* file = (b == 0 ? static_cast<const FloorTable&>(tex)
                                                      : static_cast<const FloorTable&>(obj))
                                                  .Find(std::string_view(&row[j], 1));
                    if (file == nullptr) {
                        missingKey = true;
                    }
                    (b == 0 ? textureGrid : objectGrid)[i] = file ? *file : std::string();
                    break;
                }
                case 2:
                    if (ch >= '0' && ch <= '9') {
                        heightGrid[i] = ch - '0';
                    }
                    break;
                case 3:
                    markerGrid[i] = ch;
                    break;
                default:
                    facingGrid[i] = ch;
                    break;
                }
            }
        }
        if (!cur.SkipPast(end)) {
            break;
        }
    }
    if (missingKey) {
        LogLine("Stage: floor map character without a floor table row");
    }

    allyStarts.clear();
    enemyStarts.clear();
    std::map<char, CellPos> allies;
    for (std::int32_t y = 0; y < floorDepth; ++y) {
        for (std::int32_t x = 0; x < floorWidth; ++x) {
            const char ch = markerGrid[GridIndex(x, y)];
            const CellPos cell{static_cast<float>(x), 0.0f, static_cast<float>(y)};
            if (ch >= 'a' && ch <= 'z') {
                enemyStarts.emplace(ch, cell);
            } else if (ch >= 'A' && ch <= 'Z') {
                allies.emplace(ch, cell);
            }
        }
    }
    for (const auto& [letter, cell] : allies) {
        allyStarts.push_back(cell);
    }
}

void StageData::PlaceEnemies() {
    for (auto& [name, c] : EnemyUnits) {
        auto it = c.Marker().size() == 1 ? enemyStarts.find(c.Marker()[0]) : enemyStarts.end();
        if (it == enemyStarts.end()) {
            c.SetCellValue(0, 0);
            c.SetDirectionValue("down");
            continue;
        }
        const std::int32_t x = static_cast<std::int32_t>(it->second.x);
        const std::int32_t y = static_cast<std::int32_t>(it->second.z);
        c.SetCellValue(x, y);
        c.SetDirectionValue(FacingWord(facingGrid[GridIndex(x, y)]));
    }
}

} // namespace quolis
