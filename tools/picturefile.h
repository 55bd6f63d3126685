// picturefile.h - a rendered picture written as a PNG, BMP or PPM file.
//
//   picturekind(path)               the format its extension asks for (case-insensitive)
//   picturepixels(image)            the picture as rows of red, green, blue bytes, top row first
//   WritePicture(file, kind, image) write it to an open file; false when a write failed
#pragma once

#include "render/image.h"

#include <cstdint>
#include <cstdio>
#include <vector>

enum class PictureKind { Unknown, Png, Bmp, Ppm };

PictureKind picturekind(const char* path);
std::vector<uint8_t> picturepixels(const ImageBuffer& image);
bool WritePicture(std::FILE* file, PictureKind kind, const ImageBuffer& image);
