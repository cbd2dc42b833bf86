// The content checker on the real campaign (written as loose files into a
// temporary GameData) and on copies of it with one fault each: every fault
// must be named.
#include "Checker.h"
#include "HardNames.h"
#include "ScriptScan.h"

#include "../support/ScratchDir.h"
#include "common/Path.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "data/Tokens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace quolis::qcheck {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class ContentCheck : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::MakeScratchDir("qcheck");
        ASSERT_FALSE(root_.empty());
        std::string error;
        ASSERT_TRUE(
            WriteLooseTree(QUOLIS_SOURCE_DIR "/content", (root_ / "GameData").string(), error))
            << error;
        // The initial save as the game stores it: scrambled, E-name rule.
        SetGameRoot(root_.string());
        TokenList save =
            SplitTokens(Utf8ToCp932(ReadFile(QUOLIS_SOURCE_DIR "/content/Save/Init.Dat")));
        CDatArchive secure(true, false);
        fs::create_directories(root_ / "GameData" / "Save");
        ASSERT_GE(secure.WriteTokens("GameData\\Save\\Init.Dat", save), 0);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path File(const std::string& rel) const { return root_ / "GameData" / rel; }

    // Edits a CP932 file of the tree by replacing UTF-8 text.
    void Replace(const std::string& rel, const std::string& from, const std::string& to) {
        std::string text = ReadFile(File(rel));
        const auto at = text.find(Utf8ToCp932(from));
        ASSERT_NE(at, std::string::npos) << rel << " lacks " << from;
        text.replace(at, Utf8ToCp932(from).size(), Utf8ToCp932(to));
        WriteFile(File(rel), text);
    }

    Report Check() const {
        CheckOptions options;
        options.root = root_.string();
        options.loose = true;
        return CheckGameData(options);
    }

    static bool Names(const Report& r, const std::string& part) {
        return std::any_of(r.problems.begin(), r.problems.end(),
                           [&](const std::string& p) { return p.find(part) != std::string::npos; });
    }

    static std::string All(const Report& r) {
        std::string s;
        for (const auto& p : r.problems) {
            s += p + "\n";
        }
        return s;
    }

    fs::path root_;
};

TEST_F(ContentCheck, TheCampaignHasNoProblemsAndOnlyTheBinaryChecksArePending) {
    const Report r = Check();
    EXPECT_TRUE(r.Ok()) << All(r);
    // Textures, meshes, models, sounds and music wait for their archives.
    EXPECT_EQ(r.pending.size(), 5u);
    const bool campaign = std::any_of(r.notes.begin(), r.notes.end(), [](const std::string& n) {
        return n.find("campaign of 8 stages") != std::string::npos;
    });
    EXPECT_TRUE(campaign);
    // The list of binary files names what the asset generator has to make.
    const auto listed = [&](const std::string& kind, const std::string& name) {
        return std::any_of(r.required.begin(), r.required.end(),
                           [&](const RequiredFile& f) { return f.kind == kind && f.name == name; });
    };
    EXPECT_TRUE(listed("model", "QL6E\\SAssault10.mdl"));
    EXPECT_TRUE(listed("texture", "Button\\Battle\\レイプラズマ.bmp"));
    EXPECT_TRUE(listed("sound", "DirKey.wav"));
    EXPECT_TRUE(listed("music", "LastEnemy.mid"));
    EXPECT_TRUE(listed("mesh", "Stage\\Final.x"));
    EXPECT_FALSE(listed("model", "QL1\\SAssault10.mdl")); // ＱＬ－１ never learns it
}

TEST_F(ContentCheck, TableFaultsAreNamed) {
    Replace("Data/MAMaster.Dat", "デスブレス 4 38 52", "");
    Replace("Data/Setting.Dat", "SPEED_WIPE 0.05", "");
    Replace("Data/FloorTex.Dat", "1 Floor\\Grass.bmp", "");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "Metal Arms デスブレス is missing")) << All(r);
    EXPECT_TRUE(Names(r, "SPEED_WIPE is missing")) << All(r);
    EXPECT_TRUE(Names(r, "key 1 (the texture of undefined cells) is missing")) << All(r);
    // The floors that use key 1 now have cells without a texture.
    EXPECT_TRUE(Names(r, "floor character missing from FloorTex")) << All(r);
}

TEST_F(ContentCheck, AMetalArmsNobodyLearnsIsNamed) {
    Replace("Data/CharaMaster.Dat", "レイプラズマ 3 18\n", "");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "no type learns レイプラズマ")) << All(r);
}

TEST_F(ContentCheck, ABrokenCampaignChainIsNamed) {
    Replace("Stage/BlockB2.Dat", "次のステージファイル BlockC1.Dat",
            "次のステージファイル BlockX9.Dat");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "stage BlockB2.Dat: next stage BlockX9.Dat does not exist")) << All(r);
    EXPECT_TRUE(Names(r, "reaches the missing stage BlockX9.Dat")) << All(r);
}

