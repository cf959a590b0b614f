// The settings dialog run modally from the test's own resources, driven from
// inside its loop by a message posted at initialisation, against the real
// profile functions and the INI file of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

#include "host/platform_seams.h"
#include "resources/resource_ids.h"
#include "settings/config_dialog.h"
#include "settings/settings_store.h"
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

// Pseudo ids for a user pressing End on a slider: moves it to its right end.
const int SpeedToEnd = -1115;
const int StepToEnd = -1116;

void Press(HWND dialog, int id)
{
    if (id < 0)
        SendMessageA(GetDlgItem(dialog, -id), WM_KEYDOWN, VK_END, 0);
    else
        SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// "Key=value ..." written through the profile functions, as the store reads it.
void StoreFixture(const std::string &fixture)
{
    size_t start = 0;
    while (start < fixture.size()) {
        size_t end = fixture.find(' ', start);
        std::string pair = fixture.substr(start, end - start);
        size_t equals = pair.find('=');
        WritePrivateProfileStringA("", pair.substr(0, equals).c_str(), pair.substr(equals + 1).c_str(),
                                   "TENVARA.ini");
        start = end == std::string::npos ? fixture.size() : end + 1;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
}

// The seven keys as the file holds them, "-" for a missing one.
std::string StoredValues()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
    std::string values;
    for (const char *key : {"Speed", "Step", "Mode", "R", "G", "B", "Mix"}) {
        char text[32];
        GetPrivateProfileStringA("", key, "-", text, sizeof text, "TENVARA.ini");
        values += (values.empty() ? "" : " ") + std::string(text);
    }
    return values;
}

bool SettingsFileExists()
{
    return GetFileAttributesA(SettingsFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
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
        RemoveSettingsFile();
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

TEST_F(ConfigDialogTest, ShowsTheStoredSettings)
{
    struct Row {
        const char *stored;
        LRESULT speed, step;
        UINT random, sequence, red, green, blue, mix;
    };
    const Row rows[] = {
        {"", 50, 10, BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_CHECKED},
        // Out of range: shown at the nearer end of each slider.
        {"Speed=0 Step=99 Mode=5 R=1 G=1 B=0 Mix=0", 1, 30, BST_UNCHECKED, BST_CHECKED, BST_CHECKED,
         BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.stored);
        RemoveSettingsFile();
        StoreFixture(row.stored);
        Row shown = {};
        RunDialog([&](HWND dialog) {
            shown.speed = SendDlgItemMessageA(dialog, IDC_SPEED_SLIDER, TBM_GETPOS, 0, 0);
            shown.step = SendDlgItemMessageA(dialog, IDC_STEP_SLIDER, TBM_GETPOS, 0, 0);
            shown.random = IsDlgButtonChecked(dialog, IDC_RANDOM);
            shown.sequence = IsDlgButtonChecked(dialog, IDC_SEQUENCE);
            shown.red = IsDlgButtonChecked(dialog, IDC_RED);
            shown.green = IsDlgButtonChecked(dialog, IDC_GREEN);
            shown.blue = IsDlgButtonChecked(dialog, IDC_BLUE);
            shown.mix = IsDlgButtonChecked(dialog, IDC_MIX);
            EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus());
            Press(dialog, IDCANCEL);
        });
        EXPECT_EQ(row.speed, shown.speed);
        EXPECT_EQ(row.step, shown.step);
        EXPECT_EQ(row.random, shown.random);
        EXPECT_EQ(row.sequence, shown.sequence);
        EXPECT_EQ(row.red, shown.red);
        EXPECT_EQ(row.green, shown.green);
        EXPECT_EQ(row.blue, shown.blue);
        EXPECT_EQ(row.mix, shown.mix);
    }
}

TEST_F(ConfigDialogTest, SavesOnlyAtOk)
{
    struct Row {
        const char *name;
        const char *stored;
        std::vector<int> presses;
        INT_PTR result;
        const char *file; // the seven values afterwards; nullptr: no file at all
    };
    const Row rows[] = {
        {"ok without changes", "", {IDOK}, 1, "50 10 0 0 0 1 1"},
        {"cancel after clicks and slides", "", {IDC_RED, IDC_SEQUENCE, SpeedToEnd, IDCANCEL}, 0, nullptr},
        {"cancel keeps a file", "Speed=7 R=1", {IDC_RED, IDC_MIX, IDCANCEL}, 0, "7 - - 1 - - -"},
        {"odd values survive", "Mode=5 R=2 Mix=6", {IDOK}, 1, "50 10 5 2 0 1 6"},
        {"one click flips bit 0", "R=2 G=1", {IDC_RED, IDC_GREEN, IDOK}, 1, "50 10 0 3 0 1 1"},
        {"two clicks undo", "", {IDC_BLUE, IDC_BLUE, IDC_MIX, IDC_MIX, IDOK}, 1, "50 10 0 0 0 1 1"},
        {"last radio counts", "Mode=5", {IDC_SEQUENCE, IDC_RANDOM, IDOK}, 1, "50 10 0 0 0 1 1"},
        {"sequence is 1", "Mode=5", {IDC_RANDOM, IDC_SEQUENCE, IDOK}, 1, "50 10 1 0 0 1 1"},
        {"speed 0 saved as 1", "Speed=0 Step=0", {IDOK}, 1, "1 1 0 0 0 1 1"},
        {"sliders at their right ends", "", {SpeedToEnd, StepToEnd, IDOK}, 1, "100 30 0 0 0 1 1"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RemoveSettingsFile();
        StoreFixture(row.stored);
        INT_PTR result = RunDialog([&](HWND dialog) {
            for (int id : row.presses)
                Press(dialog, id);
        });
        EXPECT_EQ(row.result, result);
        if (row.file)
            EXPECT_EQ(row.file, StoredValues());
        else
            EXPECT_FALSE(SettingsFileExists());
    }
    EXPECT_TRUE(MessageBoxes.empty());
}

// A failed save must not end the dialog as if it had worked: the user is told
// where it failed and can try again or cancel.
TEST_F(ConfigDialogTest, FailedSaveKeepsTheDialogOpen)
{
    struct Row {
        const char *name;
        bool directoryInTheWay; // else the file is held open without sharing
        int then;               // pressed after the obstacle is gone
        INT_PTR result;
        const char *file;
    };
    const Row rows[] = {
        {"directory, then OK again", true, IDOK, 1, "50 10 0 1 0 1 1"},
        {"locked file, then cancel", false, IDCANCEL, 0, nullptr},
    };
    const std::string path = SettingsFilePath();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RemoveSettingsFile();
        MessageBoxes.clear();
        HANDLE locked = INVALID_HANDLE_VALUE;
        if (row.directoryInTheWay)
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        else
            locked = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
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
        ASSERT_EQ(1u, MessageBoxes.size());
        EXPECT_EQ(dialogWindow, MessageBoxes[0].owner);
        EXPECT_EQ("The settings could not be saved to " + path + ".", MessageBoxes[0].text);
        EXPECT_EQ("TENVARA", MessageBoxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_OK), MessageBoxes[0].type);
        if (row.file)
            EXPECT_EQ(row.file, StoredValues());
        else
            EXPECT_FALSE(SettingsFileExists());
    }
}
