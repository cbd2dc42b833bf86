#pragma once
// The two scenes at the start of the game: the logo (scene 0, first start
// only) and the title (scene 1) with its three buttons and the load list.
#include "app/GameApp.h"
#include "common/Stopwatch.h"

namespace quolis {

// A timed wait that starts on its first call: the stopwatch is restarted and
// each later call compares its elapsed time with the threshold. The wait is
// over once; a scene that ends the wait early clears it as well.
class COneShotWait {
public:
    // True once `seconds` have passed since the first call.
    bool Done(CStopwatch& watch, float seconds);
    void Clear() { started_ = false; }
    bool Started() const { return started_; }

private:
    bool started_ = false;
    float threshold_ = 0;
};

// Installs the logo and title scene handlers on the application.
void InstallTitleScenes(CGameApp& app);

// The title's button names (CP932).
std::string TitleContinueName();
std::string TitleStartName();
std::string TitleKeyConfigName();

} // namespace quolis
