#include "platform/MidiPrograms.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quolis {
namespace {

constexpr int kPercussionChannel = 9;
constexpr int kDrumBank = 128;

class Reader {
public:
    Reader(const std::uint8_t* p, std::size_t n) : p_(p), end_(p + n) {}
    bool AtEnd() const { return p_ >= end_; }
    std::size_t Left() const { return static_cast<std::size_t>(end_ - p_); }
    bool Byte(std::uint8_t& b) {
        if (AtEnd()) {
            return false;
        }
        b = *p_++;
        return true;
    }
    // A variable-length quantity: at most four bytes of seven bits.
    bool Quantity(std::uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!Byte(b)) {
                return false;
            }
            v = (v << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0) {
                return true;
            }
        }
        return false;
    }
    bool Skip(std::size_t n) {
        if (n > Left()) {
            return false;
        }
        p_ += n;
        return true;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

// One track's events; bank selections carry over between tracks, as the
// channels are shared.
void ScanTrack(Reader r, std::array<int, 16>& bank, std::vector<MidiProgram>& out) {
    std::uint8_t status = 0;
    while (!r.AtEnd()) {
        std::uint32_t delta = 0;
        std::uint8_t b = 0;
        if (!r.Quantity(delta) || !r.Byte(b)) {
            return;
        }
        if (b == 0xFF) { // meta event: type, length, data
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            if (!r.Byte(type) || !r.Quantity(length) || !r.Skip(length) || type == 0x2F) {
                return; // broken, or the end of the track
            }
            continue;
        }
        if (b == 0xF0 || b == 0xF7) { // system exclusive: length, data
            std::uint32_t length = 0;
            if (!r.Quantity(length) || !r.Skip(length)) {
                return;
            }
            status = 0; // no running status across it
            continue;
        }
        std::uint8_t first = 0;
        if (b & 0x80u) {
            if (b >= 0xF0) {
                return; // no other system message belongs in a file
            }
            status = b;
            if (!r.Byte(first)) {
                return;
            }
        } else if (status == 0) {
            return; // data without a status
        } else {
            first = b;
        }
        const int channel = status & 0x0F;
        switch (status & 0xF0) {
        case 0xC0: // program change
            out.push_back(
                {channel == kPercussionChannel ? kDrumBank : bank[channel], first & 0x7F});
            break;
        case 0xD0: // channel pressure: one data byte
            break;
        default: { // two data bytes
            std::uint8_t second = 0;
            if (!r.Byte(second)) {
                return;
            }
            if ((status & 0xF0) == 0xB0 && first == 0 && channel != kPercussionChannel) {
                bank[channel] = second & 0x7F; // bank select (most significant byte)
            }
            break;
        }
        }
    }
}

} // namespace

std::vector<MidiProgram> MidiProgramsUsed(const std::uint8_t* data, std::size_t size) {
    std::vector<MidiProgram> out;
    if (data == nullptr || size < 14 || std::memcmp(data, "MThd", 4) != 0) {
        return out;
    }
    std::array<int, 16> bank{};
    std::size_t at = 0;
    // Chunks one after the other: "MThd" first, then tracks ("MTrk"); any
    // other chunk is skipped. A chunk running past the end is read as far as
    // it goes.
    while (size - at >= 8) {
        const std::uint8_t* chunk = data + at;
        const std::size_t length = std::min<std::size_t>(Be32(chunk + 4), size - at - 8);
        if (std::memcmp(chunk, "MTrk", 4) == 0) {
            ScanTrack(Reader(chunk + 8, length), bank, out);
        }
        at += 8 + length;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace quolis
