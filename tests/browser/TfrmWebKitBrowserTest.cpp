#include "browser/TfrmWebKitBrowser.h"
#include "browser/BrowserFrames.h"
#include "browser/IsFireFoxAvailable.h"
#include "browser/PageTextLength.h"
#include "browser/TWebKitHost.h"
#include "support/RenderSupport.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"
#include "support/TestTlsServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray TestPage(const QByteArray& title, const QByteArray& body)
{
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>" + title + "</title></head><body>" +
           body + "</body></html>";
}

// A window as the browser window builds one: an address box above the page's frame, on the
// test X server, with the frame's events recorded.
class TfrmWebKitBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != u"xcb"_s)
            GTEST_SKIP() << "no X server for the WebKit frame (MORVALEN_TEST_X11_DISPLAY is not set)";
        if (!QFileInfo(TWebKitHost::DefaultProgram()).isExecutable())
            GTEST_SKIP() << "morvalen-webkit-host is not built (WebKitGTK development files missing)";
        ASSERT_TRUE(m_data.isValid());
        BrowserFrames::SetDataFolder(m_data.path());
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_address = new QLineEdit(m_window.get());
        layout->addWidget(m_address);
        m_frame = NewFrame();
        layout->addWidget(m_frame, 1);
        m_window->resize(640, 480);
        m_window->show();
        m_window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    }

    TfrmWebKitBrowser* NewFrame()
    {
        auto* frame = static_cast<TfrmWebKitBrowser*>(BrowserFrames::Create(1, m_window.get()));
        QObject::connect(frame, &TfrmInternetBrowser::DocumentCompleted,
                         [this, frame](const QString& address) {
                             m_completed.append({frame, address});
                         });
        return frame;
    }

    void Load(TfrmWebKitBrowser* frame, const QString& address)
    {
        const qsizetype before = m_completed.size();
        frame->Navigate(address);
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (qsizetype i = before; i < m_completed.size(); ++i)
                    if (m_completed[i].first == frame && m_completed[i].second == address)
                        return true;
                return false;
            },
            20000))
            << address.toStdString();
    }

    // A number the page works out, through the frame's script channel.
    int64_t Evaluate(TfrmWebKitBrowser* frame, const QString& script)
    {
        auto answer = std::make_shared<std::optional<QVariant>>();
        frame->RunPageScript(script, [answer](const QVariant& value) { *answer = value; });
        EXPECT_TRUE(WaitUntil([&] { return answer->has_value(); }));
        return answer->has_value() && answer->value().isValid() ? answer->value().toLongLong() : -1;
    }

    TestHttpServer m_server;
    QTemporaryDir m_data;
    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_address = nullptr;
    TfrmWebKitBrowser* m_frame = nullptr;
    QList<QPair<TfrmInternetBrowser*, QString>> m_completed;
};

} // namespace

TEST_F(TfrmWebKitBrowserTest, ReportsTitleProgressAndHistoryThroughTheFrameInterface)
{
    m_server.Serve(u"/one"_s, TestPage("One", "1"), "text/html");
    m_server.Serve(u"/two"_s, TestPage("Two", "2"), "text/html");
    QStringList titles;
    int commandStates = 0;
    QObject::connect(m_frame, &TfrmInternetBrowser::TitleChanged,
                     [&](const QString& title) { titles.append(title); });
    QObject::connect(m_frame, &TfrmInternetBrowser::CommandStateChanged, [&] { ++commandStates; });
    EXPECT_EQ(u"http://"_s, m_frame->GetLocationURL());
    EXPECT_EQ(1, m_frame->BrowserEngine());

    Load(m_frame, m_server.Url(u"/one"_s));
    Load(m_frame, m_server.Url(u"/two"_s));
    // The engine may name the page just after it reports the load finished.
    EXPECT_TRUE(WaitUntil([&] { return m_frame->Title() == u"Two"_s; }));
    EXPECT_TRUE(titles.contains(u"One"_s));
    EXPECT_EQ(100, m_frame->Progress());
    EXPECT_EQ(100, m_frame->ProgressMax());
    EXPECT_EQ(m_server.Url(u"/two"_s), m_frame->GetLocationURL());
    ASSERT_TRUE(WaitUntil([&] { return m_frame->CanGoBack() && !m_frame->CanGoForward(); }));
    EXPECT_GT(commandStates, 0);

    m_frame->GoBack();
    ASSERT_TRUE(WaitUntil([&] { return !m_frame->CanGoBack() && m_frame->CanGoForward(); }));
    EXPECT_TRUE(WaitUntil([&] { return m_frame->Title() == u"One"_s; }));
    EXPECT_EQ(m_server.Url(u"/one"_s), m_frame->GetLocationURL());
}

