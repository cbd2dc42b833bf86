#include "data/DatArchive.h"

#include "common/Path.h"
#include "common/Text.h"
#include "data/Tokens.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <unordered_map>

namespace quolis {
namespace {

// The archive header: the directory offset as scrambled decimal digits,
// padded with NUL bytes.
constexpr std::size_t kHeaderSize = 18;
// A directory larger than this is not read (no archive of the game comes
// near it); the lookup then finds nothing instead of exhausting memory.
constexpr std::int64_t kMaxDirectoryBytes = 256LL * 1024 * 1024;
// The furthest a token file may be written from its start.
constexpr long kMaxWriteOffset = 16L * 1024 * 1024;
// Directories kept by one reader's cache.
constexpr std::size_t kMaxCachedDirectories = 16;
// The most token slots set aside before a counted read (about 1 MB).
constexpr std::int64_t kMaxReservedTokens = 32 * 1024;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A regular file opened for reading by position. Directories, pipes and
// devices are refused so that no read can block or run forever.
class InFile {
public:
    InFile() = default;
    InFile(const InFile&) = delete;
    InFile& operator=(const InFile&) = delete;
    ~InFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    bool Open(const std::string& hostPath) {
        fd_ = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            return false;
        }
        if (::fstat(fd_, &st_) != 0 || !S_ISREG(st_.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            return false;
        }
        return true;
    }

    std::int64_t Size() const { return static_cast<std::int64_t>(st_.st_size); }
    const struct stat& Stat() const { return st_; }

