#include "platform/WebBrowser.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(WebBrowser, TheAddressTakesThePlaceOfTheFirstFieldCode)
{
    EXPECT_EQ(WebBrowser::Command({u"browser"_s, u"--new-window"_s, u"%U"_s}, u"http://a/"_s),
              QStringList({u"browser"_s, u"--new-window"_s, u"http://a/"_s}));
    EXPECT_EQ(WebBrowser::Command({u"browser"_s, u"%u"_s, u"%i"_s, u"%F"_s, u"100%%"_s}, u"http://a/"_s),
              QStringList({u"browser"_s, u"http://a/"_s, u"100%"_s}));
    EXPECT_EQ(WebBrowser::Command({u"browser"_s}, u"http://a/"_s),
              QStringList({u"browser"_s, u"http://a/"_s}));
}

namespace {

// A browser registered through the desktop's own files, in private XDG folders; it writes the
// arguments it got into a file.
class WebBrowserHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(m_home.filePath(u"config"_s));
        QDir().mkpath(m_home.filePath(u"data/applications"_s));
        const QString script = m_home.filePath(u"browser.sh"_s);
        // Renamed into place when whole: the test reads the file as soon as it appears.
        WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\" && "
                          "mv \"$0.tmp\" \"$0.out\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteFile(m_home.filePath(u"data/applications/testbrowser.desktop"_s),
                  "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" + script.toUtf8() + " %u\n");
    }

    void Register(const QByteArray& lines)
    {
        WriteFile(m_home.filePath(u"config/mimeapps.list"_s), "[Default Applications]\n" + lines);
    }

    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_configDirs{"XDG_CONFIG_DIRS", m_home.filePath(u"none"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};
    ScopedEnvironment m_dataDirs{"XDG_DATA_DIRS", m_home.filePath(u"none"_s).toUtf8()};
};

} // namespace

TEST_F(WebBrowserHandlerTest, TheBrowserOfTheAddressesSchemeGetsTheAddress)
{
    Register("x-scheme-handler/http=testbrowser.desktop\n");
    ASSERT_TRUE(WebBrowser::Open(u"http://127.0.0.1:8370/help/"_s));
    const QString out = m_home.filePath(u"browser.sh.out"_s);
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(out) && QFileInfo(out).size() > 0; }));
    EXPECT_EQ(ReadFile(out), "http://127.0.0.1:8370/help/\n");
    // No browser for another scheme: no success reported.
    EXPECT_FALSE(WebBrowser::Open(u"https://example.org/"_s));
}

TEST_F(WebBrowserHandlerTest, WithoutABrowserNothingClaimsSuccess)
{
    Register("");
    EXPECT_FALSE(WebBrowser::Open(u"http://127.0.0.1:8370/"_s));
    EXPECT_FALSE(WebBrowser::Open(u"no address"_s));
    // A handler whose entry is gone is no browser either.
    Register("x-scheme-handler/http=gone.desktop\n");
    EXPECT_FALSE(WebBrowser::Open(u"http://127.0.0.1:8370/"_s));
}
