#include "platform/sdl/SoundFontBanks.h"

#include <fluidsynth.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace quolis {
namespace {

struct Bank {
    std::string path; // the soundfont the bank was cut from
    SoundFontImage image;
};

std::mutex g_banksMutex;
std::map<std::string, std::shared_ptr<const Bank>> g_banks;
std::atomic<unsigned> g_nextBank{1};

// An open file as FluidSynth sees it: a small bank (read through its image)
// or a plain file.
struct Handle {
    std::shared_ptr<const Bank> bank;
    std::FILE* file = nullptr;
    std::uint64_t pos = 0; // in the bank's image
};

bool ReadAt(std::FILE* file, std::uint64_t offset, std::size_t size, std::uint8_t* out) {
    if (offset > static_cast<std::uint64_t>(INT64_MAX) ||
        fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    return std::fread(out, 1, size, file) == size;
}

void* OpenFile(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    auto handle = std::make_unique<Handle>();
    {
        std::lock_guard<std::mutex> lock(g_banksMutex);
        auto it = g_banks.find(name);
        if (it != g_banks.end()) {
            handle->bank = it->second;
        }
    }
    handle->file = std::fopen(handle->bank ? handle->bank->path.c_str() : name, "rb");
    if (handle->file == nullptr) {
        return nullptr;
    }
    return handle.release();
}

int ReadFile(void* buf, fluid_long_long_t count, void* h) {
    auto* handle = static_cast<Handle*>(h);
    if (count < 0) {
        return FLUID_FAILED;
    }
    const auto size = static_cast<std::size_t>(count);
    auto* out = static_cast<std::uint8_t*>(buf);
    if (!handle->bank) {
        return std::fread(out, 1, size, handle->file) == size ? FLUID_OK : FLUID_FAILED;
    }
    std::FILE* file = handle->file;
    if (!handle->bank->image.Read(handle->pos, size, out,
                                  [file](std::uint64_t offset, std::size_t n, std::uint8_t* to) {
                                      return ReadAt(file, offset, n, to);
                                  })) {
        return FLUID_FAILED;
    }
    handle->pos += size;
    return FLUID_OK;
}

int SeekFile(void* h, fluid_long_long_t offset, int origin) {
    auto* handle = static_cast<Handle*>(h);
    if (!handle->bank) {
        return fseeko(handle->file, static_cast<off_t>(offset), origin) == 0 ? FLUID_OK
                                                                             : FLUID_FAILED;
    }
    const auto size = static_cast<fluid_long_long_t>(handle->bank->image.Size());
    fluid_long_long_t base = 0;
    switch (origin) {
    case SEEK_SET:
        break;
    case SEEK_CUR:
        base = static_cast<fluid_long_long_t>(handle->pos);
        break;
    case SEEK_END:
        base = size;
        break;
    default:
        return FLUID_FAILED;
    }
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > size - base)) {
        return FLUID_FAILED;
    }
    handle->pos = static_cast<std::uint64_t>(base + offset);
    return FLUID_OK;
}

fluid_long_long_t TellFile(void* h) {
    auto* handle = static_cast<Handle*>(h);
    if (!handle->bank) {
        return static_cast<fluid_long_long_t>(ftello(handle->file));
    }
    return static_cast<fluid_long_long_t>(handle->pos);
}

int CloseFile(void* h) {
    auto* handle = static_cast<Handle*>(h);
    std::fclose(handle->file);
    delete handle;
    return FLUID_OK;
}

} // namespace

bool ReadSoundFontTables(const std::string& path, SoundFontTables& tables) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool ok = false;
    if (fseeko(file, 0, SEEK_END) == 0) {
        const off_t size = ftello(file);
        ok = size >= 0 &&
             tables.Read(static_cast<std::uint64_t>(size),
                         [file](std::uint64_t offset, std::size_t n, std::uint8_t* out) {
                             return ReadAt(file, offset, n, out);
                         });
    }
    std::fclose(file);
    return ok;
}

void AddBankLoader(fluid_synth_t* synth, fluid_settings_t* settings) {
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (loader == nullptr) {
        return;
    }
    fluid_sfloader_set_callbacks(loader, OpenFile, ReadFile, SeekFile, TellFile, CloseFile);
    fluid_synth_add_sfloader(synth, loader);
}

std::string RegisterBank(const std::string& path, SoundFontImage image) {
    auto bank = std::make_shared<Bank>();
    bank->path = path;
    bank->image = std::move(image);
    // A name no file is likely to have; FluidSynth only hands it back to us.
    std::string name = "quolis-bank:" + std::to_string(g_nextBank++) + ":" + path;
    std::lock_guard<std::mutex> lock(g_banksMutex);
    g_banks[name] = std::move(bank);
    return name;
}

void DropBank(const std::string& name) {
    std::lock_guard<std::mutex> lock(g_banksMutex);
    g_banks.erase(name);
}

} // namespace quolis
