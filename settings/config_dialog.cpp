// Placeholder until the settings dialog lands.
#include "settings/config_dialog.h"

BOOL PrepareConfigDialog(HINSTANCE)
{
    return 1;
}

INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