TEST_F(TfrmWebKitBrowserTest, PopUpGoesToTheNewTabOrOutsideAsTheWindowDecides)
{
    m_server.Serve(u"/opener"_s,
                   TestPage("Opener", "<script>function go(){ window.open('/popup'); }</script>"),
                   "text/html");
    m_server.Serve(u"/popup"_s, TestPage("Popup", "pop"), "text/html");
    QStringList outside;
    TfrmWebKitBrowser::OpenOutside = [&](const QString& address) {
        outside.append(address);
    };
    TfrmWebKitBrowser* tab = nullptr;
    bool openLocally = true;
    m_frame->NewWindowFrame = [&]() -> TfrmInternetBrowser* {
        if (!openLocally)
            return nullptr;
        tab = NewFrame();
        m_window->layout()->addWidget(tab);
        return tab;
    };
    Load(m_frame, m_server.Url(u"/opener"_s));

    Evaluate(m_frame, u"go(), 1"_s);
    ASSERT_TRUE(WaitUntil([&] { return tab != nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return tab->Title() == u"Popup"_s; }, 20000));
    EXPECT_TRUE(outside.isEmpty());

    openLocally = false;
    Evaluate(m_frame, u"go(), 1"_s);
    ASSERT_TRUE(WaitUntil([&] { return !outside.isEmpty(); }));
    EXPECT_EQ(m_server.Url(u"/popup"_s), outside.first());
    TfrmWebKitBrowser::OpenOutside = nullptr;
}

TEST_F(TfrmWebKitBrowserTest, PopUpsWithoutAClickAreBlockedAndOfferedInTheTab)
{
    m_server.Serve(u"/popups"_s,
                   TestPage("Pop-ups", "<script>function go(){ window.open('/popup'); }"
                                       "for (let i = 0; i < 200; ++i) window.open('/blocked?' + i);"
                                       "document.title = 'Pop-ups done';</script>"),
                   "text/html");
    m_server.Serve(u"/popup"_s, TestPage("Popup", "pop"), "text/html");
    m_server.Serve(u"/blocked"_s, TestPage("Blocked", "pop"), "text/html");
    QStringList outside;
    TfrmWebKitBrowser::OpenOutside = [&](const QString& address) {
        outside.append(address);
    };
    QList<TfrmWebKitBrowser*> tabs;
    m_frame->NewWindowFrame = [&]() -> TfrmInternetBrowser* {
        tabs.append(NewFrame());
        m_window->layout()->addWidget(tabs.constLast());
        return tabs.constLast();
    };
    Load(m_frame, m_server.Url(u"/popups"_s));
    ASSERT_TRUE(WaitUntil([&] { return m_frame->Title() == u"Pop-ups done"_s; }));
    ASSERT_TRUE(WaitUntil([&] { return m_frame->BlockedPopUps() == 200; }));
    EXPECT_TRUE(tabs.isEmpty());
    EXPECT_TRUE(outside.isEmpty());
    EXPECT_EQ(m_server.RequestCount(u"/blocked"_s), 0);
    EXPECT_EQ(m_frame->BlockedPopUp(), QUrl(m_server.Url(u"/blocked?199"_s)));

    // The page's own script after the user's action (the engine takes the program's script
    // as one) opens one.
    Evaluate(m_frame, u"go(), 1"_s);
    ASSERT_TRUE(WaitUntil([&] { return tabs.size() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return tabs.constFirst()->Title() == u"Popup"_s; }, 20000));
    m_frame->OpenBlockedPopUp();
    ASSERT_TRUE(WaitUntil([&] { return tabs.size() == 2; }));
    EXPECT_TRUE(WaitUntil([&] { return tabs.constLast()->Title() == u"Blocked"_s; }, 20000));
    EXPECT_EQ(m_frame->BlockedPopUps(), 0);
    TfrmWebKitBrowser::OpenOutside = nullptr;
}

