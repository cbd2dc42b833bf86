// Feeds arbitrary bytes to the Bmp decoder: it must fail cleanly or give a
// picture whose pixel count matches its size.
#include "ImageFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return quolis::fuzz::FuzzImageDecoder(quolis::DecodeBmp, data, size);
}
