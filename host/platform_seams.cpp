#include "host/platform_seams.h"

PlatformSeamsRecord Platform = {
    ::GetTickCount,
    ::GetCursorPos,
    ::GetSystemPowerStatus,
    ::GetModuleHandleA,
    ::MessageBoxA,
    ::UnhandledExceptionFilter,
    ::GetVersionExA,
    ::SetTimer,
    ::CreateSolidBrush,
    ::CreateCompatibleBitmap,
};
