// The graph kit's palette: tagColorRef16 names the colours, RGB16 gives a
// colour value (COLORREF, 0x00BBGGRR: red in the low byte) by number.
//
//  0 ... 15  the standard 16 colours in their classic text-mode order
//            (black, blue, green, cyan, red, magenta, brown, light gray,
//            dark gray, then the light variants, yellow and white), except
//            11: a deep azure in place of the light cyan, which cannot be
//            read on white.
// 16 ... 27  colours made for graphs: 16 a deep orange (the position
//            curve), 17 rose, 18 spring green, 19 sky blue, 21 sand,
//            22 violet, 23 steel; for the graph itself: 20 slate (grid
//            lines on a dark background), 24 paper and 25 mist (a light
//            background and its grid), 26 ink, 27 night (the dark graph
//            background).
//
// Azure (11, the velocity curve) and orange (16, the position curve) are a
// pair that stays apart for readers with the common colour-vision
// deficiencies, and both read on white (at least 3.5:1) and in print. On a
// dark background the graph lightens curve colours until they stand out.
#pragma once

#include "platform/Types.h"

using COLORREF = DWORD;

enum tagColorRef16 {
    CR16_BLACK = 0,
    CR16_BLUE = 1,
    CR16_GREEN = 2,
    CR16_CYAN = 3,
    CR16_RED = 4,
    CR16_MAGENTA = 5,
    CR16_BROWN = 6,
    CR16_LIGHTGRAY = 7,
    CR16_DARKGRAY = 8,
    CR16_LIGHTBLUE = 9,
    CR16_LIGHTGREEN = 10,
    CR16_AZURE = 11,
    CR16_LIGHTRED = 12,
    CR16_LIGHTMAGENTA = 13,
    CR16_YELLOW = 14,
    CR16_WHITE = 15,
    CR16_ORANGE = 16,
    CR16_ROSE = 17,
    CR16_SPRING = 18,
    CR16_SKY = 19,
    CR16_SLATE = 20,
    CR16_SAND = 21,
    CR16_VIOLET = 22,
    CR16_STEEL = 23,
    CR16_PAPER = 24,
    CR16_MIST = 25,
    CR16_INK = 26,
    CR16_NIGHT = 27,
    CR16_COUNT = 28
};

// The colour of palette entry `nColor` (a tagColorRef16 enumerator or its
// number). A number outside 0 ... 27 gives black.
COLORREF RGB16(int nColor);
