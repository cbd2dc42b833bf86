// The program icon: the campaign's emblem in the sizes of a desktop icon
// theme, with an alpha channel where the picture is transparent black.
#include "Mkcontent.h"

#include "platform/sdl/PngFile.h"

#include <cmath>
#include <filesystem>

namespace quolis::mkcontent {

const std::vector<int>& IconSizes() {
    static const std::vector<int> sizes = {16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

std::vector<std::uint32_t> IconPixels(int size) {
    constexpr int kOver = 4;
    const Canvas big = EmblemPicture(size * kOver);
    const std::vector<std::uint32_t> src = big.Argb();
    const int bw = big.Width();
    std::vector<std::uint32_t> out(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Coverage = the share of visible (non-black) samples; the colour
            // is the mean of those samples alone, so edges do not darken.
            double r = 0, g = 0, b = 0;
            int seen = 0;
            for (int sy = 0; sy < kOver; ++sy) {
                for (int sx = 0; sx < kOver; ++sx) {
                    std::uint32_t p =
                        src[static_cast<std::size_t>(y * kOver + sy) * bw + (x * kOver + sx)];
                    if ((p & 0xFFFFFFu) == 0) {
                        continue;
                    }
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++seen;
                }
            }
            if (seen == 0) {
                continue; // fully transparent
            }
            auto channel = [seen](double v) {
                return static_cast<std::uint32_t>(std::lround(v / seen)) & 0xFF;
            };
            std::uint32_t alpha =
                static_cast<std::uint32_t>(std::lround(255.0 * seen / (kOver * kOver)));
            out[static_cast<std::size_t>(y) * size + x] =
                alpha << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
        }
    }
    return out;
}

bool WriteIcons(const std::string& outDir, const std::string& name, std::string& error) {
    namespace fs = std::filesystem;
    for (int size : IconSizes()) {
        const std::string n = std::to_string(size);
        const fs::path dir = fs::path(outDir) / (n + "x" + n) / "apps";
        std::error_code ec;
        fs::create_directories(dir, ec);
        if (ec) {
            error = "cannot create " + dir.string() + ": " + ec.message();
            return false;
        }
        if (!WritePngWithAlpha((dir / (name + ".png")).string(), size, size, IconPixels(size),
                               &error)) {
            return false;
        }
    }
    return true;
}

} // namespace quolis::mkcontent
