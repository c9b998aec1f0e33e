#include "config.h"

#include "engine/engine.h"

#include <cstdint>

namespace {

constexpr int EndOfFileMark = 0x1A;

// Appends the parameter a line holds, if any: text before the first semicolon, name=value.
void AddParameterLine(const std::string& rawLine, TParameterList& list) {
    std::string line = TrimText(rawLine);
    if (line.empty()) return;
    size_t comment = line.find(';');
    if (comment != std::string::npos) line = TrimText(line.substr(0, comment));
    if (line.empty()) return;
    size_t equals = line.find('=');
    if (equals == std::string::npos) return;
    list.push_back({TrimText(line.substr(0, equals)), TrimText(line.substr(equals + 1))});
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

// Line by line: LF or CR LF ends a line, a lone CR stays in it, 0x1A ends the file.
void ParseParameterList(std::span<const uint8_t> bytes, TParameterList& list) {
    list.clear();
    std::string line;
    bool pendingCR = false;
    for (uint8_t byte : bytes) {
        if (byte == EndOfFileMark) break;
        if (byte == '\n') {
            AddParameterLine(line, list);
            line.clear();
            pendingCR = false;
            continue;
        }
        if (pendingCR) line.push_back('\r');
        pendingCR = byte == '\r';
        if (!pendingCR) line.push_back(static_cast<char>(byte));
    }
    if (pendingCR) line.push_back('\r');
    AddParameterLine(line, list);
}

bool LoadParameterList(const std::string& fileName, TParameterList& list) {
    list.clear();
    // A file that cannot be read to its end, or is longer than a configuration, yields nothing,
    // like a missing one.
    std::vector<uint8_t> bytes;
    if (!ReadFileWithin(fileName, MaxConfigFileSize, bytes)) return false;
    ParseParameterList(bytes, list);
    return true;
}

std::string GetParameterValue(const std::string& name, const TParameterList& list,
                              const std::string& defaultValue) {
    std::string key = UpperCaseText(TrimText(name));
    for (const TParameter& parameter : list)
        if (UpperCaseText(TrimText(parameter.Name)) == key) return parameter.Value;
    return defaultValue;
}

std::string TrimText(const std::string& text) {
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first == text.size()) return {};
    size_t last = text.size();
    while (IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string UpperCaseText(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        unsigned char byte = static_cast<unsigned char>(c);
        if ((byte >= 0x61 && byte <= 0x7A) || byte >= 0xE0) c = static_cast<char>(byte - 0x20);
    }
    return upper;
}
