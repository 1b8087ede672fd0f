#include "kernel/ColorRef16.h"

namespace {

constexpr COLORREF Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

constexpr COLORREF kPalette[CR16_COUNT] = {
    Rgb(0, 0, 0),       Rgb(0, 0, 170),     Rgb(0, 170, 0),     Rgb(0, 170, 170),
    Rgb(170, 0, 0),     Rgb(170, 0, 170),   Rgb(170, 85, 0),    Rgb(170, 170, 170),
    Rgb(85, 85, 85),    Rgb(85, 85, 255),   Rgb(85, 255, 85),   Rgb(0, 114, 178),
    Rgb(255, 85, 85),   Rgb(255, 85, 255),  Rgb(255, 255, 85),  Rgb(255, 255, 255),
    Rgb(213, 94, 0),    Rgb(255, 120, 160), Rgb(140, 230, 100), Rgb(110, 170, 255),
    Rgb(62, 72, 88),    Rgb(225, 205, 140), Rgb(180, 140, 255), Rgb(150, 160, 175),
    Rgb(250, 250, 246), Rgb(218, 224, 232), Rgb(40, 44, 52),    Rgb(20, 24, 33),
};

}  // namespace

COLORREF RGB16(int nColor)
{
    if (nColor < 0 || nColor >= CR16_COUNT)
        return 0;
    return kPalette[nColor];
}
