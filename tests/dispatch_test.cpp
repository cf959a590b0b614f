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
        const char *commandLine;
        const char *tail;
    } rows[] = {
        {"\"C:\\Program Files\\TENVARA.scr\" /s", "/s"},
        {"\"C:\\Program Files\\TENVARA.scr\"/s", "/s"},
        {"\"C:\\Program Files\\TENVARA.scr /s", ""},
        {"TENVARA.scr\t/s", "/s"},
        {"TENVARA.scr \t  /p 12", "/p 12"},
        {"T\xC9NVARA.scr /c", "/c"},
        {"TENVARA.scr", ""},
        {" /s", "/s"},
        {"", ""},
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
        {"123", 123},       {"123 456", 123},     {"12:3", 12},         {"12a", 12},
        {"", 0},            {"abc", 0},           {"-5", 0},            {"+5", 0},
        {" 5", 0},          {"\xB9" "5", 0},      {"4294967295", 0xFFFFFFFFu},
        {"4294967296", 0},  {"4294967297", 1},    {"99999999999", 1215752191},
        {"0000000000000042", 42},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.handle, reinterpret_cast<uintptr_t>(ParseWindowHandle(row.text)));
    }
}

enum class Mode { None, Saver, Dialog, Password };
enum class Owner { Null, Host, Foreground };

struct Call {
    Mode mode;
    HWND parent;
};
std::vector<Call> Calls;
int32_t RecordSaver(HWND parent)
{
    Calls.push_back({Mode::Saver, parent});
    return 7;
}
int32_t RecordDialog(HWND parent)
{
    Calls.push_back({Mode::Dialog, parent});
    return 11;
}
void RecordPassword(HWND parent)
{
    Calls.push_back({Mode::Password, parent});
}

int32_t ReportedWin9x;
BOOL WINAPI FakeVersion(LPOSVERSIONINFOA version)
{
    version->dwPlatformId = ReportedWin9x ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
    return TRUE;
}

// Swaps the modes and the version query for the test's own and puts them back.
struct DispatchFixture : testing::Test {
    DispatchModesRecord savedModes = DispatchModes;
    PlatformSeamsRecord savedPlatform = Platform;
    HostStateRecord savedHost = HostState;
    void SetUp() override
    {
        DispatchModes = {RecordSaver, RecordDialog, RecordPassword};
        Platform.GetVersionExA = FakeVersion;
        Calls.clear();
    }
    void TearDown() override
    {
        DispatchModes = savedModes;
        Platform = savedPlatform;
        HostState = savedHost;
    }
};

std::string Replace(std::string text, const std::string &mark, const std::string &with)
{
    for (size_t at; (at = text.find(mark)) != std::string::npos;)
        text.replace(at, mark.size(), with);
    return text;
}

