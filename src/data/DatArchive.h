#pragma once
// Archive files and token files. Every content loader reads through
// CDatArchive: text members as token lists, binary members as bytes in memory.
// The same class reads and writes plain token files, optionally scrambled
// (saves, User.ini, InputSetting.ini).
#include "common/Status.h"

#include <cstdint>
#include <ios>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

using TokenList = std::vector<std::string>;
using ByteBuffer = std::vector<std::uint8_t>;

// The byte-shift scrambling of names, headers and tokens. Stateless; reads the
// process-wide data key ("pelomu4716" unless changed before any file is read).
class DataCodec {
public:
    static void SetKey(std::string key);
    static const std::string& Key();

    // Decoding adds the low two bits of key character (i mod 10) to byte i.
    static void Decode(std::string& s);
    // Encoding subtracts the same amount.
    static void Encode(std::string& s);
    static void Decode(TokenList& tokens);
    static void Encode(TokenList& tokens);
};

// "Save1.Dat" -> "Save1E.Dat": the first '.' of the name becomes "E.".
std::string ApplyEName(std::string_view name);

class CDatArchive {
public:
    // scrambled: names get the E-name rule and tokens pass through the codec.
    // archive: reads go to archive members instead of plain files.
    CDatArchive(bool scrambled, bool archive);

    bool Scrambled() const { return scrambled_; }
    bool Archived() const { return archive_; }

    // Archive directories are kept between calls (keyed by the archive's host
    // path, size, modification and change times and inode), so a lookup no
    // longer re-reads the whole directory. Results are the same with the cache
    // on or off; member bytes and tokens are always read from the file itself.
    // An archive changed less than `settleMs` ago is not cached: a file
    // rewritten in place within one timestamp tick may keep its size and times.
    // On by default; copies of a reader share its cache.
    void SetDirectoryCache(bool enabled, long settleMs = 2000);
    bool DirectoryCacheEnabled() const { return cache_ != nullptr; }

    // Archive mode: the tokens of member `name` of the archive at
    // `archivePath`; plain mode: the tokens of the file `name` (archivePath is
    // ignored), comments removed. Paths are game paths (CP932, backslashes).
    // The list is cleared first. E_FAIL when the file cannot be opened; an
    // absent member is success with no tokens.
    HRESULT ReadTokens(std::string_view archivePath, std::string_view name, TokenList& out,
                       long startOffset = 0, long tokenLimit = -1);

    // Writes the tokens to a plain file, one per line (CR LF on disk). In
    // scrambled mode the path gets the E-name rule and the caller's tokens are
    // encoded in place. The file is replaced atomically (temporary file in
    // the same folder, flushed, renamed over the old one). A list that would
    // not read back as written (an empty token, or whitespace inside a token
    // as stored, e.g. a '!' that scrambling turns into a space, or a token
    // stored as "/*", which reads as a comment) is refused with
    // E_FAIL and the old file is kept.
    HRESULT WriteTokens(std::string_view filePath, TokenList& tokens, long startOffset = 0,
                        std::ios_base::openmode mode = std::ios_base::trunc);

    // Archive mode: the bytes of member `name`; plain mode: the bytes of the
    // file `name`. E_FAIL when the file cannot be opened; an absent member is
    // success with no bytes (as an extraction of it gives an empty file).
    HRESULT ReadMember(std::string_view archivePath, std::string_view name, ByteBuffer& out);

    // For the archive tool: copies a member into a file beside the archive
    // (never outside the archive's folder, whatever the name holds).
    HRESULT ExtractMember(std::string_view archivePath, std::string_view name);
    std::string ExtractedPath() const { return extractedPath_; }
    HRESULT DeleteExtracted();

    class DirectoryCache;

private:
    int scrambled_;
    int archive_;
    std::string extractedPath_;
    std::shared_ptr<DirectoryCache> cache_;
};

// One directory entry of an archive (decoded).
struct ArchiveEntry {
    std::string name;
    long offset = 0;
    long length = 0;
};

// Reads the directory of an archive in file order. E_FAIL when it cannot be
// opened.
HRESULT ReadArchiveDirectory(std::string_view archivePath, std::vector<ArchiveEntry>& out);

// Reads a whole host file; false when it cannot be opened.
bool ReadHostFile(const std::string& hostPath, ByteBuffer& out);

// Replaces a host file atomically: writes a temporary file in the same folder,
// flushes it, renames it over `hostPath`. False (old file untouched) on failure.
// `durable` also forces the data and the rename to the disk (saves and
// settings); a file that is only a temporary copy can do without.
bool WriteHostFileAtomic(const std::string& hostPath, std::string_view bytes, bool durable = true);

} // namespace quolis
