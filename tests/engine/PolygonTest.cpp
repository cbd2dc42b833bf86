#include "EngineTestUtil.h"
#include "engine/Number.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using testutil::Bmp24Row;
using testutil::Tga32Row;

class PolygonTest : public testutil::EngineFixture {};

TEST_F(PolygonTest, ConstructionDefaults) {
    CPolygon p;
    EXPECT_EQ(p.GetPos(), Vec3(0, 0, 0.9f));
    EXPECT_EQ(p.GetSize(), Vec3(100, 100, 0));
    EXPECT_EQ(p.GetUV(), (UVRect{0, 0, 1, 1}));
    EXPECT_EQ(p.GetPacked(), 0xFFFFFFFFu);
    EXPECT_EQ(p.Texture(), 0u);
    EXPECT_EQ(p.DepthTest(), 0);
    EXPECT_EQ(p.IsEnabled(), 1);
}

TEST_F(PolygonTest, SetupBypassesLocksAndDrawsAPreTransformedQuad) {
    CPolygon p;
    p.SetColour(255, 10, 20, 30);
    p.Lock(1);
    p.Setup(10, 20, 0.5f, 64, 32, 0, 128, 1);
    EXPECT_EQ(p.GetPacked(), 0x80FFFFFFu);
    EXPECT_EQ(p.Created(), 1);
    // Only alpha and the packed value change: red, green and blue set
    // before stay and come back with the next alpha change.
    EXPECT_EQ(p.GetAlpha(), 128);
    EXPECT_EQ(p.GetRed(), 10);
    EXPECT_EQ(p.GetGreen(), 20);
    EXPECT_EQ(p.GetBlue(), 30);
    p.SetUV(0.25f, 0, 0.75f, 0.5f);
    p.Draw();
    ASSERT_EQ(device.Draws().size(), 1u);
    const DrawRecord& d = device.Draws()[0];
    ASSERT_EQ(d.screen.size(), 4u);
    EXPECT_TRUE(d.states.depthTest);
    EXPECT_EQ(d.texture, 0u);
    EXPECT_EQ(d.buffer, CPolygon::QuadBuffers());
    const VertexScreen& tl = d.screen[0];
    const VertexScreen& br = d.screen[2];
    EXPECT_EQ(tl.x, 10.f);
    EXPECT_EQ(tl.y, 20.f);
    EXPECT_EQ(tl.z, 0.5f);
    EXPECT_EQ(tl.rhw, 1.f);
    EXPECT_EQ(tl.color, 0x80FFFFFFu);
    EXPECT_EQ(br.x, 74.f);
    EXPECT_EQ(br.y, 52.f);
    EXPECT_EQ(tl.u, 0.25f);
    EXPECT_EQ(br.u, 0.75f);
    EXPECT_EQ(br.v, 0.5f);
    EXPECT_EQ(d.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));
    // The depth test goes back on and the texture stage is cleared afterwards.
    EXPECT_TRUE(device.States().depthTest);
    EXPECT_EQ(device.CurrentTexture(), 0u);
    p.Lock(0);
    p.SetAlpha(200);
    EXPECT_EQ(p.GetPacked(), 0xC80A141Eu);
}

TEST_F(PolygonTest, FailedNamesAndNothingAreNotReadAgainUntilTheCacheIsReleased) {
    files.files["tex\\garbage.png"] = ByteBuffer(100, 0x89);
    TextureId id = 0;
    const int before = files.reads;
    for (int draw = 0; draw < 3; ++draw) {
        EXPECT_EQ(CPolygon::GetTexture("missing.bmp", &id), E_FAIL);
        EXPECT_EQ(CPolygon::GetTexture("garbage.png", &id), E_FAIL);
        EXPECT_EQ(CPolygon::GetTexture("Nothing", &id), E_FAIL);
        EXPECT_EQ(id, 0u);
    }
    EXPECT_EQ(CPolygon::LoadTexture("missing.bmp"), E_FAIL);
    EXPECT_EQ(files.reads - before, 2); // one read per failed name, none for "Nothing"
    // A new cache (the next scene) tries them again.
    files.files["tex\\missing.bmp"] = Bmp24Row({0x123456});
    CPolygon::ReleaseTextures();
    ASSERT_EQ(CPolygon::InitTextures("tex\\", &device, &files), S_OK);
    EXPECT_EQ(CPolygon::GetTexture("missing.bmp", &id), S_OK);
    EXPECT_NE(id, 0u);
}

