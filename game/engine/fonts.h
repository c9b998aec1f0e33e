// Fonts and bitmap text. Font files are registered for this process only, as gdi32's private fonts
// are, and a face is found by its family name while its file is registered. A font becomes 256
// display lists, one per Windows-1251 character code, each drawing its glyph with glBitmap at the
// raster position (the baseline's left end) and moving the position on by the glyph's advance.
// The same glyphs are also kept in one texture, from which RenderText draws them as quads: the
// same pixels, at a fraction of the cost of a glBitmap per glyph.
#pragma once

#include <cstdint>
#include <string>

// The only registration kind there is: for this process, not the system.
constexpr uint32_t FR_PRIVATE = 0x10;

// Registers the font file for this process; the number of faces it holds, or 0 when it is not a
// font file or the flags lack FR_PRIVATE. Registrations of one file count up and down.
int32_t AddFontResourceExA(const std::string& path, uint32_t flags);
// Undoes one registration of the file; false when none is in force.
bool RemoveFontResourceExA(const std::string& path, uint32_t flags);
// Whether a registered file holds a face of that family (case ignored).
bool IsFontFaceRegistered(const std::string& faceName);

// The family name stored in the font file (the name the registry finds the face by), or "".
std::string GetFontFaceName(const std::string& path);

// Generates 256 lists and fills them from the registered face of that name, or from the system's
// default face when there is none. Height: the cell height in pixels (0: about 16; negative: the
// em size). Width: the average character width the glyphs are stretched to (0: natural). Weight:
// 100 to 900; 600 and more is bold, emboldened when the face itself is lighter. Returns the list
// base, 0 when no lists could be had. Leaves the caller's texture binding as it was.
uint32_t BuildFontLists(const std::string& faceName, int32_t width, int32_t height, int32_t weight);
void DeleteFontLists(uint32_t base);

// Draws the bytes as the font's lists would from the raster position (x, y) in the current colour
// and moves the position past them; texturing is left disabled. Blending, depth test and the
// current texture are used and left as the caller set them.
void RenderText(const std::string& text, uint32_t base, float x, float y);
