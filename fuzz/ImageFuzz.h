// The body shared by the image-decoder fuzz targets: arbitrary bytes go to one
// decoder, which must fail cleanly (leaving no pixels) or give a picture whose
// pixel count matches its size. Each target stays its own program and just
// names its decoder.
#pragma once

#include "gfxutil/Image.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace quolis::fuzz {

using ImageDecoder = bool (*)(const std::uint8_t* data, std::size_t size, Image& out);

inline int FuzzImageDecoder(ImageDecoder decode, const std::uint8_t* data, std::size_t size) {
    Image img;
    if (decode(data, size, img)) {
        if (img.width <= 0 || img.height <= 0 ||
            img.pixels.size() != static_cast<std::size_t>(img.width) * img.height) {
            std::abort();
        }
    } else if (!img.pixels.empty()) {
        std::abort();
    }
    return 0;
}

} // namespace quolis::fuzz
