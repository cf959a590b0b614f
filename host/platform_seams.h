// The few platform calls a test must be able to steer or watch. Each
// pointer is the real Win32 call unless a test swaps it; production never does.
#pragma once

#include <windows.h>

struct PlatformSeamsRecord {
    DWORD(WINAPI *GetTickCount)(void);
    BOOL(WINAPI *GetCursorPos)(LPPOINT point);
    BOOL(WINAPI *GetSystemPowerStatus)(LPSYSTEM_POWER_STATUS status);
    HMODULE(WINAPI *GetModuleHandleA)(LPCSTR name);
    int(WINAPI *MessageBoxA)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    LONG(WINAPI *UnhandledExceptionFilter)(EXCEPTION_POINTERS *exception);
    BOOL(WINAPI *GetVersionExA)(LPOSVERSIONINFOA version);
    UINT_PTR(WINAPI *SetTimer)(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure);
    HBRUSH(WINAPI *CreateSolidBrush)(COLORREF colour);
};

extern PlatformSeamsRecord Platform;
