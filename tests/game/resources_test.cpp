// The resource pipeline: expansion of compressed files, the expanded names, the failure table,
// progress calls, lookups by key and the sound calls, with a fake sound library. Textures need an
// OpenGL context, so the tests run in an offscreen one.
#include "resources.h"

#include "config.h"
#include "engine/fonts.h"
#include "engine/images.h"
#include "engine/models.h"
#include "file_bytes.h"
#include "file_modes.h"
#include "image_writers.h"
#include "offscreen_gl.h"
#include "run_program.h"
#include "scratch_folder.h"
#include "sound/bass.h"
#include "startup.h"
#include "szdd.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <utility>

namespace fs = std::filesystem;

namespace {

struct ProgressCall {
    int32_t ResourceCount;
    int32_t LoadedCount;
    int32_t FileIndex;
};

std::vector<ProgressCall> ProgressCalls;

void RecordProgress(int32_t resourceCount, int32_t loadedCount, int32_t fileIndex) {
    ProgressCalls.push_back({resourceCount, loadedCount, fileIndex});
}

// The fake sound library: records its calls and hands out handles from 100 up.
struct SoundCall {
    std::string Name;
    std::string Path;
    uint32_t Handle;
    uint32_t Arguments[4];
};

std::vector<SoundCall> SoundCalls;
BassHandle NextHandle = 100;

BassHandle FakeSampleLoad(BassBool memory, const void* file, uint32_t offset, uint32_t length,
                          uint32_t maxPlaybacks, uint32_t flags) {
    const std::string path = static_cast<const char*>(file);
    const BassHandle handle = path.find("refused") == std::string::npos ? NextHandle++ : 0;
    SoundCalls.push_back(
        {"SampleLoad",
         path,
         handle,
         {static_cast<uint32_t>(memory) + offset + length, maxPlaybacks, flags, 0}});
    return handle;
}

BassHandle FakeMusicLoad(BassBool memory, const void* file, uint32_t offset, uint32_t length,
                         uint32_t flags, uint32_t freq) {
    const BassHandle handle = NextHandle++;
    SoundCalls.push_back({"MusicLoad",
                          static_cast<const char*>(file),
                          handle,
                          {static_cast<uint32_t>(memory) + offset + length, flags, freq, 0}});
    return handle;
}

BassBool FakeSampleFree(BassHandle sample) {
    SoundCalls.push_back({"SampleFree", "", sample, {}});
    return 1;
}

BassBool FakeMusicFree(BassHandle music) {
    SoundCalls.push_back({"MusicFree", "", music, {}});
    return 1;
}

const std::string SomeText = "jump pad water hole road jump pad water hole road";

RgbaImage SmallPicture() {
    RgbaImage image = MakeImage(4, 4, 0x2080C0FF);
    PixelAt(image, 1, 2)[0] = 255;
    return image;
}

// Points the system's temporary folder elsewhere for as long as it lives.
struct TemporaryFolderAt {
    std::optional<std::string> Previous;
    explicit TemporaryFolderAt(const std::string& folder) {
        if (const char* value = std::getenv("TMPDIR")) Previous = value;
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TemporaryFolderAt() {
        if (Previous)
            setenv("TMPDIR", Previous->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
};

// Every file under the folder, with its contents.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().string()] = ReadWholeFile(entry.path());
    return files;
}

class Pipeline : public ScratchFolderTest {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OpenOffscreenGL(Gl, 32, 32)); }
    static void TearDownTestSuite() { CloseOffscreenGL(Gl); }

    void SetUp() override {
        fs::create_directory(Dir + "/Resources");
        Previous = fs::current_path();
        fs::current_path(Dir);
        ProgressCalls.clear();
        SoundCalls.clear();
        SoundEnabled = false;
    }

    void TearDown() override {
        SoundEnabled = false;
        BASS_SampleLoad = nullptr;
        BASS_MusicLoad = nullptr;
        BASS_SampleFree = nullptr;
        BASS_MusicFree = nullptr;
        fs::current_path(Previous);
        fs::permissions(Dir + "/Resources", fs::perms::owner_all);
    }

