#include "platform/XdgAutostart.h"
#include "platform/DesktopEntry.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(XdgAutostart, TheEntryStartsTheProgramWithItsOptionsHidden)
{
    QTemporaryDir home;
    ScopedEnvironment config("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    XdgAutostart autostart(u"/opt/my apps/morvalen-desktop"_s,
                           {u"--data-folder=/home/a b/data"_s, u"--catalog-server=http://10.0.0.2:8370"_s});
    EXPECT_FALSE(autostart.IsRegistered());
    autostart.Apply(true);
    ASSERT_TRUE(autostart.IsRegistered());
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(XdgAutostart::EntryPath());
    ASSERT_TRUE(entry.has_value());
    const std::optional<QStringList> command = DesktopEntry::SplitExec(entry->exec);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(*command, QStringList({u"/opt/my apps/morvalen-desktop"_s, u"--data-folder=/home/a b/data"_s,
                                     u"--catalog-server=http://10.0.0.2:8370"_s, u"runminimized"_s}));
    autostart.Apply(false);
    EXPECT_FALSE(autostart.IsRegistered());
}