TEST_F(TfrmWebKitBrowserTest, WindowCloseAsksTheWindowAndLeavesTheFrame)
{
    m_server.Serve(u"/closing"_s, TestPage("Closing", "x"), "text/html");
    int queries = 0;
    QObject::connect(m_frame, &TfrmInternetBrowser::CloseRequested, [&] { ++queries; });
    Load(m_frame, m_server.Url(u"/closing"_s));
    Evaluate(m_frame, u"window.close(), 1"_s);
    ASSERT_TRUE(WaitUntil([&] { return queries > 0; }));
    EXPECT_FALSE(m_frame->IsStopped());
    EXPECT_TRUE(WaitUntil([&] { return m_frame->Title() == u"Closing"_s; }));
}

TEST_F(TfrmWebKitBrowserTest, CaptureHasTheFramesSizeAndThePage)
{
    m_server.Serve(u"/green"_s, TestPage("Green", "<style>html,body{margin:0;background:#00ff00}</style>"),
                   "text/html");
    QImage untouched(7, 7, QImage::Format_RGB32);
    m_frame->CaptureTo(untouched);
    EXPECT_EQ(QSize(7, 7), untouched.size()) << "a frame without a page draws nothing";

    Load(m_frame, m_server.Url(u"/green"_s));
    QImage bitmap;
    m_frame->CaptureTo(bitmap);
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_EQ(m_frame->size(), bitmap.size());
    EXPECT_EQ(qRgb(0, 255, 0), bitmap.pixel(bitmap.width() / 2, bitmap.height() / 2));
}

// Run at QT_SCALE_FACTOR 1, 1.5 and 2 (see CMakeLists.txt): the engine's window is measured in
// the screen's pixels, the page in the program's.
TEST_F(TfrmWebKitBrowserTest, PageFillsItsAreaAtTheProgramsScale)
{
    m_server.Serve(u"/green"_s, TestPage("Green", "<style>html,body{margin:0;background:#00ff00}</style>"),
                   "text/html");
    Load(m_frame, m_server.Url(u"/green"_s));
    const qreal scale = m_frame->devicePixelRatioF();
    // What the screen shows where the frame's corners are, in the screen's own pixels.
    const auto shownAt = [&](QPoint inFrame) {
        return ShownOnScreen(*m_frame, inFrame);
    };
    const QPoint farCorner(m_frame->width() - 3, m_frame->height() - 3);
    EXPECT_TRUE(WaitUntil([&] {
        return shownAt(farCorner) == 0x00ff00 && shownAt(QPoint(2, 2)) == 0x00ff00;
    })) << "at scale "
        << scale << " the page does not reach the frame's far corner: " << std::hex << shownAt(farCorner);

    EXPECT_TRUE(WaitUntil([&] {
        return std::abs(Evaluate(m_frame, u"window.innerWidth"_s) - m_frame->width()) <= 2;
    })) << "page pixels are the program's: "
        << Evaluate(m_frame, u"window.innerWidth"_s) << " of " << m_frame->width();
    // Whole scales reach the page as its pixel ratio, so that pictures and text are sharp.
    EXPECT_EQ(Evaluate(m_frame, u"window.devicePixelRatio"_s), int64_t(std::floor(scale + 0.01)));

    m_frame->SetZoomFactor(2.0);
    EXPECT_TRUE(WaitUntil([&] {
        return std::abs(Evaluate(m_frame, u"window.innerWidth"_s) - m_frame->width() / 2) <= 2;
    })) << "the site's zoom comes on top of the scale: "
        << Evaluate(m_frame, u"window.innerWidth"_s);
    // A new size keeps the scale.
    m_window->resize(m_window->width() - 100, m_window->height());
    EXPECT_TRUE(WaitUntil([&] {
        return std::abs(Evaluate(m_frame, u"window.innerWidth"_s) - m_frame->width() / 2) <= 2;
    })) << Evaluate(m_frame, u"window.innerWidth"_s)
        << " of " << m_frame->width();
    EXPECT_TRUE(
        WaitUntil([&] { return shownAt(QPoint(m_frame->width() - 3, m_frame->height() - 3)) == 0x00ff00; }));
}

