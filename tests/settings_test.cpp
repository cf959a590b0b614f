// The settings store's own promise: a write that fails is reported. What is
// read and written otherwise is seen through the dialog's saved file.
#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "tests/test_support.h"

TEST(Settings, ReportsAWriteThatFails)
{
    LoadSettingNames();
    RemoveSettingsFile();
    EXPECT_TRUE(WriteSettings());
    // A directory in the file's place makes every write fail, even as root.
    ASSERT_TRUE(CreateDirectoryA(RemoveSettingsFile().c_str(), nullptr));
    EXPECT_FALSE(WriteSettings());
    RemoveSettingsFile();
}
