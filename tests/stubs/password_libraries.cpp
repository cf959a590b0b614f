// Test stand-in for the Windows 95/98/Me password libraries, one DLL under both
// names the saver loads: PASSWORD.CPL, which Wine does not have, and MPR.DLL.
#include <windows.h>

// Lets every close through, and notes each question in an environment variable
// of the process, which outlives the library: a digit per question, 1 when the
// system's screen-saver-running flag was up as it was asked.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND) {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    char asked[16] = "";
    GetEnvironmentVariableA("TENVARA_VERIFIER_ASKED", asked, sizeof asked - 1);
    lstrcatA(asked, running ? "1" : "0");
    SetEnvironmentVariableA("TENVARA_VERIFIER_ASKED", asked);
    return 1;
}

// Posts WM_APP to the parent of the change-password call, with 1 when the
// other arguments are the saver's, so that the test can see what was passed
// across the stdcall boundary.
extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2) {
    PostMessageA(parent, WM_APP, !lstrcmpA(provider, "SCRSAVE") && !reserved1 && !reserved2, 0);
    return 0;
}
