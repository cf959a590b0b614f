// The built saver as its own process, seen from outside. Nothing here
// activates a window while a full-screen saver runs: deactivation closes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

std::string Decimal(HWND window)
{
    return std::to_string(reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu);
}

std::vector<HWND> FullScreenSavers()
{
    std::vector<HWND> found;
    for (HWND at = nullptr; (at = FindWindowExA(nullptr, at, "WindowsScreenSaverClass", "Screen Saver"));)
        found.push_back(at);
    return found;
}

// Answers what the saver sends to the test's host window while waiting for
// the preview child to appear (or, with no host, for the saver to end).
HWND PumpUntil(PROCESS_INFORMATION &saver, HWND host)
{
    HWND child = nullptr;
    while (!(host && (child = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview"))) &&
           MsgWaitForMultipleObjects(1, &saver.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return child;
}

TEST(SaverProcess, RefusedCommandLinesExitWith0xFFFFFFFF)
{
    HWND live = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (const std::string &tail : {std::string("x /s"), std::string("/p"), "/p:" + Decimal(live), "/a " + Decimal(live)}) {
        SCOPED_TRACE(tail);
        EXPECT_EQ(0xFFFFFFFFu, RunSaver(tail));
    }
    DestroyWindow(live);
}

TEST(SaverProcess, FullScreenCoversTheVirtualScreenRefusesASecondAndEndsOnAKey)
{
    ASSERT_TRUE(FullScreenSavers().empty());
    PROCESS_INFORMATION saver = StartSaver("/s");
    ASSERT_EQ(0u, WaitForInputIdle(saver.hProcess, 10000));
    std::vector<HWND> windows = FullScreenSavers();
    ASSERT_EQ(1u, windows.size());
    HWND window = windows[0];
    EXPECT_EQ(0x96000000u, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOPMOST), static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    RECT rect, screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    GetWindowRect(window, &rect);
    EXPECT_TRUE(EqualRect(&screen, &rect));

    EXPECT_EQ(0u, RunSaver("/s"));
    EXPECT_EQ(std::vector<HWND>{window}, FullScreenSavers());

    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(0u, WaitForSaver(saver));
    EXPECT_TRUE(FullScreenSavers().empty());
}

TEST(SaverProcess, PreviewLivesInTheHostHandsItTheContextMenuAndDiesWithIt)
{
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 30, 152, 112, nullptr, nullptr, nullptr,
                                nullptr);
    PROCESS_INFORMATION saver = StartSaver("/p " + Decimal(host));
    HWND child = PumpUntil(saver, host);
    ASSERT_NE(nullptr, child);
    // Found while still being made: wait until its loop is waiting for input.
    ASSERT_EQ(0u, WaitForInputIdle(saver.hProcess, 10000));
    EXPECT_EQ(0x52000000u, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)));
    EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE)));
    RECT rect, client;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT *>(&rect), 2);
    GetClientRect(host, &client);
    EXPECT_TRUE(EqualRect(&client, &rect));

    EXPECT_EQ(1, SendMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(60, 50)));
    MSG handed = {};
    ASSERT_TRUE(PeekMessageA(&handed, host, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
    EXPECT_EQ(reinterpret_cast<WPARAM>(host), handed.wParam);
    EXPECT_EQ(MAKELPARAM(60, 50), handed.lParam);
    // Posting WM_HELP across processes is refused, so only the answer is seen.
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, 0, child, 0, {60, 50}};
    EXPECT_EQ(1, SendMessageA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)));

    DestroyWindow(host);
    PumpUntil(saver, nullptr);
    EXPECT_EQ(0u, WaitForSaver(saver, 0));
}

} // namespace