    static void UseFakeSound() {
        SoundEnabled = true;
        BASS_SampleLoad = FakeSampleLoad;
        BASS_MusicLoad = FakeMusicLoad;
        BASS_SampleFree = FakeSampleFree;
        BASS_MusicFree = FakeMusicFree;
    }

    // Writes the bytes as an SZDD file recording `missing` for its name's last character.
    static void WriteCompressed(const std::string& path, const std::vector<uint8_t>& data,
                                char missing) {
        ASSERT_TRUE(WriteFileBytes(path, CompressSzdd(data, missing)));
    }

    static OffscreenGL Gl;
    fs::path Previous;
};

OffscreenGL Pipeline::Gl;

} // namespace

TEST(ResourceNames, ExtensionsAndLocalPaths) {
    EXPECT_EQ(FileExtension("Resources\\road.bm_"), "bm_");
    EXPECT_EQ(FileExtension("a.b.tga"), "tga");
    EXPECT_EQ(FileExtension("README"), "README");
    EXPECT_EQ(FileExtension("trailing."), "");
    EXPECT_EQ(FileExtension("Res.v2\\music"), "v2\\music");
    EXPECT_EQ(LocalPath("Resources\\sub\\road.bmp"), "Resources/sub/road.bmp");
    EXPECT_EQ(LocalPath("/tmp/x.tga"), "/tmp/x.tga");
}

TEST_F(Pipeline, ExpandedNameTakesTheRecordedCharacterInTheNamesCase) {
    const std::vector<uint8_t> data(SomeText.begin(), SomeText.end());
    WriteCompressed("Resources/FILE.BL_", data, 'a');
    WriteCompressed("Resources/file.bl_", data, 'A');
    WriteCompressed("Resources/ROLK.tg_", data, 'a');
    WriteCompressed("Resources/DATA.12_", data, 'x');
    WriteCompressed("Resources/none.bm_", data, '\0');
    ASSERT_TRUE(WriteFileBytes("Resources/plain.tx_", data));
    EXPECT_EQ(ExpandedFileName("Resources\\FILE.BL_"), "Resources\\FILE.BLA");
    EXPECT_EQ(ExpandedFileName("Resources\\file.bl_"), "Resources\\file.bla");
    EXPECT_EQ(ExpandedFileName("Resources\\ROLK.tg_"), "Resources\\ROLK.tga");
    EXPECT_EQ(ExpandedFileName("Resources\\DATA.12_"), "Resources\\DATA.12X");
    EXPECT_EQ(ExpandedFileName("Resources\\none.bm_"), "Resources\\none.bm_");
    EXPECT_EQ(ExpandedFileName("Resources\\plain.tx_"), "Resources\\plain.tx_");
    EXPECT_EQ(ExpandedFileName("Resources\\missing.bm_"), "Resources\\missing.bm_");
    EXPECT_EQ(ExpandedFileName("Resources\\FILE.BLA"), "Resources\\FILE.BLA");
}

TEST_F(Pipeline, CompressedBitmapIsExpandedLoadedAndItsCopyDeleted) {
    WriteCompressed("Resources/road.bm_", EncodeBmp(SmallPicture()), 'p');
    const std::string compressed = ReadWholeFile("Resources/road.bm_");
    TFileNameList registrations = {{"road", "  Resources\\road.bm_ ", 0, 0, 0}};
    TResourceList resources;
    EXPECT_TRUE(LoadResources(registrations, resources, RecordProgress));
    EXPECT_EQ(registrations[0].Path, "Resources\\road.bmp");
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources[0].Key, "road");
    EXPECT_EQ(resources[0].Kind, RES_BMP);
    EXPECT_NE(resources[0].Handle, 0u);
    EXPECT_EQ(resources[0].Width, 4);
    EXPECT_EQ(resources[0].Height, 4);
    EXPECT_EQ(resources[0].BitsPerPixel, 24);
    EXPECT_EQ(resources[0].FileName, "Resources/road.bmp");
    EXPECT_FALSE(fs::exists("Resources/road.bmp"));
    EXPECT_EQ(ReadWholeFile("Resources/road.bm_"), compressed);
}

