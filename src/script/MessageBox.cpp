#include "script/MessageBox.h"

#include "common/Text.h"

#include <algorithm>

namespace quolis {
namespace {

struct LayoutRow {
    MsgPart part;
    const char* picture; // game path, ASCII
    float x, y, z, w, h;
};

// Positions and sizes of the drawables. The message text sits 30, 35 inside
// the frame; the continue cursor 20 from its right and 30 from its bottom.
constexpr float kFrameX = 230, kFrameY = 400, kFrameW = 512, kFrameH = 136;
const LayoutRow kLayout[kMsgPartCount] = {
    {MsgPart::CharaPicFrame, "MsgBox\\CharaPicFrame.bmp", 50, 400, 0.9f, 136, 136},
    {MsgPart::CharaPic, "", 52, 404, 0.9f, 128, 128},
    {MsgPart::SerifuFrame, "MsgBox\\MsgBox.bmp", kFrameX, kFrameY, 0.9f, kFrameW, kFrameH},
    {MsgPart::SerifuText, "", kFrameX + 30, kFrameY + 35, 0.9f, 0, 0},
    {MsgPart::MenuText, "", 0, 0, 1, 0, 0},
    {MsgPart::Cursor, "MsgBox\\Cursor.bmp", kFrameX + kFrameW - 20, kFrameY + kFrameH - 30, 0.9f,
     24, 32},
    {MsgPart::BG, "", 10, 10, 0.9f, 620, 290},
    {MsgPart::Right, "", 580, 20, 0.9f, 200, 400},
    {MsgPart::Center, "", 300, 20, 0.9f, 200, 400},
    {MsgPart::Left, "", 20, 20, 0.9f, 200, 400},
    {MsgPart::WideCenter, "", 200, 20, 0.9f, 400, 400},
    {MsgPart::Button, "", 0, 0, 1, 0, 0},
    {MsgPart::FreePoly, "", 0, 0, 0.9f, 0, 0},
};

void MarkCurrent(MsgMenu& m) {
    for (std::size_t i = 0; i < m.items.size(); ++i) {
        m.items[i].level = static_cast<int>(i) == m.current ? CMessageBox::kCurrentLevel
                                                            : CMessageBox::kOtherLevel;
    }
}

void SortByKey(std::vector<MsgMenuItem>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const MsgMenuItem& a, const MsgMenuItem& b) { return a.key < b.key; });
}

} // namespace

void MsgDrawable::SetLevel(int v) {
    level = std::clamp(v, std::max(lower, 0), std::min(upper, 255));
}

CMessageBox::CMessageBox() {
    for (int i = 0; i < kMsgPartCount; ++i) {
        parts_[i].part = static_cast<MsgPart>(i);
    }
}

void CMessageBox::Create(std::string_view font, int fontSize, bool bold) {
    for (int i = 0; i < kMsgPartCount; ++i) {
        MsgDrawable d;
        d.part = static_cast<MsgPart>(i);
        d.texture = kLayout[i].picture;
        d.text = d.part == MsgPart::SerifuText || d.part == MsgPart::MenuText;
        if (d.part == MsgPart::SerifuText) {
            d.font = std::string(font);
            d.fontSize = fontSize;
            d.bold = bold;
        } else if (d.part == MsgPart::MenuText) {
            d.font = SJ("ＭＳ ゴシック");
            d.fontSize = 12;
            d.bold = true;
        }
        parts_[i] = std::move(d);
    }
    buttonMenu_ = MsgMenu{};
    textMenu_ = MsgMenu{};
    cursorFrame_ = 0;
    cursorStarted_ = false;
    created_ = true;
    ApplyLayout();
}

void CMessageBox::Release() {
    for (int i = 0; i < kMsgPartCount; ++i) {
        parts_[i] = MsgDrawable{};
        parts_[i].part = static_cast<MsgPart>(i);
    }
    buttonMenu_ = MsgMenu{};
    textMenu_ = MsgMenu{};
    created_ = false;
}

void CMessageBox::DefaultPosition(MsgPart p) {
    const LayoutRow& r = kLayout[static_cast<int>(p)];
    MsgDrawable& d = Part(p);
    d.x = r.x;
    d.y = r.y;
    d.z = r.z;
}

void CMessageBox::ApplyLayout() {
    for (int i = 0; i < kMsgPartCount; ++i) {
        const LayoutRow& r = kLayout[i];
        MsgDrawable& d = parts_[i];
        d.x = r.x;
        d.y = r.y;
        d.z = r.z;
        d.w = r.w;
        d.h = r.h;
    }
    SetCursorUV();
}

void CMessageBox::SetBrightness(int level) {
    for (auto& d : parts_) {
        d.SetLevel(level);
    }
}

void CMessageBox::AddBrightness(int delta) {
    for (auto& d : parts_) {
        d.AddLevel(delta);
    }
}

void CMessageBox::SetBrightnessRange(int lower, int upper) {
    for (auto& d : parts_) {
        d.lower = lower;
        d.upper = upper;
        d.SetLevel(d.level);
    }
}

