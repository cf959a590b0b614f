// The password hooks against the test prefix's registry and the stand-in
// PASSWORD.CPL and MPR.DLL built beside this executable (ctest runs it with
// WINEDLLOVERRIDES including mpr=n, or Wine's own MPR.DLL is taken).
#include <gtest/gtest.h>

#include "host/dispatch.h"
#include "host/host_state.h"
#include "host/password_hooks.h"
#include "host/platform_seams.h"

const HKEY Desktop = [] { HKEY key; RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key); return key; }();
BOOL RunningFlag() { BOOL running = -1; SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0); return running; }

// ScreenSaveUsePassword as REG_BINARY, size bytes of data (none when 0). Each
// row loads twice, as a second start would: the second load gives the first
// library back first, so one unload leaves none loaded and the flag down.
TEST(PasswordHooks, TheVerifierLoadsOnlyOnWindows9xWithThePasswordOn) {
    const struct { const char *name; BYTE data[5]; DWORD size; bool nt, loads; } rows[] = {
        {.name = "1 on NT", .data = {1}, .size = 4, .nt = true},
        {.name = "0 as four bytes", .data = {0}, .size = 4},
        {.name = "1 in the fourth byte", .data = {0, 0, 0, 1}, .size = 4, .loads = true},
        {.name = "five bytes", .data = {1}, .size = 5},
        {.name = "1 as one byte", .data = {1}, .size = 1, .loads = true},
        {.name = "0 as one byte", .data = {0}, .size = 1},
        {.name = "no value", .data = {1}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "ScreenSaveUsePassword " << row.name);
        RegDeleteValueA(Desktop, "ScreenSaveUsePassword");
        if (row.size)
            RegSetValueExA(Desktop, "ScreenSaveUsePassword", 0, REG_BINARY, row.data, row.size);
        HostState.IsWin9x = !row.nt;
        LoadPasswordVerifier();
        LoadPasswordVerifier();
        EXPECT_EQ(row.loads, HostState.PasswordVerifier != nullptr) << "verifier";
        EXPECT_EQ(row.loads, RunningFlag() != 0) << "running flag";
        UnloadPasswordVerifier();
        EXPECT_FALSE(GetModuleHandleA("PASSWORD.CPL") || RunningFlag()) << "library or flag left after the unload";
    }
}

BOOL WINAPI Windows98(LPOSVERSIONINFOA version) { return version->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS; }

// A whole full-screen run as Windows 98 sees it, with the password on: a key
// pressed as the effect starts its timer; the stand-in verifier asked once, at
// the close, with the running flag up; the flag down and the library gone after.
TEST(PasswordHooks, AWindows98FullScreenRunAsksTheVerifierAtTheClose) {
    RegSetValueExA(Desktop, "ScreenSaveUsePassword", 0, REG_BINARY, reinterpret_cast<const BYTE *>("\1\0\0"), 4);
    Platform.GetVersionExA = Windows98;
    Platform.SetTimer = [](HWND window, UINT_PTR id, UINT, TIMERPROC) -> UINT_PTR WINAPI {
        // Should the key not close the saver, the run still ends, with 1.
        SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) -> void WINAPI { PostQuitMessage(1); });
        return PostMessageA(window, WM_KEYDOWN, 'A', 0) ? id : 0;
    };
    EXPECT_EQ(0, RunCommandLine(GetModuleHandleA(nullptr), "/s"));
    char asked[16] = "";
    GetEnvironmentVariableA("TENVARA_VERIFIER_ASKED", asked, sizeof asked);
    EXPECT_STREQ("1", asked) << "a digit per question: 1 with the running flag up";
    EXPECT_FALSE(GetModuleHandleA("PASSWORD.CPL") || RunningFlag()) << "library or running flag left after the run";
}

// The stand-in answers a call with the saver's arguments with a message;
// Wine's own MPR.DLL would send none.
TEST(PasswordHooks, TheChangeDialogGetsTheSaversArguments) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ChangeSaverPassword(parent);
    MSG answer;
    EXPECT_TRUE(PeekMessageA(&answer, parent, WM_APP, WM_APP, PM_REMOVE) && answer.wParam == 1);
}
