#include "resources.h"

#include "config.h"
#include "engine/engine.h"
#include "engine/fonts.h"
#include "engine/images.h"
#include "engine/models.h"
#include "sound/bass.h"

#include <mspack.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

struct TKindName {
    const char* Extension;
    uint8_t Kind;
};

constexpr std::array<TKindName, 18> KindNames = {{
    {"BMP", RES_BMP},
    {"TGA", RES_TGA},
    {"WAV", RES_SAMPLE_WAV},
    {"OGG", RES_SAMPLE_OGG},
    {"MP1", RES_SAMPLE_MP1},
    {"MP2", RES_SAMPLE_MP2},
    {"MP3", RES_SAMPLE_MP3},
    {"MOD", RES_MUSIC_MOD},
    {"MTM", RES_MUSIC_MTM},
    {"S3M", RES_MUSIC_S3M},
    {"XM", RES_MUSIC_XM},
    {"IT", RES_MUSIC_IT},
    {"MO3", RES_MUSIC_MO3},
    {"FON", RES_FONT_FON},
    {"FNT", RES_FONT_FNT},
    {"TTF", RES_FONT_TTF},
    {"OTF", RES_FONT_OTF},
    {"QMF", RES_MODEL},
}};

// The kind of an upper-cased extension, or 0 when no kind has it.
uint8_t KindOfExtension(const std::string& extension) {
    for (const TKindName& name : KindNames)
        if (extension == name.Extension) return name.Kind;
    return 0;
}

bool IsSampleKind(uint8_t kind) {
    return kind >= RES_SAMPLE_WAV && kind <= RES_SAMPLE_MP3;
}
bool IsMusicKind(uint8_t kind) {
    return kind >= RES_MUSIC_MOD && kind <= RES_MUSIC_MO3;
}
bool IsFontKind(uint8_t kind) {
    return kind >= RES_FONT_FON && kind <= RES_FONT_OTF;
}

// Written bytes gather in a chunk of this size; between chunks a quit request stops the expansion.
constexpr size_t ExpansionChunkSize = size_t{1} << 20;
// In memory the chunk only gathers the expander's one-byte writes.
constexpr size_t MemoryChunkSize = 4096;

// libmspack's file calls on files of our own. The expander writes one byte a call, so writes
// gather in a chunk that goes to the file whole; reads go through stdio's buffer. Only regular
// files are opened, and the copy takes no more than the room its header records.
struct TExpansion {
    mspack_system System; // first: libmspack hands back a pointer to it
    uint64_t Room = 0;    // how many more bytes the copy may take
    bool Full = false;    // a write was cut at the end of the room
    bool Failed = false;  // a write failed, or the game was asked to quit
    bool Created = false; // the copy was opened for writing, so a failure removes it
    // In memory, every file opened for reading is these bytes and the one written is `Output`.
    std::span<const uint8_t> Input;
    std::vector<uint8_t>* Output = nullptr;
};

struct TExpansionFile {
    TExpansion* Owner;
    std::FILE* File;              // null in memory
    size_t At = 0;                // in memory: the read position
    std::vector<uint8_t> Pending; // written bytes gather here, a chunk's worth when writing
    size_t PendingCount = 0;      // how many of them are waiting
};

TExpansionFile* FileOf(mspack_file* file) {
    return reinterpret_cast<TExpansionFile*>(file);
}

// The size of the chunk an expansion's writes and copies go in, in memory or to a file.
size_t ChunkSize(const TExpansion& expansion) {
    return expansion.Output ? MemoryChunkSize : ExpansionChunkSize;
}

size_t WriteWholeChunk(const void* data, size_t size, std::FILE* file) {
    return std::fwrite(data, 1, size, file);
}

size_t WriteChunk(TExpansionFile& file) {
    if (file.File) return WriteExpandedChunk(file.Pending.data(), file.PendingCount, file.File);
    file.Owner->Output->insert(file.Owner->Output->end(), file.Pending.begin(),
                               file.Pending.begin() + static_cast<long>(file.PendingCount));
    return file.PendingCount;
}

bool FlushPending(TExpansionFile& file) {
    if (WriteChunk(file) != file.PendingCount || QuitRequested()) file.Owner->Failed = true;
    file.PendingCount = 0;
    return !file.Owner->Failed;
}

