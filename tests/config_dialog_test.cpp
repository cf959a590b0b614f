// The settings dialog run modally from the test's own resources, driven from
// inside its loop by a message posted at initialisation, against the real
// profile functions and the INI file of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/platform_seams.h"
#include "resources/resource_ids.h"
#include "settings/config_dialog.h"
#include "tests/test_support.h"

namespace {

const UINT DriveMessage = WM_APP + 7;
std::function<void(HWND)> Drive;

// Passes everything to the real procedure and, once the dialog is up, runs
// the test's script inside the modal loop.
INT_PTR CALLBACK DrivenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == DriveMessage) {
        Drive(dialog);
        return TRUE;
    }
    INT_PTR result = ConfigDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(dialog, DriveMessage, 0, 0);
    return result;
}

INT_PTR RunDialog(std::function<void(HWND)> drive)
{
    Drive = drive;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG), nullptr, DrivenProc, 0);
}

// A negative id is the user pressing End on that slider: its right end.
void Press(HWND dialog, int id)
{
    if (id < 0)
        SendMessageA(GetDlgItem(dialog, -id), WM_KEYDOWN, VK_END, 0);
    else
        SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

const char *const Keys[] = {"Speed", "Step", "Mode", "R", "G", "B", "Mix"};

// The seven values as "Speed Step Mode R G B Mix", "-" for a missing key.
void StoreValues(const std::string &values)
{
    std::istringstream in(values);
    for (const char *key : Keys) {
        std::string value;
        if (in >> value && value != "-")
            WritePrivateProfileStringA("", key, value.c_str(), "TENVARA.ini");
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
}

std::string StoredValues()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
    if (GetFileAttributesA(SettingsFilePath().c_str()) == INVALID_FILE_ATTRIBUTES)
        return "no file";
    std::string values;
    for (const char *key : Keys) {
        char text[32];
        GetPrivateProfileStringA("", key, "-", text, sizeof text, "TENVARA.ini");
        values += (values.empty() ? "" : " ") + std::string(text);
    }
    return values;
}

// Slider positions, then the check marks of Random, Sequence, Red, Green,
// Blue and Mix.
std::string Shown(HWND dialog)
{
    std::string shown = std::to_string(SendDlgItemMessageA(dialog, IDC_SPEED_SLIDER, TBM_GETPOS, 0, 0)) + " " +
                        std::to_string(SendDlgItemMessageA(dialog, IDC_STEP_SLIDER, TBM_GETPOS, 0, 0)) + " ";
    for (int id : {IDC_RANDOM, IDC_SEQUENCE, IDC_RED, IDC_GREEN, IDC_BLUE, IDC_MIX})
        shown += std::to_string(IsDlgButtonChecked(dialog, id));
    return shown;
}

struct MessageBoxCall {
    HWND owner;
    std::string text, caption;
    UINT type;
};
std::vector<MessageBoxCall> MessageBoxes;

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    MessageBoxes.push_back({owner, text, caption, type});
    return IDOK;
}

class ConfigDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        UseTestModuleResources();
        saved = Platform;
        Platform.MessageBoxA = RecordMessageBox;
        MessageBoxes.clear();
    }
    void TearDown() override
    {
        Platform = saved;
        RemoveSettingsFile();
    }
    PlatformSeamsRecord saved;
};

} // namespace

TEST_F(ConfigDialogTest, ShowsStoredSettingsAndSavesOnlyAtOk)
{
    struct Row {
        const char *stored; // "" for no file
        const char *shown;
        std::vector<int> presses;
        INT_PTR result;
        const char *file;
    };
    const Row rows[] = {
        {"", "50 10 100011", {IDOK}, 1, "50 10 0 0 0 1 1"},
        {"", "50 10 100011", {IDC_RED, IDC_SEQUENCE, -IDC_SPEED_SLIDER, IDCANCEL}, 0, "no file"},
        {"7 - - 1 - - -", "7 10 101011", {IDC_RED, IDC_MIX, IDCANCEL}, 0, "7 - - 1 - - -"},
        // Values the dialog never sets survive OK untouched; a click flips bit 0.
        {"- - 5 2 0 1 6", "50 10 01X01X", {IDOK}, 1, "50 10 5 2 0 1 6"},
        {"- - - 2 1 - -", "50 10 10X111", {IDC_RED, IDC_GREEN, IDOK}, 1, "50 10 0 3 0 1 1"},
        {"", "50 10 100011", {IDC_BLUE, IDC_BLUE, IDC_MIX, IDC_MIX, IDOK}, 1, "50 10 0 0 0 1 1"},
        {"- - 5 - - - -", "50 10 010011", {IDC_SEQUENCE, IDC_RANDOM, IDOK}, 1, "50 10 0 0 0 1 1"},
        {"- - 5 - - - -", "50 10 010011", {IDC_RANDOM, IDC_SEQUENCE, IDOK}, 1, "50 10 1 0 0 1 1"},
        // Out of a slider's range: shown and saved at the nearer end.
        {"0 99 - - - - -", "1 30 100011", {IDOK}, 1, "1 30 0 0 0 1 1"},
        {"", "50 10 100011", {-IDC_SPEED_SLIDER, -IDC_STEP_SLIDER, IDOK}, 1, "100 30 0 0 0 1 1"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.stored) + " -> " + row.file);
        RemoveSettingsFile();
        StoreValues(row.stored);
        std::string shown;
        INT_PTR result = RunDialog([&](HWND dialog) {
            shown = Shown(dialog);
            EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus());
            for (int id : row.presses)
                Press(dialog, id);
        });
        // A check state of 2 reads back as the platform pleases.
        for (size_t i = 0; i < shown.size() && row.shown[i]; ++i)
            if (row.shown[i] == 'X')
                shown[i] = 'X';
        EXPECT_EQ(row.shown, shown);
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(row.file, StoredValues());
    }
    EXPECT_TRUE(MessageBoxes.empty());
}

// A failed save must not end the dialog as if it had worked: the user is told
// where it failed and can try again or cancel.
TEST_F(ConfigDialogTest, FailedSaveKeepsTheDialogOpen)
{
    struct Row {
        bool directoryInTheWay; // else the file is held open without sharing
        int then;               // pressed once the obstacle is gone
        INT_PTR result;
        const char *file;
    };
    const Row rows[] = {
        {true, IDOK, 1, "50 10 0 1 0 1 1"},
        {false, IDCANCEL, 0, "no file"},
    };
    const std::string path = SettingsFilePath();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.directoryInTheWay ? "directory" : "locked file");
        RemoveSettingsFile();
        MessageBoxes.clear();
        HANDLE locked = INVALID_HANDLE_VALUE;
        if (row.directoryInTheWay)
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        else
            locked = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        bool openAfterFailure = false;
        HWND dialogWindow = nullptr;
        INT_PTR result = RunDialog([&](HWND dialog) {
            dialogWindow = dialog;
            Press(dialog, IDC_RED);
            Press(dialog, IDOK);
            openAfterFailure = IsWindowVisible(dialog) != FALSE;
            if (locked != INVALID_HANDLE_VALUE)
                CloseHandle(locked);
            RemoveSettingsFile();
            Press(dialog, row.then);
        });
        EXPECT_TRUE(openAfterFailure);
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(row.file, StoredValues());
        ASSERT_EQ(1u, MessageBoxes.size());
        EXPECT_EQ(dialogWindow, MessageBoxes[0].owner);
        EXPECT_EQ("The settings could not be saved to " + path + ".", MessageBoxes[0].text);
        EXPECT_EQ("TENVARA", MessageBoxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_OK), MessageBoxes[0].type);
    }
}