TEST_F(TfrmWebKitBrowserTest, PageTextLengthOfTheLoadedPage)
{
    m_server.Serve(u"/inner"_s, TestPage("Inner", "12345"), "text/html");
    m_server.Serve(u"/text"_s, TestPage("Text", "<p>abc</p><iframe src='/inner'></iframe>"), "text/html");
    Load(m_frame, m_server.Url(u"/text"_s));
    const int64_t length = Evaluate(m_frame, PageTextLength::Script());
    const int64_t outer = Evaluate(m_frame, u"new TextEncoder().encode(document.body.innerText).length"_s);
    EXPECT_EQ(outer + 5, length);
}

TEST_F(TfrmWebKitBrowserTest, KeyboardFocusGoesIntoThePageAndBackOut)
{
    m_server.Serve(u"/form"_s, TestPage("Form", "<input id='first'><input id='last'>"), "text/html");
    Load(m_frame, m_server.Url(u"/form"_s));
    m_address->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return m_address->hasFocus(); }));

    QTest::keyClick(m_address, Qt::Key_Tab);
    ASSERT_TRUE(WaitUntil([&] { return m_frame->hasFocus(); }));
    const QString activeIsFirst = u"document.activeElement && document.activeElement.id == 'first' ? 1 : 0"_s;
    ASSERT_TRUE(WaitUntil([&] { return Evaluate(m_frame, activeIsFirst) == 1; }));

    QTest::keyClicks(m_frame, u"ab"_s);
    EXPECT_TRUE(WaitUntil(
        [&] { return Evaluate(m_frame, u"document.getElementById('first').value.length"_s) == 2; }));

    // Through the page's second field and out at its end, to the window's next control.
    QTest::keyClick(m_frame, Qt::Key_Tab);
    EXPECT_TRUE(WaitUntil([&] {
        return Evaluate(m_frame,
                        u"document.activeElement && document.activeElement.id == 'last' ? 1 : 0"_s) == 1;
    }));
    QTest::keyClick(m_frame, Qt::Key_Tab);
    EXPECT_TRUE(WaitUntil([&] { return !m_frame->hasFocus(); }));
    EXPECT_TRUE(m_window->isActiveWindow()) << "the window keeps the keyboard while the page has the focus";
}

