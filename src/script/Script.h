#pragma once
// CScript: the story script interpreter. A scene runs a script file or a
// ready token list, the application's script service steps it on each decide
// press, and the scene calls Update every logic step and Draw in its draw
// handler. Statements and their results are those of the game's script
// language; see Script.cpp.
//
// Hosting: LoadData creates the CScript; BuildScene calls SetUp with the ports
// (DatScriptStorage on the content reader, CScriptAudioPort on CSound/CMidi,
// CEngineScriptTextures, a ScriptHost that clears action triggers, the clock
// and the calendar) and draws through a CEngineMsgCanvas; EnterScene runs an
// empty token list; the services -1000..-1110 go through RunScriptService;
// SetBrightness reaches SetBrightness here; LeaveScene calls ReleasePictures.
#include "common/Clock.h"
#include "common/Status.h"
#include "data/DatArchive.h"
#include "script/MessageBox.h"
#include "script/ScriptPorts.h"
#include "script/ScriptSave.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

// Step results besides S_OK and E_FAIL.
constexpr HRESULT kScriptBusy = -1000;
constexpr HRESULT kScriptGameEnd = -1;
constexpr HRESULT kScriptBattle = 10000;
constexpr HRESULT kScriptMap = 20000;
constexpr HRESULT kScriptTitle = 30000;

// Why a script stopped running. `None` while it runs or waits for a key.
enum class ScriptStopKind { None, EndOfScript, GameEnd, SceneRequest, Error };
enum class ScriptError {
    None,
    UndeclaredVariable, // an INT or string variable used before "INT"/"string"
    MalformedStatement, // a statement without its parts ("{", a menu's layout, …)
    MissingFile,        // a script or save file that cannot be read
    MissingTexture,     // a texture variable never set with "Texture"
    TooDeep,            // nesting beyond the limits (looping "goto" chains, deep "if")
};
struct ScriptStop {
    ScriptStopKind kind = ScriptStopKind::None;
    ScriptError error = ScriptError::None;
    // For an error: the script file, the token index where the failing
    // statement starts and of the offending token (0-based; both are
    // `kNoToken` when the failure belongs to no statement), the statement's
    // tokens joined by spaces and the variable or file concerned (CP932).
    static constexpr std::size_t kNoToken = static_cast<std::size_t>(-1);
    std::string file;
    std::size_t statement = kNoToken;
    std::size_t token = kNoToken;
    std::string text;
    std::string name;
};
// One line (UTF-8) for the log and the tools: "end of the script",
// "GameEnd", "scene request", or where and why the script was aborted.
std::string DescribeScriptStop(const ScriptStop& stop);

// Keys the script service passes on while a menu is shown.
enum class ScriptMenuKey { Up, Down, Left, Right, Decide, Cancel };

// Everything CScript needs from the outside. Calendar and observer may be null
// (the system calendar / no observer); the others are required.
struct ScriptPortsRef {
    ScriptStorage* storage = nullptr;
    ScriptAudio* audio = nullptr;
    ScriptTextures* textures = nullptr;
    ScriptHost* host = nullptr;
    Clock* clock = nullptr;
    Calendar* calendar = nullptr;
    ScriptObserver* observer = nullptr;
};

class CScript {
public:
    // The name of the string variable that receives the chosen menu item.
    static constexpr const char* kMenuResult = "$MenuResult";
    // Nested runs of files within one step ("goto" chains, "Load"): beyond
    // this the script is taken as looping and stopped.
    static constexpr int kMaxNestedRuns = 32;

    CScript();

    // Set-up for a scene: registers the menu cues, creates the thirteen
    // drawables and loads the message-box pictures, applies the layout.
    void SetUp(const ScriptPortsRef& ports, std::string_view font = {}, int fontSize = 12,
               bool bold = true);
    void Show(bool visible) { visible_ = visible; }
    bool Visible() const { return visible_; }

    // Starts the script file `name` and runs its first step; E_FAIL (and an
    // error stop) when it cannot be read.
    HRESULT RunFile(std::string_view name);
    HRESULT RunTokens(const TokenList& tokens, bool autoNewline);
    HRESULT Step(bool single = false);
    HRESULT StepOnKey();
    void Update();
    // Draws the message box; E_FAIL when a button has no picture.
    HRESULT Draw(MsgCanvas& canvas);

    // Menu navigation: directions move the current item (cue "方向キー音"),
    // decide chooses it (cue "決定キー音") and answers like a step.
    // kScriptBusy when no menu is shown or nothing happened.
    HRESULT MenuKey(ScriptMenuKey key);

    void SetBrightness(int level) { box_.SetBrightness(level); }
    void AddBrightness(int delta) { box_.AddBrightness(delta); }
    void SetBrightnessRange(int lower, int upper) { box_.SetBrightnessRange(lower, upper); }
    void ReleasePictures() { box_.Release(); }

