// The saver run: one window of the saver class, full screen over the whole
// virtual screen or a child filling the preview host, and the message loop
// that lives until the window is destroyed.
#include "host/saver_window.h"

#include "effect/shade_renderer.h"
#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/password_hooks.h"
#include "host/platform_seams.h"
#include "resources/resource_ids.h"

namespace {

const char SaverClassName[] = "WindowsScreenSaverClass";
const char FullScreenTitle[] = "Screen Saver";
const char PreviewTitle[] = "Preview";

const DWORD PreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
const DWORD FullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

struct WindowForm {
    DWORD Style;
    DWORD ExStyle;
    const char *Title;
    int X, Y, Width, Height;
};

// Since Windows 10 1703 every window of a parent-child tree must share one
// DPI awareness: a child of a host in another mode can reset the awareness of
// the whole process, or fail to be made. The preview's thread therefore takes
// its host's mode before the child is created. Earlier Windows lack both calls
// and mix modes without complaint.
void TakeHostDpiAwareness(HWND host)
{
    typedef HANDLE(WINAPI * WindowAwarenessCall)(HWND window);
    typedef HANDLE(WINAPI * SetThreadAwarenessCall)(HANDLE awareness);
    HMODULE user = GetModuleHandleA("USER32.DLL");
    const WindowAwarenessCall windowAwareness =
        FindSystemCall<WindowAwarenessCall>(user, "GetWindowDpiAwarenessContext");
    const SetThreadAwarenessCall setThreadAwareness =
        FindSystemCall<SetThreadAwarenessCall>(user, "SetThreadDpiAwarenessContext");
    if (windowAwareness != nullptr && setThreadAwareness != nullptr)
        setThreadAwareness(windowAwareness(host));
}

void TakePreviewForm(HWND parent, WindowForm &form)
{
    RECT client = {}; // a host that died meanwhile leaves it untouched
    GetClientRect(parent, &client);
    form = {PreviewStyle, 0, PreviewTitle, 0, 0, client.right, client.bottom};
    HostState.IsPreview = 1;
    TakeHostDpiAwareness(parent);
}

void TakeFullScreenForm(WindowForm &form)
{
    form = {FullScreenStyle, WS_EX_TOPMOST, FullScreenTitle, 0, 0, 0, 0};
    form.X = GetSystemMetrics(SM_XVIRTUALSCREEN);
    form.Y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    form.Width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    form.Height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (form.Width == 0 || form.Height == 0) {
        // Platforms without the virtual-screen metrics: the screen's clip box.
        RECT box = {};
        HDC screen = GetDC(nullptr);
        GetClipBox(screen, &box);
        ReleaseDC(nullptr, screen);
        form.X = box.left;
        form.Y = box.top;
        form.Width = box.right - box.left;
        form.Height = box.bottom - box.top;
    }
}

// A full-screen saver already running, in any process, is brought forward.
bool RaiseRunningSaver()
{
    HWND running = FindWindowA(SaverClassName, FullScreenTitle);
    if (running == nullptr || !IsWindow(running))
        return false;
    SetForegroundWindow(running);
    return true;
}

int32_t RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int32_t>(message.wParam);
}

void OnCreate(HWND window)
{
    HostState.ImmModule = Platform.GetModuleHandleA("IMM32.DLL");
    if (HostState.ImmModule != nullptr) {
        // Found, never loaded: the input method is detached only where the
        // process already has one.
        HostState.ImmAssociate = FindSystemCall<ImmAssociateContextProc>(HostState.ImmModule, "ImmAssociateContext");
        if (HostState.ImmAssociate != nullptr)
            HostState.SavedImmContext = HostState.ImmAssociate(window, nullptr);
    }
    Platform.GetCursorPos(&HostState.LastCursorPos);
    if (!HostState.IsPreview)
        SetCursor(nullptr);
}

void OnDestroy(HWND window)
{
    if (HostState.ImmModule != nullptr && HostState.ImmAssociate != nullptr && HostState.SavedImmContext != nullptr)
        HostState.ImmAssociate(window, HostState.SavedImmContext);
    PostQuitMessage(0);
}

// The preview's host shows the help; it gets its own handle as the sender.
void HandHelpToHost(HWND window, UINT message, LPARAM lParam)
{
    HWND host = GetParent(window);
    if (host != nullptr && IsWindow(host))
        PostMessageA(host, message, reinterpret_cast<WPARAM>(host), lParam);
}

// Full screen: no switching to another window and no second saver. The whole
// wParam is compared, so a command with its low four bits set passes.
LRESULT OnFullScreenSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_SCREENSAVE:
        return 0;
    case SC_MONITORPOWER:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    }
    return EffectWindowProc(window, WM_SYSCOMMAND, wParam, lParam);
}

} // namespace

int32_t RunSaverWindow(HWND parent)
{
    WNDCLASSA saverClass = {};
    saverClass.hIcon = LoadIconA(HostState.Instance, MAKEINTRESOURCEA(IDI_CLASS_ICON));
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));

    WindowForm form;
    if (parent != nullptr) {
        TakePreviewForm(parent, form);
    } else {
        TakeFullScreenForm(form);
        if (RaiseRunningSaver())
            return 0;
        HostState.AcLineStatus = QueryAcLineStatus();
        LoadPasswordVerifier();
    }

    HostState.AutoPlayMessage = HostState.IsWin9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    saverClass.lpfnWndProc = HostWindowProc;
    saverClass.hInstance = HostState.Instance;
    saverClass.hCursor = nullptr;
    saverClass.lpszClassName = SaverClassName;
    // Everything the creation messages rely on is in place before this.
    if (RegisterClassA(&saverClass))
        HostState.SaverWindow = CreateWindowExA(form.ExStyle, SaverClassName, form.Title, form.Style, form.X, form.Y,
                                                form.Width, form.Height, parent, nullptr, HostState.Instance, nullptr);

    int32_t exitCode = 0;
    if (HostState.SaverWindow != nullptr) {
        if (!HostState.IsPreview)
            SetForegroundWindow(HostState.SaverWindow);
        exitCode = RunMessageLoop();
    }
    UnloadPasswordVerifier();
    return exitCode;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (HostState.CloseAllowed)
            return DefWindowProcA(window, message, wParam, lParam);
        if (!HostState.IsPreview)
            SetCursor(nullptr);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (!HostState.IsPreview)
            break;
        HandHelpToHost(window, message, lParam);
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Once closing is allowed, input no longer reaches the close policy.
        if (HostState.CloseAllowed)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (HostState.IsPreview)
            break;
        return OnFullScreenSysCommand(window, wParam, lParam);
    case WM_TIMER:
        // The effect falls silent while the allowed close destroys the window.
        if (HostState.CloseAllowed)
            return 0;
        // Each tick first gives up the rest of its time slice, so that the
        // frame's three full-screen copies never starve other programs of the
        // processor on a single-CPU machine; with more CPUs it costs nothing.
        Sleep(0);
        break;
    }
    return EffectWindowProc(window, message, wParam, lParam);
}
