// The shade effect: one snapshot of the screen taken as the saver starts, shown
// through the tint colour (snapshot AND tint) on every timer tick. Frames are
// composed in memory and presented in one copy, so the window never flickers.
#include "effect/shade_renderer.h"

#include "effect/desktop_picture.h"
#include "effect/tint_cycle.h"
#include "host/close_policy.h"
#include "host/host_state.h"
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

bool CreateSurface(HDC display, HDC *surface, HBITMAP *bitmap)
{
    *bitmap = Platform.CreateCompatibleBitmap(display, ShadeSurfaces.Width, ShadeSurfaces.Height);
    *surface = CreateCompatibleDC(display);
    return *bitmap != nullptr && *surface != nullptr && SelectObject(*surface, *bitmap) != nullptr;
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

    // A desktop too large for the process's address space leaves a surface
    // unmade. The saver then does what it still can: the window stays black,
    // no timer spends the processor on frames that cannot be drawn, and input
    // closes it as always.
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    bool made = CreateSurface(display, &ShadeSurfaces.SnapshotDC, &ShadeSurfaces.SnapshotBitmap);
    if (made) {
        TakeSnapshot(display, SnapshotOrigin(window));
        made = CreateSurface(display, &ShadeSurfaces.ColourLayerDC, &ShadeSurfaces.ColourLayerBitmap);
    }
    if (made) {
        FillColourLayer(StartingGrey);
        made = CreateSurface(display, &ShadeSurfaces.CompositeDC, &ShadeSurfaces.CompositeBitmap);
    }
    DeleteDC(display);
    if (!made) {
        ReleaseShadeEffect(window);
        return;
    }

    // The class owns its device context, so holding it for the run is safe.
    ShadeSurfaces.WindowDC = GetDC(window);
    Platform.SetTimer(window, ShadeTimerId, static_cast<uint32_t>(SaverSettings.Speed) * 100u, nullptr);
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
        // The frames cover everything, so an erase would only flash. Without
        // surfaces there are no frames: the class's black brush is the picture.
        if (ShadeSurfaces.CompositeDC != nullptr)
            return 0;
        break;
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
    // A secure screen saver runs on a desktop of its own, where the copy
    // shows nothing of the user's desktop (black, or another program's
    // windows under Wine), and a copy can fail. The full-screen saver then
    // shades what the user last saw of the desktop without any window; the
    // preview runs on the user's desktop, and Windows 95/98/Me has no other.
    const bool mayBeHidden = !HostState.IsPreview && !HostState.IsWin9x;
    const SIZE size = {ShadeSurfaces.Width, ShadeSurfaces.Height};
    if (mayBeHidden && !DisplayShowsUserDesktop())
        PaintDesktopPicture(ShadeSurfaces.SnapshotDC, origin, size);
    else if (!BitBlt(ShadeSurfaces.SnapshotDC, 0, 0, size.cx, size.cy, source, origin.x, origin.y, SRCCOPY) &&
             mayBeHidden)
        PaintDesktopPicture(ShadeSurfaces.SnapshotDC, origin, size);
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
