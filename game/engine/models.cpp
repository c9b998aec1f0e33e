#include "models.h"

#include "engine.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace {

constexpr uint8_t Signature[ModelSignatureSize] = {'Q', 'M', 'F', '1', 0};

float ReadFloat(const uint8_t* bytes) {
    uint32_t bits = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                    uint32_t{bytes[3]} << 24;
    return std::bit_cast<float>(bits);
}

// Beside each loaded model's list, its vertices in a buffer object drawn as one triangle array:
// a single draw, where the model's list of loose vertex calls is replayed call by call (on a
// software renderer, the costliest part of a frame). Buffer names are apart from list names, so
// the fixed list names the models are loaded into cannot clash with them.
struct TModelBuffer {
    uint32_t ListName = 0;
    GLuint Buffer = 0;
    GLsizei VertexCount = 0;
};

std::vector<TModelBuffer> Buffers;

// A list name compiled again holds a new model; a buffer left under it is from that list's old
// content or from a context that is gone, so it is forgotten without being deleted.
void ForgetBuffer(uint32_t listName) {
    std::erase_if(Buffers,
                  [listName](const TModelBuffer& entry) { return entry.ListName == listName; });
}

void FillBuffer(uint32_t listName, const std::vector<TModelVertex>& vertices) {
    TModelBuffer entry{listName, 0, GLsizei(vertices.size())};
    glGenBuffers(1, &entry.Buffer);
    if (entry.Buffer == 0) return;
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glBindBuffer(GL_ARRAY_BUFFER, entry.Buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(TModelVertex)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, GLuint(previous));
    Buffers.push_back(entry);
}

void DrawBuffer(const TModelBuffer& entry) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, entry.Buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TModelVertex), nullptr);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TModelVertex),
                      reinterpret_cast<const void*>(offsetof(TModelVertex, S)));
    glDrawArrays(GL_TRIANGLES, 0, entry.VertexCount);
    glPopClientAttrib();
}

void EmitVertices(const std::vector<TModelVertex>& vertices) {
    for (const TModelVertex& vertex : vertices) {
        glTexCoord2f(vertex.S, vertex.T);
        glVertex3f(vertex.X, vertex.Y, vertex.Z);
    }
}

// Compiles the vertices into the list; false when the list cannot be opened for compiling (a list
// name of 0, or a list already being compiled).
bool CompileModelList(uint32_t listName, const std::vector<TModelVertex>& vertices) {
    if (listName == 0) return false;
    glNewList(listName, GL_COMPILE);
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (static_cast<uint32_t>(compiling) != listName) return false;
    EmitVertices(vertices);
    glEndList();
    ForgetBuffer(listName);
    FillBuffer(listName, vertices);
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

void DrawModelTriangles(uint32_t listName) {
    for (const TModelBuffer& entry : Buffers)
        if (entry.ListName == listName) return DrawBuffer(entry);
    glBegin(GL_TRIANGLES);
    glCallList(listName);
    glEnd();
}
