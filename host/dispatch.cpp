// The dispatch: one scan of the command-line tail decides the run mode, whose
// result becomes the process exit code. Nothing is created or loaded before
// the scan has decided, so every -1 leaves nothing behind.
#include "host/dispatch.h"

#include <commctrl.h>

#include "host/exception_guard.h"
#include "host/host_state.h"
#include "host/password_hooks.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"
#include "resources/resource_ids.h"
#include "settings/config_dialog.h"

DispatchModesRecord DispatchModes = {
    RunSaverWindow,
    RunConfigDialog,
    ChangeSaverPassword,
};

namespace {

const char *SkipSpaces(const char *position)
{
    // Spaces only: a tab before a handle means no handle.
    while (*position == ' ')
        ++position;
    return position;
}

// A handle named on the command line, or the foreground window instead.
HWND OwnerOrForeground(HWND handle)
{
    if (handle == nullptr || !IsWindow(handle))
        return GetForegroundWindow();
    return handle;
}

int32_t RunPreview(const char *afterLetter)
{
    HWND parent = ParseWindowHandle(SkipSpaces(afterLetter));
    if (parent == nullptr || !IsWindow(parent))
        return -1;
    return DispatchModes.RunSaverWindow(parent);
}

int32_t RunSettings(const char *afterLetter)
{
    HWND owner = nullptr;
    if (*afterLetter == ':')
        owner = ParseWindowHandle(afterLetter + 1);
    return DispatchModes.RunConfigDialog(OwnerOrForeground(owner));
}

int32_t RunChangePassword(const char *afterLetter)
{
    if (!HostState.IsWin9x)
        return -1;
    DispatchModes.ChangeSaverPassword(OwnerOrForeground(ParseWindowHandle(SkipSpaces(afterLetter))));
    return 0;
}

// The first byte that is not a separator decides; nothing after the decided
// command's own argument is read.
int32_t ScanCommandLine(const char *tail)
{
    for (const char *position = tail;; ++position) {
        switch (*position) {
        case ' ':
        case '-':
        case '/':
            break;
        case '\0':
            return DispatchModes.RunConfigDialog(nullptr);
        case 'S':
        case 's':
            return DispatchModes.RunSaverWindow(nullptr);
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return RunPreview(position + 1);
        case 'C':
        case 'c':
            return RunSettings(position + 1);
        case 'A':
        case 'a':
            return RunChangePassword(position + 1);
        default:
            return -1;
        }
    }
}

} // namespace

int32_t RunCommandLine(HINSTANCE instance, const char *tail)
{
    INITCOMMONCONTROLSEX controls = {8, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    HostState.Instance = instance;
    OSVERSIONINFOA version = {};
    static_assert(sizeof version == 148, "the ANSI version record");
    version.dwOSVersionInfoSize = sizeof version;
    HostState.IsWin9x = Platform.GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;

    // Only the scan and the mode it runs are guarded, not the two steps above.
    int32_t result = -1;
    if (!RunGuarded(ScanCommandLine, tail, &result)) {
        SetSaverRunning(0);
        result = -1;
    }
    return result;
}

HWND ParseWindowHandle(const char *text)
{
    // Unsigned 32-bit and wrapping: any number of digits gives some handle.
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

int32_t RunConfigDialog(HWND parent)
{
    if (!PrepareConfigDialog(HostState.Instance))
        return 0;
    return static_cast<int32_t>(
        DialogBoxParamA(HostState.Instance, MAKEINTRESOURCEA(IDD_CONFIG), parent, ConfigDialogProc, 0));
}
