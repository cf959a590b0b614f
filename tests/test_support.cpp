#include "tests/test_support.h"

#include "host/host_state.h"

void UseTestModuleResources()
{
    HostState.Instance = GetModuleHandleA(nullptr);
}

std::string SettingsFilePath()
{
    char directory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return std::string(directory, length) + "\\TENVARA.ini";
}

void RemoveSettingsFile()
{
    std::string path = SettingsFilePath();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
    // The profile functions cache the file; an empty flush drops the cache.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TENVARA.ini");
}

std::string SaverPath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length);
    return own.substr(0, own.find_last_of('\\') + 1) + "TENVARA.scr";
}

PROCESS_INFORMATION StartSaver(const std::string &tail)
{
    std::string commandLine = "\"" + SaverPath() + "\" " + tail;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        process = {};
    return process;
}

DWORD WaitForSaver(PROCESS_INFORMATION &process, DWORD milliseconds)
{
    if (!process.hProcess)
        return 0x7FFFFFFF;
    DWORD code = 0x7FFFFFFF;
    if (WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 0x7FFFFFFF);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = {};
    return code;
}

DWORD RunSaver(const std::string &tail, DWORD milliseconds)
{
    PROCESS_INFORMATION process = StartSaver(tail);
    return WaitForSaver(process, milliseconds);
}
