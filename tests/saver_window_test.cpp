// The saver window's first-layer procedure on its own, called directly for a
// window of the test.
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

namespace {

HWND Window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

// Rows a saver process cannot show. The last layer is told to take each message
// for the AutoPlay one, which it answers with a close, so a close beyond the
// first layer's own shows that the message went past it.
TEST(SaverWindow, FirstLayerRefusesAndDrops)
{
    const struct { int32_t closeAllowed; UINT message; WPARAM wParam; int closes; } rows[] = {
        {0, WM_SETTEXT, 0, 0}, {0, WM_SYSCOMMAND, SC_SCREENSAVE, 0}, {0, WM_SYSCOMMAND, SC_SCREENSAVE | 1, 1},
        {0, WM_SYSCOMMAND, SC_NEXTWINDOW, 0}, {0, WM_SYSCOMMAND, SC_MONITORPOWER, 2}, {0, WM_TIMER, 101, 1},
        {1, WM_TIMER, 101, 0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HostState.CloseAllowed = row.closeAllowed;
        HostState.AutoPlayMessage = row.message;
        HostWindowProc(Window, row.message, row.wParam, reinterpret_cast<LPARAM>("Changed"));
        int closes = 0;
        for (MSG close; PeekMessageA(&close, Window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
            ++closes;
        EXPECT_EQ(row.closes, closes);
    }
}

// Wine always has IMM32.DLL loaded: the seam stands in for a system without it,
// and a recording stand-in, put in before destruction, sees what is given back.
HIMC GivenBack;
HIMC WINAPI RecordGivenBack(HWND, HIMC context) { return GivenBack = context, nullptr; }
HMODULE WINAPI NoModule(LPCSTR) { return nullptr; }

TEST(SaverWindow, InputMethodDetachedOnlyWhereLoadedAndGivenBack)
{
    for (bool loaded : {false, true}) {
        SCOPED_TRACE(loaded);
        Platform.GetModuleHandleA = loaded ? GetModuleHandleA : NoModule;
        HostWindowProc(Window, WM_CREATE, 0, 0);
        const HIMC detached = HostState.SavedImmContext;
        EXPECT_EQ(loaded, detached != nullptr);
        GivenBack = nullptr;
        if (HostState.ImmAssociate)
            HostState.ImmAssociate = RecordGivenBack;
        HostWindowProc(Window, WM_DESTROY, 0, 0);
        EXPECT_EQ(detached, GivenBack);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // the loop would end
    }
}

} // namespace
