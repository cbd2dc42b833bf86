#pragma once
// A static walk over one story script: what it loads (pictures, music,
// sounds), where it jumps, which variables it declares and uses, and the
// dialogue it shows. It follows the statement table of the script language
// without running anything, so every branch is seen.
#include "data/DatArchive.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace quolis::qcheck {

struct ScriptMessage {
    std::string label; // the label the message box shows ("カイ：", "" for narration)
    std::string text;
};

struct ScriptFacts {
    std::map<std::string, std::string> textures; // texture variable -> picture file
    std::vector<std::string> textureUses;        // variables named by picture statements
    std::set<std::string> music;                 // MIDI files (name + ".mid")
    std::map<std::string, std::string> sounds;   // cue -> sound file (SELoad)
    std::vector<std::string> soundPlays;         // cues played (SEPlay)
    std::set<std::string> jumps;                 // script files run next ("goto", "Save" resume)
    std::vector<std::string> buttonItems;        // item names of button menus
    std::set<std::string> intDeclared, stringDeclared;
    std::vector<std::string> variableUses; // INT and string variables read or assigned
    std::vector<ScriptMessage> messages;
    std::vector<std::string> problems; // malformed statements (CP932)
};

// Walks the tokens of one script (comments already removed).
ScriptFacts ScanScript(const TokenList& tokens);

// The label a speaker token gives, as the message box shows it.
std::string SpeakerLabel(const std::string& speakerToken,
                         const std::map<std::string, std::string>& textures);

} // namespace quolis::qcheck
