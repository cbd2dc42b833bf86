// The content checker's static walk over a story script: any token list must
// be walked to its end without reading past it.
#include "ScriptScan.h"

#include "data/Tokens.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const quolis::TokenList tokens = quolis::SplitTokens(text);
    const quolis::qcheck::ScriptFacts facts = quolis::qcheck::ScanScript(tokens);
    for (const auto& m : facts.messages) {
        (void)quolis::qcheck::SpeakerLabel(m.text, facts.textures);
    }
    return 0;
}
