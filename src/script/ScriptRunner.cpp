#include "script/ScriptRunner.h"

#include "common/Text.h"

namespace quolis {

void PrintingObserver::OnEffect(std::string_view what) {
    out_ << "* " << Cp932ToUtf8(what) << "\n";
}

void PrintingObserver::OnMessage(std::string_view message) {
    std::string text = Cp932ToUtf8(message);
    // Breaks come in pairs; show each pair as one new line.
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines += "\n  ";
            continue;
        }
        lines += text[i];
    }
    while (!lines.empty() && (lines.back() == ' ' || lines.back() == '\n')) {
        lines.pop_back();
    }
    out_ << "> " << lines << "\n";
}

namespace {

// Lets typing and fades run out; false when they do not within the limit.
bool Settle(CScript& script, ManualClock& clock, int limit) {
    for (int i = 0; i < limit; ++i) {
        clock.Advance(16);
        script.Update();
        if (!script.Typing() && !script.FadeBusy()) {
            return true;
        }
    }
    return false;
}

const char* SceneRequest(HRESULT hr) {
    switch (hr) {
    case kScriptGameEnd:
        return "GameEnd";
    case kScriptBattle:
        return "Battle";
    case kScriptMap:
        return "Map";
    case kScriptTitle:
        return "TITLE";
    default:
        return nullptr;
    }
}

} // namespace

int RunHeadless(CScript& script, ManualClock& clock, std::string_view name, std::ostream& out,
                const HeadlessLimits& limits) {
    script.Show(true);
    if (Failed(script.RunFile(name))) {
        out << "cannot read the script " << Cp932ToUtf8(name) << "\n";
        return 1;
    }
    for (int press = 0; press < limits.maxPresses; ++press) {
        if (!Settle(script, clock, limits.maxUpdatesPerWait)) {
            out << "the script does not settle\n";
            return 2;
        }
        HRESULT hr;
        if (script.MenuShown()) {
            hr = script.MenuKey(ScriptMenuKey::Decide);
            if (hr == kScriptBusy) {
                out << "the menu's current item cannot be chosen\n";
                return 2;
            }
        } else {
            hr = script.StepOnKey();
        }
        if (script.Stop().kind == ScriptStopKind::Error) {
            out << DescribeScriptStop(script.Stop()) << "\n";
            return 3;
        }
        if (hr == E_FAIL) {
            out << "finished\n";
            return 0;
        }
        if (const char* req = SceneRequest(hr)) {
            out << "scene request " << req << " (" << hr << ")\n";
            return 0;
        }
    }
    out << "still running after " << limits.maxPresses << " presses\n";
    return 2;
}

void PrintVariables(const CScript& script, std::ostream& out) {
    for (const auto& [k, v] : script.IntVariables()) {
        out << "INT " << Cp932ToUtf8(k) << " = " << v << "\n";
    }
    for (const auto& [k, v] : script.StringVariables()) {
        out << "string " << Cp932ToUtf8(k) << " = " << Cp932ToUtf8(v) << "\n";
    }
}

} // namespace quolis
