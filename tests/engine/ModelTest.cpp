#include "Engine3dTestData.h"

using namespace quolis;
using namespace quolis::test3d;

namespace {

class ModelTest : public Engine3dTest {
protected:
    void SetUp() override {
        Engine3dTest::SetUp();
        WriteX("cube.x", CubeX());
        // Part 0: the hand (child of part 2, listed first); part 1: a joint
        // without a mesh; part 2: the body, turned 90 degrees about Y at key 1.
        WriteMdl("Test\\walk.mdl", "3 3\n"
                                   "cube.x 2" +
                                       MdlKey(3, 0, 0) + MdlKey(3, 0, 0) + MdlKey(3, 0, 0) +
                                       "Nothing -1" + MdlKey(0, 0, 0) + MdlKey(0, 0, 0) +
                                       MdlKey(0, 0, 0) + "cube.x -1" + MdlKey(0, 0, 0) +
                                       MdlKey(0, 0, 0, 90) + MdlKey(0, 10, 0, 90));
        WriteMdl("Test\\still.mdl", "1 1 cube.x -1" + MdlKey(0, 0, 0));
    }
};

} // namespace

TEST_F(ModelTest, LoadPreloadsPartsAndPosesKeyZeroWithoutPlaying) {
    CMdl m;
    EXPECT_EQ(m.Play(), 0); // no model yet
    ASSERT_EQ(m.Load("Test\\walk.mdl"), S_OK);
    EXPECT_NE(CMesh::FindRecord("cube.x"), nullptr);
    EXPECT_EQ(CMesh::FindRecord("Nothing"), nullptr);
    EXPECT_EQ(m.IsPlaying(), 0);
    EXPECT_EQ(m.KeyPosition(), 0.0f);
    EXPECT_EQ(m.Model()->partCount, 3);
}

TEST_F(ModelTest, PlaybackAdvancesByTheFrameStepAndStopsOnTheLastKey) {
    CMdl m;
    ASSERT_EQ(m.Load("Test\\walk.mdl"), S_OK);
    EXPECT_EQ(m.Play(), 1);
    m.Update();
    EXPECT_FLOAT_EQ(m.KeyPosition(), 0.5f);
    m.Update();
    m.Update();
    EXPECT_EQ(m.IsPlaying(), 1);
    m.Update();
    EXPECT_FLOAT_EQ(m.KeyPosition(), 2.0f);
    EXPECT_EQ(m.IsPlaying(), 0);
    m.Update(); // stopped: stays
    EXPECT_FLOAT_EQ(m.KeyPosition(), 2.0f);
    // Loading another animation keeps the playing flag.
    m.Play();
    ASSERT_EQ(m.Load("Test\\still.mdl"), S_OK);
    EXPECT_EQ(m.IsPlaying(), 1);
    m.Update(); // one key: stops on the first update
    EXPECT_EQ(m.IsPlaying(), 0);
    EXPECT_EQ(m.KeyPosition(), 0.0f);
}

TEST_F(ModelTest, FrameStepBeyondTheLastKeyStopsAtOnce) {
    CMdl::Init("GameData\\mdl\\", &archive_, 7.0f);
    CMdl m;
    m.Load("Test\\walk.mdl");
    m.Play();
    m.Update();
    EXPECT_EQ(m.IsPlaying(), 0);
    EXPECT_FLOAT_EQ(m.KeyPosition(), 2.0f);
}

TEST_F(ModelTest, DrawWalksUpTheParentsAndFollowsThePlacement) {
    CMdl m;
    ASSERT_EQ(m.Load("Test\\walk.mdl"), S_OK);
    m.SetFrame(1);
    m.SetPosition(100, 0, 0);
    m.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 2u); // the joint draws nothing
    // Hand: its (3,0,0) turned by the body's yaw 90 -> (0,0,-3), then placed.
    ExpectNear(TransformCoord({0, 0, 0}, draws[0].world), {100, 0, -3});
    ExpectNear(TransformCoord({0, 0, 0}, draws[1].world), {100, 0, 0});
    ExpectNear(TransformNormal({1, 0, 0}, draws[1].world), {0, 0, -1});
    m.SetFrame(1.5f); // half-way up to y = 5
    m.Draw();
    ExpectNear(TransformCoord({0, 0, 0}, TakeDraws()[0].world), {100, 5, -3});
    EXPECT_TRUE(dev_.Errors().empty());
}

