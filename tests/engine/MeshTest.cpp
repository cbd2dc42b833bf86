#include "Engine3dTestData.h"

using namespace quolis;
using namespace quolis::test3d;

using MeshTest = Engine3dTest;

TEST_F(MeshTest, NothingDrawsNothingAndAnchorsAtThePlacementOrigin) {
    CMesh mesh;
    EXPECT_EQ(mesh.MeshName(), "Nothing");
    mesh.SetPosition(1, 2, 3);
    EXPECT_EQ(mesh.SetMesh("Nothing"), S_OK);
    mesh.Draw();
    EXPECT_TRUE(dev_.Draws().empty());
    ExpectNear(mesh.ReferencePoint(), {1, 2, 3});
    EXPECT_EQ(CMesh::CachedMeshCount(), 0u);
}

TEST_F(MeshTest, LoadsMaterialsTexturesAndSubsets) {
    WriteX("tri.x", TwoMaterialX());
    ASSERT_EQ(CMesh::Preload("tri.x"), S_OK);
    const MeshRecord* r = CMesh::FindRecord("tri.x");
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(r->loaded);
    ASSERT_EQ(r->materials.size(), 2u);
    EXPECT_EQ(r->materials[0].ambient, r->materials[0].diffuse); // ambient copied from diffuse
    EXPECT_EQ(r->textureNames[0], "");
    EXPECT_EQ(r->textureNames[1], "XFile\\g.bmp");
    EXPECT_TRUE(CPolygon::IsTextureCached("XFile\\g.bmp")); // loaded with the mesh
    // The faces were listed green first; sorted, each subset is one range.
    ASSERT_EQ(r->subsets.size(), 2u);
    EXPECT_EQ(r->subsets[0].startIndex, 0u);
    EXPECT_EQ(r->subsets[0].triangleCount, 1u);
    EXPECT_EQ(r->subsets[1].startIndex, 3u);
    EXPECT_EQ(r->heightValue, 0.0f);
    // Preloading again reuses the record.
    EXPECT_EQ(CMesh::Preload("tri.x"), S_OK);
    EXPECT_EQ(CMesh::CachedMeshCount(), 1u);
}

TEST_F(MeshTest, DrawUsesObjectAlphaTimes0004AndTheSubsetTextures) {
    WriteX("tri.x", TwoMaterialX());
    CMesh mesh;
    ASSERT_EQ(mesh.SetMesh("tri.x"), S_OK); // loads through the cache when absent
    mesh.SetAlpha(128);
    mesh.SetLocalMatrix(MatrixTranslation(0, 1, 0));
    mesh.SetPosition(5, 0, 0);
    mesh.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 2u);
    TextureId green = 0;
    ASSERT_EQ(CPolygon::GetTexture("XFile\\g.bmp", &green), S_OK);
    EXPECT_EQ(draws[0].texture, 0u);
    EXPECT_EQ(draws[1].texture, green);
    EXPECT_EQ(dev_.CurrentTexture(), 0u); // stage 0 cleared afterwards
    for (const auto& d : draws) {
        EXPECT_FLOAT_EQ(d.material.diffuse.a, 0.512f);
        EXPECT_FLOAT_EQ(d.material.ambient.a, 0.512f);
        EXPECT_FLOAT_EQ(d.material.specular.a, 0.512f);
        EXPECT_FLOAT_EQ(d.material.emissive.a, 0.512f);
        EXPECT_EQ(d.format, VertexFormat::Lit);
        // local x placement: up by 1, then right by 5.
        ExpectNear(TransformCoord({0, 0, 0}, d.world), {5, 1, 0});
    }
    EXPECT_FLOAT_EQ(draws[0].material.diffuse.r, 1.0f); // red subset first
    EXPECT_FLOAT_EQ(draws[1].material.diffuse.g, 1.0f);
    mesh.SetAlpha(250);
    mesh.Draw();
    EXPECT_FLOAT_EQ(TakeDraws()[0].material.diffuse.a, 1.0f);
    EXPECT_TRUE(dev_.Errors().empty());
}

TEST_F(MeshTest, MeshWithoutNormalsOrUVsGetsComputedNormalsAndZeroUVs) {
    WriteX("bare.x", CubeX("", true));
    CMesh mesh;
    ASSERT_EQ(mesh.SetMesh("bare.x"), S_OK);
    mesh.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 1u);
    ASSERT_EQ(draws[0].TriangleCount(), 12u);
    for (const auto& v : draws[0].lit) {
        EXPECT_NEAR(Length({v.nx, v.ny, v.nz}), 1.0f, 1e-4f);
        // A corner's normal points away from the centre.
        EXPECT_GT(v.x * v.nx + v.y * v.ny + v.z * v.nz, 0.0f);
        EXPECT_EQ(v.u, 0.0f);
        EXPECT_EQ(v.v, 0.0f);
    }
}

TEST_F(MeshTest, FileNormalsWithoutUVsAreReplacedByComputedOnes) {
    // The file's normals point inward; without texture coordinates the mesh
    // gets computed (outward) normals instead.
    WriteX("inward.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;\n"
                       " MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; } }\n");
    WriteX("inward_uv.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;\n"
                          " MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }\n"
                          " MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; } }\n");
    CMesh a, b;
    ASSERT_EQ(a.SetMesh("inward.x"), S_OK);
    ASSERT_EQ(b.SetMesh("inward_uv.x"), S_OK);
    a.Draw();
    b.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_FLOAT_EQ(draws[0].lit[0].nz, -1.0f);
    EXPECT_FLOAT_EQ(draws[1].lit[0].nz, 1.0f); // complete layout: the file's normals stay
}

