#include "audio/Wav.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace quolis {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatMsAdpcm = 2;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatImaAdpcm = 0x11;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int16_t S16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(U16(p));
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::int16_t Clamp16(int v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}

struct Format {
    std::uint16_t tag = 0;
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    int bits = 0;
    const std::uint8_t* extra = nullptr; // bytes after cbSize
    std::size_t extraSize = 0;
};

bool DecodePcm(const Format& f, const std::uint8_t* d, std::size_t n, PcmSound& out) {
    if (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) {
        return false;
    }
    const std::size_t bytes = static_cast<std::size_t>(f.bits / 8);
    const std::size_t frameBytes = bytes * f.channels;
    const std::size_t frames = n / frameBytes;
    out.samples.resize(frames * f.channels);
    for (std::size_t i = 0; i < frames * f.channels; ++i) {
        const std::uint8_t* p = d + i * bytes;
        switch (f.bits) {
        case 8: // unsigned, 128 is silence
            out.samples[i] = static_cast<std::int16_t>((p[0] - 128) * 256);
            break;
        case 16:
            out.samples[i] = S16(p);
            break;
        case 24:
        case 32: // the top 16 bits
            out.samples[i] = S16(p + bytes - 2);
            break;
        }
    }
    return true;
}

bool DecodeFloat(const Format& f, const std::uint8_t* d, std::size_t n, PcmSound& out) {
    if (f.bits != 32) {
        return false;
    }
    const std::size_t count = n / 4 / f.channels * f.channels;
    out.samples.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t bits = U32(d + i * 4);
        float v;
        std::memcpy(&v, &bits, 4);
        if (!(v == v)) { // NaN
            v = 0;
        }
        out.samples[i] = Clamp16(static_cast<int>(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    }
    return true;
}

// Microsoft ADPCM: per block and channel a predictor index, a delta and two
// starting samples, then 4-bit codes (high nibble first, channels alternate).
bool DecodeMsAdpcm(const Format& f, const std::uint8_t* d, std::size_t n, PcmSound& out) {
    static const int kAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                   768, 614, 512, 409, 307, 230, 230, 230};
    static const int kDefaultCoef[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                           {240, 0}, {460, -208}, {392, -232}};
    const int ch = f.channels;
    const std::size_t header = 7u * ch;
    if (f.blockAlign <= 0 || static_cast<std::size_t>(f.blockAlign) <= header) {
        return false;
    }
    int coef[256][2];
    int numCoef = 7;
    for (int i = 0; i < 7; ++i) {
        coef[i][0] = kDefaultCoef[i][0];
        coef[i][1] = kDefaultCoef[i][1];
    }
    if (f.extraSize >= 4) {
        int count = U16(f.extra + 2);
        if (count >= 1 && count <= 256 && f.extraSize >= 4 + 4u * count) {
            numCoef = count;
            for (int i = 0; i < count; ++i) {
                coef[i][0] = S16(f.extra + 4 + 4 * i);
                coef[i][1] = S16(f.extra + 6 + 4 * i);
            }
        }
    }
    while (n > header) {
        const std::size_t blockSize =
            std::min<std::size_t>(n, static_cast<std::size_t>(f.blockAlign));
        const std::uint8_t* b = d;
        int c1[2], c2[2], delta[2], s1[2], s2[2];
        for (int c = 0; c < ch; ++c) {
            int pred = b[c];
            if (pred >= numCoef) {
                return false;
            }
            c1[c] = coef[pred][0];
            c2[c] = coef[pred][1];
            delta[c] = std::clamp<int>(S16(b + ch + 2 * c), 16, 1 << 20);
            s1[c] = S16(b + 3 * ch + 2 * c);
            s2[c] = S16(b + 5 * ch + 2 * c);
        }
        for (int c = 0; c < ch; ++c) {
            out.samples.push_back(static_cast<std::int16_t>(s2[c]));
        }
        for (int c = 0; c < ch; ++c) {
            out.samples.push_back(static_cast<std::int16_t>(s1[c]));
        }
        int c = 0;
        for (std::size_t i = header; i < blockSize; ++i) {
            for (int shift = 4; shift >= 0; shift -= 4) {
                int code = (b[i] >> shift) & 15;
                int signedCode = code >= 8 ? code - 16 : code;
                long long predicted = (static_cast<long long>(s1[c]) * c1[c] +
                                       static_cast<long long>(s2[c]) * c2[c]) /
                                      256;
                int sample = static_cast<int>(std::clamp<long long>(
                    predicted + static_cast<long long>(signedCode) * delta[c], -32768, 32767));
                out.samples.push_back(static_cast<std::int16_t>(sample));
                s2[c] = s1[c];
                s1[c] = sample;
                // Bounded so that a run of large codes cannot overflow.
                delta[c] = std::clamp((kAdapt[code] * delta[c]) / 256, 16, 1 << 20);
                c = (c + 1) % ch;
            }
        }
        d += blockSize;
        n -= blockSize;
    }
    return true;
}

