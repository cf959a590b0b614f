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

} // namespace
