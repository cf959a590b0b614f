// The password hooks against the test prefix's registry and the stand-in
// PASSWORD.CPL and MPR.DLL built beside this executable (ctest runs it with
// WINEDLLOVERRIDES including mpr=n, or Wine's own MPR.DLL is taken).
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/password_hooks.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

TEST(PasswordHooks, VerifierRunningFlagAndChangeDialog) {
    // ScreenSaveUsePassword as REG_BINARY, size bytes of data (none when 0), on Windows 9x unless on NT. A row that
    // loads is followed by one that does not, to see the flag cleared. Each row loads twice, as a second start would:
    // the second load gives the first library back first, so one unload leaves none loaded.
    const struct { BYTE data[5]; DWORD size; bool nt = false, loads = false; } rows[] = {
        {.data = {1}, .size = 4, .nt = true}, {.data = {0}, .size = 4}, {.data = {0, 0, 0, 1}, .size = 4, .loads = true},
        {.data = {1}, .size = 5}, {.data = {1}, .size = 1, .loads = true}, {.data = {0}, .size = 1}, {.data = {1}}};
    HKEY desktop;
    RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop);
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        RegDeleteValueA(desktop, "ScreenSaveUsePassword");
        if (row.size)
            RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_BINARY, row.data, row.size);
        HostState.IsWin9x = !row.nt;
        LoadPasswordVerifier();
        LoadPasswordVerifier();
        BOOL running = -1;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        EXPECT_EQ(std::make_pair(row.loads, row.loads), std::make_pair(bool(HostState.PasswordVerifier), running != 0));
        UnloadPasswordVerifier();
        EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    }
    // A whole full-screen run with the password on: a key pressed as the effect
    // starts its timer, the stand-in verifier lets the close through, and the
    // run ends with the verifier unloaded.
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_BINARY, rows[2].data, 4);
    Platform.SetTimer = [](HWND window, UINT_PTR id, UINT, TIMERPROC) -> UINT_PTR WINAPI {
        PostMessageA(window, WM_KEYDOWN, 'A', 0);
        return id;
    };
    EXPECT_EQ(0, RunSaverWindow(nullptr));
    EXPECT_EQ(nullptr, HostState.PasswordModule);
    // The stand-in answers a call with the saver's arguments with a message;
    // Wine's own MPR.DLL would send none.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ChangeSaverPassword(parent);
    MSG answer;
    EXPECT_TRUE(PeekMessageA(&answer, parent, WM_APP, WM_APP, PM_REMOVE) && answer.wParam == 1);
}
