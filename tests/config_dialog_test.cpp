// The settings dialog run modally from the test's own resources against the
// real profile functions and the INI file of the test prefix, driven from
// inside its loop by a message posted at initialisation.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "host/platform_seams.h"
#include "resources/resource_ids.h"
#include "settings/config_dialog.h"
#include "tests/test_support.h"

using namespace std::literals;

// stored: the INI's section, null for a directory in the file's place; shown:
// Random, Sequence, Red, Green, Blue and Mix checked (X: any), Speed, Step.
struct Row { const char *stored, *shown; std::vector<int> presses; INT_PTR result; std::string file; };
static const Row *Current;
static std::string Shown, Boxes; // each message box as "owner caption type: text"

// Reads what the dialog shows, then presses the buttons: it must stay open
// after every press but the last.
static INT_PTR CALLBACK DrivenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        PostMessageA(dialog, WM_APP, 0, 0);
    if (message != WM_APP)
        return ConfigDialogProc(dialog, message, wParam, lParam);
    for (int id : {IDC_RANDOM, IDC_SEQUENCE, IDC_RED, IDC_GREEN, IDC_BLUE, IDC_MIX})
        Shown += Current->shown[Shown.size()] == 'X' ? 'X' : char('0' + IsDlgButtonChecked(dialog, id));
    for (int id : {IDC_SPEED_SLIDER, IDC_STEP_SLIDER})
        Shown += " " + std::to_string(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
    EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus());
    for (const int &id : Current->presses) {
        SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
        EXPECT_EQ(&id != &Current->presses.back(), IsWindowVisible(dialog) != FALSE);
    }
    return TRUE;
}

// The user reads the warning and clears the way before answering it. Only
// the settings dialog has the speed slider.
static int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Boxes += (GetDlgItem(owner, IDC_SPEED_SLIDER) ? "dialog " : "other ") + std::string(caption) + " " + std::to_string(type) + ": " + text;
    RemoveSettingsFile();
    return IDOK;
}

TEST(ConfigDialog, ShowsStoredSettingsAndSavesOnlyAtOk)
{
    InitCommonControls();
    UseTestModuleResources();
    Platform.MessageBoxA = RecordMessageBox;
    const Row rows[] = {
        {"", "100011 50 10", {IDOK}, 1, "Speed=50\0Step=10\0Mode=0\0R=0\0G=0\0B=1\0Mix=1\0"s},
        {"", "100011 50 10", {IDC_RED, IDC_SEQUENCE, IDCANCEL}, 0, ""},
        // Values the dialog never sets survive OK; a click flips only bit 0.
        {"Mode=5\0R=2\0G=0\0B=1\0Mix=6\0", "01X01X 50 10", {IDOK}, 1, "Mode=5\0R=2\0G=0\0B=1\0Mix=6\0Speed=50\0Step=10\0"s},
        {"Mode=5\0R=2\0G=1\0", "01X111 50 10", {IDC_RED, IDC_GREEN, IDC_RANDOM, IDOK}, 1, "Mode=0\0R=3\0G=0\0Speed=50\0Step=10\0B=1\0Mix=1\0"s},
        // Out of a slider's range: shown and saved at the nearer end.
        {"Speed=0\0Step=99\0", "100011 1 30", {IDOK}, 1, "Speed=1\0Step=30\0Mode=0\0R=0\0G=0\0B=1\0Mix=1\0"s},
        // A failed save keeps the dialog open to try again or cancel.
        {nullptr, "100011 50 10", {IDC_RED, IDC_SEQUENCE, IDOK, IDOK}, 1, "Speed=50\0Step=10\0Mode=1\0R=1\0G=0\0B=1\0Mix=1\0"s},
        {nullptr, "100011 50 10", {IDOK, IDCANCEL}, 0, ""},
    };
    const std::string path = SettingsFilePath();
    for (const Row &row : rows) {
        SCOPED_TRACE(&row - rows);
        RemoveSettingsFile();
        if (!row.stored)
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        else if (*row.stored)
            WritePrivateProfileSectionA("", row.stored, "TENVARA.ini");
        Current = &row;
        Shown = Boxes = "";
        EXPECT_EQ(row.result, DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG), nullptr, DrivenProc, 0));
        EXPECT_EQ(row.shown, Shown);
        EXPECT_EQ(row.stored ? "" : "dialog TENVARA 48: The settings could not be saved to " + path + ".", Boxes);
        char file[256];
        EXPECT_EQ(row.file, std::string(file, GetPrivateProfileSectionA("", file, sizeof file, "TENVARA.ini")));
    }
}
