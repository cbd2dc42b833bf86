#pragma once
// Image decoding for textures: BMP, TGA and DDS in own code, PNG through
// libpng, JPEG through libjpeg-turbo. Every decoder takes untrusted bytes and
// fails cleanly (false, empty image) on truncated, oversized or garbage input.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quolis {

// 0xAARRGGBB pixels, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    void Clear() {
        width = 0;
        height = 0;
        pixels.clear();
    }
};

enum class ImageFormat { Unknown, Bmp, Tga, Dds, Png, Jpeg };

// Largest accepted side in pixels (bigger files are refused, not decoded).
constexpr int kMaxImageSide = 8192;

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Image& out);
bool DecodeTga(const std::uint8_t* data, std::size_t size, Image& out);
// The first surface only (mipmaps are made by the device).
bool DecodeDds(const std::uint8_t* data, std::size_t size, Image& out);
bool DecodePng(const std::uint8_t* data, std::size_t size, Image& out);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Image& out);

// The format by the file's signature; TGA (which has none) when the header is
// plausible.
ImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size);
// Decodes by signature.
bool DecodeImage(const std::uint8_t* data, std::size_t size, Image& out);

// Pixels equal to `key` become fully transparent (0x00000000).
void ApplyColourKey(Image& image, std::uint32_t key);

} // namespace quolis
