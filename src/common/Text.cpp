#include "common/Text.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace quolis {
namespace {

// One conversion through iconv; unconvertible input is replaced and reported.
std::string Convert(const char* to, const char* from, std::string_view in, const char* replacement,
                    std::size_t badStep, bool* ok) {
    if (ok) {
        *ok = true;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (ok) {
            *ok = false;
        }
        return std::string(in);
    }
    std::string out;
    out.reserve(in.size() * 2);
    std::vector<char> buf(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buf.data();
        std::size_t dstLeft = buf.size();
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf.data(), static_cast<std::size_t>(dst - buf.data()));
        if (r != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL: skip the offending input and mark it.
        if (ok) {
            *ok = false;
        }
        out += replacement;
        std::size_t step = badStep;
        if (from[0] == 'U') { // UTF-8 input: skip one whole character
            unsigned char c = static_cast<unsigned char>(*src);
            step = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        } else {
            step = SjisCharLen(std::string_view(src, srcLeft), 0);
        }
        if (step > srcLeft) {
            step = srcLeft;
        }
        src += step;
        srcLeft -= step;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string Utf8ToCp932(std::string_view utf8, bool* ok) {
    return Convert("CP932", "UTF-8", utf8, "?", 1, ok);
}

std::string Cp932ToUtf8(std::string_view cp932, bool* ok) {
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", 1, ok);
}

std::string_view SjisPrefix(std::string_view s, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t len = SjisCharLen(s, i);
        if (i + len > maxBytes) {
            break;
        }
        i += len;
    }
    return s.substr(0, i);
}

std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t len = SjisCharLen(out, i);
        if (len == 1 && out[i] >= 'A' && out[i] <= 'Z') {
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
        }
        i += len;
    }
    return out;
}

bool SjisEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    return AsciiLower(a) == AsciiLower(b);
}

} // namespace quolis