    // Reads up to n bytes at pos; fewer at the end of the file.
    std::size_t ReadAt(std::int64_t pos, char* buf, std::size_t n) const {
        std::size_t done = 0;
        while (done < n) {
            ssize_t r = ::pread(fd_, buf + done, n - done, static_cast<off_t>(pos) + done);
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                break;
            }
            done += static_cast<std::size_t>(r);
        }
        return done;
    }

private:
    int fd_ = -1;
    struct stat st_ {};
};

// Reads whitespace-separated tokens from `offset` until `limit` tokens have
// been read (a negative limit: no limit) or the file ends. The raw bytes are
// kept; decoding is the caller's business.
void ReadTokensAt(const InFile& f, std::int64_t offset, long limit, TokenList& out) {
    if (limit == 0 || offset < 0 || offset >= f.Size()) {
        return;
    }
    std::vector<char> buf(
        static_cast<std::size_t>(std::min<std::int64_t>(64 * 1024, f.Size() - offset)));
    if (limit > 0) {
        // A model or a table is thousands of tokens: room for them up front
        // saves moving every token string at each growth of the list. Each
        // token takes at least two bytes of what is left of the file, and the
        // room is bounded, so a garbage count asks for little.
        const std::int64_t fits = (f.Size() - offset + 1) / 2;
        const std::int64_t room = std::min<std::int64_t>({limit, fits, kMaxReservedTokens});
        out.reserve(out.size() + static_cast<std::size_t>(room));
    }
    auto full = [&] { return limit > 0 && out.size() >= static_cast<std::size_t>(limit); };
    std::string cut; // a token the end of the buffer cut; it goes on in the next read
    std::int64_t pos = offset;
    while (pos < f.Size()) {
        std::size_t want =
            static_cast<std::size_t>(std::min<std::int64_t>(buf.size(), f.Size() - pos));
        std::size_t got = f.ReadAt(pos, buf.data(), want);
        if (got == 0) {
            break;
        }
        const char* p = buf.data();
        std::size_t i = 0;
        while (i < got) {
            if (IsSpace(p[i])) {
                if (!cut.empty()) {
                    out.push_back(std::move(cut));
                    cut.clear();
                    if (full()) {
                        return;
                    }
                }
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < got && !IsSpace(p[i])) {
                ++i;
            }
            cut.append(p + start, i - start);
            if (i == got) {
                break; // the token may go on in the next read
            }
            out.push_back(std::move(cut));
            cut.clear();
            if (full()) {
                return;
            }
        }
        pos += static_cast<std::int64_t>(got);
    }
    if (!cut.empty()) {
        out.push_back(std::move(cut));
    }
}

// A decimal number read like atol: a number from the start, 0 when none.
long ParseDecimal(std::string_view s) {
    std::int32_t v = 0;
    ScanInt(s, v);
    return v;
}

// The directory offset D from the first 18 bytes.
std::int64_t ReadDirectoryOffset(const InFile& f) {
    char raw[kHeaderSize] = {};
    std::size_t got = f.ReadAt(0, raw, kHeaderSize);
    // Cut at the first NUL (all bytes when there is none), pad back to 18.
    std::size_t len = 0;
    while (len < got && raw[len] != '\0') {
        ++len;
    }
    std::string header(raw, len);
    header.resize(kHeaderSize, '\0');
    DataCodec::Decode(header);
    return ParseDecimal(header);
}

// The raw (still scrambled) directory tokens, in file order.
TokenList ReadDirectoryTokens(const InFile& f) {
    TokenList tokens;
    std::int64_t d = ReadDirectoryOffset(f);
    if (d < 0 || d >= f.Size() || f.Size() - d > kMaxDirectoryBytes) {
        return tokens;
    }
    ReadTokensAt(f, d, -1, tokens);
    return tokens;
}

// Decodes one directory triple starting at tokens[i].
ArchiveEntry DecodeEntry(const TokenList& tokens, std::size_t i) {
    ArchiveEntry e;
    e.name = tokens[i];
    DataCodec::Decode(e.name);
    std::string off = tokens[i + 1];
    std::string len = tokens[i + 2];
    DataCodec::Decode(off);
    DataCodec::Decode(len);
    e.offset = ParseDecimal(off);
    e.length = ParseDecimal(len);
    return e;
}

// The whole directory, decoded. A trailing name without its offset and length
// is not an entry.
std::vector<ArchiveEntry> DecodeDirectory(const TokenList& tokens) {
    std::vector<ArchiveEntry> out;
    out.reserve(tokens.size() / 3);
    for (std::size_t i = 0; i + 2 < tokens.size(); i += 3) {
        out.push_back(DecodeEntry(tokens, i));
    }
    return out;
}

// Walks the directory triples from the first; the first entry whose name
// equals `name` (ASCII letters folded, double-byte characters compared as
// they are) wins. Offset and length are 0 when nothing matches.
ArchiveEntry FindEntryUncached(const InFile& f, std::string_view name) {
    TokenList tokens = ReadDirectoryTokens(f);
    for (std::size_t i = 0; i + 2 < tokens.size(); i += 3) {
        std::string entryName = tokens[i];
        DataCodec::Decode(entryName);
        if (SjisEqualNoCase(entryName, name)) {
            return DecodeEntry(tokens, i);
        }
    }
    return {};
}

// Byte position just after the last path separator ('\' or '/') of a CP932
// string, stepping over double-byte characters so that a trail byte 0x5C is
// not taken for a separator. 0 when there is none.
std::size_t AfterLastSeparator(std::string_view s) {
    std::size_t after = 0;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = SjisCharLen(s, i);
        if (len == 1 && (s[i] == '\\' || s[i] == '/')) {
            after = i + 1;
        }
        i += len;
    }
    return after;
}

} // namespace

// Decoded directories by file identity. A lookup through the cache gives the
// same entry as the linear walk: the index maps each folded name to its first
// entry in directory order.
class CDatArchive::DirectoryCache {
public:
    struct Directory {
        std::vector<ArchiveEntry> entries;
        std::unordered_map<std::string, std::size_t> firstByName;
    };

    explicit DirectoryCache(long settleMs) : settleMs_(settleMs) {}

