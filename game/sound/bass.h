// The binding to the sound library, loaded by name when the program starts. Without the library
// the game runs silent.
#pragma once

#include <cstdint>

using BassBool = int32_t;
using BassHandle = uint32_t;

// The entry points the game calls; each stays null when the library lacks it.
using TBassInit = BassBool (*)(int32_t device, uint32_t freq, uint32_t flags, void* window,
                               const void* classId);
using TBassFree = BassBool (*)();
using TBassSampleLoad = BassHandle (*)(BassBool memory, const void* file, uint32_t offset,
                                       uint32_t length, uint32_t maxPlaybacks, uint32_t flags);
using TBassSamplePlay = BassHandle (*)(BassHandle sample);
using TBassSampleFree = BassBool (*)(BassHandle sample);
using TBassMusicLoad = BassHandle (*)(BassBool memory, const void* file, uint32_t offset,
                                      uint32_t length, uint32_t flags, uint32_t freq);
using TBassMusicFree = BassBool (*)(BassHandle music);

extern TBassInit BASS_Init;
extern TBassFree BASS_Free;
extern TBassSampleLoad BASS_SampleLoad;
extern TBassSamplePlay BASS_SamplePlay;
extern TBassSampleFree BASS_SampleFree;
extern TBassMusicLoad BASS_MusicLoad;
extern TBassMusicFree BASS_MusicFree;

// Sample flag: the sample repeats until stopped.
constexpr uint32_t BASS_SAMPLE_LOOP = 4;

// True when BASS_Init succeeded; the loaders and the shutdown need it.
extern bool SoundEnabled;

// Loads the library file and resolves its entry points, dropping any library bound before; the
// program binds "libbass.so" from its own folder, else from the system's search path, at start.
bool BindBassLibrary(const char* path);
void UnbindBassLibrary();

// The library was loaded and all seven entry points above were found.
bool IsBassLoaded();
// How many of the library's known entry point names it exports (0 without the library).
int BassEntryPointCount();
