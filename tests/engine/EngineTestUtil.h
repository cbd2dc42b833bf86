#pragma once
// Shared helpers of the engine tests: a recording device, in-memory texture
// files and tiny pictures.
#include "common/Stopwatch.h"
#include "engine/Polygon.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quolis::testutil {

class MemoryTextureFiles final : public TextureFiles {
public:
    std::map<std::string, ByteBuffer> files;
    int reads = 0;
    HRESULT Read(std::string_view directory, std::string_view name, ByteBuffer& out) override {
        ++reads;
        auto it = files.find(std::string(directory) + std::string(name));
        if (it == files.end()) {
            return E_FAIL;
        }
        out = it->second;
        return S_OK;
    }
};

inline void Put16(ByteBuffer& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 255;
    b[at + 1] = (v >> 8) & 255;
}
inline void Put32(ByteBuffer& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A top-down 24-bit BMP of w × 1 pixels, 0x00RRGGBB each.
inline ByteBuffer Bmp24Row(const std::vector<std::uint32_t>& rgb) {
    int w = static_cast<int>(rgb.size());
    std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    ByteBuffer b(54 + stride, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(w));
    Put32(b, 22, static_cast<std::uint32_t>(-1));
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    for (int x = 0; x < w; ++x) {
        b[54 + x * 3] = rgb[x] & 255;
        b[54 + x * 3 + 1] = (rgb[x] >> 8) & 255;
        b[54 + x * 3 + 2] = (rgb[x] >> 16) & 255;
    }
    return b;
}

// A top-left 32-bit TGA of w × 1 pixels, 0xAARRGGBB each.
inline ByteBuffer Tga32Row(const std::vector<std::uint32_t>& argb) {
    ByteBuffer b(18, 0);
    b[2] = 2;
    Put16(b, 12, static_cast<std::uint32_t>(argb.size()));
    Put16(b, 14, 1);
    b[16] = 32;
    b[17] = 0x28;
    for (std::uint32_t p : argb) {
        b.push_back(p & 255);
        b.push_back((p >> 8) & 255);
        b.push_back((p >> 16) & 255);
        b.push_back(p >> 24);
    }
    return b;
}

// A fixture with a manual clock, a recording device in a frame and the
// texture cache set up on in-memory files under "tex\".
class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CStopwatch::SetClock(&clock);
        ASSERT_EQ(CPolygon::InitTextures("tex\\", &device, &files), S_OK);
        device.BeginFrame();
        device.ClearRecord();
    }
    void TearDown() override {
        CPolygon::ReleaseTextures();
        CStopwatch::SetTimeFrozen(false);
        CStopwatch::SetClock(nullptr);
        EXPECT_TRUE(device.Errors().empty()) << (device.Errors().empty() ? "" : device.Errors()[0]);
    }
    ManualClock clock{1000};
    RecordingDevice device;
    MemoryTextureFiles files;
};

} // namespace quolis::testutil
