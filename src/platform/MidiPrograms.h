#pragma once
// The instruments a standard MIDI file asks for, read ahead of playing it, so
// that the mixer can load their samples before the piece starts instead of
// on the audio thread when a program change arrives.
//
// Banks are picked as FluidSynth picks them by default: controller 0 selects
// the bank of a channel's later program changes (controller 32 is ignored),
// and the tenth channel (9) is the percussion channel, whose programs are
// drum kits in bank 128.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quolis {

struct MidiProgram {
    int bank = 0;    // 0..127, 128 for drum kits
    int program = 0; // 0..127
    auto operator<=>(const MidiProgram&) const = default;
};

// Every (bank, program) a program change in the file selects, sorted and
// without repeats. Reads whatever part of the file is readable: garbage,
// truncated tracks and unknown chunks give what was found before them (or
// nothing); never reads outside the bytes.
std::vector<MidiProgram> MidiProgramsUsed(const std::uint8_t* data, std::size_t size);

} // namespace quolis
