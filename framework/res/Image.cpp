#include "framework/res/Image.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace res {

namespace {

constexpr std::uint32_t kBiRgb = 0;

std::uint32_t U16(std::span<const unsigned char> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

std::uint32_t U32(std::span<const unsigned char> b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

std::size_t Stride(int width, int bits) { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

// A device-independent bitmap: an info header, the palette, the colour
// rows and, for an icon, the mask rows after them. Rows run bottom-up
// unless the height is negative.
std::optional<Image> DecodeDib(std::span<const unsigned char> dib, std::size_t pixelOffset, bool withMask)
{
    if (dib.size() < 40)
        return std::nullopt;
    const std::uint32_t headerSize = U32(dib, 0);
    if (headerSize < 40 || headerSize > dib.size())
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(U32(dib, 4));
    auto height = static_cast<std::int32_t>(U32(dib, 8));
    const std::uint32_t bits = U16(dib, 14);
    const std::uint32_t compression = U32(dib, 16);
    std::uint32_t colours = U32(dib, 32);
    if (compression != kBiRgb || (bits != 1 && bits != 4))
        return std::nullopt;
    if (colours == 0)
        colours = 1u << bits;
    if (colours > 16u)
        return std::nullopt;

    const bool topDown = height < 0;
    height = std::abs(height);
    if (withMask)
        height /= 2;  // an icon's header counts the colour and mask rows together
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024)
        return std::nullopt;

    const std::size_t paletteAt = headerSize;
    if (paletteAt + 4 * colours > dib.size())
        return std::nullopt;
    Image image;
    image.width = width;
    image.height = height;
    for (std::uint32_t i = 0; i < colours; ++i)
        image.palette[i] = Rgb{dib[paletteAt + 4 * i + 2], dib[paletteAt + 4 * i + 1], dib[paletteAt + 4 * i]};

    const std::size_t colourAt = pixelOffset ? pixelOffset : paletteAt + 4 * colours;
    const std::size_t colourStride = Stride(width, bits);
    const std::size_t maskAt = colourAt + colourStride * height;
    const std::size_t maskStride = Stride(width, 1);
    const std::size_t end = withMask ? maskAt + maskStride * height : maskAt;
    if (end > dib.size())
        return std::nullopt;

    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int row = topDown ? y : height - 1 - y;
        const unsigned char* colour = dib.data() + colourAt + colourStride * row;
        const unsigned char* mask = dib.data() + maskAt + maskStride * row;
        for (int x = 0; x < width; ++x) {
            int index;
            if (bits == 4)
                index = (x % 2 == 0) ? colour[x / 2] >> 4 : colour[x / 2] & 0x0F;
            else
                index = (colour[x / 8] >> (7 - x % 8)) & 1;
            if (withMask && ((mask[x / 8] >> (7 - x % 8)) & 1))
                index = -1;
            image.pixels[static_cast<std::size_t>(y) * width + x] = static_cast<signed char>(index);
        }
    }
    return image;
}

}  // namespace

std::optional<Image> DecodeBitmap(std::span<const unsigned char> file)
{
    if (file.size() < 14 + 40 || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    const std::uint32_t pixelOffset = U32(file, 10);
    if (pixelOffset < 14 || pixelOffset >= file.size())
        return std::nullopt;
    return DecodeDib(file.subspan(14), pixelOffset - 14, false);
}

std::optional<Image> DecodeIcon(std::span<const unsigned char> file, int size)
{
    if (file.size() < 6 || U16(file, 0) != 0 || U16(file, 2) != 1)
        return std::nullopt;
    const std::uint32_t count = U16(file, 4);
    if (6 + 16 * static_cast<std::size_t>(count) > file.size())
        return std::nullopt;

    std::optional<Image> best;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint32_t bytes = U32(file, entry + 8);
        const std::uint32_t offset = U32(file, entry + 12);
        if (offset >= file.size() || bytes > file.size() - offset)
            continue;
        std::optional<Image> image = DecodeDib(file.subspan(offset, bytes), 0, true);
        if (!image)
            continue;
        if (!best) {
            best = std::move(image);
            continue;
        }
        const int distance = std::abs(image->width - size);
        const int bestDistance = std::abs(best->width - size);
        if (distance < bestDistance || (distance == bestDistance && image->width > best->width))
            best = std::move(image);
    }
    return best;
}

Image CropImage(const Image& image, int x, int y, int width, int height)
{
    Image part;
    part.palette = image.palette;
    const int x0 = std::clamp(x, 0, image.width);
    const int y0 = std::clamp(y, 0, image.height);
    part.width = std::clamp(x + width, x0, image.width) - x0;
    part.height = std::clamp(y + height, y0, image.height) - y0;
    part.pixels.reserve(static_cast<std::size_t>(part.width) * part.height);
    for (int row = 0; row < part.height; ++row)
        for (int col = 0; col < part.width; ++col)
            part.pixels.push_back(static_cast<signed char>(image.At(x0 + col, y0 + row)));
    return part;
}

}  // namespace res
