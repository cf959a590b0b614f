// What the user last saw of their desktop without any window: the background
// colour and the wallpaper as Windows places it. It stands in for the screen
// copy where Windows keeps the user's desktop out of reach.
#pragma once

#include <windows.h>

// Whether a copy from the display shows the user's desktop: only on the
// desktop named "Default". A secure screen saver runs on a desktop of its
// own, where the copy shows nothing of the user's.
bool DisplayShowsUserDesktop();

// Paints the background colour and the wallpaper into target, whose (0, 0)
// is the screen point origin and which is size large. A wallpaper that
// cannot be read, for whatever reason, leaves the background colour alone.
void PaintDesktopPicture(HDC target, POINT origin, SIZE size);
