// The start-up's name skipping, the handle reader, the command-line table and
// the exception guard around the dispatched mode. Each test sets every seam it
// relies on; nothing else runs in this process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dispatch.h"
#include "host/exception_guard.h"
#include "host/password_hooks.h"
#include "host/platform_seams.h"

// Each mode's stand-in gives a result of its own, which the dispatch passes on.
enum Mode { None = -1, Password = 0, Saver = 7, Dialog = 11 };
std::vector<std::pair<Mode, HWND>> Calls;
DWORD PlatformId;
BOOL WINAPI Version(LPOSVERSIONINFOA version) { return version->dwPlatformId = PlatformId; }

TEST(Dispatch, StartUpSkipsTheProgramsName) {
    const struct { const char *name, *line, *tail; } rows[] = {
        {.name = "a quoted name with a space", .line = "\"C:\\My Savers\\TENVARA.scr\" /s", .tail = "/s"},
        {.name = "an unclosed quote", .line = "\"C:\\My Savers\\TENVARA.scr /s", .tail = ""},
        {.name = "a tab after the name", .line = "TENVARA.scr\t/s", .tail = "/s"},
        {.name = "a byte from 0x80 up in the name", .line = "T\xC9NVARA.scr \t /p 12", .tail = "/p 12"},
    };
    for (const auto &row : rows)
        EXPECT_STREQ(row.tail, SkipProgramName(row.line)) << "program names: " << row.name;
}

// The first non-separator decides the mode.
TEST(Dispatch, TheCommandLineDecidesTheModeAndItsWindow) {
    DispatchModes = {[](HWND parent) { Calls.push_back({Saver, parent}); return int32_t(Saver); },
                     [](HWND parent) { Calls.push_back({Dialog, parent}); return int32_t(Dialog); },
                     [](HWND parent) { Calls.push_back({Password, parent}); }};
    Platform.GetVersionExA = Version;
    // F: the foreground window; H: a live window that is not, named by h with 2^32
    // added, since handles wrap modulo 2^32; 1 names no window.
    HWND const H = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, 0),
               F = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr, nullptr, 0);
    ASSERT_TRUE(SetForegroundWindow(F));
    const std::string h = std::to_string((reinterpret_cast<uintptr_t>(H) & 0xFFFFFFFFu) + 0x100000000ull);
    const struct { const char *name; std::string tail; bool win98; Mode mode; HWND parent; } rows[] = {
        {.name = "separators only", .tail = " - / --", .mode = Dialog},
        {.name = "capital S", .tail = "/S", .mode = Saver},
        {.name = "s decides, the rest unread", .tail = "-screen /p " + h, .mode = Saver},
        {.name = "a leading tab", .tail = "\t/s", .mode = None},
        {.name = "capital L, a colon after the handle", .tail = "/L " + h + ":", .mode = Saver, .parent = H},
        {.name = "p and the handle together", .tail = "/p" + h, .mode = Saver, .parent = H},
        {.name = "capital P", .tail = "/P " + h, .mode = Saver, .parent = H},
        {.name = "a tab before the handle", .tail = "/p\t" + h, .mode = None},
        {.name = "a colon before the preview's handle", .tail = "/p:" + h, .mode = None},
        {.name = "l", .tail = "/l " + h, .mode = Saver, .parent = H},
        {.name = "a preview of no window", .tail = "/p 1", .mode = None},
        {.name = "c with a handle but no colon", .tail = "/c " + h, .mode = Dialog, .parent = F},
        {.name = "capital C, colon and handle", .tail = "/C:" + h, .mode = Dialog, .parent = H},
        {.name = "a space after the colon", .tail = "/c: " + h, .mode = Dialog, .parent = F},
        {.name = "c owned by no window", .tail = "/c:1", .mode = Dialog, .parent = F},
        {.name = "capital A on Windows 98", .tail = "/A " + h, .win98 = true, .mode = Password, .parent = H},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "command lines: " << row.name);
        Calls.clear();
        PlatformId = row.win98 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
        EXPECT_EQ(row.mode, RunCommandLine(GetModuleHandleA(nullptr), row.tail.c_str()));
        EXPECT_EQ((std::vector<std::pair<Mode, HWND>>(row.mode != None, {row.mode, row.parent})), Calls);
    }
}

// On Windows 98 the saver mode finds the system's running flag on, then
// faults. Continuing resumes the mode; running the handler gives -1 and lowers
// the flag, which only Windows 9x has; searching on leaves the exception to the
// next guard out, here the test's own, whose handler always runs.
LONG Verdicts[2] = {0, EXCEPTION_EXECUTE_HANDLER}; // in the order the filter is asked
int Asked;
BOOL Running; // the system's screen-saver-running flag as last set or read

TEST(ExceptionGuard, ObeysTheFiltersVerdict) {
    Platform.GetVersionExA = Version;
    Platform.UnhandledExceptionFilter = [](EXCEPTION_POINTERS *) -> LONG WINAPI { return Verdicts[Asked++]; };
    DispatchModes.RunSaverWindow = [](HWND) {
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &Running, 0);
        RaiseException(0xE0000042, 0, 0, nullptr);
        return int32_t(Saver);
    };
    const struct { const char *name; LONG verdict; bool win98; int32_t result; bool lowers; } rows[] = {
        {.name = "continue, Windows 98", .verdict = EXCEPTION_CONTINUE_EXECUTION, .win98 = true, .result = Saver},
        {.name = "handler, Windows 98", .verdict = EXCEPTION_EXECUTE_HANDLER, .win98 = true, .result = -1, .lowers = true},
        {.name = "handler, NT", .verdict = EXCEPTION_EXECUTE_HANDLER, .result = -1},
        {.name = "search on, Windows 98", .verdict = EXCEPTION_CONTINUE_SEARCH, .win98 = true, .result = None},
    };
    for (const auto &row : rows) {
        PlatformId = row.win98 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
        Verdicts[Asked = 0] = row.verdict; // the filter is asked afresh, the dispatch's guard first
        int32_t result = None; // what the test's guard leaves when its handler ran
        RunGuarded([](const char *tail) { return RunCommandLine(GetModuleHandleA(nullptr), tail); }, "/s", &result);
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &Running, 0);
        EXPECT_EQ(std::make_pair(row.result, row.lowers), std::make_pair(result, !Running)) << "verdicts: " << row.name;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &Running, 0); // Wine keeps it for the whole session
    }
}
