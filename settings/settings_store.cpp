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

// A key's name comes from the string table into its field of SettingNames,
// whose size is the most the name can take.
struct SettingEntry {
    UINT keyString;
    char (SettingNamesRecord::*key)[KeyNameCapacity];
    int32_t SaverSettingsRecord::*field;
    int32_t fallback;
};

// Loaded, read and written in this order, which is also the order of the file.
const SettingEntry Entries[] = {
    {IDS_SPEED_KEY, &SettingNamesRecord::SpeedKey, &SaverSettingsRecord::Speed, 50},
    {IDS_STEP_KEY, &SettingNamesRecord::StepKey, &SaverSettingsRecord::Step, 10},
    {IDS_MODE_KEY, &SettingNamesRecord::ModeKey, &SaverSettingsRecord::Mode, 0},
    {IDS_R_KEY, &SettingNamesRecord::RKey, &SaverSettingsRecord::R, 0},
    {IDS_G_KEY, &SettingNamesRecord::GKey, &SaverSettingsRecord::G, 0},
    {IDS_B_KEY, &SettingNamesRecord::BKey, &SaverSettingsRecord::B, 1},
    {IDS_MIX_KEY, &SettingNamesRecord::MixKey, &SaverSettingsRecord::Mix, 1},
};

} // namespace

void LoadSettingNames()
{
    HINSTANCE instance = HostState.Instance;
    LoadStringA(instance, IDS_FILE_NAME, SettingNames.FileName, FileNameCapacity);
    for (const SettingEntry &entry : Entries)
        LoadStringA(instance, entry.keyString, SettingNames.*entry.key, KeyNameCapacity);
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
