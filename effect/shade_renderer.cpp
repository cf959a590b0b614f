// Placeholder until the renderer lands.
#include "effect/shade_renderer.h"

#include "host/close_policy.h"

ShadeSurfacesRecord ShadeSurfaces;

LRESULT EffectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverDefaultHandler(window, message, wParam, lParam);
}

void DrawShadedFrame(HWND) {}
