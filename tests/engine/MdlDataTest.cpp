#include "engine/Mdl.h"

#include "data/Tokens.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace quolis;

namespace {

// One key: translation, rotation (Y, X, Z), scale.
std::string Key(float tx, float ty, float tz, float ry = 0, float rx = 0, float rz = 0,
                float s = 1) {
    char buf[200];
    std::snprintf(buf, sizeof buf, " %g %g %g %g %g %g %g %g %g", tx, ty, tz, ry, rx, rz, s, s, s);
    return buf;
}

MdlData Parse(const std::string& text, bool expectOk = true) {
    MdlData d;
    EXPECT_EQ(d.Parse(SplitTokens(text)), expectOk) << text;
    return d;
}

Vec3 Origin(const Mat4& m) {
    return TransformCoord({0, 0, 0}, m);
}
Vec3 Apply(const Mat4& m, Vec3 v) {
    return TransformCoord(v, m);
}

void ExpectNear(Vec3 a, Vec3 b) {
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

} // namespace

TEST(MdlData, ParsesPartsKeysAndConvertsDegrees) {
    MdlData d = Parse("2 2 body.x -1" + Key(1, 2, 3, 10, 20, 30, 2) + Key(4, 5, 6) + " Nothing 0" +
                      Key(0, 0, 0) + Key(0, 0, 0));
    ASSERT_EQ(d.partCount, 2);
    EXPECT_EQ(d.keyCount, 2);
    EXPECT_EQ(d.parts[0].name, "body.x");
    EXPECT_EQ(d.parts[0].parent, -1);
    EXPECT_EQ(d.parts[1].parent, 0);
    // Stored (X, Y, Z): the file's second angle is X, its first is Y.
    EXPECT_FLOAT_EQ(d.parts[0].rotation[0].x, 20 * 0.017453292f);
    EXPECT_FLOAT_EQ(d.parts[0].rotation[0].y, 10 * 0.017453292f);
    EXPECT_FLOAT_EQ(d.parts[0].rotation[0].z, 30 * 0.017453292f);
    EXPECT_EQ(d.parts[0].translation[1], (Vec3{4, 5, 6}));
    EXPECT_EQ(d.parts[0].scale[0], (Vec3{2, 2, 2}));
}

TEST(MdlData, RefusesBrokenFiles) {
    const std::string one = " a -1" + Key(0, 0, 0);
    const std::string bad[] = {
        "",
        "1",
        "1 1" + one + " 7",                                    // a token left over
        "2 1" + one,                                           // too few
        "1 1 a 1" + Key(0, 0, 0),                              // parent out of range
        "1 1 a -2" + Key(0, 0, 0),                             // below -1
        "2 1 a 1" + Key(0, 0, 0) + " b 0" + Key(0, 0, 0),      // a cycle
        "1 1 a 0" + Key(0, 0, 0),                              // its own parent
        "1 1 a -1 0 0 x 0 0 0 1 1 1",                          // not a number
        "-1 1",                                                // negative count
        "1 0 a -1",                                            // parts without keys
        "1 1 " + std::string(256, 'n') + " -1" + Key(0, 0, 0), // name too long
        "100000000 100000000 a",                               // absurd counts
    };
    for (const auto& text : bad) {
        MdlData d = Parse(text, false);
        EXPECT_TRUE(d.Empty());
        EXPECT_EQ(d.keyCount, 0);
    }
    EXPECT_TRUE(Parse("0 0").Empty()); // an empty model is a valid file
}

TEST(MdlData, PoseInterpolatesAndClamps) {
    MdlData d = Parse("1 4 a -1" + Key(0, 0, 0) + Key(10, 0, 0) + Key(20, 0, 0) + Key(30, 0, 8));
    EXPECT_FLOAT_EQ(d.Pose(2.5f), 2.5f);
    ExpectNear(Origin(d.parts[0].pose), {25, 0, 4}); // half-way between keys 2 and 3
    EXPECT_FLOAT_EQ(d.Pose(3.7f), 3.0f);
    ExpectNear(Origin(d.parts[0].pose), {30, 0, 8}); // exactly key 3
    EXPECT_FLOAT_EQ(d.Pose(-1.0f), 0.0f);
    ExpectNear(Origin(d.parts[0].pose), {0, 0, 0});
    EXPECT_FLOAT_EQ(d.Pose(std::nanf("")), 0.0f);
}

TEST(MdlData, OneKeyPosesAtKeyZeroEverywhere) {
    MdlData d = Parse("1 1 a -1" + Key(5, 6, 7));
    for (float p : {0.0f, 0.5f, 3.0f}) {
        EXPECT_FLOAT_EQ(d.Pose(p), 0.0f);
        ExpectNear(Origin(d.parts[0].pose), {5, 6, 7});
    }
}

TEST(MdlData, RotationTokensAreYXZ) {
    // 90 0 0 turns about Y: +x goes to -z (left-handed yaw), y stays.
    MdlData d = Parse("1 1 a -1" + Key(0, 0, 0, 90, 0, 0));
    ExpectNear(Apply(d.parts[0].pose, {1, 0, 0}), {0, 0, -1});
    ExpectNear(Apply(d.parts[0].pose, {0, 1, 0}), {0, 1, 0});
    // 0 90 0 turns about X: y stays no longer.
    MdlData e = Parse("1 1 a -1" + Key(0, 0, 0, 0, 90, 0));
    ExpectNear(Apply(e.parts[0].pose, {1, 0, 0}), {1, 0, 0});
}

TEST(MdlData, ScaleThenRotateThenTranslate) {
    MdlData d = Parse("1 1 a -1" + Key(10, 0, 0, 90, 0, 0, 2));
    // (1,0,0) scaled to (2,0,0), yawed to (0,0,-2), moved by (10,0,0).
    ExpectNear(Apply(d.parts[0].pose, {1, 0, 0}), {10, 0, -2});
}

TEST(MdlData, ChildBeforeParentInheritsThePose) {
    // Part 0 is the child of part 1, which comes later in the file.
    MdlData d = Parse("2 1 hand 1" + Key(1, 0, 0) + " arm -1" + Key(0, 5, 0, 90, 0, 0));
    ExpectNear(Origin(d.PartWorld(0)), {0, 5, -1}); // own offset turned by the parent
    ExpectNear(Origin(d.PartWorld(1)), {0, 5, 0});
}

TEST(MdlData, AnglesInterpolateAsPlainNumbers) {
    // 350 to 10 degrees: half-way is 180, not 0.
    MdlData d = Parse("1 2 a -1" + Key(0, 0, 0, 350, 0, 0) + Key(0, 0, 0, 10, 0, 0));
    d.Pose(0.5f);
    ExpectNear(Apply(d.parts[0].pose, {1, 0, 0}), {-1, 0, 0});
}

TEST(MdlData, RootMatrixAppliesLast) {
    MdlData d = Parse("1 1 a -1" + Key(1, 0, 0));
    d.root = MatrixTranslation(0, 0, 3);
    ExpectNear(Origin(d.PartWorld(0)), {1, 0, 3});
}
