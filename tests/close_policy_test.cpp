// The saver window's message chain in a real message queue: messages go in
// through its first layer, HostWindowProc, for a window of the test, and the
// WM_CLOSE messages posted on the way to the close policy are picked up with
// PeekMessageA. The tick count, cursor and power status are the test's.
#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>

#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

// What the platform tells the saver: the tick count, the cursor, the AC line
// status (0xFF: the power query fails), and the user's answer to the verifier.
struct { uint32_t tick; POINT cursor; BYTE ac; BOOL answer; } Fake;

DWORD WINAPI FakeTick() { return Fake.tick; }
BOOL WINAPI FakeCursor(LPPOINT point) { *point = Fake.cursor; return TRUE; }
BOOL WINAPI FakePower(LPSYSTEM_POWER_STATUS status) { status->ACLineStatus = Fake.ac; return Fake.ac != 0xFF; }
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

// Takes the posted closes off the queue and counts them; the quit message
// that destruction posts comes along too, and is left out.
int ClosesPosted() {
    int closes = 0;
    for (MSG close; PeekMessageA(&close, Window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
        closes += close.message == WM_CLOSE;
    return closes;
}

// Watching on Windows 9x with a verifier, the cursor anchored at (100, 100), on AC power.
void Reset() {
    Platform = {.GetTickCount = FakeTick, .GetCursorPos = FakeCursor, .GetSystemPowerStatus = FakePower,
                .GetModuleHandleA = GetModuleHandleA, .SetTimer = NoTimer, .CreateSolidBrush = CreateSolidBrush,
                .CreateCompatibleBitmap = CreateCompatibleBitmap};
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostWindowProc));
    Fake = {.cursor = {100, 100}, .ac = 1};
    HostState = {.IsWin9x = 1, .AcLineStatus = 1, .PasswordVerifier = Verifier, .LastVerifyTick = NeverVerified,
                 .MouseThreshold = HostState.MouseThreshold, .LastCursorPos = {100, 100}};
}

enum State { Watching, Nt, Preview, ClosingAllowed }; // Watching and ClosingAllowed on Windows 9x, full screen

// What a row sets up and expects besides the closes it posts. AsAutoPlay: the
// last layer is told that the message is AutoPlay's and answers it with a
// close, so a close more than the first layer's own shows that the message
// got past the first layer.
enum Also { Nothing = 0, WithVerifier = 1, AsAutoPlay = 2, ReturnsOne = 4, HidesCursor = 8, DetachesInput = 16 };
struct Row { UINT message; WPARAM wParam; LPARAM lParam; State state; int closes; int also; };

void Send(const Row &row, const testing::Message &which) {
    SCOPED_TRACE(which);
    HostState.IsWin9x = row.state != Nt;
    HostState.IsPreview = row.state == Preview;
    HostState.CloseAllowed = row.state == ClosingAllowed;
    HostState.PasswordVerifier = row.also & WithVerifier ? Verifier : nullptr;
    HostState.AutoPlayMessage = row.also & AsAutoPlay ? row.message : 0;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(row.also & ReturnsOne ? 1 : 0, SendMessageA(Window, row.message, row.wParam, row.lParam));
    EXPECT_EQ(row.closes, ClosesPosted());
    EXPECT_EQ((row.also & HidesCursor) != 0, GetCursor() == nullptr);
    EXPECT_EQ((row.also & DetachesInput) != 0, ImmGetContext(Window) == nullptr);
}