mspack_file* OpenExpansionFile(mspack_system* system, const char* name, int mode) {
    auto* owner = reinterpret_cast<TExpansion*>(system);
    const bool writing = mode == MSPACK_SYS_OPEN_WRITE;
    if (!writing && mode != MSPACK_SYS_OPEN_READ) return nullptr;
    const bool inMemory = owner->Output != nullptr;
    std::FILE* stream = inMemory  ? nullptr
                        : writing ? RewriteRegularFile(name)
                                  : OpenRegularFile(name);
    if (!stream && !inMemory) return nullptr;
    owner->Created = owner->Created || writing;
    auto* file = new TExpansionFile{owner, stream, 0, {}, 0};
    if (writing) file->Pending.resize(ChunkSize(*owner));
    return reinterpret_cast<mspack_file*>(file);
}

void CloseExpansionFile(mspack_file* handle) {
    TExpansionFile* file = FileOf(handle);
    if (file->PendingCount > 0) FlushPending(*file);
    if (file->File && std::fclose(file->File) != 0) file->Owner->Failed = true;
    delete file;
}

int ReadExpansionFile(mspack_file* handle, void* buffer, int bytes) {
    TExpansionFile* file = FileOf(handle);
    if (!file->File) {
        const std::span<const uint8_t> input = file->Owner->Input;
        const size_t count = std::min(static_cast<size_t>(bytes), input.size() - file->At);
        if (count > 0) std::memcpy(buffer, input.data() + file->At, count); // empty: data() is null
        file->At += count;
        return static_cast<int>(count);
    }
    const size_t count = std::fread(buffer, 1, static_cast<size_t>(bytes), file->File);
    return std::ferror(file->File) ? -1 : static_cast<int>(count);
}

// Takes at most the room left; a cut write ends the expansion, as libmspack stops at any short
// write.
int WriteExpansionFile(mspack_file* handle, void* buffer, int bytes) {
    TExpansionFile& file = *FileOf(handle);
    TExpansion& owner = *file.Owner;
    const auto wanted = static_cast<uint64_t>(bytes);
    owner.Full = wanted > owner.Room;
    const auto* data = static_cast<const uint8_t*>(buffer);
    for (size_t left = std::min(wanted, owner.Room); left > 0;) {
        const size_t part = std::min(left, file.Pending.size() - file.PendingCount);
        std::memcpy(&file.Pending[file.PendingCount], data, part);
        file.PendingCount += part;
        owner.Room -= part;
        data += part;
        left -= part;
        if (file.PendingCount == file.Pending.size() && !FlushPending(file)) return -1;
    }
    return owner.Full ? -1 : bytes;
}

// In memory a seek may go anywhere from the start to the end of the bytes.
int SeekInMemory(TExpansionFile& file, off_t offset, int mode) {
    const auto size = static_cast<off_t>(file.Owner->Input.size());
    const off_t base = mode == MSPACK_SYS_SEEK_START ? 0
                       : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(file.At)
                                                     : size;
    if (offset < -base || offset > size - base) return -1;
    file.At = static_cast<size_t>(base + offset);
    return 0;
}

int SeekExpansionFile(mspack_file* handle, off_t offset, int mode) {
    TExpansionFile& file = *FileOf(handle);
    if (!file.File) return SeekInMemory(file, offset, mode);
    const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET
                       : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR
                                                     : SEEK_END;
    return fseeko(file.File, offset, whence) == 0 ? 0 : -1;
}

off_t TellExpansionFile(mspack_file* handle) {
    TExpansionFile& file = *FileOf(handle);
    return file.File ? ftello(file.File) : static_cast<off_t>(file.At);
}

void IgnoreMessage(mspack_file*, const char*, ...) {}

void* AllocateMemory(mspack_system*, size_t bytes) {
    return std::malloc(bytes);
}

void FreeMemory(void* memory) {
    std::free(memory);
}

void CopyMemory(void* source, void* target, size_t bytes) {
    std::memcpy(target, source, bytes);
}

TExpansion NewExpansion() {
    TExpansion expansion;
    expansion.System = {OpenExpansionFile,
                        CloseExpansionFile,
                        ReadExpansionFile,
                        WriteExpansionFile,
                        SeekExpansionFile,
                        TellExpansionFile,
                        IgnoreMessage,
                        AllocateMemory,
                        FreeMemory,
                        CopyMemory,
                        nullptr};
    return expansion;
}