// IMA ADPCM: per block and channel a starting sample and a step index, then
// groups of four bytes per channel (low nibble first).
bool DecodeImaAdpcm(const Format& f, const std::uint8_t* d, std::size_t n, PcmSound& out) {
    static const int kIndex[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
    static const int kStep[89] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    const int ch = f.channels;
    const std::size_t header = 4u * ch;
    if (f.blockAlign <= 0 || static_cast<std::size_t>(f.blockAlign) <= header || f.bits != 4) {
        return false;
    }
    while (n > header) {
        const std::size_t blockSize =
            std::min<std::size_t>(n, static_cast<std::size_t>(f.blockAlign));
        const std::uint8_t* b = d;
        int pred[2], index[2];
        for (int c = 0; c < ch; ++c) {
            pred[c] = S16(b + 4 * c);
            index[c] = std::min<int>(b[4 * c + 2], 88);
        }
        const std::size_t groups = (blockSize - header) / (4u * ch);
        const std::size_t first = out.samples.size();
        const std::size_t frames = 1 + groups * 8;
        out.samples.resize(first + frames * ch);
        for (int c = 0; c < ch; ++c) {
            out.samples[first + c] = static_cast<std::int16_t>(pred[c]);
        }
        for (std::size_t g = 0; g < groups; ++g) {
            for (int c = 0; c < ch; ++c) {
                const std::uint8_t* w = b + header + (g * ch + c) * 4;
                for (int k = 0; k < 8; ++k) {
                    int code = (w[k / 2] >> ((k & 1) * 4)) & 15;
                    int step = kStep[index[c]];
                    int diff = step >> 3;
                    if (code & 4) {
                        diff += step;
                    }
                    if (code & 2) {
                        diff += step >> 1;
                    }
                    if (code & 1) {
                        diff += step >> 2;
                    }
                    pred[c] = std::clamp(code & 8 ? pred[c] - diff : pred[c] + diff, -32768, 32767);
                    index[c] = std::clamp(index[c] + kIndex[code & 7], 0, 88);
                    std::size_t frame = 1 + g * 8 + k;
                    out.samples[first + frame * ch + c] = static_cast<std::int16_t>(pred[c]);
                }
            }
        }
        d += blockSize;
        n -= blockSize;
    }
    return true;
}

} // namespace

HRESULT ReadWav(const std::uint8_t* data, std::size_t size, PcmSound& out) {
    out = PcmSound{};
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0) {
        return E_FAIL;
    }
    // A RIFF size beyond the end of the file is cut to the file.
    std::size_t end = std::min<std::size_t>(size, std::size_t(U32(data + 4)) + 8);
    Format f;
    bool haveFormat = false;
    const std::uint8_t* samples = nullptr;
    std::size_t sampleBytes = 0;
    std::size_t pos = 12;
    while (end >= 8 && pos <= end - 8) {
        std::string_view id(reinterpret_cast<const char*>(data + pos), 4);
        std::size_t len = U32(data + pos + 4);
        std::size_t body = pos + 8;
        std::size_t avail = std::min(len, end - body);
        if (id == "fmt " && !haveFormat) {
            if (avail < 16) {
                return E_FAIL;
            }
            const std::uint8_t* p = data + body;
            f.tag = U16(p);
            f.channels = U16(p + 2);
            std::uint32_t rate = U32(p + 4);
            f.rate = rate > 384000 ? 0 : static_cast<int>(rate);
            f.blockAlign = U16(p + 12);
            f.bits = U16(p + 14);
            if (avail >= 18) {
                std::size_t cb = std::min<std::size_t>(U16(p + 16), avail - 18);
                f.extra = p + 18;
                f.extraSize = cb;
            }
            if (f.tag == kFormatExtensible) {
                // Valid bits, channel mask, then the sub-format GUID whose
                // first two bytes are the real format tag.
                if (f.extraSize < 22) {
                    return E_FAIL;
                }
                f.tag = U16(f.extra + 6);
            }
            haveFormat = true;
        } else if (id == "data" && samples == nullptr) {
            samples = data + body;
            sampleBytes = avail;
        }
        if (len > end - body) {
            break;
        }
        pos = body + len + (len & 1);
    }
    if (!haveFormat || samples == nullptr || (f.channels != 1 && f.channels != 2) ||
        f.rate < 1000) {
        return E_FAIL;
    }
    out.rate = f.rate;
    out.channels = f.channels;
    bool ok = false;
    switch (f.tag) {
    case kFormatPcm:
        ok = DecodePcm(f, samples, sampleBytes, out);
        break;
    case kFormatFloat:
        ok = DecodeFloat(f, samples, sampleBytes, out);
        break;
    case kFormatMsAdpcm:
        ok = DecodeMsAdpcm(f, samples, sampleBytes, out);
        break;
    case kFormatImaAdpcm:
        ok = DecodeImaAdpcm(f, samples, sampleBytes, out);
        break;
    default:
        break;
    }
    if (!ok || out.samples.empty()) {
        out = PcmSound{};
        return E_FAIL;
    }
    return S_OK;
}

} // namespace quolis
