// When the program switches Chromium's sandbox off: only for root, and never against a choice
// the user made already.

#include "platform/ChromiumSandbox.h"

#include <gtest/gtest.h>

TEST(ChromiumSandbox, OnlyRootWithoutTheSandboxSwitchedOffAlreadyLosesIt)
{
    EXPECT_TRUE(ChromiumSandbox::MustDisable(0, false, {}));
    EXPECT_TRUE(ChromiumSandbox::MustDisable(0, false, "--disable-gpu --no-sandboxes"));
    EXPECT_FALSE(ChromiumSandbox::MustDisable(1000, false, {}));
    EXPECT_FALSE(ChromiumSandbox::MustDisable(0, true, {}));
    EXPECT_FALSE(ChromiumSandbox::MustDisable(0, false, "--disable-gpu  --no-sandbox"));
    EXPECT_FALSE(ChromiumSandbox::MustDisable(0, false, "\t--no-sandbox"));
    // One line that says why.
    const QByteArray warning = ChromiumSandbox::RootWarning();
    EXPECT_TRUE(warning.endsWith('\n'));
    EXPECT_EQ(warning.count('\n'), 1);
    EXPECT_TRUE(warning.contains("root"));
    EXPECT_TRUE(warning.contains("sandbox"));
}
