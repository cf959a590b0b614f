// The settings dialog as a user meets it: the built saver started as its own
// process, its dialog sent what a click or a key sends, the exit code and the
// settings file read afterwards.
#include <gtest/gtest.h>

#include "tests/test_support.h"

using namespace std::literals;

TEST(DialogEndToEnd, ExitCodeAndFileForEachWayOut)
{
    // The message goes to the button, or with 0 to the dialog itself.
    struct Row { const char *tail; int button; UINT message; WPARAM key; DWORD exitCode; std::string file; };
    const std::string saved = "Speed=50\0Step=10\0Mode=0\0R=0\0G=0\0B=1\0Mix=1\0"s;
    const Row rows[] = {
        {"", IDOK, BM_CLICK, 0, 1, saved},
        {"/c", 0, WM_KEYDOWN, VK_RETURN, 1, saved},
        {"/c", IDCANCEL, BM_CLICK, 0, 0, ""},
        {"", 0, WM_KEYDOWN, VK_ESCAPE, 0, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(&row - rows);
        RemoveSettingsFile();
        PROCESS_INFORMATION process = StartSaver(row.tail);
        GUITHREADINFO shown = {};
        shown.cbSize = sizeof shown;
        // Until the dialog is the active window, or the saver has ended.
        for (int i = 0; i < 50 && !(GetGUIThreadInfo(process.dwThreadId, &shown) && shown.hwndActive); ++i)
            WaitForSingleObject(process.hProcess, 200);
        PostMessageA(row.button ? GetDlgItem(shown.hwndActive, row.button) : shown.hwndActive, row.message, row.key, 0);
        EXPECT_EQ(row.exitCode, WaitForSaver(process));
        char file[256];
        EXPECT_EQ(row.file, std::string(file, GetPrivateProfileSectionA("", file, sizeof file, "TENVARA.ini")));
    }
}