TEST_F(DispatchFixture, TheFirstNonSeparatorDecidesTheMode)
{
    // %h is a live window, %d one that no longer exists, %w the live one plus 2^32.
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND dead = CreateWindowExA(0, "STATIC", "dead", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(dead);
    ASSERT_TRUE(IsWindow(host));
    uint64_t hostNumber = reinterpret_cast<uintptr_t>(host) & 0xFFFFFFFFu;

    struct Row {
        const char *tail;
        int32_t win9x;
        Mode mode;
        Owner owner;
        int32_t result;
    } rows[] = {
        {"", 0, Mode::Dialog, Owner::Null, 11},
        {"/", 0, Mode::Dialog, Owner::Null, 11},
        {" - / ", 0, Mode::Dialog, Owner::Null, 11},
        {"--", 0, Mode::Dialog, Owner::Null, 11},
        {"/s", 0, Mode::Saver, Owner::Null, 7},
        {"/S", 0, Mode::Saver, Owner::Null, 7},
        {"s", 0, Mode::Saver, Owner::Null, 7},
        {"-s", 0, Mode::Saver, Owner::Null, 7},
        {"/screen", 0, Mode::Saver, Owner::Null, 7},
        {"/s /p %h", 0, Mode::Saver, Owner::Null, 7},
        {"x /s", 0, Mode::None, Owner::Null, -1},
        {"/p %h", 0, Mode::Saver, Owner::Host, 7},
        {"/P    %h", 0, Mode::Saver, Owner::Host, 7},
        {"/p%h", 0, Mode::Saver, Owner::Host, 7},
        {"/l %h", 0, Mode::Saver, Owner::Host, 7},
        {"-L%h", 0, Mode::Saver, Owner::Host, 7},
        {"/p %w", 0, Mode::Saver, Owner::Host, 7},
        {"/p:%h", 0, Mode::None, Owner::Null, -1},
        {"/p\t%h", 0, Mode::None, Owner::Null, -1},
        {"/p abc", 0, Mode::None, Owner::Null, -1},
        {"/p 0", 0, Mode::None, Owner::Null, -1},
        {"/p", 0, Mode::None, Owner::Null, -1},
        {"/p %d", 0, Mode::None, Owner::Null, -1},
        {"/c", 0, Mode::Dialog, Owner::Foreground, 11},
        {"/C %h", 0, Mode::Dialog, Owner::Foreground, 11},
        {"/c:%h", 0, Mode::Dialog, Owner::Host, 11},
        {"/c:%w", 0, Mode::Dialog, Owner::Host, 11},
        {"/c: %h", 0, Mode::Dialog, Owner::Foreground, 11},
        {"/c:%d", 0, Mode::Dialog, Owner::Foreground, 11},
        {"/a %h", 0, Mode::None, Owner::Null, -1},
        {"/a", 0, Mode::None, Owner::Null, -1},
        {"/a %h", 1, Mode::Password, Owner::Host, 0},
        {"/A%h", 1, Mode::Password, Owner::Host, 0},
        {"/a", 1, Mode::Password, Owner::Foreground, 0},
        {"/a %d", 1, Mode::Password, Owner::Foreground, 0},
        {"\t/s", 0, Mode::None, Owner::Null, -1},
        {"?", 0, Mode::None, Owner::Null, -1},
        {":", 0, Mode::None, Owner::Null, -1},
        {"1", 0, Mode::None, Owner::Null, -1},
        {"/\xF3", 0, Mode::None, Owner::Null, -1},
    };
    for (const Row &row : rows) {
        std::string tail = Replace(row.tail, "%h", std::to_string(hostNumber));
        tail = Replace(tail, "%w", std::to_string(hostNumber + 0x100000000ull));
        tail = Replace(tail, "%d", std::to_string(reinterpret_cast<uintptr_t>(dead)));
        SCOPED_TRACE(tail + (row.win9x ? " on Windows 98" : ""));
        Calls.clear();
        ReportedWin9x = row.win9x;
        HWND foreground = GetForegroundWindow();

        EXPECT_EQ(row.result, RunCommandLine(reinterpret_cast<HINSTANCE>(0x400000), tail.c_str()));
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x400000), HostState.Instance);
        EXPECT_EQ(row.win9x, HostState.IsWin9x);
        if (row.mode == Mode::None) {
            EXPECT_TRUE(Calls.empty());
            continue;
        }
        ASSERT_EQ(1u, Calls.size());
        EXPECT_EQ(row.mode, Calls[0].mode);
        HWND expected = row.owner == Owner::Host ? host : row.owner == Owner::Foreground ? foreground : nullptr;
        EXPECT_EQ(expected, Calls[0].parent);
    }
    DestroyWindow(host);
}

// The guard: what the filter says is what happens.
std::vector<LONG> Verdicts;
size_t VerdictsGiven;
DWORD SeenCode;
LONG WINAPI ScriptedFilter(EXCEPTION_POINTERS *exception)
{
    SeenCode = exception->ExceptionRecord->ExceptionCode;
    return VerdictsGiven < Verdicts.size() ? Verdicts[VerdictsGiven++] : EXCEPTION_EXECUTE_HANDLER;
}

