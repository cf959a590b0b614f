// Process start and the command-line dispatch into exactly one run mode.
#pragma once

#include <windows.h>
#include <stdint.h>

// The three run modes as the dispatch reaches them; tests put recording
// stand-ins here, the program never changes them.
struct DispatchModesRecord {
    int32_t (*RunSaverWindow)(HWND parent);
    int32_t (*RunConfigDialog)(HWND parent);
    void (*ChangeSaverPassword)(HWND parent);
};

extern DispatchModesRecord DispatchModes;

[[noreturn]] void StartSaverHost();
// The command line after the program's name and the blanks behind it.
const char *SkipProgramName(const char *commandLine);
int32_t RunCommandLine(HINSTANCE instance, const char *tail);
HWND ParseWindowHandle(const char *text);
int32_t RunConfigDialog(HWND parent);
