#include "app/PngFile.h"

#include <png.h>

#include <cstring>

// libpng's simplified interface: no setjmp to cross C++ frames, errors come back as a message.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgb,
              int rowStride, std::string& error) {
    if (width <= 0 || height <= 0 || rgb == nullptr) {
        error = "no picture to write";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const bool written =
        png_image_write_to_file(&image, path.c_str(), 0, rgb, rowStride, nullptr) != 0;
    if (!written) {
        error = image.message;
    }
    png_image_free(&image);
    return written;
}
