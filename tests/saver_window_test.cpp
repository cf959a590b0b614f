// The saver window's run in this process, as far as it concerns the preview's
// host: the effect starts its timer as the window is created, and the test's
// stand-in for SetTimer closes the window right then.
#include <gtest/gtest.h>

#include "host/platform_seams.h"
#include "host/saver_window.h"

HMODULE User = GetModuleHandleA("USER32.DLL");
const auto SetThreadAwareness = FindSystemCall<HANDLE(WINAPI *)(HANDLE)>(User, "SetThreadDpiAwarenessContext");
const auto ThreadAwareness = FindSystemCall<HANDLE(WINAPI *)(void)>(User, "GetThreadDpiAwarenessContext");
const auto AwarenessOf = FindSystemCall<int(WINAPI *)(HANDLE)>(User, "GetAwarenessFromDpiAwarenessContext");
const HANDLE Unaware = HANDLE(-1), SystemAware = HANDLE(-2), PerMonitorAware = HANDLE(-3);

TEST(SaverWindow, ThePreviewRunsInItsHostsDpiAwareness) {
    // Wine gives a child its parent's awareness whatever the thread's, and
    // runs its window procedure in the child's: what can be seen is the mode
    // the preview's thread was put in.
    Platform.SetTimer = [](HWND window, UINT_PTR id, UINT, TIMERPROC) -> UINT_PTR WINAPI {
        return PostMessageA(window, WM_CLOSE, 0, 0) ? id : 0;
    };
    const struct { const char *name; HANDLE host, thread; int awareness; } rows[] = {
        {.name = "an unaware host, a per-monitor-aware saver", .host = Unaware, .thread = PerMonitorAware, .awareness = 0},
        {.name = "a system-aware host, an unaware saver", .host = SystemAware, .thread = Unaware, .awareness = 1},
    };
    for (const auto &row : rows) {
        SetThreadAwareness(row.host);
        HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 152, 112, nullptr, nullptr, nullptr, nullptr);
        SetThreadAwareness(row.thread);
        EXPECT_EQ(0, RunSaverWindow(host));
        EXPECT_EQ(row.awareness, AwarenessOf(ThreadAwareness())) << row.name;
        DestroyWindow(host);
        UnregisterClassA("WindowsScreenSaverClass", nullptr);
    }
}
