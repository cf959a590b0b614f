// Process start and the command-line dispatch into exactly one run mode.
#pragma once

#include <windows.h>
#include <stdint.h>

[[noreturn]] void StartSaverHost();
// The command line after the program's name and the blanks behind it.
const char *SkipProgramName(const char *commandLine);
int32_t RunCommandLine(HINSTANCE instance, const char *tail);
HWND ParseWindowHandle(const char *text);
int32_t RunConfigDialog(HWND parent);
