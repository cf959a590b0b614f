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
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &desktop, nullptr));
    if (data.empty())
        RegDeleteValueA(desktop, "ScreenSaveUsePassword");
    else
        RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(desktop);
}

BOOL SaverRunning()
{
    BOOL running = -1;
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
    return running;
}

void ResetHooks(int32_t win9x)
{
    HostState.IsWin9x = win9x;
    HostState.PasswordModule = nullptr;
    HostState.PasswordVerifier = nullptr;
    BOOL previous;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
}

template <typename Function> Function StandIn(HMODULE module, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

TEST(PasswordHooks, LoadsTheVerifierOnlyWhenThePasswordIsOn)
{
    const struct {
        const char *name;
        int32_t win9x;
        DWORD type;
        std::vector<BYTE> data;
        bool loads;
    } rows[] = {
        {"missing", 1, REG_DWORD, {}, false},
        {"0", 1, REG_DWORD, {0, 0, 0, 0}, false},
        {"1", 1, REG_DWORD, {1, 0, 0, 0}, true},
        {"high byte only", 1, REG_BINARY, {0, 0, 0, 1}, true},
        {"longer than 4 bytes", 1, REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}, false},
        {"one byte 1", 1, REG_BINARY, {1}, true},
        {"one byte 0", 1, REG_BINARY, {0}, false},
        {"1 but not 9x", 0, REG_DWORD, {1, 0, 0, 0}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ResetHooks(row.win9x);
        SetUsePassword(row.type, row.data);
        LoadPasswordVerifier();
        EXPECT_EQ(row.loads, HostState.PasswordModule != nullptr);
        EXPECT_EQ(row.loads, SaverRunning() != 0);
        if (row.loads) {
            ASSERT_NE(nullptr, HostState.PasswordVerifier);
            EXPECT_EQ(7, HostState.PasswordVerifier(SomeWindow));
            auto lastWindow = StandIn<HWND(WINAPI *)()>(HostState.PasswordModule, "StandInLastWindow");
            EXPECT_EQ(SomeWindow, lastWindow());
        }
        UnloadPasswordVerifier();
        EXPECT_EQ(nullptr, HostState.PasswordModule);
        EXPECT_EQ(nullptr, HostState.PasswordVerifier);
        EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
        EXPECT_FALSE(SaverRunning());
    }
}

TEST(PasswordHooks, ReloadUnloadsFirst)
{
    ResetHooks(1);
    SetUsePassword(REG_DWORD, {1, 0, 0, 0});
    LoadPasswordVerifier();
    LoadPasswordVerifier();
    UnloadPasswordVerifier(); // one unload frees it only if the reload let go first
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));

    LoadPasswordVerifier();
    SetUsePassword(REG_DWORD, {0, 0, 0, 0});
    LoadPasswordVerifier();
    EXPECT_EQ(nullptr, HostState.PasswordVerifier);
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    EXPECT_FALSE(SaverRunning());
    SetUsePassword(REG_DWORD, {});
}

TEST(PasswordHooks, RunningFlagOnlyOn9x)
{
    for (int32_t win9x : {0, 1}) {
        SCOPED_TRACE(win9x);
        ResetHooks(win9x);
        SetSaverRunning(1);
        EXPECT_EQ(win9x, SaverRunning());
        SetSaverRunning(0);
        EXPECT_FALSE(SaverRunning());
    }
}

TEST(PasswordHooks, ChangePasswordCallsMpr)
{
    // Held here so that the stand-in's record outlives the saver's FreeLibrary.
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    auto lastCall = StandIn<BOOL(WINAPI *)(char *, HWND *)>(mpr, "StandInLastCall");
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
