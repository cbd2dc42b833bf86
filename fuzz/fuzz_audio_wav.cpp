// The WAV reader on arbitrary bytes: it must never read outside the input,
// and what it accepts must be whole frames of a playable format.
#include "audio/Wav.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quolis::PcmSound pcm;
    if (quolis::ReadWav(data, size, pcm) == quolis::S_OK) {
        if ((pcm.channels != 1 && pcm.channels != 2) || pcm.rate < 1000 || pcm.rate > 384000 ||
            pcm.samples.empty() || pcm.samples.size() % pcm.channels != 0) {
            std::abort();
        }
    } else if (!pcm.samples.empty()) {
        std::abort();
    }
    return 0;
}
