// The built saver as its own process, seen from outside. Nothing here
// activates a window while a full-screen saver runs: deactivation closes it.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>

#include "tests/test_support.h"

// Under Wine the saver finds itself on NT, where /a is refused and no message is
// taken for AutoPlay's, WM_NULL included. It knows the AC line status from its
// start, so a report of the same status leaves it running. The test answers what the preview
// sends to its host until the child is in it, then waits until the child's loop
// waits for input; the child fills the host's client area and hands it the
// context menu. A full screen starts beside the preview, and a second one only
// raises the first.
TEST(SaverProcess, RefusesABadLineRunsAPreviewAndOneFullScreenBesideIt) {
    EXPECT_EQ(0xFFFFFFFFu, ExitCode(SaverProcess("/a"), "/a on NT"));
    // The platform comes from the real version call: the test prefix has Wine
    // report Windows 98 to a copy named TENVARA98.scr, and there /a opens the
    // system's change-password dialog (Wine's returns at once) and ends with 0.
    const std::string copy = BesideTests("TENVARA98.scr");
    ASSERT_TRUE(CopyFileA(SaverPath().c_str(), copy.c_str(), FALSE));
    EXPECT_EQ(0u, ExitCode(SaverProcess("/a", copy), "/a on Windows 98"));
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112, nullptr, nullptr, nullptr, 0);
    SaverProcess preview("/p " + std::to_string(reinterpret_cast<uintptr_t>(host) & 0xFFFFFFFFu));
    HWND child;
    while (!(child = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview")) &&
           MsgWaitForMultipleObjects(1, &preview.info.hProcess, FALSE, WaitMs, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&message);
    ASSERT_NE(nullptr, child) << "the preview never created its window";
    ASSERT_EQ(0u, WaitForInputIdle(preview.info.hProcess, WaitMs)) << "the preview never came to wait for input";
    RECT filled = {};
    EXPECT_TRUE(GetClientRect(child, &filled) && filled.right == 152 && filled.bottom == 112) << filled.right;
    EXPECT_EQ(1, SendMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(60, 50)));
    MSG handed = {};
    ASSERT_TRUE(PeekMessageA(&handed, host, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE)) << "no context menu handed";
    EXPECT_EQ(reinterpret_cast<WPARAM>(host), handed.wParam);

    SaverProcess saver("/s");
    HWND window = ActiveWindowOf(saver);
    ASSERT_NE(nullptr, window) << "the full-screen window never appeared";
    EXPECT_EQ(std::make_pair(LONG(0x96000000), LONG(WS_EX_TOPMOST)),
              std::make_pair(GetWindowLongA(window, GWL_STYLE), GetWindowLongA(window, GWL_EXSTYLE)));
    SendMessageA(window, WM_NULL, 0, 0);
    SendMessageA(window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0);
    SendMessageA(window, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    EXPECT_EQ(0u, ExitCode(SaverProcess("/s"), "a second /s"));
    EXPECT_TRUE(IsWindow(window)) << "the first full screen ended before the key";
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(0u, ExitCode(saver, "the key"));
    // The preview dies with its host.
    DestroyWindow(host);
    EXPECT_EQ(0u, ExitCode(preview, "its host was destroyed"));
}

// The two_monitors entry runs this on two monitors side by side, the primary
// on the right (scripts/two-monitors): the full-screen window covers both.
TEST(TwoMonitors, TheFullScreenWindowCoversBoth) {
    if (GetSystemMetrics(SM_CMONITORS) != 2)
        GTEST_SKIP() << "not two monitors: the two_monitors entry runs this";
    SaverProcess saver("/s");
    RECT covered = {};
    ASSERT_TRUE(GetWindowRect(ActiveWindowOf(saver), &covered)) << "the full-screen window never appeared";
    // Left, top, right, bottom.
    EXPECT_EQ((std::array<LONG, 4>{-1024, 0, 1024, 768}), (std::bit_cast<std::array<LONG, 4>>(covered)));
}
