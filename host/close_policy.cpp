// The last layer of every saver window message: user activity and power events
// post WM_CLOSE, and on Windows 95/98/Me the password verifier decides whether a
// close goes through. Everything ends in DefWindowProcA.
#include "host/close_policy.h"

#include <stdint.h>

#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

// Closes asked for within this many milliseconds of the last answer are
// refused without troubling the user with the password dialog again.
const uint32_t VerifyDebounceMs = 200;

const WPARAM PowerCriticalResume = 3; // WM_POWER's PWR_CRITICALRESUME
const LPARAM ResumeFromFailure = 1;   // PBTF_APMRESUMEFROMFAILURE

void PostClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// Travel is measured from the anchor, not from the last move, so that a
// slowly creeping cursor closes the saver as surely as a quick one.
void CheckCursorTravel(HWND window)
{
    POINT now = {0, 0};
    Platform.GetCursorPos(&now);
    uint32_t dx = static_cast<uint32_t>(now.x) - static_cast<uint32_t>(HostState.LastCursorPos.x);
    uint32_t dy = static_cast<uint32_t>(now.y) - static_cast<uint32_t>(HostState.LastCursorPos.y);
    if (static_cast<int32_t>(dx) < 0)
        dx = 0u - dx;
    if (static_cast<int32_t>(dy) < 0)
        dy = 0u - dy;
    if (dx + dy > HostState.MouseThreshold) {
        PostClose(window);
        HostState.LastCursorPos = now;
    }
}

// Only a change of the AC line status counts; any other status report is noise.
bool AcLineStatusChanged()
{
    uint8_t now = QueryAcLineStatus();
    bool changed = now != HostState.AcLineStatus;
    HostState.AcLineStatus = now;
    return changed;
}

bool PowerEventCloses(WPARAM event, LPARAM flags)
{
    switch (event) {
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMESTANDBY:
    case PBT_APMRESUMEAUTOMATIC:
        return (flags & ResumeFromFailure) == 0;
    case PBT_APMPOWERSTATUSCHANGE:
        return AcLineStatusChanged();
    }
    return true;
}

// The last question SaverDefaultHandler asks of a message, once previews,
// allowed closes, WM_CLOSE, the verification request, a question in progress
// and WM_SETCURSOR are dealt with: does it count as the user (or the system)
// wanting the screen back? Cursor hiding rides along here too.
bool ActivityCloses(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    case WM_MOUSEMOVE:
        CheckCursorTravel(window);
        return false;
    case WM_ACTIVATEAPP:
        return wParam == 0;
    case WM_POWER:
        return wParam == PowerCriticalResume;
    case WM_POWERBROADCAST:
        return PowerEventCloses(wParam, lParam);
    case WM_SHOWWINDOW:
        if (wParam != 0)
            SetCursor(nullptr);
        return false;
    }
    return false;
}

// AutoPlay is refused while a saver runs; it only says "cancel" when a
// password guards the session, since otherwise the user is about to be back.
LRESULT Finish(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HostState.AutoPlayMessage != 0 && message == HostState.AutoPlayMessage) {
        PostClose(window);
        return HostState.PasswordVerifier != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

uint8_t QueryAcLineStatus()
{
    SYSTEM_POWER_STATUS status;
    if (!Platform.GetSystemPowerStatus(&status))
        return 0xFF; // the platform's own value for a status it cannot tell
    return status.ACLineStatus;
}

LRESULT SaverDefaultHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HostState.IsPreview || HostState.CloseAllowed)
        return Finish(window, message, wParam, lParam);
    if (message == WM_CLOSE) {
        if (HostState.IsWin9x && ConfirmClose(window) == 0) {
            Platform.GetCursorPos(&HostState.LastCursorPos);
            return 0;
        }
        return Finish(window, message, wParam, lParam);
    }
    // Answered before the Verifying check: the request arrives while it is set.
    if (message == VerifyRequestMessage) {
        if (!HostState.IsWin9x)
            return Finish(window, message, wParam, lParam);
        if (HostState.PasswordVerifier == nullptr)
            return 1;
        return HostState.PasswordVerifier(window);
    }
    if (HostState.Verifying)
        return Finish(window, message, wParam, lParam);
    if (message == WM_SETCURSOR) {
        SetCursor(nullptr);
        return 1;
    }
    if (ActivityCloses(window, message, wParam, lParam))
        PostClose(window);
    return Finish(window, message, wParam, lParam);
}

LRESULT ConfirmClose(HWND window)
{
    // A close that arrives from inside the verifier's own dialog loop.
    if (HostState.Verifying)
        return 0;
    if (HostState.PasswordVerifier == nullptr) {
        HostState.CloseAllowed = 1;
        return 1;
    }
    uint32_t now = Platform.GetTickCount();
    if (HostState.LastVerifyTick != NeverVerified && now - HostState.LastVerifyTick < VerifyDebounceMs)
        return HostState.CloseAllowed;

    HostState.Verifying = 1;
    // Ticks queued while the saver waited would otherwise be drawn in a burst
    // behind the password dialog.
    MSG discarded;
    PeekMessageA(&discarded, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&discarded, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    LRESULT result = SendMessageA(window, VerifyRequestMessage, 0, 0);
    HostState.CloseAllowed = static_cast<int32_t>(result);
    HostState.Verifying = 0;
    if (result == 0)
        SetCursor(nullptr);
    // Counted from the end of the question, however long the user took.
    HostState.LastVerifyTick = Platform.GetTickCount();
    return HostState.CloseAllowed;
}
