// The Game's resource registry: registrations (a key, a path and three parameters) are loaded in
// one pass into resources that the game finds by key. Files whose extension ends in an underscore
// are SZDD compressed: each is expanded to a copy of its own, the copy loaded and deleted again.
// A copy is written under a hidden partial name and takes its own only when whole; where it
// cannot be written whole (a taken name, a read-only folder, a full disk) a temporary folder
// holds it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

struct TFileName {
    std::string Key;
    std::string Path;   // relative to the working directory; LoadResources trims it and, for a
                        // compressed file, replaces it with the expanded copy's name
    int32_t Param1 = 0; // sample and music: load flags; model: display-list name; font: char width
    int32_t Param2 = 0; // font: character height (0: the font's default)
    int32_t Param3 = 0; // font: weight (700 is bold)
};

using TFileNameList = std::vector<TFileName>;

// Resource kinds, chosen by the file's upper-cased extension.
constexpr uint8_t RES_BMP = 0x01;
constexpr uint8_t RES_TGA = 0x02;
constexpr uint8_t RES_SAMPLE_WAV = 0x30;
constexpr uint8_t RES_SAMPLE_OGG = 0x31;
constexpr uint8_t RES_SAMPLE_MP1 = 0x32;
constexpr uint8_t RES_SAMPLE_MP2 = 0x33;
constexpr uint8_t RES_SAMPLE_MP3 = 0x34;
constexpr uint8_t RES_MUSIC_MOD = 0x60;
constexpr uint8_t RES_MUSIC_MTM = 0x61;
constexpr uint8_t RES_MUSIC_S3M = 0x62;
constexpr uint8_t RES_MUSIC_XM = 0x63;
constexpr uint8_t RES_MUSIC_IT = 0x64;
constexpr uint8_t RES_MUSIC_MO3 = 0x65;
constexpr uint8_t RES_FONT_FON = 0x90;
constexpr uint8_t RES_FONT_FNT = 0x91;
constexpr uint8_t RES_FONT_TTF = 0x92;
constexpr uint8_t RES_FONT_OTF = 0x93;
constexpr uint8_t RES_MODEL = 0xD0;

struct TResource {
    std::string Key;
    uint8_t Kind = 0;
    uint32_t Handle = 0;  // texture name (0: not decoded), display-list name, font list base or
                          // sound-library handle
    std::string FileName; // the file it was loaded from (for a compressed file, the expanded copy)
    int32_t Width = 0;    // textures: the image's size and bits per pixel
    int32_t Height = 0;
    int32_t BitsPerPixel = 0;
    std::string ModelName; // models: the name stored in the file
    std::string FaceName;  // fonts: the face name, at most 255 bytes
    int32_t CharWidth = 0; // fonts: the registration's three parameters
    int32_t CharHeight = 0;
    int32_t Weight = 0;
};

using TResourceList = std::vector<TResource>;

// Called after each registration with the number of resources so far, the number of registrations
// counted as loaded so far and the index of the registration just handled.
using TLoadProgressProc = void (*)(int32_t resourceCount, int32_t loadedCount, int32_t fileIndex);

// Loads every registration in order into `resources` (emptied first); true when each one loaded.
// `progress` may be null.
bool LoadResources(TFileNameList& registrations, TResourceList& resources,
                   TLoadProgressProc progress);
// The index of the first resource whose key matches without regard to case and surrounding
// blanks, or -1.
int32_t FindResourceIndex(const std::string& key, const TResourceList& resources);
// Releases what the sound library and the font registry hold for the resources; the list stays
// as it is.
void FreeResources(TResourceList& resources);

// The most an expanded copy may hold. The game's largest resource is a few hundred kilobytes; a
// header that records more tells of a damaged or hostile file.
constexpr uint64_t MaxExpandedFileSize = uint64_t{256} << 20;

// Writes a chunk of an expanded copy as fwrite does; tests point it at a disk that fills.
extern size_t (*WriteExpandedChunk)(const void* data, size_t size, std::FILE* file);

// Writes the expanded contents of an SZDD file to the expanded path (an uncompressed file is copied
// as it is), stopping at the length its header records. False when the file is not a regular
// file, records more than MaxExpandedFileSize, expands to less than it records, or a quit request
// comes first; the expanded path is then removed, so that no partial copy stays.
bool ExpandCompressedFile(const std::string& compressedPath, const std::string& expandedPath);
// ExpandCompressedFile from bytes in memory to bytes in memory; the output is empty on failure.
bool ExpandCompressedBytes(std::span<const uint8_t> compressed, std::vector<uint8_t>& expanded);
// The name an SZDD file expands to: the character its header records replaces the name's final
// underscore, taking the case of the nearest letter before it. A file that records no character,
// is not compressed or cannot be read keeps its own name.
std::string ExpandedFileName(const std::string& path);
// The text after the last full stop of the path, or the whole path when it has none.
std::string FileExtension(const std::string& path);
// The path with the registration table's backslashes turned into this system's separators; every
// file named by a registration is opened through it.
std::string LocalPath(const std::string& path);
