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

// Start-up skips the program's name; then the first non-separator decides the mode.
TEST(Dispatch, ProgramNameSkippedAndTheFirstNonSeparatorDecides) {
    const struct { const char *line, *tail; } names[] = {{"\"C:\\My Savers\\TENVARA.scr\" /s", "/s"},
        {"\"C:\\My Savers\\TENVARA.scr /s", ""}, {"TENVARA.scr\t/s", "/s"}, {"T\xC9NVARA.scr \t /p 12", "/p 12"}};
    for (const auto &row : names)
        EXPECT_STREQ(row.tail, SkipProgramName(row.line)) << row.line;
    DispatchModes = {[](HWND parent) { Calls.push_back({Saver, parent}); return int32_t(Saver); },
                     [](HWND parent) { Calls.push_back({Dialog, parent}); return int32_t(Dialog); },
                     [](HWND parent) { Calls.push_back({Password, parent}); }};
    Platform.GetVersionExA = Version;
    // F: the foreground window; H: a live window that is not, named by h with 2^32
    // added, since handles wrap modulo 2^32; 1 names no window.
    HWND const N = nullptr, H = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, 0),
               F = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr, nullptr, 0);
    ASSERT_TRUE(SetForegroundWindow(F));
    const std::string h = std::to_string((reinterpret_cast<uintptr_t>(H) & 0xFFFFFFFFu) + 0x100000000ull);
    const struct { std::string tail; bool win98; Mode mode; HWND parent; } rows[] = {
        {" - / --", 0, Dialog, N}, {"/S", 0, Saver, N}, {"-screen /p " + h, 0, Saver, N}, {"\t/s", 0, None, N},
        {"/L " + h + ":", 0, Saver, H}, {"/p" + h, 0, Saver, H}, {"/P " + h, 0, Saver, H}, {"/p\t" + h, 0, None, N},
        {"/p:" + h, 0, None, N}, {"/l " + h, 0, Saver, H}, {"/p 1", 0, None, N}, {"/c " + h, 0, Dialog, F},
        {"/C:" + h, 0, Dialog, H}, {"/c: " + h, 0, Dialog, F}, {"/c:1", 0, Dialog, F}, {"/a " + h, 0, None, N},
        {"/A " + h, 1, Password, H}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.tail);
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
    const struct { LONG verdict; bool win98; int32_t result; BOOL running; } rows[] = {
        {EXCEPTION_CONTINUE_EXECUTION, true, Saver, 1}, {EXCEPTION_EXECUTE_HANDLER, true, -1, 0},
        {EXCEPTION_EXECUTE_HANDLER, false, -1, 1}, {EXCEPTION_CONTINUE_SEARCH, true, None, 1}};
    for (const auto &row : rows) {
        PlatformId = row.win98 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
        Verdicts[Asked = 0] = row.verdict; // the filter is asked afresh, the dispatch's guard first
        int32_t result = None; // what the test's guard leaves when its handler ran
        RunGuarded([](const char *tail) { return RunCommandLine(GetModuleHandleA(nullptr), tail); }, "/s", &result);
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &Running, 0);
        EXPECT_EQ(std::make_tuple(row.result, row.running), std::make_tuple(result, Running)) << "verdict " << row.verdict;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &Running, 0); // Wine keeps it for the whole session
    }
}
