// Any bytes as a compressed resource: naming, expanding, loading and deleting the copy must neither
// crash nor leave a file behind.
#include "resources.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

std::string Folder;

void RemoveFolder() {
    std::error_code error;
    std::filesystem::remove_all(Folder, error);
}

// A scratch folder of this run's own, removed when the program ends.
void MakeFolder() {
    Folder = (std::filesystem::temp_directory_path() /
              ("szdd-fuzz-" + std::to_string(std::random_device{}())))
                 .string();
    std::filesystem::create_directories(Folder);
    std::atexit(RemoveFolder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (Folder.empty()) MakeFolder();
    const std::string input = Folder + "/input.da_";
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    ExpandCompressedFile(input, Folder + "/output.bin");
    // No kind has an extension of "DA" and one more letter: the copy is made, checked and deleted.
    TFileNameList registrations = {{"fuzz", input, 0, 0, 0}};
    TResourceList resources;
    LoadResources(registrations, resources, nullptr);
    std::error_code error;
    std::filesystem::remove(Folder + "/output.bin", error);
    const std::string copy = LocalPath(registrations[0].Path);
    if (copy != input && std::filesystem::exists(copy, error)) __builtin_trap();
    return 0;
}
