// The Windows 95/98/Me screen-saver password scheme: the verifier in
// PASSWORD.CPL, the change-password dialog in MPR.DLL, the running flag.
#pragma once

#include <windows.h>
#include <stdint.h>

void SetSaverRunning(uint32_t running);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void ChangeSaverPassword(HWND parent);
