// The instruments of a MIDI file on arbitrary bytes: never reads outside the
// input, and every instrument found is a valid bank and program, listed once.
#include "platform/MidiPrograms.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<quolis::MidiProgram> used = quolis::MidiProgramsUsed(data, size);
    for (std::size_t i = 0; i < used.size(); ++i) {
        const quolis::MidiProgram& p = used[i];
        if (p.bank < 0 || p.bank > 128 || p.program < 0 || p.program > 127) {
            std::abort();
        }
        if (i > 0 && !(used[i - 1] < p)) {
            std::abort();
        }
    }
    return 0;
}
