// The start-up's name skipping, the handle reader, the command-line table and
// the exception guard around the dispatched mode. Each test sets every seam it
// relies on; nothing else runs in this process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dispatch.h"
#include "host/exception_guard.h"
#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

TEST(StartUp, SkipsTheProgramNameAndReadsHandlesModulo2To32)
{
    const struct { const char *line, *tail; } names[] = {
        {"\"C:\\My Savers\\TENVARA.scr\" /s", "/s"}, {"\"C:\\My Savers\\TENVARA.scr /s", ""},
        {"TENVARA.scr\t/s", "/s"}, {"T\xC9NVARA.scr \t /p 12", "/p 12"}, {" /s", "/s"}, {"TENVARA.scr", ""}};
    for (const auto &row : names)
        EXPECT_STREQ(row.tail, SkipProgramName(row.line)) << row.line;
    const struct { const char *text; uintptr_t handle; } handles[] = {
        {"123 4", 123}, {"12:3", 12}, {"", 0}, {"-5", 0}, {" 5", 0}, {"\xB9" "5", 0},
        {"4294967295", 0xFFFFFFFFu}, {"4294967297", 1}, {"99999999999", 1215752191}};
    for (const auto &row : handles)
        EXPECT_EQ(row.handle, reinterpret_cast<uintptr_t>(ParseWindowHandle(row.text))) << row.text;
}

// Each mode's stand-in gives a result of its own, which the dispatch passes on.
enum Mode { None = -1, Password = 0, Saver = 7, Dialog = 11 };
std::vector<std::pair<Mode, HWND>> Calls;
DWORD PlatformId;

TEST(Dispatch, TheFirstNonSeparatorDecidesTheMode)
{
    DispatchModes = {[](HWND parent) { return Calls.push_back({Saver, parent}), int32_t(Saver); },
                     [](HWND parent) { return Calls.push_back({Dialog, parent}), int32_t(Dialog); },
                     [](HWND parent) { Calls.push_back({Password, parent}); }};
    Platform.GetVersionExA = [](LPOSVERSIONINFOA version) -> BOOL WINAPI { return version->dwPlatformId = PlatformId; };
    // h: a live window (not the foreground one), w: the same plus 2^32, d: a number that is no window
    HWND const N = nullptr, F = GetForegroundWindow(),
               H = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    uint64_t number = reinterpret_cast<uintptr_t>(H) & 0xFFFFFFFFu;
    const std::string h = std::to_string(number), w = std::to_string(number + 0x100000000ull), d = "1";
    const struct { std::string tail; bool win98; Mode mode; HWND parent; } rows[] = {
        {"", 0, Dialog, N}, {" - / --", 0, Dialog, N}, {"/S", 0, Saver, N}, {"-screen /p " + h, 0, Saver, N},
        {"s", 0, Saver, N}, {"x /s", 0, None, N}, {"/p " + h, 0, Saver, H}, {"/L    " + h, 0, Saver, H},
        {"/p" + h, 0, Saver, H}, {"/p " + w, 0, Saver, H}, {"/p:" + h, 0, None, N}, {"/p\t" + h, 0, None, N},
        {"/p 0", 0, None, N}, {"/p", 0, None, N}, {"/p " + d, 0, None, N}, {"/c", 0, Dialog, F},
        {"/C " + h, 0, Dialog, F}, {"/c:" + w, 0, Dialog, H}, {"/c: " + h, 0, Dialog, F}, {"/c:" + d, 0, Dialog, F},
        {"/a " + h, 0, None, N}, {"/A " + h, 1, Password, H}, {"/a " + d, 1, Password, F}, {"\t/s", 0, None, N},
        {"?", 0, None, N}, {"/\xF3", 0, None, N}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.tail);
        Calls.clear(), PlatformId = row.win98 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
        EXPECT_EQ(row.mode, RunCommandLine(GetModuleHandleA(nullptr), row.tail.c_str()));
        EXPECT_EQ((std::vector<std::pair<Mode, HWND>>(row.mode != None, {row.mode, row.parent})), Calls);
    }
    DestroyWindow(H);
}

// The saver mode below runs a guard of its own inside the dispatch's guard: a
// verdict to search on hands the exception to the outer guard, whose filter
// answers next, and the dispatch then gives -1. Past the script, or for another
// exception, the filter says to run the handler, so the count shows the extra call.
std::vector<LONG> Script;
size_t Given;
int32_t Inner;
int32_t Raise(const char *) { return RaiseException(0xE0000042, 0, 0, nullptr), 5; }
LONG WINAPI Filter(EXCEPTION_POINTERS *e)
{
    return e->ExceptionRecord->ExceptionCode == 0xE0000042 && Given < Script.size() ? Script[Given++] : (++Given, 1);
}

TEST(ExceptionGuard, ObeysTheFiltersVerdict)
{
    Platform.UnhandledExceptionFilter = Filter;
    DispatchModes.RunSaverWindow = [](HWND) { return Inner = RunGuarded(Raise, nullptr, &Inner), 9; };
    const LONG Run = EXCEPTION_EXECUTE_HANDLER, Search = EXCEPTION_CONTINUE_SEARCH;
    const struct { std::vector<LONG> verdicts; int32_t result, inner; } rows[] = {
        {{Run}, 9, 0}, {{EXCEPTION_CONTINUE_EXECUTION}, 9, 1}, {{Search, Run}, -1, -1}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.verdicts[0]);
        Script = row.verdicts, Given = 0, Inner = -1;
        EXPECT_EQ(row.result, RunCommandLine(GetModuleHandleA(nullptr), "/s"));
        EXPECT_EQ(row.inner, Inner);
        EXPECT_EQ(row.verdicts.size(), Given);
    }
}

} // namespace