TEST_F(Pipeline, AFileUnderTheExpandedNameIsLeftAlone) {
    WriteCompressed("Resources/water.tg_", EncodeTga(SmallPicture(), 32, true), 'a');
    std::ofstream("Resources/water.tga") << "somebody's own file";
    TFileNameList registrations = {{"water", "Resources\\water.tg_", 0, 0, 0}};
    TResourceList resources;
    EXPECT_TRUE(LoadResources(registrations, resources, nullptr));
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_NE(resources[0].Handle, 0u) << "the copy elsewhere was loaded";
    EXPECT_EQ(resources[0].BitsPerPixel, 32);
    EXPECT_EQ(ReadWholeFile("Resources/water.tga"), "somebody's own file");
    const fs::path copy = resources[0].FileName;
    EXPECT_EQ(copy.filename(), "water.tga");
    EXPECT_NE(copy.parent_path(), fs::absolute("Resources"));
    EXPECT_EQ(registrations[0].Path, copy.string());
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(copy.parent_path())) << "the temporary folder is removed too";

    // With no temporary folder to turn to, the registration fails and still nothing is touched.
    const std::map<std::string, std::string> before = Snapshot(Dir);
    const TemporaryFolderAt nowhere(Dir + "/Resources/water.tga");
    registrations = {{"water", "Resources\\water.tg_", 0, 0, 0}};
    EXPECT_FALSE(LoadResources(registrations, resources, nullptr));
    EXPECT_TRUE(resources.empty());
    EXPECT_EQ(registrations[0].Path, "Resources\\water.tg_");
    EXPECT_EQ(Snapshot(Dir), before);
}

namespace {

// The disk as the expansion writes it: it fills for `FullWrites` writes, and it tells whether a
// copy stood under its final name while being written (where a killed load would leave it).
int FullWrites = 0;
bool SeenUnderFinalName = false;

size_t WriteToFakeDisk(const void* data, size_t size, std::FILE* file) {
    SeenUnderFinalName = SeenUnderFinalName || fs::exists("Resources/road.bmp");
    return FullWrites-- > 0 ? size / 2 : std::fwrite(data, 1, size, file);
}

} // namespace

// A disk that filled during the copy left the game without its road; a killed load left a partial
// copy under the final name that every later start stepped around.
TEST_F(Pipeline, ACopyIsWrittenWholeOrElsewhereAndAStaleOneIsRemoved) {
    WriteCompressed("Resources/road.bm_", EncodeBmp(SmallPicture()), 'p');
    const auto write = std::exchange(WriteExpandedChunk, WriteToFakeDisk);
    for (const int full : {0, 1}) {
        FullWrites = full;
        SeenUnderFinalName = false;
        ASSERT_TRUE(WriteFileBytes("Resources/.road.bmp.expanding", std::vector<uint8_t>(9000)));
        TFileNameList registrations = {{"road", "Resources\\road.bm_", 0, 0, 0}};
        TResourceList resources;
        EXPECT_TRUE(LoadResources(registrations, resources, nullptr)) << full;
        EXPECT_EQ(resources.at(0).FileName == "Resources/road.bmp", full == 0) << full;
        EXPECT_FALSE(SeenUnderFinalName);
        EXPECT_EQ(Snapshot("Resources").size(), 1u) << "only road.bm_ is left";
    }
    WriteExpandedChunk = write;
}

TEST_F(Pipeline, ReadOnlyResourcesFolderStillLoads) {
    WriteCompressed("Resources/jump.bm_", EncodeBmp(SmallPicture()), 'p');
    fs::permissions("Resources", fs::perms::owner_read | fs::perms::owner_exec);
    const FileModesHold modesHold;
    ASSERT_FALSE(CanWrite("Resources")) << "modes do not bind this user";
    TFileNameList registrations = {{"jump", "Resources\\jump.bm_", 0, 0, 0}};
    TResourceList resources;
    EXPECT_TRUE(LoadResources(registrations, resources, nullptr));
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_NE(resources[0].Handle, 0u);
    EXPECT_NE(fs::path(resources[0].FileName).parent_path(), fs::absolute("Resources"));
    EXPECT_FALSE(fs::exists(resources[0].FileName));
    EXPECT_FALSE(fs::exists(fs::path(resources[0].FileName).parent_path()));
}

