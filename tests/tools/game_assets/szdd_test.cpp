// SZDD both ways between our tools and Debian's: files our compressor writes expand through
// msexpand and through the Game's expansion (libmspack), and files mscompress writes expand
// through the Game's expansion, byte for byte.
#include "szdd.h"

#include "file_bytes.h"
#include "resources.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(generator());
    return bytes;
}

// Text with long repeats and varied words, the kind of data the window's matches are made for.
std::vector<uint8_t> TextBytes(size_t size) {
    static const char* Words[] = {"road ", "water ",  "jump ",  "the ", "creature ",  "\r\n",
                                  "    ",  "score: ", "snake ", "42 ",  "Resources\\"};
    std::mt19937 generator(7);
    std::vector<uint8_t> bytes;
    while (bytes.size() < size) {
        const std::string word = Words[generator() % std::size(Words)];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(size);
    return bytes;
}

class SzddCompressor : public ScratchFolderTest {
  protected:
    // Compresses the bytes with our tool, as a file named `name`; returns the compressed path.
    std::string Compress(const std::vector<uint8_t>& data, const std::string& name) {
        const std::string input = Dir + "/" + name;
        const std::string output = input.substr(0, input.size() - 1) + "_";
        EXPECT_TRUE(WriteFileBytes(input, data));
        EXPECT_TRUE(CompressSzddFile(input, output));
        return output;
    }

    std::vector<uint8_t> ExpandWithMsexpand(const std::string& compressed) {
        const std::string output = compressed + ".msexpand";
        const std::string command =
            "msexpand < '" + compressed + "' > '" + output + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(output, bytes));
        return bytes;
    }

    // Compresses the bytes with Debian's mscompress, which records no name character.
    std::string CompressWithMscompress(const std::vector<uint8_t>& data) {
        const std::string path = Dir + "/peer.bin";
        EXPECT_TRUE(WriteFileBytes(path, data));
        std::filesystem::remove(path + "_"); // it refuses to replace a file
        const std::string command = "mscompress '" + path + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path + "_";
    }

    std::vector<uint8_t> ExpandWithPipeline(const std::string& compressed) {
        const std::string output = compressed + ".expanded";
        EXPECT_TRUE(ExpandCompressedFile(compressed, output));
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(output, bytes));
        return bytes;
    }
};

struct Sample {
    const char* Name;
    std::vector<uint8_t> Data;
};

std::vector<Sample> Samples() {
    // mscompress and msexpand read and write a byte at a time: one file of a few megabytes.
    std::vector<uint8_t> large = TextBytes(1 << 20);
    const std::vector<uint8_t> noise = RandomBytes(1 << 20, 2);
    large.insert(large.end(), noise.begin(), noise.end());
    std::vector<Sample> samples = {
        {"empty.bin", {}},
        {"one.bin", {0x41}},
        {"blanks.txt", std::vector<uint8_t>(40, ' ')},
        {"short.txt", TextBytes(15)},
        {"sixteen.txt", TextBytes(16)},
        {"text.txt", TextBytes(100000)},
        {"random.bin", RandomBytes(70000, 1)},
        {"large.bin", large},
    };
    // Around the window's size and the reach of a match.
    for (size_t size : {4078, 4079, 4080, 4095, 4096, 4097, 8192, 8210}) {
        samples.push_back({"edge.txt", TextBytes(size)});
        samples.push_back({"edge.bin", RandomBytes(size, static_cast<uint32_t>(size))});
    }
    return samples;
}

} // namespace

TEST_F(SzddCompressor, PeersRestoreEveryFileBothWays) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(std::string(sample.Name) + " of " + std::to_string(sample.Data.size()));
        const std::string compressed = Compress(sample.Data, sample.Name);
        EXPECT_EQ(ExpandWithMsexpand(compressed), sample.Data);
        EXPECT_EQ(ExpandWithPipeline(compressed), sample.Data);
        // mscompress corrupts files shorter than 16 bytes.
        if (sample.Data.size() >= 16) {
            EXPECT_EQ(ExpandWithPipeline(CompressWithMscompress(sample.Data)), sample.Data);
        }
    }
}

TEST_F(SzddCompressor, HeaderRecordsSizeAndLastNameCharacter) {
    std::vector<uint8_t> compressed;
    ASSERT_TRUE(ReadFileBytes(Compress(TextBytes(70000), "road.bmp"), compressed));
    ASSERT_GE(compressed.size(), 14u);
    const std::vector<uint8_t> signature = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'p'};
    EXPECT_EQ(std::vector<uint8_t>(compressed.begin(), compressed.begin() + 10), signature);
    EXPECT_EQ(compressed[10] | compressed[11] << 8 | compressed[12] << 16 | compressed[13] << 24,
              70000);
    EXPECT_EQ(CompressSzdd({}, '\0')[9], 0);
}

TEST_F(SzddCompressor, RepetitiveDataShrinksAndRandomDataBarelyGrows) {
    const std::vector<uint8_t> text = TextBytes(1 << 20);
    const std::vector<uint8_t> random = RandomBytes(1 << 20, 3);
    EXPECT_LT(CompressSzdd(text, 't').size(), text.size() / 2);
    // Each literal costs one flag bit: at most one byte in eight more, plus the header.
    EXPECT_LE(CompressSzdd(random, 'n').size(), random.size() * 9 / 8 + 15);
}

TEST_F(SzddCompressor, UnreadableInputFails) {
    EXPECT_FALSE(CompressSzddFile(Dir + "/missing.bin", Dir + "/missing.bi_"));
    EXPECT_FALSE(std::filesystem::exists(Dir + "/missing.bi_"));
}
