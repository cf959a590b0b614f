// The saver run and its first-layer window procedure inside this process: the
// class is registered by RunSaverWindow itself, and a timer of the test looks
// at the window once the loop runs, then destroys it, which ends the loop.
#include <gtest/gtest.h>

#include <cstring>

#include "effect/tint_cycle.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"
#include "tests/test_support.h"

namespace {

struct SeenWindow {
    bool found;
    DWORD classStyle;
    ULONG_PTR icon, cursor, brush;
    DWORD style, exStyle;
    RECT rect;
    char title[16];
} Seen;
HWND Host;
void (*WhileRunning)(HWND window);
int PowerQueries;
BOOL PowerQueryResult;

void CALLBACK InspectAndDestroy(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND window = FindWindowExA(HostState.IsPreview ? Host : nullptr, nullptr, "WindowsScreenSaverClass", nullptr);
    if (window == nullptr)
        return;
    if (WhileRunning)
        WhileRunning(window);
    Seen = {true, GetClassLongA(window, GCL_STYLE), GetClassLongPtrA(window, GCLP_HICON),
            GetClassLongPtrA(window, GCLP_HCURSOR), GetClassLongPtrA(window, GCLP_HBRBACKGROUND),
            static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
            static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), {}, ""};
    GetWindowRect(window, &Seen.rect);
    MapWindowPoints(nullptr, HostState.IsPreview ? Host : nullptr, reinterpret_cast<POINT *>(&Seen.rect), 2);
    GetWindowTextA(window, Seen.title, sizeof Seen.title);
    DestroyWindow(window);
}

// One saver run of the given form; the class goes again afterwards, since a
// process normally makes only one run.
int32_t RunOnce(bool preview)
{
    Seen = {};
    HostState.SaverWindow = nullptr;
    SetTimer(nullptr, 0, 0, InspectAndDestroy);
    int32_t result = RunSaverWindow(preview ? Host : nullptr);
    MSG stray;
    while (PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA("WindowsScreenSaverClass", HostState.Instance);
    return result;
}

struct SaverWindowFixture : testing::Test {
    HostStateRecord savedHost = HostState;
    PlatformSeamsRecord savedPlatform = Platform;
    void SetUp() override
    {
        UseTestModuleResources();
        Host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr, nullptr, nullptr);
        Platform.GetSystemPowerStatus = [](LPSYSTEM_POWER_STATUS status) -> BOOL WINAPI {
            ++PowerQueries;
            status->ACLineStatus = 1;
            return PowerQueryResult;
        };
        WhileRunning = nullptr;
    }
    void TearDown() override
    {
        DestroyWindow(Host);
        HostState = savedHost;
        Platform = savedPlatform;
    }
};

TEST_F(SaverWindowFixture, MakesOneWindowOfEitherFormOrNone)
{
    enum class Blocker { None, RunningSaver, ClassTaken };
    struct Row {
        const char *name;
        bool preview;
        int32_t win9x;
        BOOL powerOk;
        Blocker blocker;
        bool windowMade;
        int powerQueries;
        uint8_t acLineStatus;
    } rows[] = {
        {"preview", true, 0, TRUE, Blocker::None, true, 0, 0xFF},
        {"preview on Windows 98", true, 1, TRUE, Blocker::None, true, 0, 0xFF},
        {"full screen", false, 0, TRUE, Blocker::None, true, 1, 1},
        {"full screen on Windows 98, no power status", false, 1, FALSE, Blocker::None, true, 1, 0xFF},
        {"another saver running", false, 0, TRUE, Blocker::RunningSaver, false, 0, 0xFF},
        {"class cannot be registered", false, 0, TRUE, Blocker::ClassTaken, false, 1, 1},
    };
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const RECT preview = {0, 0, 160, 120};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HostState = savedHost;
        HostState.IsWin9x = row.win9x;
        HostState.AutoPlayMessage = 0xC0DE;
        PowerQueryResult = row.powerOk;
        PowerQueries = 0;
        HWND blocker = nullptr;
        if (row.blocker != Blocker::None) {
            WNDCLASSA taken = {0, DefWindowProcA, 0, 0, HostState.Instance, nullptr, nullptr, nullptr, nullptr,
                               "WindowsScreenSaverClass"};
            RegisterClassA(&taken);
            if (row.blocker == Blocker::RunningSaver)
                blocker = CreateWindowExA(0, "WindowsScreenSaverClass", "Screen Saver", WS_POPUP, 0, 0, 1, 1,
                                          nullptr, nullptr, HostState.Instance, nullptr);
        }
        EXPECT_EQ(0, RunOnce(row.preview));
        DestroyWindow(blocker);
        EXPECT_EQ(row.windowMade, Seen.found);
        EXPECT_EQ(row.preview ? 1 : 0, HostState.IsPreview);
        EXPECT_EQ(row.powerQueries, PowerQueries);
        EXPECT_EQ(row.acLineStatus, HostState.AcLineStatus);
        EXPECT_EQ(row.blocker == Blocker::RunningSaver ? 0xC0DE : row.win9x ? autoPlay : 0u,
                  HostState.AutoPlayMessage);
        if (!row.windowMade)
            continue;
        // Icon 100 does not exist, and the class brings no cursor.
        EXPECT_EQ(0x2Bu, Seen.classStyle);
        EXPECT_EQ(0u, Seen.icon);
        EXPECT_EQ(0u, Seen.cursor);
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)), Seen.brush);
        EXPECT_EQ(row.preview ? 0x52000000u : 0x96000000u, Seen.style);
        EXPECT_EQ(row.preview ? 0u : static_cast<DWORD>(WS_EX_TOPMOST), Seen.exStyle);
        EXPECT_STREQ(row.preview ? "Preview" : "Screen Saver", Seen.title);
        EXPECT_TRUE(EqualRect(row.preview ? &preview : &screen, &Seen.rect));
    }
}

