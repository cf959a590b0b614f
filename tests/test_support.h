// Helpers shared by the test areas. HostState.Instance stays null in every
// test process, so string and dialog loads come from the test executable,
// which links the same resources as the saver.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <string>

// Removes the settings file (and anything a test left in its place) and gives
// its full path, in the Windows directory of the test prefix.
std::string RemoveSettingsFile();

// A file beside the test executables, where the build puts the saver and the test pictures.
std::string BesideTests(const std::string &name);

// The built saver, beside the tests, or the one TENVARA_SAVER names.
std::string SaverPath();

// How long a test waits for a window or a process before it says what did not happen.
const DWORD WaitMs = 5000;

// The saver (or a copy of it) started as its own process with the given
// command-line tail, on the given desktop (the test's own when null). However
// the test ends, the guard ends the process and closes its handles, so that no
// saver outlives its test holding ctest's output.
struct SaverProcess {
    PROCESS_INFORMATION info = {};
    explicit SaverProcess(const std::string &tail, const std::string &path = SaverPath(), const char *desktop = nullptr);
    SaverProcess(const SaverProcess &) = delete;
    ~SaverProcess();
};

// The saver's exit code as the system keeps it (-1 is 0xFFFFFFFF) once it
// ended within the wait; a failure naming what should have ended it otherwise.
DWORD ExitCode(const SaverProcess &saver, const char *after);

// The saver's active window once it waits for input; null when it never does.
HWND ActiveWindowOf(const SaverProcess &saver);
