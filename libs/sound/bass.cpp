// The sound calls on SDL_mixer: short samples are decoded chunks played on mixer channels; music
// and long samples keep their encoded bytes and play on SDL_mixer's one music player, which
// decodes them as they play.
#include "bass_api.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct Music {
    Mix_Music* Player = nullptr;
    std::vector<uint8_t> Data; // room for a tag, then the file's bytes, which SDL_mixer reads while
                               // it plays
    uint32_t Flags = 0;
};

// A short sample has its Chunk; a long one has none and plays as its Stream. The sample's flags
// are in Stream.Flags either way.
struct Sample {
    Mix_Chunk* Chunk = nullptr;
    Music Stream;
    uint32_t MaxPlaybacks = 1;
};

constexpr uint32_t MinFrequency = 8000;
constexpr uint32_t MaxFrequency = 192000;
constexpr int MixerChunkSize = 2048;
// MaxSoundBytes: music and long samples keep their file's bytes while they live, and 16 MiB is a
// quarter of an hour of MP3 at 128 kbit/s.

// A tag that holds nothing but padding, and the room kept for it in front of every source.
constexpr uint8_t PaddingTag[] = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10,
                                  0,   0,   0,   0, 0, 0, 0, 0, 0, 0};
constexpr size_t TagRoom = sizeof PaddingTag;
// The first bytes of a source, which decide whether it is read whole.
constexpr size_t HeadSize = 16;

struct TSourceRules {
    uint64_t MaxBytes;
    bool (*Accepts)(const std::vector<uint8_t>& bytes, size_t at); // the data's first bytes at `at`
};

bool Open = false;
uint32_t LastHandle = 0;
const Mix_Music* Started = nullptr; // the music player's last music, playing or not
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

// Opens the file for reading when it is a regular file, at once: a named pipe or a device is
// refused without waiting for a writer. -1 otherwise.
int OpenRegularFile(const char* path, uint64_t& size) {
    int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return -1;
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || fcntl(file, F_SETFL, 0) != 0) {
        close(file);
        return -1;
    }
    size = static_cast<uint64_t>(status.st_size);
    return file;
}

bool ReadAt(int file, uint64_t at, uint8_t* target, size_t count) {
    while (count > 0) {
        const ssize_t read = pread(file, target, count, static_cast<off_t>(at));
        if (read <= 0) return false;
        at += static_cast<uint64_t>(read);
        target += read;
        count -= static_cast<size_t>(read);
    }
    return true;
}

// Reads `length` bytes (0: to the end) from `offset` of the file into `bytes` behind TagRoom free
// bytes; the first HeadSize bytes are read and accepted before the rest.
bool ReadFileSource(const char* path, uint32_t offset, uint32_t length, const TSourceRules& rules,
                    std::vector<uint8_t>& bytes) {
    uint64_t size = 0;
    const int file = OpenRegularFile(path, size);
    if (file < 0) return false;
    const uint64_t available = offset <= size ? size - offset : 0;
    const uint64_t count = length == 0 ? available : length;
    bool read = count > 0 && count <= available && count <= rules.MaxBytes;
    const size_t head = static_cast<size_t>(std::min<uint64_t>(count, HeadSize));
    if (read) {
        bytes.resize(TagRoom + head);
        read = ReadAt(file, offset, &bytes[TagRoom], head) && rules.Accepts(bytes, TagRoom);
    }
    if (read) {
        bytes.resize(TagRoom + count);
        read = ReadAt(file, offset + head, &bytes[TagRoom + head], count - head);
    }
    close(file);
    return read;
}

// The bytes a load call names, `length` bytes from `offset` of the memory or the file, behind
// TagRoom free bytes so that a tag can go in front without a copy; false when the rules refuse
// their size or their first bytes.
bool ReadSource(bool memory, const void* file, uint32_t offset, uint32_t length,
                const TSourceRules& rules, std::vector<uint8_t>& bytes) {
    if (!file) return false;
    if (!memory)
        return ReadFileSource(static_cast<const char*>(file), offset, length, rules, bytes);
    if (length == 0 || length > rules.MaxBytes) return false;
    const auto* start = static_cast<const uint8_t*>(file) + offset;
    bytes.resize(TagRoom + length);
    std::copy_n(start, length, &bytes[TagRoom]);
    return rules.Accepts(bytes, TagRoom);
}

// How many playbacks of the sample there are now: a long one has at most the music player's.
uint32_t PlaybackCount(const Sample& sample) {
    if (!sample.Chunk) return Mix_PlayingMusic() && Started == sample.Stream.Player ? 1 : 0;
    const Mix_Chunk* chunk = sample.Chunk;
    uint32_t count = 0;
    int channels = Mix_AllocateChannels(-1);
    for (int channel = 0; channel < channels; ++channel)
        if (Mix_Playing(channel) && Mix_GetChunk(channel) == chunk) ++count;
    return count;
}

// Stops the sample's playbacks and frees what it holds.
void FreeSample(Sample& sample) {
    if (sample.Chunk) {
        int channels = Mix_AllocateChannels(-1);
        for (int channel = 0; channel < channels; ++channel)
            if (Mix_GetChunk(channel) == sample.Chunk) Mix_HaltChannel(channel);
        Mix_FreeChunk(sample.Chunk);
    }
    Mix_FreeMusic(sample.Stream.Player); // halts it first when it is the one playing
}

