// The memory figures of /proc/self/status on arbitrary bytes: a figure is
// either missing (-1) or a plain count no larger than the text could spell.
#include "app/SceneProfile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const quolis::MemorySample m = quolis::ParseProcStatus(text);
    for (long figure : {m.rssKb, m.peakKb}) {
        if (figure < -1 || figure > (1L << 50)) {
            std::abort();
        }
        if (figure >= 0 && size < 7) { // "VmRSS:" and one digit at least
            std::abort();
        }
    }
    return 0;
}
