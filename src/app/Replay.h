#pragma once
// Recording and replaying the platform input per pass of the loop: every
// input event (and every window-menu command) is written with the number of
// the pass that received it, so a replay with the fixed clock step feeds the
// game exactly the same input at exactly the same points.
//
// File format (UTF-8 text, one record per line):
//   quolis-input 1
//   <pass> E <kind> <device> <code> <down> <value> <x> <y>
//   <pass> M <command id>
//   end <passes>
#include "platform/InputEvents.h"

#include <string>
#include <string_view>
#include <vector>

namespace quolis {

struct ReplayRecord {
    int pass = 0;
    bool command = false; // a window-menu command instead of an event
    int commandId = 0;
    InputEvent event;
};

struct ReplayScript {
    std::vector<ReplayRecord> records; // in pass order
    int passes = 0;                    // the pass the recording ended at
};

// Parses a replay file. False with a one-line reason for anything that is
// not a well-formed record (unknown kinds, out-of-range values, passes out
// of order).
bool ParseReplay(std::string_view text, ReplayScript& out, std::string* error);
std::string FormatReplayRecord(const ReplayRecord& r);

// Captures what each pass received.
class InputRecorder {
public:
    // Takes every waiting event out of the queue, notes it under `pass` and
    // puts it back (device order within each device is kept).
    void Capture(int pass, InputEventQueue& queue);
    void NoteCommand(int pass, int id);
    // The whole recording, ended at `passes`.
    std::string Text(int passes) const;

private:
    std::string text_ = "quolis-input 1\n";
    std::vector<InputEvent> scratch_;
};

// Feeds a recording back.
class InputReplayer {
public:
    explicit InputReplayer(ReplayScript script) : script_(std::move(script)) {}
    // Drops whatever the window system delivered and pushes the events of
    // `pass`; the commands of that pass are appended to `commands`.
    void Feed(int pass, InputEventQueue& queue, std::vector<int>& commands);
    // True once the recorded passes are all played.
    bool Finished(int pass) const { return pass >= script_.passes; }

private:
    ReplayScript script_;
    std::size_t next_ = 0;
};

} // namespace quolis