TEST_F(Pipeline, FailedRegistrationsAddNothingButStillReportProgress) {
    WriteCompressed("Resources/noname.bm_", EncodeBmp(SmallPicture()), '\0');
    ASSERT_TRUE(WriteFileBytes("Resources/plain.bm_", EncodeBmp(SmallPicture())));
    for (const char* name :
         {"music.mp3", "readme.txt", "NOTES", "broken.bmp", "fake.ttf", "bad.qmf"})
        std::ofstream(std::string("Resources/") + name) << SomeText;
    ASSERT_TRUE(CompressSzddFile("Resources/broken.bmp", "Resources/broken.bm_"));
    fs::remove("Resources/broken.bmp");
    ASSERT_TRUE(WriteFileBytes("Resources/good.tga", EncodeTga(SmallPicture(), 24, false)));
    const std::map<std::string, std::string> prepared = Snapshot(Dir);
    // An earlier case may have compiled the model's list 3 in the suite's one context.
    glDeleteLists(3, 1);

    TFileNameList registrations = {
        {"noname", "Resources\\noname.bm_", 0, 0, 0},   // records no name character
        {"plain", "Resources\\plain.bm_", 0, 0, 0},     // not compressed
        {"gone", "Resources\\gone.bm_", 0, 0, 0},       // missing compressed file
        {"missing", "Resources\\missing.bmp", 0, 0, 0}, // missing file
        {"music", "Resources\\music.mp3", 4, 0, 0},     // sound is off
        {"text", "Resources\\readme.txt", 0, 0, 0},     // unknown extension
        {"notes", "Resources\\NOTES", 0, 0, 0},         // no extension at all
        {"font", "Resources\\fake.ttf", 12, 0, 700},    // the font registry refuses it
        {"model", "Resources\\bad.qmf", 3, 0, 0},       // no model signature
        {"broken", "Resources\\broken.bm_", 0, 0, 0},   // expands to something that is no bitmap
        {"good", "Resources\\good.tga", 0, 0, 0},
    };
    TResourceList resources(3);
    EXPECT_FALSE(LoadResources(registrations, resources, RecordProgress));
    ASSERT_EQ(resources.size(), 2u);
    EXPECT_EQ(resources[0].Key, "broken");
    EXPECT_EQ(resources[0].Handle, 0u) << "an undecodable image still counts, with texture 0";
    EXPECT_EQ(resources[0].Width, 0);
    EXPECT_EQ(resources[1].Key, "good");
    EXPECT_NE(resources[1].Handle, 0u);
    EXPECT_EQ(registrations[0].Path, "Resources\\noname.bm_");
    EXPECT_EQ(registrations[1].Path, "Resources\\plain.bm_");
    EXPECT_TRUE(SoundCalls.empty());
    EXPECT_FALSE(glIsList(3)) << "nothing compiled for the refused model";
    EXPECT_EQ(Snapshot(Dir), prepared) << "no file written, changed or left behind";

    ASSERT_EQ(ProgressCalls.size(), registrations.size());
    for (size_t i = 0; i < ProgressCalls.size(); ++i) {
        EXPECT_EQ(ProgressCalls[i].FileIndex, static_cast<int32_t>(i));
        EXPECT_EQ(ProgressCalls[i].ResourceCount, i < 9 ? 0 : static_cast<int32_t>(i) - 8);
        EXPECT_EQ(ProgressCalls[i].LoadedCount, i < 9 ? 0 : static_cast<int32_t>(i) - 8);
    }
}

TEST_F(Pipeline, EmptyRegistrationListFailsAndEmptiesTheResources) {
    TFileNameList registrations;
    TResourceList resources(2);
    EXPECT_FALSE(LoadResources(registrations, resources, RecordProgress));
    EXPECT_TRUE(resources.empty());
    EXPECT_TRUE(ProgressCalls.empty());
}

