// The settings dialog as a user meets it: the built saver started as its own
// process, its dialog found among the process's windows and driven with the
// messages that keys and clicks produce, the exit code read afterwards.
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
    char className[16];
    if (owner == search.processId && IsWindowVisible(window) && GetClassNameA(window, className, sizeof className) &&
        std::string(className) == "#32770") {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// The dialog once the saver's modal loop waits for input; null if the process
// ended or showed nothing.
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
    std::string values;
    for (const char *key : {"Speed", "Step", "Mode", "R", "G", "B", "Mix"}) {
        char text[32];
        GetPrivateProfileStringA("", key, "-", text, sizeof text, "TENVARA.ini");
        values += (values.empty() ? "" : " ") + std::string(text);
    }
    return values;
}

enum Action { OkButton, CancelButton, EnterKey, EscKey, CloseBox };

void Perform(HWND dialog, Action action)
{
    switch (action) {
    case OkButton:
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        break;
    case CancelButton:
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case EnterKey:
        PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
        break;
    case EscKey:
        PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case CloseBox:
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

} // namespace

TEST(DialogEndToEnd, ShowsDefaultsAndSavesOnlyWhenConfirmed)
{
    struct Row {
        const char *tail;
        Action action;
        DWORD exitCode;
        const char *file; // the seven values afterwards; nullptr: no file
    };
    const Row rows[] = {
        {"", OkButton, 1, "50 10 0 0 0 1 1"},
        {"/c", EnterKey, 1, "50 10 0 0 0 1 1"},
        {"/c", CancelButton, 0, nullptr},
        {"", EscKey, 0, nullptr},
        {"/C", CloseBox, 0, nullptr},
    };
    const std::string caption = "TENVARA V1.0(ShadeScreenSaver)";
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("tail \"") + row.tail + "\", action " + std::to_string(row.action));
        RemoveSettingsFile();
        PROCESS_INFORMATION process = StartSaver(row.tail);
        HWND dialog = FindDialog(process);
        EXPECT_NE(nullptr, dialog);
        if (dialog) {
            // The Japanese ending reads as "?" on a Western code page.
            char text[64] = "";
            GetWindowTextA(dialog, text, sizeof text);
            EXPECT_EQ(caption, std::string(text).substr(0, caption.size()));
            EXPECT_EQ(50, SendDlgItemMessageA(dialog, IDC_SPEED_SLIDER, TBM_GETPOS, 0, 0));
            EXPECT_EQ(10, SendDlgItemMessageA(dialog, IDC_STEP_SLIDER, TBM_GETPOS, 0, 0));
            const UINT checks[][2] = {{IDC_RANDOM, BST_CHECKED}, {IDC_SEQUENCE, BST_UNCHECKED},
                                      {IDC_RED, BST_UNCHECKED},  {IDC_GREEN, BST_UNCHECKED},
                                      {IDC_BLUE, BST_CHECKED},   {IDC_MIX, BST_CHECKED}};
            for (const auto &check : checks)
                EXPECT_EQ(check[1], IsDlgButtonChecked(dialog, check[0])) << "control " << check[0];
            Perform(dialog, row.action);
        }
        EXPECT_EQ(row.exitCode, WaitForSaver(process));
        if (row.file)
            EXPECT_EQ(row.file, StoredValues());
        else
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SettingsFilePath().c_str()));
    }
    RemoveSettingsFile();
}
