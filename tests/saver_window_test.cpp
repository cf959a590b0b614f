// The full-screen saver run inside this process (the class is registered by
// RunSaverWindow itself), and its first-layer window procedure on its own.
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

namespace {

const HostStateRecord Initial = HostState;
const char SaverClass[] = "WindowsScreenSaverClass";

// Wine always has IMM32.DLL loaded: the seam stands in for a system without it,
// and a recording stand-in, put in as the window is made, sees the restore. The password
// is on, so on Windows 98 the run loads the PASSWORD.CPL stand-in beside the
// test, and each run must have let go of it at the end, whatever stopped it.
enum Imm { Loaded, Absent, ModuleLost, NoContext } ImmCase;
bool Seen, Restored;
HMODULE WINAPI NoModule(LPCSTR) { return nullptr; }
// The effect's timer, asked for as the window is made (its input method already
// detached): instead a close, which ends the run once the loop takes it.
UINT_PTR WINAPI WhileMaking(HWND window, UINT_PTR, UINT, TIMERPROC)
{
    Seen = true;
    EXPECT_EQ(HostState.IsWin9x, HostState.PasswordVerifier != nullptr);
    if (HostState.ImmAssociate)
        HostState.ImmAssociate = [](HWND, HIMC) -> HIMC WINAPI { return Restored = true, nullptr; };
    HostState.ImmModule = ImmCase == ModuleLost ? nullptr : HostState.ImmModule;
    HostState.SavedImmContext = ImmCase == NoContext ? nullptr : HostState.SavedImmContext;
    return PostMessageA(window, WM_CLOSE, 0, 0);
}

TEST(SaverWindow, RestoresTheInputMethodAndLetsGoOfTheVerifier)
{
    HKEY desktop;
    RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop);
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE *>("\1\0\0"), 4);
    // blocker: none, or the title of a window of the saver class in the way
    const struct { int32_t win9x; Imm imm; const char *blocker; bool made, restored; } rows[] = {
        {0, Loaded, nullptr, 1, 1}, {0, Absent, nullptr, 1, 0}, {0, ModuleLost, nullptr, 1, 0},
        {0, NoContext, nullptr, 1, 0}, {1, Loaded, nullptr, 1, 1}, {1, Loaded, "Screen Saver", 0, 0},
        {1, Loaded, "Not a saver", 0, 0}};
    const HINSTANCE self = GetModuleHandleA(nullptr);
    Platform.SetTimer = WhileMaking;
    WNDCLASSA taken = {0, DefWindowProcA, 0, 0, self, nullptr, nullptr, nullptr, nullptr, SaverClass};
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HostState = Initial, HostState.Instance = self, HostState.IsWin9x = row.win9x;
        ImmCase = row.imm, Seen = Restored = false;
        Platform.GetModuleHandleA = row.imm == Absent ? NoModule : GetModuleHandleA;
        if (row.blocker)
            RegisterClassA(&taken);
        HWND other = CreateWindowExA(0, SaverClass, row.blocker, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, self, nullptr);
        EXPECT_EQ(0, RunSaverWindow(nullptr));
        DestroyWindow(other);
        UnregisterClassA(SaverClass, self);
        EXPECT_EQ(row.made, Seen);
        EXPECT_EQ(row.restored, Restored);
        EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    }
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
    RegCloseKey(desktop);
}

// Rows a saver process cannot show. The last layer is told to take each message
// for the AutoPlay one, which it answers with a close, so a close beyond the
// first layer's own shows that the message went past it.
TEST(SaverWindow, FirstLayerRefusesAndDrops)
{
    const struct { int32_t closeAllowed; UINT message; WPARAM wParam; int closes; } rows[] = {
        {0, WM_SETTEXT, 0, 0}, {0, WM_SYSCOMMAND, SC_NEXTWINDOW, 0}, {0, WM_SYSCOMMAND, SC_PREVWINDOW, 0},
        {0, WM_SYSCOMMAND, SC_SCREENSAVE, 0}, {0, WM_SYSCOMMAND, SC_SCREENSAVE | 1, 1},
        {0, WM_SYSCOMMAND, SC_MONITORPOWER, 2}, {0, WM_SYSCOMMAND, SC_MONITORPOWER | 1, 1},
        {1, WM_KEYDOWN, 'A', 0}, {0, WM_TIMER, 101, 1}, {1, WM_TIMER, 101, 0}};
    HostState = Initial;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HostState.CloseAllowed = row.closeAllowed, HostState.AutoPlayMessage = row.message;
        HostWindowProc(window, row.message, row.wParam, reinterpret_cast<LPARAM>("Changed"));
        int closes = 0;
        for (MSG close; PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
            ++closes;
        EXPECT_EQ(row.closes, closes);
    }
    DestroyWindow(window);
}

} // namespace
