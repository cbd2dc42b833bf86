#include "../support/ScratchDir.h"
#include "common/Text.h"
#include "platform/sdl/PlatformHost.h"

#include <imgui.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace quolis {
namespace {

TEST(PlatformHost, HeadlessHostWithMenuStripAnswersBoxesAndTakesScreenshots) {
    HostConfig config;
    config.headless = true;
    config.fixedStep = true;
    config.joystick = false;
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    // The window holds the strip above the 800 × 600 view and is titled in UTF-8.
    EXPECT_STREQ(SDL_GetWindowTitle(host->Window()), "クオーリス　Ver1.00");
    ViewLayout l = host->Layout();
    EXPECT_EQ(l.windowWidth, 800);
    EXPECT_EQ(l.windowHeight, 600 + PlatformHost::kMenuStripHeight);

    // The fixed step: 16 ms per frame pass.
    std::uint32_t t0 = host->GetClock().NowMs();
    host->FinishFramePass();
    host->FinishFramePass();
    EXPECT_EQ(host->GetClock().NowMs() - t0, 32u);

    // Headless boxes answer with the first button unless a responder is set.
    MessageBoxRequest quit{SJ("終了してもよいですか？"), SJ("終了確認"), MessageBoxButtons::YesNo,
                           MessageBoxIcon::Question};
    EXPECT_EQ(host->Boxes().Show(quit), MessageBoxAnswer::Yes);
    std::string asked;
    host->SetMessageBoxResponder([&](const MessageBoxRequest& r) {
        asked = r.caption;
        return MessageBoxAnswer::No;
    });
    EXPECT_EQ(host->Boxes().Show(quit), MessageBoxAnswer::No);
    EXPECT_EQ(asked, SJ("終了確認"));

    // A frame with the menu drawn, then a screenshot of the back buffer.
    int menuCalls = 0;
    host->SetMenuDrawer([&] { ++menuCalls; });
    host->Device().BeginFrame();
    host->Device().EndFrame();
    EXPECT_EQ(menuCalls, 1);
    std::string path = std::string(QUOLIS_BINARY_DIR) + "/host-test-shot.png";
    ASSERT_TRUE(host->SaveScreenshot(path, &error)) << error;
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);

    // Nothing pending: pumping leaves the queues empty.
    host->PumpEvents();
    InputEvent e;
    EXPECT_FALSE(host->Input().PopWindow(&e));
    EXPECT_FALSE(host->Input().Present(InputDeviceIndex::Joypad));
}

} // namespace
} // namespace quolis

namespace quolis {
namespace {

void PushKey(SDL_Scancode sc, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
    SDL_PushEvent(&e);
}

TEST(PlatformHost, MessageBoxIsAnImGuiModalAnsweredFromTheKeyboard) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.modalFrameLimit = 120; // a broken modal fails the test instead of hanging
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    host->SetMessageBoxResponder(nullptr); // show the boxes
    MessageBoxRequest quit{SJ("終了してもよいですか？"), SJ("終了確認"), MessageBoxButtons::YesNo,
                           MessageBoxIcon::Question};
    int frames = 0;
    // "N" answers No; the key also reaches the game's queue as DIK_N.
    PushKey(SDL_SCANCODE_N, true);
    EXPECT_EQ(host->Boxes().Show(quit), MessageBoxAnswer::No);
    PushKey(SDL_SCANCODE_N, false);
    InputEvent e;
    ASSERT_TRUE(host->Input().PopDevice(InputDeviceIndex::Keyboard, &e));
    EXPECT_EQ(e.code, 0x31);

    // With no answer the modal keeps running until the frame limit; the
    // game's waiting events are handled on every frame meanwhile.
    host->Input().Clear();
    int idles = 0;
    host->SetModalIdle([&] { ++idles; });
    host->RunModal([&] {
        ++frames;
        return true;
    });
    EXPECT_EQ(frames, 120);
    EXPECT_EQ(idles, 120);
    EXPECT_EQ(host->LastModalFrames(), 120);
    host->Boxes().Show({SJ("x"), SJ("y"), MessageBoxButtons::Ok, MessageBoxIcon::None});
    EXPECT_GT(idles, 120); // message boxes run the same loop
    host->SetModalIdle(nullptr);

    PushKey(SDL_SCANCODE_Y, true);
    EXPECT_EQ(host->Boxes().Show(quit), MessageBoxAnswer::Yes);
    EXPECT_LT(host->LastModalFrames(), 120); // answered, not given up
    PushKey(SDL_SCANCODE_Y, false);
}

TEST(PlatformHost, HeadlessKeepsAnAudioDriverChosenExplicitly) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.imgui = false;
    std::string previous = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    std::string error;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    std::string chosen = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    host.reset();
    unsetenv("SDL_AUDIODRIVER");
    host = PlatformHost::Create(config, &error);
    std::string unset = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    host.reset();
    setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
    EXPECT_EQ(chosen, "disk");
    EXPECT_EQ(unset, "dummy");
}

