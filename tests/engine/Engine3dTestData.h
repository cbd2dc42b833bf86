#pragma once
// Test data for the 3-D engine tests, generated on the fly: X files, .mdl
// token files, a small bitmap, and a game folder in a temporary directory.
#include "../support/ScratchDir.h"
#include "common/Path.h"
#include "data/DatArchive.h"
#include "data/DatArchiveWriter.h"
#include "data/Tokens.h"
#include "engine/Camera.h"
#include "engine/Mesh.h"
#include "engine/Model.h"
#include "engine/Polygon.h"
#include "engine/TextureFiles.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace quolis::test3d {

// A cube of side 2 around the origin: six quads (clockwise seen from outside)
// with per-face normals, texture coordinates and one textured material, or
// without normals and texture coordinates when `bare`.
inline std::string CubeX(const std::string& texture = "cube.bmp", bool bare = false) {
    std::string s = "xof 0303txt 0032\nMesh Cube {\n 8;\n"
                    " -1;-1;-1;, -1;1;-1;, 1;1;-1;, 1;-1;-1;,\n"
                    " -1;-1;1;, -1;1;1;, 1;1;1;, 1;-1;1;;\n 6;\n"
                    " 4;0,1,2,3;, 4;7,6,5,4;, 4;4,5,1,0;, 4;3,2,6,7;, 4;1,5,6,2;, 4;4,0,3,7;;\n";
    if (!bare) {
        s += " MeshNormals { 6; 0;0;-1;, 0;0;1;, -1;0;0;, 1;0;0;, 0;1;0;, 0;-1;0;;\n"
             " 6; 4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;; }\n"
             " MeshTextureCoords { 8; 0;1;, 0;0;, 1;0;, 1;1;, 1;1;, 1;0;, 0;0;, 0;1;; }\n";
    }
    s += " MeshMaterialList { 1; 6; 0,0,0,0,0,0;;\n"
         "  Material { 0.8;0.6;0.4;1.0;; 5.0; 0.1;0.2;0.3;; 0.0;0.0;0.1;;\n";
    if (!texture.empty())
        s += "   TextureFilename { \"" + texture + "\"; }\n";
    s += "  } }\n}\n";
    return s;
}

// Two subsets: a red and a green triangle, listed green first in the faces.
inline std::string TwoMaterialX() {
    return "xof 0303txt 0032\nMesh {\n 4; 0;0;0;, 0;1;0;, 1;0;0;, 1;1;0;;\n"
           " 2; 3;0,1,2;, 3;1,3,2;;\n"
           " MeshMaterialList { 2; 2; 1,0;;\n"
           "  Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }\n"
           "  Material { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"g.bmp\"; } } }\n}\n";
}

// A 24-bit bitmap of w x h pixels of one colour (0xRRGGBB).
inline std::string Bitmap(int w, int h, unsigned rgb) {
    const int row = (w * 3 + 3) & ~3;
    const int size = 54 + row * h;
    std::string b(std::size_t(size), '\0');
    auto put32 = [&](int at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            b[std::size_t(at + i)] = char((v >> (8 * i)) & 255);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, unsigned(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, unsigned(w));
    put32(22, unsigned(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t at = std::size_t(54 + y * row + x * 3);
            b[at] = char(rgb & 255);
            b[at + 1] = char((rgb >> 8) & 255);
            b[at + 2] = char((rgb >> 16) & 255);
        }
    return b;
}

// One key of a part: translation, rotation (Y, X, Z), uniform scale.
inline std::string MdlKey(float tx, float ty, float tz, float ry = 0, float rx = 0, float rz = 0,
                          float s = 1) {
    char buf[200];
    std::snprintf(buf, sizeof buf, " %g %g %g %g %g %g %g %g %g\n", tx, ty, tz, ry, rx, rz, s, s,
                  s);
    return buf;
}

// Texture bytes served from memory.
class MemoryTextureFiles final : public TextureFiles {
public:
    std::map<std::string, std::string, std::less<>> files;
    HRESULT Read(std::string_view, std::string_view name, ByteBuffer& out) override {
        auto it = files.find(name);
        if (it == files.end())
            return E_FAIL;
        out.assign(it->second.begin(), it->second.end());
        return S_OK;
    }
};

// A game folder in a temporary directory with loose X and .mdl files, the
// recording device, and the mesh cache, texture cache and model class set up
// on them (plain files, not archives).
class Engine3dTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::MakeScratchDir("e3d");
        ASSERT_FALSE(root_.empty());
        std::filesystem::create_directories(root_ / "GameData" / "XFile");
        std::filesystem::create_directories(root_ / "GameData" / "mdl");
        SetGameRoot(root_.string());
        textures_.files["XFile\\cube.bmp"] = Bitmap(4, 4, 0xFFFFFF);
        textures_.files["XFile\\g.bmp"] = Bitmap(2, 2, 0x00FF00);
        CPolygon::InitTextures("GameData\\Texture\\", &dev_, &textures_);
        CMesh::Init("GameData\\XFile\\", &dev_, &archive_);
        CMdl::Init("GameData\\mdl\\", &archive_, 0.5f);
        dev_.BeginFrame();
    }
    void TearDown() override {
        CMesh::ReleaseAll();
        CPolygon::ReleaseTextures();
        CMesh::Init("GameData\\XFile\\", nullptr, nullptr);
        CMdl::Init("GameData\\mdl\\", nullptr, 0);
        SetGameRoot("");
        std::filesystem::remove_all(root_);
    }

    void WriteFile(std::string relative, const std::string& bytes) {
        for (char& c : relative)
            if (c == '\\')
                c = '/';
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::ofstream f(root_ / relative, std::ios::binary);
        f << bytes;
    }
    void WriteX(const std::string& name, const std::string& text) {
        WriteFile("GameData/XFile/" + name, text);
    }
    void WriteMdl(const std::string& name, const std::string& text) {
        WriteFile("GameData/mdl/" + name, text);
    }
    // Draws made since the last call.
    std::vector<DrawRecord> TakeDraws() {
        std::vector<DrawRecord> d = dev_.Draws();
        dev_.ClearRecord();
        return d;
    }

    std::filesystem::path root_;
    RecordingDevice dev_;
    MemoryTextureFiles textures_;
    CDatArchive archive_{false, false};
};

inline void ExpectNear(const Vec3& a, const Vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

inline void ExpectNear(const Mat4& a, const Mat4& b, float eps = 1e-4f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], eps) << "at " << r << "," << c;
}

} // namespace quolis::test3d
