#include "settings/ConfigurationFile.h"
#include "common/BinaryStream.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class ConfigurationFileTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    ScopedEnvironment m_environment{"XDG_CONFIG_HOME", m_dir.filePath(u"config"_s).toUtf8()};
    XdgAutostart m_autostart{u"/usr/bin/morvalen-desktop"_s};
    QString m_path = m_dir.filePath(u"MorvalenDesktop.cfg"_s);
};

} // namespace

TEST_F(ConfigurationFileTest, MissingFileKeepsTheDefaults)
{
    TApplicationsSettings settings(m_autostart);
    uint8_t arrangeMode = 5;
    EXPECT_FALSE(ConfigurationFile::Load(m_path, settings, arrangeMode));
    EXPECT_TRUE(settings.RunWithWindows());
    EXPECT_EQ(arrangeMode, 5);
}

TEST_F(ConfigurationFileTest, SavedFileIsTheSettingsBlockThenTheArrangeMode)
{
    TApplicationsSettings settings(m_autostart);
    settings.SetAutoUpdate(1);
    ConfigurationFile::Save(m_path, settings, 2);
    const QByteArray data = ReadFile(m_path);
    ASSERT_EQ(data.size(), 31);
    EXPECT_EQ(data.at(13), 1);
    EXPECT_EQ(data.at(30), 2);

    TApplicationsSettings loaded(m_autostart);
    uint8_t arrangeMode = 0;
    ASSERT_TRUE(ConfigurationFile::Load(m_path, loaded, arrangeMode));
    EXPECT_EQ(loaded.AutoUpdate(), 1);
    EXPECT_EQ(arrangeMode, 2);
}

TEST_F(ConfigurationFileTest, FileEndingAfterTheSettingsBlockLeavesArrangeModeZero)
{
    TApplicationsSettings settings(m_autostart);
    BinaryWriter writer;
    settings.SaveToStream(writer);
    WriteFile(m_path, writer.Data());
    uint8_t arrangeMode = 9;
    ASSERT_TRUE(ConfigurationFile::Load(m_path, settings, arrangeMode));
    EXPECT_EQ(arrangeMode, 0);
}

TEST_F(ConfigurationFileTest, EveryTruncationAndRandomBytesLoadWithoutFailing)
{
    TApplicationsSettings source(m_autostart);
    source.SetCheckNewsInterval(2);
    source.SetAutoUpdate(3);
    const QByteArray full = ConfigurationFile::Serialize(source, 1);
    for (qsizetype length = 0; length <= full.size(); ++length) {
        WriteFile(m_path, full.left(length));
        TApplicationsSettings settings(m_autostart);
        uint8_t arrangeMode = 0;
        ASSERT_TRUE(ConfigurationFile::Load(m_path, settings, arrangeMode)) << length;
        // Each field is either read whole or left at its default.
        EXPECT_EQ(settings.CheckNewsInterval(), length >= 13 ? 2 : 0) << length;
        EXPECT_EQ(settings.AutoUpdate(), length >= 17 ? 3 : 2) << length;
        EXPECT_EQ(arrangeMode, length == full.size() ? 1 : 0) << length;
    }

    QRandomGenerator random(1234);
    for (int round = 0; round < 200; ++round) {
        QByteArray noise(random.bounded(64), Qt::Uninitialized);
        for (char& byte : noise)
            byte = char(random.bounded(256));
        WriteFile(m_path, noise);
        TApplicationsSettings settings(m_autostart);
        uint8_t arrangeMode = 0;
        EXPECT_TRUE(ConfigurationFile::Load(m_path, settings, arrangeMode));
    }
}
