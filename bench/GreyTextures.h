#pragma once
// Texture files for the benchmarks: every texture name reads as the same
// 2 x 2 grey bitmap, so models and polygons load without any game data.
#include "engine/TextureFiles.h"

namespace quolis {

class GreyTextures final : public TextureFiles {
public:
    HRESULT Read(std::string_view, std::string_view, ByteBuffer& out) override {
        static const unsigned char kBmp[70] = {
            'B', 'M', 70,  0,   0,   0,   0, 0, 0,   0,   54,  0,   0,   0,   40, 0, 0,  0,
            2,   0,   0,   0,   2,   0,   0, 0, 1,   0,   24,  0,   0,   0,   0,  0, 16, 0,
            0,   0,   0,   0,   0,   0,   0, 0, 0,   0,   0,   0,   0,   0,   0,  0, 0,  0,
            128, 128, 128, 128, 128, 128, 0, 0, 128, 128, 128, 128, 128, 128, 0,  0};
        out.assign(kBmp, kBmp + sizeof kBmp);
        return S_OK;
    }
};

} // namespace quolis
