// The effect layer on real GDI surfaces and the virtual X display's screen:
// the timer, which messages reach the close policy, what each presented pixel
// shows, and release.
#include <gtest/gtest.h>

#include "effect/shade_renderer.h"
#include "effect/tint_cycle.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "settings/settings_store.h"
#include "tests/test_support.h"

namespace {

UINT Period; // of timer 101; the test sends WM_TIMER itself

UINT_PTR WINAPI RecordTimer(HWND, UINT_PTR id, UINT period, TIMERPROC) { return Period = id == 101 ? period : 0, id; }
LRESULT CALLBACK EffectProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return EffectWindowProc(w, m, wp, lp); }
COLORREF PatternAt(int x, int y) { return RGB(x, y, 0xA5); } // each pattern pixel tells where it is

TEST(ShadeRenderer, EachPixelShowsWhatWasUnderItThroughTheTint)
{
    // A 320 x 240 window at (0, 0) with the pattern as its background.
    HDC pattern = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(320, 240, 1, 32, nullptr);
    SelectObject(pattern, bitmap);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetPixelV(pattern, x, y, PatternAt(x, y));
    WNDCLASSA classes[] = {
        {0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, CreatePatternBrush(bitmap), nullptr, "Pattern"},
        {CS_OWNDC, EffectProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Shade"}};
    for (const WNDCLASSA &windowClass : classes)
        RegisterClassA(&windowClass);
    HWND patternWindow = CreateWindowExA(WS_EX_TOPMOST, "Pattern", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                                         nullptr, nullptr, nullptr);
    UpdateWindow(patternWindow);
    // Wine hands a window's pixels to the X screen when its thread goes idle;
    // a wait that times out at once counts as idle.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    SetWindowOrgEx(pattern, -100, -50, nullptr); // a virtual screen from (-100, -50) for TakeSnapshot
    HostState.IsPreview = 1; // no input watch: these windows get real activation
    Platform.SetTimer = RecordTimer;
    UseTestModuleResources();
    LoadSettingNames();
    // A 40 x 30 window at (150, 100), for a preview a child of the pattern
    // window; seam: its snapshot then taken from (-70, -30) through
    // TakeSnapshot; from: the pattern pixel expected at client (0, 0); id: the
    // timer's. The close policy posts a close for AutoPlay in every state:
    // pointed at m, it shows whether m got there.
    const struct { const char *speed; UINT period; bool child, seam; POINT from; COLORREF tint; WPARAM id; UINT m; } rows[] = {
        {"1", 100, false, false, {150, 100}, RGB(255, 255, 255), 101, WM_TIMER},
        {nullptr, 5000, true, false, {0, 0}, RGB(0x0F, 0x80, 0), 7, WM_ERASEBKGND},
        {"100", 10000, false, true, {30, 20}, RGB(255, 255, 255), 101, WM_DESTROY}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.period);
        WritePrivateProfileStringA("", SettingNames.SpeedKey, row.speed, SettingsFilePath().c_str());
        HostState.AutoPlayMessage = row.m;
        HWND window = CreateWindowExA(WS_EX_TOPMOST, "Shade", "", (row.child ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 150,
                                      100, 40, 30, row.child ? patternWindow : nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(row.period, Period);
        if (row.seam)
            TakeSnapshot(pattern, {-70, -30});
        TintState.RedCounter = GetRValue(row.tint);
        TintState.GreenCounter = GetGValue(row.tint);
        TintState.BlueCounter = GetBValue(row.tint);
        const ShadeSurfacesRecord held = ShadeSurfaces;
        SendMessageA(window, WM_TIMER, row.id, 0);
        // The tick's brush is not left selected.
        EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetCurrentObject(held.ColourLayerDC, OBJ_BRUSH));
        int wrong = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                wrong += GetPixel(held.WindowDC, x, y) != (PatternAt(row.from.x + x, row.from.y + y) & row.tint);
        EXPECT_EQ(0, wrong);
        SendMessageA(window, row.m, 0, 0);
        MSG close;
        EXPECT_EQ(row.m == WM_TIMER, PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0);
        DestroyWindow(window);
        for (HGDIOBJ object : std::initializer_list<HGDIOBJ>{held.SnapshotDC, held.SnapshotBitmap, held.ColourLayerDC,
                                                             held.ColourLayerBitmap, held.CompositeDC,
                                                             held.CompositeBitmap})
            EXPECT_EQ(0u, GetObjectType(object));
    }
    RemoveSettingsFile();
}

} // namespace
