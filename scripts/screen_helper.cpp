// A helper for scripts/run on a virtual display: puts a picture on the screen
// for the saver to shade (a bare virtual display is black, and black AND any
// tint stays black), waits for the saver to run, and ends it with a key press.
//   screen_helper show FILE.bmp   a plain window over the whole screen showing FILE
//   screen_helper wait            until a full-screen saver waits for input
//   screen_helper end             key press to the saver; exit code is the saver's
//   screen_helper time SAVER DESKTOP
//                                 starts SAVER /s on DESKTOP ("Default", or a desktop
//                                 of that name made for it), prints how long the first
//                                 shaded frame took and the saver's peak memory, ends it
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <string.h>

namespace {

HBITMAP Picture;

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC target = BeginPaint(window, &paint);
        HDC source = CreateCompatibleDC(target);
        HGDIOBJ old = SelectObject(source, Picture);
        BITMAP info;
        GetObjectA(Picture, sizeof info, &info);
        RECT client;
        GetClientRect(window, &client);
        StretchBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowPicture(const char *path)
{
    Picture = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (Picture == nullptr) {
        fprintf(stderr, "screen_helper: cannot load %s\n", path);
        return 1;
    }
    WNDCLASSA pictureClass = {};
    pictureClass.lpfnWndProc = PictureWindowProc;
    pictureClass.hInstance = GetModuleHandleA(nullptr);
    pictureClass.lpszClassName = "ScreenHelperPicture";
    RegisterClassA(&pictureClass);
    CreateWindowExA(0, "ScreenHelperPicture", "Picture", WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_XVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0))
        DispatchMessageA(&message);
    return 0;
}

// The running full-screen saver's process, opened; null after about 20 s.
HANDLE FindSaverProcess(HWND *window)
{
    for (int tries = 0; tries < 200; ++tries) {
        *window = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
        if (*window != nullptr) {
            DWORD id = 0;
            GetWindowThreadProcessId(*window, &id);
            return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
        }
        Sleep(100);
    }
    fprintf(stderr, "screen_helper: no saver window appeared\n");
    return nullptr;
}

int WaitForSaverWindow()
{
    HWND window;
    HANDLE process = FindSaverProcess(&window);
    if (process == nullptr)
        return 1;
    DWORD idle = WaitForInputIdle(process, 20000);
    CloseHandle(process);
    return idle == 0 ? 0 : 1;
}

int EndSaver()
{
    HWND window;
    HANDLE process = FindSaverProcess(&window);
    if (process == nullptr)
        return 1;
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
    DWORD code = 1;
    if (WaitForSingleObject(process, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    CloseHandle(process);
    printf("screen_helper: the saver ended with exit code %lu\n", code);
    return static_cast<int>(code);
}

BOOL CALLBACK PressKey(HWND window, LPARAM)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "WindowsScreenSaverClass") == 0)
        PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
    return TRUE;
}

// The saver's settings give a blue tint: its first frame is the first time the
// middle of the screen shows blue alone.
int TimeFirstFrame(const char *saver, const char *desktopName)
{
    HDESK desktop = CreateDesktopA(desktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    char line[MAX_PATH + 8];
    snprintf(line, sizeof line, "\"%s\" /s", saver);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = const_cast<char *>(desktopName);
    PROCESS_INFORMATION process = {};
    HDC screen = GetDC(nullptr);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    const DWORD start = GetTickCount();
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "screen_helper: cannot start %s\n", saver);
        return 1;
    }
    COLORREF seen = 0;
    // Each look is a trip to the X server: a few milliseconds apart, so as not
    // to hold up the saver's own drawing.
    while ((GetRValue(seen) != 0 || GetGValue(seen) != 0 || GetBValue(seen) == 0) && GetTickCount() - start < 20000) {
        Sleep(2);
        seen = GetPixel(screen, x, y);
    }
    const DWORD elapsed = GetTickCount() - start;
    // Let it draw a few more frames before its peak memory is read.
    Sleep(1000);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    EnumDesktopWindows(desktop, PressKey, 0);
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    printf("%s desktop: first shaded frame after %lu ms, peak memory %lu MB (working set), %lu MB (committed), exit code %lu\n",
           desktopName, elapsed, static_cast<unsigned long>(memory.PeakWorkingSetSize >> 20),
           static_cast<unsigned long>(memory.PeakPagefileUsage >> 20), code);
    return elapsed < 20000 && code == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "show") == 0)
        return ShowPicture(argv[2]);
    if (argc == 2 && strcmp(argv[1], "wait") == 0)
        return WaitForSaverWindow();
    if (argc == 2 && strcmp(argv[1], "end") == 0)
        return EndSaver();
    if (argc == 4 && strcmp(argv[1], "time") == 0)
        return TimeFirstFrame(argv[2], argv[3]);
    fprintf(stderr, "usage: screen_helper show FILE.bmp | wait | end | time SAVER DESKTOP\n");
    return 2;
}