TEST_F(Pipeline, SoundFilesGoToTheSoundLibraryAndAreFreed) {
    UseFakeSound();
    for (const char* name : {"music.mp3", "refused.wav", "tune.xm"})
        std::ofstream(std::string("Resources/") + name) << SomeText;
    TFileNameList registrations = {
        {"music", "Resources\\music.mp3", 4, 0, 0},
        {"refused", "Resources\\refused.wav", 0, 0, 0},
        {"tune", "Resources\\tune.xm", 0x200, 0, 0},
    };
    TResourceList resources;
    EXPECT_FALSE(LoadResources(registrations, resources, nullptr));
    ASSERT_EQ(resources.size(), 2u);
    EXPECT_EQ(resources[0].Kind, RES_SAMPLE_MP3);
    EXPECT_EQ(resources[1].Kind, RES_MUSIC_XM);
    ASSERT_EQ(SoundCalls.size(), 3u);
    EXPECT_EQ(SoundCalls[0].Name, "SampleLoad");
    EXPECT_EQ(SoundCalls[0].Path, "Resources/music.mp3");
    EXPECT_EQ(SoundCalls[0].Arguments[0], 0u) << "from a file, offset and length 0";
    EXPECT_EQ(SoundCalls[0].Arguments[1], 3u) << "three playbacks at most";
    EXPECT_EQ(SoundCalls[0].Arguments[2], 4u) << "the registration's flags";
    EXPECT_EQ(resources[0].Handle, SoundCalls[0].Handle);
    EXPECT_EQ(SoundCalls[1].Handle, 0u);
    EXPECT_EQ(SoundCalls[2].Name, "MusicLoad");
    EXPECT_EQ(SoundCalls[2].Arguments[1], 0x200u);
    EXPECT_EQ(SoundCalls[2].Arguments[2], 0u) << "sample rate 0";

    SoundCalls.clear();
    FreeResources(resources);
    ASSERT_EQ(SoundCalls.size(), 2u);
    EXPECT_EQ(SoundCalls[0].Name, "SampleFree");
    EXPECT_EQ(SoundCalls[0].Handle, resources[0].Handle);
    EXPECT_EQ(SoundCalls[1].Name, "MusicFree");
    EXPECT_EQ(SoundCalls[1].Handle, resources[1].Handle);
    EXPECT_EQ(resources.size(), 2u) << "the list stays as it is";
}

TEST_F(Pipeline, KeysAreFoundWithoutRegardToCaseOrBlanksFirstOneWins) {
    ASSERT_TRUE(WriteFileBytes("Resources/a.bmp", EncodeBmp(SmallPicture())));
    ASSERT_TRUE(WriteFileBytes("Resources/b.tga", EncodeTga(SmallPicture(), 24, false)));
    TFileNameList registrations = {
        {"font", "Resources\\a.bmp", 0, 0, 0},
        {"road", "Resources\\a.bmp", 0, 0, 0},
        {" Road", "Resources\\b.tga", 0, 0, 0},
    };
    TResourceList resources;
    EXPECT_TRUE(LoadResources(registrations, resources, nullptr));
    ASSERT_EQ(resources.size(), 3u);
    EXPECT_EQ(FindResourceIndex(" FONT ", resources), 0);
    EXPECT_EQ(FindResourceIndex("ROAD", resources), 1);
    EXPECT_EQ(FindResourceIndex("roa", resources), -1);
    EXPECT_EQ(FindResourceIndex("", resources), -1);
    EXPECT_EQ(FindResourceIndex("road", TResourceList{}), -1);
}

TEST_F(Pipeline, UncompressedFileIsCopiedAsItIs) {
    const std::vector<uint8_t> data(SomeText.begin(), SomeText.end());
    ASSERT_TRUE(WriteFileBytes("plain.bin", data));
    EXPECT_TRUE(ExpandCompressedFile("plain.bin", "copy.bin"));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes("copy.bin", bytes));
    EXPECT_EQ(bytes, data);
    EXPECT_FALSE(ExpandCompressedFile("absent.bi_", "absent.bin"));
}

