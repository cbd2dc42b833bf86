#include "platform/sdl/PngFile.h"

#include <png.h>

#include <cstring>

namespace quolis {

namespace {

bool Write(const std::string& hostPath, int width, int height, const std::vector<Argb>& pixels,
           bool alpha, std::string* error) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        *error = "screenshot: pixel count does not match the size";
        return false;
    }
    const std::size_t channels = alpha ? 4 : 3;
    std::vector<unsigned char> rgb(pixels.size() * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        rgb[i * channels + 0] = static_cast<unsigned char>(pixels[i] >> 16);
        rgb[i * channels + 1] = static_cast<unsigned char>(pixels[i] >> 8);
        rgb[i * channels + 2] = static_cast<unsigned char>(pixels[i]);
        if (alpha) {
            rgb[i * channels + 3] = static_cast<unsigned char>(pixels[i] >> 24);
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, hostPath.c_str(), 0, rgb.data(),
                                 width * static_cast<int>(channels), nullptr)) {
        *error = "screenshot: cannot write " + hostPath + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace

bool WritePng(const std::string& hostPath, int width, int height, const std::vector<Argb>& pixels,
              std::string* error) {
    return Write(hostPath, width, height, pixels, false, error);
}

bool WritePngWithAlpha(const std::string& hostPath, int width, int height,
                       const std::vector<Argb>& pixels, std::string* error) {
    return Write(hostPath, width, height, pixels, true, error);
}

} // namespace quolis
