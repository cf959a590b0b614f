// The start-up's name skipping, the handle reader, the command-line table and
// the exception guard around the dispatched mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dispatch.h"
#include "host/exception_guard.h"
#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

TEST(StartUp, SkipsTheProgramNameAndTheBlanksBehindIt)
{
    struct Row {
        const char *commandLine, *tail;
    } rows[] = {
        {"\"C:\\My Savers\\TENVARA.scr\" /s", "/s"}, {"\"C:\\My Savers\\TENVARA.scr /s", ""},
        {"TENVARA.scr\t/s", "/s"},                   {"T\xC9NVARA.scr \t /p 12", "/p 12"},
        {" /s", "/s"},                               {"TENVARA.scr", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.commandLine);
        EXPECT_STREQ(row.tail, SkipProgramName(row.commandLine));
    }
}

TEST(ParseWindowHandle, ReadsLeadingDigitsWrappingModulo2To32)
{
    struct Row {
        const char *text;
        uintptr_t handle;
    } rows[] = {
        {"123 4", 123}, {"12:3", 12},         {"", 0},          {"-5", 0},           {" 5", 0},
        {"\xB9" "5", 0}, {"4294967295", 0xFFFFFFFFu}, {"4294967297", 1}, {"99999999999", 1215752191},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.handle, reinterpret_cast<uintptr_t>(ParseWindowHandle(row.text)));
    }
}

enum class Mode { None, Saver, Dialog, Password };
struct Call {
    Mode mode;
    HWND parent;
};
std::vector<Call> Calls;
int32_t ReportedPlatform;

TEST(Dispatch, TheFirstNonSeparatorDecidesTheMode)
{
    DispatchModesRecord savedModes = DispatchModes;
    PlatformSeamsRecord savedPlatform = Platform;
    HostStateRecord savedHost = HostState;
    DispatchModes = {[](HWND parent) { return Calls.push_back({Mode::Saver, parent}), 7; },
                     [](HWND parent) { return Calls.push_back({Mode::Dialog, parent}), 11; },
                     [](HWND parent) { Calls.push_back({Mode::Password, parent}); }};
    Platform.GetVersionExA = [](LPOSVERSIONINFOA version) -> BOOL WINAPI {
        version->dwPlatformId = ReportedPlatform;
        return TRUE;
    };
    // H is a live window, D one that is gone, W the live one plus 2^32.
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND dead = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(dead);
    uint64_t number = reinterpret_cast<uintptr_t>(host) & 0xFFFFFFFFu;
    const int32_t NT = VER_PLATFORM_WIN32_NT, W98 = VER_PLATFORM_WIN32_WINDOWS;
    HWND const Null = nullptr, Host = host, Foreground = reinterpret_cast<HWND>(-1);

    struct Row {
        const char *tail;
        int32_t platform;
        Mode mode;
        HWND parent;
        int32_t result;
    } rows[] = {
        {"", NT, Mode::Dialog, Null, 11},         {" - / --", NT, Mode::Dialog, Null, 11},
        {"/S", NT, Mode::Saver, Null, 7},         {"-screen /p H", NT, Mode::Saver, Null, 7},
        {"s", NT, Mode::Saver, Null, 7},          {"x /s", NT, Mode::None, Null, -1},
        {"/p H", NT, Mode::Saver, Host, 7},       {"/L    H", NT, Mode::Saver, Host, 7},
        {"/pH", NT, Mode::Saver, Host, 7},        {"/p W", NT, Mode::Saver, Host, 7},
        {"/p:H", NT, Mode::None, Null, -1},       {"/p\tH", NT, Mode::None, Null, -1},
        {"/p 0", NT, Mode::None, Null, -1},       {"/p", NT, Mode::None, Null, -1},
        {"/p D", NT, Mode::None, Null, -1},       {"/c", NT, Mode::Dialog, Foreground, 11},
        {"/C H", NT, Mode::Dialog, Foreground, 11}, {"/c:W", NT, Mode::Dialog, Host, 11},
        {"/c: H", NT, Mode::Dialog, Foreground, 11}, {"/c:D", NT, Mode::Dialog, Foreground, 11},
        {"/a H", NT, Mode::None, Null, -1},       {"/A H", W98, Mode::Password, Host, 0},
        {"/a D", W98, Mode::Password, Foreground, 0}, {"\t/s", NT, Mode::None, Null, -1},
        {"?", NT, Mode::None, Null, -1},          {"/\xF3", NT, Mode::None, Null, -1},
    };
    for (const Row &row : rows) {
        std::string tail;
        for (const char *at = row.tail; *at; ++at)
            tail += *at == 'H' ? std::to_string(number)
                  : *at == 'W' ? std::to_string(number + 0x100000000ull)
                  : *at == 'D' ? std::to_string(reinterpret_cast<uintptr_t>(dead)) : std::string(1, *at);
        SCOPED_TRACE(tail + (row.platform == W98 ? " on Windows 98" : ""));
        Calls.clear();
        ReportedPlatform = row.platform;
        EXPECT_EQ(row.result, RunCommandLine(reinterpret_cast<HINSTANCE>(0x400000), tail.c_str()));
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x400000), HostState.Instance);
        EXPECT_EQ(row.platform == W98, HostState.IsWin9x);
        ASSERT_EQ(row.mode == Mode::None ? 0u : 1u, Calls.size());
        if (!Calls.empty()) {
            EXPECT_EQ(row.mode, Calls[0].mode);
            EXPECT_EQ(row.parent == Foreground ? GetForegroundWindow() : row.parent, Calls[0].parent);
        }
    }
    DestroyWindow(host);
    DispatchModes = savedModes;
    Platform = savedPlatform;
    HostState = savedHost;
}

