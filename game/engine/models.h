// Models in the QMF format: the signature "QMF1" and a NUL, a NUL-ended model name, then vertex
// records of five little-endian floats (x, y, z, s, t) to the end of the file, three to a triangle.
// A model is compiled into a display list that holds only texture-coordinate and vertex commands,
// so the caller draws it with glCallList between glBegin(GL_TRIANGLES) and glEnd.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TModelInfo {
    uint32_t ListName = 0; // in: the display list to compile into (never 0)
    std::string FileName;  // out: the path that was loaded
    std::string ModelName; // out: the name stored in the file
};

struct TModelVertex {
    float X = 0, Y = 0, Z = 0;
    float S = 0, T = 0;
};

constexpr size_t ModelSignatureSize = 5;
constexpr size_t ModelRecordSize = 20;
// Model files are a few kilobytes; 16 MiB (some 280,000 triangles) is far more than a game model
// needs and still compiles in a moment. A larger file is refused unread.
constexpr size_t MaxModelFileSize = size_t{16} << 20;

// Splits a model file's bytes into its name and vertices; false when the signature is wrong. A
// file cut inside its name has that much name and no vertices; a trailing piece shorter than a
// record is ignored.
bool ParseModel(const uint8_t* data, size_t size, std::string& modelName,
                std::vector<TModelVertex>& vertices);

// Reads the file and compiles it into the list `info.ListName`, replacing what the list held;
// false when the file is missing, not a regular file, larger than MaxModelFileSize, lacks the
// signature, or the list cannot be compiled.
bool LoadModel(const std::string& path, TModelInfo& info);

// Draws the model compiled into the list as triangles, as glBegin(GL_TRIANGLES), glCallList and
// glEnd would, but from a buffer object LoadModel fills with the same vertices (one draw instead of
// a call per vertex). The current texture coordinate is undefined afterwards.
void DrawModelTriangles(uint32_t listName);