TEST_F(ModelTest, BrokenOrMissingFilesLeaveAnEmptyModel) {
    WriteMdl("Test\\cycle.mdl", "2 1 cube.x 1" + MdlKey(0, 0, 0) + "cube.x 0" + MdlKey(0, 0, 0));
    WriteMdl("Test\\short.mdl", "2 1 cube.x -1" + MdlKey(0, 0, 0));
    for (const char* name : {"Test\\cycle.mdl", "Test\\short.mdl", "Test\\absent.mdl"}) {
        CMdl m;
        ASSERT_EQ(m.Load("Test\\walk.mdl"), S_OK);
        EXPECT_EQ(m.Load(name), E_FAIL) << name;
        ASSERT_NE(m.Model(), nullptr);
        EXPECT_TRUE(m.Model()->Empty());
        EXPECT_EQ(m.Play(), 1); // an empty model still plays
        m.Update();
        EXPECT_EQ(m.IsPlaying(), 0); // and stops at once
        m.Draw();
        EXPECT_TRUE(dev_.Draws().empty());
    }
}

TEST_F(ModelTest, WithoutAnArchiveNothingIsParsed) {
    CMdl::Init("GameData\\mdl\\", nullptr, 0.5f);
    CMdl m;
    EXPECT_EQ(m.Load("Test\\walk.mdl"), E_FAIL);
    EXPECT_TRUE(m.Model()->Empty());
}

TEST_F(ModelTest, ReleaseDropsTheModel) {
    CMdl m;
    m.Load("Test\\walk.mdl");
    m.Release();
    EXPECT_EQ(m.Model(), nullptr);
    EXPECT_EQ(m.Play(), 0);
    m.Draw();
    EXPECT_TRUE(dev_.Draws().empty());
}

TEST_F(ModelTest, LoadsModelsAndMeshesFromTheArchives) {
    // The same content packed: members are named without the folders.
    TokenList tokens = SplitTokens("1 2 box.x -1" + MdlKey(0, 0, 0) + MdlKey(0, 4, 0));
    ArchiveMemberSource mdl, x = BinaryMember("box.x", CubeX());
    ASSERT_TRUE(TextMember("Test\\jump.mdl", tokens, mdl));
    std::string mdlArchive, xArchive;
    ASSERT_TRUE(ComposeArchive({mdl}, mdlArchive));
    ASSERT_TRUE(ComposeArchive({x}, xArchive));
    WriteFile("GameData\\mdl\\mdl.Dat", mdlArchive);
    WriteFile("GameData\\XFile\\XFile.Dat", xArchive);
    CDatArchive packed(false, true);
    CMesh::Init("GameData\\XFile\\", &dev_, &packed);
    CMdl::Init("GameData\\mdl\\", &packed, 1.0f);
    CMdl m;
    ASSERT_EQ(m.Load("Test\\jump.mdl"), S_OK);
    ASSERT_NE(CMesh::FindRecord("box.x"), nullptr);
    EXPECT_TRUE(CMesh::FindRecord("box.x")->loaded);
    m.Play();
    m.Update();
    m.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 1u);
    ExpectNear(TransformCoord({0, 0, 0}, draws[0].world), {0, 4, 0});
    CMesh::ReleaseAll(); // before `packed` goes away
}

TEST_F(ModelTest, JointWithoutMeshMovesItsChildrenButDrawsNothing) {
    WriteMdl("Test\\joint.mdl", "2 1 Nothing -1" + MdlKey(0, 7, 0) + "cube.x 0" + MdlKey(1, 0, 0));
    CMdl m;
    ASSERT_EQ(m.Load("Test\\joint.mdl"), S_OK);
    m.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 1u);
    ExpectNear(TransformCoord({0, 0, 0}, draws[0].world), {1, 7, 0});
}

