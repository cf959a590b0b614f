// Windows 95/98/Me lets a screen saver guard the session with a password: the
// verifier lives in PASSWORD.CPL, the change dialog in MPR.DLL. Both are found
// at run time; on any other platform none of this does anything.
#include "host/password_hooks.h"

#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

typedef DWORD(WINAPI *PwdChangePasswordProc)(LPCSTR provider, HWND parent, DWORD reserved1, void *reserved2);

// The user's "password protected" check box on the Screen Saver page.
bool PasswordTurnedOn(HKEY desktop)
{
    // A shorter value fills only the low bytes; the rest must not be leftovers.
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE *>(&value), &size) != ERROR_SUCCESS)
        return false;
    return value != 0;
}

} // namespace

void SetSaverRunning(uint32_t running)
{
    if (!HostState.IsWin9x)
        return;
    UINT previous = running;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
}

void LoadPasswordVerifier()
{
    if (!HostState.IsWin9x)
        return;
    if (HostState.PasswordModule != nullptr)
        UnloadPasswordVerifier();
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) != ERROR_SUCCESS)
        return;
    if (PasswordTurnedOn(desktop)) {
        HostState.PasswordModule = LoadLibraryA("PASSWORD.CPL");
        if (HostState.PasswordModule != nullptr) {
            HostState.PasswordVerifier =
                FindSystemCall<VerifyScreenSavePwdProc>(HostState.PasswordModule, "VerifyScreenSavePwd");
            // The running flag is what keeps Ctrl+Alt+Del from bypassing the
            // password, so it is raised only when there is a password to ask.
            if (HostState.PasswordVerifier != nullptr)
                SetSaverRunning(1);
            else
                UnloadPasswordVerifier();
        }
    }
    RegCloseKey(desktop);
}

void UnloadPasswordVerifier()
{
    if (!HostState.IsWin9x || HostState.PasswordModule == nullptr)
        return;
    FreeLibrary(HostState.PasswordModule);
    HostState.PasswordModule = nullptr;
    // Only a load that found the verifier raised the running flag.
    if (HostState.PasswordVerifier != nullptr) {
        HostState.PasswordVerifier = nullptr;
        SetSaverRunning(0);
    }
}

void ChangeSaverPassword(HWND parent)
{
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (mpr == nullptr)
        return;
    PwdChangePasswordProc change = FindSystemCall<PwdChangePasswordProc>(mpr, "PwdChangePasswordA");
    if (change != nullptr)
        change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(mpr);
}
