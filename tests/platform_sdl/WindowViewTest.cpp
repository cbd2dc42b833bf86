// The picture in a window of another shape, and the window keys.
#include "gfxutil/Image.h"
#include "platform/sdl/PlatformHost.h"

#include "../support/ScratchDir.h"
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace quolis {
namespace {

std::unique_ptr<PlatformHost> HeadlessHost(std::string* error, int width = 800,
                                           int height = 600 + PlatformHost::kMenuStripHeight) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.imgui = false;
    WindowState window;
    window.width = width;
    window.height = height;
    window.maximized = false;
    config.window = window;
    return PlatformHost::Create(config, error);
}

// Presents a white back buffer and reads the whole window back.
bool ShootWhitePicture(PlatformHost& host, Image& out) {
    const std::string path = std::string(QUOLIS_BINARY_DIR) + "/window-view-test.png";
    host.Device().BeginFrame();
    glBindFramebuffer(GL_FRAMEBUFFER, host.Device().BackBufferFramebuffer());
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    host.RequestWindowScreenshot(path);
    host.Device().EndFrame();
    if (!host.WindowScreenshotError().empty()) {
        return false;
    }
    std::ifstream f(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                    std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return DecodePng(bytes.data(), bytes.size(), out);
}

std::uint32_t At(const Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * image.width + x] & 0xFFFFFFu;
}

TEST(WindowView, AWideWindowShowsThePictureBetweenBlackBarsOrStretched) {
    std::string error;
    const int strip = PlatformHost::kMenuStripHeight;
    // The window opens at the size the player left it.
    std::unique_ptr<PlatformHost> host = HeadlessHost(&error, 1200, 600 + strip);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(host->Window(), &w, &h);
    if (w != 1200 || h != 600 + strip) {
        FAIL() << "the window did not open at its saved size: " << w << " x " << h;
    }
    Image image;
    ASSERT_TRUE(ShootWhitePicture(*host, image));
    ASSERT_EQ(image.width, 1200);
    ASSERT_EQ(image.height, 600 + strip);
    // 800 wide in the middle: bars of 200 on either side, the strip above.
    const int mid = strip + 300;
    EXPECT_EQ(At(image, 5, mid), 0u);
    EXPECT_EQ(At(image, 199, mid), 0u);
    EXPECT_EQ(At(image, 200, mid), 0xFFFFFFu);
    EXPECT_EQ(At(image, 999, mid), 0xFFFFFFu);
    EXPECT_EQ(At(image, 1000, mid), 0u);
    EXPECT_EQ(At(image, 600, strip - 1), 0u);
    EXPECT_EQ(At(image, 600, strip), 0xFFFFFFu);
    EXPECT_EQ(At(image, 600, strip + 599), 0xFFFFFFu);

    // Stretched: no bars.
    host->SetStretch(true);
    ASSERT_TRUE(ShootWhitePicture(*host, image));
    EXPECT_EQ(At(image, 0, mid), 0xFFFFFFu);
    EXPECT_EQ(At(image, 1199, mid), 0xFFFFFFu);

    // The pointer maps through the same rectangle.
    host->SetStretch(false);
    ViewLayout l = host->Layout();
    int bx = 0, by = 0;
    WindowToBackBuffer(l, 200, strip, &bx, &by);
    EXPECT_EQ(bx, 0);
    EXPECT_EQ(by, 0);
    WindowToBackBuffer(l, 100, strip, &bx, &by);
    EXPECT_LT(bx, 0);
}

// Fills the back buffer with noise in every channel (alpha too, written
// without blending), presents it and reads the whole window back.
bool ShootNoise(PlatformHost& host, Image& window, std::vector<Argb>& back,
                std::vector<Argb>& noise) {
    quolis::Device& d = host.Device();
    const int w = d.Width(), h = d.Height();
    noise.assign(static_cast<std::size_t>(w) * h, 0);
    std::uint32_t seed = 12345;
    for (Argb& p : noise) {
        seed = seed * 1664525u + 1013904223u;
        p = seed ^ (seed >> 13);
    }
    TextureId tex = d.CreateTexture(w, h, noise.data());
    if (tex == 0) {
        return false;
    }
    d.BeginFrame();
    d.SetAlphaBlend(false);
    d.SetDepthTest(false);
    d.SetTexture(tex);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const VertexScreen v[4] = {{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0},
                               {fw, 0, 0, 1, 0xFFFFFFFFu, 1, 0},
                               {fw, fh, 0, 1, 0xFFFFFFFFu, 1, 1},
                               {0, fh, 0, 1, 0xFFFFFFFFu, 0, 1}};
    const std::uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    d.DrawIndexedUP(VertexFormat::Screen, v, 4, quad, 6);
    d.SetTexture(0);
    d.ApplyDefaultStates();
    const std::string path = std::string(QUOLIS_BINARY_DIR) + "/window-noise-test.png";
    host.RequestWindowScreenshot(path);
    d.EndFrame();
    d.ReleaseTexture(tex);
    if (!host.WindowScreenshotError().empty() || !d.ReadBackBuffer(back)) {
        return false;
    }
    std::ifstream f(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                    std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return DecodePng(bytes.data(), bytes.size(), window);
}

TEST(WindowView, APictureAtItsOwnSizeShowsEveryPixelUnchanged) {
    const int strip = PlatformHost::kMenuStripHeight;
    // Flush with the window's sides, and centred between bars in a wider one.
    for (int width : {800, 1000}) {
        SCOPED_TRACE(width);
        std::string error;
        std::unique_ptr<PlatformHost> host = HeadlessHost(&error, width, 600 + strip);
        if (!host) {
            QUOLIS_SKIP_UNLESS_CI(
                "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
        }
        Image window;
        std::vector<Argb> back, noise;
        ASSERT_TRUE(ShootNoise(*host, window, back, noise));
        ASSERT_EQ(window.width, width);
        ASSERT_EQ(window.height, 600 + strip);
        ASSERT_EQ(back.size(), noise.size());
        // The texture reached the back buffer texel for texel, every channel
        // in its place (alpha too: drawn without blending).
        std::size_t changed = 0;
        for (std::size_t i = 0; i < back.size(); ++i) {
            changed += back[i] != noise[i] ? 1 : 0;
        }
        EXPECT_EQ(changed, 0u) << "first texel: " << std::hex << noise[0] << " drawn as "
                               << back[0];
        const int left = (width - 800) / 2;
        int wrong = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < window.height; ++y) {
            for (int x = 0; x < window.width; ++x) {
                const bool inside = x >= left && x < left + 800 && y >= strip;
                const std::uint32_t want =
                    inside
                        ? back[static_cast<std::size_t>(y - strip) * 800 + (x - left)] & 0xFFFFFFu
                        : 0u;
                if (At(window, x, y) != want) {
                    if (wrong++ == 0) {
                        firstX = x;
                        firstY = y;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "first differing window pixel at " << firstX << ", " << firstY;
    }
}

void PushKey(SDL_Scancode sc, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

TEST(WindowView, FullScreenKeysNeverReachTheGame) {
    std::string error;
    std::unique_ptr<PlatformHost> host = HeadlessHost(&error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    PushKey(SDL_SCANCODE_F11, true);
    PushKey(SDL_SCANCODE_F11, false);
    PushKey(SDL_SCANCODE_RETURN, true, KMOD_LALT);
    PushKey(SDL_SCANCODE_RETURN, false); // Alt already let go: still the toggle's release
    PushKey(SDL_SCANCODE_RETURN, true);  // plain Enter is the game's
    PushKey(SDL_SCANCODE_RETURN, false);
    host->PumpEvents();
    InputEvent e;
    std::vector<InputEvent> keys;
    while (host->Input().PopDevice(InputDeviceIndex::Keyboard, &e)) {
        keys.push_back(e);
    }
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].code, 0x1C); // DIK_RETURN
    EXPECT_TRUE(keys[0].down);
    EXPECT_EQ(keys[1].code, 0x1C);
    EXPECT_FALSE(keys[1].down);
}

} // namespace
} // namespace quolis
