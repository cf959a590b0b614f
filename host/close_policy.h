// The last layer of the saver window: watches input and power events, posts
// WM_CLOSE, confirms closing with the password verifier, answers AutoPlay.
#pragma once

#include <windows.h>
#include <stdint.h>

// The verification request that ConfirmClose sends to the saver window.
const UINT VerifyRequestMessage = WM_APP;

LRESULT SaverDefaultHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ConfirmClose(HWND window);

// The AC line status as the power query reports it, 0xFF when the query fails.
uint8_t QueryAcLineStatus();
