// Test stand-in for the Windows 95/98/Me password libraries, one DLL under both
// names the saver loads: PASSWORD.CPL, which Wine does not have, and MPR.DLL.
#include <windows.h>

// The hooks only need the verifier found by its plain name.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    return 1;
}

// Posts WM_APP to the parent of the change-password call when the other
// arguments are the saver's, so that the test can see what was passed across
// the stdcall boundary.
extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2)
{
    if (lstrcmpA(provider, "SCRSAVE") == 0 && reserved1 == 0 && reserved2 == nullptr)
        PostMessageA(parent, WM_APP, 0, 0);
    return 0;
}
