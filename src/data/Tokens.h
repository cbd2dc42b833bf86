#pragma once
// Token-level parsing shared by every reader of the game's text tables. A
// reader walks a TokenList with an index; none of these helpers ever reads past
// the end of the list.
#include "data/DatArchive.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

// Removes comments: a token exactly "/*" up to and including the next token
// exactly "*/" (no nesting; an unterminated comment runs to the end).
void RemoveComments(TokenList& tokens);

// Splits text at ASCII whitespace (space, tab, CR, LF, VT, FF) into tokens.
// The full-width space (0x81 0x40) is not whitespace.
TokenList SplitTokens(std::string_view text);

// "%d"/"%ld" scan: a number read from the start of the token, the rest
// ignored. Returns false and leaves `out` unchanged when the token does not
// start with a number.
bool ScanInt(std::string_view token, std::int32_t& out);
// "%f" scan, the same rules.
bool ScanFloat(std::string_view token, float& out);

// Index of the first token equal to `mark` at or after `from`, or nullopt.
std::optional<std::size_t> FindToken(const TokenList& tokens, std::string_view mark,
                                     std::size_t from = 0);

// A section "／／" + name ... "／／" + name + "終わり": `begin` is the index
// after the start mark, `end` the index of the end mark (the list's size when
// the end mark is missing). `name` is CP932 without the leading "／／".
struct TokenSection {
    std::size_t begin = 0;
    std::size_t end = 0;
};
std::optional<TokenSection> FindSection(const TokenList& tokens, std::string_view name,
                                        std::size_t from = 0);

// A forward cursor over a token list.
class TokenCursor {
public:
    explicit TokenCursor(const TokenList& tokens, std::size_t pos = 0)
        : tokens_(&tokens), pos_(pos) {}

    bool AtEnd() const { return pos_ >= tokens_->size(); }
    std::size_t Pos() const { return pos_; }
    void Seek(std::size_t pos) { pos_ = pos; }
    // The current token, or an empty view at the end.
    std::string_view Peek() const;
    // The current token (empty at the end), then advances.
    std::string_view Next();
    // Advances past the next token equal to `mark`; false (at end) if none.
    bool SkipPast(std::string_view mark);
    // Reads the next token as a number; the target is unchanged when it does
    // not parse. Always consumes one token (if any).
    bool NextInt(std::int32_t& out);
    bool NextFloat(float& out);
    // Terminated lists and group names: the tokens before the next `mark`,
    // which is consumed. False when the list ends first (all remaining tokens
    // are then in `out`).
    bool ReadUntil(std::string_view mark, TokenList& out);
    // Flat rows: the next `n` tokens. False (nothing consumed) when fewer are
    // left.
    bool NextRow(std::size_t n, std::vector<std::string_view>& row);

private:
    const TokenList* tokens_;
    std::size_t pos_;
};

} // namespace quolis