TEST_F(TfrmWebKitBrowserTest, AKilledHostShowsTheStoppedPageAndReloadStartsANewOne)
{
    m_server.Serve(u"/alive"_s, TestPage("Alive", "x"), "text/html");
    Load(m_frame, m_server.Url(u"/alive"_s));
    const qint64 firstHost = m_frame->Host()->ProcessId();
    ::kill(pid_t(firstHost), SIGKILL);
    ASSERT_TRUE(WaitUntil([&] { return m_frame->IsStopped(); }));
    EXPECT_EQ(u"This page stopped working"_s, m_frame->Title());
    auto* reload = m_frame->findChild<QPushButton*>(u"btnReload"_s);
    ASSERT_NE(nullptr, reload);
    EXPECT_TRUE(reload->isVisible());

    m_completed.clear();
    reload->click();
    ASSERT_TRUE(WaitUntil([&] { return !m_completed.isEmpty(); }, 20000));
    EXPECT_FALSE(m_frame->IsStopped());
    // The engine may name the page after it reports the load.
    EXPECT_TRUE(WaitUntil([&] { return m_frame->Title() == u"Alive"_s; }));
    EXPECT_NE(firstHost, m_frame->Host()->ProcessId());
    EXPECT_EQ(m_server.Url(u"/alive"_s), m_completed.first().second);

    // The keyboard reaches "Reload" too, where the frame kept it for the page: Return and
    // Space.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        const qint64 host = m_frame->Host()->ProcessId();
        ::kill(pid_t(host), SIGKILL);
        ASSERT_TRUE(WaitUntil([&] { return m_frame->IsStopped(); }));
        m_completed.clear();
        QTest::keyClick(m_frame, key);
        ASSERT_TRUE(WaitUntil([&] { return !m_completed.isEmpty(); }, 20000)) << key;
        EXPECT_FALSE(m_frame->IsStopped());
    }
}

TEST_F(TfrmWebKitBrowserTest, IsAvailableOnX11WithTheHelper)
{
    // A generous limit: the test machine may be busier than a user's.
    EXPECT_TRUE(IsFireFoxAvailable(20000));
}

TEST_F(TfrmWebKitBrowserTest, ACertificateNobodyTrustsLoadsNothing)
{
    TestTlsServer secure(
        "<!DOCTYPE html><html><head><title>Secret page</title></head><body>secret content</body></html>");
    m_frame->Navigate(secure.Url(u"/secret"_s));
    ASSERT_TRUE(WaitUntil([&] { return secure.Connections() >= 1; }, 20000));
    // The engine saw the certificate and says so in its own page; no request goes through.
    ProcessEventsFor(1500);
    EXPECT_TRUE(secure.Requests().isEmpty()) << secure.Requests().constFirst().toStdString();
    EXPECT_NE(m_frame->Title(), u"Secret page"_s);
}

TEST_F(TfrmWebKitBrowserTest, ASiteWithItsOwnSessionKeepsItsCookiesInAHostOfItsOwn)
{
    m_server.Serve(u"/page"_s, TestPage("Page", "page"), "text/html");
    Load(m_frame, m_server.Url(u"/page"_s));
    Evaluate(m_frame, u"document.cookie = 'account=ann; path=/; max-age=3600', 0"_s);
    const QString hasAnn = u"document.cookie.indexOf('account=ann') >= 0 ? 1 : 0"_s;

    TfrmWebKitBrowser* shared = NewFrame();
    Load(shared, m_server.Url(u"/page"_s));
    EXPECT_EQ(Evaluate(shared, hasAnn), 1) << "sites that share a session share cookies";

    TFrameSite own;
    own.Storage = u"SITEB"_s;
    auto* separate = static_cast<TfrmWebKitBrowser*>(BrowserFrames::Create(1, m_window.get(), own));
    QObject::connect(separate, &TfrmInternetBrowser::DocumentCompleted,
                     [this, separate](const QString& address) {
                         m_completed.append({separate, address});
                     });
    Load(separate, m_server.Url(u"/page"_s));
    EXPECT_EQ(Evaluate(separate, hasAnn), 0);
    EXPECT_NE(separate->Host(), m_frame->Host());
    EXPECT_EQ(shared->Host(), m_frame->Host());
    EXPECT_TRUE(QFileInfo(m_data.filePath(u"WebKit/Sites/SITEB"_s)).isDir());
}