// The saver mode below runs a guard of its own inside the dispatch's guard: a
// verdict to search on hands the exception to the outer guard, whose filter
// answers next, and the dispatch then gives -1.
std::vector<LONG> Verdicts;
size_t VerdictsGiven;
DWORD SeenCode;
int32_t (*Raise)(const char *);
int32_t InnerCompleted;
LRESULT CALLBACK FaultingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        *reinterpret_cast<volatile int32_t *>(static_cast<uintptr_t>(wParam)) = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}
TEST(ExceptionGuard, ObeysTheFiltersVerdict)
{
    WNDCLASSA faulting = {0, FaultingWindowProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Faulting"};
    RegisterClassA(&faulting);
    auto raise = [](const char *) { return RaiseException(0xE0000042, 0, 0, nullptr), 5; };
    // A bad pointer in a message that a loop dispatches, as in a timer tick.
    auto faultInMessage = [](const char *) {
        HWND window = CreateWindowExA(0, "Faulting", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        PostMessageA(window, WM_APP, 16, 0);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0))
            DispatchMessageA(&message);
        return 5;
    };
    struct Row {
        std::vector<LONG> verdicts;
        int32_t (*raise)(const char *);
        DWORD code;
        int32_t result, innerCompleted;
    } rows[] = {
        {{EXCEPTION_EXECUTE_HANDLER}, raise, 0xE0000042, 9, 0},
        {{EXCEPTION_CONTINUE_EXECUTION}, raise, 0xE0000042, 9, 1},
        {{EXCEPTION_CONTINUE_SEARCH, EXCEPTION_EXECUTE_HANDLER}, raise, 0xE0000042, -1, -1},
        {{EXCEPTION_CONTINUE_SEARCH, EXCEPTION_EXECUTE_HANDLER}, faultInMessage, EXCEPTION_ACCESS_VIOLATION, -1, -1},
    };
    PlatformSeamsRecord saved = Platform;
    DispatchModesRecord savedModes = DispatchModes;
    Platform.UnhandledExceptionFilter = [](EXCEPTION_POINTERS *exception) -> LONG WINAPI {
        SeenCode = exception->ExceptionRecord->ExceptionCode;
        // Past the script: run the handler, so the count shows the extra call.
        return VerdictsGiven < Verdicts.size() ? Verdicts[VerdictsGiven++] : (++VerdictsGiven, 1);
    };
    DispatchModes.RunSaverWindow = [](HWND) {
        int32_t inner = 0;
        InnerCompleted = RunGuarded(Raise, nullptr, &inner);
        return 9;
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.verdicts[0] << " for " << std::hex << row.code);
        Verdicts = row.verdicts;
        VerdictsGiven = 0;
        Raise = row.raise;
        InnerCompleted = -1;
        EXPECT_EQ(row.result, RunCommandLine(GetModuleHandleA(nullptr), "/s"));
        EXPECT_EQ(row.innerCompleted, InnerCompleted);
        EXPECT_EQ(row.verdicts.size(), VerdictsGiven);
        EXPECT_EQ(row.code, SeenCode);
    }
    Platform = saved;
    DispatchModes = savedModes;
}

} // namespace
