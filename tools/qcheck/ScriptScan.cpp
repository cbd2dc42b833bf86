#include "ScriptScan.h"

#include "common/Text.h"

#include <algorithm>

namespace quolis::qcheck {
namespace {

bool Contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

void EraseAll(std::string& s, const std::string& part) {
    for (auto at = s.find(part); at != std::string::npos; at = s.find(part)) {
        s.erase(at, part.size());
    }
}

bool OneOf(const std::string& t, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return t == w; });
}

class Walker {
public:
    explicit Walker(const TokenList& tokens) : t_(tokens) {}

    ScriptFacts Run() {
        while (pos_ < t_.size()) {
            Statement();
        }
        // "goto $MenuResult" continues in the script named by the chosen item.
        if (menuJump_) {
            for (const auto& item : menuItems_) {
                facts_.jumps.insert(item + ".Dat");
            }
        }
        return facts_;
    }

private:
    const std::string& At(std::size_t i) const {
        static const std::string empty;
        return i < t_.size() ? t_[i] : empty;
    }
    void Problem(const std::string& what) { facts_.problems.push_back(what); }
    void Need(std::size_t count, const std::string& statement) {
        if (pos_ + count > t_.size()) {
            Problem(statement + SJ(" の途中でスクリプトが終わっている"));
        }
        pos_ = std::min(t_.size(), pos_ + count);
    }
    void UseVariable(const std::string& v) { facts_.variableUses.push_back(v); }

    void Jump(const std::string& target) {
        if (target.empty()) {
            return;
        }
        if (target == "$MenuResult") {
            menuJump_ = true;
            return;
        }
        if (target[0] == '$') {
            UseVariable(target);
            auto it = stringValues_.find(target);
            if (it != stringValues_.end()) {
                facts_.jumps.insert(it->second + ".Dat");
            }
            return;
        }
        facts_.jumps.insert(target + ".Dat");
    }

    void Menu(bool button) {
        const std::string keyword = At(pos_);
        ++pos_;
        if (At(pos_) != "{") {
            const std::string& place = At(pos_);
            if (place != "InsideSerifuFrame" && !(button && place == "Left")) {
                Problem(keyword + SJ(" の配置 ") + place + SJ(" は使えない"));
            }
            ++pos_;
        }
        if (At(pos_) != "{") {
            Problem(keyword + SJ(" に { がない"));
            return;
        }
        ++pos_;
        const std::string format = button ? SJ("フォーマット") : std::string("format");
        const std::string items = button ? SJ("メニューアイテム") : std::string("menuitem");
        while (pos_ < t_.size() && At(pos_) != "}") {
            if (At(pos_) == format) {
                pos_ += 3;
            } else if (At(pos_) == items && At(pos_ + 1) == "{") {
                pos_ += 2;
                while (pos_ + 2 < t_.size() && At(pos_) != "}") {
                    menuItems_.push_back(At(pos_));
                    if (button) {
                        facts_.buttonItems.push_back(At(pos_));
                    }
                    pos_ += 3;
                }
                ++pos_; // "}" of the items
            } else {
                Problem(keyword + SJ(" の中の不明な語 ") + At(pos_));
                ++pos_;
            }
        }
        if (pos_ >= t_.size()) {
            Problem(keyword + SJ(" が閉じていない"));
        }
        ++pos_;
    }

