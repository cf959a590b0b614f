// The settings store on Wine's real profile functions and the INI file in the
// test prefix's Windows directory.
#include <gtest/gtest.h>

#include <string>

#include "host/host_state.h"
#include "settings/settings_store.h"
#include "tests/test_support.h"

namespace {

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        UseTestModuleResources();
        RemoveSettingsFile();
        LoadSettingNames();
    }
    void TearDown() override { RemoveSettingsFile(); }

    static void Store(const char *key, const char *value)
    {
        ASSERT_TRUE(WritePrivateProfileStringA("", key, value, "TENVARA.ini"));
    }
    static std::string Stored(const char *key)
    {
        char text[64];
        GetPrivateProfileStringA("", key, "(missing)", text, sizeof text, "TENVARA.ini");
        return text;
    }
};

} // namespace

// Global, so that gtest's assertions find them by argument lookup.
static bool operator==(const SaverSettingsRecord &a, const SaverSettingsRecord &b)
{
    return a.Speed == b.Speed && a.Step == b.Step && a.Mode == b.Mode && a.R == b.R && a.G == b.G &&
           a.B == b.B && a.Mix == b.Mix;
}

static std::ostream &operator<<(std::ostream &out, const SaverSettingsRecord &s)
{
    return out << s.Speed << ' ' << s.Step << ' ' << s.Mode << ' ' << s.R << ' ' << s.G << ' ' << s.B
               << ' ' << s.Mix;
}

static const SaverSettingsRecord Defaults = {50, 10, 0, 0, 0, 1, 1};

TEST(HostStateTest, StartsWithItsStaticValues)
{
    // Nothing in this executable has run RunCommandLine.
    EXPECT_EQ(0xFFFFFFFFu, HostState.LastVerifyTick);
    EXPECT_EQ(0xFF, HostState.AcLineStatus);
    EXPECT_EQ(4u, HostState.MouseThreshold);
    EXPECT_EQ(0, HostState.CloseAllowed);
    EXPECT_EQ(nullptr, HostState.PasswordVerifier);
}

TEST_F(Settings, NamesComeFromTheStringTable)
{
    EXPECT_STREQ("TENVARA.ini", SettingNames.FileName);
    const char *keys[] = {SettingNames.SpeedKey, SettingNames.StepKey, SettingNames.ModeKey, SettingNames.RKey,
                          SettingNames.GKey,     SettingNames.BKey,    SettingNames.MixKey};
    const char *expected[] = {"Speed", "Step", "Mode", "R", "G", "B", "Mix"};
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ(expected[i], keys[i]);
}

TEST_F(Settings, ReadsDefaultsWithoutAFileAndCreatesNone)
{
    SaverSettings = {};
    ReadSettings();
    EXPECT_EQ(Defaults, SaverSettings);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SettingsFilePath().c_str()));
}

TEST_F(Settings, WhatIsWrittenReadsBack)
{
    // The dialog's corners, and values only a hand-edited file can hold.
    const SaverSettingsRecord rows[] = {
        {1, 1, 0, 0, 0, 0, 0},   {100, 30, 1, 1, 1, 1, 1}, {50, 10, 0, 0, 0, 1, 1},
        {7, 29, 1, 1, 0, 1, 0},  {0, 0, 5, 2, 3, 4, 2},    {-1, 2147483647, -2, 0, 1, 0, 1},
    };
    for (const SaverSettingsRecord &row : rows) {
        SCOPED_TRACE(testing::Message() << row);
        SaverSettings = row;
        EXPECT_TRUE(WriteSettings());
        SaverSettings = {};
        ReadSettings();
        EXPECT_EQ(row, SaverSettings);
    }
}

TEST_F(Settings, WritesSevenUnsignedDecimalKeysInTheEmptySection)
{
    SaverSettings = {50, 10, 0, 0, 0, 1, -1};
    ASSERT_TRUE(WriteSettings());
    const struct {
        const char *key, *text;
    } rows[] = {{"Speed", "50"}, {"Step", "10"}, {"Mode", "0"}, {"R", "0"},
                {"G", "0"},      {"B", "1"},     {"Mix", "4294967295"}};
    for (const auto &row : rows)
        EXPECT_EQ(row.text, Stored(row.key)) << row.key;

    char keys[256] = {};
    DWORD length = GetPrivateProfileStringA("", nullptr, "", keys, sizeof keys, "TENVARA.ini");
    std::string all(keys, length);
    EXPECT_EQ(std::string("Speed\0Step\0Mode\0R\0G\0B\0Mix\0", 26), all);
}

TEST_F(Settings, ReadsWhatAFileHoldsUnchanged)
{
    const struct {
        const char *key, *value;
        SaverSettingsRecord expected;
    } rows[] = {
        {"Step", "5", {50, 5, 0, 0, 0, 1, 1}},       // the others keep their defaults
        {"Speed", "0", {0, 10, 0, 0, 0, 1, 1}},      // not raised to 1
        {"speed", "7", {7, 10, 0, 0, 0, 1, 1}},      // key names ignore case
        {"MIX", "4294967295", {50, 10, 0, 0, 0, 1, -1}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.key);
        RemoveSettingsFile();
        Store(row.key, row.value);
        ReadSettings();
        EXPECT_EQ(row.expected, SaverSettings);
    }
}

TEST_F(Settings, ReportsAWriteThatDidNotHappen)
{
    // A directory in the file's place makes every write fail, even as root.
    ASSERT_TRUE(CreateDirectoryA(SettingsFilePath().c_str(), nullptr));
    SaverSettings = Defaults;
    EXPECT_FALSE(WriteSettings());
}
