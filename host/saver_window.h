// The saver run: the single window (full screen or preview child), its
// first-layer window procedure and the message loop.
#pragma once

#include <windows.h>
#include <stdint.h>

int32_t RunSaverWindow(HWND parent);
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