TEST_F(Pipeline, DamagedCompressedFilesExpandToABoundedCopyThatIsDeleted) {
    const std::vector<uint8_t> good = CompressSzdd(EncodeBmp(SmallPicture()), 'p');
    std::mt19937 generator(11);
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t size = 0; size < good.size(); ++size)
        damaged.emplace_back(good.begin(), good.begin() + size);
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> file = good;
        file[14 + generator() % (file.size() - 14)] ^= static_cast<uint8_t>(1 + generator() % 255);
        damaged.push_back(file);
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
        const std::vector<uint8_t>& file = damaged[i];
        ASSERT_TRUE(WriteFileBytes("Resources/road.bm_", file));
        std::error_code error;
        fs::remove("expanded.bin", error);
        const bool expanded = ExpandCompressedFile("Resources/road.bm_", "expanded.bin");
        std::vector<uint8_t> inMemory;
        EXPECT_EQ(ExpandCompressedBytes(file, inMemory), expanded) << i;
        if (expanded) {
            EXPECT_EQ(std::string(inMemory.begin(), inMemory.end()), ReadWholeFile("expanded.bin"));
        }
        if (i < good.size()) {
            EXPECT_FALSE(expanded) << "cut to " << i << " bytes";
        }
        // The expander runs to the end of its input; a flag byte and eight matches (17 bytes)
        // give at most 144 bytes.
        if (fs::exists("expanded.bin")) {
            EXPECT_LE(fs::file_size("expanded.bin"), file.size() * 144 / 17);
        }
        TFileNameList registrations = {{"road", "Resources\\road.bm_", 0, 0, 0}};
        TResourceList resources;
        LoadResources(registrations, resources, nullptr);
        EXPECT_LE(resources.size(), 1u);
        EXPECT_FALSE(fs::exists("Resources/road.bmp"));
    }
}

namespace {

enum Reader { ReadConfig, ReadModel, ReadTga, LoadAll, Expand100 };

bool ReadAs(Reader reader, const std::string& path) {
    TParameterList list;
    TModelInfo model{9, "", ""};
    TImage image;
    TFileNameList registrations = {{"r", path, 0, 0, 0}};
    TResourceList resources;
    if (reader == ReadConfig) return LoadParameterList(path, list);
    if (reader == ReadModel) return LoadModel(path, model);
    if (reader == ReadTga) return ReadTgaImage(path, image);
    if (reader == LoadAll) return LoadResources(registrations, resources, nullptr);
    return ExpandCompressedFile(path, "copy.bin") && fs::file_size("copy.bin") == 100;
}

// An SZDD header recording `length` and the name's last character 'f'; behind it, LZSS data of
// zeros gives 24 bytes for each 17.
std::vector<uint8_t> SzddRecording(uint64_t length) {
    std::vector<uint8_t> header = CompressSzdd({}, 'f');
    for (int i = 0; i < 4; ++i) header[10 + i] = uint8_t(length >> (8 * i));
    return header;
}

std::vector<uint8_t> TgaHeader(uint8_t type, uint16_t width, uint16_t height) {
    std::vector<uint8_t> header = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32, 0};
    std::memcpy(&header[12], &width, 2); // the host's order is the file's, little-endian
    std::memcpy(&header[14], &height, 2);
    return header;
}

} // namespace

