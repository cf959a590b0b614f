// The saver window's first layer at creation and destruction, called directly
// for a window of the test; its other rows run in the close policy's table.
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

// Wine always has IMM32.DLL loaded: the seam stands in for a system without it,
// and a recording stand-in, put in before destruction, sees what is given back.
HIMC GivenBack;
HIMC WINAPI RecordGivenBack(HWND, HIMC context) { return GivenBack = context, nullptr; }
HMODULE WINAPI NoModule(LPCSTR) { return nullptr; }

TEST(SaverWindow, InputMethodDetachedOnlyWhereLoadedAndGivenBack)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (bool loaded : {false, true}) {
        SCOPED_TRACE(loaded);
        Platform.GetModuleHandleA = loaded ? GetModuleHandleA : NoModule;
        HostWindowProc(window, WM_CREATE, 0, 0);
        const HIMC detached = HostState.SavedImmContext;
        EXPECT_EQ(loaded, detached != nullptr);
        GivenBack = nullptr;
        if (HostState.ImmAssociate)
            HostState.ImmAssociate = RecordGivenBack;
        HostWindowProc(window, WM_DESTROY, 0, 0);
        EXPECT_EQ(detached, GivenBack);
    }
}
