#include "platform/MailClient.h"
#include "catalog/TWebApplicationClass.h"
#include "mainwindow/Recommendation.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(Recommendation, SubjectAndBodyAreTheProgramsTexts)
{
    EXPECT_EQ(Recommendation::Subject(u"Mail"_s), u"New Web 2.0 Application Recommendation: Mail\r\n"_s);
    const QString body =
        Recommendation::Body(u"T"_s, u"D"_s, u"http://a"_s, u"http://s.png"_s, u"http://w"_s);
    EXPECT_EQ(
        body,
        u"I thought you would like to check out this great new Web 2.0 application I just found:"
        "\r\n\r\n\r\n\tT\r\n\r\n\r\n\tD\r\n\r\n\r\n\thttp://a\r\n\tScreenshot: http://s.png\r\n\r\n\r\n"
        "This Web 2.0 application is brought to you by Morvalen. Visit us at http://w\r\n\r\nThank You!"_s);
}

TEST(MailClient, EscapesOnlyTheListedCharacters)
{
    EXPECT_EQ(MailClient::Escape(u"a b\r\n\"#%+<>?&=/\u00e9"_s),
              u"a%20b%0D%0A%22%23%25%2B%3C%3E%3F&=/\u00e9"_s);
    EXPECT_TRUE(MailClient::Escape(Recommendation::Subject(u"My Mail"_s)).endsWith(u":%20My%20Mail%0D%0A"_s));
}

TEST(MailClient, RecipientsBecomeOneCommaSeparatedList)
{
    EXPECT_EQ(MailClient::NormalizeRecipients(u" a@x.org ; b@y.org,, c@z.org "_s),
              u"a@x.org,b@y.org,c@z.org"_s);
    EXPECT_EQ(MailClient::NormalizeRecipients(QString()), QString());
    EXPECT_EQ(MailClient::Address(QString(), u"S 1"_s, u"B&C"_s), u"mailto:?subject=S%201&body=B&C"_s);
}

TEST(MailClient, TheAddressTakesThePlaceOfTheFieldCodeOrIsAppended)
{
    EXPECT_EQ(MailClient::Command({u"mailer"_s, u"/compose"_s, u"%u"_s}, u"mailto:x"_s),
              QStringList({u"mailer"_s, u"/compose"_s, u"mailto:x"_s}));
    EXPECT_EQ(MailClient::Command({u"mailer"_s, u"--to=%U"_s, u"%i"_s, u"100%%"_s}, u"mailto:x"_s),
              QStringList({u"mailer"_s, u"--to=mailto:x"_s, u"100%"_s}));
    EXPECT_EQ(MailClient::Command({u"mailer"_s, u"-c"_s}, u"mailto:x"_s),
              QStringList({u"mailer"_s, u"-c"_s, u"mailto:x"_s}));
    // A command written the way other systems register mail handlers: "%1" in quotes.
    EXPECT_EQ(MailClient::Command({u"mailer.exe"_s, u"/compose"_s, u"%1"_s, u"/new"_s}, u"mailto:x"_s),
              QStringList({u"mailer.exe"_s, u"/compose"_s, u"mailto:x"_s, u"/new"_s}));
    EXPECT_EQ(MailClient::Command({u"mailer"_s, u"--to=%1"_s}, u"mailto:x"_s),
              QStringList({u"mailer"_s, u"--to=mailto:x"_s}));
}

TEST(MailClient, TheCutNeverSplitsAnEscape)
{
    EXPECT_EQ(MailClient::CutWithoutSplittingEscape(u"abc%20def"_s, 20), u"abc%20def"_s);
    EXPECT_EQ(MailClient::CutWithoutSplittingEscape(u"abc%20def"_s, 6), u"abc%20"_s);
    EXPECT_EQ(MailClient::CutWithoutSplittingEscape(u"abc%20def"_s, 5), u"abc"_s); // "%2" would be split
    EXPECT_EQ(MailClient::CutWithoutSplittingEscape(u"abc%20def"_s, 4), u"abc"_s); // "%" would be split
    EXPECT_EQ(MailClient::CutWithoutSplittingEscape(u"abc%20def"_s, 3), u"abc"_s);
}