// Copies a file that is not compressed as it is, in chunks, when it is no larger than a copy may
// hold.
bool CopyUncompressedFile(TExpansion& expansion, const std::string& source,
                          const std::string& target) {
    std::error_code error;
    const uintmax_t size =
        expansion.Output ? expansion.Input.size() : std::filesystem::file_size(source, error);
    if (error || size > MaxExpandedFileSize) return false;
    mspack_file* input = OpenExpansionFile(&expansion.System, source.c_str(), MSPACK_SYS_OPEN_READ);
    if (!input) return false;
    mspack_file* output =
        OpenExpansionFile(&expansion.System, target.c_str(), MSPACK_SYS_OPEN_WRITE);
    expansion.Room = size;
    bool copied = output != nullptr;
    std::vector<uint8_t> chunk(ChunkSize(expansion));
    for (int count = 1; copied && count > 0;) {
        count = ReadExpansionFile(input, chunk.data(), static_cast<int>(chunk.size()));
        copied = count >= 0 && WriteExpansionFile(output, chunk.data(), count) == count;
    }
    if (output) CloseExpansionFile(output);
    CloseExpansionFile(input);
    return copied && expansion.Room == 0 && !expansion.Failed;
}

// Expands an SZDD file to at most the length its header records; false for a file that records
// more than a copy may hold or expands to less than it records.
bool ExpandSzddFile(TExpansion& expansion, msszdd_decompressor* decompressor,
                    msszddd_header* header, const std::string& target) {
    if (header->length < 0 || static_cast<uint64_t>(header->length) > MaxExpandedFileSize)
        return false;
    expansion.Room = static_cast<uint64_t>(header->length);
    const int result = decompressor->extract(decompressor, header, target.c_str());
    // The data may go on past the recorded length; the copy stops there.
    const bool stopped = result == MSPACK_ERR_WRITE && expansion.Full;
    return (result == MSPACK_ERR_OK || stopped) && expansion.Room == 0 && !expansion.Failed;
}

// The character an SZDD header records for the end of the file's name; 0 when it records none or
// the file is not an SZDD file.
char RecordedNameCharacter(const std::string& path) {
    TExpansion expansion = NewExpansion();
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&expansion.System);
    if (!decompressor) return '\0';
    char recorded = '\0';
    if (msszddd_header* header = decompressor->open(decompressor, path.c_str())) {
        recorded = header->missing_char;
        decompressor->close(decompressor, header);
    }
    mspack_destroy_szdd_decompressor(decompressor);
    return recorded;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The recorded character in the case of the name's nearest letter before `end`, as the Windows
// expander writes it: "FILE.BL_" recording 'a' becomes "FILE.BLA".
char MatchLetterCase(char recorded, const std::string& name, size_t end) {
    const auto letter = static_cast<unsigned char>(recorded);
    for (size_t i = end; i-- > 0 && !IsSeparator(name[i]);) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'a' && c <= 'z') return static_cast<char>(std::tolower(letter));
        if (c >= 'A' && c <= 'Z') return static_cast<char>(std::toupper(letter));
    }
    return recorded;
}

// Where an expanded copy went: the file, and the temporary folder made for it, if one was.
struct TExpandedCopy {
    std::string File;
    std::string Folder;
};

// Creates the file empty, refusing when anything is there already, so that no file is replaced.
bool CreateNewFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    return file && std::fclose(file) == 0;
}

// A fresh folder of its own in the system's temporary folder, or the empty string.
std::string CreateTemporaryFolder() {
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) return {};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder =
            temporary / ("Game-" + std::to_string(stamp) + "-" + std::to_string(attempt));
        if (std::filesystem::create_directory(folder, error)) return folder.string();
    }
    return {};
}

// The hidden name a copy is written under beside its final name until it is whole: a load killed
// midway leaves no partial file under the final name, only this one, which the next start removes.
std::string PartialCopyName(const std::string& final) {
    const std::filesystem::path path(final);
    return (path.parent_path() / ("." + path.filename().string() + ".expanding")).string();
}

// Gives the whole copy its final name without replacing anything there: a hard link fails when
// the name is taken, by a link too.
bool MoveIntoPlace(const std::string& partial, const std::string& final) {
    const bool moved = link(partial.c_str(), final.c_str()) == 0;
    std::error_code error;
    std::filesystem::remove(partial, error);
    return moved;
}

// Expands the compressed file to `final` through its partial name, first removing what a killed
// load left there. False, with nothing left behind, when the name is taken, the folder cannot be
// written or a write fails (a full disk).
bool ExpandInto(const std::string& compressedName, const std::string& final) {
    const std::string partial = PartialCopyName(final);
    std::error_code error;
    std::filesystem::remove(partial, error);
    if (std::filesystem::exists(std::filesystem::symlink_status(final, error)) ||
        !CreateNewFile(partial))
        return false;
    if (ExpandCompressedFile(compressedName, partial)) return MoveIntoPlace(partial, final);
    std::filesystem::remove(partial, error);
    return false;
}

