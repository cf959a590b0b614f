// The saver window's first-layer procedure on its own, in a window of the test.
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/platform_seams.h"
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

// Wine always has IMM32.DLL loaded: the seam stands in for a system without it,
// and a recording stand-in, put in before destruction, sees the restore.
bool Restored;
HIMC WINAPI RecordRestore(HWND, HIMC) { return Restored = true, nullptr; }
HMODULE WINAPI NoModule(LPCSTR) { return nullptr; }

TEST(SaverWindow, InputMethodDetachedOnlyWhereLoadedAndRestoredOnlyWhenSaved)
{
    WNDCLASSA saverClass = {};
    saverClass.lpfnWndProc = HostWindowProc;
    saverClass.lpszClassName = "InputMethodTest";
    RegisterClassA(&saverClass);
    const struct { bool loaded, contextLost, detached, restored; } rows[] = {
        {true, false, true, true}, {false, false, false, false}, {true, true, true, false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HostState.ImmModule = nullptr, HostState.ImmAssociate = nullptr, HostState.SavedImmContext = nullptr;
        Platform.GetModuleHandleA = row.loaded ? GetModuleHandleA : NoModule;
        HWND window = CreateWindowExA(0, "InputMethodTest", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, 0);
        EXPECT_EQ(row.detached, HostState.SavedImmContext != nullptr);
        if (HostState.ImmAssociate)
            HostState.ImmAssociate = RecordRestore;
        if (row.contextLost)
            HostState.SavedImmContext = nullptr;
        Restored = false;
        DestroyWindow(window);
        EXPECT_EQ(row.restored, Restored);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // the loop would end
    }
}

} // namespace