    void Statement() {
        const std::string& w = At(pos_);
        if (w == "switch") {
            UseVariable(At(pos_ + 2));
            Need(5, w);
        } else if (w == "case") {
            Need(3, w);
        } else if (OneOf(w, {"break", "{", "}", "."})) {
            ++pos_;
        } else if (w == "if") {
            pos_ += 2;
            while (pos_ < t_.size() && At(pos_) != ")") {
                if (!At(pos_).empty() && At(pos_)[0] == '%') {
                    UseVariable(At(pos_));
                }
                ++pos_;
            }
            Need(2, w); // ")" "{"
        } else if (w == "goto") {
            Jump(At(pos_ + 1));
            Need(2, w);
        } else if (w == "NextScriptFile") {
            Need(2, w);
        } else if (OneOf(w, {"GameEnd", "Battle", "Map", "TITLE", "LoadMenu", "MIDIStop"}) ||
                   w == SJ("キーコンフィグ")) {
            ++pos_;
        } else if (OneOf(w, {"autonewline", "newlinecharnum", "on", "off", "volume", "SaveMenu"})) {
            Need(2, w);
        } else if (w == "setposition") {
            Need(At(pos_ + 2) == "default" ? 3 : 4, w);
        } else if (OneOf(w, {"FadeIn", "fadein", "FadeOut", "fadeout"})) {
            if (!OneOf(At(pos_ + 1), {"Right", "right", "Center", "center", "Left", "left",
                                      "Images", "images", "All", "all", "Volume", "volume"})) {
                Problem(w + SJ(" の対象 ") + At(pos_ + 1) + SJ(" は使えない"));
            }
            Need(2, w);
        } else if (w == "MIDILoad") {
            Need(3, w);
        } else if (w == "MIDIPlay") {
            facts_.music.insert(At(pos_ + 1) + ".mid");
            Need(2, w);
        } else if (w == "SELoad") {
            facts_.sounds[At(pos_ + 1)] = At(pos_ + 2);
            Need(3, w);
        } else if (w == "SEPlay") {
            facts_.soundPlays.push_back(At(pos_ + 1));
            Need(2, w);
        } else if (w == "Texture" || w == "texture") {
            facts_.textures[At(pos_ + 1)] = At(pos_ + 2);
            Need(3, w);
        } else if (OneOf(w, {"TexLoad", "texload", "TexUnload", "BG", "bg", "Left", "left",
                             "Center", "center", "Right", "right", "WideCenter"})) {
            facts_.textureUses.push_back(At(pos_ + 1));
            Need(2, w);
        } else if (w == "2dpoly1") {
            facts_.textureUses.push_back(At(pos_ + 5));
            Need(6, w);
        } else if (w == "Clear" || w == "clear") {
            if (!OneOf(At(pos_ + 1), {"Left", "left", "Right", "right", "Center", "center",
                                      "WideCenter", "widecenter", "All", "all"})) {
                Problem(w + SJ(" の対象 ") + At(pos_ + 1) + SJ(" は使えない"));
            }
            Need(2, w);
        } else if (w == "INT") {
            facts_.intDeclared.insert(At(pos_ + 1));
            Need(4, w);
        } else if (w == "string") {
            facts_.stringDeclared.insert(At(pos_ + 1));
            if (At(pos_ + 2) == "=") {
                stringValues_[At(pos_ + 1)] = At(pos_ + 3);
                Need(4, w);
            } else {
                stringValues_[At(pos_ + 1)].clear();
                Need(2, w);
            }
        } else if (!w.empty() && (w[0] == '%' || w[0] == '$') && At(pos_ + 1) == "=") {
            UseVariable(w);
            if (w[0] == '$') {
                auto it = stringValues_.find(At(pos_ + 2));
                stringValues_[w] = it != stringValues_.end() ? it->second : At(pos_ + 2);
            }
            Need(3, w);
        } else if (OneOf(w, {"ButtonMenu", "buttonmenu"})) {
            Menu(true);
        } else if (OneOf(w, {"FontMenu", "fontmenu"})) {
            Menu(false);
        } else if (w == "Save" || w == "save") {
            // The save names the script a later "Load" resumes with.
            Jump(At(pos_ + 1));
            Need(3, w);
        } else if (w == "Load" || w == "load") {
            Need(2, w);
        } else if (Contains(w, SJ("："))) {
            const std::string& text = At(pos_ + 1);
            if (pos_ + 1 >= t_.size() || Contains(text, SJ("："))) {
                Problem(w + SJ(" の台詞がない"));
                ++pos_;
                return;
            }
            label_ = SpeakerLabel(w, facts_.textures);
            facts_.messages.push_back({label_, text});
            pos_ += 2;
        } else {
            facts_.messages.push_back({label_, w});
            ++pos_;
        }
    }

    const TokenList& t_;
    std::size_t pos_ = 0;
    ScriptFacts facts_;
    std::map<std::string, std::string> stringValues_;
    std::vector<std::string> menuItems_;
    bool menuJump_ = false;
    std::string label_;
};

} // namespace

std::string SpeakerLabel(const std::string& speakerToken,
                         const std::map<std::string, std::string>& textures) {
    std::string name = speakerToken;
    if (Contains(name, SJ("＊"))) {
        return SJ("？？？：");
    }
    EraseAll(name, SJ("："));
    if (textures.count(name) != 0) {
        const auto dot = name.find(SJ("・"));
        return (dot == std::string::npos ? name : name.substr(0, dot)) + SJ("：");
    }
    return name == SJ("ナレーション") ? std::string() : name + SJ("：");
}

ScriptFacts ScanScript(const TokenList& tokens) {
    return Walker(tokens).Run();
}

} // namespace quolis::qcheck
