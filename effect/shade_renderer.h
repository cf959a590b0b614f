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

// Copies Width x Height display pixels from origin (screen coordinates of the
// source) into the snapshot. A full-screen window passes its own top-left,
// which is negative when a monitor sits left of or above the primary one.
void TakeSnapshot(HDC source, POINT origin);
