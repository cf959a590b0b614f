// The settings dialog, first created from the test's own resources against
// the real profile functions and the INI file of the test prefix and clicked
// through in process, then as a user meets it: the built saver started as its
// own process, a button of its dialog clicked, the exit code and the settings
// file read afterwards.
#include <gtest/gtest.h>

#include "host/platform_seams.h"
#include "resources/resource_ids.h"
#include "settings/config_dialog.h"
#include "tests/test_support.h"
#include <commctrl.h>

using namespace std::literals;

static HWND Dialog;
static std::string Boxes; // each message box as "owner caption type: text"

// The user reads the warning and clears the way before answering it.
static int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Boxes += (owner == Dialog ? "dialog " : "other ") + std::string(caption) + " " + std::to_string(type) + ": " + text;
    RemoveSettingsFile();
    return IDOK;
}

TEST(ConfigDialog, KeepsWhatItDoesNotSetAndSurvivesAFailedSave) {
    InitCommonControls();
    Platform.MessageBoxA = RecordMessageBox;
    // stored: the INI's section, empty for a directory in the file's place;
    // shown: Random, Sequence, Red, Green, Blue and Mix checked (1) or not.
    const struct { const char *stored, *shown; std::vector<int> presses; std::string file; } rows[] = {
        // Mode 5 and Mix 4294967295 survive OK unsigned, a click flips only bit 0 of R, Speed 0 and Step 40
        // are shown and saved at the ends of their sliders.
        {"Mode=5\0R=2\0Mix=4294967295\0Speed=0\0Step=40\0", "011011", {IDC_RED, IDOK},
         "Mode=5\0R=3\0Mix=4294967295\0Speed=1\0Step=30\0G=0\0B=1\0"s},
        // A failed save keeps the dialog open to try again; then all seven keys are written.
        {"", "100011", {IDC_GREEN, IDC_BLUE, IDC_MIX, IDC_SEQUENCE, IDOK, IDOK},
         "Speed=50\0Step=10\0Mode=1\0R=0\0G=1\0B=0\0Mix=0\0"s},
        // Random after Sequence is Random again; Speed 101 and Step 0 are saved at the sliders' other ends.
        {"Mode=1\0Speed=101\0Step=0\0", "010011", {IDC_SEQUENCE, IDC_RANDOM, IDOK},
         "Mode=0\0Speed=100\0Step=1\0R=0\0G=0\0B=1\0Mix=1\0"s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        const std::string path = RemoveSettingsFile();
        // The stored section, or a directory in the file's place.
        ASSERT_TRUE(*row.stored ? WritePrivateProfileSectionA("", row.stored, "TENVARA.ini")
                                : CreateDirectoryA(path.c_str(), nullptr));
        Dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG), nullptr, ConfigDialogProc, 0);
        std::string shown;
        for (int id : {IDC_RANDOM, IDC_SEQUENCE, IDC_RED, IDC_GREEN, IDC_BLUE, IDC_MIX})
            shown += char('0' + IsDlgButtonChecked(Dialog, id));
        EXPECT_EQ(row.shown, shown);
        // Ending the dialog hides it.
        for (const int &id : row.presses) {
            SendDlgItemMessageA(Dialog, id, BM_CLICK, 0, 0);
            EXPECT_EQ(&id != &row.presses.back(), IsWindowVisible(Dialog) != FALSE);
        }
        DestroyWindow(Dialog);
        char file[256];
        EXPECT_EQ(row.file, std::string(file, GetPrivateProfileSectionA("", file, sizeof file, "TENVARA.ini")));
    }
    EXPECT_EQ("dialog TENVARA 48: The settings could not be saved to " + RemoveSettingsFile() + ".", Boxes);
}

TEST(DialogEndToEnd, OkSavesAndEndsWithOneCancelEndsWithZero) {
    // What OK writes is checked in process above; the bare line and /c both
    // open the dialog.
    for (int button : {IDOK, IDCANCEL}) {
        const char *name = button == IDOK ? "OK" : "CANCEL";
        SCOPED_TRACE(name);
        const std::string path = RemoveSettingsFile();
        SaverProcess saver(button == IDOK ? "" : "/c");
        // Once the saver waits for input, its dialog is the active window.
        HWND dialog = ActiveWindowOf(saver);
        ASSERT_NE(nullptr, dialog) << "the dialog never appeared";
        PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        EXPECT_EQ(DWORD(button == IDOK), ExitCode(saver, name));
        EXPECT_EQ(button == IDOK, GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}
