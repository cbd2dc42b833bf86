#pragma once
// Building archives (the archive tool and tests). The game itself only reads
// archives; these routines write exactly what CDatArchive expects.
#include "data/DatArchive.h"

#include <string>
#include <string_view>
#include <vector>

namespace quolis {

// One member to pack: its name (CP932), its stored bytes and the directory's
// length field (byte count for binary members, token count for text members).
struct ArchiveMemberSource {
    std::string name;
    std::string bytes;
    long length = 0;
};

// True when `token` survives scrambling: its encoded form holds no whitespace
// byte (otherwise the reader would split it there) and it is not empty.
bool CanStoreScrambled(std::string_view token);

// A binary member: the bytes unchanged, length = byte count.
ArchiveMemberSource BinaryMember(std::string name, std::string bytes);

// A text member: every token scrambled on its own, separated by single
// spaces, length = token count. False (and `badToken` set) when a token
// cannot be stored scrambled.
bool TextMember(std::string name, const TokenList& tokens, ArchiveMemberSource& out,
                std::string* badToken = nullptr);

// Composes a whole archive: the scrambled header with NUL padding, the member
// data in the given order, then the directory (one scrambled triple per line).
// False with `error` set when a name cannot be stored (empty, whitespace after
// scrambling) or the archive would exceed the 32-bit offsets.
bool ComposeArchive(const std::vector<ArchiveMemberSource>& members, std::string& out,
                    std::string* error = nullptr);

} // namespace quolis
