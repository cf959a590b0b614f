// The effect layer on real GDI surfaces and the virtual X display's screen:
// creation and release, which messages reach the close policy, and what each
// presented pixel shows.
#include <gtest/gtest.h>

#include "effect/shade_renderer.h"
#include "effect/tint_cycle.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "settings/settings_store.h"
#include "tests/test_support.h"

namespace {

UINT TimerPeriod;
HDC Pattern;

// Each pattern pixel tells where it is.
COLORREF PatternAt(int x, int y) { return RGB(x, y, 0xA5); }

// No real ticks: the tests send WM_TIMER themselves. Only timer 101 counts.
UINT_PTR WINAPI RecordTimer(HWND, UINT_PTR id, UINT period, TIMERPROC)
{
    TimerPeriod = id == 101 ? period : 0;
    return id;
}

LRESULT CALLBACK EffectProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return EffectWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PAINTSTRUCT paint;
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    BitBlt(BeginPaint(window, &paint), 0, 0, 320, 240, Pattern, 0, 0, SRCCOPY);
    return EndPaint(window, &paint);
}

// A topmost 40 x 30 effect window, or a child of parent; or a 320 x 240 pattern.
HWND Create(DWORD style, int x, int y, HWND parent = nullptr, bool pattern = false)
{
    static bool registered = [] {
        WNDCLASSA windowClass = {CS_OWNDC, EffectProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Shade"};
        RegisterClassA(&windowClass);
        windowClass.lpfnWndProc = PatternProc;
        windowClass.lpszClassName = "Pattern";
        return RegisterClassA(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    HostState.IsPreview = 1; // no input watch: these windows get real activation
    Platform.SetTimer = RecordTimer;
    UseTestModuleResources();
    return CreateWindowExA(parent ? 0 : WS_EX_TOPMOST, pattern ? "Pattern" : "Shade", "", style, x, y,
                           pattern ? 320 : 40, pattern ? 240 : 30, parent, nullptr, nullptr, nullptr);
}

TEST(ShadeRenderer, CreationAndRelease)
{
    const struct { const char *speed; UINT period; } rows[] = {{nullptr, 5000}, {"1", 100}, {"100", 10000}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.period);
        LoadSettingNames();
        WritePrivateProfileStringA("", SettingNames.SpeedKey, row.speed, SettingsFilePath().c_str());
        HWND window = Create(WS_POPUP, 0, 0);
        EXPECT_EQ(row.period, TimerPeriod);
        EXPECT_EQ(RGB(0x80, 0x80, 0x80), GetPixel(ShadeSurfaces.ColourLayerDC, 39, 29));
        const ShadeSurfacesRecord held = ShadeSurfaces;
        DestroyWindow(window);
        for (HGDIOBJ object : std::initializer_list<HGDIOBJ>{held.SnapshotDC, held.SnapshotBitmap, held.ColourLayerDC,
                                                             held.ColourLayerBitmap, held.CompositeDC,
                                                             held.CompositeBitmap})
            EXPECT_EQ(0u, GetObjectType(object));
    }
    RemoveSettingsFile();
}

TEST(ShadeRenderer, WhichMessagesReachTheClosePolicy)
{
    // The close policy answers the AutoPlay message in every state by posting
    // a close, so pointing it at a message shows whether that message got there.
    const struct { UINT message; bool passedOn; } rows[] = {
        {WM_CREATE, true}, {WM_TIMER, true}, {WM_ERASEBKGND, false}, {WM_DESTROY, false}};
    for (const auto &row : rows) {
        HostState.AutoPlayMessage = row.message;
        HWND window = Create(WS_POPUP, 0, 0);
        if (row.message != WM_CREATE)
            SendMessageA(window, row.message, 0, 0);
        MSG close;
        EXPECT_EQ(row.passedOn, PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0) << row.message;
        HostState.AutoPlayMessage = 0;
        DestroyWindow(window);
    }
}

TEST(ShadeRenderer, EachPixelShowsWhatWasUnderItThroughTheTint)
{
    HDC screen = GetDC(nullptr);
    Pattern = CreateCompatibleDC(screen);
    HBITMAP patternBitmap = CreateCompatibleBitmap(screen, 320, 240);
    ReleaseDC(nullptr, screen);
    SelectObject(Pattern, patternBitmap);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetPixelV(Pattern, x, y, PatternAt(x, y));
    HWND patternWindow = Create(WS_POPUP | WS_VISIBLE, 0, 0, nullptr, true);
    UpdateWindow(patternWindow);
    // Wine hands a window's pixels to the X screen when its thread goes idle;
    // a wait that times out at once counts as idle.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);

    // virtualScreen: its top-left as the seam shows it, (0, 0) for the real screen;
    // from: the pattern pixel expected at client (0, 0)
    const struct { const char *name; bool preview; POINT virtualScreen, from; COLORREF tint; WPARAM timer; } rows[] = {
        {"full screen at (150, 100)", false, {0, 0}, {150, 100}, RGB(255, 255, 255), 101},
        {"preview at (150, 100)", true, {0, 0}, {0, 0}, RGB(0x0F, 0x80, 0), 7},
        {"virtual screen from (-100, -50)", false, {-100, -50}, {30, 20}, RGB(255, 255, 255), 101},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        HWND host = row.preview ? Create(WS_POPUP | WS_VISIBLE, 150, 100, nullptr, true) : nullptr;
        HWND window = Create((row.preview ? WS_CHILD : WS_POPUP) | WS_VISIBLE, row.preview ? 0 : 150,
                             row.preview ? 0 : 100, host);
        if (row.virtualScreen.x != 0) {
            // Pattern pixel (0, 0) at the screen's top-left: the screen point
            // origin + (x, y) then holds pattern pixel (30 + x, 20 + y).
            SetWindowOrgEx(Pattern, row.virtualScreen.x, row.virtualScreen.y, nullptr);
            TakeSnapshot(Pattern, {row.virtualScreen.x + 30, row.virtualScreen.y + 20});
            SetWindowOrgEx(Pattern, 0, 0, nullptr);
        }
        TintState.RedCounter = GetRValue(row.tint);
        TintState.GreenCounter = GetGValue(row.tint);
        TintState.BlueCounter = GetBValue(row.tint);
        HGDIOBJ brush = GetCurrentObject(ShadeSurfaces.ColourLayerDC, OBJ_BRUSH);
        SendMessageA(window, WM_TIMER, row.timer, 0);
        EXPECT_EQ(brush, GetCurrentObject(ShadeSurfaces.ColourLayerDC, OBJ_BRUSH));
        int wrong = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                wrong += GetPixel(ShadeSurfaces.WindowDC, x, y) !=
                         (PatternAt(row.from.x + x, row.from.y + y) & row.tint);
        EXPECT_EQ(0, wrong);
        DestroyWindow(window);
        DestroyWindow(host);
    }
    DestroyWindow(patternWindow);
    DeleteDC(Pattern);
    DeleteObject(patternBitmap);
}

} // namespace
