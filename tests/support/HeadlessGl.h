// A test fixture base for drawing on the real OpenGL device without a
// display: one headless host (SDL offscreen through EGL) for the whole suite,
// tests skipped where no such context can be made (failed on the CI runner), and the drawn pixels
// read back. Header only; the test program links quolis_platform_sdl.
#pragma once

#include "ScratchDir.h"
#include "platform/sdl/PlatformHost.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace quolis::testgl {

struct Rgb {
    int r, g, b;
};

inline Rgb ToRgb(Argb c) {
    return {int((c >> 16) & 255), int((c >> 8) & 255), int(c & 255)};
}

// Base is the fixture the test builds on (::testing::Test or one of its
// own); its SetUp and TearDown run only when the GL host exists.
template <class Base = ::testing::Test> class HeadlessGlTest : public Base {
protected:
    // Opening SDL and EGL is the slow part, so it happens once per suite.
    static void SetUpTestSuite() {
        HostConfig config;
        config.headless = true;
        config.imgui = false;
        config.joystick = false;
        host_ = PlatformHost::Create(config, &error_).release();
    }
    static void TearDownTestSuite() {
        delete host_;
        host_ = nullptr;
    }
    void SetUp() override {
        if (host_ == nullptr) {
            QUOLIS_SKIP_UNLESS_CI("headless OpenGL 3.3 (SDL offscreen through EGL) is not "
                                  "available here: "
                                  << error_);
        }
        Base::SetUp();
    }
    void TearDown() override {
        if (host_ != nullptr) {
            Base::TearDown();
        }
    }

    static bool HasGl() { return host_ != nullptr; }
    static GlDevice& Gl() { return host_->Device(); }

    // The back buffer is read at the first call and the copy answers until
    // Reread().
    Argb Pixel(int x, int y) {
        if (pixels_.empty()) {
            EXPECT_TRUE(Gl().ReadBackBuffer(pixels_));
            EXPECT_EQ(pixels_.size(), 800u * 600u);
        }
        return pixels_[static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x)];
    }
    void Reread() { pixels_.clear(); }

    inline static PlatformHost* host_ = nullptr;
    inline static std::string error_;
    std::vector<Argb> pixels_;
};

} // namespace quolis::testgl
