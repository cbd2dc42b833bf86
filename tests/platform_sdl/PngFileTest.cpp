#include "platform/sdl/PngFile.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace quolis {
namespace {

TEST(PngFile, WritesAnOpaqueRgbImageThatReadsBack) {
    std::string path = std::string(QUOLIS_BINARY_DIR) + "/png-file-test.png";
    std::vector<Argb> px = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFF123456, 0xFFFFFFFF, 0xFF000000};
    std::string error;
    ASSERT_TRUE(WritePng(path, 3, 2, px, &error)) << error;

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    // Colour kept, alpha dropped.
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[3 + 1], 255);
    EXPECT_EQ(rgb[6 + 2], 255);
    EXPECT_EQ(rgb[9], 0x12);
    EXPECT_EQ(rgb[10], 0x34);
    EXPECT_EQ(rgb[11], 0x56);
    std::filesystem::remove(path);
}

TEST(PngFile, RefusesMismatchedSizesAndUnwritablePaths) {
    std::string error;
    std::vector<Argb> px(4, 0xFF000000);
    EXPECT_FALSE(WritePng("/tmp/never.png", 3, 2, px, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", 2, 2, px, &error));
}

} // namespace
} // namespace quolis