TEST_F(ContentCheck, AChainThatLoopsIsNamed) {
    Replace("Stage/BlockA2.Dat", "次のステージファイル BlockB1.Dat",
            "次のステージファイル BlockA1.Dat");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "loops back to BlockA1.Dat")) << All(r);
}

TEST_F(ContentCheck, AnEnemyOnAPlateauOutOfReachIsNamed) {
    // The farthest row of the first stage rises to height 3: the enemy there
    // stands two steps above everything around it.
    Replace("Stage/BlockA1.Dat", "／／フロア高低情報\n11111111", "／／フロア高低情報\n33333333");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "enemy 野良ウルフＢ at 5,7 cannot be reached")) << All(r);
}

TEST_F(ContentCheck, AnEnemyOfAnUnknownTypeIsNamed) {
    Replace("Stage/BlockA1.Dat", "タイプ ＱＬ－２Ｅ", "タイプ ＱＬ－９Ｅ");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "stage BlockA1.Dat: 1 enemies could not be created")) << All(r);
}

TEST_F(ContentCheck, ScriptFaultsAreNamed) {
    Replace("Text/Event/A1_OP.Dat", "Texture 背景旧市街 Back\\OldTown.bmp", "");
    Replace("Text/Story/A2_OP.Dat", "カイ：", "カイ： ＡＢ12");
    Replace("Text/Event/B1_ED.Dat", "SELoad ノイズ Story\\Noise.wav", "");
    Replace("Text/Common/Squad.Dat", "switch ( %block )", "switch ( %blok )");
    fs::remove(File("Text/Prologue/Start.Dat"));
    // "カイ：" and 23 characters fill the first line: the "。" would open the second.
    Replace("Text/Story/A1_ED.Dat", "ゲートは確保した。三体とも無事だ。",
            "ゲートは確保した。三体とも無事で損傷も軽いほう。");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "script Event\\A1_OP.Dat: picture 背景旧市街 is not a texture variable"))
        << All(r);
    EXPECT_TRUE(Names(r, "holds a single-byte character")) << All(r);
    EXPECT_TRUE(Names(r, "sound cue ノイズ is played but never loaded")) << All(r);
    EXPECT_TRUE(Names(r, "variable %blok is used before it is declared")) << All(r);
    EXPECT_TRUE(Names(r, "script Prologue\\Start.Dat is missing")) << All(r);
    EXPECT_TRUE(Names(r, "breaks before 。")) << All(r);
}

TEST_F(ContentCheck, ButtonMenuItemsNeedTheirPictures) {
    Replace("Text/Ending/1.Dat", "Texture Ending\\Finishボタン Button\\Script\\Finish.bmp", "");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "button menu item Ending\\Finish has no texture variable")) << All(r);
}

TEST_F(ContentCheck, AnUnreadableInitialSaveIsNamed) {
    fs::remove(File("Save/InitE.Dat"));
    const Report r = Check();
    EXPECT_TRUE(Names(r, "Init.Dat (InitE.Dat on disk) cannot be read")) << All(r);
}

TEST_F(ContentCheck, PresentArchivesAreCheckedMemberByMember) {
    // Music: only the title piece is there.
    WriteFile(File("MIDI/Title.mid"), "MThd");
    // Models: one animation of the first type, made of a mesh that is missing.
    WriteFile(File("mdl/QL1/wait.mdl"), "1 1\nParts\\Body.x -1\n0 0 0 0 0 0 1 1 1\n");
    WriteFile(File("XFile/Other.x"), "xof 0303txt 0032\n");
    const Report r = Check();
    EXPECT_FALSE(Names(r, "missing music Title.mid")) << All(r);
    EXPECT_TRUE(Names(r, "missing music Menu.mid (used by menu hub)")) << All(r);
    EXPECT_TRUE(Names(r, "missing music LastBattle.mid (used by stage BlockD2.Dat 味方ＢＧＭ)"))
        << All(r);
    EXPECT_TRUE(Names(r, "missing music Story2.mid (used by script")) << All(r);
    EXPECT_TRUE(Names(r, "missing model QL1\\dash1.mdl (used by type ＱＬ－１, 体当たり)"))
        << All(r);
    EXPECT_TRUE(Names(r, "missing model Core\\Dead2.mdl (used by cores)")) << All(r);
    EXPECT_TRUE(Names(r, "missing mesh Parts\\Body.x (used by model QL1\\wait.mdl)")) << All(r);
    EXPECT_TRUE(Names(r, "missing mesh Menu\\MenuMap1.x")) << All(r);
    // Textures and sounds are still pending.
    EXPECT_EQ(r.pending.size(), 2u);
}

