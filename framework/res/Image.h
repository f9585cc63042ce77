// Decoding of the programs' small palette images: the toolbar's BMP strip
// and the icons. The result is a grid of palette indices, which the
// terminal host draws as coloured block characters.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "framework/base/Types.h"

namespace res {

struct Rgb {
    BYTE r;
    BYTE g;
    BYTE b;
};

struct Image {
    int width = 0;
    int height = 0;
    std::array<Rgb, 16> palette{};
    std::vector<signed char> pixels;  // top row first: a palette index, or -1 where transparent

    int At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A BMP file of 1 or 4 bits a pixel, uncompressed. Nothing for anything
// else or for a damaged file.
std::optional<Image> DecodeBitmap(std::span<const unsigned char> file);

// The image of an ICO file whose width is nearest to size (an exact match,
// else the nearest, the larger on a tie). Pixels its mask leaves out are
// transparent. Images of 1 or 4 bits a pixel are understood; others are
// passed over.
std::optional<Image> DecodeIcon(std::span<const unsigned char> file, int size);

// A rectangle of an image, clipped to it: one button of a toolbar strip.
Image CropImage(const Image& image, int x, int y, int width, int height);

}  // namespace res
