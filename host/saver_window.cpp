// Placeholder until the saver window lands.
#include "host/saver_window.h"

#include "effect/shade_renderer.h"

int32_t RunSaverWindow(HWND)
{
    return 0;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return EffectWindowProc(window, message, wParam, lParam);
}
