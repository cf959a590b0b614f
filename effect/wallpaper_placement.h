// Where Windows puts the desktop wallpaper on a monitor, for each picture
// position the user can choose: arithmetic on screen rectangles only.
#pragma once

#include <windows.h>

enum WallpaperStyle {
    WallpaperCentre,
    WallpaperTile,
    WallpaperStretch,
    WallpaperFit,
    WallpaperFill,
    WallpaperSpan,
};

// The position from HKCU\Control Panel\Desktop: WallpaperStyle ("0", "2",
// "6", "10" or "22") and TileWallpaper ("1" tiles a style-0 picture).
// Either may be missing (null).
WallpaperStyle WallpaperStyleFrom(const char *wallpaperStyle, const char *tileWallpaper);

// The rectangle, in screen coordinates, that the whole picture is drawn into
// on `area`: a monitor, or for span the box around all monitors. It may reach
// past the area (centre, fill, span: cut off) or leave a border of background
// colour (centre, fit). For tile it is the tile that holds the area's
// top-left corner; the others follow it right and down. An empty rectangle
// means that the picture cannot be placed.
RECT PlaceWallpaper(WallpaperStyle style, SIZE picture, RECT area);
