#pragma once
// A SoundFont 2 bank cut down to the instruments one piece of music can play.
//
// FluidSynth keeps a record of every zone of every preset of a bank it loads,
// about 2 KB a zone (5.6 MB for a small General MIDI bank), though a piece
// plays only a handful of its presets. So the bank's tables are read once,
// and for each piece a small bank is made that holds only the presets the
// piece can select, their instruments and their sample headers.
//
// The sample data is not copied: the small bank's sample list is the original
// file's, byte for byte and at the same place in the file, so the sample
// headers keep their offsets and the samples are read from the original file
// whenever the synthesizer loads them.
#include "platform/MidiPrograms.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace quolis {

// Reads `size` bytes at `offset` of the soundfont file into `out`; false when
// the file does not have them.
using SoundFontFileBytes =
    std::function<bool(std::uint64_t offset, std::size_t size, std::uint8_t* out)>;

// A small bank as a file: its first and last parts are made in memory, the
// part between them (the sample list) is a stretch of the original file.
struct SoundFontImage {
    std::vector<std::uint8_t> head; // "RIFF" header and the original INFO list
    std::uint64_t sampleOffset = 0; // the original's "sdta" list: where it starts in the file
    std::uint64_t sampleSize = 0;   // and its length, chunk header included
    std::vector<std::uint8_t> tail; // the new "pdta" list

    std::uint64_t Size() const { return head.size() + sampleSize + tail.size(); }
    bool Empty() const { return head.empty(); }
    // Copies `size` bytes at `at` of the image into `out`, reading the sample
    // list through `file`. False when they run past the end or the file read
    // fails.
    bool Read(std::uint64_t at, std::size_t size, std::uint8_t* out,
              const SoundFontFileBytes& file) const;
};

// The tables of one bank, from which small banks are cut.
class SoundFontTables {
public:
    // Reads the bank's layout and its preset tables (a few hundred kilobytes
    // for a General MIDI bank; the samples are not read). False, leaving the
    // tables empty, when the file is not a SoundFont 2 bank that can be cut
    // safely: chunks missing, running past the end or of odd sizes, zone
    // indices out of order, or references to instruments or samples that do
    // not exist. The caller then loads the whole file as it is.
    bool Read(std::uint64_t fileSize, const SoundFontFileBytes& file);
    bool Empty() const { return phdr_.empty(); }
    // The presets of the bank, without the closing record.
    std::size_t PresetCount() const;

    // The presets a piece that selects `programs` (as MidiProgramsUsed lists
    // them) can reach, as indices in the bank's order. FluidSynth takes the
    // preset of the bank and program asked for; when the bank lacks it, a
    // melodic channel falls back to the same program in bank 0 and then to
    // program 0 of bank 0, and the percussion channel to drum kit 0. Every
    // channel starts on program 0 (kit 0 for percussion). So a drum kit (bank
    // 128) is kept when the piece selects it or it is kit 0, and a melodic
    // preset of any other bank when the piece selects its program on a
    // melodic channel in any bank, or it is program 0.
    std::vector<std::size_t> Reachable(const std::vector<MidiProgram>& programs) const;

    // The small bank holding the presets `presets` (indices as Reachable
    // gives them, ascending), in the bank's order, the instruments they use
    // and the samples those use (and the samples linked to them as stereo
    // pairs), all renumbered. Empty when the tables are.
    SoundFontImage Subset(const std::vector<std::size_t>& presets) const;

private:
    using Bytes = std::vector<std::uint8_t>;
    Bytes info_; // the whole INFO list, header included
    std::uint64_t sampleOffset_ = 0;
    std::uint64_t sampleSize_ = 0;
    Bytes phdr_, pbag_, pmod_, pgen_, inst_, ibag_, imod_, igen_, shdr_;

    bool ReadLists(std::uint64_t fileSize, const SoundFontFileBytes& file, Bytes& pdta);
    bool TakeTables(const Bytes& pdta);
    bool Valid() const;
    void Clear();
};

} // namespace quolis
