// The window menu strip and the interface windows as the window shows them:
// Dear ImGui's triangles drawn over the picture, read back from the window.
#include "gfxutil/Image.h"
#include "platform/sdl/PlatformHost.h"

#include "../support/ScratchDir.h"
#include <gtest/gtest.h>

#include <epoxy/gl.h>
#include <imgui.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quolis {
namespace {

constexpr Argb kPictureBlue = 0x0000FF;

std::unique_ptr<PlatformHost> MenuHost(std::string* error) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.fixedStep = true;
    config.modalFrameLimit = 1;
    config.uiText = "システム設定";
    WindowState window;
    window.width = 800;
    window.height = 600 + PlatformHost::kMenuStripHeight;
    window.maximized = false;
    config.window = window;
    return PlatformHost::Create(config, error);
}

std::string ShotPath(const char* name) {
    return std::string(QUOLIS_BINARY_DIR) + "/" + name;
}

bool ReadShot(PlatformHost& host, const std::string& path, Image& out) {
    if (!host.WindowScreenshotError().empty()) {
        ADD_FAILURE() << host.WindowScreenshotError();
        return false;
    }
    std::ifstream f(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                    std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return DecodePng(bytes.data(), bytes.size(), out);
}

// A blue picture in the back buffer, shown under the strip.
void DrawBluePicture(PlatformHost& host) {
    host.Device().BeginFrame();
    glBindFramebuffer(GL_FRAMEBUFFER, host.Device().BackBufferFramebuffer());
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

Argb At(const Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * image.width + x] & 0xFFFFFFu;
}

int Channel(Argb c, int shift) {
    return static_cast<int>((c >> shift) & 255);
}

bool Near(Argb a, Argb b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) {
            return false;
        }
    }
    return true;
}