// Every kind of file the Game reads, made hostile: a named pipe, a link to an endless device, or a
// small sparse file or a header that lies standing in for a huge file. Each is refused at once (a
// pipe would block forever); at its limit a file is still read. A refused copy leaves nothing.
TEST_F(Pipeline, EveryReadIsOfARegularFileWithinTheLimitOfItsKind) {
    enum { Pipe, EndlessDevice, SparseFile };
    struct Case {
        const char* Path;
        int Make;
        std::vector<uint8_t> Head; // a sparse file's first bytes
        uintmax_t Size;
        Reader Read;
        bool Taken;
    };
    const std::vector<uint8_t> model = {'Q', 'M', 'F', '1', 0, 0};
    const std::vector<Case> cases = {
        {"Config.INI", Pipe, {}, 0, ReadConfig, false},
        {"Config.INI", EndlessDevice, {}, 0, ReadConfig, false},
        {"Config.INI", SparseFile, {'a', '='}, MaxConfigFileSize, ReadConfig, true},
        {"Config.INI", SparseFile, {'a', '='}, MaxConfigFileSize + 1, ReadConfig, false},
        {"m.qmf", Pipe, {}, 0, ReadModel, false},
        {"m.qmf", SparseFile, model, MaxModelFileSize, ReadModel, true},
        {"m.qmf", SparseFile, model, MaxModelFileSize + 1, ReadModel, false},
        {"i.tga", Pipe, {}, 0, ReadTga, false},
        {"i.tga", SparseFile, TgaHeader(10, 16384, 16384), 11 << 20, ReadTga, false},
        {"i.tga", SparseFile, TgaHeader(2, MaxImageSide, 1), 18 + MaxImageSide * 4, ReadTga, true},
        {"i.tga", SparseFile, TgaHeader(2, MaxImageSide + 1, 1), 18 + MaxImageSide * 8, ReadTga,
         false},
        {"Resources/r.bmp", Pipe, {}, 0, LoadAll, false},
        {"Resources/r.bm_", Pipe, {}, 0, LoadAll, false},
        {"plain.bin", Pipe, {}, 0, Expand100, false},
        {"plain.bin", SparseFile, {'x'}, MaxExpandedFileSize + 1, Expand100, false},
        {"big.bi_", SparseFile, SzddRecording(100), 1 << 20, Expand100, true},
        {"big.bi_", SparseFile, SzddRecording(MaxExpandedFileSize + 1), 1 << 20, Expand100, false},
        {"big.bi_", SparseFile, SzddRecording(MaxExpandedFileSize), 1 << 20, Expand100, false},
    };
    for (const Case& c : cases) {
        std::error_code error;
        fs::remove(c.Path, error);
        fs::remove("copy.bin", error);
        if (c.Make == Pipe) {
            ASSERT_EQ(mkfifo(c.Path, 0644), 0);
        }
        if (c.Make == EndlessDevice) fs::create_symlink("/dev/zero", c.Path);
        if (c.Make == SparseFile) {
            ASSERT_TRUE(WriteFileBytes(c.Path, c.Head));
            fs::resize_file(c.Path, c.Size);
        }
        EXPECT_EQ(ReadAs(c.Read, c.Path), c.Taken)
            << c.Path << " made " << c.Make << ", " << c.Size;
        if (!c.Taken) {
            EXPECT_FALSE(fs::exists("copy.bin")) << c.Path;
        }
    }
}

TEST_F(Pipeline, TheGamesRegistrationsAllLoadAndTheFontIsReleasedAtTheEnd) {
    CopyFolder(GAME_RUN_DIR "/Resources", Dir + "/Resources");
    const std::map<std::string, std::string> before = Snapshot(Dir);
    UseFakeSound();
    RegisterResourceFiles();
    ASSERT_EQ(ResourceFiles.size(), 14u);
    TResourceList resources;
    EXPECT_TRUE(LoadResources(ResourceFiles, resources, RecordProgress));
    ASSERT_EQ(ProgressCalls.size(), 14u);
    EXPECT_EQ(ProgressCalls.back().LoadedCount, 14);
    ASSERT_EQ(resources.size(), 14u);
    for (size_t i = 0; i < resources.size(); ++i) {
        EXPECT_EQ(resources[i].Key, ResourceFiles[i].Key);
        EXPECT_NE(resources[i].Handle, 0u) << resources[i].Key;
    }
    EXPECT_EQ(resources[0].Kind, RES_TGA);
    EXPECT_EQ(resources[0].Width, 800);
    EXPECT_EQ(resources[0].Height, 600);
    const TResource& font = resources[1];
    EXPECT_EQ(font.Kind, RES_FONT_TTF);
    EXPECT_EQ(font.FaceName, "DejaVu Sans");
    EXPECT_EQ(font.FileName, "Resources/font.ttf");
    EXPECT_EQ(font.CharWidth, 12);
    EXPECT_EQ(font.CharHeight, 0);
    EXPECT_EQ(font.Weight, 700);
    for (int i : {2, 3, 4, 5, 6, 7, 8, 11}) {
        EXPECT_EQ(resources[i].Kind, RES_MODEL);
        EXPECT_EQ(resources[i].Handle, uint32_t(ResourceFiles[i].Param1));
        EXPECT_EQ(resources[i].ModelName, resources[i].Key);
        EXPECT_TRUE(glIsList(resources[i].Handle));
    }
    EXPECT_EQ(resources[9].Kind, RES_SAMPLE_MP3);
    EXPECT_EQ(SoundCalls.at(0).Arguments[2], BASS_SAMPLE_LOOP);
    EXPECT_EQ(resources[10].Kind, RES_BMP);
    EXPECT_EQ(resources[12].BitsPerPixel, 32);
    EXPECT_EQ(ResourceFiles[10].Path, "Resources\\road.bmp");
    EXPECT_EQ(Snapshot(Dir), before) << "every expanded copy is gone";

    // The registration list is long gone when the font is released by its resource alone.
    ResourceFiles.clear();
    EXPECT_TRUE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_TRUE(glIsList(font.Handle + 'A'));
    FreeResources(resources);
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_FALSE(glIsList(font.Handle + 'A'));
}

