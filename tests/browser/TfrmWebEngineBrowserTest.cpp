// The Chromium frame with the real engine, against pages of a loopback server.

#include "BrowserTestFixture.h"

#include "browser/BrowserFrames.h"
#include "browser/TfrmInternetBrowser.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"
#include "support/TestTlsServer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include <csignal>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

class TfrmWebEngineBrowserTest : public BrowserTest
{
protected:
    void SetUp() override
    {
        m_frame.reset(BrowserFrames::Create(0, nullptr));
        m_frame->resize(320, 240);
    }

    std::unique_ptr<TfrmInternetBrowser> m_frame;
};

} // namespace

TEST_F(TfrmWebEngineBrowserTest, AFrameThatNeverNavigatedAnswersHttpAndIgnoresRefreshAndCapture)
{
    EXPECT_EQ(m_frame->BrowserEngine(), 0);
    EXPECT_EQ(m_frame->GetLocationURL(), u"http://"_s);
    m_frame->RefreshPage();
    ProcessEventsFor(200);
    EXPECT_EQ(m_frame->GetLocationURL(), u"http://"_s);
    QImage bitmap(7, 5, QImage::Format_RGB32);
    m_frame->CaptureTo(bitmap);
    EXPECT_EQ(bitmap.size(), QSize(7, 5));
}

