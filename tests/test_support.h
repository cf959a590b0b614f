// Helpers shared by the test areas. HostState.Instance stays null in every
// test process, so string and dialog loads come from the test executable,
// which links the same resources as the saver.
#pragma once

#include <windows.h>
#include <string>

// Removes the settings file (and anything a test left in its place) and gives
// its full path, in the Windows directory of the test prefix.
std::string RemoveSettingsFile();

// The built saver, next to the test executables, or the one TENVARA_SAVER names.
std::string SaverPath();

// Starts the saver (or a copy of it) as its own process with the given command-line tail.
PROCESS_INFORMATION StartSaver(const std::string &tail, const std::string &path = SaverPath());

// Waits up to 20 s for a started saver and gives its exit code as the system
// keeps it (0xFFFFFFFF stays 0xFFFFFFFF); 0x7FFFFFFF when it had not ended.
DWORD WaitForSaver(PROCESS_INFORMATION process);
