#pragma once
// What the battle shows besides the floor and the creatures: the unit panels,
// the turn and command banners, the two command menus, the attack preview,
// the bonus labels, the enemy details window, the victory figures, the pause
// label and the choice window behind the selection menus.
#include "battle/Attack.h"
#include "data/CharaValues.h"
#include "engine/Number.h"
#include "engine/Polygon.h"
#include "engine/TextObject.h"
#include "engine/Widgets.h"

#include <array>
#include <string>

namespace quolis {

// The text of a bonus label: the label, a space and the bonus with its sign
// ("+" for values >= 0); empty when the label is empty.
std::string BonusLabelText(const std::string& label, std::int32_t bonus);

// The four columns of the details window for an enemy: header, then one row
// per command of the type's list in MP cost order; commands the enemy has not
// learnt show "＊＊＊＊＊＊" and "?".
struct DetailColumns {
    std::array<std::string, 4> text;
    int rows = 0;
};
DetailColumns BuildDetailColumns(const CharaValues& enemy,
                                 const std::multimap<std::int32_t, std::string>& typeCommands,
                                 const MAMaster& arms);

class BattlePanels {
public:
    static constexpr float kWindowZ = 0.2f;

    // Creates every object (textures from the cache) hidden.
    void Create();
    // The windows' alpha limits again (after the whole scene was dimmed).
    void RestoreLimits();

    // --- unit panels --------------------------------------------------------
    // Left: a player unit (or none); right: an enemy, else a core (short
    // status), else hidden.
    void ShowUnits(const CharaValues* player, const CharaValues* enemy, const CharaValues* core);
    const CTextObject& LeftText() const { return leftText_; }
    const CTextObject& RightText() const { return rightText_; }
    const CPolygon& LeftPanel() const { return leftPanel_; }
    const CPolygon& RightPanel() const { return rightPanel_; }
    void HideUnitPanels();

    // --- banners ------------------------------------------------------------
    void StartTurnBanner(const char* picture);
    // The banner wipes in, then out (1 while moving).
    int WipeTurnBannerIn(float step) { return turnBanner_.Wipe(1, WipeDirection::Left, step); }
    int WipeTurnBannerOut(float step);

    // --- menus --------------------------------------------------------------
    CButtonRow& CommandMenu() { return commandMenu_; }
    CButtonRow& CommandList() { return commandList_; }
    // One button per command in ascending MP cost, 32 pixels apart from y = 50;
    // returns the number of buttons.
    int FillCommandList(const CharaValues& unit);
    void CloseMenus();

    // --- attack preview -----------------------------------------------------
    void ShowPreview(const CharaValues& unit, const MARecord* command);
    void HidePreview();
    const CScreenNumber& PreviewNumber(int i) const { return previewNumbers_[i]; }

    // --- the prepared attack: bonus labels and command banner ---------------
    void ShowBonus(const AttackBonusResult& bonus, const std::string& command);
    // While the attack plays: the labels and the banner slide in; 1 while moving.
    int SlideAttackIn(float slide);
    // Afterwards: the labels fade out and the banner slides off; 1 while moving.
    int SlideAttackOut(float slide, int fadeStep);
    void ClearBonus();
    const CTextObject& DirectionLabel() const { return directionLabel_; }
    const CTextObject& HeightLabel() const { return heightLabel_; }

    // --- details window -----------------------------------------------------
    void OpenDetails(const DetailColumns& columns, const CharaValues& enemy);
    int SlideDetailsIn(float slide);
    int SlideDetailsOut(float slide);
    const CTextObject& DetailColumn(int i) const { return detailColumns_[i]; }

    // --- victory figures ----------------------------------------------------
    void StartResultLine(int line, int target);
    // 1 while the line's number counts.
    int CountResultLine(int line, float step);
    void ClearResults();
    const CScreenNumber& ResultNumber(int line) const { return resultNumbers_[line]; }
    const CTextObject& ResultLabel(int line) const { return resultLabels_[line]; }

    // --- pause label and the choice window ----------------------------------
    void ShowPause(bool on) { pauseLabel_.SetText(on ? "Pause" : ""); }
    const CTextObject& PauseLabel() const { return pauseLabel_; }
    void ShowChoiceWindow(bool on) { choiceWindow_.SetEnabled(on ? 1 : 0); }

    // Drawing: the command banner alone (it goes between the creatures and
    // their effects), then the banners, panels, menus and texts.
    void DrawCommandBanner();
    void DrawPanels();
    void DrawTexts();

private:
    CPolygon leftPanel_, rightPanel_;
    CTextObject leftText_, rightText_;
    CPolygon turnBanner_, commandBanner_;
    CButtonRow commandMenu_, commandList_;
    CPolygon previewWindow_;
    std::array<CTextObject, 3> previewLabels_;
    std::array<CScreenNumber, 3> previewNumbers_;
    CTextObject directionLabel_, heightLabel_;
    CPolygon detailsWindow_;
    std::array<CTextObject, 4> detailColumns_;
    std::array<CTextObject, 3> resultLabels_;
    std::array<CScreenNumber, 3> resultNumbers_;
    std::array<int, 3> resultTargets_{};
    CTextObject pauseLabel_;
    CPolygon choiceWindow_;
    bool detailsOpen_ = false;
};

} // namespace quolis
