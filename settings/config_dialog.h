// The modal settings dialog (template 2003) over the process-wide settings.
#pragma once

#include <windows.h>

BOOL PrepareConfigDialog(HINSTANCE instance);
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
