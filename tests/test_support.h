// Helpers shared by the test areas.
#pragma once

#include <windows.h>
#include <string>

// Points HostState.Instance at the test executable, which links the same
// resources as the saver, so string and dialog loads find them.
void UseTestModuleResources();

// Full path of the settings file in the Windows directory of the test prefix.
std::string SettingsFilePath();

// Removes the settings file (and anything a test left in its place).
void RemoveSettingsFile();
