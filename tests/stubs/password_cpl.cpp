// Test stand-in for PASSWORD.CPL: a verifier whose answer and caller the tests
// can read back, since the real library exists only on Windows 95/98/Me.
#include <windows.h>

static HWND LastWindow;

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    LastWindow = window;
    return 7; // any non-zero value allows closing; 7 shows it is passed on as is
}

extern "C" HWND WINAPI StandInLastWindow() { return LastWindow; }
