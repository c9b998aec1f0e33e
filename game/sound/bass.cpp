#include "bass.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <string>

TBassInit BASS_Init = nullptr;
TBassFree BASS_Free = nullptr;
TBassSampleLoad BASS_SampleLoad = nullptr;
TBassSamplePlay BASS_SamplePlay = nullptr;
TBassSampleFree BASS_SampleFree = nullptr;
TBassMusicLoad BASS_MusicLoad = nullptr;
TBassMusicFree BASS_MusicFree = nullptr;

bool SoundEnabled = false;

namespace {

// Every entry point the binding asks the library for, without the "BASS_" prefix.
constexpr std::array<const char*, 100> EntryPointNames = {"SetConfig",
                                                          "GetConfig",
                                                          "GetVersion",
                                                          "GetDeviceDescription",
                                                          "ErrorGetCode",
                                                          "Init",
                                                          "SetDevice",
                                                          "GetDevice",
                                                          "Free",
                                                          "GetDSoundObject",
                                                          "GetInfo",
                                                          "Update",
                                                          "GetCPU",
                                                          "Start",
                                                          "Stop",
                                                          "Pause",
                                                          "SetVolume",
                                                          "GetVolume",
                                                          "Set3DFactors",
                                                          "Get3DFactors",
                                                          "Set3DPosition",
                                                          "Get3DPosition",
                                                          "Apply3D",
                                                          "SetEAXParameters",
                                                          "GetEAXParameters",
                                                          "MusicLoad",
                                                          "MusicFree",
                                                          "MusicGetName",
                                                          "MusicGetLength",
                                                          "MusicPreBuf",
                                                          "MusicPlay",
                                                          "MusicPlayEx",
                                                          "MusicSetAmplify",
                                                          "MusicSetPanSep",
                                                          "MusicSetPositionScaler",
                                                          "MusicSetVolume",
                                                          "MusicGetVolume",
                                                          "SampleLoad",
                                                          "SampleCreate",
                                                          "SampleCreateDone",
                                                          "SampleFree",
                                                          "SampleGetInfo",
                                                          "SampleSetInfo",
                                                          "SamplePlay",
                                                          "SamplePlayEx",
                                                          "SamplePlay3D",
                                                          "SamplePlay3DEx",
                                                          "SampleStop",
                                                          "StreamCreate",
                                                          "StreamCreateFile",
                                                          "StreamCreateURL",
                                                          "StreamCreateFileUser",
                                                          "StreamFree",
                                                          "StreamGetLength",
                                                          "StreamGetTags",
                                                          "StreamPreBuf",
                                                          "StreamPlay",
                                                          "StreamGetFilePosition",
                                                          "RecordGetDeviceDescription",
                                                          "RecordInit",
                                                          "RecordSetDevice",
                                                          "RecordGetDevice",
                                                          "RecordFree",
                                                          "RecordGetInfo",
                                                          "RecordGetInputName",
                                                          "RecordSetInput",
                                                          "RecordGetInput",
                                                          "RecordStart",
                                                          "ChannelBytes2Seconds",
                                                          "ChannelSeconds2Bytes",
                                                          "ChannelGetDevice",
                                                          "ChannelIsActive",
                                                          "ChannelGetInfo",
                                                          "ChannelStop",
                                                          "ChannelPause",
                                                          "ChannelResume",
                                                          "ChannelSetAttributes",
                                                          "ChannelGetAttributes",
                                                          "ChannelSlideAttributes",
                                                          "ChannelIsSliding",
                                                          "ChannelSet3DAttributes",
                                                          "ChannelGet3DAttributes",
                                                          "ChannelSet3DPosition",
                                                          "ChannelGet3DPosition",
                                                          "ChannelSetPosition",
                                                          "ChannelGetPosition",
                                                          "ChannelGetLevel",
                                                          "ChannelGetData",
                                                          "ChannelSetSync",
                                                          "ChannelRemoveSync",
                                                          "ChannelSetDSP",
                                                          "ChannelRemoveDSP",
                                                          "ChannelSetEAXMix",
                                                          "ChannelGetEAXMix",
                                                          "ChannelSetLink",
                                                          "ChannelRemoveLink",
                                                          "ChannelSetFX",
                                                          "ChannelRemoveFX",
                                                          "FXSetParameters",
                                                          "FXGetParameters"};

void* Library = nullptr;
std::array<void*, EntryPointNames.size()> EntryPoints{};

// The run-time library calls of the system, one small function each.
void* OpenLibrary(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* LibraryEntryPoint(void* library, const std::string& name) {
    return dlsym(library, name.c_str());
}

void CloseLibrary(void* library) {
    dlclose(library);
}

void* EntryPoint(const std::string& name) {
    for (size_t i = 0; i < EntryPointNames.size(); ++i)
        if (name == EntryPointNames[i]) return EntryPoints[i];
    return nullptr;
}

template <typename T> void Resolve(T& pointer, const char* name) {
    pointer = reinterpret_cast<T>(EntryPoint(name));
}

// The folder of the running executable, with a trailing slash; empty when it cannot be told.
std::string ExecutableFolder() {
    std::array<char, 4096> path{};
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return {};
    std::string folder(path.data(), static_cast<size_t>(length));
    return folder.substr(0, folder.rfind('/') + 1);
}

// Binds the library when the program starts and lets it go when the program ends.
struct LibraryLifetime {
    LibraryLifetime() {
        std::string beside = ExecutableFolder() + "libbass.so";
        if (!BindBassLibrary(beside.c_str())) BindBassLibrary("libbass.so");
    }
    ~LibraryLifetime() { UnbindBassLibrary(); }
} BindAtStart;

} // namespace

bool BindBassLibrary(const char* path) {
    UnbindBassLibrary();
    Library = OpenLibrary(path);
    if (!Library) return false;
    for (size_t i = 0; i < EntryPointNames.size(); ++i)
        EntryPoints[i] = LibraryEntryPoint(Library, std::string("BASS_") + EntryPointNames[i]);
    Resolve(BASS_Init, "Init");
    Resolve(BASS_Free, "Free");
    Resolve(BASS_SampleLoad, "SampleLoad");
    Resolve(BASS_SamplePlay, "SamplePlay");
    Resolve(BASS_SampleFree, "SampleFree");
    Resolve(BASS_MusicLoad, "MusicLoad");
    Resolve(BASS_MusicFree, "MusicFree");
    return true;
}

void UnbindBassLibrary() {
    if (Library) CloseLibrary(Library);
    Library = nullptr;
    EntryPoints.fill(nullptr);
    BASS_Init = nullptr;
    BASS_Free = nullptr;
    BASS_SampleLoad = nullptr;
    BASS_SamplePlay = nullptr;
    BASS_SampleFree = nullptr;
    BASS_MusicLoad = nullptr;
    BASS_MusicFree = nullptr;
}

bool IsBassLoaded() {
    return Library && BASS_Init && BASS_Free && BASS_SampleLoad && BASS_SamplePlay &&
           BASS_SampleFree && BASS_MusicLoad && BASS_MusicFree;
}

int BassEntryPointCount() {
    int count = 0;
    for (void* address : EntryPoints) count += address != nullptr;
    return count;
}
