// Windows' picture positions as arithmetic. Where Microsoft's documentation
// is silent, this follows what Windows shows:
// - centre, fit and fill centre the picture on each monitor; an odd pixel
//   left over is halved toward zero;
// - tile lays the picture out from the primary monitor's top-left corner,
//   screen (0, 0), in every direction, as one pattern across all monitors;
// - span fills the box around all monitors as fill fills one monitor;
// - scaled sizes are rounded to the nearest pixel (MulDiv).
#include "effect/wallpaper_placement.h"

#include <stdint.h>

namespace {

// Windows' own registry values for the positions.
const unsigned StyleStretch = 2, StyleFit = 6, StyleFill = 10, StyleSpan = 22;

// A picture scaled beyond this many pixels a side is not drawn at all: no
// monitor needs it, and scaling that far only costs time.
const int LargestScaledSide = 0x10000;

// Rounds toward minus infinity, so that tiles left of and above the primary
// monitor line up with those right of and below it.
int FloorDiv(int value, int divisor)
{
    int quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

// Registry text is the user's to change: a number of any length wraps
// instead of overflowing, and whatever it becomes is some known or unknown style.
unsigned Number(const char *text)
{
    unsigned value = 0;
    for (; text != nullptr && *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + unsigned(*text - '0');
    return value;
}

} // namespace

WallpaperStyle WallpaperStyleFrom(const char *wallpaperStyle, const char *tileWallpaper)
{
    switch (Number(wallpaperStyle)) {
    case StyleStretch:
        return WallpaperStretch;
    case StyleFit:
        return WallpaperFit;
    case StyleFill:
        return WallpaperFill;
    case StyleSpan:
        return WallpaperSpan;
    }
    // 0, and any value Windows does not know, is centre, or tile when asked.
    return Number(tileWallpaper) == 1 ? WallpaperTile : WallpaperCentre;
}

RECT PlaceWallpaper(WallpaperStyle style, SIZE picture, RECT area)
{
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    int width = picture.cx, height = picture.cy;
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return RECT{};
    switch (style) {
    case WallpaperTile: {
        const int left = FloorDiv(area.left, width) * width, top = FloorDiv(area.top, height) * height;
        return RECT{left, top, left + width, top + height};
    }
    case WallpaperStretch:
        return area;
    case WallpaperFit:
    case WallpaperFill:
    case WallpaperSpan: {
        // Fit meets the nearer pair of edges, fill and span the farther one.
        const bool areaRelativelyWider = int64_t(areaWidth) * height > int64_t(areaHeight) * width;
        if (areaRelativelyWider == (style != WallpaperFit)) {
            height = MulDiv(height, areaWidth, width);
            width = areaWidth;
        } else {
            width = MulDiv(width, areaHeight, height);
            height = areaHeight;
        }
        if (width <= 0 || height <= 0 || width > LargestScaledSide || height > LargestScaledSide)
            return RECT{};
        break;
    }
    case WallpaperCentre:
        break;
    }
    const int left = area.left + (areaWidth - width) / 2, top = area.top + (areaHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}
