// tessel-icon-png: a build tool that draws a program's icon (an ICO file of
// 16-colour images) as a PNG file of the given size, for the desktop's icon
// theme. The picture is the icon's own art, each pixel grown to a square of
// pixels: from the largest image whose width divides the size, else from
// the one nearest to it.
//
//     tessel-icon-png Tessel.ico 48 tessel.png
//
// The PNG holds palette indices, the icon's 16 colours and one transparent
// entry, in stored (uncompressed) deflate blocks, so it needs no library.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "framework/res/Image.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kTransparent = 16;  // the palette entry after the icon's colours

std::uint32_t Crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void Chunk(Bytes& png, const char* type, const Bytes& data)
{
    Put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Put32(png, Crc32(png.data() + start, png.size() - start));
}

// A zlib stream of stored deflate blocks.
Bytes Zlib(const Bytes& raw)
{
    Bytes out{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        out.push_back(at + n == raw.size() ? 1 : 0);
        out.push_back(static_cast<unsigned char>(n));
        out.push_back(static_cast<unsigned char>(n >> 8));
        out.push_back(static_cast<unsigned char>(~n));
        out.push_back(static_cast<unsigned char>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(out, (b << 16) | a);
    return out;
}

Bytes Png(const res::Image& image, int size)
{
    Bytes header;
    Put32(header, static_cast<std::uint32_t>(size));
    Put32(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, no interlace
    Bytes palette;
    for (const res::Rgb& c : image.palette)
        palette.insert(palette.end(), {c.r, c.g, c.b});
    palette.insert(palette.end(), {0, 0, 0});
    Bytes alpha(kTransparent + 1, 0xFF);
    alpha[kTransparent] = 0;
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(size) * (size + 1));
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < size; ++x) {
            const int index = image.At(x * image.width / size, y * image.height / size);
            raw.push_back(static_cast<unsigned char>(index < 0 ? kTransparent : index));
        }
    }
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Chunk(png, "IHDR", header);
    Chunk(png, "PLTE", palette);
    Chunk(png, "tRNS", alpha);
    Chunk(png, "IDAT", Zlib(raw));
    Chunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ICON.ico SIZE OUT.png\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const Bytes ico{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const int size = std::atoi(argv[2]);
    if (!in.is_open() || ico.empty() || size < 1 || size > 1024) {
        std::fprintf(stderr, "%s: cannot read %s, or size %s is out of range\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    // The icon's images, nearest to each of its own sizes.
    std::optional<res::Image> chosen;
    for (int width : {16, 32, 48, 64, 128, 256}) {
        std::optional<res::Image> image = res::DecodeIcon(ico, width);
        if (!image || image->width != width || image->height != width)
            continue;
        const bool divides = size % width == 0;
        const bool chosenDivides = chosen && size % chosen->width == 0;
        if (!chosen || (divides && !chosenDivides) || (divides == chosenDivides && divides)
            || (!divides && !chosenDivides && std::abs(width - size) < std::abs(chosen->width - size)))
            chosen = std::move(image);
    }
    if (!chosen) {
        std::fprintf(stderr, "%s: %s holds no square image of 16 colours\n", argv[0], argv[1]);
        return 1;
    }
    const Bytes png = Png(*chosen, size);
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out || std::fwrite(png.data(), 1, png.size(), out) != png.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