// Wine always has IMM32.DLL loaded; the seam stands in for a system without it.
// A restore is seen through a recording stand-in put in place while running.
struct Restore {
    HWND window;
    HIMC context;
} Restored;
HIMC WINAPI RecordRestore(HWND window, HIMC context)
{
    Restored = {window, context};
    return nullptr;
}
TEST_F(SaverWindowFixture, TheInputMethodIsDetachedWhereLoadedAndRestoredOnlyWhenAllIsKnown)
{
    struct Row {
        bool loaded, keepModule, keepContext, restored;
    } rows[] = {{true, true, true, true}, {false, true, true, false}, {true, false, true, false},
                {true, true, false, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.loaded << row.keepModule << row.keepContext);
        HostState = savedHost;
        Platform.GetModuleHandleA = row.loaded ? savedPlatform.GetModuleHandleA
                                               : [](LPCSTR) -> HMODULE WINAPI { return nullptr; };
        Platform.GetCursorPos = [](LPPOINT point) -> BOOL WINAPI { return *point = {123, 45}, TRUE; };
        static Row current;
        current = row;
        WhileRunning = [](HWND) {
            if (HostState.ImmAssociate)
                HostState.ImmAssociate = RecordRestore;
            if (!current.keepModule)
                HostState.ImmModule = nullptr;
            if (!current.keepContext)
                HostState.SavedImmContext = nullptr;
        };
        Restored = {};
        RunOnce(true);
        EXPECT_EQ(123, HostState.LastCursorPos.x);
        EXPECT_EQ(45, HostState.LastCursorPos.y);
        EXPECT_EQ(row.loaded, HostState.ImmAssociate != nullptr);
        EXPECT_EQ(row.restored, Restored.window != nullptr);
        if (row.restored) {
            EXPECT_EQ(HostState.SavedImmContext, Restored.context);
        }
    }
}

// Rows a process cannot easily show: the title kept, the monitor-power close,
// and input and ticks falling silent once closing is allowed.
TEST_F(SaverWindowFixture, MessagesWhileRunning)
{
    static int32_t closes;
    static bool tintMoved;
    struct Row {
        const char *name;
        int32_t closeAllowed;
        UINT message;
        WPARAM wParam;
        int32_t closes;
        bool tintMoves;
    } rows[] = {
        {"monitor power", 0, WM_SYSCOMMAND, SC_MONITORPOWER, 1, false},
        {"key", 0, WM_KEYDOWN, 'A', 1, false},
        {"key once closing is allowed", 1, WM_KEYDOWN, 'A', 0, false},
        {"tick", 0, WM_TIMER, 101, 0, true},
        {"tick once closing is allowed", 1, WM_TIMER, 101, 0, false},
    };
    static const Row *current;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HostState = savedHost;
        current = &row;
        WhileRunning = [](HWND window) {
            EXPECT_EQ(0, SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed")));
            HostState.CloseAllowed = current->closeAllowed;
            TintStateRecord before = TintState;
            SendMessageA(window, current->message, current->wParam, 0);
            tintMoved = std::memcmp(&before, &TintState, sizeof before) != 0;
            MSG close;
            for (closes = 0; PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
                ++closes;
        };
        RunOnce(false);
        EXPECT_STREQ("Screen Saver", Seen.title);
        EXPECT_EQ(row.closes, closes);
        EXPECT_EQ(row.tintMoves, tintMoved);
    }
}

} // namespace
