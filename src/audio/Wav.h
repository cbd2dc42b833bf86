#pragma once
// The WAV reader of the sound effects: a RIFF WAVE file held in memory becomes
// 16-bit PCM for the mixer. Read: PCM 8, 16, 24 and 32 bits, 32-bit float,
// Microsoft ADPCM and IMA ADPCM, mono or stereo, 1000 to 384000 frames per
// second. A file whose data is cut short gives the frames that are there.
#include "common/Status.h"
#include "platform/Mixer.h"

#include <cstddef>
#include <cstdint>

namespace quolis {

// E_FAIL (out emptied) for anything that is not a playable WAV file.
HRESULT ReadWav(const std::uint8_t* data, std::size_t size, PcmSound& out);

} // namespace quolis
