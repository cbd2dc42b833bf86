#pragma once
#include "common/Text.h"
#include "data/Tokens.h"

#include <string_view>

namespace quolis::test {

// Tokens of a text written in UTF-8, as the game's CP932 reader gives them.
inline TokenList Tok(std::string_view utf8) {
    return SplitTokens(Utf8ToCp932(utf8));
}
inline std::string S(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

} // namespace quolis::test
