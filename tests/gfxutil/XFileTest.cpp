#include "gfxutil/XFile.h"

#include <gtest/gtest.h>

#include <string>

using namespace quolis;

namespace {

bool Read(const std::string& text, XMesh& out, std::string* error = nullptr) {
    return ReadXFile(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), out, error);
}

const char* kHeader = "xof 0303txt 0032\n";

// A unit quad in the z = 0 plane facing -z, with normals, UVs and two materials.
std::string QuadFile() {
    return std::string(kHeader) + R"(
template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; array Vector vertices[nVertices]; [...] }
// a comment
Material Red { 1.0;0.0;0.0;1.0;; 8.0; 0.5;0.5;0.5;; 0.1;0.2;0.3;; TextureFilename { "red.bmp"; } }
Mesh Quad {
 4;
 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;1.0;0.0;, 1.0;0.0;0.0;;
 1;
 4;0,1,2,3;;
 MeshNormals { 1; 0.0;0.0;-1.0;; 1; 4;0,0,0,0;; }
 MeshTextureCoords { 4; 0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;; }
 MeshMaterialList { 2; 1; 1;; Material { 0.0;1.0;0.0;0.5;; 1.0; 0;0;0;; 0;0;0;; } { Red } }
}
)";
}

} // namespace

TEST(XFile, QuadWithNormalsUVsAndMaterials) {
    XMesh m;
    std::string error;
    ASSERT_TRUE(Read(QuadFile(), m, &error)) << error;
    ASSERT_EQ(m.vertices.size(), 4u);
    ASSERT_EQ(m.TriangleCount(), 2u); // the quad is a fan of two triangles
    EXPECT_EQ(m.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_TRUE(m.hadNormals);
    EXPECT_TRUE(m.hadTexCoords);
    EXPECT_FLOAT_EQ(m.vertices[1].position.y, 1.0f);
    EXPECT_FLOAT_EQ(m.vertices[2].u, 1.0f);
    EXPECT_FLOAT_EQ(m.vertices[0].v, 1.0f);
    EXPECT_FLOAT_EQ(m.vertices[3].normal.z, -1.0f);
    ASSERT_EQ(m.materials.size(), 2u);
    EXPECT_EQ(m.faceMaterials, (std::vector<std::uint32_t>{1, 1}));
    EXPECT_FLOAT_EQ(m.materials[0].diffuse.a, 0.5f);
    EXPECT_EQ(m.materials[0].textureFile, "");
    // The referenced top-level material with all its colours and texture.
    const XMaterial& red = m.materials[1];
    EXPECT_EQ(red.diffuse, (XColor{1, 0, 0, 1}));
    EXPECT_FLOAT_EQ(red.power, 8.0f);
    EXPECT_EQ(red.specular, (XColor{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(red.emissive, (XColor{0.1f, 0.2f, 0.3f, 1}));
    EXPECT_EQ(red.textureFile, "red.bmp");
}

TEST(XFile, MissingNormalsAreComputedAndMissingUVsAreZero) {
    // Clockwise seen from -z: the computed normal points to -z (the viewer).
    std::string text = std::string(kHeader) + "Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }";
    XMesh m;
    ASSERT_TRUE(Read(text, m));
    EXPECT_FALSE(m.hadNormals);
    EXPECT_FALSE(m.hadTexCoords);
    for (const auto& v : m.vertices) {
        EXPECT_FLOAT_EQ(v.normal.z, -1.0f);
        EXPECT_FLOAT_EQ(v.normal.x, 0.0f);
        EXPECT_EQ(v.u, 0.0f);
        EXPECT_EQ(v.v, 0.0f);
    }
    // No material list: one default white material for every face.
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_EQ(m.materials[0].diffuse, (XColor{1, 1, 1, 1}));
}

TEST(XFile, NormalIndicesSplitVerticesThatShareAPosition) {
    // Two triangles share an edge but have their own normals (a hard edge).
    std::string text = std::string(kHeader) + R"(Mesh {
 4; 0;0;0;, 0;1;0;, 1;0;0;, 0;0;1;;
 2; 3;0,1,2;, 3;0,3,1;;
 MeshNormals { 2; 0;0;-1;, -1;0;0;; 2; 3;0,0,0;, 3;1,1,1;; }
})";
    XMesh m;
    ASSERT_TRUE(Read(text, m));
    EXPECT_EQ(m.vertices.size(), 6u); // positions 0 and 1 appear with two normals each
    EXPECT_FLOAT_EQ(m.vertices[m.indices[3]].normal.x, -1.0f);
    EXPECT_FLOAT_EQ(m.vertices[m.indices[0]].normal.z, -1.0f);
}

TEST(XFile, FramesApplyTheirMatricesToNestedMeshes) {
    std::string text = std::string(kHeader) + R"(
Frame Root {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
 Frame Child {
  FrameTransformMatrix { 0,0,-1,0, 0,1,0,0, 1,0,0,0, 0,5,0,1;; }
  Mesh M { 3; 1;0;0;, 0;1;0;, 0;0;0;; 1; 3;0,1,2;;
    MeshNormals { 1; 1;0;0;; 1; 3;0,0,0;; } }
 }
 Mesh N { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }
})";
    XMesh m;
    std::string error;
    ASSERT_TRUE(Read(text, m, &error)) << error;
    ASSERT_EQ(m.vertices.size(), 6u);
    // Child: rotate (1,0,0) to (0,0,-1), translate (0,5,0), then the root's (10,0,0).
    EXPECT_FLOAT_EQ(m.vertices[0].position.x, 10.0f);
    EXPECT_FLOAT_EQ(m.vertices[0].position.y, 5.0f);
    EXPECT_FLOAT_EQ(m.vertices[0].position.z, -1.0f);
    EXPECT_FLOAT_EQ(m.vertices[0].normal.z, -1.0f);
    // Second mesh only gets the root's translation; indices are offset.
    EXPECT_FLOAT_EQ(m.vertices[5].position.x, 11.0f);
    EXPECT_EQ(m.indices[3], 3u);
    EXPECT_EQ(m.materials.size(), 2u);
    EXPECT_EQ(m.faceMaterials, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_TRUE(m.hadNormals == false); // the second mesh had none
}

TEST(XFile, MalformedFilesFailCleanly) {
    const std::string tri = "Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }";
    const std::string bad[] = {
        "",
        "xof 0303txt",
        "xof 0303bin 0032" + tri,
        "abc 0303txt 0032" + tri,
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,7;; }"), // index
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;"),   // no close
        kHeader + std::string("Mesh { 99999999; 0;0;0;; }"),                       // count
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;x;0;, 1;0;0;; 1; 3;0,1,2;; }"), // number
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 2;0,1;; }"),   // 2 corners
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; "
                              "MeshMaterialList { 1; 1; 3;; Material { 1;1;1;1;; 0; 0;0;0;; "
                              "0;0;0;; } } }"), // material index
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; "
                              "MeshMaterialList { 1; 1; 0;; { Missing } } }"), // reference
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; "
                              "MeshTextureCoords { 2; 0;0;, 1;1;; } }"), // uv count
        kHeader + std::string("Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; "
                              "MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }"), // normal index
        kHeader + std::string("Header { 1; 0; 1; }"),                       // no mesh
        kHeader + std::string("Material M { \"unterminated ; }"),
        kHeader + std::string(200, '{'),
    };
    for (const auto& text : bad) {
        XMesh m;
        m.vertices.resize(3);
        std::string error;
        EXPECT_FALSE(Read(text, m, &error)) << text;
        EXPECT_TRUE(m.vertices.empty() && m.indices.empty() && m.materials.empty()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    // Frames nested without end.
    std::string deep = kHeader;
    for (int i = 0; i < 1000; ++i)
        deep += "Frame {";
    XMesh m;
    EXPECT_FALSE(Read(deep, m));
}

TEST(XFile, SortByMaterialMakesContiguousSubsetsAndKeepsOrder) {
    XMesh m;
    m.vertices.resize(3);
    m.indices = {0, 1, 2, 1, 2, 0, 2, 0, 1, 0, 2, 1};
    m.faceMaterials = {1, 0, 1, 0};
    SortXFacesByMaterial(m);
    EXPECT_EQ(m.faceMaterials, (std::vector<std::uint32_t>{0, 0, 1, 1}));
    EXPECT_EQ(m.indices, (std::vector<std::uint32_t>{1, 2, 0, 0, 2, 1, 0, 1, 2, 2, 0, 1}));
}

TEST(XFile, BoundingSphereHoldsEveryVertex) {
    XMesh m;
    m.vertices.resize(2);
    m.vertices[0].position = {-1, 0, 0};
    m.vertices[1].position = {3, 0, 0};
    Vec3 c;
    float r;
    ComputeXBoundingSphere(m, c, r);
    EXPECT_FLOAT_EQ(c.x, 1.0f);
    EXPECT_FLOAT_EQ(r, 2.0f);
}

namespace {

// Writes binary X tokens.
struct BinaryX {
    std::string bytes;
    explicit BinaryX(bool doubles) { bytes = doubles ? "xof 0303bin 0064" : "xof 0303bin 0032"; }
    bool doubles() const { return bytes.substr(12, 4) == "0064"; }
    void U16(unsigned v) {
        bytes += char(v & 255);
        bytes += char(v >> 8);
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += char((v >> (8 * i)) & 255);
    }
    void Name(const std::string& n) {
        U16(1);
        U32(std::uint32_t(n.size()));
        bytes += n;
    }
    void Open() { U16(10); }
    void Close() { U16(11); }
    void Ints(std::vector<std::uint32_t> v) {
        U16(6);
        U32(std::uint32_t(v.size()));
        for (auto x : v)
            U32(x);
    }
    void Floats(std::vector<double> v) {
        U16(7);
        U32(std::uint32_t(v.size()));
        for (double x : v) {
            if (doubles()) {
                bytes.append(reinterpret_cast<const char*>(&x), 8);
            } else {
                float f = float(x);
                bytes.append(reinterpret_cast<const char*>(&f), 4);
            }
        }
    }
};

std::string BinaryTriangle(bool doubles) {
    BinaryX b(doubles);
    b.U16(31); // a template: skipped
    b.Name("Header");
    b.Open();
    b.U16(5);
    b.bytes += std::string(16, '\x11');
    b.U16(41);
    b.Name("major");
    b.U16(20);
    b.Close();
    b.Name("Mesh");
    b.Name("Tri");
    b.Open();
    b.Ints({3});
    b.Floats({0, 0, 0, 0, 1, 0, 1, 0, 0.1});
    b.Ints({1, 3, 0, 1, 2});
    b.Name("MeshMaterialList");
    b.Open();
    b.Ints({1, 1, 0});
    b.Name("Material");
    b.Open();
    b.Floats({0.25, 0.5, 0.75, 1, 3, 0, 0, 0, 0, 0, 0});
    b.Name("TextureFilename");
    b.Open();
    b.U16(2);
    b.U32(5);
    b.bytes += "t.bmp";
    b.U16(20);
    b.Close();
    b.Close();
    b.Close();
    b.Close();
    return b.bytes;
}

} // namespace

TEST(XFile, BinaryFormatWithSingleAndDoubleFloats) {
    for (bool doubles : {false, true}) {
        XMesh m;
        std::string error;
        ASSERT_TRUE(Read(BinaryTriangle(doubles), m, &error)) << error;
        ASSERT_EQ(m.vertices.size(), 3u);
        EXPECT_EQ(m.vertices[2].position.z, 0.1f); // exact through the text round trip
        EXPECT_LT(m.vertices[0].normal.z, -0.99f); // computed, facing -z
        ASSERT_EQ(m.materials.size(), 1u);
        EXPECT_EQ(m.materials[0].diffuse, (XColor{0.25f, 0.5f, 0.75f, 1}));
        EXPECT_EQ(m.materials[0].power, 3.0f);
        EXPECT_EQ(m.materials[0].textureFile, "t.bmp");
    }
}

TEST(XFile, EveryTruncationOfABinaryFileFails) {
    const std::string full = BinaryTriangle(false);
    for (std::size_t n = 0; n < full.size(); ++n) {
        XMesh m;
        EXPECT_FALSE(Read(full.substr(0, n), m)) << n;
    }
    XMesh m;
    EXPECT_FALSE(Read("xof 0303tzip0032" + full.substr(16), m));
    EXPECT_FALSE(Read("xof 0303bin 0016" + full.substr(16), m));
}