// Starts the music on the music player, stopping whatever played there. A channel handle, or 0.
uint32_t StartMusic(const Music& music) {
    int loops = (music.Flags & BASS_SAMPLE_LOOP) ? -1 : 1;
    if (Mix_PlayMusic(music.Player, loops) != 0) return 0;
    Started = music.Player;
    return NewHandle();
}

// Plays the chunk on a free channel, adding channels when all are busy.
bool PlayOnFreeChannel(Mix_Chunk* chunk, int loops) {
    if (Mix_PlayChannel(-1, chunk, loops) >= 0) return true;
    Mix_AllocateChannels(Mix_AllocateChannels(-1) + 8);
    return Mix_PlayChannel(-1, chunk, loops) >= 0;
}

// MPEG audio of any layer (MP1, MP2, MP3) that starts with a frame rather than a tag.
bool StartsWithMpegFrame(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes.size() >= at + 2 && bytes[at] == 0xFF && (bytes[at + 1] & 0xE0) == 0xE0;
}

// Samples are WAV, OGG or MPEG audio; SDL_mixer would take more (whole tracker songs, decoded
// without end when they loop), so the data's signature decides first.
bool IsSampleFormat(const std::vector<uint8_t>& bytes, size_t at) {
    auto starts = [&](const char* magic, size_t from) {
        for (size_t i = 0; magic[i]; ++i)
            if (at + from + i >= bytes.size() ||
                bytes[at + from + i] != static_cast<uint8_t>(magic[i]))
                return false;
        return true;
    };
    bool wave = starts("RIFF", 0) && starts("WAVE", 8);
    return wave || starts("OggS", 0) || starts("ID3", 0) || StartsWithMpegFrame(bytes, at);
}

bool AnyFormat(const std::vector<uint8_t>&, size_t) {
    return true;
}

// Where the data of a source starts. SDL_mixer tells untagged MPEG audio only by a layer III
// frame; a tag holding nothing but padding in front makes it take layers I and II as well.
size_t TagMpegFrames(std::vector<uint8_t>& bytes) {
    if (!StartsWithMpegFrame(bytes, TagRoom)) return TagRoom;
    std::copy(std::begin(PaddingTag), std::end(PaddingTag), bytes.begin());
    return 0;
}

// SDL_mixer's reader over the bytes of a source from `start`; they must outlive it.
SDL_RWops* ReadBytes(const std::vector<uint8_t>& bytes, size_t start) {
    return SDL_RWFromConstMem(&bytes[start], static_cast<int>(bytes.size() - start));
}

// Makes the sample from its source's bytes: a long one keeps them to decode as it plays, a short
// one (or one whose length is unknown) is decoded whole.
bool MakeSample(std::vector<uint8_t>& bytes, Sample& sample) {
    const size_t start = TagMpegFrames(bytes);
    Mix_Music* player = Mix_LoadMUS_RW(ReadBytes(bytes, start), 1);
    if (player && Mix_MusicDuration(player) > LongSampleSeconds) {
        sample.Stream.Player = player;
        sample.Stream.Data = std::move(bytes); // the buffer, and so what the player reads, stays
        sample.MaxPlaybacks = 1;               // the music player plays one thing at a time
        return true;
    }
    Mix_FreeMusic(player);
    sample.Chunk = Mix_LoadWAV_RW(ReadBytes(bytes, start), 1);
    return sample.Chunk != nullptr;
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
    for (auto& [handle, sample] : Samples) FreeSample(sample);
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
    Sample sample;
    sample.Stream.Flags = flags;
    sample.MaxPlaybacks = maxPlaybacks;
    if (!Open || maxPlaybacks < 1 ||
        !ReadSource(memory != 0, file, offset, length, {MaxSoundBytes, IsSampleFormat}, bytes) ||
        !MakeSample(bytes, sample))
        return 0;
    uint32_t handle = NewHandle();
    Samples[handle] = std::move(sample);
    return handle;
}

uint32_t BASS_SamplePlay(uint32_t handle) {
    if (!Open) return 0;
    if (auto music = Musics.find(handle); music != Musics.end()) return StartMusic(music->second);
    auto sample = Samples.find(handle);
    if (sample == Samples.end()) return 0;
    const Sample& played = sample->second;
    if (PlaybackCount(played) >= played.MaxPlaybacks) return 0;
    if (!played.Chunk) return StartMusic(played.Stream);
    int loops = (played.Stream.Flags & BASS_SAMPLE_LOOP) ? -1 : 0;
    return PlayOnFreeChannel(played.Chunk, loops) ? NewHandle() : 0;
}

int32_t BASS_SampleFree(uint32_t handle) {
    auto sample = Samples.find(handle);
    if (sample == Samples.end()) return 0;
    FreeSample(sample->second);
    Samples.erase(sample);
    return 1;
}

uint32_t BASS_MusicLoad(int32_t memory, const void* file, uint32_t offset, uint32_t length,
                        uint32_t flags, uint32_t) {
    Music music;
    music.Flags = flags;
    if (!Open ||
        !ReadSource(memory != 0, file, offset, length, {MaxSoundBytes, AnyFormat}, music.Data))
        return 0;
    music.Player = Mix_LoadMUS_RW(ReadBytes(music.Data, TagRoom), 1);
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
