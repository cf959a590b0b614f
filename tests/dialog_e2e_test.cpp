// The settings dialog as a user meets it: the built saver started as its own
// process, its dialog found among the process's windows and driven with the
// messages that clicks and keys produce, the exit code read afterwards.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string>

#include "resources/resource_ids.h"
#include "tests/test_support.h"

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    Search &search = *reinterpret_cast<Search *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == search.processId && IsWindowVisible(window) && std::string(className) == "#32770")
        search.found = window;
    return search.found == nullptr;
}

// The dialog once the saver's modal loop waits for input; null if the process
// ended or showed none.
HWND FindDialog(const PROCESS_INFORMATION &process)
{
    WaitForInputIdle(process.hProcess, 10000);
    Search search = {process.dwProcessId, nullptr};
    for (int attempt = 0; attempt < 50 && !search.found; ++attempt) {
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found && WaitForSingleObject(process.hProcess, 200) == WAIT_OBJECT_0)
            break;
    }
    return search.found;
}

std::string StoredValues()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
    if (GetFileAttributesA(SettingsFilePath().c_str()) == INVALID_FILE_ATTRIBUTES)
        return "no file";
    std::string values;
    for (const char *key : {"Speed", "Step", "Mode", "R", "G", "B", "Mix"}) {
        char text[32];
        GetPrivateProfileStringA("", key, "-", text, sizeof text, "TENVARA.ini");
        values += (values.empty() ? "" : " ") + std::string(text);
    }
    return values;
}

} // namespace

TEST(DialogEndToEnd, ShowsDefaultsAndSavesOnlyWhenConfirmed)
{
    struct Row {
        const char *tail;
        int button; // the message goes to this button, 0: to the dialog
        UINT message;
        WPARAM wParam;
        DWORD exitCode;
        const char *file;
    };
    const Row rows[] = {
        {"", IDOK, BM_CLICK, 0, 1, "50 10 0 0 0 1 1"},
        {"/c", 0, WM_KEYDOWN, VK_RETURN, 1, "50 10 0 0 0 1 1"},
        {"/c", IDCANCEL, BM_CLICK, 0, 0, "no file"},
        {"", 0, WM_KEYDOWN, VK_ESCAPE, 0, "no file"},
        {"/C", 0, WM_SYSCOMMAND, SC_CLOSE, 0, "no file"},
    };
    const std::string caption = "TENVARA V1.0(ShadeScreenSaver)";
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("\"") + row.tail + "\", message " + std::to_string(row.message) + " " +
                     std::to_string(row.wParam));
        RemoveSettingsFile();
        PROCESS_INFORMATION process = StartSaver(row.tail);
        HWND dialog = FindDialog(process);
        EXPECT_NE(nullptr, dialog);
        if (dialog) {
            // The Japanese ending reads as "?" on a Western code page.
            char text[64] = "";
            GetWindowTextA(dialog, text, sizeof text);
            EXPECT_EQ(caption, std::string(text).substr(0, caption.size()));
            std::string shown = std::to_string(SendDlgItemMessageA(dialog, IDC_SPEED_SLIDER, TBM_GETPOS, 0, 0)) +
                                " " + std::to_string(SendDlgItemMessageA(dialog, IDC_STEP_SLIDER, TBM_GETPOS, 0, 0));
            for (int id : {IDC_RANDOM, IDC_SEQUENCE, IDC_RED, IDC_GREEN, IDC_BLUE, IDC_MIX})
                shown += " " + std::to_string(IsDlgButtonChecked(dialog, id));
            EXPECT_EQ("50 10 1 0 0 0 1 1", shown);
            PostMessageA(row.button ? GetDlgItem(dialog, row.button) : dialog, row.message, row.wParam, 0);
        }
        EXPECT_EQ(row.exitCode, WaitForSaver(process));
        EXPECT_EQ(row.file, StoredValues());
    }
    RemoveSettingsFile();
}