TEST_F(TfrmWebEngineBrowserTest, AnAddressWithoutSchemeLoadsAndReportsEveryEvent)
{
    QStringList titles;
    QStringList completed;
    int commandStates = 0;
    QObject::connect(m_frame.get(), &TfrmInternetBrowser::TitleChanged,
                     [&](const QString& title) { titles.append(title); });
    QObject::connect(m_frame.get(), &TfrmInternetBrowser::DocumentCompleted,
                     [&](const QString& address) { completed.append(address); });
    QObject::connect(m_frame.get(), &TfrmInternetBrowser::CommandStateChanged, [&] { ++commandStates; });
    m_frame->show();

    // As the site dialog stores what the user typed.
    m_frame->Navigate(u"127.0.0.1:%1/home"_s.arg(Server().Port()));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Home page"_s)) << m_frame->GetLocationURL().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return !completed.isEmpty(); }));
    EXPECT_EQ(completed.constLast(), Url(u"/home"_s));
    EXPECT_EQ(m_frame->GetLocationURL(), Url(u"/home"_s));
    EXPECT_TRUE(titles.contains(u"Home page"_s));
    EXPECT_EQ(m_frame->Progress(), m_frame->ProgressMax());
    EXPECT_FALSE(m_frame->CanGoBack());

    m_frame->Navigate(Url(u"/one"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Page one"_s));
    ASSERT_TRUE(WaitUntil([&] { return m_frame->CanGoBack(); }));
    EXPECT_GE(commandStates, 1);
    m_frame->GoBack();
    ASSERT_TRUE(WaitUntil([&] { return m_frame->GetLocationURL() == Url(u"/home"_s); }));
    EXPECT_TRUE(WaitUntil([&] { return m_frame->CanGoForward(); }));

    // The picture has the frame's size.
    QImage bitmap;
    m_frame->CaptureTo(bitmap);
    EXPECT_EQ(bitmap.size(), QSize(320, 240));
}

TEST_F(TfrmWebEngineBrowserTest, LinksWithOtherSchemesGoToTheDesktop)
{
    DesktopHandler mail(u"mailto"_s);
    m_frame->show();
    m_frame->Navigate(Url(u"/mailto"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Mail link"_s));
    // A click of the user's (a page's own script may not send anybody out of the program).
    ASSERT_TRUE(ClickElement(*m_frame, u"mail"_s));
    ASSERT_TRUE(WaitUntil([&] { return !mail.Opened.isEmpty(); }));
    EXPECT_EQ(mail.Opened.constFirst(), QUrl(u"mailto:someone@example.com"_s));
    EXPECT_EQ(m_frame->GetLocationURL(), Url(u"/mailto"_s));
}

TEST_F(TfrmWebEngineBrowserTest, PermissionsAreAskedAndTheAnswerHoldsForTheSite)
{
    m_frame->Navigate(Url(u"/notify"_s));
    ASSERT_TRUE(WaitUntil([&] { return !m_frame->PendingPermission().isEmpty(); }, 30000));
    EXPECT_EQ(m_frame->PendingPermission(), u"127.0.0.1 wants to show notifications."_s);
    // Nothing is granted before the user answers.
    EXPECT_EQ(RunScript(*m_frame, u"Notification.permission"_s), u"default"_s);
    m_frame->AnswerPermission(false);
    EXPECT_TRUE(m_frame->PendingPermission().isEmpty());
    EXPECT_EQ(RunScript(*m_frame, u"Notification.permission"_s), u"denied"_s);

    // The same site in another frame is not asked again.
    std::unique_ptr<TfrmInternetBrowser> other(BrowserFrames::Create(0, nullptr));
    other->Navigate(Url(u"/notify"_s));
    ASSERT_TRUE(WaitForTitle(*other, u"Asks"_s));
    ProcessEventsFor(300);
    EXPECT_TRUE(other->PendingPermission().isEmpty());
}

TEST_F(TfrmWebEngineBrowserTest, APendingPermissionQuestionGoesWithItsPage)
{
    // Asked by another origin of the server than the tests before answered for.
    const QString asking = u"http://localhost:%1/notify"_s.arg(Server().Port());
    m_frame->Navigate(asking);
    ASSERT_TRUE(WaitUntil([&] { return !m_frame->PendingPermission().isEmpty(); }, 30000));
    EXPECT_EQ(m_frame->PendingPermission(), u"localhost wants to show notifications."_s);
    m_frame->Navigate(Url(u"/one"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Page one"_s));
    EXPECT_TRUE(m_frame->PendingPermission().isEmpty());
    // Nothing was answered for the site that asked: it asks again.
    m_frame->Navigate(asking);
    EXPECT_TRUE(WaitUntil([&] { return !m_frame->PendingPermission().isEmpty(); }, 30000));
}

TEST_F(TfrmWebEngineBrowserTest, AKilledRendererShowsAReloadPageThatBringsThePageBack)
{
    m_frame->Navigate(Url(u"/home"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Home page"_s));
    const qint64 renderer = PageOf(*m_frame)->renderProcessPid();
    ASSERT_GT(renderer, 0);
    ::kill(pid_t(renderer), SIGKILL);
    ASSERT_TRUE(WaitForTitle(*m_frame, u"This page stopped working"_s));
    // The tab still stands for the page it lost.
    EXPECT_EQ(m_frame->GetLocationURL(), Url(u"/home"_s));
    EXPECT_TRUE(m_frame->IsStopped());
    // The keyboard reaches "Reload" as well as the mouse.
    auto* reload = m_frame->findChild<QPushButton*>(u"btnReload"_s);
    ASSERT_NE(reload, nullptr);
    QTest::keyClick(reload, Qt::Key_Return);
    EXPECT_TRUE(WaitForTitle(*m_frame, u"Home page"_s));
    EXPECT_FALSE(m_frame->IsStopped());
}

TEST_F(TfrmWebEngineBrowserTest, ADownloadGoesWhereTheUserSaidAndReportsItsEnd)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(u"saved.bin"_s);
    // A new user's home without a Downloads folder: the dialog still starts there.
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", folder.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder.filePath(u"config"_s).toLocal8Bit());
    QString suggested;
    const auto previous = TfrmInternetBrowser::ChooseDownloadFile;
    TfrmInternetBrowser::ChooseDownloadFile = [&](QWidget*, const QString& suggestedPath) {
        suggested = suggestedPath;
        return target;
    };
    QList<TBrowserDownloadRec> reports;
    QObject::connect(m_frame.get(), &TfrmInternetBrowser::DownloadChanged,
                     [&](const TBrowserDownloadRec& download) { reports.append(download); });
    m_frame->Navigate(Url(u"/file.bin"_s));
    ASSERT_TRUE(WaitUntil(
        [&] { return !reports.isEmpty() && reports.constLast().State != TBrowserDownloadRec::dsRunning; },
        30000));
    qputenv("HOME", home);
    config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
    EXPECT_EQ(suggested, folder.filePath(u"Downloads/file.bin"_s));
    EXPECT_TRUE(QFileInfo(folder.filePath(u"Downloads"_s)).isDir());
    EXPECT_EQ(reports.constLast().State, TBrowserDownloadRec::dsFinished);
    EXPECT_EQ(reports.constLast().FileName, target);
    EXPECT_EQ(ReadFile(target), TestHttpServer::LargeBody(200000));
    TfrmInternetBrowser::ChooseDownloadFile = previous;
}

TEST_F(TfrmWebEngineBrowserTest, APageStartingManyDownloadsIsAskedAboutOnceAndSavesNothingMeanwhile)
{
    QTemporaryDir folder;
    int asked = 0;
    const auto previous = TfrmInternetBrowser::ChooseDownloadFile;
    TfrmInternetBrowser::ChooseDownloadFile = [&](QWidget*, const QString&) {
        ++asked;
        return folder.filePath(u"saved%1.bin"_s.arg(asked));
    };
    m_frame->Navigate(Url(u"/downloads"_s));
    ASSERT_TRUE(WaitUntil([&] { return !m_frame->PendingPermission().isEmpty(); }, 30000));
    EXPECT_EQ(m_frame->PendingPermission(), u"127.0.0.1 is trying to download multiple files."_s);
    ProcessEventsFor(1000);
    // The first is the page's to start; of the 99 others nothing is asked or saved.
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo::exists(folder.filePath(u"saved1.bin"_s)); }, 30000));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);

    // Allowed, the site's next ones go ahead.
    m_frame->AnswerPermission(true);
    RunScript(*m_frame, u"many(3), 1"_s);
    EXPECT_TRUE(WaitUntil([&] { return asked == 4; }, 30000));
    EXPECT_TRUE(m_frame->PendingPermission().isEmpty());
    TfrmInternetBrowser::ChooseDownloadFile = previous;
}

TEST_F(TfrmWebEngineBrowserTest, ACertificateNobodyTrustsShowsWhyAndLoadsNothing)
{
    TestTlsServer secure(
        "<!DOCTYPE html><html><head><title>Secret page</title></head><body>secret content</body></html>");
    QStringList completed;
    QObject::connect(m_frame.get(), &TfrmInternetBrowser::DocumentCompleted,
                     [&](const QString& address) { completed.append(address); });
    m_frame->Navigate(secure.Url(u"/secret"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"This site's certificate is not valid"_s));
    // The engine saw the certificate and went no further: no request went through.
    EXPECT_GE(secure.Connections(), 1);
    ProcessEventsFor(300);
    EXPECT_TRUE(secure.Requests().isEmpty()) << secure.Requests().constFirst().toStdString();
    const QString text = RunScript(*m_frame, u"document.body.innerText"_s);
    EXPECT_FALSE(text.contains(u"secret content"_s));
    EXPECT_TRUE(text.contains(u"127.0.0.1"_s)) << text.toStdString();
    // The tab still stands for the address the user asked for.
    EXPECT_EQ(m_frame->GetLocationURL(), secure.Url(u"/secret"_s));
    EXPECT_NE(m_frame->Title(), u"Secret page"_s);
}

TEST_F(TfrmWebEngineBrowserTest, AServerAsksForALoginInTheWindowCancellingShowsNothingOfThePage)
{
    const auto serverLogins = [](const QString& path) {
        QByteArrayList logins;
        for (const TestHttpServer::RecordedRequest& request : Server().Requests())
            if (request.target == path.toUtf8() && !request.authorization.isEmpty())
                logins.append(request.authorization);
        return logins;
    };
    QStringList completed;
    QObject::connect(m_frame.get(), &TfrmInternetBrowser::DocumentCompleted,
                     [&](const QString& address) { completed.append(address); });
    m_frame->show();

    // Cancelled: the protected page never shows, and nothing is sent in its place.
    bool missed = false;
    int asked = 0;
    WhenModalShows<QDialog>(
        [&](QDialog* dialog) {
            ++asked;
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        },
        nullptr, &missed);
    m_frame->Navigate(Url(u"/private"_s));
    ASSERT_TRUE(WaitUntil([&] { return !completed.isEmpty(); }, 30000));
    EXPECT_FALSE(missed);
    EXPECT_EQ(asked, 1);
    EXPECT_NE(m_frame->Title(), u"Private page"_s);
    EXPECT_FALSE(RunScript(*m_frame, u"document.documentElement.innerText"_s).contains(u"private matters"_s));
    EXPECT_TRUE(serverLogins(u"/private"_s).isEmpty());

    // Answered: the login reaches the server as the user typed it, and the page loads.
    QString question;
    WhenModalShows<QDialog>(
        [&](QDialog* dialog) {
            question = dialog->findChild<QLabel*>()->text();
            const QList<QLineEdit*> fields = dialog->findChildren<QLineEdit*>();
            if (fields.size() == 2) {
                QTest::keyClicks(fields[0], u"ann"_s);
                fields[1]->setText(u"s\u00e9same"_s);
            }
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        },
        nullptr, &missed);
    m_frame->Navigate(Url(u"/members"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Members page"_s));
    EXPECT_FALSE(missed);
    EXPECT_TRUE(question.contains(u"127.0.0.1"_s)) << question.toStdString();
    EXPECT_TRUE(question.contains(u"Loopback members"_s)) << question.toStdString();
    const QByteArrayList logins = serverLogins(u"/members"_s);
    ASSERT_FALSE(logins.isEmpty());
    EXPECT_EQ(logins.constLast(), "Basic " + u"ann:s\u00e9same"_s.toUtf8().toBase64());
}
