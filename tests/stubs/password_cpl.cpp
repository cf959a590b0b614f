// Test stand-in for PASSWORD.CPL, which exists only on Windows 95/98/Me: the
// hooks need a library that exports the verifier by its plain name.
#include <windows.h>

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    return 1;
}
