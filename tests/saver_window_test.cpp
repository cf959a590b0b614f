// The saver window's first-layer procedure on its own, in a window of the test.
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/saver_window.h"

namespace {

// Rows a saver process cannot show. The last layer is told to take each message
// for the AutoPlay one, which it answers with a close, so a close beyond the
// first layer's own shows that the message went past it.
TEST(SaverWindow, FirstLayerRefusesAndDrops)
{
    const struct { int32_t closeAllowed; UINT message; WPARAM wParam; int closes; } rows[] = {
        {0, WM_SETTEXT, 0, 0}, {0, WM_SYSCOMMAND, SC_SCREENSAVE, 0}, {0, WM_SYSCOMMAND, SC_SCREENSAVE | 1, 1},
        {0, WM_SYSCOMMAND, SC_NEXTWINDOW, 0}, {0, WM_SYSCOMMAND, SC_MONITORPOWER, 2}, {0, WM_TIMER, 101, 1},
        {1, WM_TIMER, 101, 0}};
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HostState.CloseAllowed = row.closeAllowed;
        HostState.AutoPlayMessage = row.message;
        HostWindowProc(window, row.message, row.wParam, reinterpret_cast<LPARAM>("Changed"));
        int closes = 0;
        for (MSG close; PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
            ++closes;
        EXPECT_EQ(row.closes, closes);
    }
    DestroyWindow(window);
}

} // namespace
