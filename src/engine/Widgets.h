#pragma once
// The two selection widgets of the menus: the button row (picture buttons)
// and the slot list (text entries). Entries are kept in key order; the
// cursor wraps around and skips disabled entries; the current entry is drawn
// at its selected level (255), the others at their normal level (150), never
// above the widget's own alpha.
#include "engine/Polygon.h"
#include "engine/TextObject.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace quolis {

struct WidgetEntry {
    int key = 0;
    Vec3 pos{0, 0, 0};
    Vec3 size{0, 0, 0};
    std::string name;    // what GetSelected answers
    std::string picture; // button row only
    int enabled = 1;
    int selectedLevel = 255;
    int normalLevel = 150;
    int currentLevel = 150;
};

class CSelectionWidget : public CRootObject, public CColour {
public:
    // Moves the cursor to the next (previous) enabled entry in key order,
    // wrapping around; returns 1. Nothing changes when no entry is enabled.
    int SelectNext() { return Step(+1); }
    int SelectPrev() { return Step(-1); }
    // Makes the entry with this key current (ignored for an unknown key).
    void Select(int key);
    void EnableEntry(int key) { SetEntryEnabled(key, 1); }
    void DisableEntry(int key) { SetEntryEnabled(key, 0); }
    // No current entry: name := "", returns 0. Current entry disabled: returns
    // 1 and leaves both outputs unchanged. Otherwise the entry's name and key
    // (when `key` is given), returns 1.
    int GetSelected(std::string& name, int* key = nullptr) const;
    void ClearEntries();

    bool HasCurrent() const { return current_ != entries_.end(); }
    int CurrentKey() const { return HasCurrent() ? current_->first : -1; }
    const std::map<int, WidgetEntry>& Entries() const { return entries_; }

protected:
    void Insert(WidgetEntry entry);
    // The entry's colour for drawing: min (current level, widget alpha) with
    // the widget's red, green and blue.
    void EntryColour(const WidgetEntry& e, int* alpha) const;

    std::map<int, WidgetEntry> entries_;
    std::map<int, WidgetEntry>::iterator current_ = entries_.end();

private:
    int Step(int direction);
    void SetEntryEnabled(int key, int flag);
};

class CButtonRow : public CSelectionWidget {
public:
    // Creates the shared polygon; no current entry.
    void SetupWidget();
    // A negative key adds nothing; the picture is loaded into the texture
    // cache at once.
    void AddEntry(std::string_view name, std::string_view picture, int key, float x, float y,
                  float z, float width, float height, float depth);
    HRESULT Draw();
    void ReleaseWidget();

private:
    std::unique_ptr<CPolygon> polygon_;
};

class CSlotList : public CSelectionWidget {
public:
    // Creates the shared text object with the font (face CP932, points,
    // style flags); no current entry.
    void SetupWidget(std::string_view face, int points, unsigned style);
    void AddEntry(std::string_view name, int key, float x, float y, float z, float width,
                  float height, float depth);
    HRESULT Draw();
    void ReleaseWidget();
    CTextObject* Text() { return text_.get(); }

private:
    std::unique_ptr<CTextObject> text_;
};

// --- the application's shared menu services ------------------------------
// The application runs these for its AppCycle codes −3000/−3010 (slot list)
// and −4000/−4010 (button row); it owns the widgets, the action triggers and
// the result fields, and plays the cues through MenuCues.

class MenuCues {
public:
    virtual ~MenuCues() = default;
    // A sound cue by its CP932 name ("方向キー", "決定キー", "キャンセルキー").
    virtual void PlayCue(const std::string& name) = 0;
};

// Action numbers of the triggers the menus read.
enum MenuAction {
    kActLeft = 3,
    kActRight = 4,
    kActUp = 5,
    kActDown = 6,
    kActDecide = 7,
    kActCancel = 8
};

enum class MenuStep { Running, Done };

// −3000 / −4000: the widget fully visible (alpha 255) and shown.
void OpenMenu(CSelectionWidget& widget);
// −3010: up / down move the cursor (cue, trigger cleared); cancel sets the
// result name to "キャンセル" (cue, cleared, done); decide reads the selection
// into the results and, when the name is not empty, cues, clears, done.
MenuStep StepSlotListMenu(CSlotList& list, std::uint32_t* triggers, MenuCues* cues,
                          std::string& resultName, int& resultIndex);
// −4010: left / right move the cursor (cue; the triggers stay set); decide as
// above; cancel does nothing.
MenuStep StepButtonRowMenu(CButtonRow& row, std::uint32_t* triggers, MenuCues* cues,
                           std::string& resultName, int& resultIndex);

} // namespace quolis