TEST_F(PolygonTest, DepthTestOffForTheQuadOnly) {
    CPolygon p;
    p.Setup(0, 0, 0, 1, 1, 0, 255, 0);
    p.Draw();
    ASSERT_EQ(device.Draws().size(), 1u);
    EXPECT_FALSE(device.Draws()[0].states.depthTest);
    EXPECT_TRUE(device.States().depthTest);
}

TEST_F(PolygonTest, DisabledPolygonDrawsNothing) {
    CPolygon p;
    p.SetEnabled(0);
    p.Draw();
    EXPECT_TRUE(device.Draws().empty());
}

TEST_F(PolygonTest, BlackIsTransparentInBitmapsButNotInTga) {
    files.files["tex\\a.bmp"] = Bmp24Row({0x000000, 0xFF0000});
    files.files["tex\\a.tga"] = Tga32Row({0xFF000000, 0xFFFF0000});
    CPolygon bmp;
    CPolygon tga;
    ASSERT_EQ(bmp.SetTextureName("a.bmp"), S_OK);
    ASSERT_EQ(tga.SetTextureName("a.tga"), S_OK);
    const RecordedTexture* tb = device.FindTexture(bmp.Texture());
    const RecordedTexture* tt = device.FindTexture(tga.Texture());
    ASSERT_NE(tb, nullptr);
    ASSERT_NE(tt, nullptr);
    EXPECT_EQ(tb->pixels, (std::vector<Argb>{0x00000000, 0xFFFF0000}));
    EXPECT_EQ(tt->pixels, (std::vector<Argb>{0xFF000000, 0xFFFF0000}));
    bmp.Draw();
    EXPECT_EQ(device.Draws().back().texture, bmp.Texture());
}

TEST_F(PolygonTest, TexturesAreLoadedOncePerNameAndShared) {
    files.files["tex\\a.bmp"] = Bmp24Row({0x123456});
    CPolygon p1;
    CPolygon p2;
    p1.SetTextureName("a.bmp");
    p2.SetTextureName("a.bmp");
    EXPECT_EQ(files.reads, 1);
    EXPECT_EQ(p1.Texture(), p2.Texture());
    EXPECT_EQ(CPolygon::LoadTexture("a.bmp"), E_FAIL); // cached already
    EXPECT_EQ(device.LiveTextures(), 1u);
}

TEST_F(PolygonTest, NothingAndFailedLoadsKeepThePolygonDrawable) {
    files.files["tex\\a.bmp"] = Bmp24Row({0x123456});
    ByteBuffer truncated = Bmp24Row({1, 2, 3, 4});
    truncated.resize(60);
    files.files["tex\\broken.bmp"] = truncated;
    files.files["tex\\garbage.png"] = ByteBuffer(100, 0x89);
    CPolygon p;
    ASSERT_EQ(p.SetTextureName("a.bmp"), S_OK);
    TextureId a = p.Texture();
    EXPECT_EQ(p.SetTextureName("broken.bmp"), E_FAIL);
    EXPECT_EQ(p.Texture(), a); // the previous texture stays
    EXPECT_EQ(p.TextureName(), "broken.bmp");
    EXPECT_EQ(p.SetTextureName("garbage.png"), E_FAIL);
    EXPECT_EQ(p.SetTextureName("missing.bmp"), E_FAIL);
    EXPECT_EQ(p.Texture(), a);
    p.SetTextureName("Nothing");
    EXPECT_EQ(p.Texture(), 0u);
    p.Draw();
    EXPECT_EQ(device.Draws().back().texture, 0u);
    TextureId id = 123;
    EXPECT_EQ(CPolygon::GetTexture("missing.bmp", &id), E_FAIL);
    EXPECT_EQ(id, 0u);
}

