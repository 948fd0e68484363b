#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zund::test
{
/** Saves the whole screen of the display as an xwd file (x11-apps' xwd;
    view it with `xwud -in FILE` or convert it with ImageMagick). */
bool takeScreenshot (const std::string& displayName, const std::string& file);

/** An xwd file read back: its size and 24-bit true-colour pixels. */
struct XwdImage
{
    int width = 0, height = 0, depth = 0;
    /** 0xRRGGBB of a pixel. */
    std::uint32_t pixelAt (int x, int y) const;

    int bytesPerLine = 0, bytesPerPixel = 0;
    bool mostSignificantByteFirst = false;
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    std::vector<unsigned char> pixels;
};

/** Nothing when the file is not a complete xwd image of 24 or 32 bits per pixel. */
std::optional<XwdImage> readXwd (const std::string& file);
}
