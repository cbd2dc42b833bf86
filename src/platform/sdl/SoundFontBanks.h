#pragma once
// How FluidSynth reads the soundfont: through file callbacks of ours, so that
// it can load the small banks cut from it (SoundFontSubset.h). A small bank is
// registered under a name of its own; FluidSynth opens that name (to read the
// tables, and again whenever it loads samples) and reads the bank's head and
// tables from memory and its samples from the soundfont file. Any other name
// opens that file as it is, as FluidSynth's own callbacks would.
//
// FluidSynth's open callback is given nothing but the name, so the registered
// banks are kept by this file for the whole process, under a lock: the
// loader thread and the audio thread may both read.
#include "platform/SoundFontSubset.h"

#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace quolis {

// Reads the tables of the soundfont file at `path`; false when it cannot be
// read or cut (SoundFontTables::Read).
bool ReadSoundFontTables(const std::string& path, SoundFontTables& tables);

// Gives `synth` (made with `settings`, no soundfont loaded yet) a loader that
// reads through these callbacks. FluidSynth owns it from then on.
void AddBankLoader(fluid_synth_t* synth, fluid_settings_t* settings);

// Registers `image`, cut from the soundfont file at `path`, and returns the
// name to load it by: valid until DropBank.
std::string RegisterBank(const std::string& path, SoundFontImage image);
void DropBank(const std::string& name);

} // namespace quolis
