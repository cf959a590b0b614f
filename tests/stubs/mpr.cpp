// Test stand-in for MPR.DLL: records the parent of the change-password call,
// or none when the other arguments are not the saver's, so that the test can
// check what was passed across the stdcall boundary.
#include <windows.h>

static HWND LastParent;

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2)
{
    LastParent = lstrcmpA(provider, "SCRSAVE") == 0 && reserved1 == 0 && reserved2 == nullptr ? parent : nullptr;
    return 0;
}

extern "C" HWND WINAPI StandInLastCall() { return LastParent; }
