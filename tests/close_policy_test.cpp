// The close policy in a real message queue: messages go in through the window
// procedure and a posted WM_CLOSE is looked for with PeekMessageA. The tick
// count, cursor and power status come from the test.
#include <gtest/gtest.h>

#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/platform_seams.h"

namespace {

uint32_t FakeTick;
POINT FakeCursor;
BOOL FakePowerOk;
BYTE FakeAcLine;

DWORD WINAPI FakeGetTickCount() { return FakeTick; }
BOOL WINAPI FakeGetCursorPos(LPPOINT point) { *point = FakeCursor; return TRUE; }
BOOL WINAPI FakeGetSystemPowerStatus(LPSYSTEM_POWER_STATUS status)
{
    status->ACLineStatus = FakeAcLine;
    return FakePowerOk;
}

// What the test's verifier answers and saw. While ConfirmClose has it asking,
// it also tries a second close and looks for timer messages left queued.
BOOL Answer;
uint32_t VerifyDuration;
int Asked;
BOOL TimersLeft;
LRESULT NestedClose;

BOOL WINAPI TestVerifier(HWND window)
{
    ++Asked;
    if (HostState.Verifying) {
        MSG message;
        TimersLeft = PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_NOREMOVE);
        NestedClose = SendMessageA(window, WM_CLOSE, 0, 0);
    }
    FakeTick += VerifyDuration;
    return Answer;
}

LRESULT CALLBACK PolicyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverDefaultHandler(window, message, wParam, lParam);
}

class ClosePolicy : public testing::Test {
protected:
    HWND window = nullptr;

    void SetUp() override
    {
        Platform.GetTickCount = FakeGetTickCount;
        Platform.GetCursorPos = FakeGetCursorPos;
        Platform.GetSystemPowerStatus = FakeGetSystemPowerStatus;
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = PolicyWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ClosePolicyTest";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "ClosePolicyTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, window);
        Reset();
    }

    void TearDown() override { DestroyWindow(window); }

    void Reset()
    {
        HostState.IsWin9x = 0;
        HostState.IsPreview = 0;
        HostState.CloseAllowed = 0;
        HostState.Verifying = 0;
        HostState.LastVerifyTick = NeverVerified;
        HostState.LastCursorPos = {100, 100};
        HostState.AcLineStatus = 1;
        HostState.AutoPlayMessage = 0;
        HostState.PasswordVerifier = nullptr;
        FakeCursor = {100, 100};
        Asked = 0;
        Drain();
    }

    void Drain()
    {
        MSG message;
        while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
        }
    }

    int ClosesPosted()
    {
        MSG message;
        int count = 0;
        while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
            ++count;
        return count;
    }
};

TEST_F(ClosePolicy, ActivityAndPowerEventsInEveryState)
{
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        BOOL powerOk;
        BYTE acNow, acBefore, acAfter;
        bool closes;
    } rows[] = {
        {WM_KEYDOWN, 'A', 0, 1, 1, 1, 1, true},
        {WM_SYSKEYDOWN, 'X', 0, 1, 1, 1, 1, true},
        {WM_LBUTTONDOWN, 0, 0, 1, 1, 1, 1, true},
        {WM_RBUTTONDOWN, 0, 0, 1, 1, 1, 1, true},
        {WM_MBUTTONDOWN, 0, 0, 1, 1, 1, 1, true},
        {WM_LBUTTONUP, 0, 0, 1, 1, 1, 1, false},
        {WM_KEYUP, 'A', 0, 1, 1, 1, 1, false},
        {WM_ACTIVATEAPP, 1, 0, 1, 1, 1, 1, false},
        {WM_ACTIVATEAPP, 0, 0, 1, 1, 1, 1, true},
        {WM_POWER, 1, 0, 1, 1, 1, 1, false},
        {WM_POWER, 2, 0, 1, 1, 1, 1, false},
        {WM_POWER, 3, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMSTANDBY, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 1, 1, 1, 1, 1, false},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1, 1, 1, 1, 1, false},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMRESUMESTANDBY, 3, 1, 1, 1, 1, false},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 1, 1, 1, 1, 1, false},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 2, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMBATTERYLOW, 1, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMOEMEVENT, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, 17, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, 0x8013, 0, 1, 1, 1, 1, true},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 1, 1, 1, 1, false},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 1, 0, 1, 0, true},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 0, 0, 0xFF, 0xFF, false}, // failed twice
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 0, 1, 1, 0xFF, true},
        {WM_SHOWWINDOW, 1, 0, 1, 1, 1, 1, false},
    };
    enum { Watching, Preview, Allowed, Verifying };
    for (int state : {Watching, Preview, Allowed, Verifying}) {
        for (const auto &row : rows) {
            SCOPED_TRACE(testing::Message() << "state " << state << " message 0x" << std::hex << row.message
                                            << " wParam 0x" << row.wParam << " lParam " << row.lParam);
            Reset();
            HostState.IsPreview = state == Preview;
            HostState.CloseAllowed = state == Allowed ? 2 : 0;
            HostState.Verifying = state == Verifying;
            FakePowerOk = row.powerOk;
            FakeAcLine = row.acNow;
            HostState.AcLineStatus = row.acBefore;
            SendMessageA(window, row.message, row.wParam, row.lParam);
            EXPECT_EQ(row.closes && state == Watching ? 1 : 0, ClosesPosted());
            EXPECT_EQ(state == Watching ? row.acAfter : row.acBefore, HostState.AcLineStatus);
        }
    }
}

