#pragma once
// The key and menu cues each scene registers while it is built.
#include "common/Status.h"

namespace quolis {

class CSound;

// Registers the cues of scene `scene` (0 Logo … 11 Ending) with `sound`:
// scenes 1, 3, 6-10 the five key cues, scenes 0, 2, 5, 11 the first four, the
// battle (4) its nine. Every cue is attempted; E_FAIL when any failed (a
// missing file leaves that cue unregistered, so playing it does nothing).
HRESULT RegisterSceneCues(CSound& sound, int scene);

} // namespace quolis
