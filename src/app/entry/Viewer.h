#pragma once
// The content viewer mode of the program: `--view-model FOLDER\ANIM` and
// `--view-mesh NAME` show one model or mesh turning slowly under the battle
// light instead of starting the game; `--view-stage FILE` shows the floor and
// walls of one stage file of the stage archive, seen whole; `--view-attack
// NAME` plays one attack between two creatures, again and again.
#include "platform/LaunchOptions.h"
#include "platform/sdl/PlatformHost.h"

#include <string>
#include <vector>

namespace quolis {

struct ViewerRequest {
    bool model = false;
    bool mesh = false;
    bool stage = false;
    bool attack = false;
    std::string name; // CP932, as the content names it
    // --view-attack: the creature types (CP932; empty: the first type of the
    // table that learns the attack) and the target's HP (negative: 500).
    std::string attackerType;
    std::string targetType;
    int targetHP = -1;
    // --strip DIR: the attack viewer plays the attack once (every attack of
    // the table one after another for the name "*") and writes the moments
    // of each as one strip of frames, DIR/attack_NN.png, then ends.
    std::string stripDir;
};

// Takes "--view-model NAME" / "--view-mesh NAME" / "--view-stage FILE" /
// "--view-attack NAME" (with "--attacker TYPE", "--target TYPE", "--hp N") out
// of the arguments. The name is given in UTF-8 on the command line. False with
// `error` set when the option has no name or more than one is given.
bool TakeViewerOptions(std::vector<const char*>& args, ViewerRequest* request, std::string* error);

// Runs the viewer on an open host until the window closes or the frame limit
// of the options is reached; writes the requested screenshots. Returns the
// exit status.
int RunViewer(PlatformHost& host, const LaunchOptions& options, const ViewerRequest& request);

} // namespace quolis
