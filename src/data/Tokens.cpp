#include "data/Tokens.h"

#include "common/Number.h"
#include "common/Text.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace quolis {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

void RemoveComments(TokenList& tokens) {
    TokenList out;
    out.reserve(tokens.size());
    bool inComment = false;
    for (auto& t : tokens) {
        if (!inComment && t == "/*") {
            inComment = true;
            continue;
        }
        if (inComment) {
            if (t == "*/") {
                inComment = false;
            }
            continue;
        }
        out.push_back(std::move(t));
    }
    tokens = std::move(out);
}

TokenList SplitTokens(std::string_view text) {
    TokenList out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i])) {
            ++i;
        }
        if (i > start) {
            out.emplace_back(text.substr(start, i - start));
        }
    }
    return out;
}

bool ScanInt(std::string_view token, std::int32_t& out) {
    // Like "%d": optional sign, then at least one digit; the rest is ignored.
    std::size_t i = 0;
    while (i < token.size() && IsSpace(token[i])) {
        ++i;
    }
    bool neg = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        neg = token[i] == '-';
        ++i;
    }
    if (i >= token.size() || token[i] < '0' || token[i] > '9') {
        return false;
    }
    // Accumulate with saturation like strtol, then narrow to 32 bits the way
    // the C library's scan does (modulo 2^32).
    std::int64_t v = 0;
    const std::int64_t cap = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (v < cap) {
            v = v * 10 + (token[i] - '0');
        }
    }
    if (neg) {
        v = -v;
    }
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
    return true;
}

bool ScanFloat(std::string_view token, float& out) {
    // Like "%f": optional sign, then digits with an optional point and
    // exponent; the rest is ignored. Read the same way whatever the process
    // locale says about decimal points. Words such as "inf" or "nan" are not
    // numbers here.
    std::size_t i = 0;
    while (i < token.size() && IsSpace(token[i])) {
        ++i;
    }
    bool neg = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        neg = token[i] == '-';
        ++i;
    }
    auto isDigit = [&](std::size_t k) {
        return k < token.size() && token[k] >= '0' && token[k] <= '9';
    };
    if (!isDigit(i) && !(i < token.size() && token[i] == '.' && isDigit(i + 1))) {
        return false;
    }
    float v = 0.0f;
    const char* first = token.data() + i;
    const char* last = token.data() + token.size();
    auto r = FloatFromChars(first, last, v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large becomes infinity, too small becomes zero.
        std::string_view num(first, static_cast<std::size_t>(r.ptr - first));
        std::size_t e = num.find_first_of("eE");
        bool negExp = e != std::string_view::npos && e + 1 < num.size() && num[e + 1] == '-';
        std::string_view mant = num.substr(0, e);
        bool zeroInt = mant.find_first_not_of('0') == std::string_view::npos ||
                       mant[mant.find_first_not_of('0')] == '.';
        v = (negExp || zeroInt) ? 0.0f : std::numeric_limits<float>::infinity();
    } else if (r.ec != std::errc()) {
        return false;
    }
    out = neg ? -v : v;
    return true;
}

std::optional<std::size_t> FindToken(const TokenList& tokens, std::string_view mark,
                                     std::size_t from) {
    for (std::size_t i = from; i < tokens.size(); ++i) {
        if (tokens[i] == mark) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<TokenSection> FindSection(const TokenList& tokens, std::string_view name,
                                        std::size_t from) {
    static const std::string marks = Utf8ToCp932("／／");
    static const std::string ending = Utf8ToCp932("終わり");
    std::string start = marks + std::string(name);
    auto at = FindToken(tokens, start, from);
    if (!at) {
        return std::nullopt;
    }
    TokenSection section;
    section.begin = *at + 1;
    section.end = FindToken(tokens, start + ending, section.begin).value_or(tokens.size());
    return section;
}

std::string_view TokenCursor::Peek() const {
    if (AtEnd()) {
        return {};
    }
    return (*tokens_)[pos_];
}

std::string_view TokenCursor::Next() {
    if (AtEnd()) {
        return {};
    }
    return (*tokens_)[pos_++];
}

bool TokenCursor::SkipPast(std::string_view mark) {
    auto at = FindToken(*tokens_, mark, pos_);
    if (!at) {
        pos_ = tokens_->size();
        return false;
    }
    pos_ = *at + 1;
    return true;
}

bool TokenCursor::NextInt(std::int32_t& out) {
    if (AtEnd()) {
        return false;
    }
    return ScanInt(Next(), out);
}

bool TokenCursor::NextFloat(float& out) {
    if (AtEnd()) {
        return false;
    }
    return ScanFloat(Next(), out);
}

} // namespace quolis

namespace quolis {

bool TokenCursor::ReadUntil(std::string_view mark, TokenList& out) {
    out.clear();
    while (!AtEnd()) {
        std::string_view t = Next();
        if (t == mark) {
            return true;
        }
        out.emplace_back(t);
    }
    return false;
}

bool TokenCursor::NextRow(std::size_t n, std::vector<std::string_view>& row) {
    row.clear();
    if (AtEnd() || tokens_->size() - pos_ < n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        row.push_back(Next());
    }
    return true;
}

} // namespace quolis
