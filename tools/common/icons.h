// PNG pictures, and the games' icons for the hicolor theme: one PNG a size, painted afresh at
// each size.
#pragma once

#include "image_writers.h"

#include <string>

// The sizes, in pixels a side, that desktops look for an application's icon in.
constexpr int IconSizes[] = {48, 64, 128, 256};

// The picture as an RGBA PNG; false when it cannot be written.
bool WritePng(const std::string& path, const RgbaImage& image);
// Writes each size's picture, painted by `paint(size)`, as FOLDER/NxN/apps/NAME.png, making the
// folders. False, with a message, when one cannot be written.
bool WriteIcons(const std::string& folder, const std::string& name, RgbaImage (*paint)(int size));
