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

// The player's own folder for the files the game writes (saves, settings,
// key bindings, script saves). Empty (the default) keeps every file beside
// the data, as the game always did. When set, it stands in for "GameData":
// "GameData\Save\Save1.Dat" is written as <user folder>/Save/Save1E.Dat …
void SetUserRoot(std::string hostDir);
const std::string& UserRoot();

// Host path under the user folder for a game path inside "GameData"; empty
// when no user folder is set or the path lies outside "GameData".
std::string UserHostPath(std::string_view gamePath);

// Where a plain file the game may have written is read from: the user
// folder's copy when there is one, else the file beside the data.
std::string HostReadPath(std::string_view gamePath);

// Where the game writes a plain file: the user folder when one is set (its
// missing folders are created there), else beside the data.
std::string HostWritePath(std::string_view gamePath);

// The same conversion without the game root (for names inside archives).
std::string HostRelativePath(std::string_view gamePath);

// Host path of the running executable's folder, empty when unknown.
std::string ExecutableDir();

} // namespace quolis