TEST(ClosePolicy, WhatEachMessageDoesInEachStateAndHowOftenTheVerifierIsAsked) {
    const UINT sc = WM_SYSCOMMAND, power = WM_POWERBROADCAST, autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    // message, wParam, lParam, state, closes posted, what else.
    const Row rows[] = {
        // Creation detaches the input method (Wine always has one) and hides
        // the cursor; destruction gives the input method back.
        {WM_CREATE, 0, 0, Watching, 0, HidesCursor | DetachesInput}, {WM_DESTROY, 0, 0, Watching, 0, Nothing},
        {WM_CREATE, 0, 0, Preview, 0, DetachesInput}, {WM_DESTROY, 0, 0, Preview, 0, Nothing},
        // The first layer keeps these from the rest of the chain, and passes those on: AsAutoPlay has the last
        // layer answer the message with a close, so a close shows that it got there.
        {WM_SETTEXT, 0, 0, Watching, 0, AsAutoPlay}, {sc, SC_SCREENSAVE, 0, Watching, 0, AsAutoPlay},
        {sc, SC_NEXTWINDOW, 0, Watching, 0, AsAutoPlay}, {sc, SC_PREVWINDOW, 0, Watching, 0, AsAutoPlay},
        {sc, SC_SCREENSAVE | 1, 0, Watching, 1, AsAutoPlay}, {sc, SC_MONITORPOWER, 0, Watching, 2, AsAutoPlay},
        {WM_CONTEXTMENU, 0, 0, Preview, 0, AsAutoPlay | ReturnsOne},
        {WM_HELP, 0, 0, Preview, 0, AsAutoPlay | ReturnsOne}, {WM_PAINT, 0, 0, Watching, 1, AsAutoPlay | HidesCursor},
        {WM_PAINT, 0, 0, Preview, 0, Nothing}, {WM_PAINT, 0, 0, ClosingAllowed, 0, Nothing},
        {WM_TIMER, 101, 0, Watching, 1, AsAutoPlay}, {WM_TIMER, 101, 0, ClosingAllowed, 0, AsAutoPlay},
        // The close policy: input, activation, power, AutoPlay (cancelled only while a password guards the session).
        {WM_KEYDOWN, 0, 0, Watching, 1, Nothing}, {WM_SYSKEYDOWN, 0, 0, Watching, 1, Nothing},
        {WM_LBUTTONDOWN, 0, 0, Watching, 1, Nothing}, {WM_RBUTTONDOWN, 0, 0, Watching, 1, Nothing},
        {WM_MBUTTONDOWN, 0, 0, Watching, 1, Nothing}, {WM_KEYDOWN, 0, 0, Preview, 0, Nothing},
        {WM_ACTIVATEAPP, 1, 0, Watching, 0, Nothing}, {WM_ACTIVATEAPP, 0, 0, Watching, 1, Nothing},
        {WM_POWER, 2, 0, Watching, 0, Nothing}, {WM_POWER, 3, 0, Watching, 1, Nothing},
        {autoPlay, 0, 0, Watching, 1, AsAutoPlay | WithVerifier | ReturnsOne},
        {autoPlay, 0, 0, Preview, 1, AsAutoPlay | WithVerifier | ReturnsOne}, {autoPlay, 0, 0, Watching, 1, AsAutoPlay},
        // The cursor stays hidden; the verification request is Windows 9x's.
        {WM_SHOWWINDOW, 1, 0, Watching, 0, HidesCursor}, {WM_SETCURSOR, 0, 0, Watching, 0, ReturnsOne | HidesCursor},
        {WM_SHOWWINDOW, 0, 0, Watching, 0, Nothing}, {WM_APP, 0, 0, Watching, 0, ReturnsOne},
        {WM_APP, 0, 0, Nt, 0, Nothing}};
    Reset();
    for (const Row &row : rows)
        Send(row, testing::Message() << "row " << &row - rows);
    // Every power event: a resume from a failure (bit 0) does not close, and the AC line status has not changed.
    for (LPARAM flags : {1, 2})
        for (WPARAM event = 0; event <= 20; ++event) {
            const bool resume = event == 6 || event == 7 || event == 8 || event == 18;
            Send({power, event, flags, Watching, event != PBT_APMPOWERSTATUSCHANGE && !(resume && flags & 1), 0},
                 testing::Message() << "power event " << event << ", flags " << flags);
        }
    // What the platform reports. The AC line status changes from 1 to 0, to
    // unknown (the query fails), and stays unknown. Cursor travel over 4 from
    // the anchor closes and moves the anchor there; so does a refused close.
    const struct { UINT message; BYTE ac; POINT cursor; int closes, also; } reports[] = {
        {power, 0, {}, 1}, {power, 0xFF, {}, 1}, {power, 0xFF, {}, 0}, {WM_MOUSEMOVE, 1, {103, 101}, 0},
        {WM_MOUSEMOVE, 1, {104, 101}, 1}, {WM_MOUSEMOVE, 1, {101, 100}, 0}, {WM_MOUSEMOVE, 1, {100, 100}, 1},
        {WM_CLOSE, 1, {50, 60}, 0, WithVerifier | HidesCursor}, {WM_MOUSEMOVE, 1, {51, 57}, 0}};
    for (const auto &report : reports) {
        Fake.ac = report.ac;
        Fake.cursor = report.cursor;
        Send({report.message, report.message == power ? PBT_APMPOWERSTATUSCHANGE : 0u, 0, Watching, report.closes,
              report.also}, testing::Message() << "report " << &report - reports);
    }

    // ConfirmClose asks the verifier at most once per 200 ms.
    // Counted from the end of the last question, across the wrap: 0x2B is
    // 199 ms after 0xFFFFFF64. A question ending at 0xFFFFFFFF leaves no
    // debounce. Only an asked user's 100 ms pass. A refusal without asking
    // leaves its tick queued, so the next question finds two to discard.
    // An answer of 2 is kept as 2; a refusal without asking keeps the last one.
    const struct { uint32_t tick; bool asks; BOOL result; } requests[] = {
        {0xFFFFFF00, 1, 0}, {0x2B, 0, 0}, {0x2C, 1, 0}, {0xFFFFFF9B, 1, 0}, {0x10, 1, 2}};
    Reset();
    for (const auto &request : requests) {
        SCOPED_TRACE(request.tick);
        Fake.tick = request.tick;
        Fake.answer = request.result;
        PostMessageA(Window, WM_TIMER, 101, 0);
        EXPECT_EQ(request.result, ConfirmClose(Window));
        EXPECT_EQ(request.tick + (request.asks ? 100 : 0), Fake.tick);
        EXPECT_FALSE(HostState.Verifying || ClosesPosted());
    }
}
