// The staff roll: thirteen blocks of right-aligned lines. The role words,
// headings, field widths and line feeds are the game's; the names credit
// what this program and its demo campaign are really made of.
#include "common/Text.h"
#include "scenes/story/StoryScenes.h"

#include <vector>

namespace quolis {

namespace {

struct CreditLine {
    int width; // field width in CP932 bytes
    std::string text;
    int lineFeeds;
};

struct CreditBlock {
    int step;
    int next;
    std::vector<CreditLine> lines;
    int extraLineFeeds = 0;
};

// Padded on the left with ASCII spaces to the field width, as a stream field
// width does; a longer text is not cut.
std::string RightAligned(const std::string& text, int width) {
    const std::size_t w = static_cast<std::size_t>(width);
    return text.size() >= w ? text : std::string(w - text.size(), ' ') + text;
}

std::string Role(const char* role, const char* name) {
    return Utf8ToCp932(std::string(role) + "　　　" + name);
}

std::string Honoured(const char* name) {
    return Utf8ToCp932(std::string(name) + "様");
}

const std::vector<CreditBlock>& Blocks() {
    static const std::vector<CreditBlock> blocks = {
        {1005, 1010, {{34, SJ("クオーリス"), 3}, {32, SJ("ＳＴＡＦＦ"), 0}}},
        {1010, 1020, {{36, Role("原作", "クオーリス　Ver1.00"), 1}}},
        {1020, 1030, {{38, Role("シナリオ", "デモキャンペーン制作班"), 1}}},
        {1030, 1040, {{40, Role("３Ｄモデリング", "mkcontent（手続き生成）"), 1}}},
        {1040, 1041, {{42, Role("プログラムアドバイザー", "GoogleTest・ASan・UBSan"), 1}}},
        {1041, 1042, {{33, SJ("音楽提供者の皆様"), 1}}},
        {1042,
         1043,
         {{37, Honoured("mkcontent（自動作曲）"), 2},
          {30, Honoured("FluidSynth"), 2},
          {35, Honoured("TimGM6mb（Tim Brechbill）"), 2},
          {35, Honoured("SDL2_mixer"), 1}}},
        {1043,
         1044,
         {{34, Honoured("SDL2"), 2},
          {35, Honoured("OpenGL（Mesa）"), 2},
          {35, Honoured("Dear ImGui"), 2},
          {34, Honoured("SDL2_ttf（FreeType）"), 1}}},
        {1044,
         1050,
         {{31, Honoured("IPAフォント"), 2},
          {32, Honoured("Liberation Fonts"), 2},
          {33, Honoured("libpng・libjpeg・zlib"), 2}},
         1},
        {1050, 1054, {{32, SJ("効果音提供者"), 2}, {38, Honoured("mkcontent（効果音合成）"), 1}}},
        {1054, 1060, {{34, SJ("スペシャルサンクス"), 2}, {32, Honoured("Debian"), 1}}},
        {1060, 1070, {{38, Role("プログラム", "クオーリス for Linux 開発チーム"), 1}}},
        {1070, 9000, {{36, SJ("Ａｎｄ　Ｙｏｕ．．．"), 1}}},
    };
    return blocks;
}

const CreditBlock* FindBlock(int step) {
    for (const CreditBlock& b : Blocks()) {
        if (b.step == step) {
            return &b;
        }
    }
    return nullptr;
}

} // namespace

std::string StaffRollBlock(int step) {
    const CreditBlock* b = FindBlock(step);
    if (b == nullptr) {
        return {};
    }
    std::string out;
    for (const CreditLine& line : b->lines) {
        out += RightAligned(line.text, line.width);
        out.append(static_cast<std::size_t>(line.lineFeeds), '\n');
    }
    out.append(static_cast<std::size_t>(b->extraLineFeeds), '\n');
    return out;
}

int StaffRollNext(int step) {
    const CreditBlock* b = FindBlock(step);
    return b != nullptr ? b->next : 0;
}

} // namespace quolis