// Makes the expanded copy: under the expanded name itself when nothing is there and it can be
// written whole, otherwise under the same file name in a temporary folder of its own. Empty when
// neither works.
TExpandedCopy ExpandCopy(const std::string& compressedName, const std::string& expandedName) {
    const std::string local = LocalPath(expandedName);
    if (ExpandInto(compressedName, local)) return {local, ""};
    if (QuitRequested()) return {};
    const std::string folder = CreateTemporaryFolder();
    if (folder.empty()) return {};
    const std::filesystem::path file =
        std::filesystem::path(folder) / std::filesystem::path(local).filename();
    if (ExpandInto(compressedName, file.string())) return {file.string(), folder};
    std::error_code error;
    std::filesystem::remove(folder, error);
    return {};
}

void DeleteExpandedCopy(const TExpandedCopy& copy) {
    std::error_code error;
    std::filesystem::remove(copy.File, error);
    if (!copy.Folder.empty()) std::filesystem::remove(copy.Folder, error);
}

TResource MakeResource(const TFileName& entry, uint8_t kind, uint32_t handle,
                       const std::string& fileName) {
    TResource resource;
    resource.Key = entry.Key;
    resource.Kind = kind;
    resource.Handle = handle;
    resource.FileName = fileName;
    return resource;
}

// A texture counts as loaded even when its image cannot be decoded (texture name 0).
bool LoadTextureFile(const TFileName& entry, uint8_t kind, const std::string& path,
                     TResourceList& resources) {
    const TTextureInfo info = kind == RES_BMP ? LoadBmpTexture(path) : LoadTgaTexture(path);
    TResource resource = MakeResource(entry, kind, info.Texture, path);
    resource.Width = info.Width;
    resource.Height = info.Height;
    resource.BitsPerPixel = info.BitsPerPixel;
    resources.push_back(resource);
    return true;
}

// Samples and music go to the sound library, which must have started.
bool LoadSoundFile(const TFileName& entry, uint8_t kind, const std::string& path,
                   TResourceList& resources) {
    if (!SoundEnabled) return false;
    const auto flags = static_cast<uint32_t>(entry.Param1);
    BassHandle handle = 0;
    if (IsSampleKind(kind) && BASS_SampleLoad)
        handle = BASS_SampleLoad(0, path.c_str(), 0, 0, 3, flags);
    if (IsMusicKind(kind) && BASS_MusicLoad)
        handle = BASS_MusicLoad(0, path.c_str(), 0, 0, flags, 0);
    if (handle == 0) return false;
    resources.push_back(MakeResource(entry, kind, handle, path));
    return true;
}

bool LoadFontFile(const TFileName& entry, uint8_t kind, const std::string& path,
                  TResourceList& resources) {
    if (AddFontResourceExA(path, FR_PRIVATE) == 0) return false;
    TResource resource = MakeResource(entry, kind, 0, path);
    resource.FaceName = GetFontFaceName(path).substr(0, 255);
    resource.Handle = BuildFontLists(resource.FaceName, entry.Param1, entry.Param2, entry.Param3);
    resource.CharWidth = entry.Param1;
    resource.CharHeight = entry.Param2;
    resource.Weight = entry.Param3;
    resources.push_back(resource);
    return true;
}

bool LoadModelFile(const TFileName& entry, uint8_t kind, const std::string& path,
                   TResourceList& resources) {
    TModelInfo info{static_cast<uint32_t>(entry.Param1), "", ""};
    if (!LoadModel(path, info)) return false;
    TResource resource = MakeResource(entry, kind, info.ListName, path);
    resource.ModelName = info.ModelName;
    resources.push_back(resource);
    return true;
}

// Loads the file by its kind and appends its resource; false when the registration fails.
bool LoadFileOfKind(const TFileName& entry, uint8_t kind, const std::string& path,
                    TResourceList& resources) {
    if (kind == RES_BMP || kind == RES_TGA) return LoadTextureFile(entry, kind, path, resources);
    if (IsSampleKind(kind) || IsMusicKind(kind)) return LoadSoundFile(entry, kind, path, resources);
    if (IsFontKind(kind)) return LoadFontFile(entry, kind, path, resources);
    if (kind == RES_MODEL) return LoadModelFile(entry, kind, path, resources);
    return false;
}

