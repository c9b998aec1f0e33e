#include "sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

const char* const EffectFiles[EffectCount] = {"thrust.wav", "pickup.wav", "exit_open.wav",
                                              "finish.wav", "menu.wav"};

namespace {

Mix_Chunk* Chunks[EffectCount] = {}; // null for an effect that could not be loaded
bool AudioOpen = false;
bool Muted = false;

} // namespace

bool OpenSound(const char* folder) {
    if (AudioOpen) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    AudioOpen = true;
    bool all = true;
    for (int e = 0; e < EffectCount; ++e) {
        Chunks[e] = Mix_LoadWAV((std::string(folder) + "/" + EffectFiles[e]).c_str());
        all = all && Chunks[e];
    }
    return all;
}

void CloseSound() {
    if (!AudioOpen) return;
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : Chunks) {
        if (chunk) Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioOpen = false;
}

void PlayEffect(TEffect effect) {
    if (!AudioOpen || Muted || effect < 0 || effect >= EffectCount || !Chunks[effect]) return;
    Mix_PlayChannel(-1, Chunks[effect], 0);
}

bool ToggleMute() {
    Muted = !Muted;
    if (Muted && AudioOpen) Mix_HaltChannel(-1);
    return Muted;
}

bool SoundMuted() {
    return Muted;
}
