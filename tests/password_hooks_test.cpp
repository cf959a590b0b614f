// The password hooks against the test prefix's registry and the stand-in
// PASSWORD.CPL and MPR.DLL built beside this executable (ctest runs it with
// WINEDLLOVERRIDES including mpr=n, or Wine's own MPR.DLL is taken).
#include <gtest/gtest.h>

#include "host/host_state.h"
#include "host/password_hooks.h"

namespace {

HWND const SomeWindow = reinterpret_cast<HWND>(0x1234);

BOOL SaverRunning()
{
    BOOL running = -1;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
}

template <typename F> F Export(HMODULE module, const char *name)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

TEST(PasswordHooks, VerifierRunningFlagAndChangeDialog)
{
    // ScreenSaveUsePassword as REG_BINARY, size bytes of data; none when 0
    const struct { int32_t win9x; BYTE data[5]; DWORD size; bool loads; } rows[] = {
        {1, {0}, 4, false}, {1, {1}, 4, true}, {1, {0, 0, 0, 1}, 4, true}, {1, {1}, 1, true}, {1, {1}, 5, false},
        {0, {1}, 4, false}, {1, {1}, 0, false}};
    HKEY desktop;
    RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop);
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        HostState.IsWin9x = row.win9x;
        RegDeleteValueA(desktop, "ScreenSaveUsePassword");
        if (row.size)
            RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_BINARY, row.data, row.size);
        LoadPasswordVerifier();
        LoadPasswordVerifier(); // a reload lets go of the first load
        ASSERT_EQ(row.loads, HostState.PasswordVerifier != nullptr);
        EXPECT_EQ(row.loads, SaverRunning() != 0);
        if (row.loads) {
            EXPECT_EQ(7, HostState.PasswordVerifier(SomeWindow)); // the stand-in's answer, passed on as is
            EXPECT_EQ(SomeWindow, Export<HWND(WINAPI *)()>(HostState.PasswordModule, "StandInLastWindow")());
        }
        UnloadPasswordVerifier();
        EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
        EXPECT_FALSE(SaverRunning());
    }
    HMODULE mpr = LoadLibraryA("MPR.DLL"); // held so that the stand-in's record outlives the saver's FreeLibrary
    auto lastParent = Export<HWND(WINAPI *)()>(mpr, "StandInLastCall");
    ASSERT_NE(nullptr, lastParent) << "Wine's own MPR.DLL was loaded: run with WINEDLLOVERRIDES=mpr=n";
    ChangeSaverPassword(SomeWindow);
    EXPECT_EQ(SomeWindow, lastParent()); // and none unless the provider was "SCRSAVE" and both reserved arguments 0
}

} // namespace
