#include "Mkcontent.h"

#include "common/Text.h"
#include "data/Tokens.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

#include "engine/Mdl.h"
#include "gfxutil/XFile.h"

using namespace quolis;
using namespace quolis::mkcontent;

namespace {

TokenList Tokens(const std::string& text) {
    TokenList out;
    std::istringstream in(text);
    std::string t;
    while (in >> t) {
        out.push_back(t);
    }
    return out;
}

// The mover joint's key values of one animation (part 1 carries the lunges).
const ModelPart& Mover(const ModelData& m) {
    return m.parts.at(1);
}
const ModelPart& Body(const ModelData& m) {
    return m.parts.at(2);
}

TEST(ModelsTest, EveryPartNamesAMeshOfItsFolderOrIsAJoint) {
    for (const char* folder : {"QL1", "QL2", "QL3", "QL4", "QL5", "QL6", "QL4E"}) {
        const auto meshes = CreatureMeshes(folder);
        const ModelData m = CreatureAnimation(folder, "wait");
        EXPECT_GE(m.parts.size(), 6u) << folder;
        for (std::size_t i = 0; i < m.parts.size(); ++i) {
            const auto& part = m.parts[i];
            EXPECT_TRUE(part.mesh == "Nothing" || meshes.count(part.mesh) == 1)
                << folder << " " << part.mesh;
            EXPECT_LT(part.parent, static_cast<int>(i)) << "parents come first";
            EXPECT_EQ(part.keys.size(), static_cast<std::size_t>(m.keyCount));
        }
    }
}

TEST(ModelsTest, WaitLoopsCleanlyAndBreathes) {
    for (const char* folder : {"QL1", "QL3", "QL6"}) {
        const ModelData m = CreatureAnimation(folder, "wait");
        EXPECT_GE(m.keyCount, 60) << "about two seconds at one key per frame";
        for (const auto& part : m.parts) {
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(part.keys.front().t[i], part.keys.back().t[i], 1e-3f)
                    << folder << " " << part.mesh;
                EXPECT_NEAR(part.keys.front().r[i], part.keys.back().r[i], 1e-3f)
                    << folder << " " << part.mesh;
            }
        }
        const auto& body = Body(m);
        EXPECT_NE(body.keys[m.keyCount / 4].t[1], body.keys[0].t[1]) << "the body rises and falls";
    }
}

TEST(ModelsTest, MotionsReadAsTheirNames) {
    // dash1 lunges forward and ends at the strike; dash2 comes back.
    const ModelData dash1 = CreatureAnimation("QL1", "dash1");
    const ModelData dash2 = CreatureAnimation("QL1", "dash2");
    EXPECT_GT(Mover(dash1).keys.back().t[2], 0.8f);
    EXPECT_NEAR(Mover(dash2).keys.back().t[2], 0, 1e-3f);
    EXPECT_NEAR(Mover(dash2).keys.front().t[2], Mover(dash1).keys.back().t[2], 1e-3f)
        << "no jump between steps";
    // Cannon2 recoils backward early in the animation.
    const ModelData cannon2 = CreatureAnimation("QL2", "Cannon2");
    float least = 0;
    for (const auto& k : Mover(cannon2).keys) {
        least = std::min(least, k.t[2]);
    }
    EXPECT_LT(least, -0.2f);
    // PPress1 ends high in the air, PPress2 lands.
    EXPECT_GT(Body(CreatureAnimation("QL2", "PPress1")).keys.back().t[1], 2.0f);
    EXPECT_LT(Body(CreatureAnimation("QL2", "PPress2")).keys.back().t[1], 1.0f);
    // Dead1 collapses the body towards the ground and Dead2 stays there.
    const ModelData dead1 = CreatureAnimation("QL1", "Dead1");
    const ModelData dead2 = CreatureAnimation("QL1", "Dead2");
    EXPECT_LT(Body(dead1).keys.back().t[1], Body(dead1).keys.front().t[1] - 0.3f);
    EXPECT_NEAR(Body(dead2).keys.front().t[1], Body(dead1).keys.back().t[1], 1e-3f);
    // Slashes swing to alternate sides.
    const ModelData s1 = CreatureAnimation("QL4", "GSlush1");
    const ModelData s2 = CreatureAnimation("QL4", "GSlush2");
    EXPECT_GT(Mover(s1).keys.back().r[0], 20.0f);
    EXPECT_LT(Mover(s2).keys.back().r[0], -20.0f);
}

