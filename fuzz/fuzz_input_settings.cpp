// The key bindings file on arbitrary bytes: split into tokens as the reader
// does, then parsed; it must stop at the end of the list whatever it holds.
#include "data/Tokens.h"
#include "input/Input.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quolis::TokenList tokens = quolis::SplitTokens(text);
    quolis::RemoveComments(tokens);
    quolis::ButtonMaps maps;
    quolis::ParseInputSettings(tokens, maps);
    std::size_t pairs = maps[0].size() + maps[1].size() + maps[2].size();
    if (pairs > tokens.size() / 2) {
        std::abort();
    }
    return 0;
}