TEST_F(ClosePolicy, CursorTravelFromTheAnchor)
{
    // The anchor starts at (100, 100). "Refuse" is a WM_CLOSE that the
    // verifier turns down with the cursor at (x, y).
    enum Action { Move, Refuse };
    const struct {
        Action action;
        LONG x, y;
        bool closes;
        POINT anchor;
    } steps[] = {
        {Move, 103, 101, false, {100, 100}}, // 4 in total stays
        {Move, 104, 101, true, {104, 101}},  // 5 closes and moves the anchor
        {Move, 106, 102, false, {104, 101}},
        {Move, 107, 102, false, {104, 101}},
        {Move, 108, 102, true, {108, 102}},  // small moves add up
        {Move, 104, 102, false, {108, 102}},
        {Move, 104, 103, true, {104, 103}},  // backwards counts as well
        {Refuse, 50, 60, false, {50, 60}},
        {Move, 50, 60, false, {50, 60}},
        {Move, 47, 62, true, {47, 62}},
    };
    HostState.IsWin9x = 1;
    HostState.PasswordVerifier = TestVerifier;
    Answer = 0;
    VerifyDuration = 0;
    for (const auto &step : steps) {
        SCOPED_TRACE(testing::Message() << step.x << ", " << step.y);
        FakeCursor = {step.x, step.y};
        FakeTick += 1000;
        if (step.action == Move)
            SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        else
            EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
        EXPECT_EQ(step.closes ? 1 : 0, ClosesPosted());
        EXPECT_EQ(step.anchor.x, HostState.LastCursorPos.x);
        EXPECT_EQ(step.anchor.y, HostState.LastCursorPos.y);
    }
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(ClosePolicy, ConfirmCloseAsksAtMostOncePer200Ms)
{
    const struct {
        uint32_t tick, duration;
        BOOL answer;
        bool asks;
        int32_t result;
    } requests[] = {
        {1000, 50, 0, true, 0},               // the first request always asks
        {1249, 0, 1, false, 0},               // 199 ms after the answer
        {1250, 50, 0, true, 0},
        {0xFFFFFF00, 0xF0, 0, true, 0},       // ends at 0xFFFFFFF0
        {5, 0, 1, false, 0},                  // 21 ms later, across the wrap
        {0xC0, 0xFFFFFF3F, 0, true, 0},       // ends at 0xFFFFFFFF
        {0x10, 0, 2, true, 2},                // which is no debounce at all
    };
    HostState.IsWin9x = 1;
    HostState.PasswordVerifier = TestVerifier;
    for (const auto &request : requests) {
        SCOPED_TRACE(request.tick);
        FakeTick = request.tick;
        VerifyDuration = request.duration;
        Answer = request.answer;
        Asked = 0;
        TimersLeft = TRUE;
        NestedClose = -1;
        PostMessageA(window, WM_TIMER, 101, 0);
        PostMessageA(window, WM_TIMER, 101, 0);
        EXPECT_EQ(request.result, ConfirmClose(window));
        EXPECT_EQ(request.result, HostState.CloseAllowed);
        EXPECT_EQ(request.asks ? 1 : 0, Asked);
        if (request.asks) {
            EXPECT_FALSE(TimersLeft);
            EXPECT_EQ(0, NestedClose);
            EXPECT_EQ(request.tick + request.duration, HostState.LastVerifyTick);
        }
        EXPECT_EQ(0, HostState.Verifying);
        EXPECT_EQ(0, ClosesPosted());
        HostState.CloseAllowed = 0;
        Drain();
    }
}

TEST_F(ClosePolicy, VerificationRequestAndAutoPlayAnswers)
{
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    const struct {
        const char *name;
        UINT message, autoPlayId;
        int32_t win9x, preview, allowed;
        bool verifier;
        LRESULT result;
        bool closes;
    } rows[] = {
        {"request, no verifier", WM_APP, autoPlay, 1, 0, 0, false, 1, false},
        {"request, verifier", WM_APP, autoPlay, 1, 0, 0, true, 5, false},
        {"request, not 9x", WM_APP, autoPlay, 0, 0, 0, true, 0, false},
        {"autoplay, verifier", autoPlay, autoPlay, 1, 0, 0, true, 1, true},
        {"autoplay, no verifier", autoPlay, autoPlay, 1, 0, 0, false, 0, true},
        {"autoplay in preview", autoPlay, autoPlay, 1, 1, 0, true, 1, true},
        {"autoplay when allowed", autoPlay, autoPlay, 1, 0, 1, false, 0, true},
        {"no autoplay id", WM_NULL, 0, 1, 0, 0, true, 0, false},
        {"set cursor", WM_SETCURSOR, autoPlay, 0, 0, 0, false, 1, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        HostState.AutoPlayMessage = row.autoPlayId;
        HostState.IsWin9x = row.win9x;
        HostState.IsPreview = row.preview;
        HostState.CloseAllowed = row.allowed;
        HostState.PasswordVerifier = row.verifier ? TestVerifier : nullptr;
        Answer = 5;
        VerifyDuration = 0;
        EXPECT_EQ(row.result, SendMessageA(window, row.message, 0, 0));
        EXPECT_EQ(row.closes ? 1 : 0, ClosesPosted());
    }
}

} // namespace
