// The shade effect: one snapshot of the screen taken as the saver starts, shown
// through the tint colour (snapshot AND tint) on every timer tick. Frames are
// composed in memory and presented in one copy, so the window never flickers.
#include "effect/shade_renderer.h"

#include "effect/tint_cycle.h"
#include "host/close_policy.h"
#include "host/platform_seams.h"
#include "settings/settings_store.h"

ShadeSurfacesRecord ShadeSurfaces;

namespace {

const UINT_PTR ShadeTimerId = 101;
const COLORREF StartingGrey = RGB(0x80, 0x80, 0x80);

// The brush lives only for this fill, so a tick leaves nothing allocated.
void FillColourLayer(COLORREF colour)
{
    HBRUSH brush = Platform.CreateSolidBrush(colour);
    HGDIOBJ previous = SelectObject(ShadeSurfaces.ColourLayerDC, brush);
    RECT whole = {0, 0, ShadeSurfaces.Width, ShadeSurfaces.Height};
    FillRect(ShadeSurfaces.ColourLayerDC, &whole, brush);
    SelectObject(ShadeSurfaces.ColourLayerDC, previous);
    DeleteObject(brush);
}

// Pixel (x, y) of the window must show the snapshot pixel that was under it.
// A full-screen window covers the virtual screen, whose top-left may be
// negative; a preview is a child far from the screen's corner and simply shows
// the top-left of the display at its own small size.
POINT SnapshotOrigin(HWND window)
{
    POINT origin = {0, 0};
    if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0)
        ClientToScreen(window, &origin);
    return origin;
}

void CreateSurface(HDC display, HDC *surface, HBITMAP *bitmap)
{
    *bitmap = CreateCompatibleBitmap(display, ShadeSurfaces.Width, ShadeSurfaces.Height);
    *surface = CreateCompatibleDC(display);
    SelectObject(*surface, *bitmap);
}

void CreateShadeEffect(HWND window)
{
    LoadSettingNames();
    ReadSettings();
    RECT client = {}; // a preview host that died meanwhile leaves it untouched
    GetClientRect(window, &client);
    ShadeSurfaces.Width = client.right;
    ShadeSurfaces.Height = client.bottom;
    SeedRandom(Platform.GetTickCount() & 0xFFFFu);
    InitialCombination();

    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    CreateSurface(display, &ShadeSurfaces.SnapshotDC, &ShadeSurfaces.SnapshotBitmap);
    TakeSnapshot(display, SnapshotOrigin(window));
    CreateSurface(display, &ShadeSurfaces.ColourLayerDC, &ShadeSurfaces.ColourLayerBitmap);
    FillColourLayer(StartingGrey);
    CreateSurface(display, &ShadeSurfaces.CompositeDC, &ShadeSurfaces.CompositeBitmap);
    DeleteDC(display);

    // The class owns its device context, so holding it for the run is safe.
    ShadeSurfaces.WindowDC = GetDC(window);
    Platform.SetTimer(window, ShadeTimerId, static_cast<uint32_t>(SaverSettings.Speed) * 100u, nullptr);
}

// Each memory context goes before the bitmap still selected into it.
void ReleaseShadeEffect(HWND window)
{
    ReleaseDC(window, ShadeSurfaces.WindowDC);
    DeleteDC(ShadeSurfaces.SnapshotDC);
    DeleteObject(ShadeSurfaces.SnapshotBitmap);
    DeleteDC(ShadeSurfaces.ColourLayerDC);
    DeleteObject(ShadeSurfaces.ColourLayerBitmap);
    DeleteDC(ShadeSurfaces.CompositeDC);
    DeleteObject(ShadeSurfaces.CompositeBitmap);
    ShadeSurfaces = ShadeSurfacesRecord();
}

} // namespace

LRESULT EffectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateShadeEffect(window);
        break;
    case WM_DESTROY:
        ReleaseShadeEffect(window);
        return 0;
    case WM_ERASEBKGND:
        return 0; // the frames cover everything; an erase would only flash
    case WM_TIMER:
        // Whatever the identifier: only the saver's own timer runs here.
        DrawShadedFrame(window);
        AdvanceTint();
        break;
    }
    return SaverDefaultHandler(window, message, wParam, lParam);
}

void TakeSnapshot(HDC source, POINT origin)
{
    BitBlt(ShadeSurfaces.SnapshotDC, 0, 0, ShadeSurfaces.Width, ShadeSurfaces.Height, source, origin.x, origin.y,
           SRCCOPY);
}

void DrawShadedFrame(HWND)
{
    const int32_t width = ShadeSurfaces.Width;
    const int32_t height = ShadeSurfaces.Height;
    FillColourLayer(TintColour());
    BitBlt(ShadeSurfaces.CompositeDC, 0, 0, width, height, ShadeSurfaces.ColourLayerDC, 0, 0, SRCCOPY);
    BitBlt(ShadeSurfaces.CompositeDC, 0, 0, width, height, ShadeSurfaces.SnapshotDC, 0, 0, SRCAND);
    // The snapshot was taken at the window's own origin, so the composite
    // lines up with the client area from (0, 0) wherever the window sits.
    BitBlt(ShadeSurfaces.WindowDC, 0, 0, width, height, ShadeSurfaces.CompositeDC, 0, 0, SRCCOPY);
}
