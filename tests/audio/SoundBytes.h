#pragma once
// WAV and MIDI files built in memory for the audio tests.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace quolis::testbytes {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutId(Bytes& b, const char* id) {
    // Byte by byte: GCC 12 misreads a range insert into an empty vector as an
    // overflow in optimised builds.
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(id[i]));
    }
}

// A RIFF WAVE file with one fmt chunk (plus `extra` after cbSize when given)
// and one data chunk.
inline Bytes MakeWav(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits,
                     unsigned blockAlign, const Bytes& data, const Bytes& extra = {}) {
    Bytes fmt;
    Put16(fmt, tag);
    Put16(fmt, channels);
    Put32(fmt, rate);
    Put32(fmt, rate * blockAlign);
    Put16(fmt, blockAlign);
    Put16(fmt, bits);
    if (!extra.empty()) {
        Put16(fmt, static_cast<unsigned>(extra.size()));
        fmt.insert(fmt.end(), extra.begin(), extra.end());
    }
    Bytes b;
    PutId(b, "RIFF");
    Put32(b, 0);
    PutId(b, "WAVE");
    PutId(b, "fmt ");
    Put32(b, static_cast<std::uint32_t>(fmt.size()));
    b.insert(b.end(), fmt.begin(), fmt.end());
    if (fmt.size() & 1) {
        b.push_back(0);
    }
    PutId(b, "data");
    Put32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) {
        b.push_back(0);
    }
    std::uint32_t riff = static_cast<std::uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i) {
        b[4 + i] = (riff >> (8 * i)) & 255;
    }
    return b;
}

inline Bytes MakeWav16(std::uint32_t rate, unsigned channels,
                       const std::vector<std::int16_t>& samples) {
    Bytes data;
    for (std::int16_t s : samples) {
        Put16(data, static_cast<std::uint16_t>(s));
    }
    return MakeWav(1, channels, rate, 16, 2 * channels, data);
}

// `frames` frames of a sine of `hz` at peak `amplitude`, mono.
inline std::vector<std::int16_t> Sine(std::uint32_t rate, double hz, int frames, double amplitude) {
    std::vector<std::int16_t> s(frames);
    for (int i = 0; i < frames; ++i) {
        s[i] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / rate)));
    }
    return s;
}

inline void PutVarLen(Bytes& b, std::uint32_t v) {
    Bytes tmp{static_cast<std::uint8_t>(v & 0x7F)};
    while (v >>= 7) {
        tmp.insert(tmp.begin(), static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
    }
    b.insert(b.end(), tmp.begin(), tmp.end());
}

// A format-0 standard MIDI file (96 ticks per quarter, 120 bpm): program
// `program` on channel 0, then each note in turn for `ticks` ticks.
inline Bytes MakeMidi(const std::vector<int>& notes, std::uint32_t ticks, int program = 0,
                      int velocity = 110) {
    Bytes track;
    track.insert(track.end(), {0x00, 0xC0, static_cast<std::uint8_t>(program)});
    for (int n : notes) {
        track.insert(track.end(), {0x00, 0x90, static_cast<std::uint8_t>(n),
                                   static_cast<std::uint8_t>(velocity)});
        PutVarLen(track, ticks);
        track.insert(track.end(), {0x80, static_cast<std::uint8_t>(n), 0x40});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes b;
    PutId(b, "MThd");
    b.insert(b.end(), {0, 0, 0, 6, 0, 0, 0, 1, 0, 96});
    PutId(b, "MTrk");
    std::uint32_t n = static_cast<std::uint32_t>(track.size());
    b.insert(b.end(), {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                       static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
    b.insert(b.end(), track.begin(), track.end());
    return b;
}

} // namespace quolis::testbytes
