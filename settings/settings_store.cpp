// Settings are one empty-named INI section in the Windows directory; every
// process reads it afresh, so the file is the only channel from the dialog to
// the saver.
#include "settings/settings_store.h"

#include "host/host_state.h"

SaverSettingsRecord SaverSettings;
SettingNamesRecord SettingNames;

namespace {

// The section has no name; it is not a string-table entry.
const char SectionName[] = "";

struct SettingEntry {
    char (SettingNamesRecord::*key)[KeyNameCapacity];
    int32_t SaverSettingsRecord::*field;
    int32_t fallback;
};

// Read and written in this order, which is also the order of the file.
const SettingEntry Entries[] = {
    {&SettingNamesRecord::SpeedKey, &SaverSettingsRecord::Speed, 50},
    {&SettingNamesRecord::StepKey, &SaverSettingsRecord::Step, 10},
    {&SettingNamesRecord::ModeKey, &SaverSettingsRecord::Mode, 0},
    {&SettingNamesRecord::RKey, &SaverSettingsRecord::R, 0},
    {&SettingNamesRecord::GKey, &SaverSettingsRecord::G, 0},
    {&SettingNamesRecord::BKey, &SaverSettingsRecord::B, 1},
    {&SettingNamesRecord::MixKey, &SaverSettingsRecord::Mix, 1},
};

} // namespace

void LoadSettingNames()
{
    HINSTANCE instance = HostState.Instance;
    LoadStringA(instance, IDS_FILE_NAME, SettingNames.FileName, FileNameCapacity);
    LoadStringA(instance, IDS_SPEED_KEY, SettingNames.SpeedKey, KeyNameCapacity);
    LoadStringA(instance, IDS_STEP_KEY, SettingNames.StepKey, KeyNameCapacity);
    LoadStringA(instance, IDS_MODE_KEY, SettingNames.ModeKey, KeyNameCapacity);
    LoadStringA(instance, IDS_R_KEY, SettingNames.RKey, KeyNameCapacity);
    LoadStringA(instance, IDS_G_KEY, SettingNames.GKey, KeyNameCapacity);
    LoadStringA(instance, IDS_B_KEY, SettingNames.BKey, KeyNameCapacity);
    LoadStringA(instance, IDS_MIX_KEY, SettingNames.MixKey, KeyNameCapacity);
}

void ReadSettings()
{
    for (const SettingEntry &entry : Entries) {
        // The profile call answers an unsigned value; the field keeps its bits.
        UINT value = GetPrivateProfileIntA(SectionName, SettingNames.*entry.key, entry.fallback,
                                           SettingNames.FileName);
        SaverSettings.*entry.field = static_cast<int32_t>(value);
    }
}

bool WriteSettings()
{
    bool allWritten = true;
    for (const SettingEntry &entry : Entries) {
        char text[512];
        wsprintfA(text, "%u", static_cast<unsigned>(SaverSettings.*entry.field));
        if (!WritePrivateProfileStringA(SectionName, SettingNames.*entry.key, text, SettingNames.FileName))
            allWritten = false;
    }
    return allWritten;
}