namespace {

// How many of the system's temporary folders have the pipeline's name.
int TemporaryCopyFolders() {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        count += entry.path().filename().string().rfind("Game-", 0) == 0;
    return count;
}

} // namespace

// The real program, headless, its sound written to a file by SDL's disk driver.
TEST(GameProgram, LoadsItsResourcesPlaysTheMusicAndLeavesNoCopyBehind) {
    const std::string folder = MakeScratchDir("game-resources");
    CopyFolder(GAME_RUN_DIR, folder);
    std::ofstream(folder + "/Config.INI") << "ScrWidth=640\nScrHeight=480\nScrFullScreen=0\n";
    std::ofstream(folder + "/Resources/road.bmp") << "a file that happens to have the name";
    const std::map<std::string, std::string> before = Snapshot(folder + "/Resources");
    const int copyFolders = TemporaryCopyFolders();

    const ProgramRun run =
        RunProgram(folder + "/Game", folder,
                   {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + folder + "/audio.raw",
                    "ASAN_OPTIONS=detect_leaks=0"},
                   10000);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    const std::vector<std::string> log = ReadLines(folder + "/Log.TXT");
    EXPECT_TRUE(HasLine(log, "Initializing BASS... Ok."));
    EXPECT_TRUE(HasLine(log, "Resources were loaded successfully."));
    EXPECT_TRUE(HasLine(log, "Freeing resources... Ok."));
    EXPECT_EQ(Snapshot(folder + "/Resources"), before);
    EXPECT_EQ(TemporaryCopyFolders(), copyFolders);

    // The device plays 16-bit stereo. Loading may take most of the run on a busy machine, so any
    // clearly audible stretch (50 ms at 44.1 kHz) shows the music played.
    const std::string audio = ReadWholeFile(folder + "/audio.raw");
    int loud = 0;
    for (size_t i = 0; i + 1 < audio.size(); i += 2) {
        const auto sample = static_cast<int16_t>(static_cast<uint8_t>(audio[i]) |
                                                 static_cast<uint8_t>(audio[i + 1]) << 8);
        loud += std::abs(sample) > 1000;
    }
    EXPECT_GT(loud, 4410) << audio.size() << " bytes of audio";
    fs::remove_all(folder);
}

// Seven models that each expand to the most a copy may hold: the quit request that comes during
// the loading is answered within the grace period, and no copy stays behind.
TEST(GameProgram, AnswersAQuitDuringLongExpansionsAndLeavesNoCopyBehind) {
    const std::string folder = MakeScratchDir("game-quit");
    CopyFolder(GAME_RUN_DIR, folder);
    // 190 MiB of zeros give more than is recorded.
    for (const auto& entry : fs::directory_iterator(folder + "/Resources")) {
        if (entry.path().extension() != ".qm_") continue;
        ASSERT_TRUE(WriteFileBytes(entry.path(), SzddRecording(MaxExpandedFileSize)));
        fs::resize_file(entry.path(), uintmax_t{190} << 20);
    }
    const ProgramRun run =
        RunProgram(folder + "/Game", folder, {"ASAN_OPTIONS=detect_leaks=0"}, 2500, 3000);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    for (const auto& entry : fs::directory_iterator(folder + "/Resources"))
        EXPECT_NE(entry.path().extension(), ".qmf") << entry.path();
    fs::remove_all(folder);
}
