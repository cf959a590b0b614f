// The seven numbers that steer the effect and their INI persistence. The file
// and key names come from the string table, never from literals here.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "resources/resource_ids.h"

struct SaverSettingsRecord {
    int32_t Speed;
    int32_t Step;
    int32_t Mode;
    int32_t R;
    int32_t G;
    int32_t B;
    int32_t Mix;
};

const int FileNameCapacity = 22;
const int KeyNameCapacity = 15;

struct SettingNamesRecord {
    char FileName[FileNameCapacity];
    char SpeedKey[KeyNameCapacity];
    char StepKey[KeyNameCapacity];
    char ModeKey[KeyNameCapacity];
    char RKey[KeyNameCapacity];
    char GKey[KeyNameCapacity];
    char BKey[KeyNameCapacity];
    char MixKey[KeyNameCapacity];
};

extern SaverSettingsRecord SaverSettings;
extern SettingNamesRecord SettingNames;

void LoadSettingNames();
void ReadSettings();
// Makes all seven writes whatever became of the one before; true only when
// every one of them succeeded, so that nobody is told "saved" when it was not.
bool WriteSettings();
