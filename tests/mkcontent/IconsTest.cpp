#include "Mkcontent.h"

#include "gfxutil/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace quolis;
using namespace quolis::mkcontent;

namespace {

std::uint32_t Alpha(std::uint32_t p) {
    return p >> 24;
}

TEST(Icons, EmblemWithSoftEdgesAndATransparentOutsideInEverySize) {
    for (int size : IconSizes()) {
        const std::vector<std::uint32_t> px = IconPixels(size);
        ASSERT_EQ(px.size(), static_cast<std::size_t>(size) * size);
        auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y) * size + x]; };
        // Corners lie outside the round emblem; its centre is solid.
        EXPECT_EQ(Alpha(at(0, 0)), 0u) << size;
        EXPECT_EQ(Alpha(at(size - 1, size - 1)), 0u) << size;
        EXPECT_EQ(Alpha(at(size / 2, size / 2)), 255u) << size;
        // The rim is anti-aliased: some pixels are partly covered, and no
        // visible pixel is darkened towards black by the transparent outside.
        int partial = 0;
        for (std::uint32_t p : px) {
            if (Alpha(p) > 0 && Alpha(p) < 255) {
                ++partial;
            }
            if (Alpha(p) > 0) {
                EXPECT_NE(p & 0xFFFFFFu, 0u) << size;
            }
        }
        EXPECT_GT(partial, 0) << size;
    }
}

TEST(Icons, WrittenAsPngFilesInTheThemeLayout) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(QUOLIS_BINARY_DIR) / "icons-test";
    fs::remove_all(dir);
    std::string error;
    ASSERT_TRUE(WriteIcons(dir.string(), "org.example.Game", error)) << error;
    for (int size : IconSizes()) {
        const std::string n = std::to_string(size);
        std::ifstream f(dir / (n + "x" + n) / "apps" / "org.example.Game.png", std::ios::binary);
        ASSERT_TRUE(f) << size;
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                        std::istreambuf_iterator<char>());
        Image image;
        ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), image)) << size;
        EXPECT_EQ(image.width, size);
        EXPECT_EQ(image.height, size);
        // The alpha channel survives the file.
        EXPECT_EQ(image.pixels, IconPixels(size)) << size;
    }
    // A folder that cannot be made is refused with a reason.
    std::ofstream(dir / "file") << "x";
    EXPECT_FALSE(WriteIcons((dir / "file").string(), "org.example.Game", error));
    EXPECT_FALSE(error.empty());
    fs::remove_all(dir);
}

} // namespace
