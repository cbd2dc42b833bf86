#pragma once
// Runs a script without a window: every wait is answered with decide (the
// current item of a menu is chosen), every message and every statement with an
// effect is written out in UTF-8, and the variables are listed at the end. The
// script author's check behind "qscript run".
#include "common/Clock.h"
#include "script/Script.h"

#include <ostream>

namespace quolis {

struct HeadlessLimits {
    int maxPresses = 10000;         // decide presses before giving up
    int maxUpdatesPerWait = 100000; // logic steps of typing or fading per press
};

// An observer that writes effects ("* MIDIPlay Op.mid") and messages
// ("> text", breaks as new lines) to a stream in UTF-8.
class PrintingObserver final : public ScriptObserver {
public:
    explicit PrintingObserver(std::ostream& out) : out_(out) {}
    void OnEffect(std::string_view what) override;
    void OnMessage(std::string_view message) override;

private:
    std::ostream& out_;
};

// Runs `name` to its end with `script` (already set up with the observer and
// `clock`); the clock moves 16 ms per logic step. Returns 0 when the script
// came to its end or made a scene request, 1 when it could not be read, 2 when
// it did not finish within the limits, 3 when it was aborted by an error (the
// line written names the file, the statement and the token).
int RunHeadless(CScript& script, ManualClock& clock, std::string_view name, std::ostream& out,
                const HeadlessLimits& limits = {});

// Writes the INT and string variables in name order.
void PrintVariables(const CScript& script, std::ostream& out);

} // namespace quolis
