// The QMF reader on arbitrary bytes: it accepts exactly the inputs with the signature and splits
// them into a name and whole records, never reading past the end.
#include "engine/models.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name;
    std::vector<TModelVertex> vertices;
    bool accepted = ParseModel(data, size, name, vertices);
    bool hasSignature = size >= ModelSignatureSize && std::memcmp(data, "QMF1", 5) == 0;
    if (accepted != hasSignature) std::abort();
    if (!accepted) return 0;
    size_t nameEnd = ModelSignatureSize + name.size();
    if (nameEnd > size || name.find('\0') != std::string::npos) std::abort();
    size_t records = nameEnd < size ? (size - nameEnd - 1) / ModelRecordSize : 0;
    if (vertices.size() != records) std::abort();
    return 0;
}
