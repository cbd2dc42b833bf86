// Feeds arbitrary text to the .mdl reader, then poses and walks every part.
#include "data/Tokens.h"
#include "engine/Mdl.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quolis::TokenList tokens =
        quolis::SplitTokens(std::string_view(reinterpret_cast<const char*>(data), size));
    quolis::MdlData mdl;
    if (!mdl.Parse(tokens)) {
        if (!mdl.Empty())
            std::abort();
        return 0;
    }
    for (float p : {0.0f, 0.5f, 1.7f, 1e9f, -3.0f}) {
        mdl.Pose(p);
        for (std::size_t i = 0; i < mdl.parts.size(); ++i)
            (void)mdl.PartWorld(i);
    }
    return 0;
}
