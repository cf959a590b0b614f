// The saver run and its first-layer window procedure inside this process: the
// class is registered by RunSaverWindow itself, and a timer of the test acts on
// the window once the loop runs, then destroys it, which ends the loop.
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
    char title[16];
} Seen;
HWND Host;
void (*WhileRunning)(HWND window);
int PowerQueries;
BOOL PowerQueryResult;
HWND RestoredWindow;

void CALLBACK InspectAndDestroy(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND window = FindWindowExA(HostState.IsPreview ? Host : nullptr, nullptr, "WindowsScreenSaverClass", nullptr);
    if (window == nullptr)
        return;
    WhileRunning(window);
    Seen = {true, GetClassLongA(window, GCL_STYLE), GetClassLongPtrA(window, GCLP_HICON),
            GetClassLongPtrA(window, GCLP_HCURSOR), GetClassLongPtrA(window, GCLP_HBRBACKGROUND), ""};
    GetWindowTextA(window, Seen.title, sizeof Seen.title);
    DestroyWindow(window);
}

// One saver run; the class goes again afterwards, as a process makes one run.
void RunOnce(bool preview)
{
    Seen = {};
    SetTimer(nullptr, 0, 0, InspectAndDestroy);
    EXPECT_EQ(0, RunSaverWindow(preview ? Host : nullptr));
    MSG stray;
    while (PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA("WindowsScreenSaverClass", HostState.Instance);
}

struct SaverWindowFixture : testing::Test {
    HostStateRecord savedHost = HostState;
    PlatformSeamsRecord savedPlatform = Platform;
    void SetUp() override
    {
        Host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr, nullptr, nullptr);
        Platform.GetSystemPowerStatus = [](LPSYSTEM_POWER_STATUS status) -> BOOL WINAPI {
            ++PowerQueries;
            status->ACLineStatus = 1;
            return PowerQueryResult;
        };
        Platform.GetCursorPos = [](LPPOINT point) -> BOOL WINAPI { return *point = {123, 45}, TRUE; };
    }
    void TearDown() override
    {
        DestroyWindow(Host);
        HostState = savedHost;
        Platform = savedPlatform;
    }
};

// Wine always has IMM32.DLL loaded: the seam stands in for a system without
// it, and a recording stand-in, put in while running, sees the restore.
enum class Imm { Loaded, Absent, ModuleLost, NoContext };
Imm ImmCase;
TEST_F(SaverWindowFixture, MakesOneWindowOfEitherFormOrNone)
{
    enum class Blocker { None, RunningSaver, ClassTaken };
    struct Row {
        const char *name;
        bool preview;
        int32_t win9x;
        BOOL powerOk;
        Blocker blocker;
        Imm imm;
        bool windowMade, restored;
        int powerQueries;
        uint8_t acLineStatus;
    } rows[] = {
        {"preview", true, 0, TRUE, Blocker::None, Imm::Loaded, true, true, 0, 0xFF},
        {"preview on Windows 98", true, 1, TRUE, Blocker::None, Imm::Absent, true, false, 0, 0xFF},
        {"full screen", false, 0, TRUE, Blocker::None, Imm::Loaded, true, true, 1, 1},
        {"full screen, IMM32 absent", false, 0, TRUE, Blocker::None, Imm::Absent, true, false, 1, 1},
        {"IMM32 module lost", false, 0, TRUE, Blocker::None, Imm::ModuleLost, true, false, 1, 1},
        {"no context to restore", false, 0, TRUE, Blocker::None, Imm::NoContext, true, false, 1, 1},
        {"Windows 98, no power status", false, 1, FALSE, Blocker::None, Imm::Loaded, true, true, 1, 0xFF},
        {"another saver running", false, 0, TRUE, Blocker::RunningSaver, Imm::Loaded, false, false, 0, 0xFF},
        {"class cannot be registered", false, 0, TRUE, Blocker::ClassTaken, Imm::Loaded, false, false, 1, 1},
    };
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    WhileRunning = [](HWND) {
        if (HostState.ImmAssociate)
            HostState.ImmAssociate = [](HWND window, HIMC) -> HIMC WINAPI { return RestoredWindow = window, nullptr; };
        if (ImmCase == Imm::ModuleLost)
            HostState.ImmModule = nullptr;
        if (ImmCase == Imm::NoContext)
            HostState.SavedImmContext = nullptr;
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HostState = savedHost;
        UseTestModuleResources();
        HostState.IsWin9x = row.win9x;
        HostState.AutoPlayMessage = 0xC0DE;
        Platform.GetModuleHandleA = row.imm == Imm::Absent ? [](LPCSTR) -> HMODULE WINAPI { return nullptr; }
                                                           : savedPlatform.GetModuleHandleA;
        ImmCase = row.imm;
        RestoredWindow = nullptr;
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
        RunOnce(row.preview);
        DestroyWindow(blocker);
        EXPECT_EQ(row.windowMade, Seen.found);
        EXPECT_EQ(row.preview ? 1 : 0, HostState.IsPreview);
        EXPECT_EQ(row.powerQueries, PowerQueries);
        EXPECT_EQ(row.acLineStatus, HostState.AcLineStatus);
        EXPECT_EQ(row.blocker == Blocker::RunningSaver ? 0xC0DE : row.win9x ? autoPlay : 0u,
                  HostState.AutoPlayMessage);
        EXPECT_EQ(row.restored, RestoredWindow != nullptr);
        if (!row.windowMade)
            continue;
        EXPECT_EQ(123, HostState.LastCursorPos.x);
        EXPECT_EQ(45, HostState.LastCursorPos.y);
        // Icon 100 does not exist, and the class brings no cursor.
        EXPECT_EQ(0x2Bu, Seen.classStyle);
        EXPECT_EQ(0u, Seen.icon);
        EXPECT_EQ(0u, Seen.cursor);
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)), Seen.brush);
        EXPECT_STREQ(row.preview ? "Preview" : "Screen Saver", Seen.title);
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
        {"key once closing is allowed", 1, WM_KEYDOWN, 'A', 0, false},
        {"tick", 0, WM_TIMER, 101, 0, true},
        {"tick once closing is allowed", 1, WM_TIMER, 101, 0, false},
    };
    static const Row *current;
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
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HostState = savedHost;
        UseTestModuleResources();
        current = &row;
        RunOnce(false);
        EXPECT_STREQ("Screen Saver", Seen.title);
        EXPECT_EQ(row.closes, closes);
        EXPECT_EQ(row.tintMoves, tintMoved);
    }
}

} // namespace