    std::shared_ptr<const Directory> Get(const std::string& hostPath, const InFile& f) {
        Key key = MakeKey(hostPath, f);
        if (RecentlyChanged(f)) {
            return Build(f);
        }
        for (auto it = slots_.begin(); it != slots_.end(); ++it) {
            if (it->key == key) {
                slots_.splice(slots_.begin(), slots_, it);
                return slots_.front().dir;
            }
        }
        auto dir = Build(f);
        slots_.push_front(Slot{std::move(key), dir});
        if (slots_.size() > kMaxCachedDirectories) {
            slots_.pop_back();
        }
        return dir;
    }

private:
    struct Key {
        std::string path;
        std::int64_t size = 0;
        std::int64_t mtimeSec = 0;
        std::int64_t mtimeNsec = 0;
        std::int64_t ctimeSec = 0;
        std::int64_t ctimeNsec = 0;
        std::uint64_t dev = 0;
        std::uint64_t ino = 0;
        bool operator==(const Key&) const = default;
    };
    struct Slot {
        Key key;
        std::shared_ptr<const Directory> dir;
    };

    static std::shared_ptr<const Directory> Build(const InFile& f) {
        auto dir = std::make_shared<Directory>();
        dir->entries = DecodeDirectory(ReadDirectoryTokens(f));
        dir->firstByName.reserve(dir->entries.size());
        for (std::size_t i = 0; i < dir->entries.size(); ++i) {
            dir->firstByName.emplace(AsciiLower(dir->entries[i].name), i);
        }
        return dir;
    }

    // The change time moves forward on every write and cannot be set back, so
    // an archive whose change time lies settleMs_ in the past and still
    // matches the key has not been written since it was cached.
    bool RecentlyChanged(const InFile& f) const {
        struct timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const struct stat& st = f.Stat();
        std::int64_t changedMs =
            static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000 + st.st_ctim.tv_nsec / 1000000;
        std::int64_t nowMs = static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
        return nowMs - changedMs < settleMs_;
    }

    static Key MakeKey(const std::string& hostPath, const InFile& f) {
        const struct stat& st = f.Stat();
        Key k;
        k.path = hostPath;
        k.size = static_cast<std::int64_t>(st.st_size);
        k.mtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
        k.mtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
        k.ctimeSec = static_cast<std::int64_t>(st.st_ctim.tv_sec);
        k.ctimeNsec = static_cast<std::int64_t>(st.st_ctim.tv_nsec);
        k.dev = static_cast<std::uint64_t>(st.st_dev);
        k.ino = static_cast<std::uint64_t>(st.st_ino);
        return k;
    }

    long settleMs_;
    std::list<Slot> slots_;
};

namespace {

// Looks a member up, through the cache when there is one.
ArchiveEntry FindEntry(CDatArchive::DirectoryCache* cache, const std::string& hostPath,
                       const InFile& f, std::string_view name) {
    if (cache == nullptr) {
        return FindEntryUncached(f, name);
    }
    auto dir = cache->Get(hostPath, f);
    auto it = dir->firstByName.find(AsciiLower(name));
    if (it == dir->firstByName.end()) {
        return {};
    }
    return dir->entries[it->second];
}

// Copies `length` bytes from `offset`, as far as the file holds them.
void ReadBytesAt(const InFile& f, std::int64_t offset, std::int64_t length, ByteBuffer& out) {
    if (offset < 0 || length <= 0 || offset >= f.Size()) {
        return;
    }
    std::int64_t n = std::min(length, f.Size() - offset);
    out.resize(static_cast<std::size_t>(n));
    std::size_t got = f.ReadAt(offset, reinterpret_cast<char*>(out.data()), out.size());
    out.resize(got);
}

} // namespace

CDatArchive::CDatArchive(bool scrambled, bool archive)
    : scrambled_(scrambled ? 1 : 0), archive_(archive ? 1 : 0),
      cache_(std::make_shared<DirectoryCache>(2000)) {}

void CDatArchive::SetDirectoryCache(bool enabled, long settleMs) {
    cache_ = enabled ? std::make_shared<DirectoryCache>(settleMs) : nullptr;
}

