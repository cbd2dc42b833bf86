// Setting.Dat and User.ini token scans on arbitrary bytes: they must stay
// inside the token list whatever it holds.
#include "app/Settings.h"
#include "data/Tokens.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quolis::TokenList tokens = quolis::SplitTokens(text);
    quolis::RemoveComments(tokens);
    quolis::GameSettings game;
    quolis::ParseGameSettings(tokens, game);
    quolis::ScaleSpeeds(game, 1.5f);
    if (game.scaled[quolis::kSpeedCharaMove] > 1.0f) {
        std::abort();
    }
    quolis::UserSettings user;
    quolis::ParseUserSettings(tokens, user);
    quolis::TokenList written = quolis::ComposeUserSettings(user);
    if (written.size() != 10) {
        std::abort();
    }
    return 0;
}
