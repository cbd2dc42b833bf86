// The token level on arbitrary bytes: splitting, comment removal, number
// scans, the cursor, the codec, and the plain and scrambled file readers.
#include "FuzzSupport.h"
#include "common/Path.h"
#include "data/DatArchive.h"
#include "data/Tokens.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace quolis;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TokenList tokens = SplitTokens(text);
    std::size_t bytes = 0;
    for (const auto& t : tokens) {
        CHECK(!t.empty());
        for (char c : t) {
            CHECK(!IsSpace(c));
        }
        bytes += t.size();
        std::int32_t i = 7;
        ScanInt(t, i);
        float f = 0.5f;
        ScanFloat(t, f);
        std::string s = t;
        DataCodec::Encode(s);
        DataCodec::Decode(s);
        CHECK(s == t);
    }
    CHECK(bytes <= size);

    TokenList plain = tokens;
    RemoveComments(plain);
    CHECK(plain.size() <= tokens.size());

    TokenCursor cur(tokens);
    while (!cur.AtEnd()) {
        std::int32_t v = 0;
        float f = 0.0f;
        std::size_t before = cur.Pos();
        if (before % 3 == 0) {
            cur.NextInt(v);
        } else if (before % 3 == 1) {
            cur.NextFloat(f);
        } else if (!cur.SkipPast("//")) {
            break;
        }
        CHECK(cur.Pos() > before);
    }
    CHECK(cur.Peek().empty() || cur.Pos() < tokens.size());
    if (!tokens.empty()) {
        FindToken(tokens, tokens.back(), tokens.size() / 2);
    }

    // The file readers agree with the in-memory steps.
    const std::string& dir = fuzz::TempGameRoot("tokens");
    if (!WriteHostFileAtomic(dir + "/f.txt", text, false) ||
        !WriteHostFileAtomic(dir + "/fE.txt", text, false)) {
        return 0;
    }
    CDatArchive reader(false, false);
    TokenList read;
    CHECK(reader.ReadTokens("", "f.txt", read) == S_OK);
    CHECK(read == plain);
    CDatArchive secure(true, false);
    CHECK(secure.ReadTokens("", "f.txt", read) == S_OK);
    TokenList decoded = plain;
    DataCodec::Decode(decoded);
    CHECK(read == decoded);
    long limit = static_cast<long>(size % 7);
    CHECK(reader.ReadTokens("", "f.txt", read, static_cast<long>(size % 5), limit) == S_OK);
    CHECK(limit == 0 ? read.empty() : read.size() <= static_cast<std::size_t>(limit));
    return 0;
}
