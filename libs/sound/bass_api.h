// The C interface of libbass.so: the sound calls the Game binds at run time by name, played on
// SDL_mixer. Every call answers 0 on failure and never raises an error of any other kind.
#pragma once

#include <cstdint>

#define BASS_API extern "C" __attribute__((visibility("default")))

// Sample and music flag: repeat until stopped or freed.
constexpr uint32_t BASS_SAMPLE_LOOP = 4;

// The most a sample or a music may hold; a larger one is refused before it is read. Only regular
// files are opened: a named pipe or a device is refused at once.
constexpr uint64_t MaxSoundBytes = uint64_t{16} << 20;

// Opens the output. Device 1 (and -1) is the system's default output; device 2 and up are SDL's
// output devices in its order (2 the first). The frequency, 8000 to 192000 Hz, is the rate the
// mixer runs at. Flags, window and class identifier are not used. Non-zero on success; fails when
// already open.
BASS_API int32_t BASS_Init(int32_t device, uint32_t freq, uint32_t flags, void* window,
                           const void* classId);
// Stops everything, frees every sample and music, and closes the output. Non-zero when it was open.
BASS_API int32_t BASS_Free();

// A sample longer than this keeps its encoded bytes and is decoded as it plays, on the one music
// player: once at a time whatever its playback limit, and starting a music stops it (and the
// other way round). Decoded whole, a minute of music would cost some 10 MiB.
constexpr double LongSampleSeconds = 5;

// Loads a WAV, OGG, MP1, MP2 or MP3, decoded whole into memory unless it is long. `file` is a
// NUL-terminated path, or with `memory` non-zero the data itself; `offset` bytes are skipped and
// `length` bytes read (0: to the end of a file; memory needs a length); the file is not read
// again. At most `maxPlaybacks` (at least 1) play at once. A handle, 0 on failure.
BASS_API uint32_t BASS_SampleLoad(int32_t memory, const void* file, uint32_t offset,
                                  uint32_t length, uint32_t maxPlaybacks, uint32_t flags);
// Starts a playback of the sample, repeating with BASS_SAMPLE_LOOP; a music handle starts that
// music on the one music player instead. A channel handle, 0 when the sample is unknown or all its
// playbacks are busy.
BASS_API uint32_t BASS_SamplePlay(uint32_t handle);
// Stops the sample's playbacks and frees it; non-zero when the handle was a sample.
BASS_API int32_t BASS_SampleFree(uint32_t handle);

// Loads tracker music (MOD, MTM, S3M, XM, IT) from a path or memory as BASS_SampleLoad does; other
// formats are refused. The frequency is not used. A handle, 0 on failure.
BASS_API uint32_t BASS_MusicLoad(int32_t memory, const void* file, uint32_t offset, uint32_t length,
                                 uint32_t flags, uint32_t freq);
// Stops the music if it plays and frees it; non-zero when the handle was a music.
BASS_API int32_t BASS_MusicFree(uint32_t handle);