TEST_F(ContentCheck, AModelShorterThanItsCountsIsNamed) {
    WriteFile(File("mdl/QL1/wait.mdl"), "2 3\nBody.x -1\n0 0 0\n");
    const Report r = Check();
    EXPECT_TRUE(Names(r, "model QL1\\wait.mdl is shorter than its part and key counts say"))
        << All(r);
}

TEST(AttackTable, HoldsTheFiftyMetalArmsWithTheirAnimationRuns) {
    const auto& table = AttackTable();
    ASSERT_EQ(table.size(), 50u);
    std::set<std::string> names;
    for (const auto& a : table) {
        names.insert(a.name);
        EXPECT_FALSE(a.animations.empty()) << Cp932ToUtf8(a.name);
    }
    EXPECT_EQ(names.size(), 50u);
    const auto find = [&](const char* utf8) {
        return *std::find_if(table.begin(), table.end(), [&](const AttackAnimations& a) {
            return a.name == Utf8ToCp932(utf8);
        });
    };
    const std::vector<std::string> omega = {"OSlush1", "OSlush2", "OSlush3", "OSlush4", "OSlush5",
                                            "OSlush6", "OSlush7", "OSlush8", "OSlush9", "wait"};
    EXPECT_EQ(find("オメガスラッシュ").animations, omega);
    EXPECT_EQ(find("マッドテール").animations.back(), "MTail10");
    // There is no TPierce5.
    const auto pierce = find("サウザンドピアース").animations;
    EXPECT_EQ(std::count(pierce.begin(), pierce.end(), "TPierce5"), 0);
    EXPECT_EQ(BattleButtonName(Utf8ToCp932("ブレード")),
              Utf8ToCp932("Button\\Battle\\ブレード.bmp"));
}

TEST(ScriptScan, FollowsJumpsThroughMenusAndStringVariables) {
    const TokenList tokens = SplitTokens(Utf8ToCp932(
        "string $next = A\\Two goto $next "
        "FontMenu { format 1 2 menuitem { A\\Yes 1 はい A\\No 2 いいえ } } goto $MenuResult "
        "Save $next savedata\\save1"));
    const ScriptFacts f = ScanScript(tokens);
    const std::set<std::string> jumps = {"A\\Two.Dat", "A\\Yes.Dat", "A\\No.Dat"};
    EXPECT_EQ(f.jumps, jumps);
    EXPECT_TRUE(f.problems.empty());
}

TEST(ScriptScan, CollectsFilesVariablesAndDialogue) {
    const TokenList tokens = SplitTokens(Utf8ToCp932(
        "Texture ミナ・通信 Face\\MinaComm.bmp SELoad 音 Story\\Beep.wav SEPlay 音 "
        "MIDIPlay Story1 INT %a = 1 if ( %a == 1 && %b > 2 ) { BG 背景 } "
        "ミナ・通信： こんにちは。 . 次の行。 ナレーション： 語り。 ＊ヴァルガ： 誰だ。 "
        "setposition serifu default FadeIn Sideways"));
    const ScriptFacts f = ScanScript(tokens);
    EXPECT_EQ(f.textures.at(Utf8ToCp932("ミナ・通信")), "Face\\MinaComm.bmp");
    EXPECT_EQ(f.sounds.at(Utf8ToCp932("音")), "Story\\Beep.wav");
    EXPECT_EQ(f.music, std::set<std::string>{"Story1.mid"});
    EXPECT_EQ(f.textureUses, std::vector<std::string>{Utf8ToCp932("背景")});
    const std::vector<std::string> uses = {"%a", "%b"};
    EXPECT_EQ(f.variableUses, uses);
    ASSERT_EQ(f.messages.size(), 4u);
    EXPECT_EQ(f.messages[0].label, Utf8ToCp932("ミナ："));   // cut before "・"
    EXPECT_EQ(f.messages[1].label, Utf8ToCp932("ミナ："));   // a line without a speaker keeps it
    EXPECT_EQ(f.messages[2].label, "");                      // narration has no label
    EXPECT_EQ(f.messages[3].label, Utf8ToCp932("？？？：")); // "＊" hides the name
    ASSERT_EQ(f.problems.size(), 1u);                        // FadeIn has no such target
}

TEST(ScriptScan, NamesStatementsCutOffByTheEndOfTheFile) {
    const ScriptFacts f = ScanScript(SplitTokens("Texture A"));
    EXPECT_EQ(f.problems.size(), 1u);
    const ScriptFacts menu = ScanScript(SplitTokens("ButtonMenu { format 1 1"));
    EXPECT_FALSE(menu.problems.empty());
}

} // namespace
} // namespace quolis::qcheck
