#include "DatPack.h"

#include "common/Path.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "data/DatArchiveWriter.h"
#include "data/Tokens.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quolis::datpack {
namespace {

namespace fs = std::filesystem;

// A failure with its one-line message.
struct Failure {
    std::string message;
};

[[noreturn]] void Fail(std::string message) {
    throw Failure{std::move(message)};
}

std::string Show(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}

// The reader takes game paths (CP932, turned into host paths by HostPath);
// a host path given on the command line is carried over unchanged.
std::string GamePath(const std::string& host) {
    if (host.find('\\') != std::string::npos) {
        Fail("path contains a backslash: " + host);
    }
    bool ok = false;
    std::string game = Utf8ToCp932(host, &ok);
    if (!ok || HostPath(game) != host) {
        Fail("path cannot be expressed in CP932: " + host);
    }
    return game;
}

// A command-line member name (UTF-8) as the archive stores it (CP932).
std::string MemberName(const std::string& utf8) {
    bool ok = false;
    std::string name = Utf8ToCp932(utf8, &ok);
    if (!ok) {
        Fail("member name cannot be expressed in CP932: " + utf8);
    }
    return name;
}

std::string ReadFileOrFail(const std::string& host) {
    ByteBuffer bytes;
    if (!ReadHostFile(host, bytes)) {
        Fail("cannot read " + host);
    }
    return std::string(bytes.begin(), bytes.end());
}

void WriteFileOrFail(const std::string& host, std::string_view bytes) {
    if (!WriteHostFileAtomic(host, bytes)) {
        Fail("cannot write " + host);
    }
}

// UTF-8 text (an optional byte-order mark dropped) as CP932.
std::string TextToCp932(const std::string& utf8, const std::string& what) {
    std::string_view text = utf8;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    bool ok = false;
    std::string cp932 = Utf8ToCp932(text, &ok);
    if (!ok) {
        Fail(what + ": text is not valid UTF-8 that CP932 can hold");
    }
    return cp932;
}

std::vector<ArchiveEntry> Directory(const std::string& archiveGame, const std::string& host) {
    std::vector<ArchiveEntry> dir;
    if (Failed(ReadArchiveDirectory(archiveGame, dir))) {
        Fail("cannot open archive " + host);
    }
    return dir;
}

// The member a reader would find under `name`, or fails.
void RequireMember(const std::string& archiveGame, const std::string& host,
                   const std::string& name) {
    for (const auto& e : Directory(archiveGame, host)) {
        if (SjisEqualNoCase(e.name, name)) {
            return;
        }
    }
    Fail("no member " + Show(name) + " in " + host);
}

enum class Kind { Text, Binary };

Kind ParseKind(const std::string& opt) {
    if (opt == "--text") {
        return Kind::Text;
    }
    if (opt == "--binary") {
        return Kind::Binary;
    }
    Fail("expected --text or --binary, got " + opt);
}

void CmdList(const std::string& archive, std::ostream& out) {
    for (const auto& e : Directory(GamePath(archive), archive)) {
        out << Show(e.name) << '\t' << e.offset << '\t' << e.length << '\n';
    }
}

void CmdTokens(const std::string& archive, const std::string& member, std::ostream& out) {
    std::string game = GamePath(archive);
    std::string name = MemberName(member);
    RequireMember(game, archive, name);
    CDatArchive reader(false, true);
    TokenList tokens;
    if (Failed(reader.ReadTokens(game, name, tokens))) {
        Fail("cannot open archive " + archive);
    }
    for (const auto& t : tokens) {
        out << Show(t) << '\n';
    }
}

void CmdCat(const std::string& archive, const std::string& member, std::ostream& out) {
    std::string game = GamePath(archive);
    std::string name = MemberName(member);
    RequireMember(game, archive, name);
    CDatArchive reader(false, true);
    ByteBuffer bytes;
    if (Failed(reader.ReadMember(game, name, bytes))) {
        Fail("cannot open archive " + archive);
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void CmdPack(Kind kind, const std::string& archive, const std::string& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        Fail("not a folder: " + dir);
    }
    // Every regular file under the folder, in byte order of the relative
    // path, so the same tree always packs into the same archive.
    std::vector<fs::path> files;
    fs::recursive_directory_iterator it(dir, ec), end;
    if (ec) {
        Fail("cannot list " + dir);
    }
    for (; it != end; it.increment(ec)) {
        if (ec) {
            Fail("cannot list " + dir + ": " + ec.message());
        }
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) {
            // An archive written into the folder it packs is not packed.
            if (fs::exists(archive, ec) && fs::equivalent(it->path(), archive, ec)) {
                continue;
            }
            files.push_back(it->path());
        }
    }
    if (ec) {
        Fail("cannot list " + dir + ": " + ec.message());
    }
    std::vector<std::pair<std::string, fs::path>> named;
    for (const auto& p : files) {
        std::string rel = p.lexically_relative(dir).generic_string();
        if (rel.find('\\') != std::string::npos) {
            Fail("file name contains a backslash: " + rel);
        }
        std::replace(rel.begin(), rel.end(), '/', '\\');
        bool ok = false;
        std::string name = Utf8ToCp932(rel, &ok);
        if (!ok) {
            Fail("file name cannot be expressed in CP932: " + rel);
        }
        named.emplace_back(std::move(name), p);
    }
    std::sort(named.begin(), named.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<ArchiveMemberSource> members;
    for (const auto& [name, path] : named) {
        std::string bytes = ReadFileOrFail(path.string());
        if (kind == Kind::Binary) {
            members.push_back(BinaryMember(name, std::move(bytes)));
            continue;
        }
        TokenList tokens = SplitTokens(TextToCp932(bytes, path.string()));
        RemoveComments(tokens);
        ArchiveMemberSource m;
        std::string bad;
        if (!TextMember(name, tokens, m, &bad)) {
            Fail(path.string() + ": token \"" + Show(bad) +
                 "\" cannot be stored scrambled (a byte would become whitespace)");
        }
        members.push_back(std::move(m));
    }
    std::string image;
    std::string error;
    if (!ComposeArchive(members, image, &error)) {
        Fail(Show(error));
    }
    WriteFileOrFail(archive, image);
}

// A member name as a path below the output folder: its parts split at '\'
// or '/' (double-byte characters kept whole), each part a plain name.
std::string SafeRelativePath(const std::string& name) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i < name.size();) {
        std::size_t len = SjisCharLen(name, i);
        if (len == 1 && (name[i] == '\\' || name[i] == '/')) {
            parts.push_back(std::move(part));
            part.clear();
        } else {
            part.append(name, i, len);
        }
        i += len;
    }
    parts.push_back(std::move(part));
    std::string rel;
    for (const auto& p : parts) {
        bool ok = false;
        std::string utf8 = Cp932ToUtf8(p, &ok);
        if (!ok || utf8.empty() || utf8 == "." || utf8 == ".." ||
            utf8.find('\0') != std::string::npos || utf8.find('/') != std::string::npos) {
            Fail("member name " + Show(name) + " would leave the output folder; refused");
        }
        rel += rel.empty() ? utf8 : "/" + utf8;
    }
    return rel;
}

