#include "app/harness/Screenshot.h"

#include "app/harness/SpawnedProcess.h"

#include <fstream>
#include <iterator>

namespace zund::test
{
namespace
{
// The file header: 25 big-endian 32-bit fields, then the window name.
enum HeaderField
{
    headerSize, fileVersion, pixmapFormat, pixmapDepth, pixmapWidth, pixmapHeight, xOffset, byteOrder,
    bitmapUnit, bitmapBitOrder, bitmapPad, bitsPerPixel, bytesPerLine, visualClass, redMask, greenMask,
    blueMask, bitsPerRgb, colormapEntries, numColours, numHeaderFields = 25
};
constexpr std::uint32_t xwdVersion = 7, zPixmap = 2, colourEntrySize = 12;

std::uint32_t bigEndian32 (const unsigned char* p)
{
    return (std::uint32_t) p[0] << 24 | (std::uint32_t) p[1] << 16 | (std::uint32_t) p[2] << 8 | p[3];
}

int lowestBit (std::uint32_t mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0)
    {
        mask >>= 1;
        ++shift;
    }
    return shift;
}
}

bool takeScreenshot (const std::string& displayName, const std::string& file)
{
    SpawnedProcess xwd ({ "xwd", "-root", "-silent", "-display", displayName, "-out", file });
    const auto code = xwd.waitForExit (std::chrono::seconds (30));
    return code.has_value() && *code == 0;
}

std::uint32_t XwdImage::pixelAt (int x, int y) const
{
    const auto* p = pixels.data() + (size_t) y * (size_t) bytesPerLine + (size_t) x * (size_t) bytesPerPixel;
    std::uint32_t value = 0;
    for (int i = 0; i < bytesPerPixel; ++i)
    {
        const int index = mostSignificantByteFirst ? i : bytesPerPixel - 1 - i;
        value = value << 8 | p[index];
    }
    auto channel = [value] (std::uint32_t mask) { return (value & mask) >> lowestBit (mask); };
    return channel (redMask) << 16 | channel (greenMask) << 8 | channel (blueMask);
}

std::optional<XwdImage> readXwd (const std::string& file)
{
    std::ifstream in (file, std::ios::binary);
    const std::vector<unsigned char> bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
    if (bytes.size() < numHeaderFields * 4)
        return std::nullopt;

    std::uint32_t h[numHeaderFields];
    for (int i = 0; i < numHeaderFields; ++i)
        h[i] = bigEndian32 (bytes.data() + i * 4);

    XwdImage image;
    image.width = (int) h[pixmapWidth];
    image.height = (int) h[pixmapHeight];
    image.depth = (int) h[pixmapDepth];
    image.bytesPerLine = (int) h[bytesPerLine];
    image.bytesPerPixel = (int) h[bitsPerPixel] / 8;
    image.mostSignificantByteFirst = h[byteOrder] != 0;
    image.redMask = h[redMask];
    image.greenMask = h[greenMask];
    image.blueMask = h[blueMask];

    const std::uint64_t pixelStart = (std::uint64_t) h[headerSize] + (std::uint64_t) h[numColours] * colourEntrySize;
    const std::uint64_t pixelBytes = (std::uint64_t) h[bytesPerLine] * h[pixmapHeight];
    if (h[fileVersion] != xwdVersion || h[pixmapFormat] != zPixmap || (h[bitsPerPixel] != 24 && h[bitsPerPixel] != 32)
        || h[headerSize] < numHeaderFields * 4 || image.bytesPerLine < image.width * image.bytesPerPixel
        || bytes.size() != pixelStart + pixelBytes)
        return std::nullopt;

    image.pixels.assign (bytes.begin() + (std::ptrdiff_t) pixelStart, bytes.end());
    return image;
}
}
