// The effect layer on real GDI surfaces and the virtual X display's screen:
// the timer, what each presented pixel shows, and release.
#include <gtest/gtest.h>

#include "effect/shade_renderer.h"
#include "effect/tint_cycle.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "tests/test_support.h"

UINT Period; // of timer 101; the test sends WM_TIMER itself

UINT_PTR WINAPI RecordTimer(HWND, UINT_PTR id, UINT period, TIMERPROC) { return Period = id == 101 ? period : 0, id; }
LRESULT CALLBACK EffectProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return EffectWindowProc(w, m, wp, lp); }
COLORREF PatternAt(int x, int y) { return RGB(x, y, 0xA5); } // each pattern pixel tells where it is

TEST(ShadeRenderer, EachPixelShowsWhatWasUnderItThroughTheTint)
{
    // A 320 x 240 window at (0, 0) with the pattern as its background.
    HDC pattern = CreateCompatibleDC(nullptr);
    HBITMAP image = CreateBitmap(320, 240, 1, 32, nullptr);
    SelectObject(pattern, image);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetPixelV(pattern, x, y, PatternAt(x, y));
    const WNDCLASSA paper = {0, DefWindowProcA, 0, 0, {}, {}, {}, CreatePatternBrush(image), {}, "Paper"},
                    shade = {CS_OWNDC, EffectProc, 0, 0, {}, {}, {}, {}, {}, "Shade"};
    ASSERT_TRUE(RegisterClassA(&paper) && RegisterClassA(&shade));
    HWND back = CreateWindowA("Paper", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(back);
    // Wine hands a window's pixels to the X screen when its thread goes idle;
    // a wait that times out at once counts as idle.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    SetWindowOrgEx(pattern, -100, -50, nullptr); // a virtual screen from (-100, -50) for TakeSnapshot
    HostState.IsPreview = 1; // no input watch: these windows get real activation
    Platform.SetTimer = RecordTimer;
    RemoveSettingsFile(); // the default Speed, 50: a tick every 5 s
    // A 40 x 30 window at (150, 100), for a preview a child of the pattern
    // window; seam: its snapshot then taken from (-70, -30) through
    // TakeSnapshot; from: the pattern pixel expected at client (0, 0).
    const struct { bool child, seam; POINT from; COLORREF tint; } rows[] = {
        {false, false, {150, 100}, RGB(0x0F, 0x80, 0xFF)}, {true, false, {0, 0}, RGB(0xF0, 0xFF, 0x3C)},
        {false, true, {30, 20}, RGB(0x55, 0xAA, 0x81)}};
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HWND window = CreateWindowExA(WS_EX_TOPMOST, "Shade", "", (row.child ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 150,
                                      100, 40, 30, row.child ? back : nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(5000u, Period);
        if (row.seam)
            TakeSnapshot(pattern, {-70, -30});
        TintState = {GetRValue(row.tint), GetGValue(row.tint), GetBValue(row.tint), 0, 0, 0, 0, 0, 0};
        const ShadeSurfacesRecord held = ShadeSurfaces;
        // Wine gives the next object made the slot of the last one freed, one
        // generation (the handle's top byte) up: there the tick's brush lives,
        // unless it was freed.
        HGDIOBJ freed = CreateSolidBrush(0);
        DeleteObject(freed);
        SendMessageA(window, WM_TIMER, 101, 0);
        EXPECT_EQ(0u, GetObjectType(HGDIOBJ(reinterpret_cast<uintptr_t>(freed) + 0x01000000u))) << "the tick's brush";
        // The far corner: each pixel tells where it came from, so this shows
        // both where the frame starts and that it fills the window.
        EXPECT_EQ(PatternAt(row.from.x + 39, row.from.y + 29) & row.tint, GetPixel(held.WindowDC, 39, 29));
        DestroyWindow(window);
        // A bitmap stays alive while it is selected into a context that was
        // never deleted.
        for (HGDIOBJ object : {held.SnapshotBitmap, held.ColourLayerBitmap, held.CompositeBitmap})
            EXPECT_EQ(0u, GetObjectType(object));
    }
}
