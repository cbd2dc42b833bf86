#include "HardNames.h"
#include "Mkcontent.h"

#include "common/Path.h"
#include "common/Text.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quolis;
using namespace quolis::mkcontent;

namespace {

class NamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // One folder per test: ctest runs the tests of this suite side by side.
        scratch_ = (std::filesystem::path(QUOLIS_BINARY_DIR) / "mkcontent-names-test" /
                    ::testing::UnitTest::GetInstance()->current_test_info()->name())
                       .string();
        std::string error;
        ok_ = CollectNames(std::string(QUOLIS_SOURCE_DIR) + "/content", scratch_, names_, error);
        SetGameRoot("");
        ASSERT_TRUE(ok_) << error;
    }
    void TearDown() override { std::filesystem::remove_all(scratch_); }
    std::string scratch_;
    NameSet names_;
    bool ok_ = false;
};

TEST_F(NamesTest, HoldsEveryHardCodedName) {
    for (const auto& hard : qcheck::HardCodedNames()) {
        const std::set<std::string>* set = nullptr;
        switch (hard.kind) {
        case qcheck::AssetKind::Texture:
            set = &names_.textures;
            break;
        case qcheck::AssetKind::Mesh:
            set = &names_.meshes;
            break;
        case qcheck::AssetKind::Model:
            set = &names_.models;
            break;
        case qcheck::AssetKind::Sound:
            set = &names_.sounds;
            break;
        case qcheck::AssetKind::Music:
            set = &names_.music;
            break;
        }
        EXPECT_EQ(set->count(hard.name), 1u) << hard.name;
    }
    EXPECT_EQ(names_.metalArms.size(), 50u);
}

TEST_F(NamesTest, HoldsWhatTheContentNames) {
    EXPECT_EQ(names_.textures.count("Floor\\Grass.bmp"), 1u);
    EXPECT_EQ(names_.textures.count("Face\\Mina.bmp"), 1u);
    EXPECT_EQ(names_.meshes.count("Stage\\BlockA.x"), 1u);
    EXPECT_EQ(names_.models.count("Object\\Rock.mdl"), 1u);
    EXPECT_EQ(names_.music.count("Battle1.mid"), 1u);
    EXPECT_EQ(names_.music.count("Story1.mid"), 1u) << "pieces played by their bare name";
    EXPECT_EQ(names_.sounds.count("Story\\Alarm.wav"), 1u);
    EXPECT_EQ(names_.textures.count("Button\\Battle\\" + Utf8ToCp932("ブレード") + ".bmp"), 1u);
}

TEST_F(NamesTest, EveryTypeHasItsBaseAnimationsAndOnlyTheAttacksItLearns) {
    ASSERT_FALSE(names_.animationsByFolder.empty());
    for (const auto& [folder, anims] : names_.animationsByFolder) {
        for (const auto& base : qcheck::BaseAnimations()) {
            EXPECT_EQ(anims.count(base), 1u) << folder << " " << base;
            EXPECT_EQ(names_.models.count(folder + "\\" + base + ".mdl"), 1u);
        }
    }
    // The wolf frame learns 体当たり, so it has dash1; it never aims a cannon.
    ASSERT_EQ(names_.animationsByFolder.count("QL1"), 1u);
    EXPECT_EQ(names_.animationsByFolder["QL1"].count("dash1"), 1u);
    EXPECT_EQ(names_.animationsByFolder["QL1"].count("Cannon1"), 0u);
}

} // namespace
