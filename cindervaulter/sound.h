// Sound effects: short WAV files made by the build, played through SDL_mixer. Without an audio
// device the game runs silently; every call is then a no-op.
#pragma once

enum TEffect { efThrust, efPickup, efExitOpen, efFinish, efMenu, EffectCount };

// The effects' files under the sounds folder, by TEffect.
extern const char* const EffectFiles[EffectCount];

// Opens the audio device and loads the effects from `folder`; false (silence) when either fails.
bool OpenSound(const char* folder);
void CloseSound();
void PlayEffect(TEffect effect);
// Mutes or unmutes; the new state, true when muted.
bool ToggleMute();
bool SoundMuted();
