#pragma once
// The message box: the thirteen drawables of the script engine with their
// layout, the menus scripts can show, the continue cursor, and the draw order.
// The box is plain data; drawing goes through MsgCanvas, which the engine
// binds to its polygons and text objects.
#include "common/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

// The drawables, in creation order.
enum class MsgPart : int {
    CharaPicFrame = 0, // portrait frame
    CharaPic,          // portrait
    SerifuFrame,       // message frame
    SerifuText,        // message text
    MenuText,          // text of text-menu items
    Cursor,            // continue cursor
    BG,
    Right,
    Center,
    Left,
    WideCenter,
    Button,   // the picture of button-menu items
    FreePoly, // "2dpoly1"
    Count
};
constexpr int kMsgPartCount = static_cast<int>(MsgPart::Count);

struct MsgDrawable {
    MsgPart part = MsgPart::BG;
    bool text = false;   // text object (else a textured polygon)
    std::string texture; // picture file, empty = shows nothing
    float x = 0, y = 0, z = 0.9f;
    float w = 0, h = 0;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    int level = 255; // colour and alpha level 0..255
    int lower = 0, upper = 255;
    std::string font; // text objects only
    int fontSize = 12;
    bool bold = true;

    // Levels are clamped to the brightness range.
    void SetLevel(int v);
    void AddLevel(int d) { SetLevel(level + d); }
};

// One item of a button or text menu.
struct MsgMenuItem {
    std::string name;
    std::int32_t key = 0; // orders the items
    std::string label;    // label (text menu) or label token (button menu)
    std::string payload;
    float x = 0, y = 0, z = 1;
    float w = 0, h = 0;
    int level = 180;
    bool enabled = true;
};

struct MsgMenu {
    bool shown = false;
    int columns = 1;
    int rows = 1;
    int current = 0;
    std::vector<MsgMenuItem> items; // key order
};

// What the drawing goes through. Levels are the colour/alpha levels.
class MsgCanvas {
public:
    virtual ~MsgCanvas() = default;
    virtual void DrawPicture(const MsgDrawable& d) = 0;
    // Draws `text` with the text object `d` at (x, y) with the given level;
    // disabled menu items are drawn grey.
    virtual void DrawText(const MsgDrawable& d, std::string_view text, float x, float y, int level,
                          bool enabled) = 0;
};

// The display switches set by "on"/"off".
struct MsgSwitches {
    bool charapic = true;
    bool charapicframe = true;
    bool serifu = true;
    bool serifuframe = true;
};

class CMessageBox {
public:
    static constexpr int kCurrentLevel = 255;
    static constexpr int kOtherLevel = 180;

    CMessageBox();

    // Creates the thirteen drawables with their pictures and fonts ("ＭＳ Ｐゴシック"
    // for the message, "ＭＳ ゴシック" for menus) and applies the layout.
    void Create(std::string_view font, int fontSize, bool bold);
    void Release();
    bool Created() const { return created_; }
    // Puts every drawable at its layout position and size.
    void ApplyLayout();
    // Puts one drawable back at its layout position.
    void DefaultPosition(MsgPart p);

    MsgDrawable& Part(MsgPart p) { return parts_[static_cast<int>(p)]; }
    const MsgDrawable& Part(MsgPart p) const { return parts_[static_cast<int>(p)]; }
    std::array<MsgDrawable, kMsgPartCount>& Parts() { return parts_; }

    // Brightness over all thirteen drawables.
    void SetBrightness(int level);
    void AddBrightness(int delta);
    void SetBrightnessRange(int lower, int upper);

