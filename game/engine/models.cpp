#include "models.h"

#include "engine.h"

#include <GL/gl.h>

#include <bit>
#include <cstring>

namespace {

constexpr uint8_t Signature[ModelSignatureSize] = {'Q', 'M', 'F', '1', 0};

float ReadFloat(const uint8_t* bytes) {
    uint32_t bits = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                    uint32_t{bytes[3]} << 24;
    return std::bit_cast<float>(bits);
}

// Compiles the vertices into the list; false when the list cannot be opened for compiling (a list
// name of 0, or a list already being compiled).
bool CompileModelList(uint32_t listName, const std::vector<TModelVertex>& vertices) {
    if (listName == 0) return false;
    glNewList(listName, GL_COMPILE);
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (static_cast<uint32_t>(compiling) != listName) return false;
    for (const TModelVertex& vertex : vertices) {
        glTexCoord2f(vertex.S, vertex.T);
        glVertex3f(vertex.X, vertex.Y, vertex.Z);
    }
    glEndList();
    return true;
}

} // namespace

bool ParseModel(const uint8_t* data, size_t size, std::string& modelName,
                std::vector<TModelVertex>& vertices) {
    modelName.clear();
    vertices.clear();
    if (size < ModelSignatureSize || std::memcmp(data, Signature, ModelSignatureSize) != 0)
        return false;
    size_t position = ModelSignatureSize;
    while (position < size && data[position] != 0) modelName.push_back(char(data[position++]));
    ++position; // the NUL that ends the name
    for (; position + ModelRecordSize <= size; position += ModelRecordSize) {
        const uint8_t* record = data + position;
        vertices.push_back({ReadFloat(record), ReadFloat(record + 4), ReadFloat(record + 8),
                            ReadFloat(record + 12), ReadFloat(record + 16)});
    }
    return true;
}

bool LoadModel(const std::string& path, TModelInfo& info) {
    info.FileName = path;
    std::vector<uint8_t> bytes;
    if (!ReadFileWithin(path, MaxModelFileSize, bytes)) return false;
    std::vector<TModelVertex> vertices;
    if (!ParseModel(bytes.data(), bytes.size(), info.ModelName, vertices)) return false;
    return CompileModelList(info.ListName, vertices);
}
