// The password hooks against the test prefix's registry and the stand-in
// PASSWORD.CPL and MPR.DLL built beside this executable (ctest runs it with
// WINEDLLOVERRIDES including mpr=n, or Wine's own MPR.DLL is taken).
#include <gtest/gtest.h>

#include <vector>

#include "host/host_state.h"
#include "host/password_hooks.h"

namespace {

HWND const SomeWindow = reinterpret_cast<HWND>(0x1234);

void SetUsePassword(DWORD type, std::vector<BYTE> data)
{
    HKEY desktop;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &desktop,
                    nullptr);
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
    if (!data.empty())
        RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(desktop);
}

BOOL SaverRunning()
{
    BOOL running = -1;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
}

template <typename Function> Function Export(HMODULE module, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

TEST(PasswordHooks, VerifierLoadedOnlyWhenThePasswordIsOn)
{
    // data: the value as REG_BINARY, or none when empty
    const struct { const char *name; int32_t win9x; std::vector<BYTE> data; bool loads; } rows[] = {
        {"missing", 1, {}, false}, {"0", 1, {0, 0, 0, 0}, false}, {"1", 1, {1, 0, 0, 0}, true},
        {"high byte", 1, {0, 0, 0, 1}, true}, {"longer than 4 bytes", 1, {1, 0, 0, 0, 0}, false},
        {"one byte 1", 1, {1}, true}, {"1, not 9x", 0, {1, 0, 0, 0}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        HostState.IsWin9x = row.win9x;
        SetUsePassword(REG_BINARY, row.data);
        LoadPasswordVerifier();
        ASSERT_EQ(row.loads, HostState.PasswordVerifier != nullptr);
        EXPECT_EQ(row.loads, SaverRunning() != 0);
        if (row.loads) {
            EXPECT_EQ(7, HostState.PasswordVerifier(SomeWindow)); // the stand-in's answer
            EXPECT_EQ(SomeWindow, Export<HWND(WINAPI *)()>(HostState.PasswordModule, "StandInLastWindow")());
        }
        UnloadPasswordVerifier();
        EXPECT_EQ(nullptr, HostState.PasswordVerifier);
        EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
        EXPECT_FALSE(SaverRunning());
    }
}

TEST(PasswordHooks, ReloadLetsGoOfTheFirstLoad)
{
    HostState.IsWin9x = 1;
    SetUsePassword(REG_DWORD, {1, 0, 0, 0});
    LoadPasswordVerifier();
    LoadPasswordVerifier();
    UnloadPasswordVerifier();
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    SetUsePassword(REG_DWORD, {});
}

TEST(PasswordHooks, RunningFlagOnlyOn9x)
{
    for (int32_t win9x : {0, 1}) {
        HostState.IsWin9x = win9x;
        SetSaverRunning(1);
        EXPECT_EQ(win9x, SaverRunning());
        SetSaverRunning(0);
    }
}

TEST(PasswordHooks, ChangePasswordCallsMpr)
{
    // Held here so that the stand-in's record outlives the saver's FreeLibrary.
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    auto lastCall = Export<BOOL(WINAPI *)(char *, HWND *)>(mpr, "StandInLastCall");
    ASSERT_NE(nullptr, lastCall) << "Wine's own MPR.DLL was loaded: run with WINEDLLOVERRIDES=mpr=n";
    ChangeSaverPassword(SomeWindow);
    char provider[16] = "";
    HWND parent = nullptr;
    EXPECT_TRUE(lastCall(provider, &parent)); // both reserved arguments 0
    EXPECT_STREQ("SCRSAVE", provider);
    EXPECT_EQ(SomeWindow, parent);
    FreeLibrary(mpr);
}

} // namespace
