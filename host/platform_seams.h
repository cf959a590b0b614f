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
    HBITMAP(WINAPI *CreateCompatibleBitmap)(HDC context, int width, int height);
};

extern PlatformSeamsRecord Platform;

// A call found at run time, in a library loaded at run time or one that older
// Windows versions lack (so that the program still starts there): null when
// the module does not have it.
template <class Call> Call FindSystemCall(HMODULE module, const char *name)
{
    return reinterpret_cast<Call>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}
