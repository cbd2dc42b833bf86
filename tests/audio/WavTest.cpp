#include "audio/Wav.h"

#include "SoundBytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quolis {
namespace {

using namespace testbytes;

PcmSound Read(const Bytes& b, HRESULT expect = S_OK) {
    PcmSound p;
    EXPECT_EQ(ReadWav(b.data(), b.size(), p), expect);
    return p;
}

TEST(WavTest, PcmWidthsAndChannels) {
    PcmSound p8 = Read(MakeWav(1, 1, 11025, 8, 1, {0x80, 0xFF, 0x00}));
    EXPECT_EQ(p8.rate, 11025);
    EXPECT_EQ(p8.channels, 1);
    EXPECT_EQ(p8.samples, (std::vector<std::int16_t>{0, 32512, -32768}));

    PcmSound p16 = Read(MakeWav16(48000, 2, {1, -2, 300, -32768}));
    EXPECT_EQ(p16.channels, 2);
    EXPECT_EQ(p16.Frames(), 2u);
    EXPECT_EQ(p16.samples, (std::vector<std::int16_t>{1, -2, 300, -32768}));

    // 24-bit keeps its top 16 bits; 32-bit float is scaled to 16 bits.
    PcmSound p24 = Read(MakeWav(1, 1, 8000, 24, 3, {0x11, 0x34, 0x12, 0x00, 0x00, 0x80}));
    EXPECT_EQ(p24.samples, (std::vector<std::int16_t>{0x1234, -32768}));
    Bytes f{0, 0, 0, 0x3F, 0, 0, 0x80, 0xBF}; // 0.5, -1.0
    PcmSound pf = Read(MakeWav(3, 1, 8000, 32, 4, f));
    EXPECT_EQ(pf.samples, (std::vector<std::int16_t>{16383, -32767}));

    // WAVE_FORMAT_EXTENSIBLE: the sub-format GUID names PCM.
    Bytes ext{16, 0, 4, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    EXPECT_EQ(Read(MakeWav(0xFFFE, 1, 8000, 16, 2, {0x34, 0x12}, ext)).samples,
              (std::vector<std::int16_t>{0x1234}));
    ext.resize(10); // too short to hold the GUID
    Read(MakeWav(0xFFFE, 1, 8000, 16, 2, {0x34, 0x12}, ext), E_FAIL);
}

TEST(WavTest, SkipsOtherChunksAndCutsShortData) {
    Bytes wav = MakeWav16(22050, 1, {5, 6, 7, 8});
    // A LIST chunk of odd length (padded) before fmt.
    Bytes list{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    wav.insert(wav.begin() + 12, list.begin(), list.end());
    wav[4] += static_cast<std::uint8_t>(list.size());
    EXPECT_EQ(Read(wav).samples, (std::vector<std::int16_t>{5, 6, 7, 8}));

    // Cut in the middle of the third sample: two whole frames remain, even
    // though both the RIFF and the data sizes claim more.
    wav.resize(wav.size() - 3);
    EXPECT_EQ(Read(wav).samples, (std::vector<std::int16_t>{5, 6}));
}

TEST(WavTest, RefusesWhatItCannotPlay) {
    Read(Bytes{}, E_FAIL);
    Read(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, E_FAIL); // no chunks
    Read(MakeWav(1, 3, 8000, 16, 6, Bytes(12, 0)), E_FAIL);                  // 3 channels
    Read(MakeWav(1, 1, 0, 16, 2, Bytes(4, 0)), E_FAIL);                      // no rate
    Read(MakeWav(1, 1, 8000, 12, 2, Bytes(4, 0)), E_FAIL);                   // 12 bits
    Read(MakeWav(0x55, 1, 8000, 16, 2, Bytes(4, 0)), E_FAIL);                // MP3
    Read(MakeWav(1, 1, 8000, 16, 2, Bytes{}), E_FAIL);                       // no data
    Bytes midi = MakeMidi({60}, 96);
    Read(midi, E_FAIL);
}

TEST(WavTest, MicrosoftAdpcmBlock) {
    // Predictor 0 (256, 0), delta 16, sample1 100, sample2 50; codes 1, -1, 4, 0.
    Bytes block{0, 16, 0, 100, 0, 50, 0, 0x1F, 0x40};
    PcmSound p = Read(MakeWav(2, 1, 22050, 4, 9, block));
    EXPECT_EQ(p.samples, (std::vector<std::int16_t>{50, 100, 116, 100, 164, 164}));

    // A predictor index past the coefficient table is refused.
    block[0] = 9;
    Read(MakeWav(2, 1, 22050, 4, 9, block), E_FAIL);
}

// A plain IMA ADPCM encoder for the round trip; `decoded` receives what a
// decoder must reconstruct (interleaved).
Bytes EncodeIma(const std::vector<std::int16_t>& interleaved, int channels, int blockFrames,
                std::vector<std::int16_t>& decoded) {
    static const int kIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
    static const int kStep[89] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    Bytes out;
    const int frames = static_cast<int>(interleaved.size()) / channels;
    decoded.assign(interleaved.size(), 0);
    for (int start = 0; start + blockFrames <= frames; start += blockFrames) {
        int pred[2], index[2] = {0, 0};
        for (int c = 0; c < channels; ++c) {
            pred[c] = interleaved[start * channels + c];
            decoded[start * channels + c] = static_cast<std::int16_t>(pred[c]);
            Put16(out, static_cast<std::uint16_t>(pred[c]));
            out.push_back(0);
            out.push_back(0);
        }
        for (int g = 0; g < (blockFrames - 1) / 8; ++g) {
            for (int c = 0; c < channels; ++c) {
                std::uint8_t word[4] = {0, 0, 0, 0};
                for (int k = 0; k < 8; ++k) {
                    int target = interleaved[(start + 1 + g * 8 + k) * channels + c];
                    int step = kStep[index[c]];
                    int diff = target - pred[c];
                    int code = 0;
                    if (diff < 0) {
                        code = 8;
                        diff = -diff;
                    }
                    int delta = step >> 3;
                    if (diff >= step) {
                        code |= 4;
                        diff -= step;
                        delta += step;
                    }
                    if (diff >= step >> 1) {
                        code |= 2;
                        diff -= step >> 1;
                        delta += step >> 1;
                    }
                    if (diff >= step >> 2) {
                        code |= 1;
                        delta += step >> 2;
                    }
                    pred[c] =
                        std::clamp(code & 8 ? pred[c] - delta : pred[c] + delta, -32768, 32767);
                    index[c] = std::clamp(index[c] + kIndex[code], 0, 88);
                    word[k / 2] |= code << ((k & 1) * 4);
                    decoded[(start + 1 + g * 8 + k) * channels + c] =
                        static_cast<std::int16_t>(pred[c]);
                }
                out.insert(out.end(), word, word + 4);
            }
        }
    }
    return out;
}

TEST(WavTest, ImaAdpcmStereoRoundTrip) {
    const int blockFrames = 1 + 8 * 4;
    std::vector<std::int16_t> left = Sine(22050, 440, blockFrames * 3, 8000);
    std::vector<std::int16_t> right = Sine(22050, 660, blockFrames * 3, 3000);
    std::vector<std::int16_t> inter;
    for (std::size_t i = 0; i < left.size(); ++i) {
        inter.push_back(left[i]);
        inter.push_back(right[i]);
    }
    std::vector<std::int16_t> expected;
    Bytes data = EncodeIma(inter, 2, blockFrames, expected);
    const unsigned blockAlign = 8 + 32;
    ASSERT_EQ(data.size(), 3u * blockAlign);
    PcmSound p = Read(MakeWav(0x11, 2, 22050, 4, blockAlign, data, {33, 0}));
    ASSERT_EQ(p.samples.size(), inter.size());
    EXPECT_EQ(p.samples, expected);
    // Once the step has adapted, the sine is followed closely.
    int worst = 0;
    for (std::size_t i = 2 * 20; i < 2 * blockFrames; ++i) {
        worst = std::max(worst, std::abs(p.samples[i] - inter[i]));
    }
    EXPECT_LT(worst, 600);
}

} // namespace
} // namespace quolis
