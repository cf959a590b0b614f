// The settings store on Wine's real profile functions and the INI file in the
// test prefix's Windows directory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/host_state.h"
#include "settings/settings_store.h"
#include "tests/test_support.h"

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        UseTestModuleResources();
        RemoveSettingsFile();
        LoadSettingNames();
    }
    void TearDown() override { RemoveSettingsFile(); }
};

static void ExpectSettings(const SaverSettingsRecord &expected)
{
    EXPECT_EQ(0, std::memcmp(&expected, &SaverSettings, sizeof expected))
        << SaverSettings.Speed << ' ' << SaverSettings.Step << ' ' << SaverSettings.Mode << ' ' << SaverSettings.R
        << ' ' << SaverSettings.G << ' ' << SaverSettings.B << ' ' << SaverSettings.Mix;
}

TEST_F(Settings, DefaultsWithoutAFileAndNoFileCreated)
{
    EXPECT_EQ(0xFFFFFFFFu, HostState.LastVerifyTick); // the host record's static start
    EXPECT_EQ(0xFF, HostState.AcLineStatus);
    EXPECT_STREQ("TENVARA.ini", SettingNames.FileName);
    ReadSettings();
    ExpectSettings({50, 10, 0, 0, 0, 1, 1});
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SettingsFilePath().c_str()));
}

TEST_F(Settings, WritesSevenUnsignedKeysInOrderAndReadsThemBack)
{
    const SaverSettingsRecord rows[] = {{1, 1, 0, 0, 0, 0, 0}, {100, 30, 1, 1, 1, 1, 1}, {0, 2147483647, 5, 2, 3, 4, -1}};
    for (const SaverSettingsRecord &row : rows) {
        SaverSettings = row;
        EXPECT_TRUE(WriteSettings());
        SaverSettings = {};
        ReadSettings();
        ExpectSettings(row);
    }
    // The file holds exactly the seven keys, named from the string table, in
    // field order (G and B have their ids the other way round), never signed.
    char text[256] = {};
    DWORD length = GetPrivateProfileSectionA("", text, sizeof text, "TENVARA.ini");
    EXPECT_EQ(std::string("Speed=0\0Step=2147483647\0Mode=5\0R=2\0G=3\0B=4\0Mix=4294967295\0", 58),
              std::string(text, length));
}

TEST_F(Settings, ReadsWhatAFileHoldsUnchanged)
{
    const struct { const char *key, *value; SaverSettingsRecord expected; } rows[] = {
        {"Step", "5", {50, 5, 0, 0, 0, 1, 1}},   // the others keep their defaults
        {"Speed", "0", {0, 10, 0, 0, 0, 1, 1}},  // not raised to 1
        {"mIX", "7", {50, 10, 0, 0, 0, 1, 7}},   // key names ignore case
    };
    for (const auto &row : rows) {
        RemoveSettingsFile();
        ASSERT_TRUE(WritePrivateProfileStringA("", row.key, row.value, "TENVARA.ini"));
        ReadSettings();
        ExpectSettings(row.expected);
    }
}

TEST_F(Settings, ReportsAWriteThatDidNotHappen)
{
    // A directory in the file's place makes every write fail, even as root.
    ASSERT_TRUE(CreateDirectoryA(SettingsFilePath().c_str(), nullptr));
    EXPECT_FALSE(WriteSettings());
}
