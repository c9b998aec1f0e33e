#include "icons.h"

#include <cstdio>
#include <filesystem>
#include <png.h>

bool WritePng(const std::string& path, const RgbaImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width);
    png.height = static_cast<png_uint_32>(image.Height);
    png.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&png, path.c_str(), 0, image.Pixels.data(), 0, nullptr) != 0;
}

bool WriteIcons(const std::string& folder, const std::string& name, RgbaImage (*paint)(int size)) {
    for (const int size : IconSizes) {
        const std::string side = std::to_string(size);
        const std::filesystem::path apps =
            std::filesystem::path(folder) / (side + "x" + side) / "apps";
        std::error_code error;
        std::filesystem::create_directories(apps, error);
        const std::string path = (apps / (name + ".png")).string();
        const RgbaImage icon = paint(size);
        if (icon.Width != size || icon.Height != size || !WritePng(path, icon)) {
            std::fprintf(stderr, "cannot write the icon %s\n", path.c_str());
            return false;
        }
    }
    return true;
}
