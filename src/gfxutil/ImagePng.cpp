#include "gfxutil/Image.h"

#include <png.h>

namespace quolis {

bool DecodePng(const std::uint8_t* data, std::size_t size, Image& out) {
    out.Clear();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxImageSide ||
        image.height > kMaxImageSide) {
        png_image_free(&image);
        return false;
    }
    // BGRA bytes are 0xAARRGGBB words on a little-endian machine.
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels = std::move(pixels);
    return true;
}

} // namespace quolis
