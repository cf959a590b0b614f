// The settings dialog's procedure: shows the stored settings, follows the
// check boxes and radio buttons as they are clicked, and saves at OK. A save
// that fails keeps the dialog open, so a result of 1 always means saved.
#include "settings/config_dialog.h"

#include <commctrl.h>

#include "host/platform_seams.h"
#include "resources/resource_ids.h"
#include "settings/settings_store.h"

ConfigDialogRecord ConfigDialog;

namespace {

// Minimum in the low word, maximum in the high word.
const LPARAM SpeedRange = MAKELPARAM(1, 100);
const LPARAM StepRange = MAKELPARAM(1, 30);

// Flips only bit 0, so a stored value other than 0 and 1 keeps its other bits.
void FlipSetting(int32_t &setting)
{
    setting = static_cast<int32_t>(static_cast<uint32_t>(setting) ^ 1u);
}

// The check state is given the stored value as it is, not reduced to 0 or 1.
void ShowCheck(HWND dialog, int id, int32_t setting)
{
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, static_cast<WPARAM>(static_cast<uint32_t>(setting)), 0);
}

void InitConfigDialog(HWND dialog)
{
    LoadSettingNames();
    ReadSettings();
    // The range first: a position is clamped to the range in force when it is set.
    ConfigDialog.SpeedSlider = GetDlgItem(dialog, IDC_SPEED_SLIDER);
    SendDlgItemMessageA(dialog, IDC_SPEED_SLIDER, TBM_SETRANGE, 1, SpeedRange);
    SendDlgItemMessageA(dialog, IDC_SPEED_SLIDER, TBM_SETPOS, 1, SaverSettings.Speed);
    ConfigDialog.StepSlider = GetDlgItem(dialog, IDC_STEP_SLIDER);
    SendDlgItemMessageA(dialog, IDC_STEP_SLIDER, TBM_SETRANGE, 1, StepRange);
    SendDlgItemMessageA(dialog, IDC_STEP_SLIDER, TBM_SETPOS, 1, SaverSettings.Step);
    CheckDlgButton(dialog, SaverSettings.Mode != 0 ? IDC_SEQUENCE : IDC_RANDOM, BST_CHECKED);
    ShowCheck(dialog, IDC_RED, SaverSettings.R);
    ShowCheck(dialog, IDC_GREEN, SaverSettings.G);
    ShowCheck(dialog, IDC_BLUE, SaverSettings.B);
    ShowCheck(dialog, IDC_MIX, SaverSettings.Mix);
}

// Tells the user which file could not be written; the dialog stays open so
// that OK can be tried again or the dialog cancelled.
void ReportSaveFailure(HWND dialog)
{
    char directory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    if (length >= MAX_PATH) // too long for the buffer: name the file alone
        length = 0;
    directory[length] = '\0';
    // A drive's root already ends in a backslash.
    const char *separator = length == 0 || directory[length - 1] == '\\' ? "" : "\\";
    char text[MAX_PATH + 128];
    wsprintfA(text, "The settings could not be saved to %s%s%s.", directory, separator, SettingNames.FileName);
    Platform.MessageBoxA(dialog, text, "TENVARA", MB_ICONWARNING | MB_OK);
}

void SaveAndClose(HWND dialog)
{
    SaverSettings.Speed = static_cast<int32_t>(SendMessageA(ConfigDialog.SpeedSlider, TBM_GETPOS, 0, 0));
    SaverSettings.Step = static_cast<int32_t>(SendMessageA(ConfigDialog.StepSlider, TBM_GETPOS, 0, 0));
    if (!WriteSettings()) {
        ReportSaveFailure(dialog);
        return;
    }
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        SaveAndClose(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_RED:
        FlipSetting(SaverSettings.R);
        return FALSE;
    case IDC_GREEN:
        FlipSetting(SaverSettings.G);
        return FALSE;
    case IDC_BLUE:
        FlipSetting(SaverSettings.B);
        return FALSE;
    case IDC_RANDOM:
        SaverSettings.Mode = 0;
        return FALSE;
    case IDC_SEQUENCE:
        SaverSettings.Mode = 1;
        return FALSE;
    case IDC_MIX:
        FlipSetting(SaverSettings.Mix);
        return FALSE;
    }
    return FALSE;
}

} // namespace

BOOL PrepareConfigDialog(HINSTANCE)
{
    return 1;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitConfigDialog(dialog);
        return TRUE;                // focus to the first tab stop, OK
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}