const DWORD TestException = 0xE0000042;
int32_t RaiseAndReturn5(const char *)
{
    RaiseException(TestException, 0, 0, nullptr);
    return 5;
}
int32_t InnerReturned;
int32_t RaiseInInnerGuard(const char *)
{
    int32_t result = 0;
    InnerReturned = RunGuarded(RaiseAndReturn5, nullptr, &result);
    return 9;
}

TEST(ExceptionGuard, ObeysTheFiltersVerdict)
{
    struct Row {
        const char *name;
        std::vector<LONG> verdicts;
        int32_t completed;
        int32_t result;
        int32_t innerReturned;
    } rows[] = {
        // Each RunGuarded sits inside another; a verdict to search on hands the
        // exception to the outer guard, whose filter answers next.
        {"execute handler", {EXCEPTION_EXECUTE_HANDLER}, 1, 9, 0},
        {"continue execution", {EXCEPTION_CONTINUE_EXECUTION}, 1, 9, 1},
        {"continue search", {EXCEPTION_CONTINUE_SEARCH, EXCEPTION_EXECUTE_HANDLER}, 0, -3, -1},
    };
    PlatformSeamsRecord saved = Platform;
    Platform.UnhandledExceptionFilter = ScriptedFilter;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Verdicts = row.verdicts;
        VerdictsGiven = 0;
        InnerReturned = -1;
        SeenCode = 0;
        int32_t result = -3;
        EXPECT_EQ(row.completed, RunGuarded(RaiseInInnerGuard, nullptr, &result));
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(row.innerReturned, InnerReturned);
        EXPECT_EQ(row.verdicts.size(), VerdictsGiven);
        EXPECT_EQ(TestException, SeenCode);
    }
    Platform = saved;
}

// Faults from deep inside a mode: a message sent on the same thread, a message
// dispatched by a loop, a bad pointer, each under the system's own filter.
const UINT RaiseRequest = WM_APP + 7;
LRESULT CALLBACK RaisingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == RaiseRequest)
        RaiseException(TestException, 0, 0, nullptr);
    return DefWindowProcA(window, message, wParam, lParam);
}
HWND RaisingWindow;
int32_t RaiseInSentMessage(const char *)
{
    SendMessageA(RaisingWindow, RaiseRequest, 0, 0);
    return 5;
}
int32_t RaiseInDispatchedMessage(const char *)
{
    PostMessageA(RaisingWindow, RaiseRequest, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0))
        DispatchMessageA(&message);
    return 5;
}
int32_t ReadThroughBadPointer(const char *)
{
    volatile uintptr_t address = 16;
    return *reinterpret_cast<volatile int32_t *>(address);
}
int32_t RaiseFromSaverMode(HWND)
{
    return RaiseAndReturn5(nullptr);
}

TEST(ExceptionGuard, CatchesWhatEscapesTheModeAndTheDispatchGivesMinusOne)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RaisingWindowProc;
    windowClass.lpszClassName = "RaisingWindow";
    RegisterClassA(&windowClass);
    RaisingWindow = CreateWindowExA(0, "RaisingWindow", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, RaisingWindow);

    struct Row {
        const char *name;
        GuardedCall call;
    } rows[] = {
        {"sent message", RaiseInSentMessage},
        {"dispatched message", RaiseInDispatchedMessage},
        {"bad pointer", ReadThroughBadPointer},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        int32_t result = -3;
        EXPECT_EQ(0, RunGuarded(row.call, nullptr, &result));
        EXPECT_EQ(-3, result);
    }
    DestroyWindow(RaisingWindow);

    DispatchModesRecord saved = DispatchModes;
    DispatchModes.RunSaverWindow = RaiseFromSaverMode;
    EXPECT_EQ(-1, RunCommandLine(GetModuleHandleA(nullptr), "/s"));
    DispatchModes = saved;
}

} // namespace