bool CMessageBox::LayoutButtonMenu(std::string_view layout, int columns, int rows,
                                   std::vector<MsgMenuItem> items) {
    // A grid of zero cells would divide by zero: at least one of each.
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    float cellW = 0, cellH = 0, baseX = 0, baseY = 0;
    const MsgDrawable& frame = Part(MsgPart::SerifuFrame);
    if (layout == "InsideSerifuFrame") {
        cellW = frame.w / static_cast<float>(columns);
        cellH = frame.h / static_cast<float>(rows);
        baseX = frame.x;
        baseY = frame.y;
    } else if (layout == "Left") {
        cellW = static_cast<float>(150 / columns);
        cellH = static_cast<float>(400 / rows);
    } else {
        return false;
    }
    SortByKey(items);
    for (std::size_t k = 0; k < items.size(); ++k) {
        MsgMenuItem& it = items[k];
        const auto col = static_cast<float>(k % static_cast<std::size_t>(columns));
        const auto row = static_cast<float>(k / static_cast<std::size_t>(columns));
        it.x = baseX + col * cellW;
        it.y = baseY + row * cellH;
        it.z = 1;
        it.w = cellW;
        it.h = cellH;
    }
    buttonMenu_.items = std::move(items);
    buttonMenu_.columns = columns;
    buttonMenu_.rows = rows;
    buttonMenu_.current = 0;
    buttonMenu_.shown = true;
    MarkCurrent(buttonMenu_);
    return true;
}

void CMessageBox::LayoutTextMenu(int columns, int rows, std::vector<MsgMenuItem> items) {
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    const MsgDrawable& frame = Part(MsgPart::SerifuFrame);
    const float cellW = frame.w / static_cast<float>(columns);
    const float cellH = frame.h / static_cast<float>(rows);
    SortByKey(items);
    for (std::size_t k = 0; k < items.size(); ++k) {
        MsgMenuItem& it = items[k];
        const auto col = static_cast<float>(k % static_cast<std::size_t>(columns));
        const auto row = static_cast<float>(k / static_cast<std::size_t>(columns));
        it.x = frame.x + col * cellW + 20;
        it.y = frame.y + row * cellH + 10;
        it.z = 1;
        it.w = cellW;
        it.h = cellH;
    }
    textMenu_.items = std::move(items);
    textMenu_.columns = columns;
    textMenu_.rows = rows;
    textMenu_.current = 0;
    textMenu_.shown = true;
    MarkCurrent(textMenu_);
}

void CMessageBox::LayoutSlotMenu(std::vector<MsgMenuItem> items) {
    const MsgDrawable& frame = Part(MsgPart::SerifuFrame);
    SortByKey(items);
    for (std::size_t i = 0; i < items.size(); ++i) {
        MsgMenuItem& it = items[i];
        it.x = frame.x;
        it.y = frame.y + 30.0f * static_cast<float>(i);
        it.z = 1;
        it.w = frame.w;
        it.h = 30;
    }
    textMenu_.items = std::move(items);
    textMenu_.columns = 1;
    textMenu_.rows = static_cast<int>(textMenu_.items.size());
    textMenu_.current = 0;
    textMenu_.shown = true;
    MarkCurrent(textMenu_);
}

MsgMenu* CMessageBox::ShownMenu() {
    if (buttonMenu_.shown) {
        return &buttonMenu_;
    }
    if (textMenu_.shown) {
        return &textMenu_;
    }
    return nullptr;
}

void CMessageBox::HideMenus() {
    buttonMenu_.shown = false;
    textMenu_.shown = false;
}

bool CMessageBox::MoveCurrent(int dx, int dy) {
    MsgMenu* m = ShownMenu();
    if (m == nullptr || m->items.empty()) {
        return false;
    }
    const int n = static_cast<int>(m->items.size());
    const int step = dx != 0 ? dx : dy * m->columns;
    if (step == 0) {
        return false;
    }
    // Walk in the direction of the step, wrapping, until an enabled item; give
    // up after visiting every item once.
    int idx = m->current;
    for (int tries = 0; tries < n; ++tries) {
        idx = ((idx + step) % n + n) % n;
        if (m->items[idx].enabled) {
            break;
        }
    }
    if (idx == m->current || !m->items[idx].enabled) {
        return false;
    }
    m->current = idx;
    MarkCurrent(*m);
    return true;
}

void CMessageBox::SetCursorUV() {
    MsgDrawable& c = Part(MsgPart::Cursor);
    c.u0 = static_cast<float>(cursorFrame_) / 4.0f;
    c.u1 = static_cast<float>(cursorFrame_ + 1) / 4.0f;
    c.v0 = 0;
    c.v1 = 1;
}

void CMessageBox::AnimateCursor(std::uint32_t nowMs) {
    if (!cursorStarted_) {
        cursorStarted_ = true;
        cursorMark_ = nowMs;
        SetCursorUV();
        return;
    }
    if (nowMs - cursorMark_ >= 300) {
        cursorFrame_ = (cursorFrame_ + 1) % 4;
        cursorMark_ = nowMs;
        SetCursorUV();
    }
}

} // namespace quolis
