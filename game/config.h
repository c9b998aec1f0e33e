// The parameter list: name=value lines of "Config.INI", looked up by name with a default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TParameter {
    std::string Name;
    std::string Value;
};

using TParameterList = std::vector<TParameter>;

// The longest configuration file read; a longer one counts as unreadable.
constexpr size_t MaxConfigFileSize = 64 * 1024;

// Empties the list and fills it from the file; false when the file cannot be read to its end or is
// not a regular file of at most MaxConfigFileSize bytes.
bool LoadParameterList(const std::string& fileName, TParameterList& list);
// Empties the list and fills it from the bytes of a configuration file, whatever their length.
void ParseParameterList(std::span<const uint8_t> bytes, TParameterList& list);
// The value of the first parameter whose name matches without regard to case and blanks.
std::string GetParameterValue(const std::string& name, const TParameterList& list,
                              const std::string& defaultValue);
// The text without leading and trailing bytes of value 32 or less.
std::string TrimText(const std::string& text);
// Latin and Windows-1251 Cyrillic small letters made capital; every other byte unchanged.
std::string UpperCaseText(const std::string& text);
