#include "script/Script.h"

#include "common/Text.h"
#include "data/Tokens.h"

#include <algorithm>

namespace quolis {
namespace {

// Byte index of `needle` in `s`, stepping over double-byte characters so a
// trail byte never starts a match; npos when absent.
std::size_t SjisFind(std::string_view s, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    for (std::size_t i = 0; i < s.size(); i += SjisCharLen(s, i)) {
        if (s.substr(i, needle.size()) == needle) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string SjisRemoveAll(std::string_view s, std::string_view needle) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (!needle.empty() && s.substr(i, needle.size()) == needle) {
            i += needle.size();
            continue;
        }
        const std::size_t n = SjisCharLen(s, i);
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

bool Is(std::string_view t, std::string_view a) {
    return t == a;
}
bool Is(std::string_view t, std::string_view a, std::string_view b) {
    return t == a || t == b;
}

std::int32_t Int(std::string_view t) {
    std::int32_t v = 0;
    ScanInt(t, v);
    return v;
}

float Float(std::string_view t) {
    float v = 0;
    ScanFloat(t, v);
    return v;
}

// Nesting of "if" blocks handled within one step; deeper scripts are taken as
// malformed (the recursion would otherwise follow the input).
constexpr int kMaxBlockDepth = 64;

const char* ErrorText(ScriptError e) {
    switch (e) {
    case ScriptError::UndeclaredVariable:
        return "undeclared variable";
    case ScriptError::MalformedStatement:
        return "malformed statement";
    case ScriptError::MissingFile:
        return "cannot read the file";
    case ScriptError::MissingTexture:
        return "undefined texture variable";
    case ScriptError::TooDeep:
        return "nested too deeply";
    case ScriptError::None:
        break;
    }
    return "error";
}

} // namespace

std::string DescribeScriptStop(const ScriptStop& stop) {
    switch (stop.kind) {
    case ScriptStopKind::None:
        return "running";
    case ScriptStopKind::EndOfScript:
        return "end of the script";
    case ScriptStopKind::GameEnd:
        return "GameEnd";
    case ScriptStopKind::SceneRequest:
        return "scene request";
    case ScriptStopKind::Error:
        break;
    }
    std::string line = "aborted in " + Cp932ToUtf8(stop.file);
    if (stop.token != ScriptStop::kNoToken) {
        line += " at token " + std::to_string(stop.token + 1);
    }
    line += ": " + std::string(ErrorText(stop.error));
    if (!stop.name.empty()) {
        line += " " + Cp932ToUtf8(stop.name);
    }
    if (stop.statement != ScriptStop::kNoToken) {
        line += " in the statement \"" + Cp932ToUtf8(stop.text) + "\" (token " +
                std::to_string(stop.statement + 1) + ")";
    }
    return line;
}

CScript::CScript() = default;

void CScript::SetUp(const ScriptPortsRef& ports, std::string_view font, int fontSize, bool bold) {
    ports_ = ports;
    if (ports_.audio == nullptr) {
        ports_.audio = &nullAudio_;
    }
    if (ports_.textures == nullptr) {
        ports_.textures = &nullTextures_;
    }
    if (ports_.host == nullptr) {
        ports_.host = &nullHost_;
    }
    if (ports_.calendar == nullptr) {
        ports_.calendar = &systemCalendar_;
    }
    ports_.audio->LoadCue(SJ("方向キー音"), "DirKey.wav");
    ports_.audio->LoadCue(SJ("決定キー音"), "DecideKey.wav");
    scriptDir_ = "GameData\\Text\\";
    box_.Create(font.empty() ? std::string_view(SJ("ＭＳ Ｐゴシック")) : font, fontSize, bold);
    for (MsgPart p : {MsgPart::CharaPicFrame, MsgPart::SerifuFrame, MsgPart::Cursor}) {
        ports_.textures->Load(box_.Part(p).texture);
    }
    box_.SetBrightness(255);
    visible_ = false;
}

std::string_view CScript::Tok(std::size_t i) const {
    return i < tokens_.size() ? std::string_view(tokens_[i]) : std::string_view();
}

void CScript::Effect(std::string_view what) {
    if (ports_.observer != nullptr) {
        ports_.observer->OnEffect(what);
    }
}

void CScript::Finish() {
    message_.clear();
    shown_.clear();
    running_ = false;
    typing_ = false;
}

void CScript::NoteStop(ScriptStopKind kind) {
    if (stop_.kind != ScriptStopKind::Error) {
        stop_ = ScriptStop{};
        stop_.kind = kind;
        stop_.file = currentName_;
    }
}

// The tokens of a statement for a report: through the offending token, the
// value of an assignment, the operand of a one-word statement, or the "{" that
// opens a condition's or menu's block.
std::string CScript::StatementText(std::size_t statement, std::size_t token) const {
    if (statement >= tokens_.size()) {
        return {};
    }
    std::size_t end = std::max(statement, token == ScriptStop::kNoToken ? statement : token) + 1;
    const std::string_view kw = Tok(statement);
    if (Tok(statement + 1) == "=") {
        end = std::max(end, statement + 3);
    } else if (kw == "if" || kw == "switch" || Is(kw, "ButtonMenu", "buttonmenu") ||
               Is(kw, "FontMenu", "fontmenu")) {
        for (std::size_t i = statement; i < tokens_.size() && i < statement + 24; ++i) {
            if (Tok(i) == "{") {
                end = std::max(end, i + 1);
                break;
            }
        }
    } else {
        end = std::max(end, statement + 2);
    }
    end = std::min(end, tokens_.size());
    std::string text;
    for (std::size_t i = statement; i < end; ++i) {
        text += (i == statement ? "" : " ") + tokens_[i];
    }
    return text;
}

ScriptStop CScript::ErrorAt(ScriptError error, std::size_t statement, std::size_t token,
                            std::string_view name) const {
    ScriptStop s;
    s.kind = ScriptStopKind::Error;
    s.error = error;
    s.file = currentName_;
    s.statement = statement;
    s.token = token;
    s.text = StatementText(statement, token);
    s.name = std::string(name);
    return s;
}

void CScript::Abort(ScriptStop stop) {
    if (stop_.kind != ScriptStopKind::Error) { // the first error is the cause
        stop_ = std::move(stop);
    }
}

void CScript::Abort(ScriptError error, std::size_t statement, std::size_t token,
                    std::string_view name) {
    if (stop_.kind != ScriptStopKind::Error) {
        stop_ = ErrorAt(error, statement, token, name);
    }
}

HRESULT CScript::LoadOnce(std::string_view name) {
    TokenList list;
    if (ports_.storage == nullptr || Failed(ports_.storage->ReadScript(name, list))) {
        return E_FAIL;
    }
    stop_ = ScriptStop{};
    tokens_ = std::move(list);
    currentName_ = std::string(name);
    cursor_ = 0;
    typingPos_ = 0;
    running_ = true;
    typing_ = false;
    autoNewline_ = true;
    box_.HideMenus();
    for (MsgPart p : {MsgPart::CharaPic, MsgPart::Right, MsgPart::Left, MsgPart::Center,
                      MsgPart::BG, MsgPart::WideCenter}) {
        box_.Part(p).texture.clear();
    }
    return S_OK;
}

HRESULT CScript::Load(std::string_view name) {
    shown_.clear();
    const std::string requested(name);
    if (Succeeded(LoadOnce(requested))) {
        return S_OK;
    }
    running_ = false;
    // Reload what was running; when that cannot be read either, stop.
    const std::string current = currentName_;
    if (current != requested && Succeeded(LoadOnce(current))) {
        return S_OK;
    }
    running_ = false;
    tokens_.clear();
    cursor_ = 0;
    return E_FAIL;
}

HRESULT CScript::RunFile(std::string_view name) {
    stop_ = ScriptStop{};
    return RunNested(
        name, ErrorAt(ScriptError::MissingFile, ScriptStop::kNoToken, ScriptStop::kNoToken, name));
}

// `missing` is recorded when the file cannot be read, also when the running
// script is reloaded in its place (it goes on, but the file is missing), or
// with the error TooDeep when the runs are nested too deeply.
HRESULT CScript::RunNested(std::string_view name, ScriptStop missing) {
    if (nestedRuns_ >= kMaxNestedRuns) {
        missing.error = ScriptError::TooDeep;
        Abort(std::move(missing));
        Finish();
        tokens_.clear();
        cursor_ = 0;
        return E_FAIL;
    }
    ++nestedRuns_;
    const std::string requested(name);
    const HRESULT hr = Load(requested);
    if (Failed(hr) || currentName_ != requested) {
        Abort(std::move(missing));
    }
    if (Succeeded(hr)) {
        Step(false);
    }
    --nestedRuns_;
    return Failed(hr) ? hr : S_OK;
}

HRESULT CScript::RunTokens(const TokenList& tokens, bool autoNewline) {
    shown_.clear();
    currentName_ = "Nothing";
    stop_ = ScriptStop{};
    tokens_ = tokens;
    cursor_ = 0;
    typingPos_ = 0;
    running_ = true;
    typing_ = false;
    autoNewline_ = autoNewline;
    box_.HideMenus();
    loadMenu_ = saveMenu_ = false;
    for (MsgPart p :
         {MsgPart::CharaPic, MsgPart::Left, MsgPart::Right, MsgPart::Center, MsgPart::WideCenter}) {
        box_.Part(p).texture.clear();
    }
    Step(false);
    return S_OK;
}

HRESULT CScript::Step(bool single) {
    if (FadeBusy()) {
        return kScriptBusy;
    }
    if (box_.MenuShown()) {
        return S_OK;
    }
    if (AtEnd()) {
        Finish();
        NoteStop(ScriptStopKind::EndOfScript);
        return E_FAIL;
    }
    for (;;) {
        const Outcome o = Exec(false);
        cursor_ = std::min(cursor_, tokens_.size());
        if (o.ends) {
            return o.result;
        }
        if (AtEnd()) {
            Finish();
            NoteStop(ScriptStopKind::EndOfScript);
            return E_FAIL;
        }
        if (single) {
            return S_OK;
        }
    }
}

HRESULT CScript::StepOnKey() {
    if (typing_) {
        return kScriptBusy;
    }
    return Step(false);
}

bool CScript::Operand(std::string_view tok, std::int32_t& out) {
    if (!tok.empty() && tok[0] == '%') {
        auto it = intVars_.find(std::string(tok));
        if (it == intVars_.end()) {
            return false;
        }
        out = it->second;
        return true;
    }
    out = Int(tok);
    return true;
}

std::string CScript::StringValue(std::string_view tok) const {
    if (!tok.empty() && tok[0] == '$') {
        auto it = stringVars_.find(std::string(tok));
        if (it != stringVars_.end()) {
            return it->second;
        }
    }
    return std::string(tok);
}

const std::string* CScript::TextureFile(std::string_view var) const {
    auto it = textureVars_.find(std::string(var));
    return it == textureVars_.end() ? nullptr : &it->second;
}

MsgDrawable* CScript::SlotByName(std::string_view n) {
    if (Is(n, "BG", "bg")) {
        return &box_.Part(MsgPart::BG);
    }
    if (Is(n, "Left", "left")) {
        return &box_.Part(MsgPart::Left);
    }
    if (Is(n, "Center", "center")) {
        return &box_.Part(MsgPart::Center);
    }
    if (Is(n, "Right", "right")) {
        return &box_.Part(MsgPart::Right);
    }
    if (Is(n, "WideCenter")) {
        return &box_.Part(MsgPart::WideCenter);
    }
    return nullptr;
}

MsgDrawable* CScript::PositionTarget(std::string_view n) {
    if (n == "charapic") {
        return &box_.Part(MsgPart::CharaPic);
    }
    if (n == "charapicframe") {
        return &box_.Part(MsgPart::CharaPicFrame);
    }
    if (n == "serifu") {
        return &box_.Part(MsgPart::SerifuText);
    }
    if (n == "serifuframe") {
        return &box_.Part(MsgPart::SerifuFrame);
    }
    return nullptr;
}

void CScript::SkipBlock() {
    int depth = 0;
    while (!AtEnd()) {
        const std::string_view t = Tok(cursor_++);
        if (t == "{") {
            ++depth;
        } else if (t == "}") {
            if (depth == 0) {
                return;
            }
            --depth;
        }
    }
}

CScript::Outcome CScript::ExecIf(std::size_t start) {
    const Outcome fail{true, E_FAIL};
    cursor_ += 2; // "if" "("
    bool result = false;
    while (!AtEnd() && Tok(cursor_) != ")") {
        const std::string_view t = Tok(cursor_);
        if (t == "&&" || t == "||") {
            ++cursor_;
            continue;
        }
        std::int32_t a = 0, b = 0;
        if (!Operand(t, a)) {
            Abort(ScriptError::UndeclaredVariable, start, cursor_, t);
            return fail;
        }
        if (!Operand(Tok(cursor_ + 2), b)) {
            Abort(ScriptError::UndeclaredVariable, start, cursor_ + 2, Tok(cursor_ + 2));
            return fail;
        }
        const std::string_view op = Tok(cursor_ + 1);
        if (op == "==") {
            result = a == b;
        } else if (op == ">=") {
            result = a >= b;
        } else if (op == "<=") {
            result = a <= b;
        } else if (op == ">") {
            result = a > b;
        } else if (op == "<") {
            result = a < b;
        }
        cursor_ += 3;
    }
    ++cursor_; // ")"
    if (Tok(cursor_) != "{") {
        Abort(ScriptError::MalformedStatement, start, cursor_, {});
        return fail;
    }
    ++cursor_;
    if (!result) {
        SkipBlock();
        return {};
    }
    // The block runs at once: a dialogue line only replaces the message; any
    // other statement that ends a step ends this one.
    if (blockDepth_ >= kMaxBlockDepth) {
        Abort(ScriptError::TooDeep, start, start, {});
        return fail;
    }
    ++blockDepth_;
    Outcome out;
    while (!AtEnd()) {
        if (Tok(cursor_) == "}") {
            ++cursor_;
            break;
        }
        const Outcome o = Exec(true);
        cursor_ = std::min(cursor_, tokens_.size());
        if (o.ends && !o.dialogue) {
            out = o;
            break;
        }
    }
    --blockDepth_;
    return out;
}

CScript::Outcome CScript::ExecSwitch(std::size_t start) {
    const std::string_view var = Tok(cursor_ + 2);
    cursor_ += 5; // "switch" "(" %V ")" "{"
    std::int32_t value = 0;
    auto it = intVars_.find(std::string(var));
    if (it == intVars_.end()) {
        Abort(ScriptError::UndeclaredVariable, start, start + 2, var);
        return {true, E_FAIL};
    }
    value = it->second;
    int depth = 0;
    while (!AtEnd()) {
        const std::string_view t = Tok(cursor_);
        if (t == "{") {
            ++depth;
        } else if (t == "}") {
            ++cursor_;
            if (depth == 0) {
                return {};
            }
            --depth;
            continue;
        } else if (depth == 0 && t == "case" && Tok(cursor_ + 2) == ":") {
            std::int32_t n = 0;
            if (ScanInt(Tok(cursor_ + 1), n) && n == value) {
                cursor_ += 3;
                while (Tok(cursor_) == "case" && Tok(cursor_ + 2) == ":") {
                    cursor_ += 3;
                }
                return {};
            }
            cursor_ += 3;
            continue;
        }
        ++cursor_;
    }
    return {};
}

void CScript::SetMessage(std::string_view text) {
    message_ = std::string(text);
    if (!autoNewline_) {
        return;
    }
    // A line length below 3 would make the breaks themselves fill the lines
    // for ever; such lengths only append the closing break.
    if (lineLength_ > 2) {
        const auto n = static_cast<std::size_t>(lineLength_);
        for (std::size_t pos = n; pos < message_.size(); pos += n) {
            message_.insert(pos, "\n\n");
        }
    }
    message_ += "\n\n";
}

void CScript::Dialogue() {
    const std::string& colon = SJ("：");
    const std::string_view t = Tok(cursor_);
    if (SjisFind(t, colon) != std::string_view::npos) {
        MsgDrawable& portrait = box_.Part(MsgPart::CharaPic);
        if (SjisFind(t, SJ("＊")) != std::string_view::npos) {
            const std::string name = SjisRemoveAll(SjisRemoveAll(t, SJ("＊")), colon);
            if (const std::string* f = TextureFile(name)) {
                portrait.texture = *f;
                speaker_ = name;
            } else {
                speaker_ = "Nothing";
            }
            label_ = SJ("？？？：");
        } else {
            const std::string name = SjisRemoveAll(t, colon);
            speaker_ = name;
            if (const std::string* f = TextureFile(name)) {
                portrait.texture = *f;
                const std::size_t dot = SjisFind(name, SJ("・"));
                label_ = (dot == std::string_view::npos ? name : name.substr(0, dot)) + colon;
            } else {
                const std::string* nothing = TextureFile("Nothing");
                portrait.texture = nothing != nullptr ? *nothing : std::string();
                label_ = name == SJ("ナレーション") ? std::string() : name + colon;
            }
        }
        ++cursor_;
    }
    SetMessage(label_ + std::string(Tok(cursor_)));
    ++cursor_;
    if (ports_.observer != nullptr) {
        ports_.observer->OnMessage(message_);
    }
}

CScript::Outcome CScript::StartFade(bool in, std::string_view target) {
    cursor_ += 2;
    const std::string dir = in ? "FadeIn " : "FadeOut ";
    if (Is(target, "Volume", "volume")) {
        volFade_ = VolFade{};
        volFade_.busy = true;
        volFade_.in = in;
        Effect(dir + "Volume");
        return {true, S_OK};
    }
    std::vector<MsgPart> pics;
    std::vector<MsgPart> texts;
    if (Is(target, "Right", "right")) {
        pics = {MsgPart::Right};
    } else if (Is(target, "Center", "center")) {
        pics = {MsgPart::Center};
    } else if (Is(target, "Left", "left")) {
        pics = {MsgPart::Left};
    } else if (Is(target, "Images", "images") || Is(target, "All", "all")) {
        pics = {MsgPart::Right, MsgPart::Center, MsgPart::Left, MsgPart::WideCenter, MsgPart::BG};
        if (Is(target, "All", "all")) {
            pics.insert(pics.end(), {MsgPart::CharaPicFrame, MsgPart::CharaPic,
                                     MsgPart::SerifuFrame, MsgPart::FreePoly});
            texts = {MsgPart::SerifuText};
        }
    } else {
        return {}; // nothing to fade
    }
    picFade_ = PicFade{};
    picFade_.busy = true;
    picFade_.in = in;
    picFade_.pictures = std::move(pics);
    picFade_.texts = std::move(texts);
    Effect(dir + std::string(target));
    return {true, S_OK};
}

CScript::Outcome CScript::ParseButtonMenu(bool text, std::size_t start) {
    const Outcome fail{true, E_FAIL};
    auto malformed = [&](std::size_t token, std::string_view what) {
        Abort(ScriptError::MalformedStatement, start, token, what);
        return fail;
    };
    ++cursor_;
    std::string layout = "InsideSerifuFrame";
    const std::size_t layoutAt = cursor_;
    if (Tok(cursor_) != "{") {
        layout = std::string(Tok(cursor_++));
    }
    if (Tok(cursor_) != "{") {
        return malformed(cursor_, {});
    }
    ++cursor_;
    const std::string_view formatKey = text ? std::string_view("format") : SJ("フォーマット");
    const std::string_view itemsKey = text ? std::string_view("menuitem") : SJ("メニューアイテム");
    int columns = 1, rows = 1;
    std::vector<MsgMenuItem> items;
    while (!AtEnd() && Tok(cursor_) != "}") {
        const std::string_view t = Tok(cursor_);
        if (t == formatKey) {
            columns = Int(Tok(cursor_ + 1));
            rows = Int(Tok(cursor_ + 2));
            cursor_ += 3;
        } else if (t == itemsKey && Tok(cursor_ + 1) == "{") {
            cursor_ += 2;
            while (!AtEnd() && Tok(cursor_) != "}") {
                MsgMenuItem it;
                it.name = std::string(Tok(cursor_));
                it.key = Int(Tok(cursor_ + 1));
                it.label = std::string(Tok(cursor_ + 2));
                items.push_back(std::move(it));
                cursor_ += 3;
            }
            ++cursor_;
        } else {
            ++cursor_;
        }
    }
    if (AtEnd()) {
        return malformed(tokens_.size() - 1, {}); // the menu is cut off
    }
    ++cursor_;
    loadMenu_ = saveMenu_ = false;
    std::string names;
    for (const auto& it : items) {
        names += " " + it.name;
    }
    if (text) {
        if (layout != "InsideSerifuFrame") {
            return malformed(layoutAt, layout);
        }
        box_.LayoutTextMenu(columns, rows, std::move(items));
        Effect("FontMenu" + names);
    } else {
        box_.ButtonMenu().items.clear();
        if (!box_.LayoutButtonMenu(layout, columns, rows, std::move(items))) {
            return malformed(layoutAt, layout);
        }
        Effect("ButtonMenu" + names);
    }
    return {true, S_OK};
}

void CScript::BuildSlotMenu(std::string_view payload, bool load) {
    std::vector<MsgMenuItem> items;
    MsgMenuItem back;
    back.key = 0;
    back.name = "$back";
    back.label = SJ("←戻る");
    back.payload = std::string(payload);
    items.push_back(back);
    for (int n = 1; n <= 3; ++n) {
        TokenList t;
        std::optional<std::array<std::int32_t, 7>> time;
        if (ports_.storage != nullptr &&
            Succeeded(ports_.storage->ReadPlain(ScriptSlotPath(n), t))) {
            time = ReadSaveTime(t);
        }
        MsgMenuItem it;
        it.key = n;
        it.name = SJ("$セーブデータ") + std::to_string(n);
        it.label = ScriptSlotLabel(n, time);
        it.payload = std::string(payload);
        it.enabled = !(load && !time);
        items.push_back(std::move(it));
    }
    box_.LayoutSlotMenu(std::move(items));
    loadMenu_ = load;
    saveMenu_ = !load;
    Effect(load ? "LoadMenu" : "SaveMenu");
}

HRESULT CScript::SaveTo(std::string_view resume, std::string_view name) {
    if (ports_.storage == nullptr) {
        return E_FAIL;
    }
    const std::tm when = ports_.calendar->Local(ports_.calendar->Now());
    TokenList t = BuildScriptSave(when, StringValue(resume), stringVars_, intVars_);
    const HRESULT hr = ports_.storage->WritePlain(ScriptSavePath(name), t);
    Effect("Save " + std::string(name) + (Failed(hr) ? " (failed)" : ""));
    return hr;
}

HRESULT CScript::LoadFrom(std::string_view name, std::size_t statement) {
    TokenList t;
    const std::size_t token = statement == ScriptStop::kNoToken ? statement : statement + 1;
    if (ports_.storage == nullptr || Failed(ports_.storage->ReadPlain(ScriptSavePath(name), t))) {
        Abort(ScriptError::MissingFile, statement, token, name);
        return E_FAIL;
    }
    auto contents = ParseScriptSave(t);
    if (!contents) {
        Abort(ScriptError::MalformedStatement, statement, token, name);
        return E_FAIL;
    }
    for (auto& [k, v] : contents->strings) {
        stringVars_[k] = v;
    }
    for (auto& [k, v] : contents->ints) {
        intVars_[k] = v;
    }
    recordedName_ = contents->resume;
    Effect("Load " + std::string(name) + " -> " + recordedName_);
    return RunNested(recordedName_,
                     ErrorAt(ScriptError::MissingFile, statement, token, recordedName_));
}

CScript::Outcome CScript::Exec(bool single) {
    const Outcome fail{true, E_FAIL};
    const Outcome next{};
    const std::string_view t = Tok(cursor_);
    const std::string_view a = Tok(cursor_ + 1);
    const std::string_view b = Tok(cursor_ + 2);
    const std::size_t start = cursor_;
    // A script error ends the script; the first one recorded is the cause
    // (the statements that carry an inner failure outward record nothing new).
    auto error = [&](ScriptError e, std::size_t token, std::string_view name) {
        Abort(e, start, token, name);
        Finish();
        cursor_ = tokens_.size();
        return fail;
    };

    if (t == "switch") {
        const Outcome o = ExecSwitch(start);
        return o.ends ? error(ScriptError::UndeclaredVariable, start + 2, b) : o;
    }
    if (t == "break") {
        ++cursor_;
        SkipBlock();
        return next;
    }
    if (t == "}") {
        // The end of a block reached by running on (a last case without
        // "break", an "if" block left early): nothing to do.
        ++cursor_;
        return next;
    }
    if (t == "if") {
        const Outcome o = ExecIf(start);
        if (o.ends && o.result == E_FAIL) {
            return error(ScriptError::MalformedStatement, start, {});
        }
        return o;
    }
    if (t == "goto") {
        recordedName_ = StringValue(a) + ".Dat";
        cursor_ += 2;
        Effect("goto " + recordedName_);
        // The statement is described before the run replaces the tokens.
        return {true, RunNested(recordedName_, ErrorAt(ScriptError::MissingFile, start, start + 1,
                                                       recordedName_))};
    }
    if (t == "NextScriptFile") {
        recordedName_ = std::string(a);
        cursor_ += 2;
        return next;
    }
    if (t == "GameEnd") {
        running_ = false;
        NoteStop(ScriptStopKind::GameEnd);
        Effect("GameEnd");
        return {true, kScriptGameEnd};
    }
    if (t == "Battle" || t == "Map" || t == "TITLE") {
        NoteStop(ScriptStopKind::SceneRequest);
        Effect(t);
        return {true, t == "Battle" ? kScriptBattle : t == "Map" ? kScriptMap : kScriptTitle};
    }
    if (t == "autonewline") {
        if (a == "on") {
            autoNewline_ = true;
        } else if (a == "off") {
            autoNewline_ = false;
        }
        cursor_ += 2;
        return next;
    }
    if (t == "newlinecharnum") {
        lineLength_ = Int(a);
        cursor_ += 2;
        return next;
    }
    if (t == "setposition") {
        MsgDrawable* d = PositionTarget(a);
        if (b == "default") {
            if (d != nullptr) {
                box_.DefaultPosition(d->part);
            }
            cursor_ += 3;
        } else {
            if (d != nullptr) {
                d->x = Float(b);
                d->y = Float(Tok(cursor_ + 3));
                d->z = 1.0f;
            }
            cursor_ += 4;
        }
        return next;
    }
    if (t == "on" || t == "off") {
        const bool on = t == "on";
        if (a == "charapic") {
            switches_.charapic = on;
        } else if (a == "charapicframe") {
            switches_.charapicframe = on;
        } else if (a == "serifu") {
            switches_.serifu = on;
        } else if (a == "serifuframe") {
            switches_.serifuframe = on;
        }
        cursor_ += 2;
        return next;
    }
    if (Is(t, "FadeIn", "fadein") || Is(t, "FadeOut", "fadeout")) {
        return StartFade(Is(t, "FadeIn", "fadein"), a);
    }
    if (t == "MIDILoad") {
        cursor_ += 3;
        return next;
    }
    if (t == "MIDIPlay") {
        const std::string file = std::string(a) + ".mid";
        ports_.audio->PlayMidi(file);
        Effect("MIDIPlay " + file);
        cursor_ += 2;
        return next;
    }
    if (t == "MIDIStop") {
        ports_.audio->StopMidi();
        Effect("MIDIStop");
        ++cursor_;
        return next;
    }
    if (t == "volume") {
        const std::int32_t v = Int(a);
        ports_.audio->SetMidiVolume(v);
        Effect("volume " + std::to_string(v));
        cursor_ += 2;
        return next;
    }
    if (t == "SELoad") {
        ports_.audio->LoadCue(a, b);
        Effect("SELoad " + std::string(a) + " " + std::string(b));
        cursor_ += 3;
        return next;
    }
    if (t == "SEPlay") {
        ports_.audio->PlayCue(a);
        Effect("SEPlay " + std::string(a));
        cursor_ += 2;
        return next;
    }
    if (Is(t, "Texture", "texture")) {
        auto it = textureVars_.find(std::string(a));
        if (it != textureVars_.end()) {
            ports_.textures->Drop(it->second);
        }
        textureVars_[std::string(a)] = std::string(b);
        cursor_ += 3;
        return next;
    }
    if (Is(t, "TexLoad", "texload") || t == "TexUnload") {
        const std::string* f = TextureFile(a);
        if (f == nullptr) {
            return error(ScriptError::MissingTexture, start + 1, a);
        }
        ports_.textures->Drop(*f);
        if (t != "TexUnload") {
            ports_.textures->Load(*f);
        }
        cursor_ += 2;
        return next;
    }
    if (MsgDrawable* slot = SlotByName(t)) {
        if (const std::string* f = TextureFile(a)) {
            slot->texture = *f;
            Effect(std::string(t) + " " + *f);
        } else {
            Effect(std::string(t) + ": unknown texture " + std::string(a));
        }
        cursor_ += 2;
        return next;
    }
    if (t == "2dpoly1") {
        MsgDrawable& d = box_.Part(MsgPart::FreePoly);
        d.x = Float(a);
        d.y = Float(b);
        d.w = Float(Tok(cursor_ + 3));
        d.h = Float(Tok(cursor_ + 4));
        if (const std::string* f = TextureFile(Tok(cursor_ + 5))) {
            d.texture = *f;
            Effect("2dpoly1 " + *f);
        }
        cursor_ += 6;
        return next;
    }
    if (Is(t, "Clear", "clear")) {
        std::vector<MsgPart> parts;
        if (Is(a, "Left", "left")) {
            parts = {MsgPart::Left};
        } else if (Is(a, "Right", "right")) {
            parts = {MsgPart::Right};
        } else if (Is(a, "Center", "center")) {
            parts = {MsgPart::Center};
        } else if (Is(a, "WideCenter", "widecenter")) {
            parts = {MsgPart::WideCenter};
        } else if (Is(a, "All", "all")) {
            parts = {MsgPart::Left,       MsgPart::Center, MsgPart::Right,
                     MsgPart::WideCenter, MsgPart::BG,     MsgPart::FreePoly};
        }
        for (MsgPart p : parts) {
            box_.Part(p).texture.clear();
        }
        Effect("Clear " + std::string(a));
        cursor_ += 2;
        return next;
    }
    if (t == "INT") {
        std::int32_t& v = intVars_[std::string(a)];
        if (b == "=") {
            ScanInt(Tok(cursor_ + 3), v);
            cursor_ += 4;
        } else {
            cursor_ += 2;
        }
        return next;
    }
    if (t == "string") {
        std::string& v = stringVars_[std::string(a)];
        if (b == "=") {
            v = std::string(Tok(cursor_ + 3));
            cursor_ += 4;
        } else {
            cursor_ += 2;
        }
        return next;
    }
    if (!t.empty() && t[0] == '%' && a == "=") {
        auto it = intVars_.find(std::string(t));
        if (it == intVars_.end()) {
            return error(ScriptError::UndeclaredVariable, start, t);
        }
        ScanInt(b, it->second);
        cursor_ += 3;
        return next;
    }
    if (!t.empty() && t[0] == '$' && a == "=") {
        auto it = stringVars_.find(std::string(t));
        if (it == stringVars_.end()) {
            return error(ScriptError::UndeclaredVariable, start, t);
        }
        it->second = StringValue(b);
        cursor_ += 3;
        return next;
    }
    if (t == ".") {
        message_.clear();
        shown_.clear();
        typingPos_ = 0;
        ++cursor_;
        return next;
    }
    if (Is(t, "ButtonMenu", "buttonmenu") || Is(t, "FontMenu", "fontmenu")) {
        const Outcome o = ParseButtonMenu(Is(t, "FontMenu", "fontmenu"), start);
        return o.result == E_FAIL ? error(ScriptError::MalformedStatement, start, {}) : o;
    }
    if (t == "SaveMenu") {
        BuildSlotMenu(a, false);
        cursor_ += 2;
        return {true, S_OK};
    }
    if (t == "LoadMenu") {
        BuildSlotMenu("", true);
        ++cursor_;
        return {true, S_OK};
    }
    if (Is(t, "Save", "save")) {
        SaveTo(a, b);
        cursor_ += 3;
        return next;
    }
    if (Is(t, "Load", "load")) {
        const std::string name = StringValue(a);
        cursor_ += 2;
        const HRESULT hr = LoadFrom(name, start);
        return hr == E_FAIL ? error(ScriptError::MissingFile, start + 1, name) : Outcome{true, hr};
    }
    if (t == SJ("キーコンフィグ")) {
        ports_.host->ClearTrigger(7);
        ++cursor_;
        return next;
    }
    (void)single;
    Dialogue();
    return {true, S_OK, true};
}

HRESULT CScript::MenuKey(ScriptMenuKey key) {
    MsgMenu* m = box_.ShownMenu();
    if (m == nullptr) {
        return kScriptBusy;
    }
    bool moved = false;
    switch (key) {
    case ScriptMenuKey::Up:
        moved = box_.MoveCurrent(0, -1);
        break;
    case ScriptMenuKey::Down:
        moved = box_.MoveCurrent(0, 1);
        break;
    case ScriptMenuKey::Left:
        moved = m->columns > 1 && box_.MoveCurrent(-1, 0);
        break;
    case ScriptMenuKey::Right:
        moved = m->columns > 1 && box_.MoveCurrent(1, 0);
        break;
    case ScriptMenuKey::Decide:
        return ChooseMenuItem();
    case ScriptMenuKey::Cancel:
        break;
    }
    if (moved) {
        ports_.audio->PlayCue(SJ("方向キー音"));
    }
    return kScriptBusy;
}

HRESULT CScript::ChooseMenuItem() {
    MsgMenu* m = box_.ShownMenu();
    if (m == nullptr || m->items.empty()) {
        return kScriptBusy;
    }
    const MsgMenuItem item = m->items[static_cast<std::size_t>(m->current)];
    if (!item.enabled) {
        return kScriptBusy;
    }
    ports_.audio->PlayCue(SJ("決定キー音"));
    stringVars_[kMenuResult] = item.name;
    Effect("MenuResult " + item.name);
    const bool loadMenu = loadMenu_, saveMenu = saveMenu_;
    box_.HideMenus();
    loadMenu_ = saveMenu_ = false;
    const std::string& slotPrefix = SJ("$セーブデータ");
    if ((loadMenu || saveMenu) && item.name.rfind(slotPrefix, 0) == 0) {
        const int n = Int(std::string_view(item.name).substr(slotPrefix.size()));
        if (saveMenu) {
            SaveTo(item.payload, ScriptSlotName(n));
        } else {
            const HRESULT hr = LoadFrom(ScriptSlotName(n), ScriptStop::kNoToken);
            if (hr == E_FAIL) {
                Finish();
                cursor_ = tokens_.size();
            }
            return hr;
        }
    }
    return Step(false);
}

void CScript::PictureFadeTick() {
    PicFade& f = picFade_;
    const std::uint32_t now = ports_.clock != nullptr ? ports_.clock->NowMs() : 0;
    switch (f.state) {
    case 0:
        f.mark = now;
        f.state = 1;
        break;
    case 1: {
        if (now - f.mark < 40) {
            break;
        }
        const int delta = f.in ? 5 : -5;
        MsgDrawable& last = box_.Part(f.pictures.back());
        const int before = last.level;
        for (MsgPart p : f.pictures) {
            box_.Part(p).AddLevel(delta);
        }
        for (MsgPart p : f.texts) {
            box_.Part(p).AddLevel(delta);
        }
        f.mark = now;
        // A level held by the brightness range cannot move any further: the
        // fade ends there instead of waiting for ever.
        if ((f.in && last.level > 254) || (!f.in && last.level < 1) || last.level == before) {
            f.state = 2;
        }
        break;
    }
    default:
        f.busy = false;
        f.pictures.clear();
        f.texts.clear();
        f.state = 0;
        shown_.clear();
        Step(false);
        break;
    }
}

void CScript::VolumeFadeTick() {
    VolFade& f = volFade_;
    switch (f.state) {
    case 0:
        f.volume = f.in ? -3000 : -500;
        ports_.audio->SetMidiVolume(f.volume);
        f.state = 1;
        break;
    case 1:
        f.volume += f.in ? 50 : -50;
        ports_.audio->SetMidiVolume(f.volume);
        if ((f.in && f.volume >= -500) || (!f.in && f.volume < -2999)) {
            f.state = 2;
        }
        break;
    default:
        f.busy = false;
        f.state = 0;
        Step(false);
        break;
    }
}

void CScript::Update() {
    if (picFade_.busy) {
        PictureFadeTick();
    }
    if (volFade_.busy) {
        VolumeFadeTick();
    }
    if (!FadeBusy() && running_ && typingPos_ < message_.size()) {
        typing_ = true;
        typingPos_ += IsSjisLead(static_cast<unsigned char>(message_[typingPos_])) ? 2 : 1;
        shown_ = message_.substr(0, std::min<std::size_t>(typingPos_, message_.size()));
    } else {
        typing_ = false;
    }
    if (!typing_ && running_ && !FadeBusy()) {
        box_.AnimateCursor(ports_.clock != nullptr ? ports_.clock->NowMs() : 0);
    }
}

HRESULT CScript::Draw(MsgCanvas& canvas) {
    CMessageBox::DrawState s;
    s.visible = visible_;
    s.typing = typing_;
    s.running = running_;
    s.fadeBusy = FadeBusy();
    s.switches = switches_;
    s.shownText = shown_;
    return box_.Draw(canvas, s, [this](const std::string& name) {
        const std::string* f = TextureFile(name + SJ("ボタン"));
        return f != nullptr ? *f : std::string();
    });
}

} // namespace quolis
