// The effect layer on real GDI surfaces and the virtual X display's screen:
// the settings file it starts from, the timer, what each presented pixel
// shows, and release.
#include <gtest/gtest.h>

#include "effect/shade_renderer.h"
#include "effect/tint_cycle.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "tests/test_support.h"

UINT Period;  // of timer 101; the test sends WM_TIMER itself
HBRUSH Brush; // the last one the effect made

LRESULT CALLBACK EffectProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return EffectWindowProc(w, m, wp, lp); }
// The effect's class has the saver class's black background, which an erase would paint.
const WNDCLASSA Shade = {.style = CS_OWNDC, .lpfnWndProc = EffectProc, .hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH)),
                         .lpszClassName = "Shade"};
const ATOM ShadeClass = RegisterClassA(&Shade);
UINT_PTR WINAPI RecordPeriod(HWND, UINT_PTR id, UINT period, TIMERPROC) {
    Period = id == 101 ? period : 0;
    return id;
}
COLORREF PatternAt(int x, int y) { return RGB(x, y, x + 2 * y); } // each pattern pixel tells where it is

TEST(ShadeRenderer, EachPixelShowsWhatWasUnderItThroughTheTint) {
    // A 320 x 240 window at (0, 0) with the pattern as its background.
    HDC pattern = CreateCompatibleDC(nullptr);
    HBITMAP image = CreateBitmap(320, 240, 1, 32, nullptr);
    SelectObject(pattern, image);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetPixelV(pattern, x, y, PatternAt(x, y));
    const WNDCLASSA paper = {.lpfnWndProc = DefWindowProcA, .hbrBackground = CreatePatternBrush(image),
                             .lpszClassName = "Paper"};
    RegisterClassA(&paper);
    HWND back = CreateWindowA("Paper", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(back);
    // Wine hands a window's pixels to the X screen when its thread goes idle;
    // a wait that times out at once counts as idle.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    SetWindowOrgEx(pattern, -100, -50, nullptr); // a virtual screen from (-100, -50) for TakeSnapshot
    HostState.IsPreview = 1; // no input watch: these windows get real activation
    Platform.SetTimer = RecordPeriod;
    Platform.CreateSolidBrush = [](COLORREF colour) -> HBRUSH WINAPI { return Brush = CreateSolidBrush(colour); };
    Platform.GetTickCount = []() -> DWORD WINAPI { return 0xABCD0001; }; // the generator is seeded with 1
    // A 40 x 30 window at (150, 100), for a preview a child of the pattern
    // window; seam: its snapshot then taken from (-70, -30) through
    // TakeSnapshot; from: the pattern pixel expected at client (0, 0). The
    // stored settings give the timer's period, the first frame's tint and the
    // next one's: Random's first draws after seed 1 are 41, 18467 and 6334.
    const struct { const char *stored; bool child, seam; POINT from; UINT period; COLORREF tint, next; } rows[] = {
        {"", false, false, {150, 100}, 5000, RGB(0, 0, 0xFF), RGB(0, 144, 49)},
        {"Speed=1\0R=1\0G=1\0B=0\0", true, false, {0, 0}, 100, RGB(0xFF, 0xFF, 0), RGB(0, 144, 49)},
        {"Mode=1\0Step=20\0R=1\0Speed=100\0", false, true, {30, 20}, 10000, RGB(0xFF, 0, 0xFF), RGB(235, 0, 235)}};
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        RemoveSettingsFile();
        WritePrivateProfileSectionA("", row.stored, "TENVARA.ini");
        HWND window = CreateWindowExA(WS_EX_TOPMOST, "Shade", "", (row.child ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 150,
                                      100, 40, 30, row.child ? back : nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(row.period, Period);
        if (row.seam)
            TakeSnapshot(pattern, {-70, -30});
        const ShadeSurfacesRecord held = ShadeSurfaces;
        Brush = nullptr;
        SendMessageA(window, WM_TIMER, 101, 0);
        EXPECT_TRUE(Brush && GetObjectType(Brush) == 0) << "the tick's brush, made and freed";
        EXPECT_EQ(row.next, TintColour());
        // Erasing is refused, and paints nothing over the frame.
        EXPECT_EQ(0, SendMessageA(window, WM_ERASEBKGND, WPARAM(held.WindowDC), 0));
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

// A desktop too large for the process: the first, second or third surface
// cannot be made. The window then shows its class's black, starts no timer,
// and input still closes it.
int Failing, Count;

TEST(ShadeRenderer, ASurfaceThatCannotBeMadeLeavesABlackWindowThatStillCloses) {
    Platform.CreateCompatibleBitmap = [](HDC display, int width, int height) -> HBITMAP WINAPI {
        return ++Count == Failing ? nullptr : CreateCompatibleBitmap(display, width, height);
    };
    Platform.SetTimer = RecordPeriod;
    HDC paper = CreateCompatibleDC(nullptr);
    SelectObject(paper, CreateBitmap(40, 30, 1, 32, nullptr));
    HostState.IsPreview = 0; // the input watch is on; the hidden window is never activated
    const char *const missing[] = {"no snapshot", "no colour layer", "no composite"};
    for (Failing = 1; Failing <= 3; ++Failing) {
        SCOPED_TRACE(missing[Failing - 1]);
        Count = 0;
        Period = 0;
        HWND window = CreateWindowExA(0, "Shade", "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(0u, Period) << "a timer for frames that cannot be drawn";
        PatBlt(paper, 0, 0, 40, 30, WHITENESS);
        EXPECT_TRUE(SendMessageA(window, WM_ERASEBKGND, WPARAM(paper), 0) && !GetPixel(paper, 39, 29)) << "not erased black";
        SendMessageA(window, WM_KEYDOWN, 'A', 0);
        MSG close;
        EXPECT_TRUE(PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "no close after a key";
        DestroyWindow(window);
    }
    Platform.CreateCompatibleBitmap = CreateCompatibleBitmap;
    HostState.IsPreview = 1;
}
