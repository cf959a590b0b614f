// The settings store on Wine's real profile functions and the INI file in the
// test prefix's Windows directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/test_support.h"

static void ExpectSettings(const SaverSettingsRecord &e, int line)
{
    const SaverSettingsRecord &s = SaverSettings;
    EXPECT_EQ((std::vector<int32_t>{e.Speed, e.Step, e.Mode, e.R, e.G, e.B, e.Mix}),
              (std::vector<int32_t>{s.Speed, s.Step, s.Mode, s.R, s.G, s.B, s.Mix}))
        << "row at line " << line;
}

TEST(Settings, ReadsWhatTheFileHoldsAndDefaultsForTheRest)
{
    UseTestModuleResources();
    LoadSettingNames();
    // Keys written as a user or an older version might have left them.
    const struct { int line; const char *key, *value; SaverSettingsRecord expected; } rows[] = {
        {__LINE__, nullptr, nullptr, {50, 10, 0, 0, 0, 1, 1}}, // no file at all
        {__LINE__, "Step", "5", {50, 5, 0, 0, 0, 1, 1}},
        {__LINE__, "Speed", "0", {0, 10, 0, 0, 0, 1, 1}},      // not raised to 1
        {__LINE__, "mIX", "7", {50, 10, 0, 0, 0, 1, 7}},       // key names ignore case
    };
    for (const auto &row : rows) {
        RemoveSettingsFile();
        if (row.key)
            WritePrivateProfileStringA("", row.key, row.value, "TENVARA.ini");
        ReadSettings();
        ExpectSettings(row.expected, row.line);
        // Reading never creates the file.
        EXPECT_EQ(row.key == nullptr, GetFileAttributesA(SettingsFilePath().c_str()) == INVALID_FILE_ATTRIBUTES);
    }
    RemoveSettingsFile();
}

TEST(Settings, WritesSevenUnsignedKeysAndReportsFailure)
{
    UseTestModuleResources();
    LoadSettingNames();
    RemoveSettingsFile();
    SaverSettings = {0, 2147483647, 5, 2, 3, 4, -1};
    EXPECT_TRUE(WriteSettings());
    SaverSettings = {};
    ReadSettings();
    ExpectSettings({0, 2147483647, 5, 2, 3, 4, -1}, __LINE__);
    // Exactly the seven keys, named from the string table (G and B have their
    // ids the other way round), in field order, never with a sign.
    char text[256] = {};
    DWORD length = GetPrivateProfileSectionA("", text, sizeof text, "TENVARA.ini");
    EXPECT_EQ(std::string("Speed=0\0Step=2147483647\0Mode=5\0R=2\0G=3\0B=4\0Mix=4294967295\0", 58),
              std::string(text, length));

    // A directory in the file's place makes every write fail, even as root.
    RemoveSettingsFile();
    ASSERT_TRUE(CreateDirectoryA(SettingsFilePath().c_str(), nullptr));
    EXPECT_FALSE(WriteSettings());
    RemoveSettingsFile();
}
