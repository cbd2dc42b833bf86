#include "scenes/battle/BattlePanels.h"

#include "common/Text.h"

#include <algorithm>

namespace quolis {

namespace {

constexpr Argb kWhite = 0xFFFFFFFFu;
constexpr float kPanelW = 330, kPanelH = 170;
constexpr float kLeftX = 30, kRightX = 450, kPanelY = 370;
constexpr float kDetailsX = 350, kDetailsW = 430, kDetailsH = 300;
constexpr float kDetailsHiddenY = 600, kDetailsShownY = 230;
constexpr float kRightUpY = 30;
constexpr float kLabelRestX = 800, kLabelPlayX = 600;
constexpr float kBannerPlayX = 316, kBannerGoneX = -168;
constexpr float kBannerW = 160, kBannerH = 32;
constexpr float kResultY[3] = {100, 200, 400};

void Font(CTextObject& t, int points) {
    t.SetFont(SJ("ＭＳ Ｐゴシック"), points, 0);
}

void Window(CPolygon& p, float x, float y, float w, float h, int alpha) {
    p.Setup(x, y, BattlePanels::kWindowZ, w, h, 0, alpha, 0);
}

// The panel colour rule: red text when HP is below a quarter of the maximum.
void StatusColour(CTextObject& t, const CharaValues& c) {
    if (0.25f * static_cast<float>(c.MaxHP()) > static_cast<float>(c.HP())) {
        t.SetColour(255, 200, 0, 0);
    } else {
        t.SetColour(255, 255, 255, 255);
    }
}

std::string Pad(std::string s, std::size_t width) {
    if (s.size() < width) {
        s.append(width - s.size(), ' ');
    }
    return s;
}

} // namespace

std::string BonusLabelText(const std::string& label, std::int32_t bonus) {
    if (label.empty()) {
        return {};
    }
    return label + " " + (bonus >= 0 ? "+" : "") + std::to_string(bonus);
}

DetailColumns BuildDetailColumns(const CharaValues& enemy,
                                 const std::multimap<std::int32_t, std::string>& typeCommands,
                                 const MAMaster& arms) {
    DetailColumns out;
    out.text[0] = Pad(SJ("コマンド名"), 20) + "\n";
    out.text[1] = Pad(SJ("射程"), 4) + "\n";
    out.text[2] = Pad(SJ("威力"), 4) + "\n";
    out.text[3] = Pad(SJ("消費ＭＰ"), 8) + "\n";
    for (const auto& [cost, name] : typeCommands) {
        const MARecord* known = enemy.FindArm(name);
        if (known == nullptr) {
            out.text[0] += SJ("＊＊＊＊＊＊") + "\n";
            out.text[1] += "?\n";
            out.text[2] += "?\n";
            out.text[3] += "?\n";
        } else {
            const MARecord* r = arms.Find(name);
            const MARecord& rec = r != nullptr ? *r : *known;
            out.text[0] += name + "\n";
            out.text[1] += std::to_string(rec.range) + "\n";
            out.text[2] += std::to_string(rec.power) + "\n";
            out.text[3] += std::to_string(rec.mpCost) + "\n";
        }
        ++out.rows;
    }
    return out;
}

void BattlePanels::Create() {
    Window(leftPanel_, kLeftX, kPanelY, kPanelW, kPanelH, 128);
    Window(rightPanel_, kRightX, kPanelY, kPanelW, kPanelH, 128);
    for (CPolygon* p : {&leftPanel_, &rightPanel_}) {
        p->SetTextureName("Nothing");
        p->SetColour(128, 0, 0, 128);
        p->SetAlphaLimits(0, 128);
        p->SetEnabled(0);
    }
    Font(leftText_, 12);
    Font(rightText_, 12);
    leftText_.position = {kLeftX + 20, kPanelY + 10, 0.1f};
    rightText_.position = {kRightX + 20, kPanelY + 10, 0.1f};

    turnBanner_.Setup(0, 250, 0.1f, 800, 100, 0, 255, 0);
    turnBanner_.SetEnabled(0);
    commandBanner_.Setup(kLabelRestX, 30, 0.1f, kBannerW, kBannerH, 0, 255, 0);
    commandBanner_.SetEnabled(0);

    commandMenu_.SetupWidget();
    commandList_.SetupWidget();

    Window(previewWindow_, 30, 50, 360, 260, 128);
    previewWindow_.SetTextureName("Nothing");
    previewWindow_.SetColour(128, 0, 0, 128);
    previewWindow_.SetAlphaLimits(0, 128);
    previewWindow_.SetEnabled(0);
    for (int i = 0; i < 3; ++i) {
        Font(previewLabels_[i], 14);
        previewLabels_[i].position = {50, 58.0f + 80.0f * static_cast<float>(i), 0.1f};
        previewLabels_[i].SetEnabled(0);
        previewNumbers_[i].Load("Number\\Number.bmp");
        previewNumbers_[i].Setup(50, 78.0f + 80.0f * static_cast<float>(i), 0.1f, 60, 50, 0);
        previewNumbers_[i].SetEnabled(0);
    }
    previewLabels_[0].SetText(SJ("攻撃力"));
    previewLabels_[1].SetText(SJ("消費ＭＰ"));
    previewLabels_[2].SetText(SJ("残りＭＰ"));

    Font(directionLabel_, 14);
    Font(heightLabel_, 14);
    directionLabel_.position = {kLabelRestX, 30, 0.1f};
    heightLabel_.position = {kLabelRestX, 50, 0.1f};

    Window(detailsWindow_, kDetailsX, kDetailsHiddenY, kDetailsW, kDetailsH, 128);
    detailsWindow_.SetTextureName("Nothing");
    detailsWindow_.SetColour(128, 0, 0, 128);
    detailsWindow_.SetAlphaLimits(0, 128);
    detailsWindow_.SetEnabled(0);
    for (CTextObject& t : detailColumns_) {
        t.SetFont(SJ("ＭＳ ゴシック"), 12, 0);
    }

    for (int i = 0; i < 3; ++i) {
        Font(resultLabels_[i], 20);
        resultLabels_[i].position = {100, kResultY[i], 0.1f};
        resultNumbers_[i].Load("Number\\Number.bmp");
        resultNumbers_[i].Setup(450, kResultY[i] + 8, 0.1f, 60, 50, 0);
        resultNumbers_[i].SetNumber(0);
        resultNumbers_[i].SetEnabled(0);
    }
    Font(pauseLabel_, 24);
    pauseLabel_.position = {340, 110, 0.1f};

    Window(choiceWindow_, 250, 160, 300, 220, 128);
    choiceWindow_.SetTextureName("Nothing");
    choiceWindow_.SetColour(128, 0, 0, 128);
    choiceWindow_.SetAlphaLimits(0, 128);
    choiceWindow_.SetEnabled(0);
}

void BattlePanels::RestoreLimits() {
    for (CPolygon* p :
         {&leftPanel_, &rightPanel_, &previewWindow_, &detailsWindow_, &choiceWindow_}) {
        p->SetAlphaLimits(0, 128);
        p->SetAlpha(128);
    }
}

// --- unit panels ------------------------------------------------------------

void BattlePanels::ShowUnits(const CharaValues* player, const CharaValues* enemy,
                             const CharaValues* core) {
    if (player != nullptr) {
        leftPanel_.SetEnabled(1);
        leftText_.SetText(player->StatusText(true));
        StatusColour(leftText_, *player);
    } else {
        leftPanel_.SetEnabled(0);
        leftText_.SetText("");
    }
    if (detailsOpen_) {
        return; // the right panel belongs to the details window meanwhile
    }
    if (enemy != nullptr) {
        rightPanel_.SetEnabled(1);
        rightText_.SetText(enemy->StatusText(true));
        StatusColour(rightText_, *enemy);
    } else if (core != nullptr) {
        rightPanel_.SetEnabled(1);
        rightText_.SetText(core->ShortStatusText(true));
        rightText_.SetColour(255, 255, 255, 255);
    } else {
        rightPanel_.SetEnabled(0);
        rightText_.SetText("");
    }
}

void BattlePanels::HideUnitPanels() {
    ShowUnits(nullptr, nullptr, nullptr);
}

// --- banners ------------------------------------------------------------------

void BattlePanels::StartTurnBanner(const char* picture) {
    turnBanner_.SetTextureName(picture);
    turnBanner_.SetEnabled(1);
    turnBanner_.Glides().state[1] = 0;
}

int BattlePanels::WipeTurnBannerOut(float step) {
    const int r = turnBanner_.Wipe(0, WipeDirection::Left, step);
    if (r == 0) {
        turnBanner_.SetEnabled(0);
    }
    return r;
}

// --- menus ------------------------------------------------------------------

int BattlePanels::FillCommandList(const CharaValues& unit) {
    commandList_.ClearEntries();
    int key = 0;
    for (const auto& [cost, name] : unit.ArmsByCost()) {
        commandList_.AddEntry(name, "Button\\Battle\\" + name + ".bmp", key, 600,
                              50.0f + 32.0f * static_cast<float>(key), 0.1f, kBannerW, kBannerH, 0);
        ++key;
    }
    return key;
}

void BattlePanels::CloseMenus() {
    commandMenu_.ClearEntries();
    commandList_.ClearEntries();
}

// --- attack preview -----------------------------------------------------------

void BattlePanels::ShowPreview(const CharaValues& unit, const MARecord* command) {
    previewWindow_.SetEnabled(1);
    const int power = command != nullptr ? command->power : 0;
    const int cost = command != nullptr ? command->mpCost : 0;
    const int values[3] = {power, cost, unit.MP()};
    for (int i = 0; i < 3; ++i) {
        previewLabels_[i].SetEnabled(1);
        previewNumbers_[i].SetEnabled(1);
        previewNumbers_[i].SetNumber(values[i]);
        previewNumbers_[i].SetColour(255, 255, 255, 255);
    }
    if (unit.MP() < cost) {
        previewNumbers_[2].SetColour(255, 200, 0, 0);
    }
}

void BattlePanels::HidePreview() {
    previewWindow_.SetEnabled(0);
    for (int i = 0; i < 3; ++i) {
        previewLabels_[i].SetEnabled(0);
        previewNumbers_[i].SetEnabled(0);
    }
}

// --- bonus labels and command banner ------------------------------------------

void BattlePanels::ShowBonus(const AttackBonusResult& bonus, const std::string& command) {
    directionLabel_.SetText(BonusLabelText(bonus.directionLabel, bonus.direction));
    directionLabel_.SetColour(255, 0, 0, 200);
    heightLabel_.SetText(BonusLabelText(bonus.heightLabel, bonus.height));
    if (bonus.height >= 0) {
        heightLabel_.SetColour(255, 0, 0, 200);
    } else {
        heightLabel_.SetColour(255, 200, 0, 0);
    }
    directionLabel_.position = {kLabelRestX, 30, 0.1f};
    heightLabel_.position = {kLabelRestX, 50, 0.1f};
    directionLabel_.Glides().state[0] = 0;
    heightLabel_.Glides().state[0] = 0;
    commandBanner_.SetTextureName("Button\\Battle\\" + command + ".bmp");
    commandBanner_.SetPos(kLabelRestX, 30, 0.1f);
    commandBanner_.Glides().state[0] = 0;
    commandBanner_.SetEnabled(1);
}

int BattlePanels::SlideAttackIn(float slide) {
    int moving = 0;
    moving |= directionLabel_.GlideTo(kLabelPlayX, 30, 0.1f, slide);
    moving |= heightLabel_.GlideTo(kLabelPlayX, 50, 0.1f, slide);
    moving |= commandBanner_.GlideTo(kBannerPlayX, 30, 0.1f, slide);
    return moving;
}

int BattlePanels::SlideAttackOut(float slide, int fadeStep) {
    int moving = 0;
    moving |= directionLabel_.FadeAlpha(0, 0, fadeStep);
    moving |= heightLabel_.FadeAlpha(0, 0, fadeStep);
    moving |= commandBanner_.GlideTo(kBannerGoneX, 30, 0.1f, slide);
    return moving;
}

void BattlePanels::ClearBonus() {
    directionLabel_.SetText("");
    heightLabel_.SetText("");
    directionLabel_.SetAlpha(255);
    heightLabel_.SetAlpha(255);
    commandBanner_.SetEnabled(0);
}

// --- details window -------------------------------------------------------------

void BattlePanels::OpenDetails(const DetailColumns& columns, const CharaValues& enemy) {
    detailsOpen_ = true;
    detailsWindow_.SetPos(kDetailsX, kDetailsHiddenY, kWindowZ);
    detailsWindow_.Glides().state[0] = 0;
    detailsWindow_.SetEnabled(1);
    static constexpr float kColumnX[4] = {10, 190, 240, 290};
    for (int i = 0; i < 4; ++i) {
        detailColumns_[i].SetText(columns.text[i]);
        detailColumns_[i].position = {kDetailsX + kColumnX[i], kDetailsHiddenY + 20, 0.1f};
        detailColumns_[i].Glides().state[0] = 0;
    }
    rightPanel_.SetEnabled(1);
    rightPanel_.Glides().state[0] = 0;
    rightText_.Glides().state[0] = 0;
    rightText_.SetText(enemy.StatusText(true));
    StatusColour(rightText_, enemy);
}

int BattlePanels::SlideDetailsIn(float slide) {
    int moving = detailsWindow_.GlideTo(kDetailsX, kDetailsShownY, kWindowZ, slide);
    static constexpr float kColumnX[4] = {10, 190, 240, 290};
    for (int i = 0; i < 4; ++i) {
        moving |=
            detailColumns_[i].GlideTo(kDetailsX + kColumnX[i], kDetailsShownY + 20, 0.1f, slide);
    }
    moving |= rightPanel_.GlideTo(kRightX, kRightUpY, kWindowZ, slide);
    moving |= rightText_.GlideTo(kRightX + 20, kRightUpY + 10, 0.1f, slide);
    return moving;
}

int BattlePanels::SlideDetailsOut(float slide) {
    int moving = detailsWindow_.GlideTo(kDetailsX, kDetailsHiddenY, kWindowZ, slide);
    static constexpr float kColumnX[4] = {10, 190, 240, 290};
    for (int i = 0; i < 4; ++i) {
        moving |=
            detailColumns_[i].GlideTo(kDetailsX + kColumnX[i], kDetailsHiddenY + 20, 0.1f, slide);
    }
    moving |= rightPanel_.GlideTo(kRightX, kPanelY, kWindowZ, slide);
    moving |= rightText_.GlideTo(kRightX + 20, kPanelY + 10, 0.1f, slide);
    if (moving == 0) {
        detailsOpen_ = false;
        detailsWindow_.SetEnabled(0);
        for (CTextObject& t : detailColumns_) {
            t.SetText("");
        }
    }
    return moving;
}

// --- victory figures ------------------------------------------------------------

void BattlePanels::StartResultLine(int line, int target) {
    resultTargets_[line] = target;
    switch (line) {
    case 0:
        resultLabels_[0].SetText(SJ("＋獲得ＢＰ"));
        break;
    case 1:
        resultLabels_[1].SetText(SJ("イベントボーナス："));
        break;
    default:
        resultLabels_[2].SetText(SJ("所持ＢＰ"));
        break;
    }
    resultNumbers_[line].SetEnabled(1);
    resultNumbers_[line].ForceAlpha(255);
    resultNumbers_[line].ResetColour();
}

int BattlePanels::CountResultLine(int line, float step) {
    return resultNumbers_[line].CountTo(resultTargets_[line], step);
}

void BattlePanels::ClearResults() {
    for (int i = 0; i < 3; ++i) {
        resultLabels_[i].SetText("");
        resultNumbers_[i].SetEnabled(0);
    }
}

// --- drawing ----------------------------------------------------------------------

void BattlePanels::DrawCommandBanner() {
    commandBanner_.Draw();
}

void BattlePanels::DrawPanels() {
    turnBanner_.Draw();
    leftPanel_.Draw();
    rightPanel_.Draw();
    detailsWindow_.Draw();
    previewWindow_.Draw();
    choiceWindow_.Draw();
    commandMenu_.Draw();
    commandList_.Draw();
    for (CScreenNumber& n : previewNumbers_) {
        if (n.IsEnabled() != 0) {
            n.Draw();
        }
    }
    for (CScreenNumber& n : resultNumbers_) {
        if (n.IsEnabled() != 0) {
            n.Draw();
        }
    }
}

void BattlePanels::DrawTexts() {
    leftText_.Draw();
    rightText_.Draw();
    for (CTextObject& t : previewLabels_) {
        t.Draw();
    }
    directionLabel_.Draw();
    heightLabel_.Draw();
    for (CTextObject& t : detailColumns_) {
        t.Draw();
    }
    for (CTextObject& t : resultLabels_) {
        t.Draw();
    }
    pauseLabel_.Draw();
}

} // namespace quolis
