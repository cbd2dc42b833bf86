#include "platform/Device.h"

#include <vector>

namespace quolis {

std::size_t VertexStride(VertexFormat f) {
    switch (f) {
    case VertexFormat::Screen:
        return sizeof(VertexScreen);
    case VertexFormat::Lit:
        return sizeof(VertexLit);
    case VertexFormat::Colored:
        return sizeof(VertexColored);
    }
    return 0;
}

TextureId Device::CreateAlphaTexture(int width, int height, const std::uint8_t* alpha) {
    if (width <= 0 || height <= 0 || alpha == nullptr) {
        return CreateTexture(width, height, nullptr);
    }
    std::vector<Argb> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = (static_cast<Argb>(alpha[i]) << 24) | 0x00FFFFFFu;
    }
    return CreateTexture(width, height, pixels.data());
}

} // namespace quolis
