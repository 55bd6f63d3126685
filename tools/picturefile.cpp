#include "tools/picturefile.h"

#include <cctype>
#include <cstring>
#include <string>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

PictureKind picturekind(const char* path)
{
    const char* dot = std::strrchr(path, '.');
    if (!dot)
        return PictureKind::Unknown;
    std::string ext;
    for (const char* c = dot + 1; *c; c++)
        ext += char(std::tolower(static_cast<unsigned char>(*c)));
    if (ext == "png")
        return PictureKind::Png;
    if (ext == "bmp")
        return PictureKind::Bmp;
    if (ext == "ppm")
        return PictureKind::Ppm;
    return PictureKind::Unknown;
}

std::vector<uint8_t> picturepixels(const ImageBuffer& image)
{
    const size_t count = size_t(image.width) * size_t(image.height);
    std::vector<uint8_t> rgb(count * 3);
    for (size_t i = 0; i < count; i++) {
        const uint8_t* p = image.pixels + i * size_t(image.bytes_per_pixel);
        rgb[3 * i] = p[2];
        rgb[3 * i + 1] = p[1];
        rgb[3 * i + 2] = p[0];
    }
    return rgb;
}

static void writebytes(void* context, void* data, int size)
{
    std::fwrite(data, 1, size_t(size), static_cast<std::FILE*>(context));
}

bool WritePicture(std::FILE* file, PictureKind kind, const ImageBuffer& image)
{
    const std::vector<uint8_t> rgb = picturepixels(image);
    const int w = image.width, h = image.height;
    int ok = 0;
    switch (kind) {
    case PictureKind::Png:
        ok = stbi_write_png_to_func(writebytes, file, w, h, 3, rgb.data(), w * 3);
        break;
    case PictureKind::Bmp:
        ok = stbi_write_bmp_to_func(writebytes, file, w, h, 3, rgb.data());
        break;
    case PictureKind::Ppm:
        ok = std::fprintf(file, "P6\n%d %d\n255\n", w, h) > 0 &&
             std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
        break;
    case PictureKind::Unknown:
        break;
    }
    return ok && std::fflush(file) == 0 && !std::ferror(file);
}
