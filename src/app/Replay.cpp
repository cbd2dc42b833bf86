#include "app/Replay.h"

#include <charconv>
#include <sstream>

namespace quolis {

namespace {

bool ParseInt(std::string_view s, int& out) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> f;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            f.push_back(line.substr(start, i - start));
        }
    }
    return f;
}

constexpr int kLastKind = static_cast<int>(InputEventKind::CloseRequested);

} // namespace

bool ParseReplay(std::string_view text, ReplayScript& out, std::string* error) {
    out = ReplayScript{};
    int lineNo = 0;
    bool header = false;
    bool ended = false;
    auto fail = [&](const char* why) {
        *error = "replay line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++lineNo;
        std::vector<std::string_view> f = Fields(line);
        if (f.empty()) {
            continue;
        }
        if (!header) {
            if (f.size() != 2 || f[0] != "quolis-input" || f[1] != "1") {
                return fail("not a quolis input recording");
            }
            header = true;
            continue;
        }
        if (ended) {
            return fail("records after the end");
        }
        if (f[0] == "end") {
            if (f.size() != 2 || !ParseInt(f[1], out.passes) || out.passes < 0) {
                return fail("bad end record");
            }
            if (!out.records.empty() && out.records.back().pass > out.passes) {
                return fail("end before the last record");
            }
            ended = true;
            continue;
        }
        ReplayRecord r;
        if (f.size() < 2 || !ParseInt(f[0], r.pass) || r.pass < 0) {
            return fail("bad pass number");
        }
        if (!out.records.empty() && r.pass < out.records.back().pass) {
            return fail("passes out of order");
        }
        if (f[1] == "M") {
            if (f.size() != 3 || !ParseInt(f[2], r.commandId)) {
                return fail("bad command record");
            }
            r.command = true;
        } else if (f[1] == "E") {
            int v[7];
            if (f.size() != 9) {
                return fail("bad event record");
            }
            for (int i = 0; i < 7; ++i) {
                if (!ParseInt(f[2 + i], v[i])) {
                    return fail("bad event field");
                }
            }
            if (v[0] < 0 || v[0] > kLastKind || v[1] < 0 || v[1] >= kInputDeviceCount || v[2] < 0 ||
                v[2] > 255 || v[3] < 0 || v[3] > 1) {
                return fail("event field out of range");
            }
            r.event.kind = static_cast<InputEventKind>(v[0]);
            r.event.device = static_cast<InputDeviceIndex>(v[1]);
            r.event.code = v[2];
            r.event.down = v[3] != 0;
            r.event.value = v[4];
            r.event.x = v[5];
            r.event.y = v[6];
        } else {
            return fail("unknown record");
        }
        out.records.push_back(r);
    }
    if (!header) {
        *error = "replay: empty file";
        return false;
    }
    if (!ended) {
        out.passes = out.records.empty() ? 0 : out.records.back().pass + 1;
    }
    return true;
}

std::string FormatReplayRecord(const ReplayRecord& r) {
    std::ostringstream s;
    if (r.command) {
        s << r.pass << " M " << r.commandId << "\n";
    } else {
        const InputEvent& e = r.event;
        s << r.pass << " E " << static_cast<int>(e.kind) << " " << static_cast<int>(e.device) << " "
          << e.code << " " << (e.down ? 1 : 0) << " " << e.value << " " << e.x << " " << e.y
          << "\n";
    }
    return s.str();
}

void InputRecorder::Capture(int pass, InputEventQueue& queue) {
    scratch_.clear();
    InputEvent e;
    for (int d = 0; d < kInputDeviceCount; ++d) {
        while (queue.PopDevice(static_cast<InputDeviceIndex>(d), &e)) {
            scratch_.push_back(e);
        }
    }
    while (queue.PopWindow(&e)) {
        scratch_.push_back(e);
    }
    for (const InputEvent& ev : scratch_) {
        ReplayRecord r;
        r.pass = pass;
        r.event = ev;
        text_ += FormatReplayRecord(r);
        queue.Push(ev);
    }
}

void InputRecorder::NoteCommand(int pass, int id) {
    ReplayRecord r;
    r.pass = pass;
    r.command = true;
    r.commandId = id;
    text_ += FormatReplayRecord(r);
}

std::string InputRecorder::Text(int passes) const {
    return text_ + "end " + std::to_string(passes) + "\n";
}

void InputReplayer::Feed(int pass, InputEventQueue& queue, std::vector<int>& commands) {
    bool present[kInputDeviceCount];
    for (int d = 0; d < kInputDeviceCount; ++d) {
        present[d] = queue.Present(static_cast<InputDeviceIndex>(d));
    }
    queue.Clear();
    for (int d = 0; d < kInputDeviceCount; ++d) {
        queue.SetPresent(static_cast<InputDeviceIndex>(d), present[d]);
    }
    while (next_ < script_.records.size() && script_.records[next_].pass <= pass) {
        const ReplayRecord& r = script_.records[next_++];
        if (r.pass < pass) {
            continue; // a pass that was skipped
        }
        if (r.command) {
            commands.push_back(r.commandId);
        } else {
            queue.Push(r.event);
        }
    }
}

} // namespace quolis
