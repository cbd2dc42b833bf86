#pragma once
// Paths inside the game keep their original form ("GameData\Save\Save1.Dat",
// CP932, backslashes). HostPath turns such a path into a path on this machine.
#include <string>
#include <string_view>

namespace quolis {

// The game's working folder: the folder that holds "GameData". Relative game
// paths are resolved against it. Empty means the process working directory.
void SetGameRoot(std::string hostDir);
const std::string& GameRoot();

// CP932 game path -> UTF-8 host path: convert the encoding first, then turn
// '\' into '/' (a CP932 trail byte can be 0x5C, so the order matters).
// Relative paths are placed under GameRoot().
std::string HostPath(std::string_view gamePath);

// The same conversion without the game root (for names inside archives).
std::string HostRelativePath(std::string_view gamePath);

// Host path of the running executable's folder, empty when unknown.
std::string ExecutableDir();

} // namespace quolis
