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
