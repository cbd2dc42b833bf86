#pragma once
// Where the game finds its data and where it keeps what it writes.
//
// The data ("GameData") is looked for in the --data folder, beside the
// executable, in the working directory, and in the installed share folder
// (<prefix>/share/quolis, found from the executable's own place first, so a
// relocated or DESTDIR install works too, then the prefix built into the
// program).
//
// What the game writes (saves, User.ini, InputSetting.ini, script saves,
// the window state) stays beside the data when that folder is writable (a
// build folder, a copied original GameData), as the game always did. An
// installed or read-only data folder sends them to the player's own folder,
// $XDG_DATA_HOME/quolis (by default ~/.local/share/quolis); --user-dir DIR
// names that folder outright.
#include <functional>
#include <string>

namespace quolis {

struct DataLocation {
    std::string root;       // the folder that holds "GameData"; empty: the working directory
    bool installed = false; // found in an installed share folder
};

struct FolderSearch {
    std::string dataOption; // --data DIR
    std::string exeDir;     // the executable's folder
    std::string builtInDir; // the installed data folder the program was built for
};

// The first of: --data; the executable's folder when it holds "GameData";
// the working directory when it does; <exe>/../share/quolis; the built-in
// data folder. When none holds "GameData", the working directory (start-up
// then fails naming the missing file, as before).
DataLocation LocateGameData(const FolderSearch& search);

// The environment the player's folder is derived from.
struct UserFolderEnvironment {
    std::string userDirOption; // --user-dir DIR
    std::string xdgDataHome;   // $XDG_DATA_HOME (ignored unless absolute)
    std::string home;          // $HOME
};

// The player's folder, or empty to keep writing beside the data.
// `dataWritable` tells whether the data folder takes new files.
std::string ChooseUserFolder(const DataLocation& data, const UserFolderEnvironment& env,
                             bool dataWritable);

// Whether the game can write its files beside the data: "GameData" and its
// Save, Ini and Text\savedata folders (those that exist) accept new files.
bool DataFolderWritable(const std::string& root);

// Creates the player's folder when missing. False with a one-line reason
// when it cannot be created or written.
bool PrepareUserFolder(const std::string& dir, std::string* error);

} // namespace quolis
