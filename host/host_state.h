// The saver host's one process-wide record: what start-up learned, the saver
// window and its mode, the close protocol, the input-watch anchor and the
// system libraries found or loaded at run time.
#pragma once

#include <windows.h>
#include <imm.h>
#include <stdint.h>

// Both are stdcall exports of system libraries; a cdecl pointer would leave
// the i686 stack unbalanced after every call.
typedef BOOL(WINAPI *VerifyScreenSavePwdProc)(HWND window);
typedef HIMC(WINAPI *ImmAssociateContextProc)(HWND window, HIMC context);

struct HostStateRecord {
    HINSTANCE Instance;
    int32_t IsWin9x;
    HWND SaverWindow;
    int32_t IsPreview;
    uint8_t AcLineStatus;
    UINT AutoPlayMessage;
    HMODULE PasswordModule;
    VerifyScreenSavePwdProc PasswordVerifier;
    int32_t CloseAllowed;
    int32_t Verifying;
    uint32_t LastVerifyTick;
    uint32_t MouseThreshold;
    POINT LastCursorPos;
    HMODULE ImmModule;
    ImmAssociateContextProc ImmAssociate;
    HIMC SavedImmContext;
};

// 0xFFFFFFFF in LastVerifyTick: no verification has ended yet.
const uint32_t NeverVerified = 0xFFFFFFFFu;

extern HostStateRecord HostState;