TEST_F(TfrmWebKitBrowserTest, TheSitesUserAgentStyleScriptAndZoomReachItsPages)
{
    m_server.Serve(u"/page"_s, TestPage("Page", "<p id='p'>page</p>"), "text/html");
    TFrameSite site;
    site.UserAgent = u"Agent/7 (site's own)"_s;
    site.UserStyle = u"#p { margin-left: 37px; }"_s;
    site.UserScript = u"document.body.dataset.touched = '41';"_s;
    auto* frame = static_cast<TfrmWebKitBrowser*>(BrowserFrames::Create(1, m_window.get(), site));
    QObject::connect(frame, &TfrmInternetBrowser::DocumentCompleted, [this, frame](const QString& address) {
        m_completed.append({frame, address});
    });
    m_window->layout()->addWidget(frame);
    frame->show();
    frame->SetZoomFactor(1.5);
    Load(frame, m_server.Url(u"/page"_s));
    QByteArray agent;
    for (const TestHttpServer::RecordedRequest& request : m_server.Requests())
        agent = request.target == "/page" ? request.userAgent : agent;
    EXPECT_EQ(agent, QByteArray("Agent/7 (site's own)"));
    EXPECT_TRUE(WaitUntil([&] { return Evaluate(frame, u"document.body.dataset.touched * 1"_s) == 41; }));
    EXPECT_EQ(Evaluate(frame, u"parseInt(getComputedStyle(document.getElementById('p')).marginLeft)"_s), 37);
    EXPECT_TRUE(WaitUntil([&] {
        return std::abs(double(Evaluate(frame, u"window.innerWidth"_s)) - frame->width() / 1.5) <= 3;
    })) << "the page is zoomed, not only its text: "
        << Evaluate(frame, u"window.innerWidth"_s) << " of " << frame->width();

    // The shared engine's own user agent is left as it is.
    Load(m_frame, m_server.Url(u"/page"_s));
    for (const TestHttpServer::RecordedRequest& request : m_server.Requests())
        agent = request.target == "/page" ? request.userAgent : agent;
    EXPECT_NE(agent, QByteArray("Agent/7 (site's own)"));
}

TEST_F(TfrmWebKitBrowserTest, APagesNotificationGoesToTheProgramAndItsClickBackToThePage)
{
    // Asked on a key the user types: the engine asks only in answer to the user.
    m_server.Serve(
        u"/notify"_s,
        TestPage("Notifies",
                 "<script>document.addEventListener('keydown', ask); function ask() {"
                 "  document.title = 'Asking'; Notification.requestPermission().then(function (answer) {"
                 "    if (answer != 'granted') { document.title = answer; return; }"
                 "    var shown = new Notification('New mail', { body: 'From Ann' });"
                 "    shown.onclick = function () { document.title = 'Clicked'; };"
                 "  });"
                 "}</script>"),
        "text/html");
    std::vector<TWebNotificationRec> shown;
    TfrmInternetBrowser::OnWebNotification = [&](const TWebNotificationRec& notification) {
        shown.push_back(notification);
    };
    Load(m_frame, m_server.Url(u"/notify"_s));
    m_frame->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return m_frame->hasFocus(); }));
    QTest::keyClick(m_frame, Qt::Key_A);
    ASSERT_TRUE(WaitUntil([&] { return !m_frame->PendingPermission().isEmpty(); }))
        << m_frame->Title().toStdString();
    m_frame->AnswerPermission(true);
    // Shown by the program (under the site's name and icon), never by the engine itself.
    ASSERT_TRUE(WaitUntil([&] { return !shown.empty(); }));
    TfrmInternetBrowser::OnWebNotification = nullptr;
    EXPECT_EQ(shown.front().Title, u"New mail"_s);
    EXPECT_EQ(shown.front().Message, u"From Ann"_s);
    EXPECT_EQ(shown.front().Origin, QUrl(m_server.Url(u"/"_s)).adjusted(QUrl::RemovePath));
    ASSERT_TRUE(shown.front().Click);
    shown.front().Click();
    EXPECT_TRUE(WaitUntil([&] { return m_frame->Title() == u"Clicked"_s; }))
        << m_frame->Title().toStdString();
}

