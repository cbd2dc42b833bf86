// The message box drawn through the 2-D engine on a recording device.
#include "script/EngineBinding.h"
#include "ScriptTestUtil.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <map>

namespace quolis::test {
namespace {

class MemoryTextures final : public TextureFiles {
public:
    std::map<std::string, ByteBuffer> files;
    HRESULT Read(std::string_view dir, std::string_view name, ByteBuffer& out) override {
        auto it = files.find(std::string(dir) + std::string(name));
        if (it == files.end()) {
            return E_FAIL;
        }
        out = it->second;
        return S_OK;
    }
};

// A 1 × 1 top-down 24-bit BMP.
ByteBuffer Bmp1() {
    ByteBuffer b(58, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 58);
    put32(10, 54);
    put32(14, 40);
    put32(18, 1);
    put32(22, static_cast<std::uint32_t>(-1));
    b[26] = 1;
    b[28] = 24;
    b[54] = b[55] = b[56] = 0x80;
    return b;
}

// Every character a 6 × 12 box.
class BoxFonts final : public FontRasterizer {
public:
    std::vector<std::string> rendered;
    FontHandle OpenFont(std::string_view, int, bool, bool) override { return 1; }
    void CloseFont(FontHandle) override {}
    int LineSkip(FontHandle) override { return 14; }
    bool RenderText(FontHandle, std::string_view utf8, TextBitmap& out) override {
        rendered.emplace_back(utf8);
        out.width = 6 * static_cast<int>(utf8.size());
        out.height = 12;
        out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 0xFFFFFFFFu);
        return out.width > 0;
    }
};

class EngineBinding : public ::testing::Test, public ScriptFixture {
public:
    void SetUp() override {
        for (const char* f :
             {"MsgBox\\CharaPicFrame.bmp", "MsgBox\\MsgBox.bmp", "MsgBox\\Cursor.bmp", "bg.bmp"}) {
            files.files[f] = Bmp1();
        }
        ASSERT_EQ(CPolygon::InitTextures("", &device, &files), S_OK);
        CTextObject::SetTextDevice(&device);
        CTextObject::SetFontRasterizer(&fonts);
        device.BeginFrame();
        device.ClearRecord();
    }
    void TearDown() override {
        canvas.Release();
        CTextObject::ReleaseTextCache();
        CTextObject::SetFontRasterizer(nullptr);
        CTextObject::SetTextDevice(nullptr);
        CPolygon::ReleaseTextures();
        EXPECT_TRUE(device.Errors().empty());
    }
    RecordingDevice device;
    MemoryTextures files;
    BoxFonts fonts;
    CEngineMsgCanvas canvas;
};

TEST_F(EngineBinding, DrawsPicturesTextAndCursorWithTheirLevels) {
    Play("Texture 背 bg.bmp Texture 欠 missing.bmp BG 背 Left 欠 一 二");
    script.Show(true);
    script.SetBrightness(200);
    Settle();
    ASSERT_EQ(script.Draw(canvas), S_OK);
    // BG, portrait frame, message frame, message text, cursor; the Left
    // picture's file is missing and is not drawn.
    const auto& draws = device.Draws();
    ASSERT_EQ(draws.size(), 5u);
    const DrawRecord& bg = draws[0];
    EXPECT_NE(bg.texture, 0u);
    EXPECT_EQ(bg.screen[0].x, 10.f);
    EXPECT_EQ(bg.screen[0].y, 10.f);
    EXPECT_EQ(bg.screen[2].x, 630.f);
    EXPECT_EQ(bg.screen[0].color >> 24, 200u);
    const DrawRecord& frame = draws[2];
    EXPECT_EQ(frame.screen[0].x, 230.f);
    EXPECT_EQ(frame.screen[0].y, 400.f);
    const DrawRecord& text = draws[3];
    EXPECT_EQ(text.screen[0].x, 260.f);
    EXPECT_EQ(text.screen[0].y, 435.f);
    EXPECT_EQ(text.screen[0].color, 0xC8FFFFFFu);
    EXPECT_EQ(fonts.rendered.back(), "一");
    const DrawRecord& cursor = draws[4];
    EXPECT_EQ(cursor.screen[0].x, 722.f);
    EXPECT_EQ(cursor.screen[2].y, 538.f);
    EXPECT_FLOAT_EQ(cursor.screen[1].u - cursor.screen[0].u, 0.25f);
}

TEST_F(EngineBinding, DisabledMenuItemsAreGreyAndGlobalLimitsDoNotClampTheBox) {
    CColour::SetAllAlphaLimits(128, 180);
    Play("LoadMenu");
    script.Show(true);
    script.Draw(canvas);
    CColour::SetAllAlphaLimits(0, 255);
    const auto& draws = device.Draws();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].screen[0].color, 0xFFFFFFFFu) << "current item, full level";
    EXPECT_EQ(draws[1].screen[0].color, MakeArgb(180, 128, 128, 128)) << "empty slot";
    EXPECT_EQ(draws[1].screen[0].y, 430.f);
}

TEST_F(EngineBinding, TextureStatementsReachTheCache) {
    CEngineScriptTextures tex;
    ScriptPortsRef p;
    p.storage = &storage;
    p.textures = &tex;
    p.clock = &clock;
    script.SetUp(p);
    EXPECT_TRUE(CPolygon::IsTextureCached("MsgBox\\MsgBox.bmp"));
    Play("Texture 背 bg.bmp TexLoad 背 待つ");
    EXPECT_TRUE(CPolygon::IsTextureCached("bg.bmp"));
    Play("TexUnload 背 待つ");
    EXPECT_FALSE(CPolygon::IsTextureCached("bg.bmp"));
}

} // namespace
} // namespace quolis::test
