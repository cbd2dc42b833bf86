#include "engine/TextureFiles.h"
#include "../support/ScratchDir.h"
#include "EngineTestUtil.h"
#include "common/Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quolis {
namespace {

namespace fs = std::filesystem;

class TextureFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testsupport::MakeScratchDir("texfiles");
        ASSERT_FALSE(root.empty());
        fs::create_directories(root / "GameData" / "Texture");
        oldRoot = GameRoot();
        SetGameRoot(root.string());
    }
    void TearDown() override {
        SetGameRoot(oldRoot);
        fs::remove_all(root);
    }
    void Write(const fs::path& p, const ByteBuffer& b) {
        std::ofstream f(p, std::ios::binary);
        f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    fs::path root;
    std::string oldRoot;
};

TEST_F(TextureFilesTest, LooseFilesFromTheDirectoryThenTheWorkingFolder) {
    ByteBuffer a = testutil::Bmp24Row({1, 2});
    ByteBuffer b = testutil::Bmp24Row({3});
    Write(root / "GameData" / "Texture" / "a.bmp", a);
    Write(root / "b.bmp", b);
    LooseTextureFiles files;
    ByteBuffer out;
    EXPECT_EQ(files.Read("GameData\\Texture\\", "a.bmp", out), S_OK);
    EXPECT_EQ(out, a);
    // Not in the directory: the final name component in the working folder.
    EXPECT_EQ(files.Read("GameData\\Texture\\", "sub\\b.bmp", out), S_OK);
    EXPECT_EQ(out, b);
    EXPECT_EQ(files.Read("GameData\\Texture\\", "none.bmp", out), E_FAIL);
    EXPECT_TRUE(out.empty());
}

TEST_F(TextureFilesTest, PlainReaderLoadsThroughTheTextureCache) {
    Write(root / "GameData" / "Texture" / "a.bmp", testutil::Bmp24Row({0, 0xFFFFFF}));
    CDatArchive plain(false, false);
    ArchiveTextureFiles files(plain);
    RecordingDevice device;
    ASSERT_EQ(CPolygon::InitTextures("GameData\\Texture\\", &device, &files), S_OK);
    TextureId id = 0;
    EXPECT_EQ(CPolygon::GetTexture("a.bmp", &id), S_OK);
    const RecordedTexture* t = device.FindTexture(id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->pixels, (std::vector<Argb>{0, 0xFFFFFFFF}));
    CPolygon::ReleaseTextures();
}

TEST_F(TextureFilesTest, MissingArchiveLeavesTheTextureUnloaded) {
    CDatArchive archive(false, true);
    ArchiveTextureFiles files(archive);
    RecordingDevice device;
    ASSERT_EQ(CPolygon::InitTextures("GameData\\Texture\\", &device, &files), S_OK);
    TextureId id = 0;
    EXPECT_EQ(CPolygon::GetTexture("a.bmp", &id), E_FAIL);
    EXPECT_EQ(device.LiveTextures(), 0u);
    CPolygon::ReleaseTextures();
}

} // namespace
} // namespace quolis