// An ImGui colour (R in the low byte) as 0xRRGGBB.
Argb Rgb(ImU32 c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

struct Box {
    int x0, y0, x1, y1; // x1, y1 past the end
    bool Holds(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// The menu titles are white text on the strip's colour, each inside the
// place ImGui gave it; the rest of the strip is plain, and the picture below
// it is untouched.
TEST(MenuStrip, TitlesAreWhiteTextInTheirPlacesOnThePlainStrip) {
    std::string error;
    std::unique_ptr<PlatformHost> host = MenuHost(&error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    const int strip = PlatformHost::kMenuStripHeight;
    std::vector<Box> titles;
    host->SetMenuDrawer([&] {
        titles.clear();
        for (const char* title : {"システム", "設定"}) {
            if (ImGui::BeginMenu(title)) {
                ImGui::EndMenu();
            }
            ImVec2 a = ImGui::GetItemRectMin(), b = ImGui::GetItemRectMax();
            titles.push_back({static_cast<int>(a.x), static_cast<int>(a.y),
                              static_cast<int>(b.x + 0.5f), static_cast<int>(b.y + 0.5f)});
        }
    });
    const std::string path = ShotPath("menu-strip-titles.png");
    DrawBluePicture(*host);
    host->RequestWindowScreenshot(path);
    host->Device().EndFrame();
    Image shot;
    ASSERT_TRUE(ReadShot(*host, path, shot));
    ASSERT_EQ(shot.width, 800);
    ASSERT_EQ(shot.height, 600 + strip);
    ASSERT_EQ(titles.size(), 2u);

    const Argb bar = Rgb(ImGui::GetColorU32(ImGuiCol_MenuBarBg));
    for (const Box& t : titles) {
        int bright = 0, whitest = 0;
        for (int y = t.y0; y < t.y1; ++y) {
            for (int x = t.x0; x < t.x1; ++x) {
                Argb c = At(shot, x, y);
                if (Channel(c, 0) > 128) {
                    ++bright;
                    // Antialiased white on grey stays grey.
                    EXPECT_EQ(Channel(c, 16), Channel(c, 0)) << x << "," << y;
                    EXPECT_EQ(Channel(c, 8), Channel(c, 0)) << x << "," << y;
                }
                whitest = std::max(whitest, Channel(c, 0));
            }
        }
        EXPECT_GE(bright, 30) << "title at x " << t.x0;
        EXPECT_GE(whitest, 240) << "title at x " << t.x0;
    }
    // Between and after the titles: the strip's colour only, inside its
    // one-pixel border.
    int stray = 0;
    for (int y = 1; y < strip - 1; ++y) {
        for (int x = 1; x < 799; ++x) {
            bool inTitle = std::any_of(titles.begin(), titles.end(),
                                       [&](const Box& t) { return t.Holds(x, y); });
            if (!inTitle && !Near(At(shot, x, y), bar, 1)) {
                ++stray;
            }
        }
    }
    EXPECT_EQ(stray, 0);
    for (int y : {strip, strip + 1, 300, 600 + strip - 1}) {
        for (int x : {0, 5, 400, 799}) {
            EXPECT_EQ(At(shot, x, y), kPictureBlue) << x << "," << y;
        }
    }
}

// Shapes of an interface window's frame: a fill cut by its clip rectangle,
// colours blended across a rectangle from its corners, and text in its
// colour inside its box only.
TEST(MenuStrip, InterfaceShapesAreClippedShadedAndTextured) {
    std::string error;
    std::unique_ptr<PlatformHost> host = MenuHost(&error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    const std::string path = ShotPath("menu-strip-shapes.png");
    DrawBluePicture(*host);
    host->Device().EndFrame();
    host->RequestWindowScreenshot(path);
    Box textBox{};
    host->RunModal([&] {
        ImDrawList* dl = ImGui::GetBackgroundDrawList();
        dl->PushClipRect(ImVec2(120, 120), ImVec2(180, 170), false);
        dl->AddRectFilled(ImVec2(100, 100), ImVec2(200, 200), IM_COL32(255, 0, 0, 255));
        dl->PopClipRect();
        // Black on the left to white on the right, 256 pixels wide.
        dl->AddRectFilledMultiColor(ImVec2(300, 100), ImVec2(556, 120), IM_COL32(0, 0, 0, 255),
                                    IM_COL32(255, 255, 255, 255), IM_COL32(255, 255, 255, 255),
                                    IM_COL32(0, 0, 0, 255));
        const char* text = "システム設定";
        ImVec2 size = ImGui::CalcTextSize(text);
        dl->AddText(ImVec2(300, 200), IM_COL32(0, 255, 0, 255), text);
        textBox = {300, 200, 300 + static_cast<int>(size.x + 0.5f),
                   200 + static_cast<int>(size.y + 0.5f)};
        return false;
    });
    Image shot;
    ASSERT_TRUE(ReadShot(*host, path, shot));
    ASSERT_EQ(shot.width, 800);

    // The fill: red inside the clip rectangle, the picture outside it.
    for (auto [x, y] : {std::pair{120, 120}, {179, 120}, {120, 169}, {179, 169}, {150, 150}}) {
        EXPECT_EQ(At(shot, x, y), 0xFF0000u) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{119, 150}, {180, 150}, {150, 119}, {150, 170}, {105, 105}}) {
        EXPECT_EQ(At(shot, x, y), kPictureBlue) << x << "," << y;
    }
    // The blend: grey rising by about one step a pixel, on every row.
    for (int y : {100, 110, 119}) {
        int previous = -1;
        for (int i = 0; i < 256; ++i) {
            Argb c = At(shot, 300 + i, y);
            int v = Channel(c, 0);
            ASSERT_TRUE(Channel(c, 8) == v && Channel(c, 16) == v) << i << "," << y;
            ASSERT_GE(v, previous) << i << "," << y;
            ASSERT_LE(std::abs(v - i), 2) << i << "," << y;
            previous = v;
        }
    }
    // The text: green glyphs inside its box (a descender may reach a pixel
    // below the line), the picture around it.
    int green = 0, strayGreen = 0;
    const Box glyphs{textBox.x0, textBox.y0, textBox.x1 + 1, textBox.y1 + 2};
    for (int y = textBox.y0 - 10; y < textBox.y1 + 10; ++y) {
        for (int x = textBox.x0 - 10; x < textBox.x1 + 10; ++x) {
            Argb c = At(shot, x, y);
            bool isGreen = Channel(c, 8) > 128 && Channel(c, 16) == 0;
            if (glyphs.Holds(x, y)) {
                green += isGreen ? 1 : 0;
            } else if (c != kPictureBlue) {
                ++strayGreen;
            }
        }
    }
    EXPECT_GE(green, 60);
    EXPECT_EQ(strayGreen, 0);
}

// Each run of triangles is drawn with its own texture: a game texture shown
// as an image between two texts keeps its texels, and the text after it
// still reads its glyphs from the font's texture.
TEST(MenuStrip, EachRunOfTrianglesHasItsOwnTexture) {
    std::string error;
    std::unique_ptr<PlatformHost> host = MenuHost(&error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    const Argb texels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    const TextureId picture = host->Device().CreateTexture(2, 2, texels);
    ASSERT_NE(picture, 0u);
    const std::string path = ShotPath("menu-strip-textures.png");
    DrawBluePicture(*host);
    host->Device().EndFrame();
    host->RequestWindowScreenshot(path);
    const char* text = "設定";
    ImVec2 size;
    host->RunModal([&] {
        ImDrawList* dl = ImGui::GetBackgroundDrawList();
        size = ImGui::CalcTextSize(text);
        dl->AddText(ImVec2(300, 300), IM_COL32(255, 255, 0, 255), text);
        dl->AddImage(reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(picture)),
                     ImVec2(400, 300), ImVec2(440, 340));
        dl->AddText(ImVec2(500, 300), IM_COL32(255, 255, 0, 255), text);
        return false;
    });
    host->Device().ReleaseTexture(picture);
    Image shot;
    ASSERT_TRUE(ReadShot(*host, path, shot));
    ASSERT_EQ(shot.width, 800);

    // The picture's four texels, a 20-pixel square each.
    for (int y = 300; y < 340; ++y) {
        for (int x = 400; x < 440; ++x) {
            const Argb expected = texels[(y < 320 ? 0 : 2) + (x < 420 ? 0 : 1)] & 0xFFFFFFu;
            ASSERT_EQ(At(shot, x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(At(shot, 399, 320), kPictureBlue);
    EXPECT_EQ(At(shot, 440, 320), kPictureBlue);
    // Both texts: yellow glyphs, the same number of them.
    auto yellow = [&](int x0) {
        int n = 0;
        for (int y = 300; y < 300 + static_cast<int>(size.y) + 2; ++y) {
            for (int x = x0; x < x0 + static_cast<int>(size.x) + 1; ++x) {
                Argb c = At(shot, x, y);
                n += Channel(c, 16) > 128 && Channel(c, 8) > 128 && Channel(c, 0) < 64 ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_GE(yellow(300), 30);
    EXPECT_EQ(yellow(500), yellow(300));
}

} // namespace
} // namespace quolis
