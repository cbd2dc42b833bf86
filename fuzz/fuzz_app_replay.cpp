// The input recording reader on arbitrary bytes: it accepts only well-formed
// records, in pass order, within the ranges of the input events.
#include "app/Replay.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quolis::ReplayScript script;
    std::string error;
    if (quolis::ParseReplay(text, script, &error)) {
        int last = 0;
        for (const quolis::ReplayRecord& r : script.records) {
            if (r.pass < last || r.pass < 0 ||
                (!r.command && (r.event.code < 0 || r.event.code > 255))) {
                std::abort();
            }
            last = r.pass;
        }
        // What was read writes back and reads again to the same records.
        std::string again = "quolis-input 1\n";
        for (const quolis::ReplayRecord& r : script.records) {
            again += quolis::FormatReplayRecord(r);
        }
        quolis::ReplayScript back;
        if (!quolis::ParseReplay(again, back, &error) ||
            back.records.size() != script.records.size()) {
            std::abort();
        }
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
