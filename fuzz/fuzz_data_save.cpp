// The save reader and the slot summary on garbage token lists.
#include "common/Text.h"
#include "data/GameState.h"
#include "data/Tokens.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace quolis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const MAMaster arms = [] {
        MAMaster m;
        m.Parse(SplitTokens("A 1 2 3"));
        return m;
    }();
    static const CharaMaster master = [] {
        CharaMaster m;
        m.Parse(SplitTokens(
                    Utf8ToCp932("／／名前 T m p ／／名前終わり ／／ＨＰ T ／／ 10 2 0.5 ／／ "
                                "／／ＨＰ終わり ／／ＭｂｌＰ T ／／ 0 1 3 ／／ ／／ＭｂｌＰ終わり "
                                "／／メタルアームズ T ／／ A 0 1 ／／ ／／メタルアームズ終わり")),
                arms);
        return m;
    }();
    const TokenList tokens =
        SplitTokens(std::string_view(reinterpret_cast<const char*>(data), size));
    GameState g;
    g.ParseSave(tokens, master, arms);
    std::tm date{};
    std::string stage;
    SummaryFields(tokens, date, stage);
    SummaryLine(StageLabel(stage, date.tm_mday, stage), SummaryDate(date));
    g.ComposeSave();
    return 0;
}
