// The soundfont tables on arbitrary bytes: reading never leaves the input,
// and any bank it accepts can be cut; a small bank is itself a bank that
// reads back with exactly the presets it was cut for, and its sample list is
// the original's bytes.
#include "FuzzSupport.h"
#include "platform/SoundFontSubset.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quolis::SoundFontFileBytes file = [&](std::uint64_t offset, std::size_t n,
                                                std::uint8_t* out) {
        if (offset > size || n > size - offset) {
            return false;
        }
        std::memcpy(out, data + offset, n);
        return true;
    };
    quolis::SoundFontTables tables;
    if (!tables.Read(size, file)) {
        CHECK(tables.Empty());
        return 0;
    }
    // The programs a piece might select, taken from the first bytes.
    std::vector<quolis::MidiProgram> programs;
    for (std::size_t i = 0; i + 1 < std::min<std::size_t>(size, 16); i += 2) {
        programs.push_back({data[i] & 1 ? 128 : data[i] >> 1, data[i + 1] & 0x7F});
    }
    const std::vector<std::size_t> reach = tables.Reachable(programs);
    const quolis::SoundFontImage image = tables.Subset(reach);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(image.Size()));
    CHECK(image.Read(0, bytes.size(), bytes.data(), file));
    CHECK(std::memcmp(bytes.data() + image.head.size(), data + image.sampleOffset,
                      static_cast<std::size_t>(image.sampleSize)) == 0);
    quolis::SoundFontTables again;
    CHECK(again.Read(bytes.size(), [&](std::uint64_t offset, std::size_t n, std::uint8_t* out) {
        if (offset > bytes.size() || n > bytes.size() - offset) {
            return false;
        }
        std::memcpy(out, bytes.data() + offset, n);
        return true;
    }));
    CHECK(again.PresetCount() == reach.size());
    return 0;
}
