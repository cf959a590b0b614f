// The built saver as its own process, seen from outside: exit codes, the
// full-screen window, the single-instance refusal and the preview child in a
// host window of this test. Nothing here activates a window while a
// full-screen saver runs, since deactivation closes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

const char SaverClass[] = "WindowsScreenSaverClass";

std::string Decimal(HWND window)
{
    return std::to_string(reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu);
}

std::vector<HWND> FullScreenSavers()
{
    std::vector<HWND> found;
    for (HWND at = nullptr; (at = FindWindowExA(nullptr, at, SaverClass, "Screen Saver")) != nullptr;)
        found.push_back(at);
    return found;
}

// Answers what the saver sends to this thread's windows until the preview
// child shows up in host, or the saver ends, or nothing happens for 10 s.
HWND PumpUntilPreview(HANDLE process, HWND host)
{
    for (;;) {
        HWND child = FindWindowExA(host, nullptr, SaverClass, "Preview");
        if (child != nullptr)
            return child;
        if (MsgWaitForMultipleObjects(1, &process, FALSE, 10000, QS_ALLINPUT) != WAIT_OBJECT_0 + 1)
            return nullptr;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

DWORD PumpUntilExit(PROCESS_INFORMATION &process)
{
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return WaitForSaver(process, 0);
}

TEST(SaverProcess, RefusedCommandLinesEndWithMinusOneAndLeaveNoWindow)
{
    HWND live = CreateWindowExA(0, "STATIC", "live", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const std::string rows[] = {
        "x", "?", "x /s", "/p", "/p 0", "/p abc", "/p 99", "/p:" + Decimal(live), "/l 4294967296",
        "/a " + Decimal(live),
    };
    for (const std::string &tail : rows) {
        SCOPED_TRACE(tail);
        EXPECT_EQ(0xFFFFFFFFu, RunSaver(tail));
        EXPECT_EQ(nullptr, FindWindowExA(live, nullptr, SaverClass, nullptr));
    }
    DestroyWindow(live);
}

TEST(SaverProcess, FullScreenCoversTheVirtualScreenRefusesASecondAndEndsOnAKey)
{
    ASSERT_TRUE(FullScreenSavers().empty());
    PROCESS_INFORMATION saver = StartSaver("/s");
    ASSERT_NE(nullptr, saver.hProcess);
    ASSERT_EQ(0u, WaitForInputIdle(saver.hProcess, 10000));
    std::vector<HWND> windows = FullScreenSavers();
    ASSERT_EQ(1u, windows.size());
    HWND window = windows[0];

    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(saver.dwProcessId, owner);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(SaverClass, className);
    EXPECT_EQ(0x96000000u, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOPMOST), static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), rect.left);
    EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), rect.right - rect.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), rect.bottom - rect.top);

    // A second full-screen start finds the first and leaves at once.
    EXPECT_EQ(0u, RunSaver("/s"));
    windows = FullScreenSavers();
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ(window, windows[0]);

    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(0u, WaitForSaver(saver));
    EXPECT_TRUE(FullScreenSavers().empty());
}

TEST(SaverProcess, PreviewLivesInTheHostHandsItTheContextMenuAndDiesWithIt)
{
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = "PreviewHost";
    RegisterClassA(&hostClass);
    HWND host = CreateWindowExA(0, "PreviewHost", "host", WS_POPUP | WS_VISIBLE, 40, 30, 152, 112, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    PROCESS_INFORMATION saver = StartSaver("/p " + Decimal(host));
    ASSERT_NE(nullptr, saver.hProcess);
    HWND child = PumpUntilPreview(saver.hProcess, host);
    ASSERT_NE(nullptr, child);
    // Found while still being made: wait until its loop is waiting for input.
    ASSERT_EQ(0u, WaitForInputIdle(saver.hProcess, 10000));

    EXPECT_EQ(0x52000000u, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)));
    EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE)));
    RECT hostClient, childRect;
    GetClientRect(host, &hostClient);
    GetWindowRect(child, &childRect);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT *>(&childRect), 2);
    EXPECT_EQ(0, childRect.left);
    EXPECT_EQ(0, childRect.top);
    EXPECT_EQ(hostClient.right, childRect.right);
    EXPECT_EQ(hostClient.bottom, childRect.bottom);
    EXPECT_TRUE(FullScreenSavers().empty());

    MSG stale;
    while (PeekMessageA(&stale, host, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE)) {
    }
    EXPECT_EQ(1, SendMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(60, 50)));
    MSG handed = {};
    ASSERT_TRUE(PeekMessageA(&handed, host, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
    EXPECT_EQ(reinterpret_cast<WPARAM>(host), handed.wParam);
    EXPECT_EQ(MAKELPARAM(60, 50), handed.lParam);
    // Posting WM_HELP across processes is refused, so only the answer is seen.
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, 0, child, 0, {60, 50}};
    EXPECT_EQ(1, SendMessageA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)));

    DestroyWindow(host);
    EXPECT_EQ(0u, PumpUntilExit(saver));
}

} // namespace
