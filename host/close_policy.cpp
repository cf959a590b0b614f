// Placeholder until the close policy lands: everything ends in the default
// handling, so the window closes as any window does.
#include "host/close_policy.h"

LRESULT SaverDefaultHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ConfirmClose(HWND)
{
    return 1;
}