TEST(MailClient, TheCutLandsBeforeAnEscapeWhereverTheEscapesFall)
{
    // One to three characters before the escapes shift them across the limit: each way the
    // line stays within the limit and ends with a whole escape.
    for (int shift = 0; shift < 3; ++shift) {
        const QString address =
            u"mailto:?subject=x&body="_s + QString(shift, u'a') + MailClient::Escape(QString(20000, u'?'));
        const QStringList command = MailClient::Command({u"mailer"_s, u"--compose"_s, u"%u"_s}, address);
        const QString line = command.join(u' ');
        EXPECT_LE(line.size(), MailClient::kMaxCommandLine) << shift;
        EXPECT_GE(line.size(), MailClient::kMaxCommandLine - 2) << shift;
        EXPECT_TRUE(line.endsWith(u"%3F"_s)) << shift;
        EXPECT_TRUE(address.startsWith(command.last())) << shift;
    }
}

TEST(MailClient, ALongMailIsCutToTheCommandLineLimit)
{
    const QString address = u"mailto:?subject=x&body="_s + MailClient::Escape(QString(40000, u' '));
    const QStringList command = MailClient::Command({u"mailer"_s, u"%u"_s}, address);
    const qsizetype length = command.join(u' ').size();
    EXPECT_LE(length, MailClient::kMaxCommandLine);
    EXPECT_GE(length, MailClient::kMaxCommandLine - 2);
    EXPECT_TRUE(command.last().endsWith(u"%20"_s));
}

namespace {

// A mail client registered through the desktop's own files, in private XDG folders; it
// writes the arguments it got into a file.
class MailClientHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(m_home.filePath(u"config"_s));
        QDir().mkpath(m_home.filePath(u"data/applications"_s));
        WriteFile(m_home.filePath(u"config/mimeapps.list"_s),
                  "[Default Applications]\nx-scheme-handler/mailto=testmail.desktop\n");
        const QString script = m_home.filePath(u"mailer.sh"_s);
        // Renamed into place when whole: the test reads the file as soon as it appears.
        WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\" && "
                          "mv \"$0.tmp\" \"$0.out\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteFile(m_home.filePath(u"data/applications/testmail.desktop"_s),
                  "[Desktop Entry]\nType=Application\nName=Test mail\nExec=" + script.toUtf8() +
                      " --compose %u\n");
    }

    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};
    ScopedEnvironment m_dataDirs{"XDG_DATA_DIRS", m_home.filePath(u"none"_s).toUtf8()};
};

} // namespace

TEST_F(MailClientHandlerTest, TheRegisteredClientGetsTheAddressAsOneArgument)
{
    const std::optional<QStringList> command = MailClient::RegisteredCommand();
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->value(1), u"--compose"_s);

    ASSERT_TRUE(MailClient::SendMailToClient(QString(), Recommendation::Subject(u"My Mail"_s), u"a & b"_s));
    const QString out = m_home.filePath(u"mailer.sh.out"_s);
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(out) && QFileInfo(out).size() > 0; }));
    EXPECT_EQ(ReadFile(out),
              "--compose\nmailto:?subject=New%20Web%202.0%20Application%20Recommendation:%20My%20Mail%0D%0A"
              "&body=a%20&%20b\n");
}

TEST_F(MailClientHandlerTest, NoRegisteredClientMeansNoMail)
{
    WriteFile(m_home.filePath(u"config/mimeapps.list"_s), "[Default Applications]\n");
    EXPECT_FALSE(MailClient::RegisteredCommand().has_value());
    EXPECT_FALSE(MailClient::SendMailToClient(QString(), u"s"_s, u"b"_s));
}

TEST_F(MailClientHandlerTest, ARecommendationReachesTheMailClient)
{
    EXPECT_FALSE(Recommendation::RecommendApplication(nullptr, u"http://w"_s));

    TWebApplicationClass application(3);
    application.SetTitle(u"Note & Pad"_s);
    application.SetMainDescription(u"Notes"_s);
    application.SetMainURL(u"http://notepad.example/"_s);
    application.SetScreenshotURL(u"http://s/1.png"_s);
    ASSERT_TRUE(Recommendation::RecommendApplication(&application, u"http://w"_s));
    const QString out = m_home.filePath(u"mailer.sh.out"_s);
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(out) && QFileInfo(out).size() > 0; }));
    const QByteArray arguments = ReadFile(out);
    EXPECT_TRUE(
        arguments.startsWith("--compose\nmailto:?subject=New%20Web%202.0%20Application%20Recommendation:"
                             "%20Note%20&%20Pad%0D%0A&body=I%20thought"));
    // Without an address of the application itself the home page stands in.
    EXPECT_TRUE(arguments.contains("\thttp://notepad.example/%0D%0A\tScreenshot:%20http://s/1.png"));
}