void CmdUnpack(Kind kind, const std::string& archive, const std::string& dir) {
    std::string game = GamePath(archive);
    std::vector<ArchiveEntry> entries = Directory(game, archive);
    // A reader finds the first of equal names, so later ones are never read.
    std::vector<std::pair<std::string, std::string>> todo; // name, relative path
    std::vector<std::string> seen;
    for (const auto& e : entries) {
        std::string folded = AsciiLower(e.name);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end()) {
            continue;
        }
        seen.push_back(folded);
        todo.emplace_back(e.name, SafeRelativePath(e.name));
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    fs::path root = fs::weakly_canonical(dir, ec);
    if (ec || !fs::is_directory(root, ec)) {
        Fail("cannot create folder " + dir);
    }
    CDatArchive reader(false, true);
    for (const auto& [name, rel] : todo) {
        fs::path target = root / rel;
        fs::create_directories(target.parent_path(), ec);
        // A link inside the folder must not lead the file outside it.
        fs::path parent = fs::weakly_canonical(target.parent_path(), ec);
        auto [rootEnd, unused] =
            std::mismatch(root.begin(), root.end(), parent.begin(), parent.end());
        (void)unused;
        if (ec || rootEnd != root.end()) {
            Fail("cannot write " + target.string());
        }
        std::string bytes;
        if (kind == Kind::Text) {
            TokenList tokens;
            if (Failed(reader.ReadTokens(game, name, tokens))) {
                Fail("cannot open archive " + archive);
            }
            for (const auto& t : tokens) {
                bytes += Show(t);
                bytes += '\n';
            }
        } else {
            ByteBuffer raw;
            if (Failed(reader.ReadMember(game, name, raw))) {
                Fail("cannot open archive " + archive);
            }
            bytes.assign(raw.begin(), raw.end());
        }
        WriteFileOrFail(target.string(), bytes);
    }
}

