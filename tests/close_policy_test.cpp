// The saver window's message chain in a real message queue: messages go in
// through its first layer, HostWindowProc, for a window of the test, and the
// WM_CLOSE messages posted on the way to the close policy are picked up with
// PeekMessageA. The tick count, cursor and power status are the test's.
#include <gtest/gtest.h>

#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/platform_seams.h"
#include "host/saver_window.h"

uint32_t Tick;
POINT Cursor;
BYTE AcLine; // 0xFF: the power query fails
BOOL Answer;

DWORD WINAPI FakeTick() { return Tick; }
BOOL WINAPI FakeCursor(LPPOINT point) { *point = Cursor; return TRUE; }
BOOL WINAPI FakePower(LPSYSTEM_POWER_STATUS status) { status->ACLineStatus = AcLine; return AcLine != 0xFF; }

// Asked with the queued tick gone; a close meanwhile is refused unasked. The
// user takes 100 ms to answer.
BOOL WINAPI Verifier(HWND window)
{
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    Tick += 100;
    return Answer;
}

HWND Window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);

// Takes the posted closes off the queue and counts them.
int ClosesPosted()
{
    int closes = 0;
    for (MSG close; PeekMessageA(&close, Window, WM_CLOSE, WM_CLOSE, PM_REMOVE);)
        ++closes;
    return closes;
}

// Watching on Windows 9x with a verifier, the cursor anchored at (100, 100),
// on AC power. The chain uses no other seam for these messages.
void Reset()
{
    Platform = {FakeTick, FakeCursor, FakePower, nullptr, nullptr, nullptr, nullptr, nullptr};
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostWindowProc));
    // Instance, IsWin9x, SaverWindow, IsPreview, AcLineStatus, AutoPlayMessage, PasswordModule, PasswordVerifier,
    // CloseAllowed, Verifying, LastVerifyTick, MouseThreshold (the program's), LastCursorPos, input method x 3
    HostState = {nullptr, 1, nullptr, 0, 1, RegisterWindowMessageA("QueryCancelAutoPlay"), nullptr, Verifier,
                 0, 0, NeverVerified, HostState.MouseThreshold, {100, 100}, nullptr, nullptr, nullptr};
}

TEST(ClosePolicy, WhatClosesWhileWatching)
{
    // ac: the AC line status reported (it starts at 1; 0xFF: the query fails).
    // at: the cursor; travel over 4 from the anchor closes, and a refused close
    // moves the anchor. v: with a verifier, AutoPlay is cancelled; it closes
    // either way. ap: the last layer takes the message for AutoPlay's, so a
    // close more than the first layer's own shows that it went past that layer.
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay"), pb = WM_POWERBROADCAST, move = WM_MOUSEMOVE,
               sc = WM_SYSCOMMAND;
    const WPARAM change = PBT_APMPOWERSTATUSCHANGE;
    const struct { UINT m; WPARAM wp; LPARAM lp; BYTE ac; POINT at; int closes; bool v, ap; } rows[] = {
        {WM_SETTEXT, 0, 0, 1, {}, 0, 0, 1}, {sc, SC_SCREENSAVE, 0, 1, {}, 0, 0, 1},
        {sc, SC_SCREENSAVE | 1, 0, 1, {}, 1, 0, 1}, {sc, SC_NEXTWINDOW, 0, 1, {}, 0, 0, 1},
        {sc, SC_MONITORPOWER, 0, 1, {}, 2, 0, 1}, {WM_TIMER, 101, 0, 1, {}, 1, 0, 1},
        {WM_SYSKEYDOWN, 0, 0, 1, {}, 1, 0, 0}, {WM_LBUTTONDOWN, 0, 0, 1, {}, 1, 0, 0},
        {WM_RBUTTONDOWN, 0, 0, 1, {}, 1, 0, 0}, {WM_MBUTTONDOWN, 0, 0, 1, {}, 1, 0, 0},
        {WM_ACTIVATEAPP, 1, 0, 1, {}, 0, 0, 0}, {WM_ACTIVATEAPP, 0, 0, 1, {}, 1, 0, 0},
        {WM_POWER, 2, 0, 1, {}, 0, 0, 0}, {pb, PBT_APMRESUMEAUTOMATIC, 3, 1, {}, 0, 0, 0},
        {pb, PBT_APMRESUMESUSPEND, 2, 1, {}, 1, 0, 0}, {pb, PBT_APMSUSPEND, 0, 1, {}, 1, 0, 0},
        {pb, change, 0, 1, {}, 0, 0, 0}, {pb, change, 0, 0, {}, 1, 0, 0}, {pb, change, 0, 0xFF, {}, 1, 0, 0},
        {pb, change, 0, 0xFF, {}, 0, 0, 0}, {autoPlay, 0, 0, 0, {}, 1, 0, 1}, {autoPlay, 0, 0, 0, {}, 1, 1, 1},
        {move, 0, 0, 0, {103, 101}, 0, 1, 0}, {move, 0, 0, 0, {104, 101}, 1, 1, 0},
        {WM_CLOSE, 0, 0, 0, {50, 60}, 0, 1, 0}, {move, 0, 0, 0, {51, 57}, 0, 1, 0}};
    Reset();
    Answer = 0;
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        AcLine = row.ac;
        Cursor = row.at;
        HostState.PasswordVerifier = row.v ? Verifier : nullptr;
        HostState.AutoPlayMessage = row.ap ? row.m : 0;
        EXPECT_EQ(row.ap && row.v, SendMessageA(Window, row.m, row.wp, row.lp) != 0);
        EXPECT_EQ(row.closes, ClosesPosted());
    }
    // A preview watches no input: it lives in the Display control panel.
    HostState.IsPreview = 1;
    SendMessageA(Window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(0, ClosesPosted());
}

TEST(ClosePolicy, ConfirmCloseAsksAtMostOncePer200Ms)
{
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
        Tick = request.tick;
        Answer = request.result;
        PostMessageA(Window, WM_TIMER, 101, 0);
        EXPECT_EQ(request.result, ConfirmClose(Window));
        EXPECT_EQ(request.tick + (request.asks ? 100 : 0), Tick);
        EXPECT_FALSE(HostState.Verifying || ClosesPosted());
    }
}
