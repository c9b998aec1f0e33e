#include "game_support.h"

TScreenSettings MakeScreenSettings(int width, int height, bool fullScreen) {
    TScreenSettings settings;
    settings.Width = width;
    settings.Height = height;
    settings.VirtualWidth = 800;
    settings.VirtualHeight = 600;
    settings.ColorBits = 32;
    settings.FullScreen = fullScreen;
    return settings;
}

RgbaImage TestPicture(int32_t width, int32_t height) {
    RgbaImage image = MakeImage(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = PixelAt(image, x, y);
            const bool flat = y % 3 == 0 && x > width / 3;
            pixel[0] = static_cast<uint8_t>(flat ? 200 : x * 17 + y);
            pixel[1] = static_cast<uint8_t>(flat ? 10 : y * 31);
            pixel[2] = static_cast<uint8_t>(flat ? 60 : x * y * 7 + 3);
            pixel[3] = static_cast<uint8_t>(flat ? 255 : 40 + x * 5 + y * 9);
        }
    return image;
}
