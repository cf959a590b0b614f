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

std::string SaverPath() {
    // The installer's test runs the end-to-end cases against the installed copy.
    if (const char *installed = getenv("TENVARA_SAVER"))
        return installed;
    char path[MAX_PATH];
    std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return own.substr(0, own.find_last_of('\\') + 1) + "TENVARA.scr";
}

PROCESS_INFORMATION StartSaver(const std::string &tail, const std::string &path) {
    std::string commandLine = '"' + path + "\" " + tail;
    STARTUPINFOA startup = {.cb = sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION process = {};
    CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    return process;
}

DWORD WaitForSaver(PROCESS_INFORMATION process) {
    DWORD code = 0x7FFFFFFF;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}
