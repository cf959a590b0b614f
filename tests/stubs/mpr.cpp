// Test stand-in for MPR.DLL: posts WM_APP to the parent of the change-password
// call when the other arguments are the saver's, so that the test can see what
// was passed across the stdcall boundary.
#include <windows.h>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2)
{
    if (lstrcmpA(provider, "SCRSAVE") == 0 && reserved1 == 0 && reserved2 == nullptr)
        PostMessageA(parent, WM_APP, 0, 0);
    return 0;
}