// One registration: trims its path, expands a compressed file into `copy`, checks the file and
// loads it by kind. False when the registration fails, also when its file does not expand whole.
bool LoadRegistration(TFileName& entry, TResourceList& resources, TExpandedCopy& copy) {
    entry.Path = TrimText(entry.Path);
    // After a quit request the remaining registrations fail at once, so that the game stops.
    if (QuitRequested()) return false;
    std::string extension = UpperCaseText(FileExtension(entry.Path));
    if (!extension.empty() && extension.back() == '_') {
        const std::string compressedName = entry.Path;
        const std::string expandedName = ExpandedFileName(compressedName);
        if (expandedName == compressedName) return false;
        copy = ExpandCopy(compressedName, TrimText(expandedName));
        if (copy.File.empty()) return false;
        entry.Path = copy.Folder.empty() ? TrimText(expandedName) : copy.File;
        extension = UpperCaseText(FileExtension(entry.Path));
    }
    const std::string path = LocalPath(entry.Path);
    if (!FileExists(path)) return false;
    return LoadFileOfKind(entry, KindOfExtension(extension), path, resources);
}

// SZDD expanded, anything else copied as it is, from `source` to `target` (or in memory).
bool Expand(TExpansion& expansion, const std::string& source, const std::string& target) {
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&expansion.System);
    if (!decompressor) return false;
    bool expanded = false;
    if (msszddd_header* header = decompressor->open(decompressor, source.c_str())) {
        expanded = ExpandSzddFile(expansion, decompressor, header, target);
        decompressor->close(decompressor, header);
    } else if (decompressor->last_error(decompressor) == MSPACK_ERR_SIGNATURE) {
        // The Windows expander copies a file that is not compressed as it is.
        expanded = CopyUncompressedFile(expansion, source, target);
    }
    mspack_destroy_szdd_decompressor(decompressor);
    return expanded;
}

} // namespace

size_t (*WriteExpandedChunk)(const void* data, size_t size, std::FILE* file) = WriteWholeChunk;

bool LoadResources(TFileNameList& registrations, TResourceList& resources,
                   TLoadProgressProc progress) {
    resources.clear();
    int32_t loaded = 0;
    if (registrations.empty()) return false;
    for (size_t index = 0; index < registrations.size(); ++index) {
        TExpandedCopy copy;
        if (LoadRegistration(registrations[index], resources, copy)) ++loaded;
        if (!copy.File.empty()) DeleteExpandedCopy(copy);
        if (progress)
            progress(static_cast<int32_t>(resources.size()), loaded, static_cast<int32_t>(index));
    }
    return static_cast<size_t>(loaded) == registrations.size();
}

int32_t FindResourceIndex(const std::string& key, const TResourceList& resources) {
    if (resources.empty()) return -1;
    const std::string wanted = UpperCaseText(TrimText(key));
    for (size_t i = 0; i < resources.size(); ++i)
        if (UpperCaseText(TrimText(resources[i].Key)) == wanted) return static_cast<int32_t>(i);
    return -1;
}

void FreeResources(TResourceList& resources) {
    for (const TResource& resource : resources) {
        if (IsSampleKind(resource.Kind) && BASS_SampleFree) BASS_SampleFree(resource.Handle);
        if (IsMusicKind(resource.Kind) && BASS_MusicFree) BASS_MusicFree(resource.Handle);
        if (IsFontKind(resource.Kind)) {
            if (resource.Handle != 0) DeleteFontLists(resource.Handle);
            RemoveFontResourceExA(resource.FileName, FR_PRIVATE);
        }
    }
}

bool ExpandCompressedFile(const std::string& compressedPath, const std::string& expandedPath) {
    const std::string target = LocalPath(expandedPath);
    TExpansion expansion = NewExpansion();
    const bool expanded = Expand(expansion, LocalPath(compressedPath), target);
    // No partial copy stays behind.
    std::error_code error;
    if (!expanded && expansion.Created) std::filesystem::remove(target, error);
    return expanded;
}

bool ExpandCompressedBytes(std::span<const uint8_t> compressed, std::vector<uint8_t>& expanded) {
    expanded.clear();
    TExpansion expansion = NewExpansion();
    expansion.Input = compressed;
    expansion.Output = &expanded;
    if (Expand(expansion, "", "")) return true;
    expanded.clear();
    return false;
}

std::string ExpandedFileName(const std::string& path) {
    if (path.empty() || path.back() != '_') return path;
    const char recorded = RecordedNameCharacter(LocalPath(path));
    if (recorded == '\0') return path;
    std::string name = path;
    name.back() = MatchLetterCase(recorded, name, name.size() - 1);
    return name;
}

std::string FileExtension(const std::string& path) {
    const size_t stop = path.rfind('.');
    return stop == std::string::npos ? path : path.substr(stop + 1);
}

std::string LocalPath(const std::string& path) {
    std::string local = path;
    if constexpr (std::filesystem::path::preferred_separator == '/')
        std::replace(local.begin(), local.end(), '\\', '/');
    return local;
}