HRESULT CDatArchive::ReadTokens(std::string_view archivePath, std::string_view name, TokenList& out,
                                long startOffset, long tokenLimit) {
    out.clear();
    if (archive_) {
        std::string member = scrambled_ ? ApplyEName(name) : std::string(name);
        std::string host = HostPath(archivePath);
        InFile f;
        if (!f.Open(host)) {
            return E_FAIL;
        }
        ArchiveEntry e = FindEntry(cache_.get(), host, f, member);
        // The length field is a token count, and reading does not stop at the
        // member's last byte: a count larger than the member runs on into
        // whatever follows it in the file (a negative count, like the plain
        // reader's -1, sets no limit).
        ReadTokensAt(f, e.offset, e.length, out);
        DataCodec::Decode(out);
        return S_OK;
    }
    std::string path = scrambled_ ? ApplyEName(name) : std::string(name);
    // A plain file the game may have written is read from the player's own
    // folder first (saves, settings, key bindings, script saves).
    InFile f;
    if (!f.Open(HostReadPath(path))) {
        return E_FAIL;
    }
    ReadTokensAt(f, startOffset, tokenLimit, out);
    RemoveComments(out);
    if (scrambled_) {
        DataCodec::Decode(out);
    }
    return S_OK;
}

HRESULT CDatArchive::WriteTokens(std::string_view filePath, TokenList& tokens, long startOffset,
                                 std::ios_base::openmode mode) {
    std::string path = scrambled_ ? ApplyEName(filePath) : std::string(filePath);
    if (scrambled_) {
        DataCodec::Encode(tokens);
    }
    // No token file of the game is written anywhere but from its start; an
    // offset far beyond any file is refused rather than padded.
    if (startOffset < 0 || startOffset > kMaxWriteOffset) {
        return E_FAIL;
    }
    // Every token must come back as one token: writing a file that reads back
    // shifted would corrupt a save silently. A stored "/*" would be taken for
    // a comment by the reader.
    for (const auto& t : tokens) {
        if (t.empty() || t == "/*" || std::any_of(t.begin(), t.end(), IsSpace)) {
            return E_FAIL;
        }
    }
    // The player's own folder when there is one, else beside the data.
    std::string host = HostWritePath(path);
    // The new contents are composed in memory and then replace the old file in
    // one step, so a crash or a full disk never leaves a half-written save.
    // The stream modes as a file stream opens them: output alone, or with
    // truncation, starts empty; with input it keeps the old bytes (and needs
    // the file to exist); appending keeps them and writes at the end.
    const bool keep =
        !(mode & std::ios_base::trunc) && (mode & (std::ios_base::in | std::ios_base::app));
    std::string bytes;
    if (keep) {
        ByteBuffer old;
        if (ReadHostFile(HostReadPath(path), old)) {
            bytes.assign(old.begin(), old.end());
        } else if (!(mode & std::ios_base::app)) {
            return E_FAIL;
        }
    }
    // One token per line; a text-mode file ends its lines with CR LF as a
    // Windows text file has it.
    const char* eol = (mode & std::ios_base::binary) ? "\n" : "\r\n";
    std::string text;
    for (const auto& t : tokens) {
        text += t;
        text += eol;
    }
    std::size_t pos =
        (mode & std::ios_base::app) ? bytes.size() : static_cast<std::size_t>(startOffset);
    if (bytes.size() < pos) {
        bytes.resize(pos, '\0');
    }
    bytes.replace(pos, std::min(text.size(), bytes.size() - pos), text);
    return WriteHostFileAtomic(host, bytes) ? S_OK : E_FAIL;
}

HRESULT CDatArchive::ReadMember(std::string_view archivePath, std::string_view name,
                                ByteBuffer& out) {
    out.clear();
    if (!archive_) {
        return ReadHostFile(HostPath(name), out) ? S_OK : E_FAIL;
    }
    std::string host = HostPath(archivePath);
    InFile f;
    if (!f.Open(host)) {
        return E_FAIL;
    }
    ArchiveEntry e = FindEntry(cache_.get(), host, f, name);
    ReadBytesAt(f, e.offset, e.length, out);
    return S_OK;
}