// Work left until the window shows something runs once, right after the
// first presented frame; left later, it runs at once; withdrawn before the
// first frame, it never runs.
TEST(PlatformHost, WorkLeftForTheFirstFrameRunsOnceAfterItIsPresented) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.imgui = false;
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    int withdrawn = 0, first = 0, later = 0;
    host->AfterFirstFrame([&] { ++withdrawn; });
    host->AfterFirstFrame(nullptr);
    host->AfterFirstFrame([&] { ++first; });
    host->PumpEvents();
    host->FinishFramePass();
    EXPECT_EQ(first, 0) << "ran before any frame was presented";
    host->Device().BeginFrame();
    host->Device().EndFrame();
    EXPECT_EQ(first, 1);
    host->Device().BeginFrame();
    host->Device().EndFrame();
    EXPECT_EQ(first, 1) << "ran again on a later frame";
    host->AfterFirstFrame([&] { ++later; });
    EXPECT_EQ(later, 1);
    host->Device().BeginFrame();
    host->Device().EndFrame();
    EXPECT_EQ(later, 1);
    EXPECT_EQ(withdrawn, 0);
}

TEST(PlatformHost, WindowTitleCanBeChanged) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.imgui = false;
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    EXPECT_EQ(host->Title(), "クオーリス　Ver1.00");
    const std::string title = "クオーリス　Ver1.00            プロローグ";
    host->SetTitle(title);
    EXPECT_EQ(host->Title(), title);
}

// The interface font holds the glyphs of the texts it is told about, not the
// whole Japanese range; a message box brings its own characters before its
// first frame, and a noted text has its characters from the next frame on.
TEST(PlatformHost, InterfaceFontHoldsTheGlyphsOfItsTextsOnly) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.modalFrameLimit = 3;
    config.uiText = "キーコンフィグ";
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        GTEST_SKIP() << "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: "
                     << error;
    }
    host->SetMessageBoxResponder(nullptr); // show the boxes
    auto has = [](ImWchar c) {
        ImFont* font = ImGui::GetIO().Fonts->Fonts[0];
        return font->FindGlyphNoFallback(c) != nullptr;
    };
    ASSERT_EQ(ImGui::GetIO().Fonts->Fonts.Size, 1);
    EXPECT_TRUE(has(u'キ'));
    EXPECT_TRUE(has(u'A'));
    EXPECT_FALSE(has(u'終'));
    EXPECT_FALSE(has(u'漢'));

    // A box unanswered until the frame limit: its caption and text were in
    // the font for every frame it showed.
    MessageBoxRequest quit{SJ("終了してもよいですか？"), SJ("終了確認"), MessageBoxButtons::YesNo,
                           MessageBoxIcon::Question};
    host->Boxes().Show(quit);
    EXPECT_TRUE(has(u'終'));
    EXPECT_TRUE(has(u'確'));
    EXPECT_TRUE(has(u'い'));

    NoteUiText("漢字");
    host->RunModal([] { return true; });
    EXPECT_TRUE(has(u'漢'));
    EXPECT_TRUE(has(u'字'));
    // A few dozen glyphs at 16 pixels: a small atlas, where every Japanese
    // glyph of the font would need megapixels.
    EXPECT_LE(ImGui::GetIO().Fonts->TexWidth * ImGui::GetIO().Fonts->TexHeight, 512 * 512);
}

// With the strip's own texts given apart, the first frame's font holds only
// their glyphs (and ASCII); the other texts' glyphs are there from the frame
// after it.
TEST(PlatformHost, InterfaceFontTakesTheStripsGlyphsFirstAndTheOthersAfterTheFirstFrame) {
    HostConfig config;
    config.headless = true;
    config.joystick = false;
    config.uiText = "設定キーコンフィグ";
    config.stripText = "設定";
    std::string error;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        QUOLIS_SKIP_UNLESS_CI(
            "headless OpenGL 3.3 (SDL offscreen through EGL) is not available here: " << error);
    }
    auto has = [](ImWchar c) {
        ImFont* font = ImGui::GetIO().Fonts->Fonts[0];
        return font->FindGlyphNoFallback(c) != nullptr;
    };
    EXPECT_TRUE(has(u'設'));
    EXPECT_TRUE(has(u'定'));
    EXPECT_TRUE(has(u'A'));
    EXPECT_FALSE(has(u'キ'));
    EXPECT_FALSE(has(u'○'));
    host->Device().BeginFrame();
    host->Device().EndFrame(); // the first frame, with the strip's glyphs
    EXPECT_FALSE(has(u'キ'));
    host->Device().BeginFrame();
    host->Device().EndFrame();
    EXPECT_TRUE(has(u'キ'));
    EXPECT_TRUE(has(u'コ'));
    EXPECT_TRUE(has(u'○')); // the pad's symbols come with the others
    EXPECT_TRUE(has(u'設'));
    EXPECT_FALSE(has(u'漢'));
}

} // namespace
} // namespace quolis
