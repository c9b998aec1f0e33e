#include "szdd.h"

#include "file_bytes.h"

#include <filesystem>
#include <limits>

namespace {

constexpr size_t WindowSize = 4096;
// The decoder writes its first byte at this window slot.
constexpr size_t StartSlot = WindowSize - 16;
constexpr size_t MinMatch = 3;
constexpr size_t MaxMatch = 18;
// A reach a little short of the whole window, as the classic encoders keep, so that no decoder
// copies from a slot it is overwriting in the same match.
constexpr size_t MaxDistance = WindowSize - MaxMatch;
constexpr int MaxChain = 48;
constexpr int HashBits = 14;
constexpr uint32_t NoPosition = std::numeric_limits<uint32_t>::max();

constexpr uint8_t Signature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr uint8_t ModeLzss = 'A';

// Tokens go out in groups of eight behind a flag byte whose bits, lowest first, mark literals.
struct TokenWriter {
    std::vector<uint8_t> Bytes;
    size_t FlagIndex = 0;
    int Count = 8;
};

void StartToken(TokenWriter& writer) {
    if (writer.Count < 8) return;
    writer.FlagIndex = writer.Bytes.size();
    writer.Bytes.push_back(0);
    writer.Count = 0;
}

void PutLiteral(TokenWriter& writer, uint8_t byte) {
    StartToken(writer);
    writer.Bytes[writer.FlagIndex] |= static_cast<uint8_t>(1u << writer.Count);
    ++writer.Count;
    writer.Bytes.push_back(byte);
}

void PutMatch(TokenWriter& writer, size_t slot, size_t length) {
    StartToken(writer);
    ++writer.Count;
    writer.Bytes.push_back(static_cast<uint8_t>(slot & 0xFF));
    writer.Bytes.push_back(static_cast<uint8_t>(((slot >> 4) & 0xF0) | (length - MinMatch)));
}

// Hash chains over the text: the window's initial blanks followed by the data, so that matches may
// reach back into the blanks just as the decoder's window holds them.
struct MatchFinder {
    std::vector<uint8_t> Text;
    std::vector<uint32_t> Head = std::vector<uint32_t>(size_t{1} << HashBits, NoPosition);
    std::vector<uint32_t> Previous = std::vector<uint32_t>(WindowSize, NoPosition);
};

uint32_t Hash3(const uint8_t* bytes) {
    const uint32_t key = (uint32_t{bytes[0]} << 16) | (uint32_t{bytes[1]} << 8) | bytes[2];
    return (key * 2654435761u) >> (32 - HashBits);
}

void Insert(MatchFinder& finder, size_t position) {
    if (position + MinMatch > finder.Text.size()) return;
    const uint32_t hash = Hash3(&finder.Text[position]);
    finder.Previous[position % WindowSize] = finder.Head[hash];
    finder.Head[hash] = static_cast<uint32_t>(position);
}

struct Match {
    size_t Length = 0;
    size_t Position = 0;
};

Match FindLongestMatch(const MatchFinder& finder, size_t current) {
    Match best;
    const size_t limit = std::min(MaxMatch, finder.Text.size() - current);
    if (limit < MinMatch) return best;
    uint32_t candidate = finder.Head[Hash3(&finder.Text[current])];
    for (int chain = 0; chain < MaxChain && candidate != NoPosition; ++chain) {
        if (current - candidate > MaxDistance) break;
        size_t length = 0;
        while (length < limit && finder.Text[candidate + length] == finder.Text[current + length])
            ++length;
        if (length > best.Length) best = {length, candidate};
        if (length == limit) break;
        candidate = finder.Previous[candidate % WindowSize];
    }
    return best;
}

void PutHeader(std::vector<uint8_t>& out, char missingChar, uint32_t length) {
    out.assign(std::begin(Signature), std::end(Signature));
    out.push_back(ModeLzss);
    out.push_back(static_cast<uint8_t>(missingChar));
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(length >> shift));
}

} // namespace

std::vector<uint8_t> CompressSzdd(std::span<const uint8_t> data, char missingChar) {
    TokenWriter writer;
    PutHeader(writer.Bytes, missingChar, static_cast<uint32_t>(data.size()));

    MatchFinder finder;
    finder.Text.assign(WindowSize, ' ');
    finder.Text.insert(finder.Text.end(), data.begin(), data.end());
    for (size_t position = 0; position < WindowSize; ++position) Insert(finder, position);

    size_t current = WindowSize;
    while (current < finder.Text.size()) {
        const Match match = FindLongestMatch(finder, current);
        if (match.Length >= MinMatch) {
            PutMatch(writer, (match.Position + StartSlot) % WindowSize, match.Length);
            for (size_t i = 0; i < match.Length; ++i) Insert(finder, current + i);
            current += match.Length;
        } else {
            PutLiteral(writer, finder.Text[current]);
            Insert(finder, current);
            ++current;
        }
    }
    return std::move(writer.Bytes);
}

bool CompressSzddFile(const std::string& inputPath, const std::string& outputPath) {
    std::vector<uint8_t> data;
    if (!ReadFileBytes(inputPath, data, static_cast<uint64_t>(std::numeric_limits<int32_t>::max())))
        return false;
    const std::string name = std::filesystem::path(inputPath).filename().string();
    const char missingChar = name.empty() ? '\0' : name.back();
    return WriteFileBytes(outputPath, CompressSzdd(data, missingChar));
}