TEST(ModelsTest, PropsAndCoresAreSmallEnoughForOneCell) {
    for (const char* name : {"Object\\Rock.mdl", "Object\\Tree.mdl", "Object\\Tank.mdl",
                             "Object\\Crate.mdl", "Core\\wait.mdl", "Core\\Dead1.mdl"}) {
        const ModelData m = PropAnimation(name);
        ASSERT_GE(m.keyCount, 1) << name;
        for (const auto& [mesh, data] : PropMeshes(name)) {
            ASSERT_FALSE(data.vertices.empty()) << mesh;
            for (const auto& v : data.vertices) {
                EXPECT_LE(std::fabs(v.x), 1.0f) << mesh;
                EXPECT_LE(std::fabs(v.z), 1.0f) << mesh;
            }
        }
    }
}

TEST(ModelsTest, MdlTextParsesBackToTheSameNumbers) {
    const ModelData m = CreatureAnimation("QL5", "Breath2");
    const std::string text = WriteMdlText(m);
    const TokenList t = Tokens(text);
    const std::size_t perPart = 2 + 9 * static_cast<std::size_t>(m.keyCount);
    ASSERT_EQ(t.size(), 2 + perPart * m.parts.size());
    EXPECT_EQ(t[0], std::to_string(m.parts.size()));
    EXPECT_EQ(t[1], std::to_string(m.keyCount));
    EXPECT_EQ(t[2], "Nothing");
    EXPECT_EQ(t[3], "-1");
    EXPECT_EQ(t[4 + 3], "180.000") << "the turned joint faces the model towards -z";
    MdlData data;
    ASSERT_TRUE(data.Parse(t));
    EXPECT_EQ(data.partCount, static_cast<int>(m.parts.size()));
    EXPECT_EQ(data.keyCount, m.keyCount);
    // The turned root joint: the model's +z front ends up facing -z.
    data.Pose(0);
    const Vec3 front = TransformCoord(Vec3{0, 0, 1}, data.PartWorld(0));
    EXPECT_NEAR(front.z, -1, 1e-4f);
}

void ExpectReadable(const std::string& name, const MeshData& mesh) {
    const std::string text = WriteXText(mesh);
    XMesh x;
    std::string why;
    ASSERT_TRUE(ReadXFile(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), x, &why))
        << name << ": " << why;
    EXPECT_GT(x.TriangleCount(), 0u) << name;
    EXPECT_TRUE(x.hadNormals) << name;
    EXPECT_TRUE(x.hadTexCoords) << name;
    EXPECT_EQ(x.materials.size(), mesh.materials.size()) << name;
    for (std::size_t i = 0; i < x.materials.size(); ++i) {
        EXPECT_EQ(x.materials[i].textureFile, mesh.materials[i].texture) << name;
    }
}

TEST(MeshesTest, EveryGeneratedMeshReadsThroughTheXReader) {
    for (const char* folder : {"QL1", "QL2", "QL3", "QL4", "QL5", "QL6", "QL1E"}) {
        for (const auto& [name, mesh] : CreatureMeshes(folder)) {
            ExpectReadable(name, mesh);
        }
    }
    for (const char* model :
         {"Object\\Rock.mdl", "Object\\Tree.mdl", "Object\\Pipe.mdl", "Object\\Wreck.mdl",
          "Object\\Pillar.mdl", "Object\\Tank.mdl", "Object\\Crate.mdl", "Core\\wait.mdl"}) {
        for (const auto& [name, mesh] : PropMeshes(model)) {
            ExpectReadable(name, mesh);
        }
    }
    for (const char* name :
         {"Stage\\BlockA.x", "Stage\\Final.x", "Menu\\MenuMap1.x", "Menu\\MenuMap4.x"}) {
        ExpectReadable(name, SceneryMesh(name));
    }
}

TEST(MeshesTest, BoxFacesPointOutwards) {
    MeshData m;
    m.materials.push_back({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, ""});
    m.Box(-1, -1, -1, 1, 1, 1, 0);
    ASSERT_EQ(m.indices.size(), 36u);
    for (std::size_t t = 0; t < m.indices.size(); t += 3) {
        const auto& a = m.vertices[m.indices[t]];
        const auto& b = m.vertices[m.indices[t + 1]];
        const auto& c = m.vertices[m.indices[t + 2]];
        // Clockwise front faces in a left-handed frame: (b - a) x (c - a) points out.
        const float nx = (b.y - a.y) * (c.z - a.z) - (b.z - a.z) * (c.y - a.y);
        const float ny = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
        const float nz = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        const float cx = (a.x + b.x + c.x) / 3, cy = (a.y + b.y + c.y) / 3,
                    cz = (a.z + b.z + c.z) / 3;
        EXPECT_GT(nx * cx + ny * cy + nz * cz, 0) << "triangle " << t / 3;
        EXPECT_GT(a.nx * cx + a.ny * cy + a.nz * cz, 0) << "stored normal of triangle " << t / 3;
    }
}

} // namespace
