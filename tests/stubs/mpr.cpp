// Test stand-in for MPR.DLL: records the change-password call so that the test
// can check what was passed across the stdcall boundary.
#include <windows.h>

static char LastProvider[16];
static HWND LastParent;
static DWORD LastReserved = 0xFFFFFFFF;
static void *LastReservedPointer = &LastReserved;

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2)
{
    lstrcpynA(LastProvider, provider, sizeof LastProvider);
    LastParent = parent;
    LastReserved = reserved1;
    LastReservedPointer = reserved2;
    return 0;
}

extern "C" BOOL WINAPI StandInLastCall(char *provider, HWND *parent)
{
    lstrcpyA(provider, LastProvider);
    *parent = LastParent;
    return LastReserved == 0 && LastReservedPointer == nullptr;
}