void CmdDecodeFile(const std::string& file, std::ostream& out) {
    // What the secure reader makes of the file: tokens, comments removed,
    // each token decoded.
    TokenList tokens = SplitTokens(ReadFileOrFail(file));
    RemoveComments(tokens);
    DataCodec::Decode(tokens);
    for (const auto& t : tokens) {
        out << Show(t) << '\n';
    }
}

void CmdEncodeFile(const std::string& in, const std::string& outFile) {
    TokenList tokens = SplitTokens(TextToCp932(ReadFileOrFail(in), in));
    std::string bytes;
    for (const auto& t : tokens) {
        if (!CanStoreScrambled(t)) {
            Fail(in + ": token \"" + Show(t) +
                 "\" cannot be stored scrambled (a byte would become whitespace)");
        }
        std::string stored = t;
        DataCodec::Encode(stored);
        if (stored == "/*") {
            Fail(in + ": token \"" + Show(t) + "\" would be stored as a comment mark");
        }
        bytes += stored;
        bytes += "\r\n";
    }
    WriteFileOrFail(outFile, bytes);
}

} // namespace

std::string Usage() {
    return "usage:\n"
           "  datpack list ARCHIVE\n"
           "  datpack tokens ARCHIVE MEMBER\n"
           "  datpack cat ARCHIVE MEMBER\n"
           "  datpack pack (--text|--binary) ARCHIVE DIR\n"
           "  datpack unpack (--text|--binary) ARCHIVE DIR\n"
           "  datpack decode-file FILE\n"
           "  datpack encode-file IN OUT\n";
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        auto need = [&](std::size_t n) {
            if (args.size() != n) {
                Fail("wrong number of arguments; run datpack --help for usage");
            }
        };
        if (args.empty()) {
            Fail("no command; run datpack --help for usage");
        }
        const std::string& cmd = args[0];
        if (cmd == "--help" || cmd == "help") {
            out << Usage();
        } else if (cmd == "list") {
            need(2);
            CmdList(args[1], out);
        } else if (cmd == "tokens") {
            need(3);
            CmdTokens(args[1], args[2], out);
        } else if (cmd == "cat") {
            need(3);
            CmdCat(args[1], args[2], out);
        } else if (cmd == "pack") {
            need(4);
            CmdPack(ParseKind(args[1]), args[2], args[3]);
        } else if (cmd == "unpack") {
            need(4);
            CmdUnpack(ParseKind(args[1]), args[2], args[3]);
        } else if (cmd == "decode-file") {
            need(2);
            CmdDecodeFile(args[1], out);
        } else if (cmd == "encode-file") {
            need(3);
            CmdEncodeFile(args[1], args[2]);
        } else {
            Fail("unknown command " + cmd);
        }
        out.flush();
        if (!out) {
            Fail("cannot write the output");
        }
        return 0;
    } catch (const Failure& f) {
        err << "datpack: " << f.message << '\n';
    } catch (const std::exception& e) {
        err << "datpack: " << e.what() << '\n';
    }
    return 1;
}

} // namespace quolis::datpack
