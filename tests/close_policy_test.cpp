// The close policy in a real message queue: messages go in through a window
// procedure and posted WM_CLOSE messages are counted with PeekMessageA. The
// tick count, cursor and power status are the test's.
#include <gtest/gtest.h>

#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

uint32_t Tick, VerifyTakes;
POINT Cursor;
BYTE AcLine; // 0xFF: the power query fails
BOOL Answer;
int Asked;

DWORD WINAPI FakeTick() { return Tick; }
BOOL WINAPI FakeCursor(LPPOINT point) { *point = Cursor; return TRUE; }
BOOL WINAPI FakePower(LPSYSTEM_POWER_STATUS status) { status->ACLineStatus = AcLine; return AcLine != 0xFF; }
LRESULT CALLBACK PolicyProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SaverDefaultHandler(w, m, wp, lp); }

// While ConfirmClose asks, queued ticks must be gone and a second close refused unasked.
BOOL WINAPI Verifier(HWND window)
{
    MSG message;
    if (++Asked == 1 && HostState.Verifying) {
        EXPECT_FALSE(PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_NOREMOVE));
        EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    }
    Tick += VerifyTakes;
    return Answer;
}

HWND Window = [] {
    WNDCLASSA windowClass = {0, PolicyProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Policy"};
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "Policy", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
}();

// Empties the queue; how many closes were in it.
int ClosesPosted()
{
    MSG message;
    int closes = 0;
    while (PeekMessageA(&message, Window, 0, 0, PM_REMOVE))
        closes += message.message == WM_CLOSE;
    return closes;
}

void Reset(int32_t win9x, VerifyScreenSavePwdProc verifier, int state = 0)
{
    Platform.GetTickCount = FakeTick;
    Platform.GetCursorPos = FakeCursor;
    Platform.GetSystemPowerStatus = FakePower;
    HostState.IsWin9x = win9x;
    HostState.IsPreview = state == 1;
    HostState.CloseAllowed = state == 2 ? 2 : 0;
    HostState.Verifying = state == 3;
    HostState.LastVerifyTick = NeverVerified;
    HostState.LastCursorPos = Cursor = {100, 100};
    HostState.AcLineStatus = AcLine = 1;
    HostState.AutoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
    HostState.PasswordVerifier = verifier;
    ClosesPosted();
}

TEST(ClosePolicy, MessagesInEveryState)
{
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    // closes: 1 while watching, 2 in every state
    const struct { UINT message; WPARAM wParam; LPARAM lParam; BYTE acLine; int closes; } rows[] = {
        {WM_KEYDOWN, 'A', 0, 1, 1}, {WM_RBUTTONDOWN, 0, 0, 1, 1}, {WM_LBUTTONUP, 0, 0, 1, 0},
        {WM_ACTIVATEAPP, 1, 0, 1, 0}, {WM_ACTIVATEAPP, 0, 0, 1, 1}, {WM_POWER, 2, 0, 1, 0},
        {WM_POWER, 3, 0, 1, 1}, {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1, 1, 0},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 2, 1, 1}, {WM_POWERBROADCAST, 19, 1, 1, 1},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 1, 0},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 0, 1},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 0xFF, 1}, // unknown is a change too
        {autoPlay, 0, 0, 1, 2},
    };
    for (int state : {0, 1, 2, 3}) { // watching, preview, close allowed, verifying
        for (const auto &row : rows) {
            SCOPED_TRACE(testing::Message() << state << ": " << row.message << " " << row.wParam << " " << row.lParam);
            Reset(0, nullptr, state);
            AcLine = row.acLine;
            SendMessageA(Window, row.message, row.wParam, row.lParam);
            EXPECT_EQ(row.closes == 2 || (row.closes == 1 && state == 0), ClosesPosted() == 1);
            EXPECT_EQ(state == 0 && row.message == WM_POWERBROADCAST ? row.acLine : 1, HostState.AcLineStatus);
        }
    }
}

TEST(ClosePolicy, VerifyRequestAndAutoPlayAnswers)
{
    const struct { UINT message; int32_t win9x; bool verifier; LRESULT result; } rows[] = {
                {WM_APP, 1, false, 1}, {WM_APP, 1, true, 5}, {WM_APP, 0, true, 0},
                {RegisterWindowMessageA("QueryCancelAutoPlay"), 0, true, 1},
                {RegisterWindowMessageA("QueryCancelAutoPlay"), 0, false, 0}, {WM_SETCURSOR, 0, false, 1}};
    for (const auto &row : rows) {
        Reset(row.win9x, row.verifier ? Verifier : nullptr);
        Answer = 5;
        EXPECT_EQ(row.result, SendMessageA(Window, row.message, 0, 0)) << row.message;
    }
}

TEST(ClosePolicy, CursorTravelIsMeasuredFromTheAnchor)
{
    const struct { bool refusedClose; POINT cursor, anchor; } steps[] = { // else a cursor move
        {false, {103, 101}, {100, 100}}, {false, {104, 101}, {104, 101}}, {false, {106, 102}, {104, 101}},
        {false, {108, 102}, {108, 102}}, {false, {104, 102}, {108, 102}}, {false, {104, 103}, {104, 103}},
        {true, {50, 60}, {50, 60}}, {false, {50, 60}, {50, 60}}, {false, {47, 62}, {47, 62}},
    };
    Reset(1, Verifier);
    Answer = 0;
    for (const auto &step : steps) {
        SCOPED_TRACE(testing::Message() << step.cursor.x << ", " << step.cursor.y);
        Cursor = step.cursor;
        Tick += 1000;
        // A move closes exactly when it moves the anchor.
        bool moves = HostState.LastCursorPos.x != step.anchor.x || HostState.LastCursorPos.y != step.anchor.y;
        EXPECT_EQ(0, SendMessageA(Window, step.refusedClose ? WM_CLOSE : WM_MOUSEMOVE, 0, 0));
        EXPECT_EQ(moves && !step.refusedClose, ClosesPosted() == 1);
        EXPECT_EQ(step.anchor.x, HostState.LastCursorPos.x);
        EXPECT_EQ(step.anchor.y, HostState.LastCursorPos.y);
    }
}

TEST(ClosePolicy, ConfirmCloseAsksAtMostOncePer200Ms)
{
    const struct { uint32_t tick, takes; BOOL answer; int asks; } requests[] = {
        {1000, 50, 0, 1}, {1249, 0, 1, 0}, {1250, 50, 0, 1}, {0xFFFFFF00, 0xF0, 0, 1}, {5, 0, 1, 0}, // across the wrap
        {0xC0, 0xFFFFFF3F, 0, 1}, {0x10, 0, 2, 1}, // a verification ending at 0xFFFFFFFF leaves no debounce
    };
    Reset(1, Verifier);
    for (const auto &request : requests) {
        SCOPED_TRACE(request.tick);
        Tick = request.tick;
        VerifyTakes = request.takes;
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
