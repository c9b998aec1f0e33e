// The sound calls on SDL_mixer: samples are decoded chunks played on mixer channels, music is
// SDL_mixer's music played on its one music player.
#include "bass_api.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <fstream>
#include <map>
#include <vector>

namespace {

struct Sample {
    Mix_Chunk* Chunk = nullptr;
    uint32_t MaxPlaybacks = 1;
    uint32_t Flags = 0;
};

struct Music {
    Mix_Music* Player = nullptr;
    std::vector<uint8_t> Data; // the file's bytes, which SDL_mixer reads while it plays
    uint32_t Flags = 0;
};

constexpr uint32_t MinFrequency = 8000;
constexpr uint32_t MaxFrequency = 192000;
constexpr int MixerChunkSize = 2048;
// SDL reads memory through an int-sized window; a tag may still go in front.
constexpr uint64_t MaxSourceBytes = 0x7FFFFFFF - 64;

bool Open = false;
uint32_t LastHandle = 0;
std::map<uint32_t, Sample> Samples;
std::map<uint32_t, Music> Musics;

// A fresh non-zero handle, shared by samples, music and channels so that they never mix up.
uint32_t NewHandle() {
    if (++LastHandle == 0) ++LastHandle;
    return LastHandle;
}

// The SDL name of the output device for a device number; false when the number names none.
bool DeviceName(int32_t device, const char*& name) {
    name = nullptr;
    if (device == -1 || device == 1) return true;
    if (device < 2 || device - 2 >= SDL_GetNumAudioDevices(0)) return false;
    name = SDL_GetAudioDeviceName(device - 2, 0);
    return name != nullptr;
}

// The bytes a load call names: `length` bytes from `offset` of the memory or the file.
bool ReadSource(bool memory, const void* file, uint32_t offset, uint32_t length,
                std::vector<uint8_t>& bytes) {
    if (!file) return false;
    if (memory) {
        if (length == 0 || length > MaxSourceBytes) return false;
        const auto* start = static_cast<const uint8_t*>(file) + offset;
        bytes.assign(start, start + length);
        return true;
    }
    std::ifstream in(static_cast<const char*>(file), std::ios::binary | std::ios::ate);
    if (!in) return false;
    std::streamoff size = in.tellg();
    if (size < 0 || offset > static_cast<uint64_t>(size)) return false;
    uint64_t available = static_cast<uint64_t>(size) - offset;
    uint64_t count = length == 0 ? available : length;
    if (count == 0 || count > available || count > MaxSourceBytes) return false;
    bytes.resize(count);
    in.seekg(offset);
    return static_cast<bool>(
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count)));
}

// How many mixer channels are playing the chunk now.
uint32_t PlaybackCount(const Mix_Chunk* chunk) {
    uint32_t count = 0;
    int channels = Mix_AllocateChannels(-1);
    for (int channel = 0; channel < channels; ++channel)
        if (Mix_Playing(channel) && Mix_GetChunk(channel) == chunk) ++count;
    return count;
}

void StopPlaybacks(const Mix_Chunk* chunk) {
    int channels = Mix_AllocateChannels(-1);
    for (int channel = 0; channel < channels; ++channel)
        if (Mix_GetChunk(channel) == chunk) Mix_HaltChannel(channel);
}

// Plays the chunk on a free channel, adding channels when all are busy.
bool PlayOnFreeChannel(Mix_Chunk* chunk, int loops) {
    if (Mix_PlayChannel(-1, chunk, loops) >= 0) return true;
    Mix_AllocateChannels(Mix_AllocateChannels(-1) + 8);
    return Mix_PlayChannel(-1, chunk, loops) >= 0;
}

