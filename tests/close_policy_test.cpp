// The saver window's message chain in a real message queue: messages go in
// through its first layer, HostWindowProc, for a window of the test, and the
// WM_CLOSE messages posted on the way to the close policy are picked up with
// PeekMessageA. The tick count, cursor and power status are the test's.
#include <gtest/gtest.h>

#include <vector>
#include <windows.h>
#include <imm.h>

#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

// What the platform tells the saver: the tick count, the cursor, the AC line
// status (0xFF: the power query fails), and the user's answer to the verifier;
// and the brushes the effect has made.
struct { uint32_t tick; POINT cursor; BYTE ac; BOOL answer; int brushes; } Fake;

DWORD WINAPI FakeTick() { return Fake.tick; }
BOOL WINAPI FakeCursor(LPPOINT point) { *point = Fake.cursor; return TRUE; }
BOOL WINAPI FakePower(LPSYSTEM_POWER_STATUS status) { status->ACLineStatus = Fake.ac; return Fake.ac != 0xFF; }
HBRUSH WINAPI FakeBrush(COLORREF colour) { ++Fake.brushes; return CreateSolidBrush(colour); }
// The effect, created on the test's window, starts no timer of its own.
UINT_PTR WINAPI NoTimer(HWND, UINT_PTR id, UINT, TIMERPROC) { return id; }

// Asked with the queued ticks gone. While it asks, a close is refused unasked
// and a key press is no activity. The user takes 100 ms to answer.
BOOL WINAPI Verifier(HWND window) {
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    Fake.tick += 100;
    return Fake.answer;
}

HWND Window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
const UINT AutoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");

// Takes the posted closes off the queue and counts them; the quit message
// that destruction posts comes along too, and is left out.
int ClosesPosted() {
    int closes = 0;
    for (MSG close; PeekMessageA(&close, Window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
        closes += close.message == WM_CLOSE;
    return closes;
}

enum State { Watching, Preview, ClosingAllowed }; // all on Windows 9x; all but Preview full screen

// A message sent in a state, with or without a verifier, the AC line status
// known before and reported now, and the cursor where it is now; then the
// closes it posts, its result, whether the cursor is hidden, where the cursor
// is anchored and whether the message passed the first layer. For a question:
// when the last one ended, the tick now, the user's answer (0 refuses), the
// ticks queued, and whether the user is asked.
struct Row {
    const char *name; UINT message; WPARAM wParam; LPARAM lParam; State state; bool verifier; BYTE acWas, acNow;
    POINT cursor; int closes; LRESULT result; bool hidden; POINT anchor; bool passedOn;
    uint32_t last = NeverVerified, now; BOOL answer; int ticks; bool asks;
};

// The row's state with the cursor anchored at (0, 0), nothing queued and the cursor shown.
void Reset(const Row &row) {
    Platform = {.GetTickCount = FakeTick, .GetCursorPos = FakeCursor, .GetSystemPowerStatus = FakePower,
                .GetModuleHandleA = GetModuleHandleA, .SetTimer = NoTimer, .CreateSolidBrush = FakeBrush,
                .CreateCompatibleBitmap = CreateCompatibleBitmap};
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostWindowProc));
    Fake = {.tick = row.now, .cursor = row.cursor, .ac = row.acNow, .answer = row.answer};
    HostState = {.IsWin9x = 1, .IsPreview = row.state == Preview, .AcLineStatus = row.acWas,
                 .AutoPlayMessage = AutoPlay, .PasswordVerifier = row.verifier ? Verifier : nullptr,
                 .CloseAllowed = row.state == ClosingAllowed, .LastVerifyTick = row.last,
                 .MouseThreshold = HostState.MouseThreshold};
    ClosesPosted();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// With probe, the last layer takes each message for AutoPlay's and answers it
// with a close, so one close more shows that the message was passed on.
void Check(const char *table, bool probe, const std::vector<Row> &rows) {
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << table << ": " << row.name);
        Reset(row);
        HostState.AutoPlayMessage = probe ? row.message : AutoPlay;
        EXPECT_EQ(row.result, SendMessageA(Window, row.message, row.wParam, row.lParam)) << "result";
        EXPECT_EQ(row.closes + (probe && row.passedOn), ClosesPosted()) << "closes posted";
        EXPECT_EQ(row.hidden, GetCursor() == nullptr) << "cursor hidden";
        EXPECT_TRUE(row.anchor.x == HostState.LastCursorPos.x && row.anchor.y == HostState.LastCursorPos.y) << "anchor";
    }
}

