// CDib: a device-independent bitmap as the platform stores bitmap resources:
// BITMAPINFOHEADER (40 bytes), the colour table (RGBQUAD: blue, green, red,
// 0), then the pixel rows bottom-up, each padded to a multiple of 4 bytes.
#pragma once

#include "platform/Types.h"

#include <array>
#include <cstdint>
#include <vector>

class CDib {
public:
    struct SColor {
        BYTE r, g, b;
    };
    // The standard 16-colour palette: black, maroon, green, olive, navy,
    // purple, teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua, white.
    static const std::array<SColor, 16> s_Standard16;

    // A 4-bit-per-pixel, uncompressed bitmap from rows of hexadecimal digits
    // (one palette index per pixel), top row first. Every row must have
    // `width` digits; returns an empty bitmap otherwise.
    static std::vector<BYTE> Build4bpp(int width, const std::vector<const char*>& rows,
                                       const std::array<SColor, 16>& palette = s_Standard16);

    // Reading a stored bitmap; false when `dib` is not one this class reads
    // (uncompressed, 1, 4 or 8 bits per pixel).
    static bool GetSize(const std::vector<BYTE>& dib, int& width, int& height, int& bitsPerPixel);
    // The palette index of pixel (x, y), y counted from the top; -1 outside.
    static int GetPixelIndex(const std::vector<BYTE>& dib, int x, int y);
    static SColor GetPaletteColor(const std::vector<BYTE>& dib, int index);

    // The bitmap as the bytes of a .bmp file (file header + the bitmap).
    static std::vector<BYTE> ToBmpFile(const std::vector<BYTE>& dib);
};