// MPEG audio of any layer (MP1, MP2, MP3) that starts with a frame rather than a tag.
bool StartsWithMpegFrame(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

// Samples are WAV, OGG or MPEG audio; SDL_mixer would take more (whole tracker songs, decoded
// without end when they loop), so the data's signature decides first.
bool IsSampleFormat(const std::vector<uint8_t>& bytes) {
    auto starts = [&](const char* magic, size_t at) {
        for (size_t i = 0; magic[i]; ++i)
            if (at + i >= bytes.size() || bytes[at + i] != static_cast<uint8_t>(magic[i]))
                return false;
        return true;
    };
    bool wave = starts("RIFF", 0) && starts("WAVE", 8);
    return wave || starts("OggS", 0) || starts("ID3", 0) || StartsWithMpegFrame(bytes);
}

// SDL_mixer tells untagged MPEG audio only by a layer III frame; a tag holding nothing but padding
// in front makes it take layers I and II as well.
void TagMpegFrames(std::vector<uint8_t>& bytes) {
    constexpr uint8_t PaddingTag[] = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10,
                                      0,   0,   0,   0, 0, 0, 0, 0, 0, 0};
    if (StartsWithMpegFrame(bytes))
        bytes.insert(bytes.begin(), std::begin(PaddingTag), std::end(PaddingTag));
}

} // namespace

int32_t BASS_Init(int32_t device, uint32_t freq, uint32_t, void*, const void*) {
    if (Open || freq < MinFrequency || freq > MaxFrequency) return 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_MOD);
    const char* name = nullptr;
    if (!DeviceName(device, name) || Mix_OpenAudioDevice(static_cast<int>(freq), MIX_DEFAULT_FORMAT,
                                                         2, MixerChunkSize, name, 0) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    Open = true;
    return 1;
}

int32_t BASS_Free() {
    if (!Open) return 0;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (auto& [handle, sample] : Samples) Mix_FreeChunk(sample.Chunk);
    for (auto& [handle, music] : Musics) Mix_FreeMusic(music.Player);
    Samples.clear();
    Musics.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    Open = false;
    return 1;
}

uint32_t BASS_SampleLoad(int32_t memory, const void* file, uint32_t offset, uint32_t length,
                         uint32_t maxPlaybacks, uint32_t flags) {
    std::vector<uint8_t> bytes;
    if (!Open || maxPlaybacks < 1 || !ReadSource(memory != 0, file, offset, length, bytes) ||
        !IsSampleFormat(bytes))
        return 0;
    TagMpegFrames(bytes);
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (!chunk) return 0;
    uint32_t handle = NewHandle();
    Samples[handle] = Sample{chunk, maxPlaybacks, flags};
    return handle;
}

uint32_t BASS_SamplePlay(uint32_t handle) {
    if (!Open) return 0;
    if (auto music = Musics.find(handle); music != Musics.end()) {
        int loops = (music->second.Flags & BASS_SAMPLE_LOOP) ? -1 : 1;
        return Mix_PlayMusic(music->second.Player, loops) == 0 ? NewHandle() : 0;
    }
    auto sample = Samples.find(handle);
    if (sample == Samples.end()) return 0;
    const Sample& played = sample->second;
    if (PlaybackCount(played.Chunk) >= played.MaxPlaybacks) return 0;
    int loops = (played.Flags & BASS_SAMPLE_LOOP) ? -1 : 0;
    return PlayOnFreeChannel(played.Chunk, loops) ? NewHandle() : 0;
}

int32_t BASS_SampleFree(uint32_t handle) {
    auto sample = Samples.find(handle);
    if (sample == Samples.end()) return 0;
    StopPlaybacks(sample->second.Chunk);
    Mix_FreeChunk(sample->second.Chunk);
    Samples.erase(sample);
    return 1;
}

uint32_t BASS_MusicLoad(int32_t memory, const void* file, uint32_t offset, uint32_t length,
                        uint32_t flags, uint32_t) {
    Music music;
    music.Flags = flags;
    if (!Open || !ReadSource(memory != 0, file, offset, length, music.Data)) return 0;
    SDL_RWops* source = SDL_RWFromConstMem(music.Data.data(), static_cast<int>(music.Data.size()));
    music.Player = Mix_LoadMUS_RW(source, 1);
    if (!music.Player) return 0;
    if (Mix_GetMusicType(music.Player) != MUS_MOD) {
        Mix_FreeMusic(music.Player);
        return 0;
    }
    uint32_t handle = NewHandle();
    Musics[handle] = std::move(music);
    return handle;
}

int32_t BASS_MusicFree(uint32_t handle) {
    auto music = Musics.find(handle);
    if (music == Musics.end()) return 0;
    Mix_FreeMusic(music->second.Player); // halts it first when it is the one playing
    Musics.erase(music);
    return 1;
}