TEST_F(PolygonTest, FailedTextureCreationIsNotCached) {
    files.files["tex\\a.bmp"] = Bmp24Row({0x123456});
    device.SetFailTextureCreation(true);
    EXPECT_EQ(CPolygon::LoadTexture("a.bmp"), E_FAIL);
    EXPECT_FALSE(CPolygon::IsTextureCached("a.bmp"));
    device.SetFailTextureCreation(false);
    EXPECT_EQ(CPolygon::LoadTexture("a.bmp"), S_OK);
}

TEST_F(PolygonTest, UnloadLooksUpTheDirectoryAndReleaseEmptiesTheCache) {
    files.files["tex\\a.bmp"] = Bmp24Row({0x123456});
    TextureId id = 0;
    ASSERT_EQ(CPolygon::GetTexture("a.bmp", &id), S_OK);
    // Entries are keyed by the plain name: the directory-prefixed lookup
    // finds nothing, so the texture stays valid for its users.
    EXPECT_EQ(CPolygon::UnloadTexture("a.bmp"), E_FAIL);
    EXPECT_TRUE(CPolygon::IsTextureCached("a.bmp"));
    CPolygon::ReleaseTextures();
    EXPECT_EQ(CPolygon::CachedTextureCount(), 0u);
    EXPECT_EQ(device.LiveTextures(), 0u);
    EXPECT_EQ(device.LiveBuffers(), 0u);
    // With an empty directory the name itself is the key.
    CPolygon::InitTextures("", &device, &files);
    files.files["b.bmp"] = Bmp24Row({0x123456});
    ASSERT_EQ(CPolygon::GetTexture("b.bmp", &id), S_OK);
    EXPECT_EQ(CPolygon::UnloadTexture("b.bmp"), S_OK);
    EXPECT_EQ(device.LiveTextures(), 0u);
}

TEST_F(PolygonTest, AnimatedPolygonStepsOnItsStopwatchAndLoops) {
    CAnimPolygon a;
    std::vector<UVRect> rects = {{0, 0, 0.5f, 1}, {0.5f, 0, 1, 1}};
    a.SetupAnimated(rects, 0.1f, 0, 0, 0, 10, 10, 0, 255, 0);
    EXPECT_EQ(a.GetUV(), rects[0]);
    clock.Advance(100);
    a.UpdateAnimated(); // exactly the frame time: not more
    EXPECT_EQ(a.CurrentIndex(), 0u);
    clock.Advance(1);
    a.UpdateAnimated();
    EXPECT_EQ(a.GetUV(), rects[0]);
    EXPECT_EQ(a.CurrentIndex(), 1u);
    clock.Advance(101);
    a.UpdateAnimated();
    EXPECT_EQ(a.GetUV(), rects[1]);
    EXPECT_EQ(a.CurrentIndex(), 0u);
    CStopwatch::SetTimeFrozen(true);
    clock.Advance(500);
    a.UpdateAnimated();
    EXPECT_EQ(a.CurrentIndex(), 0u);
}

TEST_F(PolygonTest, ScrollingPolygonSlidesEveryCallWhileEnabled) {
    CScrollPolygon s;
    s.UpdateScroll();
    EXPECT_FLOAT_EQ(s.GetUV().u0, 0.05f);
    EXPECT_FLOAT_EQ(s.GetUV().u1, 1.05f);
    s.SetScroll(0, 0.25f);
    s.UpdateScroll();
    EXPECT_FLOAT_EQ(s.GetUV().v1, 1.25f);
    s.SetEnabled(0);
    s.UpdateScroll();
    EXPECT_FLOAT_EQ(s.GetUV().v1, 1.25f);
}

