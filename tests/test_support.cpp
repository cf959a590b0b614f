#include "tests/test_support.h"

#include <cstdlib>

std::string RemoveSettingsFile() {
    char directory[MAX_PATH];
    const std::string path = std::string(directory, GetWindowsDirectoryA(directory, MAX_PATH)) + "\\TENVARA.ini";
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
    // The profile functions cache the file; an empty flush drops the cache.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
    return path;
}

std::string BesideTests(const std::string &name) {
    char path[MAX_PATH];
    std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return own.substr(0, own.find_last_of('\\') + 1) + name;
}

std::string SaverPath() {
    // The installer's test runs the end-to-end cases against the installed copy.
    const char *installed = getenv("TENVARA_SAVER");
    return installed ? installed : BesideTests("TENVARA.scr");
}

SaverProcess::SaverProcess(const std::string &tail, const std::string &path, const char *desktop) {
    std::string commandLine = '"' + path + "\" " + tail;
    STARTUPINFOA startup = {.cb = sizeof(STARTUPINFOA), .lpDesktop = const_cast<char *>(desktop)};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        ADD_FAILURE() << "the saver did not start: " << commandLine;
}

// Gone before the next case looks for a saver's window.
SaverProcess::~SaverProcess() {
    TerminateProcess(info.hProcess, 0x7FFFFFFF);
    WaitForSingleObject(info.hProcess, WaitMs);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

DWORD ExitCode(const SaverProcess &saver, const char *after) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(saver.info.hProcess, WaitMs) != WAIT_OBJECT_0)
        ADD_FAILURE() << "the saver was still running " << WaitMs / 1000 << " s after " << after;
    GetExitCodeProcess(saver.info.hProcess, &code);
    return code;
}

HWND ActiveWindowOf(const SaverProcess &saver) {
    GUITHREADINFO shown = {.cbSize = sizeof(GUITHREADINFO)};
    if (WaitForInputIdle(saver.info.hProcess, WaitMs) == 0)
        GetGUIThreadInfo(saver.info.dwThreadId, &shown);
    return shown.hwndActive;
}
