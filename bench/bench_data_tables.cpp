// Start-up table load and one battle stage: all master tables plus a
// 100 x 100 stage with 50 enemies. Goal: well under 20 ms.
#include "common/Path.h"
#include "common/Text.h"
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/DatArchiveWriter.h"
#include "data/FloorTables.h"
#include "data/MAMaster.h"
#include "data/StageData.h"
#include "data/Tokens.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace quolis;

namespace {

struct Texts {
    std::string arms, direction, height, master, tex, obj, stage;
};

// Content shaped like the game's: 40 Metal Arms, 24 creature types with every
// section, bonus and floor tables, and one full-size stage.
Texts MakeTexts() {
    Texts t;
    for (int i = 0; i < 40; ++i) {
        t.arms += "技" + std::to_string(i) + " " + std::to_string(i % 6 + 1) + " " +
                  std::to_string(10 + i) + " " + std::to_string(i % 9 * 5) + "\n";
    }
    t.direction = "BySide // 1 5 2 4 3 3 4 2 // ByRear // 1 10 2 8 3 6 4 4 //";
    t.height = "ByUpper // 1 5 2 10 3 15 // ByLower // 1 -5 2 -10 3 -15 //";
    t.tex = "a grass.bmp b rock.bmp c sand.bmp d water.bmp";
    t.obj = "- none T tree.x R rock.x";
    std::string names, all;
    for (int i = 0; i < 24; ++i) {
        const std::string n = "ＱＬ－" + std::to_string(i) + (i % 2 ? "Ｅ" : "");
        names += n + " QL" + std::to_string(i) + " ＱＬ" + std::to_string(i) + "－\n";
        all += n + " ";
    }
    std::string m = "／／名前 " + names + "／／名前終わり\n";
    for (const char* g : {"ＨＰ", "ＭＰ", "ＡＰ", "ＤＰ", "ＱＰ", "ＮｅｅｄＢＰ"}) {
        m += std::string("／／") + g + " ";
        for (int i = 0; i < 24; ++i) {
            m += "ＱＬ－" + std::to_string(i) + (i % 2 ? "Ｅ" : "") + " ／／ 100 " +
                 std::to_string(5 + i) + " 0.1 ／／ ";
        }
        m += std::string("／／") + g + "終わり\n";
    }
    m += "／／ＢＰ " + all + "／／ 0.5 0.2 ／／ ／／ＢＰ終わり\n";
    m += "／／コア出現率 " + all + "／／ 30 ／／ ／／コア出現率終わり\n";
    m += "／／ＭｂｌＰ " + all + "／／ 0 1 3 0 10 4 1 1 5 2 1 6 ／／ ／／ＭｂｌＰ終わり\n";
    m += "／／ＲｉｓｅＰ " + all + "／／ 0 1 1 0 15 2 1 10 3 ／／ ／／ＲｉｓｅＰ終わり\n";
    m += "／／メタルアームズ " + all + "／／ ";
    for (int i = 0; i < 40; i += 3) {
        m += "技" + std::to_string(i) + " " + std::to_string(i / 10) + " " +
             std::to_string(i % 20 + 1) + " ";
    }
    m += "／／ ／／メタルアームズ終わり\n";
    t.master = m;

    std::string s =
        "／／ステージ情報 ステージ名 ブロックＤ ステージ名２ 決戦 ステージ番号 9 "
        "ステージＸファイル名 Stage9.x 位置 0 0 0 アングル 0 45 0 初期カメラアングル 1 "
        "次のステージファイル Ending 味方ＢＧＭ a.mid 敵ＢＧＭ b.mid ／／ステージ情報終わり\n"
        "／／敵情報\n";
    for (int i = 0; i < 50; ++i) {
        s += "／／ 名前 敵" + std::to_string(i) + " タイプ ＱＬ－" +
             std::to_string((i % 12) * 2 + 1) + "Ｅ 合成回数 " + std::to_string(i % 4) +
             " レベル " + std::to_string(i % 20 + 1) + " アングル down 位置 " +
             std::string(1, static_cast<char>('a' + i % 26)) + " ／／\n";
    }
    s += "／／敵情報終わり\nフロアサイズ 100 100\n";
    const auto block = [&](const char* name, auto cell) {
        s += std::string("／／") + name + "\n";
        for (int r = 0; r < 100; ++r) {
            std::string row;
            for (int c = 0; c < 100; ++c) {
                row += cell(c, 99 - r);
            }
            s += row + "\n";
        }
        s += std::string("／／") + name + "終わり\n";
    };
    block("フロアテクスチャ情報", [](int x, int y) { return "abcd"[(x + y) % 4]; });
    block("フロアオブジェクト情報", [](int x, int y) { return (x * y) % 17 == 0 ? 'T' : '-'; });
    block("フロア高低情報",
          [](int x, int y) { return static_cast<char>('0' + (x / 10 + y / 10) % 10); });
    block("キャラ位置情報", [](int x, int y) {
        if (y == 90 && x < 26) {
            return static_cast<char>('a' + x);
        }
        if (y == 5 && x < 10) {
            return static_cast<char>('A' + x);
        }
        return '.';
    });
    block("初期アングル情報", [](int x, int y) { return static_cast<char>('0' + (x + y) % 4); });
    t.stage = s;

    for (std::string* p : {&t.arms, &t.master, &t.stage}) {
        *p = Utf8ToCp932(*p);
    }
    return t;
}

void BM_TablesAndStage(benchmark::State& state) {
    const Texts t = MakeTexts();
    for (auto _ : state) {
        MAMaster arms;
        arms.Parse(SplitTokens(t.arms));
        DirectionBonus direction;
        direction.Parse(SplitTokens(t.direction));
        HeightBonus height;
        height.Parse(SplitTokens(t.height));
        CharaMaster master;
        master.Parse(SplitTokens(t.master), arms);
        FloorTex tex;
        tex.Parse(SplitTokens(t.tex));
        FloorObj obj;
        obj.Parse(SplitTokens(t.obj));
        StageData stage;
        const TokenList st = SplitTokens(t.stage);
        stage.ParseBattleData(st, master, arms);
        stage.ParseFloor(st, tex, obj);
        stage.PlaceEnemies();
        if (stage.EnemyUnits.size() != 50 || master.Types().size() != 24) {
            state.SkipWithError("content not parsed as expected");
            break;
        }
        benchmark::DoNotOptimize(stage.heightGrid.data());
    }
}
BENCHMARK(BM_TablesAndStage)->Unit(benchmark::kMillisecond);

// The same content packed into the data and stage archives and read the way
// the game does at start-up and at battle start.
void BM_LoadFromArchives(benchmark::State& state) {
    namespace fs = std::filesystem;
    const Texts t = MakeTexts();
    std::string tmpl = (fs::temp_directory_path() / "bench-data-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const fs::path root(tmpl);
    const auto pack = [&](const fs::path& file,
                          const std::vector<std::pair<std::string, const std::string*>>& members) {
        std::vector<ArchiveMemberSource> sources(members.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            TextMember(members[i].first, SplitTokens(*members[i].second), sources[i]);
        }
        std::string bytes;
        ComposeArchive(sources, bytes);
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    };
    pack(root / "GameData/Data/Data.Dat", {{"Data\\MAMaster.Dat", &t.arms},
                                           {"Data\\DirectionBonus.Dat", &t.direction},
                                           {"Data\\HeightBonus.Dat", &t.height},
                                           {"Data\\CharaMaster.Dat", &t.master},
                                           {"Data\\FloorTex.Dat", &t.tex},
                                           {"Data\\FloorObj.Dat", &t.obj}});
    pack(root / "GameData/Stage/Stage.Dat", {{"Stage09.txt", &t.stage}});
    const std::string previousRoot = GameRoot();
    SetGameRoot(root.string());
    for (auto _ : state) {
        CDatArchive content(false, true);
        MAMaster arms;
        DirectionBonus direction;
        HeightBonus height;
        CharaMaster master;
        FloorTex tex;
        FloorObj obj;
        const bool ok = arms.Load(content) && direction.Load(content) && height.Load(content) &&
                        master.Load(content, arms) && tex.Load(content) && obj.Load(content);
        StageData stage;
        stage.ReadBattleData(content, "Stage09.txt", master, arms);
        stage.ReadFloor(content, "Stage09.txt", tex, obj);
        stage.PlaceEnemies();
        if (!ok || stage.EnemyUnits.size() != 50 || master.Types().size() != 24 ||
            stage.floorWidth != 100) {
            state.SkipWithError("content not loaded as expected");
            break;
        }
        benchmark::DoNotOptimize(stage.heightGrid.data());
    }
    SetGameRoot(previousRoot);
    std::error_code ec;
    fs::remove_all(root, ec);
}
BENCHMARK(BM_LoadFromArchives)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
