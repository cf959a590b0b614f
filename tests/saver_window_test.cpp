// The first layer of the saver window, driven in this process through a class
// of the test's own whose window procedure is HostWindowProc.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effect/tint_cycle.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"
#include "tests/test_support.h"

namespace {

HMODULE WINAPI NoModule(LPCSTR)
{
    return nullptr;
}
BOOL WINAPI CursorAt123And45(LPPOINT point)
{
    *point = {123, 45};
    return TRUE;
}

struct RestoreCall {
    HWND window;
    HIMC context;
};
std::vector<RestoreCall> Restores;
HIMC WINAPI RecordAssociate(HWND window, HIMC context)
{
    Restores.push_back({window, context});
    return nullptr;
}

struct HostWindowFixture : testing::Test {
    HostStateRecord savedHost = HostState;
    PlatformSeamsRecord savedPlatform = Platform;
    HWND host = nullptr;

    void SetUp() override
    {
        UseTestModuleResources();
        WNDCLASSA saverClass = {};
        saverClass.lpfnWndProc = HostWindowProc;
        saverClass.hInstance = GetModuleHandleA(nullptr);
        saverClass.lpszClassName = "HostWindowUnderTest";
        RegisterClassA(&saverClass);
        WNDCLASSA hostClass = {};
        hostClass.lpfnWndProc = DefWindowProcA;
        hostClass.hInstance = GetModuleHandleA(nullptr);
        hostClass.lpszClassName = "PreviewHostUnderTest";
        RegisterClassA(&hostClass);
        host = CreateWindowExA(0, "PreviewHostUnderTest", "host", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr,
                               nullptr, nullptr);
        Platform.GetCursorPos = CursorAt123And45;
    }
    void TearDown() override
    {
        DestroyWindow(host);
        DrainQueue();
        HostState = savedHost;
        Platform = savedPlatform;
    }

