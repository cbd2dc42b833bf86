// Random token lists through the script interpreter: statements cut off,
// unbalanced braces, goto chains, menus, fades and save data, with a bounded
// number of key presses and logic steps.
#include "common/Clock.h"
#include "common/Text.h"
#include "data/Tokens.h"
#include "script/Script.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace quolis;

const std::vector<std::string>& Vocabulary() {
    static const std::vector<std::string> v = [] {
        std::vector<std::string> w = {"switch",
                                      "(",
                                      ")",
                                      "{",
                                      "}",
                                      "case",
                                      ":",
                                      "break",
                                      "if",
                                      "&&",
                                      "||",
                                      "==",
                                      ">=",
                                      "<=",
                                      ">",
                                      "<",
                                      "goto",
                                      "A",
                                      "B",
                                      "NextScriptFile",
                                      "GameEnd",
                                      "Battle",
                                      "Map",
                                      "TITLE",
                                      "autonewline",
                                      "on",
                                      "off",
                                      "newlinecharnum",
                                      "setposition",
                                      "charapic",
                                      "charapicframe",
                                      "serifu",
                                      "serifuframe",
                                      "default",
                                      "FadeIn",
                                      "FadeOut",
                                      "Right",
                                      "Center",
                                      "Left",
                                      "Images",
                                      "All",
                                      "Volume",
                                      "MIDILoad",
                                      "MIDIPlay",
                                      "MIDIStop",
                                      "volume",
                                      "SELoad",
                                      "SEPlay",
                                      "Texture",
                                      "TexLoad",
                                      "TexUnload",
                                      "BG",
                                      "WideCenter",
                                      "2dpoly1",
                                      "Clear",
                                      "INT",
                                      "string",
                                      "%a",
                                      "%b",
                                      "$s",
                                      "$t",
                                      "=",
                                      ".",
                                      "ButtonMenu",
                                      "FontMenu",
                                      "InsideSerifuFrame",
                                      "format",
                                      "menuitem",
                                      "SaveMenu",
                                      "LoadMenu",
                                      "Save",
                                      "Load",
                                      "savedata\\save1",
                                      "0",
                                      "1",
                                      "2",
                                      "-1",
                                      "2147483647",
                                      "99999999999",
                                      "Nothing",
                                      "x.bmp"};
        for (const char* u :
             {"フォーマット", "メニューアイテム", "キーコンフィグ", "ナレーション：", "＊甲：",
              "甲：", "甲・乙：", "甲ボタン", "甲", "ャF"}) {
            w.push_back(Utf8ToCp932(u));
        }
        return w;
    }();
    return v;
}

TokenList MakeTokens(const std::uint8_t* data, std::size_t size, std::size_t& i) {
    const auto& vocab = Vocabulary();
    TokenList out;
    while (i < size) {
        const std::uint8_t b = data[i++];
        if (b == 0xFF) {
            break; // end of this list
        }
        if (b < vocab.size()) {
            out.push_back(vocab[b]);
        } else {
            // A raw token of up to 4 bytes (may hold broken double-byte text).
            std::string raw;
            for (int k = 0; k < (b & 3) + 1 && i < size; ++k) {
                raw.push_back(static_cast<char>(data[i++]));
            }
            out.push_back(raw);
        }
    }
    return out;
}

struct NullCanvas final : MsgCanvas {
    void DrawPicture(const MsgDrawable&) override {}
    void DrawText(const MsgDrawable&, std::string_view, float, float, int, bool) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    MemoryScriptStorage storage;
    const TokenList main = MakeTokens(data, size, i);
    storage.scripts["A.Dat"] = MakeTokens(data, size, i);
    storage.scripts["B.Dat"] = MakeTokens(data, size, i);
    storage.files["GameData\\Text\\savedata\\save1.Dat"] = MakeTokens(data, size, i);

    ManualClock clock;
    FixedCalendar calendar(1046873220);
    ScriptPortsRef ports;
    ports.storage = &storage;
    ports.clock = &clock;
    ports.calendar = &calendar;
    CScript script;
    script.SetUp(ports);
    script.Show(true);
    script.RunTokens(main, (size & 1) != 0);
    NullCanvas canvas;
    for (int press = 0; press < 64; ++press) {
        for (int u = 0; u < 400 && (script.Typing() || script.FadeBusy() || u == 0); ++u) {
            clock.Advance(16);
            script.Update();
        }
        script.Draw(canvas);
        HRESULT hr;
        if (script.MenuShown()) {
            const int k = (press < static_cast<int>(size) ? data[press] : 0) % 6;
            hr = script.MenuKey(static_cast<ScriptMenuKey>(k));
        } else {
            hr = script.StepOnKey();
        }
        if (hr == E_FAIL && !script.Running()) {
            break;
        }
    }
    return 0;
}
