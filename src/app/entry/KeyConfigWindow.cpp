#include "app/entry/KeyConfigWindow.h"

#include "common/Text.h"

#include <imgui.h>

#include <string>

namespace quolis {

namespace {

// Dialog units to pixels for the 16-pixel interface font.
constexpr float kUnitX = 2.2f;
constexpr float kUnitY = 2.0f;
constexpr float kWidthUnits = 307, kHeightUnits = 221;

// The client area starts below the caption bar.
float CaptionHeight() {
    return ImGui::GetFontSize() + 2 * ImGui::GetStyle().FramePadding.y;
}
ImVec2 At(float x, float y) {
    return ImVec2(x * kUnitX, y * kUnitY + CaptionHeight());
}
ImVec2 Size(float w, float h) {
    return ImVec2(w * kUnitX, h * kUnitY);
}

void Label(const std::string& cp932, float x, float y) {
    ImGui::SetCursorPos(At(x, y));
    ImGui::TextUnformatted(Cp932ToUtf8(cp932).c_str());
}

void Button(const CKeyConfig& config, std::vector<int>& clicks, int id, const char* utf8, float x,
            float y, float w, float h) {
    ImGui::SetCursorPos(At(x, y));
    bool enabled = config.Enabled(id);
    bool focused = config.Focus() == id;
    ImGui::BeginDisabled(!enabled);
    if (focused) {
        ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
    }
    std::string label = std::string(utf8) + "##" + std::to_string(id);
    if (ImGui::Button(label.c_str(), Size(w, h))) {
        clicks.push_back(id);
    }
    if (focused) {
        ImGui::PopStyleVar();
    }
    ImGui::EndDisabled();
}

// A joypad binding as the pad calls the button: "A (2)" for "Button 2" on a
// pad with a known layout; the binding's own text otherwise.
std::string PadText(const std::string& utf8, PadStyle pad) {
    int button = JoypadButtonOfName(utf8);
    std::string label = PadButtonLabel(pad, button);
    return label.empty() ? utf8 : label + " (" + std::to_string(button) + ")";
}

// A read-only bordered value box.
void ValueBox(const CKeyConfig& config, int id, float x, float y, PadStyle pad) {
    ImVec2 p = ImGui::GetWindowPos();
    ImVec2 a = At(x, y);
    ImVec2 size = Size(34, 16);
    ImVec2 min(p.x + a.x, p.y + a.y);
    ImVec2 max(min.x + size.x, min.y + size.y);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRectFilled(min, max, IM_COL32(255, 255, 255, 255));
    bool focused = config.Focus() == id;
    draw->AddRect(min, max, focused ? IM_COL32(0, 90, 220, 255) : IM_COL32(120, 120, 120, 255),
                  0.0f, 0, focused ? 2.0f : 1.0f);
    std::string text = PadText(Cp932ToUtf8(config.Text(id)), pad);
    draw->AddText(ImVec2(min.x + 4, min.y + (size.y - ImGui::GetFontSize()) / 2),
                  IM_COL32(0, 0, 0, 255), text.c_str());
}

struct Cell {
    int label, box;
};

void Grid(const CKeyConfig& config, const Cell* cells, int count, float labelY, float boxY,
          PadStyle pad = PadStyle::None) {
    static constexpr float kColumns[5] = {68, 113, 159, 206, 253};
    for (int i = 0; i < count; ++i) {
        Label(config.Text(cells[i].label), kColumns[i], labelY);
        ValueBox(config, cells[i].box, kColumns[i], boxY, pad);
    }
}

} // namespace

void DrawKeyConfigWindow(const CKeyConfig& config, std::vector<int>& clicks, PadStyle pad) {
    ImGuiViewport* vp = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImVec2 size = Size(kWidthUnits, kHeightUnits);
    ImGui::SetNextWindowSize(ImVec2(size.x, size.y + CaptionHeight()), ImGuiCond_Always);
    ImGui::PushStyleColor(ImGuiCol_WindowBg, IM_COL32(236, 233, 216, 255));
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(0, 0, 0, 255));
    ImGui::PushStyleColor(ImGuiCol_Button, IM_COL32(245, 245, 240, 255));
    ImGui::PushStyleColor(ImGuiCol_Border, IM_COL32(60, 60, 60, 255));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                                   ImGuiWindowFlags_NoScrollbar;
    if (ImGui::Begin("キーコンフィグ###quolis-key-config", nullptr, flags)) {
        Label(SJ("ジョイパッド"), 18, 14);
        Button(config, clicks, kKcJoypadStart, "設定開始", 13, 29, 44, 15);
        Button(config, clicks, kKcJoypadDefault, "デフォルト", 13, 49, 44, 15);
        Label(SJ("キーボード"), 18, 86);
        Button(config, clicks, kKcKeyboardStart, "設定開始", 13, 102, 44, 15);
        Button(config, clicks, kKcKeyboardDefault, "デフォルト", 13, 122, 44, 15);
        Label(SJ("マウス"), 18, 153);
        Button(config, clicks, kKcMouseStart, "設定開始", 13, 169, 44, 15);
        Button(config, clicks, kKcMouseDefault, "デフォルト", 13, 189, 44, 15);
        Button(config, clicks, kKcAbort, "中止", 159, 162, 67, 18);
        Button(config, clicks, kKcAllDefaults, "全部デフォルトにする", 160, 190, 67, 18);
        Button(config, clicks, kKcClose, "キーコンフィグ終了", 237, 190, 59, 18);

        static constexpr Cell kJoypad1[] = {
            {1004, 1000}, {1022, 1007}, {1026, 1008}, {1027, 1009}, {1028, 1025}};
        static constexpr Cell kJoypad2[] = {{1029, 1005}, {1030, 1006}, {1031, 1021}, {1032, 1024}};
        static constexpr Cell kKeyboard1[] = {
            {1013, 1010}, {1036, 1016}, {1033, 1017}, {1035, 1038}, {1043, 1044}};
        static constexpr Cell kKeyboard2[] = {
            {1034, 1014}, {1037, 1015}, {1039, 1040}, {1041, 1042}, {1047, 1048}};
        static constexpr Cell kMouse[] = {{1045, 1018}, {1046, 1023}};
        Grid(config, kJoypad1, 5, 8, 20, pad);
        Grid(config, kJoypad2, 4, 42, 56, pad);
        Grid(config, kKeyboard1, 5, 81, 93);
        Grid(config, kKeyboard2, 5, 115, 129);
        Grid(config, kMouse, 2, 167, 179);
    }
    ImGui::End();
    ImGui::PopStyleVar();
    ImGui::PopStyleColor(4);
}

} // namespace quolis
