// The close policy in a real message queue: messages go in through a window
// procedure and posted WM_CLOSE messages are counted with PeekMessageA. The
// tick count, cursor and power status are the test's.
#include <gtest/gtest.h>

#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

uint32_t Tick, Takes; // Takes: how long the user takes to answer
POINT Cursor;
BYTE AcLine; // 0xFF: the power query fails
BOOL Answer;
int Asked;

DWORD WINAPI FakeTick() { return Tick; }
BOOL WINAPI FakeCursor(LPPOINT point) { *point = Cursor; return TRUE; }
BOOL WINAPI FakePower(LPSYSTEM_POWER_STATUS status) { status->ACLineStatus = AcLine; return AcLine != 0xFF; }
LRESULT CALLBACK PolicyProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SaverDefaultHandler(w, m, wp, lp); }

// Asked with the queued ticks gone; a close meanwhile is refused unasked.
BOOL WINAPI Verifier(HWND window)
{
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    Tick += Takes;
    ++Asked;
    return Answer;
}

HWND Window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);

// Empties the queue; how many closes were in it.
int ClosesPosted()
{
    int closes = 0;
    for (MSG message; PeekMessageA(&message, Window, 0, 0, PM_REMOVE);)
        closes += message.message == WM_CLOSE;
    return closes;
}

// state: 0 watching, 1 preview, 2 close allowed, 3 verifying; on Windows 9x,
// with the cursor at (100, 100) and on AC power.
void Reset(int state)
{
    Platform.GetTickCount = FakeTick;
    Platform.GetCursorPos = FakeCursor;
    Platform.GetSystemPowerStatus = FakePower;
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PolicyProc));
    // Instance, IsWin9x, SaverWindow, IsPreview, AcLineStatus, AutoPlayMessage, PasswordModule, PasswordVerifier,
    // CloseAllowed, Verifying, LastVerifyTick, MouseThreshold (the program's), LastCursorPos, input method x 3
    HostState = {nullptr, 1, nullptr, state == 1, 1, RegisterWindowMessageA("QueryCancelAutoPlay"), nullptr, Verifier,
                 state == 2, state == 3, NeverVerified, HostState.MouseThreshold, {100, 100}, nullptr, nullptr, nullptr};
    Cursor = HostState.LastCursorPos;
    ClosesPosted();
}

TEST(ClosePolicy, MessagesInEveryState)
{
    // In order; closes: 1 only while watching, 2 in every state. v: with a
    // verifier, AutoPlay is cancelled.
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay"), pb = WM_POWERBROADCAST;
    const WPARAM change = PBT_APMPOWERSTATUSCHANGE;
    const struct { UINT m; WPARAM wp; LPARAM lp; BYTE ac; int closes; bool v; } rows[] = {
        {WM_KEYDOWN, 'A', 0, 1, 1, 0}, {WM_LBUTTONUP, 0, 0, 1, 0, 0}, {WM_ACTIVATEAPP, 1, 0, 1, 0, 0},
        {WM_ACTIVATEAPP, 0, 0, 1, 1, 0}, {WM_POWER, 2, 0, 1, 0, 0}, {WM_POWER, 3, 0, 1, 1, 0},
        {pb, PBT_APMRESUMESUSPEND, 1, 1, 0, 0}, {pb, PBT_APMRESUMESUSPEND, 2, 1, 1, 0}, {pb, 19, 1, 1, 1, 0},
        {pb, change, 0, 1, 0, 0}, {pb, change, 0, 0, 1, 0}, {pb, change, 0, 0, 0, 0}, {pb, change, 0, 0xFF, 1, 0},
        {autoPlay, 0, 0, 1, 2, 0}, {autoPlay, 0, 0, 1, 2, 1}};
    for (int state : {0, 1, 2, 3}) {
        Reset(state);
        for (const auto &row : rows) {
            SCOPED_TRACE(testing::Message() << state << ": " << row.m << " " << row.wp << " " << row.lp);
            AcLine = row.ac;
            HostState.PasswordVerifier = row.v ? Verifier : nullptr;
            LRESULT result = SendMessageA(Window, row.m, row.wp, row.lp);
            EXPECT_EQ(row.closes == 2 || (row.closes == 1 && state == 0), ClosesPosted() == 1);
            EXPECT_EQ(row.m == autoPlay && row.v, result != 0);
        }
    }
}

TEST(ClosePolicy, CursorTravelIsMeasuredFromTheAnchor)
{
    // Travel over 4 from the anchor closes and moves it; a refused close moves it too.
    const struct { bool close; POINT at; int closes; } steps[] = {
        {false, {103, 101}, 0}, {false, {104, 101}, 1}, {false, {106, 102}, 0}, {false, {108, 102}, 1},
        {false, {104, 102}, 0}, {true, {50, 60}, 0}, {false, {52, 58}, 0}, {false, {47, 62}, 1}};
    Reset(0);
    Answer = 0;
    for (const auto &step : steps) {
        SCOPED_TRACE(&step - steps);
        Cursor = step.at;
        Tick += 1000;
        SendMessageA(Window, step.close ? WM_CLOSE : WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(step.closes, ClosesPosted());
    }
}

TEST(ClosePolicy, ConfirmCloseAsksAtMostOncePer200Ms)
{
    const struct { uint32_t tick, takes; BOOL answer; int asks; } requests[] = {
        {1000, 50, 0, 1}, {1249, 0, 1, 0}, {1250, 50, 0, 1}, {0xFFFFFF00, 0xF0, 0, 1}, {5, 0, 1, 0}, // across the wrap
        {0xC0, 0xFFFFFF3F, 0, 1}, {0x10, 0, 2, 1}, // a verification ending at 0xFFFFFFFF leaves no debounce
    };
    Reset(0);
    for (const auto &request : requests) {
        SCOPED_TRACE(request.tick);
        Tick = request.tick;
        Takes = request.takes;
        Answer = request.answer;
        Asked = 0;
        PostMessageA(Window, WM_TIMER, 101, 0);
        PostMessageA(Window, WM_TIMER, 101, 0);
        LRESULT expected = request.asks ? request.answer : 0; // an answer of 2 is kept as 2
        EXPECT_EQ(expected, ConfirmClose(Window));
        EXPECT_EQ(expected, HostState.CloseAllowed);
        EXPECT_EQ(request.asks, Asked);
        EXPECT_EQ(0, HostState.Verifying + ClosesPosted());
    }
}

} // namespace
