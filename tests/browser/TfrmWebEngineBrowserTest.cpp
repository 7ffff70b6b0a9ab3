// The Chromium frame with the real engine, against pages of a loopback server.

#include "BrowserTestFixture.h"

#include "browser/BrowserFrames.h"
#include "browser/TfrmInternetBrowser.h"
#include "sites/TSiteSettings.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"
#include "support/TestTlsServer.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

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

TEST_F(TfrmWebEngineBrowserTest, ASiteWithItsOwnSessionDoesNotSeeTheSharedCookies)
{
    const auto cookies = [](TfrmInternetBrowser& frame) {
        frame.Navigate(Url(u"/one"_s));
        EXPECT_TRUE(WaitForTitle(frame, u"Page one"_s));
        return RunScript(frame, u"document.cookie"_s);
    };
    m_frame->Navigate(Url(u"/home"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Home page"_s));
    RunScript(*m_frame, u"document.cookie = 'account=ann; path=/; max-age=3600'"_s);

    std::unique_ptr<TfrmInternetBrowser> shared(BrowserFrames::Create(0, nullptr));
    EXPECT_TRUE(cookies(*shared).contains(u"account=ann"_s)) << "sites that share a session share cookies";

    TFrameSite own;
    own.Storage = u"SITEB"_s;
    std::unique_ptr<TfrmInternetBrowser> second(BrowserFrames::Create(0, nullptr, own));
    EXPECT_FALSE(cookies(*second).contains(u"account=ann"_s));
    RunScript(*second, u"document.cookie = 'account=bob; path=/; max-age=3600'"_s);
    // Two accounts of one service side by side: each keeps its own sign-in.
    std::unique_ptr<TfrmInternetBrowser> secondAgain(BrowserFrames::Create(0, nullptr, own));
    EXPECT_TRUE(cookies(*secondAgain).contains(u"account=bob"_s));
    EXPECT_TRUE(cookies(*shared).contains(u"account=ann"_s));
    EXPECT_FALSE(cookies(*shared).contains(u"account=bob"_s));
    EXPECT_TRUE(QFileInfo(BrowserFrames::DataFolder() + u"WebEngine/Sites/SITEB"_s).isDir());
}

TEST_F(TfrmWebEngineBrowserTest, TheUserAgentNamesNoQtWebEngineUnlessTheSiteSetsItsOwn)
{
    const auto agentSeen = [](const QString& path) {
        QByteArray agent;
        for (const TestHttpServer::RecordedRequest& request : Server().Requests()) {
            if (request.target == path.toUtf8())
                agent = request.userAgent;
        }
        return QString::fromUtf8(agent);
    };
    m_frame->Navigate(Url(u"/two"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Page two"_s));
    const QString standard = agentSeen(u"/two"_s);
    EXPECT_FALSE(standard.contains(u"QtWebEngine"_s)) << standard.toStdString();
    EXPECT_TRUE(standard.contains(u"Chrome/"_s)) << standard.toStdString();
    EXPECT_EQ(RunScript(*m_frame, u"navigator.userAgent"_s), standard);

    TFrameSite site;
    site.UserAgent = u"Mozilla/5.0 (X11; Linux x86_64; rv:115.0) Gecko/20100101 Firefox/115.0"_s;
    std::unique_ptr<TfrmInternetBrowser> custom(BrowserFrames::Create(0, nullptr, site));
    custom->Navigate(Url(u"/title60"_s));
    ASSERT_TRUE(WaitUntil([&] { return custom->Title().startsWith(u"Sixty"_s); }, 30000));
    EXPECT_EQ(agentSeen(u"/title60"_s), site.UserAgent);
    EXPECT_EQ(RunScript(*custom, u"navigator.userAgent"_s), site.UserAgent) << "the page's scripts agree";
}

TEST_F(TfrmWebEngineBrowserTest, ZoomScalesThePageWhateverTheScreensPixelRatio)
{
    m_frame->resize(600, 300);
    m_frame->show();
    m_frame->SetZoomFactor(1.5);
    m_frame->Navigate(Url(u"/one"_s));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Page one"_s));
    const int frameWidth = m_frame->width();
    ASSERT_TRUE(WaitUntil([&] { return RunScript(*m_frame, u"window.innerWidth"_s).toInt() < frameWidth; }));
    EXPECT_NEAR(RunScript(*m_frame, u"window.innerWidth"_s).toInt(), frameWidth / 1.5, 2);
    // Another host keeps the site's zoom (Chromium's own is per host).
    m_frame->Navigate(u"http://localhost:%1/two"_s.arg(Server().Port()));
    ASSERT_TRUE(WaitForTitle(*m_frame, u"Page two"_s));
    EXPECT_TRUE(WaitUntil([&] {
        return std::abs(RunScript(*m_frame, u"window.innerWidth"_s).toInt() - frameWidth / 1.5) <= 2;
    }));
}

TEST_F(TfrmWebEngineBrowserTest, ASitesPermissionAnswerOutlivesTheRunUntilReset)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"SiteSettings.ini"_s);
    TFrameSite site;
    site.Storage = u"PERMS"_s;
    {
        TSiteSettings settings(file);
        std::unique_ptr<TfrmInternetBrowser> frame(BrowserFrames::Create(0, nullptr, site));
        frame->SetSiteSettings(&settings, u"PERMS"_s, Url(u"/"_s));
        frame->Navigate(Url(u"/notify"_s));
        ASSERT_TRUE(WaitUntil([&] { return !frame->PendingPermission().isEmpty(); }, 30000));
        frame->AnswerPermission(true);
        EXPECT_EQ(RunScript(*frame, u"Notification.permission"_s), u"granted"_s);
    }
    // The next run reads the answer from the file.
    TSiteSettings settings(file);
    EXPECT_EQ(settings.Permission(u"PERMS"_s, u"Notifications"_s), std::optional<bool>(true));
    std::unique_ptr<TfrmInternetBrowser> again(BrowserFrames::Create(0, nullptr, site));
    again->SetSiteSettings(&settings, u"PERMS"_s, Url(u"/"_s));
    again->Navigate(Url(u"/notify"_s));
    ASSERT_TRUE(WaitForTitle(*again, u"Asks"_s));
    EXPECT_TRUE(WaitUntil([&] { return RunScript(*again, u"Notification.permission"_s) == u"granted"_s; }));
    EXPECT_TRUE(again->PendingPermission().isEmpty());

    // The same site's window gone to another host asks there.
    std::unique_ptr<TfrmInternetBrowser> elsewhere(BrowserFrames::Create(0, nullptr, site));
    elsewhere->SetSiteSettings(&settings, u"PERMS"_s, Url(u"/"_s));
    elsewhere->Navigate(u"http://localhost:%1/notify"_s.arg(Server().Port()));
    EXPECT_TRUE(WaitUntil([&] { return !elsewhere->PendingPermission().isEmpty(); }, 30000));
    elsewhere->AnswerPermission(false);
    EXPECT_EQ(settings.Permission(u"PERMS"_s, u"Notifications"_s), std::optional<bool>(true));

    settings.SetPermission(u"PERMS"_s, u"Notifications"_s, std::nullopt);
    std::unique_ptr<TfrmInternetBrowser> reset(BrowserFrames::Create(0, nullptr, site));
    reset->SetSiteSettings(&settings, u"PERMS"_s, Url(u"/"_s));
    reset->Navigate(Url(u"/notify"_s));
    EXPECT_TRUE(WaitUntil([&] { return !reset->PendingPermission().isEmpty(); }, 30000))
        << "reset asks again";
}

TEST_F(TfrmWebEngineBrowserTest, AMisspeltWordIsMarkedUnlessTheSiteTurnsSpellingOff)
{
    Server().Serve(u"/spell"_s,
                   "<!DOCTYPE html><html><head><title>Spelling</title></head><body>"
                   "<textarea id='t' style='width:300px;height:80px;font-size:20px'>helo wrold</textarea>"
                   "</body></html>",
                   "text/html");
    // What the engine's context menu knows of the word under the pointer.
    const auto misspeltWord = [](TfrmInternetBrowser& frame, int waitMs) -> std::optional<QString> {
        auto* view = qobject_cast<QWebEngineView*>(frame.focusProxy());
        if (!view)
            return std::nullopt;
        frame.show();
        frame.Navigate(Url(u"/spell"_s));
        if (!WaitForTitle(frame, u"Spelling"_s) || !ClickElement(frame, u"t"_s))
            return std::nullopt;
        QWidget* surface = view->focusProxy();
        std::optional<QString> word;
        // Chromium checks the field a moment after it took the focus.
        WaitUntil(
            [&] {
                QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(22, 20));
                QTest::qWait(100);
                if (QWidget* menu = QApplication::activePopupWidget())
                    menu->close();
                if (QWebEngineContextMenuRequest* request = view->lastContextMenuRequest())
                    word = request->misspelledWord();
                return word && !word->isEmpty();
            },
            waitMs);
        return word;
    };
    m_frame->resize(400, 200);
    EXPECT_EQ(misspeltWord(*m_frame, 15000), std::optional<QString>(u"helo"_s));

    TFrameSite site;
    site.SpellCheck = false;
    std::unique_ptr<TfrmInternetBrowser> quiet(BrowserFrames::Create(0, nullptr, site));
    quiet->resize(400, 200);
    // Long enough for the word above to be marked.
    EXPECT_EQ(misspeltWord(*quiet, 2000), std::optional<QString>(QString()));
}