TEST_F(PolygonTest, WipeOnAPolygonCutsTheTexture) {
    CPolygon p;
    p.Setup(100, 0, 0, 200, 50, 0, 255, 0);
    p.Wipe(1, "left", 0.25f);
    p.Wipe(1, "left", 0.25f);
    p.Draw();
    const DrawRecord& d = device.Draws().back();
    EXPECT_EQ(d.screen[0].x, 250.f);
    EXPECT_EQ(d.screen[1].x, 300.f);
    EXPECT_EQ(d.screen[0].u, 0.75f);
}

// --- numbers ---------------------------------------------------------------

std::vector<int> VisibleDigits(const DigitStrip& s) {
    std::vector<int> out;
    for (int i = 0; i < DigitStrip::kSlots; ++i) {
        if (s.At(i).visible) {
            out.push_back(s.At(i).digit);
        }
    }
    return out;
}

TEST(DigitStrip, SetNumberCases) {
    DigitStrip s;
    s.Cut();
    s.SetAutoWidth(1);
    s.SetNumber(1203);
    EXPECT_EQ(s.DigitCount(), 4);
    EXPECT_EQ(VisibleDigits(s), (std::vector<int>{1, 2, 0, 3}));
    s.SetNumber(0);
    EXPECT_EQ(s.DigitCount(), 1);
    EXPECT_EQ(VisibleDigits(s), (std::vector<int>{0}));
    s.SetNumber(-1);
    EXPECT_TRUE(VisibleDigits(s).empty());
    s.SetNumber(2000000); // too wide for the automatic width: keeps the count
    EXPECT_EQ(s.DigitCount(), 1);

    DigitStrip f;
    f.Cut();
    f.SetNumber(42);
    EXPECT_EQ(f.DigitCount(), 5);
    EXPECT_EQ(f.At(0).visible + f.At(1).visible + f.At(2).visible, 0);
    EXPECT_EQ(f.At(3).digit, 4);
    EXPECT_EQ(f.At(4).digit, 2);
    EXPECT_EQ(f.At(4).visible, 1);
    f.SetNumber(0);
    EXPECT_EQ(VisibleDigits(f), (std::vector<int>{0}));
    EXPECT_EQ(f.At(4).visible, 1);
    f.SetNumber(10005);
    EXPECT_EQ(VisibleDigits(f), (std::vector<int>{1, 0, 0, 0, 5}));
    // Wider than the slots: no cell beyond 9 is ever used.
    f.SetNumber(123456);
    for (int i = 0; i < 5; ++i) {
        EXPECT_LE(f.At(i).digit, 9);
    }
}

TEST(DigitStrip, SameValueChangesNothing) {
    DigitStrip s;
    s.Cut();
    s.SetNumber(42);
    s.At(4).visible = 0; // a change the second call must not undo
    s.SetNumber(42);
    EXPECT_EQ(s.At(4).visible, 0);
}

TEST_F(PolygonTest, NumberLayoutCentresTheVisibleDigitsAndDraws) {
    files.files["tex\\digits.bmp"] = Bmp24Row({0xFFFFFF});
    CNumber n;
    ASSERT_EQ(n.Load("digits.bmp"), S_OK);
    n.SetDigitSize(10, 20, 0);
    n.SetNumber(42);
    n.LayoutDigits(400, 300, 0.5f);
    EXPECT_EQ(n.Digits().At(3).pos, Vec3(390, 300, 0.5f));
    EXPECT_EQ(n.Digits().At(4).pos, Vec3(400, 300, 0.5f));
    n.Draw();
    EXPECT_TRUE(device.Draws().empty()); // not shown yet
    n.Show(1);
    n.SetAlpha(100);
    n.Draw();
    ASSERT_EQ(device.Draws().size(), 2u);
    const DrawRecord& four = device.Draws()[0];
    EXPECT_FLOAT_EQ(four.screen[0].u, 0.4f);
    EXPECT_FLOAT_EQ(four.screen[1].u, 0.5f);
    EXPECT_EQ(four.screen[0].x, 390.f);
    EXPECT_EQ(four.screen[2].y, 320.f);
    EXPECT_EQ(four.screen[0].color, 0x64FFFFFFu);
    EXPECT_FALSE(four.states.depthTest);
    EXPECT_EQ(four.texture, n.Texture());
}

