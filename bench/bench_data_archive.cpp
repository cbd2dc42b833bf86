// Reading every member of a 2,000-member archive, with the directory cache
// and without it (the linear directory walk on every access).
#include "common/Path.h"
#include "data/DatArchive.h"
#include "data/DatArchiveWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quolis;

constexpr int kMembers = 2000;
const char* kArchive = "GameData\\Data\\Data.Dat";

std::string MemberName(int i) {
    return "Data\\Member" + std::to_string(i) + ".Dat";
}

// Builds the archive once in a scratch folder and makes it the game root.
struct Fixture {
    std::string dir;
    Fixture() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "quolis-bench-XXXXXX").string();
        dir = ::mkdtemp(tmpl.data());
        std::filesystem::create_directories(dir + "/GameData/Data");
        std::vector<ArchiveMemberSource> members;
        for (int i = 0; i < kMembers; ++i) {
            TokenList tokens;
            for (int k = 0; k < 20; ++k) {
                tokens.push_back("value" + std::to_string(i * 20 + k));
            }
            ArchiveMemberSource m;
            TextMember(MemberName(i), tokens, m);
            members.push_back(std::move(m));
        }
        std::string bytes;
        ComposeArchive(members, bytes);
        std::ofstream(dir + "/GameData/Data/Data.Dat", std::ios::binary) << bytes;
        SetGameRoot(dir);
        // The cache trusts an archive only once it has settled (2 s unchanged).
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void ReadAll(benchmark::State& state, bool cached) {
    Shared();
    CDatArchive reader(false, true);
    reader.SetDirectoryCache(cached);
    std::vector<std::string> names;
    for (int i = 0; i < kMembers; ++i) {
        names.push_back(MemberName(i));
    }
    TokenList out;
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& name : names) {
            reader.ReadTokens(kArchive, name, out);
            total += out.size();
        }
        if (total != static_cast<std::size_t>(kMembers) * 20) {
            state.SkipWithError("wrong token count");
            break;
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}

void BM_ReadAllMembersUncached(benchmark::State& state) {
    ReadAll(state, false);
}
void BM_ReadAllMembersCached(benchmark::State& state) {
    ReadAll(state, true);
}

BENCHMARK(BM_ReadAllMembersUncached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAllMembersCached)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