    // Menus. `layout` is "InsideSerifuFrame" or "Left" (button menus only).
    // False for an unknown layout.
    bool LayoutButtonMenu(std::string_view layout, int columns, int rows,
                          std::vector<MsgMenuItem> items);
    void LayoutTextMenu(int columns, int rows, std::vector<MsgMenuItem> items);
    // The slot list of the save and load menus: a vertical list in the frame.
    void LayoutSlotMenu(std::vector<MsgMenuItem> items);
    MsgMenu& ButtonMenu() { return buttonMenu_; }
    MsgMenu& TextMenu() { return textMenu_; }
    const MsgMenu& ButtonMenu() const { return buttonMenu_; }
    const MsgMenu& TextMenu() const { return textMenu_; }
    bool MenuShown() const { return buttonMenu_.shown || textMenu_.shown; }
    // The menu being shown (button menu first), or null.
    MsgMenu* ShownMenu();
    void HideMenus();
    // Moves the current item of the shown menu by (dx, dy) cells, wrapping
    // and skipping disabled items. False when nothing moved.
    bool MoveCurrent(int dx, int dy);

    // The continue cursor: one of four frames, the next every 0.3 s.
    void AnimateCursor(std::uint32_t nowMs);
    int CursorFrame() const { return cursorFrame_; }

    struct DrawState {
        bool visible = false;
        bool typing = false;
        bool running = false;
        bool fadeBusy = false;
        MsgSwitches switches;
        std::string shownText;
    };
    // Draws in the game's order. `buttonTexture(itemName)` answers the picture
    // file of the texture variable itemName + "ボタン" (empty when there is
    // none: drawing stops there and reports E_FAIL).
    template <typename F> HRESULT Draw(MsgCanvas& canvas, const DrawState& s, F buttonTexture);

private:
    void SetCursorUV();

    std::array<MsgDrawable, kMsgPartCount> parts_;
    MsgMenu buttonMenu_;
    MsgMenu textMenu_;
    bool created_ = false;
    int cursorFrame_ = 0;
    std::uint32_t cursorMark_ = 0;
    bool cursorStarted_ = false;
};

template <typename F>
HRESULT CMessageBox::Draw(MsgCanvas& canvas, const DrawState& s, F buttonTexture) {
    if (!s.visible || !created_) {
        return S_OK;
    }
    if (!Part(MsgPart::BG).texture.empty()) {
        canvas.DrawPicture(Part(MsgPart::BG));
    }
    for (MsgPart p :
         {MsgPart::Right, MsgPart::Center, MsgPart::Left, MsgPart::WideCenter, MsgPart::FreePoly}) {
        if (!Part(p).texture.empty()) {
            canvas.DrawPicture(Part(p));
        }
    }
    if (buttonMenu_.shown) {
        MsgDrawable& b = Part(MsgPart::Button);
        for (const MsgMenuItem& it : buttonMenu_.items) {
            std::string tex = buttonTexture(it.name);
            if (tex.empty()) {
                return E_FAIL;
            }
            b.x = it.x;
            b.y = it.y;
            b.z = it.z;
            b.w = it.w;
            b.h = it.h;
            b.SetLevel(it.level);
            b.texture = tex;
            canvas.DrawPicture(b);
        }
    }
    if (textMenu_.shown) {
        const MsgDrawable& t = Part(MsgPart::MenuText);
        for (const MsgMenuItem& it : textMenu_.items) {
            canvas.DrawText(t, it.label, it.x, it.y, it.level, it.enabled);
        }
    }
    const bool menu = MenuShown();
    if (!menu) {
        // The portrait and its frame sit beside the message frame.
        if (s.switches.charapicframe) {
            canvas.DrawPicture(Part(MsgPart::CharaPicFrame));
        }
        if (s.switches.charapic && !Part(MsgPart::CharaPic).texture.empty()) {
            canvas.DrawPicture(Part(MsgPart::CharaPic));
        }
        if (s.switches.serifuframe) {
            canvas.DrawPicture(Part(MsgPart::SerifuFrame));
        }
        if (s.switches.serifu) {
            const MsgDrawable& t = Part(MsgPart::SerifuText);
            canvas.DrawText(t, s.shownText, t.x, t.y, t.level, true);
        }
    }
    if (!s.typing && s.running && !menu && !s.fadeBusy && s.switches.serifuframe) {
        canvas.DrawPicture(Part(MsgPart::Cursor));
    }
    return S_OK;
}

} // namespace quolis