TEST_F(PolygonTest, NumberAnchorProjectsTheReferencePoint) {
    CNumber n;
    n.Load("digits.bmp"); // missing texture: still usable, untextured
    Viewport vp;
    Mat4 proj = MatrixPerspectiveFovLH(0.785398f, 800.f / 600.f, 1, 1000);
    Mat4 view = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    Mat4 place = MatrixTranslation(0, 0, 0);
    AnchorReference ref;
    n.SetAnchor({0, 0, 0}, 8, 16, 0, &vp, &proj, &view, &place, &ref);
    n.SetNumber(7);
    n.UpdateAnchor();
    // The origin projects to the centre; one digit is centred on it.
    EXPECT_NEAR(n.Digits().At(4).pos.x, 396.f, 0.01f);
    EXPECT_NEAR(n.Digits().At(4).pos.y, 300.f, 0.01f);
    EXPECT_EQ(n.Digits().At(4).size, Vec3(8, 16, 0));
}

TEST_F(PolygonTest, ScreenNumberCountsExponentiallyAndSnaps) {
    CScreenNumber n;
    n.SetDigitCount(3);
    n.Setup(100, 50, 0, 12, 24, 0);
    n.SetNumber(0);
    EXPECT_EQ(n.CountTo(100, 0.5f), 1); // starts only
    EXPECT_EQ(n.GetNumber(), 0);
    std::vector<int> shown;
    int guard = 0;
    while (n.CountTo(100, 0.5f) == 1 && ++guard < 100) {
        shown.push_back(n.GetNumber());
    }
    EXPECT_EQ(shown, (std::vector<int>{50, 75, 87, 93, 96, 98, 99, 99, 99, 99}));
    EXPECT_EQ(n.GetNumber(), 100);
    EXPECT_EQ(n.CountTo(100, 0.5f), 0);
    EXPECT_EQ(n.CountTo(100, 0.5f), 0);
    // A new target starts a new count on the following call.
    EXPECT_EQ(n.CountTo(50, 0.5f), 1);
    EXPECT_EQ(n.CountTo(50, 0.5f), 1);
    EXPECT_EQ(n.GetNumber(), 100);
    EXPECT_EQ(n.CountTo(50, 0.5f), 1);
    EXPECT_EQ(n.GetNumber(), 75);
}

TEST_F(PolygonTest, ScreenNumberSlotsSitLeftToRightAndDrawEvenWhenDisabled) {
    CScreenNumber n;
    n.Load("d.bmp");
    n.SetDigitCount(4);
    n.Setup(100, 50, 0.2f, 12, 24, 0);
    n.SetNumber(7);
    EXPECT_EQ(n.Digits().At(0).pos, Vec3(100, 50, 0.2f));
    EXPECT_EQ(n.Digits().At(3).pos, Vec3(136, 50, 0.2f));
    n.SetEnabled(0);
    n.Draw();
    ASSERT_EQ(device.Draws().size(), 1u);
    EXPECT_EQ(device.Draws()[0].screen[0].x, 136.f);
    EXPECT_EQ(device.Draws()[0].screen[2].y, 74.f);
    n.AddNumber(-9);
    EXPECT_EQ(n.GetNumber(), -2);
    EXPECT_EQ(n.Digits().VisibleCount(), 0);
}

} // namespace
} // namespace quolis
