// The configuration parser on any bytes: it must read them to their end without a crash, and
// what it keeps must be trimmed name=value pairs from before the end-of-file mark.
#include "config.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace {

// The reading of the file itself (regular files only, the size limit) is the unit tests' part;
// here the bytes are parsed in memory, thousands of times a second.
TParameterList Load(const std::string& bytes) {
    TParameterList list;
    ParseParameterList({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, list);
    return list;
}

bool SameLists(const TParameterList& a, const TParameterList& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Name != b[i].Name || a[i].Value != b[i].Value) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    TParameterList list = Load(bytes);

    size_t equalsSigns = 0;
    for (char c : bytes) equalsSigns += c == '=';
    if (list.size() > equalsSigns) std::abort();
    for (const TParameter& parameter : list) {
        if (parameter.Name != TrimText(parameter.Name) ||
            parameter.Value != TrimText(parameter.Value))
            std::abort();
        if (parameter.Name.find_first_of("=;\n") != std::string::npos ||
            parameter.Value.find_first_of(";\n") != std::string::npos)
            std::abort();
    }
    // The first parameter of a name is the one a lookup finds. Each lookup walks the list, so a
    // few dozen names are looked up, not every one of thousands.
    std::unordered_map<std::string, const TParameter*> first;
    for (const TParameter& parameter : list)
        first.emplace(UpperCaseText(parameter.Name), &parameter);
    size_t lookups = 0;
    for (const auto& [name, parameter] : first)
        if (lookups++ < 64 && GetParameterValue(name, list, "default") != parameter->Value)
            std::abort();

    // Nothing after the end-of-file mark counts.
    size_t mark = bytes.find('\x1A');
    if (mark != std::string::npos && !SameLists(list, Load(bytes.substr(0, mark)))) std::abort();
    return 0;
}