TEST_F(ModelTest, KeptModelsAreCopiesThatPlayApartAndAreNotUsedOutsideTheKeeping) {
    CMdl::KeepParsedModels(true);
    CMdl a, b;
    ASSERT_EQ(a.Load("Test\\walk.mdl"), S_OK);
    EXPECT_EQ(CMdl::KeptModelCount(), 1u);
    // The file changes on disk: while kept, the parsed model is used.
    WriteMdl("Test\\walk.mdl", "1 1 cube.x -1" + MdlKey(0, 0, 0));
    ASSERT_EQ(b.Load("Test\\walk.mdl"), S_OK);
    EXPECT_EQ(b.Model()->partCount, 3);
    // Each creature poses its own copy.
    a.Play();
    a.Update();
    a.Update();
    b.SetFrame(0);
    EXPECT_FLOAT_EQ(a.KeyPosition(), 1.0f);
    EXPECT_FLOAT_EQ(b.KeyPosition(), 0.0f);
    EXPECT_NE(a.Model()->PartWorld(2).m[0][0], b.Model()->PartWorld(2).m[0][0]);
    // A file that fails to parse is not kept.
    WriteMdl("Test\\bad.mdl", "2 1 cube.x");
    EXPECT_EQ(b.Load("Test\\bad.mdl"), E_FAIL);
    EXPECT_EQ(CMdl::KeptModelCount(), 1u);
    // Once the keeping ends, the file is read again.
    CMdl::KeepParsedModels(false);
    CMdl c;
    ASSERT_EQ(c.Load("Test\\walk.mdl"), S_OK);
    EXPECT_EQ(c.Model()->partCount, 1);
}

// One battle keeps its models for the next, which uses what it loads again
// and lets the rest go.
TEST_F(ModelTest, TheNextKeepingUsesKeptModelsAndForgetsTheOnesItDidNotLoad) {
    CMdl::KeepParsedModels(true);
    CMdl a;
    ASSERT_EQ(a.Load("Test\\walk.mdl"), S_OK);
    ASSERT_EQ(a.Load("Test\\still.mdl"), S_OK);
    CMdl::KeepParsedModels(false);
    EXPECT_EQ(CMdl::KeptModelCount(), 2u);
    // Both files change on disk between the battles.
    WriteMdl("Test\\walk.mdl", "1 1 cube.x -1" + MdlKey(0, 0, 0));
    WriteMdl("Test\\still.mdl", "2 1 cube.x -1" + MdlKey(0, 0, 0) + "cube.x 0" + MdlKey(1, 0, 0));
    CMdl::KeepParsedModels(true);
    CMdl b;
    ASSERT_EQ(b.Load("Test\\walk.mdl"), S_OK);
    EXPECT_EQ(b.Model()->partCount, 3); // the kept parse
    CMdl::ForgetUnusedModels();
    EXPECT_EQ(CMdl::KeptModelCount(), 1u);
    // The model this battle did not load went: it is read anew.
    ASSERT_EQ(b.Load("Test\\still.mdl"), S_OK);
    EXPECT_EQ(b.Model()->partCount, 2);
    EXPECT_EQ(CMdl::KeptModelCount(), 2u);
    // What a load asked for since the keeping began stays.
    CMdl::ForgetUnusedModels();
    EXPECT_EQ(CMdl::KeptModelCount(), 2u);
    CMdl::KeepParsedModels(false);
}

TEST_F(ModelTest, AnotherArchiveEmptiesTheKeptModels) {
    CMdl::KeepParsedModels(true);
    CMdl a;
    ASSERT_EQ(a.Load("Test\\walk.mdl"), S_OK);
    CDatArchive other{false, false};
    CMdl::Init("GameData\\mdl\\", &other, 0.5f);
    EXPECT_EQ(CMdl::KeptModelCount(), 0u);
    // The same archive again (a new game speed) keeps them.
    ASSERT_EQ(a.Load("Test\\walk.mdl"), S_OK);
    CMdl::Init("GameData\\mdl\\", &other, 1.0f);
    EXPECT_EQ(CMdl::KeptModelCount(), 1u);
    CMdl::KeepParsedModels(false);
}
