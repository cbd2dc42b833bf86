// qscript run GAMEDATA FILE
//   Runs the story script FILE ("Prologue\1.Dat") of the game folder GAMEDATA
//   (the "GameData" folder or the folder that holds it) without a window,
//   pressing decide whenever the script waits. Prints every message, every
//   statement with an effect and the final variables, in UTF-8.
#include "common/Clock.h"
#include "common/Path.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "script/DatScriptStorage.h"
#include "script/Script.h"
#include "script/ScriptRunner.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: qscript run GAMEDATA FILE\n"
                 "  GAMEDATA  the GameData folder, or the folder that holds it\n"
                 "  FILE      script name inside GameData\\Text, e.g. Prologue\\1.Dat\n";
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    using namespace quolis;
    if (argc != 4 || std::string(argv[1]) != "run") {
        return Usage();
    }
    std::filesystem::path root(argv[2]);
    if (root.filename() == "GameData" ||
        (root.filename().empty() && root.parent_path().filename() == "GameData")) {
        root = root.filename().empty() ? root.parent_path().parent_path() : root.parent_path();
    }
    if (!std::filesystem::is_directory(root / "GameData")) {
        std::cerr << "qscript: no GameData folder in " << root.string() << "\n";
        return 66;
    }
    SetGameRoot(root.string());
    const bool archive = std::filesystem::exists(root / "GameData" / "Text" / "Text.Dat");
    CDatArchive content(false, archive);
    DatScriptStorage storage(content);
    ManualClock clock;
    SystemCalendar calendar;
    PrintingObserver observer(std::cout);
    ScriptPortsRef ports;
    ports.storage = &storage;
    ports.clock = &clock;
    ports.calendar = &calendar;
    ports.observer = &observer;
    CScript script;
    script.SetUp(ports);
    const int rc = RunHeadless(script, clock, Utf8ToCp932(argv[3]), std::cout);
    std::cout << "-- variables\n";
    PrintVariables(script, std::cout);
    return rc;
}
