// Feeds arbitrary bytes to the Png decoder: it must fail cleanly or give a
// picture whose pixel count matches its size.
#include "gfxutil/Image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quolis::Image img;
    if (quolis::DecodePng(data, size, img)) {
        if (img.width <= 0 || img.height <= 0 ||
            img.pixels.size() != static_cast<std::size_t>(img.width) * img.height) {
            std::abort();
        }
    } else if (!img.pixels.empty()) {
        std::abort();
    }
    return 0;
}