    // State, for the scenes, tests and tools.
    bool Running() const { return running_; }
    bool Typing() const { return typing_; }
    bool FadeBusy() const { return picFade_.busy || volFade_.busy; }
    bool MenuShown() const { return box_.MenuShown(); }
    const std::string& Message() const { return message_; }
    const std::string& ShownText() const { return shown_; }
    const std::string& Label() const { return label_; }
    const std::string& SpeakerName() const { return speaker_; }
    const std::string& CurrentScriptName() const { return currentName_; }
    const std::string& RecordedScriptName() const { return recordedName_; }
    std::size_t Cursor() const { return cursor_; }
    std::uint32_t TypingPosition() const { return typingPos_; }
    bool AutoNewline() const { return autoNewline_; }
    std::int32_t LineLength() const { return lineLength_; }
    const MsgSwitches& Switches() const { return switches_; }
    CMessageBox& Box() { return box_; }
    const CMessageBox& Box() const { return box_; }
    const std::map<std::string, std::string>& TextureVars() const { return textureVars_; }
    const IntVars& IntVariables() const { return intVars_; }
    // Why the script last stopped; cleared when a script starts. The first
    // error of a run is kept (later steps only answer that it has ended).
    const ScriptStop& Stop() const { return stop_; }
    const StringVars& StringVariables() const { return stringVars_; }

private:
    struct Outcome {
        bool ends = false; // the statement ends the step with `result`
        HRESULT result = S_OK;
        bool dialogue = false; // a dialogue line (waits, except inside a block)
    };
    struct PicFade {
        bool busy = false;
        bool in = false;
        int state = 0; // 0 idle, 1 running, 2 finishing
        std::uint32_t mark = 0;
        std::vector<MsgPart> pictures;
        std::vector<MsgPart> texts;
    };
    struct VolFade {
        bool busy = false;
        bool in = false;
        int state = 0;
        std::int32_t volume = 0;
    };

    std::string_view Tok(std::size_t i) const;
    bool AtEnd() const { return cursor_ >= tokens_.size(); }
    void Finish();
    HRESULT Load(std::string_view name);
    HRESULT RunNested(std::string_view name, ScriptStop missing);
    void NoteStop(ScriptStopKind kind);
    ScriptStop ErrorAt(ScriptError error, std::size_t statement, std::size_t token,
                       std::string_view name) const;
    void Abort(ScriptStop stop);
    void Abort(ScriptError error, std::size_t statement, std::size_t token, std::string_view name);
    std::string StatementText(std::size_t statement, std::size_t token) const;
    HRESULT LoadOnce(std::string_view name);
    Outcome Exec(bool single);
    Outcome ExecIf(std::size_t start);
    Outcome ExecSwitch(std::size_t start);
    void SkipBlock(); // cursor just after "{": moves past its matching "}"
    void Dialogue();
    void SetMessage(std::string_view text);
    Outcome StartFade(bool in, std::string_view target);
    Outcome ParseButtonMenu(bool text, std::size_t start);
    void BuildSlotMenu(std::string_view payload, bool load);
    HRESULT SaveTo(std::string_view resume, std::string_view name);
    // `statement`: the token index of the "Load" statement (kNoToken for a
    // load chosen from the slot menu), for the error report.
    HRESULT LoadFrom(std::string_view name, std::size_t statement);
    HRESULT ChooseMenuItem();
    bool Operand(std::string_view tok, std::int32_t& out);
    std::string StringValue(std::string_view tok) const;
    const std::string* TextureFile(std::string_view var) const;
    MsgDrawable* SlotByName(std::string_view name);
    MsgDrawable* PositionTarget(std::string_view name);
    void PictureFadeTick();
    void VolumeFadeTick();
    void Effect(std::string_view what);

    ScriptPortsRef ports_;
    NullScriptAudio nullAudio_;
    NullScriptTextures nullTextures_;
    NullScriptHost nullHost_;
    SystemCalendar systemCalendar_;

    CMessageBox box_;
    bool visible_ = false;
    TokenList tokens_;
    std::size_t cursor_ = 0;
    std::string scriptDir_ = "GameData\\Text\\";
    std::string currentName_ = "Nothing";
    std::string recordedName_;
    std::map<std::string, std::string> textureVars_;
    IntVars intVars_;
    StringVars stringVars_;
    std::string message_, label_, speaker_, shown_;
    std::uint32_t typingPos_ = 0;
    bool running_ = false;
    bool typing_ = false;
    PicFade picFade_;
    VolFade volFade_;
    bool loadMenu_ = false;
    bool saveMenu_ = false;
    bool autoNewline_ = true;
    std::int32_t lineLength_ = 52;
    MsgSwitches switches_;
    int nestedRuns_ = 0;
    int blockDepth_ = 0;
    ScriptStop stop_;
};

} // namespace quolis
