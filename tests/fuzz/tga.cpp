// Any bytes as a TGA file: a defined result, no out-of-bounds access.
#include "engine/images.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TImage image;
    if (DecodeTgaImage({data, size}, image) &&
        image.Pixels.size() !=
            static_cast<size_t>(image.Width) * image.Height * (image.BitsPerPixel / 8))
        __builtin_trap();
    return 0;
}
