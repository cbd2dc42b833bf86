// Archive directory lookup and member reading on arbitrary archive bytes.
// The cached and uncached readers must agree, and extraction must stay in the
// archive's folder.
#include "FuzzSupport.h"
#include "common/Path.h"
#include "data/DatArchive.h"

#include <cstdint>
#include <filesystem>
#include <string>

using namespace quolis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& dir = fuzz::TempGameRoot("archive", "GameData/SE");
    const std::string archive = "GameData\\SE\\SE.Dat";
    if (!WriteHostFileAtomic(dir + "/GameData/SE/SE.Dat",
                             std::string_view(reinterpret_cast<const char*>(data), size), false)) {
        return 0;
    }
    std::vector<ArchiveEntry> entries;
    CHECK(ReadArchiveDirectory(archive, entries) == S_OK);

    CDatArchive cached(false, true);
    cached.SetDirectoryCache(true, 0);
    CDatArchive uncached(false, true);
    uncached.SetDirectoryCache(false);
    CDatArchive secure(true, true);

    std::vector<std::string> names = {"SE\\x.wav", "Data\\Setting.Dat"};
    for (std::size_t i = 0; i < entries.size() && i < 4; ++i) {
        names.push_back(entries[i].name);
    }
    for (const auto& name : names) {
        for (int pass = 0; pass < 2; ++pass) { // the second pass hits the cache
            TokenList a, b;
            CHECK(cached.ReadTokens(archive, name, a) == S_OK);
            CHECK(uncached.ReadTokens(archive, name, b) == S_OK);
            CHECK(a == b);
            ByteBuffer x, y;
            CHECK(cached.ReadMember(archive, name, x) == S_OK);
            CHECK(uncached.ReadMember(archive, name, y) == S_OK);
            CHECK(x == y);
            CHECK(x.size() <= size);
        }
        TokenList s;
        CHECK(secure.ReadTokens(archive, name, s) == S_OK);

        if (cached.ExtractMember(archive, name) == S_OK) {
            std::string out = cached.ExtractedPath();
            CHECK(out.rfind("GameData\\SE\\", 0) == 0);
            std::string host = HostPath(out);
            CHECK(std::filesystem::path(host).parent_path() ==
                  std::filesystem::path(dir + "/GameData/SE"));
            cached.DeleteExtracted();
        }
    }
    return 0;
}
