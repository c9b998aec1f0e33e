// Builders for the Game's tests and benchmarks: screen settings and test pictures.
#pragma once

#include "engine/engine.h"
#include "image_writers.h"

// A window of the size over the Game's 800 by 600 virtual space in 32-bit colour.
TScreenSettings MakeScreenSettings(int width, int height, bool fullScreen = false);

// A picture where every pixel differs from its neighbours, with long flat runs on every third row,
// so that run-length coding meets packets of both kinds.
RgbaImage TestPicture(int32_t width, int32_t height);
