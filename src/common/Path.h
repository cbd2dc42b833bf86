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
// Relative paths are placed under GameRoot(). With case folding on, each
// component below the game root that does not exist as written is matched
// against its folder's entries with ASCII letters folded (data copied from
// Windows names "GameData\Texture" what the disk may hold as "gamedata/TEXTURE").
std::string HostPath(std::string_view gamePath);

// Loose-file runs of the game switch case folding on (off by default).
void SetHostPathCaseFolding(bool enabled);
bool HostPathCaseFolding();

// The case folding on its own: `rel` (host form, '/' separators) below the
// existing folder `base`. Components without a match are kept as written;
// when two entries of a folder fold alike, the first in directory order is
// taken and the choice is logged.
std::string FoldHostPathCase(const std::string& base, std::string_view rel);

// The same conversion without the game root (for names inside archives).
std::string HostRelativePath(std::string_view gamePath);

// Host path of the running executable's folder, empty when unknown.
std::string ExecutableDir();

} // namespace quolis
