#include "config.h"

#include "engine/engine.h"

#include <cstdio>

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

// Reads the file line by line: LF or CR LF ends a line, a lone CR stays in it, 0x1A ends the file.
// False when reading fails before the end.
bool ReadParameterLines(FILE* file, TParameterList& list) {
    std::string line;
    bool pendingCR = false;
    int byte;
    while ((byte = std::fgetc(file)) != EOF && byte != EndOfFileMark) {
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
    return !std::ferror(file);
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

bool LoadParameterList(const std::string& fileName, TParameterList& list) {
    list.clear();
    if (!FileExists(fileName)) return false;
    FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return false;
    bool complete = ReadParameterLines(file, list);
    std::fclose(file);
    // A file that cannot be read to its end yields nothing, like a missing one.
    if (!complete) list.clear();
    return complete;
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
