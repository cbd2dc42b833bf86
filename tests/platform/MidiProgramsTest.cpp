#include "platform/MidiPrograms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace quolis {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Chunk(Bytes& out, const char* id, const Bytes& body) {
    out.insert(out.end(), id, id + 4);
    const auto n = static_cast<std::uint32_t>(body.size());
    out.insert(out.end(), {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                           static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
    out.insert(out.end(), body.begin(), body.end());
}

Bytes File(std::initializer_list<std::pair<const char*, Bytes>> chunks) {
    Bytes out;
    Chunk(out, "MThd", {0, 1, 0, static_cast<std::uint8_t>(chunks.size()), 0, 96});
    for (const auto& [id, body] : chunks) {
        Chunk(out, id, body);
    }
    return out;
}

std::vector<MidiProgram> Used(const Bytes& b) {
    return MidiProgramsUsed(b.data(), b.size());
}

// A piece as sequencers write them: a conductor track of meta events, then
// tracks that select banks and programs between notes, with running status,
// a long delta time, a system-exclusive message and the percussion channel.
Bytes Piece() {
    const Bytes conductor = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // tempo
                             0x00, 0xFF, 0x03, 0x02, 'A',  'B',        // name
                             0x00, 0xFF, 0x2F, 0x00};
    const Bytes strings = {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, // GM on
                           0x00, 0xB2, 0x00, 0x08,                         // channel 3: bank 8
                           0x00, 0xC2, 0x30,                               // program 48
                           0x00, 0x92, 0x3C, 0x64,                         // a note
                           0x83, 0x60, 0x3C, 0x00,             // running status, 480 ticks later
                           0x00, 0xB2, 0x00, 0x00,             // back to bank 0
                           0x81, 0x80, 0x80, 0x00, 0xC2, 0x31, // four-byte delta, program 49
                           0x00, 0x31,                         // running status: program 49 again
                           0x00, 0xD2, 0x40,                   // channel pressure (one data byte)
                           0x00, 0xC0, 0x05,                   // channel 1: program 5
                           0x00, 0xFF, 0x2F, 0x00};
    const Bytes drums = {0x00, 0xB9, 0x00, 0x05, // bank select on the percussion channel
                         0x00, 0xC9, 0x10,       // drum kit 16
                         0x00, 0x99, 0x24, 0x64, 0x60, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00};
    return File({{"MTrk", conductor}, {"XFIH", {1, 2, 3}}, {"MTrk", strings}, {"MTrk", drums}});
}

TEST(MidiPrograms, EveryProgramChangeWithTheBankItsChannelHasThen) {
    const std::vector<MidiProgram> expected = {{0, 5}, {0, 49}, {8, 48}, {128, 16}};
    EXPECT_EQ(Used(Piece()), expected);
    // No program change at all: nothing beyond the defaults is asked for.
    EXPECT_TRUE(Used(File({{"MTrk", {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40}}})).empty());
}

// Bytes cut anywhere or spoilt anywhere never read outside the input, and a
// cut file finds only instruments the whole file asks for.
TEST(MidiPrograms, CutOrSpoiltFilesGiveWhatTheyHold) {
    const Bytes whole = Piece();
    const std::vector<MidiProgram> all = Used(whole);
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + n);
        cut.shrink_to_fit(); // so that the sanitizer sees any read past the end
        for (const MidiProgram& p : Used(cut)) {
            EXPECT_TRUE(std::binary_search(all.begin(), all.end(), p)) << "cut at " << n;
        }
    }
    for (std::size_t i = 0; i < whole.size(); ++i) {
        for (std::uint8_t v : {0x00, 0x7F, 0x80, 0xC9, 0xF0, 0xFF}) {
            Bytes spoilt = whole;
            spoilt[i] = v;
            for (const MidiProgram& p : Used(spoilt)) {
                EXPECT_LE(p.bank, 128);
                EXPECT_LE(p.program, 127);
            }
        }
    }
    // A track length far past the end is read as far as the bytes go.
    Bytes longTrack = File({{"MTrk", {0x00, 0xC0, 0x07}}});
    longTrack[14 + 4] = 0x7F;
    EXPECT_EQ(Used(longTrack), (std::vector<MidiProgram>{{0, 7}}));
    EXPECT_TRUE(MidiProgramsUsed(nullptr, 0).empty());
    const std::string riff = "RIFF\x10\0\0\0RMIDdata";
    EXPECT_TRUE(
        MidiProgramsUsed(reinterpret_cast<const std::uint8_t*>(riff.data()), riff.size()).empty());
}

} // namespace
} // namespace quolis
