#include "engine/Widgets.h"

#include "common/Text.h"

#include <algorithm>

namespace quolis {

void CSelectionWidget::Insert(WidgetEntry entry) {
    entry.currentLevel = entry.normalLevel;
    entries_.emplace(entry.key, std::move(entry));
    for (auto& [key, e] : entries_) {
        e.currentLevel = e.normalLevel;
    }
    current_ = entries_.begin();
    current_->second.currentLevel = current_->second.selectedLevel;
}

int CSelectionWidget::Step(int direction) {
    if (!HasCurrent()) {
        return 1;
    }
    auto it = current_;
    for (std::size_t n = 0; n < entries_.size(); ++n) {
        if (direction > 0) {
            ++it;
            if (it == entries_.end()) {
                it = entries_.begin();
            }
        } else {
            if (it == entries_.begin()) {
                it = entries_.end();
            }
            --it;
        }
        if (it->second.enabled) {
            current_->second.currentLevel = current_->second.normalLevel;
            current_ = it;
            current_->second.currentLevel = current_->second.selectedLevel;
            return 1;
        }
    }
    return 1; // nothing enabled: the cursor stays
}

void CSelectionWidget::Select(int key) {
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        return;
    }
    for (auto& [k, e] : entries_) {
        e.currentLevel = e.normalLevel;
    }
    current_ = it;
    current_->second.currentLevel = current_->second.selectedLevel;
}

void CSelectionWidget::SetEntryEnabled(int key, int flag) {
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        it->second.enabled = flag;
    }
}

int CSelectionWidget::GetSelected(std::string& name, int* key) const {
    if (!HasCurrent()) {
        name.clear();
        return 0;
    }
    const WidgetEntry& e = current_->second;
    if (!e.enabled) {
        return 1;
    }
    name = e.name;
    if (key != nullptr) {
        *key = e.key;
    }
    return 1;
}

void CSelectionWidget::ClearEntries() {
    entries_.clear();
    current_ = entries_.end();
}

void CSelectionWidget::EntryColour(const WidgetEntry& e, int* alpha) const {
    *alpha = std::min(e.currentLevel, GetAlpha());
}

// ---------------------------------------------------------------------------

void CButtonRow::SetupWidget() {
    polygon_ = std::make_unique<CPolygon>();
    current_ = entries_.end();
}

void CButtonRow::AddEntry(std::string_view name, std::string_view picture, int key, float x,
                          float y, float z, float width, float height, float depth) {
    if (key < 0) {
        return;
    }
    TextureId id = 0;
    CPolygon::GetTexture(picture, &id); // loaded now; a failure draws the button untextured
    WidgetEntry e;
    e.key = key;
    e.pos = {x, y, z};
    e.size = {width, height, depth};
    e.name.assign(name);
    e.picture.assign(picture);
    Insert(std::move(e));
}

HRESULT CButtonRow::Draw() {
    if (!IsEnabled() || polygon_ == nullptr) {
        return S_OK;
    }
    for (const auto& [key, e] : entries_) {
        int alpha = 0;
        EntryColour(e, &alpha);
        polygon_->SetPos(e.pos.x, e.pos.y, e.pos.z);
        polygon_->SetSize(e.size.x, e.size.y, e.size.z);
        polygon_->SetColour(alpha, GetRed(), GetGreen(), GetBlue());
        polygon_->SetTextureName(e.picture);
        polygon_->Draw();
    }
    return S_OK;
}

void CButtonRow::ReleaseWidget() {
    ClearEntries();
    polygon_.reset();
}

// ---------------------------------------------------------------------------

void CSlotList::SetupWidget(std::string_view face, int points, unsigned style) {
    text_ = std::make_unique<CTextObject>();
    text_->SetFont(face, points, style);
    current_ = entries_.end();
}

void CSlotList::AddEntry(std::string_view name, int key, float x, float y, float z, float width,
                         float height, float depth) {
    WidgetEntry e;
    e.key = key;
    e.pos = {x, y, z};
    e.size = {width, height, depth};
    e.name.assign(name);
    Insert(std::move(e));
}

HRESULT CSlotList::Draw() {
    if (!IsEnabled() || text_ == nullptr) {
        return S_OK;
    }
    for (const auto& [key, e] : entries_) {
        int alpha = 0;
        EntryColour(e, &alpha);
        text_->SetText(e.name);
        text_->position = e.pos;
        text_->SetColour(alpha, GetRed(), GetGreen(), GetBlue());
        text_->Draw();
    }
    return S_OK;
}

void CSlotList::ReleaseWidget() {
    ClearEntries();
    text_.reset();
}

// ---------------------------------------------------------------------------

void OpenMenu(CSelectionWidget& widget) {
    widget.SetAlpha(255);
    widget.SetEnabled(1);
}

namespace {

void Cue(MenuCues* cues, const std::string& name) {
    if (cues != nullptr) {
        cues->PlayCue(name);
    }
}

bool Decide(CSelectionWidget& w, std::uint32_t* triggers, MenuCues* cues, std::string& name,
            int& index) {
    if (!triggers[kActDecide]) {
        return false;
    }
    // Read into fresh outputs: a disabled current entry leaves them
    // untouched, and the result of an earlier menu must not pass for a choice.
    std::string chosen;
    int key = index;
    w.GetSelected(chosen, &key);
    if (chosen.empty()) {
        return false;
    }
    name = std::move(chosen);
    index = key;
    Cue(cues, SJ("決定キー"));
    triggers[kActDecide] = 0;
    return true;
}

} // namespace

MenuStep StepSlotListMenu(CSlotList& list, std::uint32_t* triggers, MenuCues* cues,
                          std::string& resultName, int& resultIndex) {
    if (triggers[kActUp]) {
        Cue(cues, SJ("方向キー"));
        triggers[kActUp] = 0;
        list.SelectPrev();
    }
    if (triggers[kActDown]) {
        Cue(cues, SJ("方向キー"));
        triggers[kActDown] = 0;
        list.SelectNext();
    }
    if (triggers[kActCancel]) {
        resultName = SJ("キャンセル");
        Cue(cues, SJ("キャンセルキー"));
        triggers[kActCancel] = 0;
        return MenuStep::Done;
    }
    return Decide(list, triggers, cues, resultName, resultIndex) ? MenuStep::Done
                                                                 : MenuStep::Running;
}

MenuStep StepButtonRowMenu(CButtonRow& row, std::uint32_t* triggers, MenuCues* cues,
                           std::string& resultName, int& resultIndex) {
    if (triggers[kActLeft]) {
        Cue(cues, SJ("方向キー"));
        row.SelectPrev();
    }
    if (triggers[kActRight]) {
        Cue(cues, SJ("方向キー"));
        row.SelectNext();
    }
    return Decide(row, triggers, cues, resultName, resultIndex) ? MenuStep::Done
                                                                : MenuStep::Running;
}

} // namespace quolis
