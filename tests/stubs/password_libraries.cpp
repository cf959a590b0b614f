// Test stand-in for the Windows 95/98/Me password libraries, one DLL under both
// names the saver loads: PASSWORD.CPL, which Wine does not have, and MPR.DLL.
#include <windows.h>

// The hooks only need the verifier found by its plain name.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND) {
    return 1;
}

// Posts WM_APP to the parent of the change-password call, with 1 when the
// other arguments are the saver's, so that the test can see what was passed
// across the stdcall boundary.
extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2) {
    PostMessageA(parent, WM_APP, !lstrcmpA(provider, "SCRSAVE") && !reserved1 && !reserved2, 0);
    return 0;
}
