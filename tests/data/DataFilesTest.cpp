// Tables, stages and saves read and written through the archive reader.
#include "data/DataFiles.h"
#include "ArchiveTestUtil.h"
#include "TestUtil.h"
#include "common/Clock.h"
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/DatArchiveWriter.h"
#include "data/FloorTables.h"
#include "data/GameState.h"
#include "data/MAMaster.h"
#include "data/StageData.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using test::S;
using test::Tok;
using testing_util::ScratchRoot;

const char* kArms = "キャノン 3 20 10\nブレス 2 9 4\n";
const char* kMaster =
    "／／名前 ＱＬ－１ QL1 ＱＬ１－ ／／名前終わり\n"
    "／／ＨＰ ＱＬ－１ ／／ 100 10 0.5 ／／ ／／ＨＰ終わり\n"
    "／／メタルアームズ ＱＬ－１ ／／ キャノン 0 1 ／／ ／／メタルアームズ終わり\n";
const char* kStage =
    "／／ステージ情報 ステージ名 ブロックＢ ステージ名２ 荒野 ステージ番号 4 "
    "／／ステージ情報終わり ／／敵情報 ／／ 名前 敵 タイプ ＱＬ－１ レベル 2 位置 a ／／ "
    "／／敵情報終わり フロアサイズ 2 1 ／／フロアテクスチャ情報 xy "
    "／／フロアテクスチャ情報終わり";

TEST(DataFiles, LooseFileTablesWithComments) {
    ScratchRoot root;
    root.Write("GameData/Data/MAMaster.Dat", S(std::string("/* 技の表 */\n") + kArms));
    root.Write("GameData/Data/CharaMaster.Dat", S(kMaster));
    root.Write("GameData/Data/HeightBonus.Dat", "ByUpper // 1 5 // ByLower // 1 -5 //\r\n");
    root.Write("GameData/Data/FloorTex.Dat", "x a.bmp y b.bmp");
    root.Write("GameData/Stage/S1.txt", S(kStage));
    CDatArchive loose(false, false);
    MAMaster arms;
    ASSERT_TRUE(arms.Load(loose));
    EXPECT_EQ(arms.Records().size(), 2u);
    CharaMaster master;
    ASSERT_TRUE(master.Load(loose, arms));
    EXPECT_EQ(master.Find(S("ＱＬ－１"))->Value(CharaTable::HP, 20), 1240);
    HeightBonus h;
    ASSERT_TRUE(h.Load(loose));
    EXPECT_EQ(BonusLookup(h.ByLower, 1), -5);
    DirectionBonus d;
    EXPECT_FALSE(d.Load(loose)); // no such file
    FloorTex tex;
    ASSERT_TRUE(tex.Load(loose));
    FloorObj obj;
    StageData stage;
    ASSERT_TRUE(stage.ReadBattleData(loose, "S1.txt", master, arms));
    ASSERT_TRUE(stage.ReadFloor(loose, "S1.txt", tex, obj));
    EXPECT_EQ(stage.EnemyUnits.size(), 1u);
    EXPECT_EQ(stage.textureGrid[GridIndex(1, 0)], "b.bmp");
    EXPECT_FALSE(stage.ReadInformation(loose, "Missing.txt"));
}

TEST(DataFiles, ArchiveMembers) {
    ScratchRoot root;
    std::vector<ArchiveMemberSource> members(2);
    ASSERT_TRUE(TextMember("Data\\MAMaster.Dat", Tok(kArms), members[0]));
    ASSERT_TRUE(TextMember("Data\\CharaMaster.Dat", Tok(kMaster), members[1]));
    std::string bytes;
    ASSERT_TRUE(ComposeArchive(members, bytes));
    root.Write("GameData/Data/Data.Dat", bytes);
    std::vector<ArchiveMemberSource> stages(1);
    ASSERT_TRUE(TextMember("S1.txt", Tok(kStage), stages[0]));
    ASSERT_TRUE(ComposeArchive(stages, bytes));
    root.Write("GameData/Stage/Stage.Dat", bytes);

    CDatArchive content(false, true);
    MAMaster arms;
    ASSERT_TRUE(arms.Load(content));
    CharaMaster master;
    ASSERT_TRUE(master.Load(content, arms));
    EXPECT_EQ(master.Find(S("ＱＬ－１"))->Value(CharaTable::HP, 99), 25335);
    StageData stage;
    ASSERT_TRUE(stage.ReadInformation(content, "S1.txt"));
    EXPECT_EQ(stage.stageNumber, 4);
}

TEST(DataFiles, SaveRoundTripThroughTheSecureReader) {
    ScratchRoot root;
    root.Write("GameData/Stage/S1.txt", S(kStage));
    std::filesystem::create_directories(root.Host("GameData/Save"));
    MAMaster arms;
    arms.Parse(Tok(kArms));
    CharaMaster master;
    master.Parse(Tok(kMaster), arms);

    GameState g;
    g.bpPool = 900;
    g.openingSeen = 1;
    CharaValues c;
    c.SetName(S("ＱＬ１－2"));
    c.SetNumber(2);
    c.SetTypeName(S("ＱＬ－１"));
    c.SetFusionCount(1);
    c.SetLevel(1);
    c.SetLevel2(20);
    c.SetMaxHP(4000);
    g.squad.emplace(c.Name(), c);
    CDatArchive secure(true, false);
    FixedCalendar cal(1070892300);
    const std::string path = SaveSlotPath(3);
    ASSERT_TRUE(g.Save(secure, path, cal, "S1.txt"));
    EXPECT_EQ(g.filePath, path);
    // Stored under the E-name, scrambled.
    const std::string onDisk = root.Read("GameData/Save/Save3E.Dat");
    ASSERT_FALSE(onDisk.empty());
    EXPECT_EQ(onDisk.find("S1.txt"), std::string::npos);

    GameState back;
    ASSERT_TRUE(back.Load(secure, path, master, arms));
    EXPECT_EQ(back.loaded, 1);
    EXPECT_EQ(back.stageFile, "S1.txt");
    EXPECT_EQ(back.bpPool, 900);
    EXPECT_EQ(back.saveDate.tm_mon, 11);
    ASSERT_EQ(back.squad.size(), 1u);
    EXPECT_EQ(back.squad.begin()->second.MaxHP(), 4000);
    EXPECT_EQ(back.squad.begin()->second.Arms().size(), 1u);

    CDatArchive content(false, false);
    const SlotSummary s = ReadSlotSummary(secure, content, path);
    EXPECT_TRUE(s.hasData);
    EXPECT_EQ(Cp932ToUtf8(s.text), "Ｂ－４　'03 12/08 14:05 荒野");
    const SlotSummary empty = ReadSlotSummary(secure, content, SaveSlotPath(4));
    EXPECT_FALSE(empty.hasData);
    EXPECT_EQ(Cp932ToUtf8(empty.text), "データがありません");

    GameState failed;
    failed.squad.emplace("x", CharaValues());
    EXPECT_FALSE(failed.Load(secure, SaveSlotPath(5), master, arms));
    EXPECT_EQ(failed.loaded, 0);
    EXPECT_TRUE(failed.squad.empty());
}

} // namespace
} // namespace quolis
