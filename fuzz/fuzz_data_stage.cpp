// The three stage readers on garbage token lists.
#include "common/Text.h"
#include "data/StageData.h"
#include "data/Tokens.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace quolis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto tables = [] {
        struct T {
            MAMaster arms;
            CharaMaster master;
            FloorTex tex;
            FloorObj obj;
        } t;
        t.arms.Parse(SplitTokens("A 1 2 3"));
        // One creature type "T" with every table, steps and one Metal Arms.
        t.master.Parse(
            SplitTokens(Utf8ToCp932(
                "／／名前 T m p ／／名前終わり ／／ＨＰ T ／／ 10 2 0.5 ／／ ／／ＨＰ終わり "
                "／／ＮｅｅｄＢＰ T ／／ 100 50 0.1 ／／ ／／ＮｅｅｄＢＰ終わり "
                "／／ＢＰ T ／／ 0.5 0.2 ／／ ／／ＢＰ終わり "
                "／／ＭｂｌＰ T ／／ 0 1 3 ／／ ／／ＭｂｌＰ終わり "
                "／／メタルアームズ T ／／ A 0 1 ／／ ／／メタルアームズ終わり")),
            t.arms);
        t.tex.Parse(SplitTokens("a t.bmp b u.bmp"));
        t.obj.Parse(SplitTokens("- n.x T t.x"));
        return t;
    }();
    const TokenList tokens =
        SplitTokens(std::string_view(reinterpret_cast<const char*>(data), size));
    StageData s;
    s.ParseInformation(tokens);
    s.ParseBattleData(tokens, tables.master, tables.arms);
    s.ParseFloor(tokens, tables.tex, tables.obj);
    s.PlaceEnemies();
    return 0;
}
