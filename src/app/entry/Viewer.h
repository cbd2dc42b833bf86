#pragma once
// The content viewer mode of the program: `--view-model FOLDER\ANIM` and
// `--view-mesh NAME` show one model or mesh turning slowly under the battle
// light instead of starting the game; `--view-stage FILE` shows the floor and
// walls of one stage file of the stage archive, seen whole.
#include "platform/LaunchOptions.h"
#include "platform/sdl/PlatformHost.h"

#include <string>
#include <vector>

namespace quolis {

struct ViewerRequest {
    bool model = false;
    bool mesh = false;
    bool stage = false;
    std::string name; // CP932, as the content names it
};

// Takes "--view-model NAME" / "--view-mesh NAME" / "--view-stage FILE" out of
// the arguments. The name is given in UTF-8 on the command line. False with
// `error` set when the option has no name or more than one is given.
bool TakeViewerOptions(std::vector<const char*>& args, ViewerRequest* request, std::string* error);

// Runs the viewer on an open host until the window closes or the frame limit
// of the options is reached; writes the requested screenshots. Returns the
// exit status.
int RunViewer(PlatformHost& host, const LaunchOptions& options, const ViewerRequest& request);

} // namespace quolis