TEST_F(MeshTest, FailedLoadStaysCachedDrawsNothingAndIsNotRetried) {
    CMesh mesh;
    EXPECT_EQ(mesh.SetMesh("missing.x"), E_FAIL);
    EXPECT_EQ(CMesh::CachedMeshCount(), 1u);
    EXPECT_FALSE(CMesh::FindRecord("missing.x")->loaded);
    WriteX("missing.x", CubeX()); // appears later: still not retried
    EXPECT_EQ(mesh.SetMesh("missing.x"), S_OK);
    mesh.Draw();
    EXPECT_TRUE(dev_.Draws().empty());
    WriteX("broken.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;");
    EXPECT_EQ(CMesh::Preload("broken.x"), E_FAIL);
    EXPECT_FALSE(CMesh::FindRecord("broken.x")->loaded);
}

TEST_F(MeshTest, BoundingSphereGivesTheReferenceValues) {
    WriteX("cube.x", CubeX());
    CMesh mesh;
    ASSERT_EQ(mesh.SetMesh("cube.x"), S_OK);
    EXPECT_NEAR(mesh.ReferenceValues()[3], std::sqrt(3.0f), 1e-5f);
    mesh.SetPosition(10, 0, 0);
    ExpectNear(mesh.ReferencePoint(), {10, 0, 0});
    mesh.SetMesh("Nothing");
    EXPECT_EQ(mesh.ReferenceValues()[3], 0.0f);
}

TEST_F(MeshTest, RotationKeepsThePositionRow) {
    CMesh mesh;
    mesh.SetPosition(1, 2, 3);
    mesh.SetRotation(0, 90, 0); // yaw 90: +x turns to -z
    ExpectNear(TransformCoord({1, 0, 0}, mesh.Placement()), {1, 2, 2});
    ExpectNear(mesh.GetPosition(), {1, 2, 3});
    mesh.SetRotation(90, 0, 0); // pitch 90: +y turns to +z
    ExpectNear(TransformNormal({0, 1, 0}, mesh.Placement()), {0, 0, 1});
    EXPECT_EQ(mesh.GetRotation(), (Vec3{90, 0, 0}));
}

TEST_F(MeshTest, GlideToSnapsAtOneTenth) {
    CMesh mesh;
    EXPECT_EQ(mesh.GlideTo(1, 0, 0, 0.5f), 1); // start
    EXPECT_EQ(mesh.GlideTo(1, 0, 0, 0.5f), 1);
    EXPECT_FLOAT_EQ(mesh.GetPosition().x, 0.5f);
    int calls = 0;
    while (mesh.GlideTo(1, 0, 0, 0.5f) != 0 && ++calls < 100) {
    }
    EXPECT_EQ(mesh.GetPosition().x, 1.0f);
    EXPECT_EQ(calls, 3); // 0.75, 0.875, 0.9375, then the snap
}

TEST_F(MeshTest, SlideToUsesItsStoredTargetAndSnapsAtThreeTenths) {
    CMesh mesh;
    EXPECT_EQ(mesh.SlideTo(2, 0, 0, 0.5f), 1);  // start
    EXPECT_EQ(mesh.SlideTo(99, 0, 0, 0.5f), 1); // the stored target counts
    EXPECT_FLOAT_EQ(mesh.GetPosition().x, 1.0f);
    EXPECT_EQ(mesh.SlideTo(2, 0, 0, 0.5f), 1);
    EXPECT_FLOAT_EQ(mesh.GetPosition().x, 1.5f);
    EXPECT_EQ(mesh.SlideTo(2, 0, 0, 0.5f), 1);
    EXPECT_FLOAT_EQ(mesh.GetPosition().x, 1.75f);
    EXPECT_EQ(mesh.SlideTo(2, 0, 0, 0.5f), 0); // 0.25 left: within 0.3, snap
    EXPECT_EQ(mesh.GetPosition().x, 2.0f);
    EXPECT_EQ(mesh.SlideTo(2, 0, 0, 0.5f), 0);
    EXPECT_EQ(mesh.SlideTo(0, 0, 0, 0.5f), 1); // a new target starts a new slide
    EXPECT_EQ(mesh.Glides().state[1], 0);
    EXPECT_EQ(mesh.Glides().state[0], 0); // GlideTo's channel untouched
}

TEST_F(MeshTest, ReleaseAllFreesEveryBuffer) {
    WriteX("cube.x", CubeX());
    WriteX("tri.x", TwoMaterialX());
    const std::size_t before = dev_.LiveBuffers();
    CMesh::Preload("cube.x");
    CMesh::Preload("tri.x");
    EXPECT_EQ(dev_.LiveBuffers(), before + 2);
    CMesh::ReleaseAll();
    EXPECT_EQ(dev_.LiveBuffers(), before);
    EXPECT_EQ(CMesh::CachedMeshCount(), 0u);
}

TEST_F(MeshTest, DisabledMeshDrawsNothing) {
    WriteX("cube.x", CubeX());
    CMesh mesh;
    mesh.SetMesh("cube.x");
    mesh.SetEnabled(0);
    mesh.Draw();
    EXPECT_TRUE(dev_.Draws().empty());
}
