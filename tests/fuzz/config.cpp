// The configuration reader on any bytes: it must read every file to its end without a crash, and
// what it keeps must be trimmed name=value pairs from before the end-of-file mark.
#include "config.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Folder;

void RemoveFolder() {
    std::error_code error;
    std::filesystem::remove_all(Folder, error);
}

// A file in this run's own scratch folder, which goes when the program ends.
std::string TemporaryFile(const std::string& name) {
    if (Folder.empty()) {
        Folder =
            (std::filesystem::temp_directory_path() / ("config-fuzz-" + std::to_string(getpid())))
                .string();
        std::filesystem::create_directories(Folder);
        std::atexit(RemoveFolder);
    }
    return Folder + "/" + name;
}

TParameterList Load(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    TParameterList list;
    // The file is there: it must be read unless it is longer than a configuration.
    if (LoadParameterList(path, list) != (bytes.size() <= MaxConfigFileSize)) std::abort();
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
    static const std::string whole = TemporaryFile("whole.ini");
    static const std::string cut = TemporaryFile("cut.ini");
    std::string bytes(reinterpret_cast<const char*>(data), size);
    TParameterList list = Load(whole, bytes);

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
        // The first parameter of a name is the one a lookup finds.
        for (const TParameter& earlier : list) {
            if (UpperCaseText(earlier.Name) == UpperCaseText(parameter.Name)) {
                if (GetParameterValue(parameter.Name, list, "default") != earlier.Value)
                    std::abort();
                break;
            }
        }
    }

    // Nothing after the end-of-file mark counts.
    size_t mark = bytes.find('\x1A');
    if (mark != std::string::npos && !SameLists(list, Load(cut, bytes.substr(0, mark))))
        std::abort();
    return 0;
}