    // A preview child of the host, or a popup standing in for the full screen.
    HWND CreateSaver(bool preview)
    {
        HostState.IsPreview = preview ? 1 : 0;
        return CreateWindowExA(0, "HostWindowUnderTest", "Title", preview ? WS_CHILD : WS_POPUP, 0, 0, 160, 120,
                               preview ? host : nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void DestroySaver(HWND window)
    {
        DestroyWindow(window);
        DrainQueue();
    }

    // The messages posted so far, among those the host layer posts.
    std::vector<MSG> DrainQueue()
    {
        std::vector<MSG> posted;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_HELP || message.message == WM_CONTEXTMENU || message.message == WM_CLOSE)
                posted.push_back(message);
        return posted;
    }
};

TEST_F(HostWindowFixture, CreationDetachesTheInputMethodOnlyWhereItIsLoaded)
{
    struct Row {
        const char *name;
        bool immLoaded;
        bool preview;
        bool cursorHidden;
    } rows[] = {
        {"full screen, IMM32 loaded", true, false, true},
        {"full screen, IMM32 absent", false, false, true},
        {"preview, IMM32 loaded", true, true, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HostState.ImmModule = nullptr;
        HostState.ImmAssociate = nullptr;
        HostState.SavedImmContext = nullptr;
        HostState.LastCursorPos = {0, 0};
        Platform.GetModuleHandleA = row.immLoaded ? savedPlatform.GetModuleHandleA : NoModule;
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));

        HWND window = CreateSaver(row.preview);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(row.immLoaded, HostState.ImmModule != nullptr);
        EXPECT_EQ(row.immLoaded, HostState.ImmAssociate != nullptr);
        // Wine gives every new window an input context to take away.
        EXPECT_EQ(row.immLoaded, HostState.SavedImmContext != nullptr);
        EXPECT_EQ(123, HostState.LastCursorPos.x);
        EXPECT_EQ(45, HostState.LastCursorPos.y);
        EXPECT_EQ(row.cursorHidden, GetCursor() == nullptr);
        DestroySaver(window);
    }
}

TEST_F(HostWindowFixture, DestructionRestoresTheContextOnlyWhenAllThreeFieldsAreKnown)
{
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    HIMC context = reinterpret_cast<HIMC>(static_cast<uintptr_t>(0x5A5A));
    struct Row {
        HMODULE module;
        bool associate;
        HIMC saved;
        bool restored;
    } rows[] = {
        {imm, true, context, true},
        {nullptr, true, context, false},
        {imm, false, context, false},
        {imm, true, nullptr, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "module " << row.module << ", associate " << row.associate << ", saved "
                                        << row.saved);
        HWND window = CreateSaver(false);
        ASSERT_NE(nullptr, window);
        HostState.ImmModule = row.module;
        HostState.ImmAssociate = row.associate ? RecordAssociate : nullptr;
        HostState.SavedImmContext = row.saved;
        Restores.clear();

        DestroyWindow(window);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(0u, quit.wParam);
        ASSERT_EQ(row.restored ? 1u : 0u, Restores.size());
        if (row.restored) {
            EXPECT_EQ(window, Restores[0].window);
            EXPECT_EQ(context, Restores[0].context);
        }
        DrainQueue();
    }
}

TEST_F(HostWindowFixture, MessageRows)
{
    // Wine refuses to post WM_HELP at all (it carries a pointer): there only
    // the result tells.
    enum class Posted { Nothing, Unseen, ContextMenuToHost, CloseToSelf };
    enum class Form { FullScreen, Preview, PreviewWithoutHost };
    struct Row {
        const char *name;
        Form form;
        int32_t closeAllowed;
        UINT message;
        WPARAM wParam;
        Posted posted;
        bool checkResult;
        LRESULT result;
    } rows[] = {
        {"help in preview", Form::Preview, 0, WM_HELP, 0, Posted::Unseen, true, 1},
        {"context menu in preview", Form::Preview, 0, WM_CONTEXTMENU, 77, Posted::ContextMenuToHost, true, 1},
        {"help without a host", Form::PreviewWithoutHost, 0, WM_HELP, 0, Posted::Nothing, true, 1},
        {"context menu in full screen", Form::FullScreen, 0, WM_CONTEXTMENU, 77, Posted::Nothing, true, 0},
        {"monitor power in full screen", Form::FullScreen, 0, WM_SYSCOMMAND, SC_MONITORPOWER, Posted::CloseToSelf,
         false, 0},
        {"monitor power in preview", Form::Preview, 0, WM_SYSCOMMAND, SC_MONITORPOWER, Posted::Nothing, false, 0},
        {"key while running", Form::FullScreen, 0, WM_KEYDOWN, 'A', Posted::CloseToSelf, true, 0},
        {"key once closing is allowed", Form::FullScreen, 1, WM_KEYDOWN, 'A', Posted::Nothing, true, 0},
        {"button once closing is allowed", Form::FullScreen, 1, WM_LBUTTONDOWN, 0, Posted::Nothing, true, 0},
    };
    const LPARAM lParam = 0x00420017;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HWND window = CreateSaver(row.form == Form::Preview);
        ASSERT_NE(nullptr, window);
        if (row.form == Form::PreviewWithoutHost)
            HostState.IsPreview = 1;
        DrainQueue();
        HostState.CloseAllowed = row.closeAllowed;

        LRESULT result = SendMessageA(window, row.message, row.wParam, lParam);
        std::vector<MSG> posted = DrainQueue();
        if (row.checkResult) {
            EXPECT_EQ(row.result, result);
        }
        switch (row.posted) {
        case Posted::Nothing:
            EXPECT_TRUE(posted.empty());
            break;
        case Posted::Unseen:
            break;
        case Posted::ContextMenuToHost:
            ASSERT_EQ(1u, posted.size());
            EXPECT_EQ(host, posted[0].hwnd);
            EXPECT_EQ(row.message, posted[0].message);
            EXPECT_EQ(reinterpret_cast<WPARAM>(host), posted[0].wParam);
            EXPECT_EQ(lParam, posted[0].lParam);
            break;
        case Posted::CloseToSelf:
            ASSERT_EQ(1u, posted.size());
            EXPECT_EQ(window, posted[0].hwnd);
            EXPECT_EQ(static_cast<UINT>(WM_CLOSE), posted[0].message);
            break;
        }
        HostState.CloseAllowed = 0;
        DestroySaver(window);
    }
}

TEST_F(HostWindowFixture, TheTitleStaysAndTicksFallSilentOnceClosingIsAllowed)
{
    HWND window = CreateSaver(false);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0, SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed")));
    char title[32] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ("Title", title);

    struct Row {
        int32_t closeAllowed;
        bool tintMoves;
    } rows[] = {{0, true}, {1, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.closeAllowed);
        HostState.CloseAllowed = row.closeAllowed;
        TintStateRecord before = TintState;
        EXPECT_EQ(0, SendMessageA(window, WM_TIMER, 101, 0));
        EXPECT_EQ(row.tintMoves, std::memcmp(&before, &TintState, sizeof before) != 0);
    }
    HostState.CloseAllowed = 0;
    DestroySaver(window);
}