HRESULT CDatArchive::ExtractMember(std::string_view archivePath, std::string_view name) {
    // The output goes beside the archive, named after the member's part after
    // its last separator. Names that would leave the folder are refused.
    std::string_view base = name.substr(AfterLastSeparator(name));
    std::string hostBase = HostRelativePath(base);
    if (hostBase.empty() || hostBase == "." || hostBase == ".." ||
        hostBase.find('/') != std::string::npos || hostBase.find('\0') != std::string::npos) {
        return E_FAIL;
    }
    std::string_view dir = archivePath.substr(0, AfterLastSeparator(archivePath));
    std::string hostArchive = HostPath(archivePath);
    std::string hostOut = HostPath(base);
    if (!dir.empty()) {
        std::string hostDir = HostPath(dir);
        hostOut = (hostDir.back() == '/' ? hostDir : hostDir + "/") + hostBase;
    }

    InFile f;
    if (!f.Open(hostArchive)) {
        return E_FAIL;
    }
    // A member named like the archive itself must not overwrite it.
    struct stat outSt {};
    if (::stat(hostOut.c_str(), &outSt) == 0 && outSt.st_dev == f.Stat().st_dev &&
        outSt.st_ino == f.Stat().st_ino) {
        return E_FAIL;
    }
    ArchiveEntry e = FindEntry(cache_.get(), hostArchive, f, name);
    ByteBuffer bytes;
    ReadBytesAt(f, e.offset, e.length, bytes);
    std::string outGame = std::string(dir) + std::string(base);
    if (!WriteHostFileAtomic(
            hostOut, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
            false)) {
        return E_FAIL;
    }
    extractedPath_ = outGame;
    return S_OK;
}

HRESULT CDatArchive::DeleteExtracted() {
    if (!extractedPath_.empty()) {
        ::unlink(HostPath(extractedPath_).c_str());
        extractedPath_.clear();
    }
    return S_OK;
}

HRESULT ReadArchiveDirectory(std::string_view archivePath, std::vector<ArchiveEntry>& out) {
    out.clear();
    InFile f;
    if (!f.Open(HostPath(archivePath))) {
        return E_FAIL;
    }
    out = DecodeDirectory(ReadDirectoryTokens(f));
    return S_OK;
}

bool ReadHostFile(const std::string& hostPath, ByteBuffer& out) {
    out.clear();
    InFile f;
    if (!f.Open(hostPath)) {
        return false;
    }
    // Read to the end even if the file grew since it was opened.
    std::int64_t pos = 0;
    std::vector<char> buf(64 * 1024);
    for (;;) {
        std::size_t got = f.ReadAt(pos, buf.data(), buf.size());
        if (got == 0) {
            break;
        }
        out.insert(out.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(got));
        pos += static_cast<std::int64_t>(got);
    }
    return true;
}

bool WriteHostFileAtomic(const std::string& hostPath, std::string_view bytes, bool durable) {
    std::size_t slash = hostPath.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".")
                      : slash == 0               ? std::string(1, '/')
                                                 : hostPath.substr(0, slash);
    std::string base = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    if (base.empty()) {
        return false;
    }
    std::string temp = dir + "/." + base + ".XXXXXX";
    std::vector<char> tempName(temp.begin(), temp.end());
    tempName.push_back('\0');
    int fd = ::mkstemp(tempName.data());
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(w);
    }
    // Keep the old file's permissions; a new file gets the usual ones.
    struct stat old {};
    mode_t perm = 0644;
    if (::stat(hostPath.c_str(), &old) == 0) {
        perm = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        perm = 0666 & ~mask;
    }
    ok = ok && ::fchmod(fd, perm) == 0;
    ok = ok && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tempName.data(), hostPath.c_str()) == 0;
    if (!ok) {
        ::unlink(tempName.data());
        return false;
    }
    int dfd = durable ? ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

} // namespace quolis
