// The middle layer of the saver window: one snapshot of the display, three
// memory surfaces, and a frame of snapshot AND tint on every tick.
#pragma once

#include <windows.h>
#include <stdint.h>

struct ShadeSurfacesRecord {
    HDC WindowDC;
    HDC SnapshotDC;
    HBITMAP SnapshotBitmap;
    HDC ColourLayerDC;
    HBITMAP ColourLayerBitmap;
    HDC CompositeDC;
    HBITMAP CompositeBitmap;
    int32_t Width;
    int32_t Height;
};

extern ShadeSurfacesRecord ShadeSurfaces;

LRESULT EffectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void DrawShadedFrame(HWND window);
