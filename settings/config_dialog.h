// The modal settings dialog (template 2003): edits the process-wide settings
// in place and saves them only when OK is pressed.
#pragma once

#include <windows.h>

// The two sliders are read only at OK, so their handles outlive initialisation.
struct ConfigDialogRecord {
    HWND SpeedSlider;
    HWND StepSlider;
};

extern ConfigDialogRecord ConfigDialog;

BOOL PrepareConfigDialog(HINSTANCE instance);
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