TEST(HostWindow, KeepsSomeMessagesFromTheRestOfTheChain) {
    Check("first layer", true, {
        {.name = "WM_SETTEXT", .message = WM_SETTEXT},
        {.name = "SC_SCREENSAVE", .message = WM_SYSCOMMAND, .wParam = SC_SCREENSAVE},
        {.name = "SC_NEXTWINDOW", .message = WM_SYSCOMMAND, .wParam = SC_NEXTWINDOW},
        {.name = "SC_PREVWINDOW", .message = WM_SYSCOMMAND, .wParam = SC_PREVWINDOW},
        {.name = "SC_SCREENSAVE | 1", .message = WM_SYSCOMMAND, .wParam = SC_SCREENSAVE | 1, .passedOn = true},
        {.name = "SC_MONITORPOWER", .message = WM_SYSCOMMAND, .wParam = SC_MONITORPOWER, .closes = 1, .passedOn = true},
        {.name = "WM_HELP in a preview", .message = WM_HELP, .state = Preview, .result = 1},
        {.name = "WM_PAINT", .message = WM_PAINT, .hidden = true, .passedOn = true},
        {.name = "WM_PAINT in a preview", .message = WM_PAINT, .state = Preview, .passedOn = true},
        {.name = "WM_PAINT once closing is allowed", .message = WM_PAINT, .state = ClosingAllowed},
        {.name = "WM_TIMER", .message = WM_TIMER, .wParam = 101, .passedOn = true},
        {.name = "WM_TIMER once closing is allowed", .message = WM_TIMER, .wParam = 101, .state = ClosingAllowed},
    });
}

// Creation detaches the input method (Wine always has one) and, full screen,
// hides the cursor; destruction gives the input method back. The effect fills
// its colour layer once and draws no frame before the first tick.
TEST(HostWindow, CreationDetachesTheInputMethodAndDestructionGivesItBack) {
    for (State state : {Watching, Preview}) {
        SCOPED_TRACE(state == Preview ? "preview" : "full screen");
        Reset({.state = state});
        SendMessageA(Window, WM_CREATE, 0, 0);
        EXPECT_EQ(state == Watching, GetCursor() == nullptr) << "cursor hidden";
        EXPECT_EQ(nullptr, ImmGetContext(Window)) << "input method after WM_CREATE";
        EXPECT_EQ(1, Fake.brushes) << "brushes made on WM_CREATE";
        SendMessageA(Window, WM_DESTROY, 0, 0);
        EXPECT_NE(nullptr, ImmGetContext(Window)) << "input method after WM_DESTROY";
    }
}