TEST_F(TfrmWebKitBrowserTest, ASleepingPageEndsItsViewInTheHostAndWakesWhereItWasScrolledTo)
{
    m_server.Serve(u"/long"_s, TestPage("Long", "<div style='height: 6000px'>long</div>"), "text/html");
    Load(m_frame, m_server.Url(u"/long"_s));
    ASSERT_TRUE(
        WaitUntil([&] { return Evaluate(m_frame, u"window.scrollTo(0, 900), window.scrollY"_s) == 900; }));
    const qint64 host = m_frame->Host()->ProcessId();
    // The page's own web process, a child of the host, is what the page costs.
    const auto webProcesses = [host] {
        int count = 0;
        for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(u"/proc/%1/stat"_s.arg(entry));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (text.contains("(WebKitWebProces") && fields.size() > 1 && fields.at(1).toLongLong() == host)
                ++count;
        }
        return count;
    };
    ASSERT_GT(webProcesses(), 0);

    EXPECT_FALSE(m_frame->PutToSleep()) << "a page on screen stays awake";
    m_window->hide();
    ASSERT_TRUE(m_frame->PutToSleep());
    ASSERT_TRUE(WaitUntil([&] { return m_frame->EngineAsleep(); }));
    EXPECT_TRUE(WaitUntil([&] { return webProcesses() == 0; }, 20000)) << "the page's web process ended";
    EXPECT_EQ(m_frame->GetLocationURL(), m_server.Url(u"/long"_s));

    m_window->show();
    m_completed.clear();
    m_frame->Wake();
    ASSERT_TRUE(WaitUntil([&] { return !m_completed.isEmpty(); }, 20000));
    EXPECT_EQ(m_completed.first().second, m_server.Url(u"/long"_s));
    EXPECT_EQ(m_frame->Host()->ProcessId(), host) << "the window's host serves the page again";
    EXPECT_TRUE(WaitUntil([&] { return Evaluate(m_frame, u"window.scrollY"_s) == 900; }));
    EXPECT_TRUE(WaitUntil([&] { return m_frame->Title() == u"Long"_s; }));
}

TEST_F(TfrmWebKitBrowserTest, APagePlayingSoundStaysAwake)
{
    // Two seconds of a quiet tone, looped.
    QByteArray samples;
    for (int i = 0; i < 2 * 8000; ++i)
        samples.append(char(128 + int(20 * std::sin(i * 2 * M_PI * 440 / 8000))));
    QByteArray wave = "RIFF" + QByteArray(4, '\0') + "WAVEfmt ";
    const auto le = [&wave](quint32 value, int bytes) {
        for (int b = 0; b < bytes; ++b)
            wave.append(char((value >> (8 * b)) & 0xff));
    };
    le(16, 4), le(1, 2), le(1, 2), le(8000, 4), le(8000, 4), le(1, 2), le(8, 2);
    wave += "data";
    le(quint32(samples.size()), 4);
    wave += samples;
    const quint32 riff = quint32(wave.size() - 8);
    for (int b = 0; b < 4; ++b)
        wave[4 + b] = char((riff >> (8 * b)) & 0xff);
    m_server.Serve(u"/tone.wav"_s, wave, "audio/wav");
    m_server.Serve(u"/sound"_s, TestPage("Sound", "<audio id=a src='/tone.wav' autoplay loop></audio>"),
                   "text/html");
    Load(m_frame, m_server.Url(u"/sound"_s));
    Evaluate(m_frame, u"document.getElementById('a').play(), 1"_s);
    ASSERT_TRUE(WaitUntil([&] { return m_frame->KeepsAwake(); }, 20000))
        << "playing: " << Evaluate(m_frame, u"document.getElementById('a').paused ? 0 : 1"_s) << " ready "
        << Evaluate(m_frame, u"document.getElementById('a').readyState"_s) << " error "
        << Evaluate(m_frame, u"(e => e ? e.code : 0)(document.getElementById('a').error)"_s);
    m_window->hide();
    EXPECT_FALSE(m_frame->PutToSleep());
    // Once it stops, the page may sleep.
    Evaluate(m_frame, u"document.getElementById('a').pause(), 1"_s);
    EXPECT_TRUE(WaitUntil([&] { return !m_frame->KeepsAwake(); }, 20000));
    EXPECT_TRUE(m_frame->PutToSleep());
}
