#include "data/Tokens.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

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
    std::string s(token);
    const char* begin = s.c_str();
    char* end = nullptr;
    errno = 0;
    float v = std::strtof(begin, &end);
    if (end == begin) {
        return false;
    }
    out = v;
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
