// The utility functions of the platform layer.
#include "engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <limits>
#include <random>

namespace {

std::mt19937 Generator;

bool IsDigitOfBase(char c, int base, uint32_t& digit) {
    if (c >= '0' && c <= '9')
        digit = static_cast<uint32_t>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
        digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F')
        digit = static_cast<uint32_t>(c - 'A' + 10);
    else
        return false;
    return digit < static_cast<uint32_t>(base);
}

// Skips the hexadecimal prefix ("$", "x", "X", "0x", "0X") at `at`, if any, and gives the base.
int ReadBase(const std::string& text, size_t& at) {
    if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X')) {
        ++at;
        return 16;
    }
    if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        at += 2;
        return 16;
    }
    return 10;
}

// Opens without waiting (a named pipe would block until its other end opens) and keeps the file
// only when it is a regular one; the descriptor then blocks again as usual.
int OpenRegular(const std::string& name, int flags) {
    int file = open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (file < 0) return -1;
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || fcntl(file, F_SETFL, 0) != 0) {
        close(file);
        return -1;
    }
    return file;
}

std::FILE* AsStream(int file, const char* mode) {
    std::FILE* stream = fdopen(file, mode);
    if (!stream) close(file);
    return stream;
}

bool WriteAll(int file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = write(file, bytes.data() + done, bytes.size() - done);
        if (count <= 0) return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

uint32_t SteadyTicks() {
    auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace

uint32_t (*TickSource)() = SteadyTicks;

uint32_t GetTickCount() {
    return TickSource();
}

void SeedRandom(uint64_t seed) {
    Generator.seed(static_cast<std::mt19937::result_type>(seed));
}

int32_t Random(int32_t n) {
    if (n < 1) return 0;
    return std::uniform_int_distribution<int32_t>(0, n - 1)(Generator);
}

bool FileExists(const std::string& name) {
    std::FILE* file = OpenRegularFile(name);
    if (file) std::fclose(file);
    return file != nullptr;
}

std::FILE* OpenRegularFile(const std::string& name) {
    int file = OpenRegular(name, O_RDONLY);
    return file < 0 ? nullptr : AsStream(file, "rb");
}

std::FILE* RewriteRegularFile(const std::string& name) {
    // A link is not followed: it would have the file it names overwritten.
    int file = OpenRegular(name, O_WRONLY | O_CREAT | O_NOFOLLOW);
    if (file >= 0 && ftruncate(file, 0) != 0) {
        close(file);
        return nullptr;
    }
    return file < 0 ? nullptr : AsStream(file, "wb");
}

bool ReplaceFileAtomically(const std::string& name, const std::string& bytes) {
    std::string temporary = name + ".XXXXXX";
    int file = mkstemp(temporary.data());
    if (file < 0) return false;
    // Flushed to the disk before the rename, so that a crash leaves the old file or the new one.
    bool written = WriteAll(file, bytes) && fchmod(file, 0644) == 0 && fsync(file) == 0;
    written = close(file) == 0 && written;
    if (written && std::rename(temporary.c_str(), name.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

bool ReadFileWithin(const std::string& name, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::FILE* file = OpenRegularFile(name);
    if (!file) return false;
    // The read asks for one byte more than the size: a file that grew meanwhile is refused rather
    // than read on without end.
    struct stat status;
    bool fits = fstat(fileno(file), &status) == 0 && static_cast<uint64_t>(status.st_size) <= limit;
    if (fits) {
        bytes.resize(static_cast<size_t>(status.st_size) + 1);
        size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
        fits = count < bytes.size() && !std::ferror(file);
        bytes.resize(fits ? count : 0);
    }
    std::fclose(file);
    return fits;
}

std::string IntToText(int32_t value) {
    return std::to_string(value);
}

int32_t TextToInt(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    int base = ReadBase(text, at);

    // Decimal values stop below the int32 range (one more for a negative one); hexadecimal ones
    // fill all 32 bits, so $FFFFFFFF is -1.
    uint64_t limit = base == 16
                         ? 0xFFFFFFFFull
                         : static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + negative;
    uint64_t value = 0;
    uint32_t digit = 0;
    while (at < text.size() && IsDigitOfBase(text[at], base, digit)) {
        uint64_t next = value * static_cast<uint64_t>(base) + digit;
        if (next > limit) break;
        value = next;
        ++at;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (at == text.size() && negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
}