// What a timer of the test saw of the saver window once its loop ran; the
// timer then destroys the window, which ends the loop.
struct SeenWindow {
    bool found;
    int32_t isPreview;
    DWORD classStyle;
    ULONG_PTR icon, cursor, brush;
    DWORD style, exStyle;
    RECT rect;
    char title[32];
} Seen;
HWND SearchedParent;
void CALLBACK InspectAndDestroySaver(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND window = FindWindowExA(SearchedParent, nullptr, "WindowsScreenSaverClass", nullptr);
    if (window == nullptr)
        return;
    Seen = {true, HostState.IsPreview, GetClassLongA(window, GCL_STYLE), GetClassLongPtrA(window, GCLP_HICON),
            GetClassLongPtrA(window, GCLP_HCURSOR), GetClassLongPtrA(window, GCLP_HBRBACKGROUND),
            static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
            static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), {}, ""};
    GetWindowRect(window, &Seen.rect);
    MapWindowPoints(nullptr, SearchedParent, reinterpret_cast<POINT *>(&Seen.rect), 2);
    GetWindowTextA(window, Seen.title, sizeof Seen.title);
    DestroyWindow(window);
}

int PowerQueries;
bool PowerQuerySucceeds;
BOOL WINAPI FakePowerStatus(LPSYSTEM_POWER_STATUS status)
{
    ++PowerQueries;
    status->ACLineStatus = 1;
    return PowerQuerySucceeds;
}

TEST_F(HostWindowFixture, RunSaverWindowMakesOneWindowOfEitherFormOrNone)
{
    enum class Blocker { None, RunningSaver, ClassTaken };
    struct Row {
        const char *name;
        bool preview;
        int32_t win9x;
        bool powerOk;
        Blocker blocker;
        bool windowMade;
        int powerQueries;
        uint8_t acLineStatus;
    } rows[] = {
        {"preview", true, 0, true, Blocker::None, true, 0, 0xFF},
        {"preview on Windows 98", true, 1, true, Blocker::None, true, 0, 0xFF},
        {"full screen", false, 0, true, Blocker::None, true, 1, 1},
        {"full screen on Windows 98, no power status", false, 1, false, Blocker::None, true, 1, 0xFF},
        {"another saver running", false, 0, true, Blocker::RunningSaver, false, 0, 0xFF},
        {"class cannot be registered", false, 0, true, Blocker::ClassTaken, false, 1, 1},
    };
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    const UINT untouched = 0xC0DE;
    Platform.GetSystemPowerStatus = FakePowerStatus;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HostState.IsPreview = 0;
        HostState.IsWin9x = row.win9x;
        HostState.AcLineStatus = 0xFF;
        HostState.AutoPlayMessage = untouched;
        HostState.SaverWindow = nullptr;
        PowerQuerySucceeds = row.powerOk;
        PowerQueries = 0;
        HWND blocker = nullptr;
        if (row.blocker != Blocker::None) {
            WNDCLASSA taken = {};
            taken.lpfnWndProc = DefWindowProcA;
            taken.hInstance = GetModuleHandleA(nullptr);
            taken.lpszClassName = "WindowsScreenSaverClass";
            RegisterClassA(&taken);
        }
        if (row.blocker == Blocker::RunningSaver)
            blocker = CreateWindowExA(0, "WindowsScreenSaverClass", "Screen Saver", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        Seen = {};
        SearchedParent = row.preview ? host : nullptr;
        SetTimer(nullptr, 0, 0, InspectAndDestroySaver);

        EXPECT_EQ(0, RunSaverWindow(row.preview ? host : nullptr));
        DrainQueue();
        EXPECT_EQ(row.windowMade, HostState.SaverWindow != nullptr);
        EXPECT_EQ(row.windowMade, Seen.found);
        EXPECT_EQ(row.powerQueries, PowerQueries);
        EXPECT_EQ(row.acLineStatus, HostState.AcLineStatus);
        if (row.blocker == Blocker::RunningSaver)
            EXPECT_EQ(untouched, HostState.AutoPlayMessage);
        else
            EXPECT_EQ(row.win9x ? autoPlay : 0u, HostState.AutoPlayMessage);
        if (row.windowMade) {
            EXPECT_EQ(row.preview ? 1 : 0, Seen.isPreview);
            EXPECT_EQ(0x2Bu, Seen.classStyle);
            // Icon 100 does not exist, and the class brings no cursor.
            EXPECT_EQ(0u, Seen.icon);
            EXPECT_EQ(0u, Seen.cursor);
            EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)), Seen.brush);
            EXPECT_EQ(row.preview ? 0x52000000u : 0x96000000u, Seen.style);
            EXPECT_EQ(row.preview ? 0u : static_cast<DWORD>(WS_EX_TOPMOST), Seen.exStyle);
            EXPECT_STREQ(row.preview ? "Preview" : "Screen Saver", Seen.title);
            RECT expected = {0, 0, 160, 120};
            if (!row.preview)
                expected = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                            GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                            GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
            EXPECT_TRUE(EqualRect(&expected, &Seen.rect));
        }
        KillTimer(nullptr, 0);
        if (blocker != nullptr)
            DestroyWindow(blocker);
        // One run per process registers the class; each row is such a run.
        UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(nullptr));
    }
}

} // namespace
