#include "data/DatArchiveWriter.h"

#include <cstdint>
#include <limits>

namespace quolis {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

constexpr std::size_t kHeaderSize = 18;

std::string Scrambled(std::string_view token) {
    std::string s(token);
    DataCodec::Encode(s);
    return s;
}

} // namespace

bool CanStoreScrambled(std::string_view token) {
    if (token.empty()) {
        return false;
    }
    for (char c : Scrambled(token)) {
        if (IsSpace(c)) {
            return false;
        }
    }
    return true;
}

ArchiveMemberSource BinaryMember(std::string name, std::string bytes) {
    ArchiveMemberSource m;
    m.name = std::move(name);
    m.length = static_cast<long>(bytes.size());
    m.bytes = std::move(bytes);
    return m;
}

bool TextMember(std::string name, const TokenList& tokens, ArchiveMemberSource& out,
                std::string* badToken) {
    std::string bytes;
    for (const auto& t : tokens) {
        if (!CanStoreScrambled(t)) {
            if (badToken) {
                *badToken = t;
            }
            return false;
        }
        if (!bytes.empty()) {
            bytes += ' ';
        }
        bytes += Scrambled(t);
    }
    out.name = std::move(name);
    out.bytes = std::move(bytes);
    out.length = static_cast<long>(tokens.size());
    return true;
}

bool ComposeArchive(const std::vector<ArchiveMemberSource>& members, std::string& out,
                    std::string* error) {
    auto fail = [&](std::string why) {
        if (error) {
            *error = std::move(why);
        }
        return false;
    };
    out.clear();
    std::string data;
    std::string directory;
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::uint64_t offset = kHeaderSize;
    for (const auto& m : members) {
        if (!CanStoreScrambled(m.name)) {
            return fail("member name cannot be stored: " + m.name);
        }
        if (m.length < 0 || static_cast<std::uint64_t>(m.length) > kMax) {
            return fail("member length out of range: " + m.name);
        }
        if (offset > kMax) {
            return fail("archive too large");
        }
        directory += Scrambled(m.name) + ' ' + Scrambled(std::to_string(offset)) + ' ' +
                     Scrambled(std::to_string(m.length)) + "\r\n";
        data += m.bytes;
        offset += m.bytes.size();
        // A separator keeps a text member's last token apart from whatever
        // follows it, so a reader with an exact token count stops cleanly.
        data += "\r\n";
        offset += 2;
    }
    if (offset > kMax) {
        return fail("archive too large");
    }
    std::string header = std::to_string(offset);
    DataCodec::Encode(header);
    header.resize(kHeaderSize, '\0');
    out.reserve(kHeaderSize + data.size() + directory.size());
    out = header + data + directory;
    return true;
}

} // namespace quolis
