// Script storage on the real content reader: loose script files, save data
// written into a "savedata" folder that does not exist yet, and read back.
#include "ScriptTestUtil.h"
#include "common/Path.h"
#include "script/DatScriptStorage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quolis::test {
namespace {

namespace fs = std::filesystem;

class DatStorage : public ::testing::Test {
public:
    void SetUp() override {
        oldRoot_ = GameRoot();
        root_ = fs::path(QUOLIS_BINARY_DIR) / "script_dat_storage" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root_);
        fs::create_directories(root_ / "GameData" / "Text" / "Prologue");
        SetGameRoot(root_.string());
    }
    void TearDown() override { SetGameRoot(oldRoot_); }

    fs::path root_;

private:
    std::string oldRoot_;
};

TEST_F(DatStorage, ScriptsAndSaveDataAsLooseFiles) {
    std::ofstream(root_ / "GameData" / "Text" / "Prologue" / "1.Dat", std::ios::binary) << Sj(
        "ナレーション： 始まり\r\n/* 注 */ INT %a = 4 Save Prologue\\1 savedata\\save2 終\r\n");
    CDatArchive content(false, false);
    DatScriptStorage storage(content);
    ManualClock clock;
    FixedCalendar calendar(kWednesday);
    ScriptPortsRef p;
    p.storage = &storage;
    p.clock = &clock;
    p.calendar = &calendar;
    CScript script;
    script.SetUp(p);
    ASSERT_EQ(script.RunFile("Prologue\\1.Dat"), S_OK);
    EXPECT_EQ(U8(script.Message()), "始まり\n\n");
    script.Step();
    EXPECT_EQ(U8(script.Message()), "終\n\n");

    const fs::path save = root_ / "GameData" / "Text" / "savedata" / "save2.Dat";
    ASSERT_TRUE(fs::exists(save));
    std::ifstream in(save, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes,
              Sj("セーブ日時\r\n103\r\n3\r\n2\r\n5\r\n14\r\n7\r\n0\r\n"
                 "現在のスクリプトファイル名\r\nPrologue\\1\r\n変数情報\r\nINT\r\n%a\r\n4\r\n"));

    // The slot menu reads it back.
    script.RunTokens(Toks("LoadMenu"), true);
    EXPECT_EQ(U8(script.Box().TextMenu().items[2].label), "データ2：2003年 3月 5日（水）14時 7分");
    EXPECT_FALSE(script.Box().TextMenu().items[1].enabled);
}

TEST_F(DatStorage, MissingScriptFails) {
    CDatArchive content(false, false);
    DatScriptStorage storage(content);
    TokenList t;
    EXPECT_EQ(storage.ReadScript("None.Dat", t), E_FAIL);
    EXPECT_EQ(storage.ReadPlain("GameData\\Text\\savedata\\save1.Dat", t), E_FAIL);
}

} // namespace
} // namespace quolis::test