// Input, cursor travel of more than 4 from the anchor (0, 0), which moves the
// anchor there, and deactivation close. A resume from a failure does not; a
// status report closes only when the AC line status changed; every other
// power event closes, whatever its flags. AutoPlay closes too, and is
// cancelled only while a password guards the session.
TEST(ClosePolicy, WhatClosesTheSaver) {
    const UINT power = WM_POWERBROADCAST, status = PBT_APMPOWERSTATUSCHANGE, failed = PBTF_APMRESUMEFROMFAILURE;
    Check("what closes", false, {
        {.name = "WM_SYSKEYDOWN", .message = WM_SYSKEYDOWN, .closes = 1},
        {.name = "WM_LBUTTONDOWN", .message = WM_LBUTTONDOWN, .closes = 1},
        {.name = "WM_RBUTTONDOWN", .message = WM_RBUTTONDOWN, .closes = 1},
        {.name = "WM_MBUTTONDOWN", .message = WM_MBUTTONDOWN, .closes = 1},
        {.name = "WM_KEYDOWN in a preview", .message = WM_KEYDOWN, .state = Preview},
        {.name = "moved 4, up and left", .message = WM_MOUSEMOVE, .cursor = {-3, -1}},
        {.name = "moved 5, up and left", .message = WM_MOUSEMOVE, .cursor = {-4, -1}, .closes = 1, .anchor = {-4, -1}},
        {.name = "WM_ACTIVATEAPP, activated", .message = WM_ACTIVATEAPP, .wParam = TRUE},
        {.name = "WM_ACTIVATEAPP, deactivated", .message = WM_ACTIVATEAPP, .wParam = FALSE, .closes = 1},
        {.name = "AC 1 to 0", .message = power, .wParam = status, .acWas = 1, .closes = 1},
        {.name = "AC 0 to unknown", .message = power, .wParam = status, .acNow = 0xFF, .closes = 1},
        {.name = "AC unknown, still unknown", .message = power, .wParam = status, .acWas = 0xFF, .acNow = 0xFF},
        {.name = "resume critical, failed", .message = power, .wParam = PBT_APMRESUMECRITICAL, .lParam = failed},
        {.name = "resume suspend, failed", .message = power, .wParam = PBT_APMRESUMESUSPEND, .lParam = failed},
        {.name = "resume standby, failed", .message = power, .wParam = PBT_APMRESUMESTANDBY, .lParam = failed},
        {.name = "resume automatic, failed", .message = power, .wParam = PBT_APMRESUMEAUTOMATIC, .lParam = failed},
        {.name = "resume suspend, flag bit 1", .message = power, .wParam = PBT_APMRESUMESUSPEND, .lParam = 2, .closes = 1},
        {.name = "query suspend, failed", .message = power, .wParam = PBT_APMQUERYSUSPEND, .lParam = failed, .closes = 1},
        {.name = "WM_POWER PWR_SUSPENDRESUME", .message = WM_POWER, .wParam = PWR_SUSPENDRESUME},
        {.name = "WM_POWER PWR_CRITICALRESUME", .message = WM_POWER, .wParam = PWR_CRITICALRESUME, .closes = 1},
        {.name = "AutoPlay with a verifier", .message = AutoPlay, .verifier = true, .closes = 1, .result = 1},
        {.name = "AutoPlay without a verifier", .message = AutoPlay, .closes = 1},
    });
}

// The cursor stays hidden; a close the verifier refuses keeps it hidden and
// anchors it where it is.
TEST(ClosePolicy, TheCursorStaysHidden) {
    Check("cursor", false, {
        {.name = "WM_SHOWWINDOW, shown", .message = WM_SHOWWINDOW, .wParam = TRUE, .hidden = true},
        {.name = "WM_SETCURSOR", .message = WM_SETCURSOR, .result = 1, .hidden = true},
        {.name = "close refused", .message = WM_CLOSE, .verifier = true, .cursor = {5, 6}, .hidden = true, .anchor = {5, 6}},
    });
}

// At most one question per 200 ms, counted from the end of the last one
// across the wrap; the user takes 100 ms. Without a question the last answer
// stands (1 once closing is allowed); an answer of 2 is kept as 2. A question
// discards the ticks queued first, two when a refusal without asking left one.
TEST(ClosePolicy, TheVerifierIsAskedAtMostOncePer200Ms) {
    const Row rows[] = {
        {.name = "never asked", .verifier = true, .now = 0xFFFFFF00, .asks = true},
        {.name = "199 ms on", .state = ClosingAllowed, .verifier = true, .result = 1, .last = 0xFFFFFF64, .now = 0x2B},
        {.name = "200 ms on, 2 ticks queued", .verifier = true, .last = 0xFFFFFF64, .now = 0x2C, .ticks = 2, .asks = true},
        {.name = "answered 2", .verifier = true, .result = 2, .now = 0x10, .answer = 2, .asks = true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "questions: " << row.name);
        Reset(row);
        for (int tick = 0; tick < row.ticks; ++tick)
            PostMessageA(Window, WM_TIMER, 101, 0);
        EXPECT_EQ(row.result, ConfirmClose(Window));
        EXPECT_EQ(row.asks ? row.now + 100 : row.now, Fake.tick) << "asked";
        EXPECT_EQ(row.asks ? row.now + 100 : row.last, HostState.LastVerifyTick) << "the last question's end";
        EXPECT_FALSE(HostState.Verifying || ClosesPosted());
    }
}
