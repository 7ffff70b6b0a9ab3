// The browser window's tabs and remembered pages, the same for every engine: each test
// program that starts an engine runs them against it (MORVALEN_TEST_WINDOW_ENGINE).

#include "BrowserTestFixture.h"

#include "browser/TBrowserDownloads.h"
#include "browser/TBrowserDownloadsView.h"
#include "browser/TBrowserFindBar.h"
#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TWebKitHost.h"
#include "browser/TWindowChangeMonitor.h"
#include "browser/TfrmInternetBrowser.h"
#include "sites/TSiteSettings.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

class TCustomInternetBrowserWindowTabsTest : public BrowserWindowTest,
                                             public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        if (GetParam() == 1) {
            if (QGuiApplication::platformName() != u"xcb"_s)
                GTEST_SKIP() << "no X server for the WebKit engine (MORVALEN_TEST_X11_DISPLAY is not set)";
            if (!QFileInfo(TWebKitHost::DefaultProgram()).isExecutable())
                GTEST_SKIP() << "morvalen-webkit-host is not built (WebKitGTK development files missing)";
        }
    }

    // A shown site window titled Mail on the engine under test whose pages are loading.
    TCustomInternetBrowserWindow* Open(const QString& start, const QStringList& tabs = {})
    {
        return BrowserWindowTest::Open(start, tabs, uint8_t(GetParam()));
    }
};

// Engine 0 waits for a page dialog's answer in an event loop of its own, under which the
// test's own code does not run: the user's part is played from a timer, one step after the
// other, each once its condition holds. A script that gets stuck closes the window, so that
// the test fails instead of hanging.
class TPageDialogScript final
{
public:
    explicit TPageDialogScript(QPointer<TCustomInternetBrowserWindow>& window) : m_window(window)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start();
        m_started.start();
    }

    void Step(std::function<bool()> when, std::function<void()> then)
    {
        m_steps.append({std::move(when), std::move(then)});
        m_started.restart();
    }
    bool Done() const { return m_next >= m_steps.size(); }

    // The frame of the window's current tab, or none.
    TfrmInternetBrowser* Frame() const
    {
        return m_window && m_window->ActiveTab() ? m_window->ActiveTab()->Frame() : nullptr;
    }
    QString Pending() const { return Frame() ? Frame()->PendingPageDialog() : QString(); }
    bool StopOffered() const
    {
        auto* stop = Frame() ? Frame()->findChild<QCheckBox*>(u"cbStopDialogs"_s) : nullptr;
        return stop && stop->isVisible();
    }

private:
    struct TStep
    {
        std::function<bool()> When;
        std::function<void()> Then;
    };

    void Tick()
    {
        if (Done())
            return;
        if (m_started.elapsed() > 60000) {
            ADD_FAILURE() << "step " << m_next << " of the page dialog script never came";
            m_next = m_steps.size();
            if (m_window)
                m_window->close();
            return;
        }
        const TStep& step = m_steps.at(m_next);
        if (!step.When())
            return;
        ++m_next;
        m_started.restart();
        step.Then();
    }

    QPointer<TCustomInternetBrowserWindow>& m_window;
    QTimer m_timer;
    QElapsedTimer m_started;
    QList<TStep> m_steps;
    qsizetype m_next = 0;
};

std::string EngineName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? "Chromium" : info.param == 1 ? "WebKit" : "Engine" + std::to_string(info.param);
}

} // namespace

TEST_P(TCustomInternetBrowserWindowTabsTest, ASiteWithTwoRememberedPagesOpensThreeTabsTheFirstActive)
{
    Open(Url(u"/home"_s), {Url(u"/one"_s), Url(u"/two"_s)});
    EXPECT_EQ(m_window->windowTitle(), u"Morvalen Desktop: Mail"_s);
    ASSERT_EQ(m_window->TabCount(), 3);
    EXPECT_EQ(m_window->ActiveTabIndex(), 0);
    EXPECT_TRUE(m_window->NavigationBar()->CloseTabVisible());
    EXPECT_TRUE(m_window->Tab(0)->IsHome());
    EXPECT_FALSE(m_window->Tab(1)->IsHome());
    EXPECT_EQ(m_window->Tab(2)->StartURL(), Url(u"/two"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(1)->Frame(), u"Page one"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Home page"_s));
    EXPECT_EQ(m_window->TabCaption(1), u"Page one"_s);
    EXPECT_EQ(m_window->NavigationBar()->AddressBox()->text(), Url(u"/home"_s));

    // Closing the middle tab activates the new second one.
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(2)->Frame(), u"Page two"_s));
    m_window->SetActiveTab(1);
    m_window->CloseTab(m_window->Tab(1));
    ASSERT_EQ(m_window->TabCount(), 2);
    EXPECT_EQ(m_window->ActiveTabIndex(), 1);
    EXPECT_EQ(m_window->TabCaption(1), u"Page two"_s);
    // The header follows the new active tab.
    EXPECT_EQ(m_window->NavigationBar()->AddressBox()->text(), Url(u"/two"_s));
    m_window->CloseTab(m_window->Tab(1));
    EXPECT_FALSE(m_window->NavigationBar()->CloseTabVisible());

    // The tray hint with one tab left: the page title does not name the site.
    EXPECT_EQ(m_window->TrayHint(), u"Mail: Home page"_s);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, APageThatClosesItselfClosesItsTabAndTheLastTabTheWindow)
{
    Open(Url(u"/home"_s), {Url(u"/closer"_s)});
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 1; }, 30000));
    EXPECT_TRUE(m_window->Tab(0)->IsHome());

    bool closed = false;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::WindowClosed, [&] { closed = true; });
    m_window->CloseTab(m_window->Tab(0));
    EXPECT_TRUE(closed);
    // The window frees itself.
    EXPECT_TRUE(WaitUntil([&] { return m_window.isNull(); }));
}

TEST_P(TCustomInternetBrowserWindowTabsTest,
       RememberingWithOnlyTheHomeTabStoresNoPagesAndCaptureHasTheFrameSize)
{
    Open(Url(u"/home"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Home page"_s));
    QStringList remembered{u"stale"_s};
    QObject::connect(m_window, &TCustomInternetBrowserWindow::PagesRemembered,
                     [&](const QStringList& pages) { remembered = pages; });
    m_window->RememberPages();
    EXPECT_TRUE(remembered.isEmpty());

    // A tab typed into is remembered; the home tab never is.
    m_window->NewTab();
    EXPECT_EQ(m_window->TabCaption(1), u"Mail (empty)"_s);
    m_window->NavigationBar()->AddressBox()->setText(Url(u"/two"_s));
    m_window->NavigateTyped();
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(1)->Frame(), u"Page two"_s));
    m_window->RememberPages();
    EXPECT_EQ(remembered, QStringList{Url(u"/two"_s)});
    // The user sees that it did something.
    EXPECT_EQ(m_window->StatusBar()->Text(),
              u"1 page remembered: it opens beside the start page next time."_s);

    // A page with nothing on it gives no thumbnail, after a second try; the user is told.
    QImage captured;
    int pictures = 0;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::ThumbnailCaptured, [&](const QImage& bitmap) {
        captured = bitmap;
        ++pictures;
    });
    m_window->CaptureThumbnail();
    ASSERT_TRUE(WaitUntil([&] { return m_window->StatusBar()->Text().contains(u"no thumbnail"_s); }, 20000))
        << m_window->StatusBar()->Text().toStdString();
    EXPECT_EQ(pictures, 0);

    // A page with something on it gives one, at the frame's size.
    m_window->Tab(1)->Frame()->Navigate(Url(u"/find"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(1)->Frame(), u"Find"_s));
    m_window->CaptureThumbnail();
    ASSERT_TRUE(WaitUntil([&] { return pictures == 1; }, 20000));
    EXPECT_EQ(captured.size(), m_window->Tab(1)->Frame()->size());
    EXPECT_FALSE(TfrmInternetBrowser::IsBlankPicture(captured));
    EXPECT_FALSE(captured.isNull());
}

TEST_P(TCustomInternetBrowserWindowTabsTest, TabCaptionsShortenLongTitlesAndTheTrayHintCountsTabs)
{
    Open(Url(u"/title60"_s), {Url(u"/title80"_s), Url(u"/mail"_s)});
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(),
                             u"Sixty characters of a page title that is not cut at all, ok!"_s));
    ASSERT_TRUE(
        WaitForTitle(*m_window->Tab(1)->Frame(),
                     u"Weekly report of the project: open tasks!Andwhatisdueinthecomingweeksforeveryone"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(2)->Frame(), u"Mail"_s));
    EXPECT_EQ(m_window->TabCaption(0), u"Sixty characters of a page title that is not cut at all, ok!"_s);
    EXPECT_EQ(m_window->TabCaption(1), u"Weekly report of the project: open tasks!..."_s);
    EXPECT_EQ(m_window->TrayHint(), u"Mail (3 windows)"_s);

    // One tab left: its page's title starts with the site's and is the hint.
    m_window->CloseTab(m_window->Tab(1));
    m_window->CloseTab(m_window->Tab(0));
    EXPECT_EQ(m_window->TrayHint(), u"Mail"_s);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, AWatchedPageThatChangesWhileTheWindowIsInactiveIsReported)
{
    m_window = new TCustomInternetBrowserWindow;
    m_window->SetSettings(&m_settings);
    m_window->SetBrowserEngine(uint8_t(GetParam()));
    m_window->SetSiteTitle(u"Mail"_s);
    m_window->SetStartURL(Url(u"/growing"_s));
    m_window->SetMonitor(true);
    TWindowChangeMonitor* monitor = TWindowChangeMonitor::Attach(*m_window, {300, 400});
    ASSERT_NE(monitor, nullptr);
    int changes = 0;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::SiteChanged, [&] { ++changes; });
    m_window->resize(640, 480);
    m_window->show();
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 1; }, 30000));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Growing"_s));
    // The user goes to another window.
    QWidget elsewhere;
    elsewhere.resize(200, 100);
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !m_window->WindowActive(); }, 30000));
    // The page adds a line every 200 ms: measured at each check, it has changed.
    ASSERT_TRUE(WaitUntil([&] { return changes >= 2; }, 30000));
    EXPECT_GT(monitor->Monitor().BaselineLength(), 0);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, AnAlertLoopWaitsInItsTabOnlyAndTheWindowStillCloses)
{
    QWidget mainWindow;
    auto* button = new QPushButton(u"Search"_s, &mainWindow);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    // Beside the site window, which only starts its pages once it is seen.
    mainWindow.setGeometry(700, 500, 200, 100);
    mainWindow.show();

    QString first;
    bool stopOffered = false;
    bool stopOfferedLater = false;
    bool timerRan = false;
    TPageDialogScript script(m_window);
    script.Step([&] { return !script.Pending().isEmpty(); },
                [&] {
                    first = script.Pending();
                    stopOffered = script.StopOffered();
                    // The rest of the program goes on: another window takes a click and
                    // timers run.
                    QTest::mouseClick(button, Qt::LeftButton);
                    QTimer::singleShot(50, [&] { timerRan = true; });
                });
    script.Step([&] { return timerRan; }, [&] { script.Frame()->AnswerPageDialog(true); });
    script.Step([&] { return script.Pending() == u"<b>Message</b> 1"_s; },
                [&] {
                    stopOfferedLater = script.StopOffered();
                    // Closed as the window manager closes it, while the page waits.
                    m_window->close();
                });
    Open(Url(u"/alerts"_s));
    ASSERT_TRUE(WaitUntil([&] { return script.Done() && m_window.isNull(); }, 60000));
    // The page's words as it wrote them, not as markup.
    EXPECT_EQ(first, u"<b>Message</b> 0"_s);
    EXPECT_FALSE(stopOffered);
    EXPECT_TRUE(stopOfferedLater);
    EXPECT_EQ(clicks, 1);
    // The engine goes on for the next window.
    Open(Url(u"/home"_s));
    EXPECT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Home page"_s));
}

TEST_P(TCustomInternetBrowserWindowTabsTest, StoppedDialogsLetThePageGoOnAndAnswersReachIt)
{
    TPageDialogScript script(m_window);
    script.Step([&] { return !script.Pending().isEmpty(); }, [&] { script.Frame()->AnswerPageDialog(true); });
    // The remaining 998 alerts are answered without the user.
    script.Step([&] { return script.Pending() == u"<b>Message</b> 1"_s; },
                [&] { script.Frame()->AnswerPageDialog(true, {}, true); });
    Open(Url(u"/alerts"_s));
    TfrmInternetBrowser* frame = m_window->Tab(0)->Frame();
    ASSERT_TRUE(WaitForTitle(*frame, u"Alerts done"_s));
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(frame->PendingPageDialog().isEmpty());

    // A new document may ask again, and gets what the user answered.
    QString prompted;
    script.Step([&] { return script.Pending() == u"Sure?"_s; }, [&] { frame->AnswerPageDialog(true); });
    script.Step([&] { return script.Pending() == u"Name?"_s; },
                [&] {
                    if (auto* input = frame->findChild<QLineEdit*>(u"edPageDialog"_s))
                        prompted = input->text();
                    frame->AnswerPageDialog(true, u"Bob"_s);
                });
    frame->Navigate(Url(u"/asks"_s));
    ASSERT_TRUE(WaitForTitle(*frame, u"true:Bob"_s));
    EXPECT_EQ(prompted, u"Anne"_s);

    // Cancelled ones.
    script.Step([&] { return script.Pending() == u"Sure?"_s; }, [&] { frame->AnswerPageDialog(false); });
    script.Step([&] { return script.Pending() == u"Name?"_s; },
                [&] { frame->AnswerPageDialog(false, u"ignored"_s); });
    frame->RefreshPage();
    ASSERT_TRUE(WaitForTitle(*frame, u"false:null"_s));

    // A tab closed while its page waits leaves the others working.
    TBrowserTab* waiting = m_window->NewTab();
    ASSERT_NE(waiting, nullptr);
    script.Step([&] { return !waiting->Frame()->PendingPageDialog().isEmpty(); },
                [&] { m_window->CloseTab(waiting); });
    waiting->Frame()->Navigate(Url(u"/alerts"_s));
    ASSERT_TRUE(WaitUntil([&] { return script.Done(); }, 30000));
    EXPECT_EQ(m_window->TabCount(), 1);
    frame->Navigate(Url(u"/one"_s));
    EXPECT_TRUE(WaitForTitle(*frame, u"Page one"_s));
}

TEST_P(TCustomInternetBrowserWindowTabsTest,
       DownloadsGoStraightIntoDownloadsUnderAFreeNameAndTheListFollowsThem)
{
    // The user's Downloads folder, as xdg-user-dir names it, already has the page's file.
    QTemporaryDir folder;
    const QString downloads = folder.filePath(u"Downloads"_s);
    ASSERT_TRUE(QDir().mkpath(downloads) && QDir().mkpath(folder.filePath(u"config"_s)));
    WriteFile(folder.filePath(u"config/user-dirs.dirs"_s),
              "XDG_DOWNLOAD_DIR=\"" + downloads.toUtf8() + "\"\n");
    WriteFile(QDir(downloads).filePath(u"file.bin"_s), "keep");
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.filePath(u"config"_s).toUtf8());
    int asked = 0;
    const auto previous = TfrmInternetBrowser::ChooseDownloadFile;
    TfrmInternetBrowser::ChooseDownloadFile = [&](QWidget*, const QString&) {
        ++asked;
        return QString();
    };
    const auto restore = qScopeGuard([&] {
        TfrmInternetBrowser::ChooseDownloadFile = previous;
        Server().ReleaseStalls();
    });
    // The site window follows the program's choice in the settings file it shares.
    TSiteSettings settings(folder.filePath(QString::fromUtf16(TSiteSettings::kFileName)));
    ASSERT_TRUE(settings.SetSaveIntoDownloads(true));
    BrowserWindowTest::Open(Url(u"/one"_s), {}, uint8_t(GetParam()), &settings, u"E1"_s);
    TfrmInternetBrowser* frame = m_window->Tab(0)->Frame();
    ASSERT_TRUE(WaitForTitle(*frame, u"Page one"_s));
    frame->NoteUserAction();
    frame->Navigate(Url(u"/file.bin"_s));
    const TBrowserDownloads& list = m_window->Downloads();
    ASSERT_TRUE(WaitUntil(
        [&] { return list.Count() == 1 && list.At(0).State != TBrowserDownloadRec::dsRunning; }, 30000));
    EXPECT_EQ(list.At(0).State, TBrowserDownloadRec::dsFinished) << list.At(0).Error.toStdString();
    const QString saved = QDir(downloads).filePath(u"file (1).bin"_s);
    EXPECT_EQ(list.At(0).FileName, saved);
    EXPECT_EQ(ReadFile(saved), TestHttpServer::LargeBody(200000));
    EXPECT_EQ(ReadFile(QDir(downloads).filePath(u"file.bin"_s)), "keep");

    // The window's list (Ctrl+J) shows it done, and one that runs with what has come of it,
    // until the list's Cancel stops it.
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_J, Qt::ControlModifier);
    ASSERT_NE(m_window->DownloadsView(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return m_window->DownloadsView()->isVisible(); }));
    QWidget* done = m_window->DownloadsView()->Row(0);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->findChild<QLabel*>(u"lbName"_s)->text(), u"file (1).bin"_s);
    EXPECT_TRUE(done->findChild<QLabel*>(u"lbState"_s)->text().startsWith(u"Done"_s));
    frame->NoteUserAction();
    frame->Navigate(Url(u"/stalled.bin"_s));
    ASSERT_TRUE(WaitUntil([&] { return list.Count() == 2 && list.At(1).Received > 0; }, 30000));
    EXPECT_EQ(list.At(1).State, TBrowserDownloadRec::dsRunning);
    EXPECT_EQ(list.At(1).Total, 1 << 20);
    auto* cancel = m_window->DownloadsView()->Row(1)->findChild<QPushButton*>(u"btnCancel"_s);
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(cancel->isVisible());
    cancel->click();
    EXPECT_TRUE(WaitUntil([&] { return list.At(1).State == TBrowserDownloadRec::dsCancelled; }, 30000));
    EXPECT_EQ(asked, 0);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, TheFindBarFindsInThePageGoesOnAndClosesWithEsc)
{
    Open(Url(u"/find"_s));
    TfrmInternetBrowser& frame = *m_window->ActiveTab()->Frame();
    ASSERT_TRUE(WaitForTitle(frame, u"Find"_s));
    // The engine finds only in what it has laid out and painted.
    auto painted = std::make_shared<bool>(false);
    frame.WhenPainted([painted] { *painted = true; });
    ASSERT_TRUE(WaitUntil([&] { return *painted; }, 20000));
    TBrowserFindBar& bar = *m_window->FindBar();
    EXPECT_FALSE(bar.isVisible());

    QTest::keyClick(m_window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), bar.TextBox());
    // Found as it is typed, whatever the case; "pineapple" holds one as well.
    QTest::keyClicks(bar.TextBox(), u"apple"_s);
    // Chromium says which match is selected; WebKit counts only.
    const bool counts = GetParam() == 1;
    const auto shows = [&](int active) {
        return counts ? u"3 matches"_s : u"%1 of 3"_s.arg(active);
    };
    ASSERT_TRUE(WaitUntil([&] { return bar.MatchText() == shows(1); }, 20000))
        << bar.MatchText().toStdString();
    // Enter, F3 and Shift+Enter move through them, round past the end.
    QTest::keyClick(bar.TextBox(), Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return bar.MatchText() == shows(2); })) << bar.MatchText().toStdString();
    QTest::keyClick(bar.TextBox(), Qt::Key_F3);
    EXPECT_TRUE(WaitUntil([&] { return bar.MatchText() == shows(3); })) << bar.MatchText().toStdString();
    QTest::keyClick(bar.TextBox(), Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return bar.MatchText() == shows(1); })) << bar.MatchText().toStdString();
    QTest::keyClick(bar.TextBox(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(WaitUntil([&] { return bar.MatchText() == shows(3); })) << bar.MatchText().toStdString();
    // For a look by eye: the bar in use over its page.
    if (const QString folder = qEnvironmentVariable("MORVALEN_SCREENSHOT_DIR"); !folder.isEmpty()) {
        ProcessEventsFor(1000);
        m_window->grab().save(folder +
                              u"/find-bar-%1.png"_s.arg(QString::fromStdString(EngineName({GetParam(), 0}))));
    }

    QTest::keyClicks(bar.TextBox(), u"zz"_s);
    EXPECT_TRUE(WaitUntil([&] { return bar.MatchText() == u"No matches"_s; }))
        << bar.MatchText().toStdString();

    // Esc closes the bar, not the page's loading, and the keyboard goes back to the page.
    QTest::keyClick(bar.TextBox(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(
        WaitUntil([&] { return frame.hasFocus() || frame.isAncestorOf(QApplication::focusWidget()); }));
    // Opened again, it has the last text ready to replace.
    QTest::keyClick(m_window, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(bar.TextBox()->selectedText(), u"applezz"_s);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, AWindowWithoutASiteIconTakesItsPagesIcon)
{
    Open(Url(u"/iconic"_s));
    m_window->SetTakesPageIcon(true);
    QIcon taken;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::PageIconTaken,
                     [&](const QIcon& icon) { taken = icon; });
    ASSERT_TRUE(WaitUntil([&] { return !taken.isNull(); }, 30000));
    // The page's own picture, on the window (and its tray icon).
    const QImage picture = m_window->windowIcon().pixmap(16, 16).toImage();
    ASSERT_FALSE(picture.isNull());
    const QColor middle = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    EXPECT_GT(middle.green(), 120);
    EXPECT_LT(middle.red(), 60);
}

namespace {

// A script's value through the frame's own script channel, as text; empty when none came.
QString PageText(TfrmInternetBrowser& frame, const QString& script)
{
    auto answer = std::make_shared<std::optional<QVariant>>();
    frame.RunPageScript(script, [answer](const QVariant& value) { *answer = value; });
    WaitUntil([&] { return answer->has_value(); });
    return answer->has_value() ? answer->value().toString() : QString();
}

// xdotool on the test's X server; false when it failed.
bool XTool(const QStringList& arguments)
{
    return QProcess::execute(u"xdotool"_s, arguments) == 0;
}

} // namespace

TEST_P(TCustomInternetBrowserWindowTabsTest, TheWindowsKeysWorkWhileItsWebKitPageHasTheKeyboard)
{
    if (GetParam() != 1)
        GTEST_SKIP() << "the page of engine 0 is one of the window's own widgets";
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    Open(Url(u"/find"_s));
    TfrmInternetBrowser& frame = *m_window->ActiveTab()->Frame();
    ASSERT_TRUE(WaitForTitle(frame, u"Find"_s));
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window));
    // A click into the page's box, and the pointer stays over the page: the window system
    // gives the page's own window the keys from now on.
    const QPoint box = frame.mapToGlobal(QPoint(100, 30));
    ASSERT_TRUE(XTool({u"mousemove"_s, u"--sync"_s, QString::number(box.x()), QString::number(box.y())}));
    ASSERT_TRUE(XTool({u"click"_s, u"1"_s}));
    ASSERT_TRUE(WaitUntil([&] { return frame.hasFocus(); }));
    ASSERT_TRUE(WaitUntil([&] { return PageText(frame, u"document.activeElement.id"_s) == u"box"_s; }));

    // Typing reaches the page, each key once.
    ASSERT_TRUE(XTool({u"type"_s, u"--delay"_s, u"50"_s, u"ab"_s}));
    EXPECT_TRUE(WaitUntil([&] {
        return PageText(frame, u"document.getElementById('box').value"_s) == u"ab"_s;
    })) << PageText(frame, u"document.getElementById('box').value"_s).toStdString();

    // The window's keys are the window's.
    ASSERT_TRUE(XTool({u"key"_s, u"ctrl+plus"_s}));
    EXPECT_TRUE(WaitUntil([&] { return m_window->ZoomFactor() > 1.0; })) << m_window->ZoomFactor();
    ASSERT_TRUE(XTool({u"key"_s, u"ctrl+0"_s}));
    EXPECT_TRUE(WaitUntil([&] { return qFuzzyCompare(m_window->ZoomFactor(), 1.0); }));
    ASSERT_TRUE(XTool({u"key"_s, u"ctrl+f"_s}));
    ASSERT_TRUE(WaitUntil([&] { return m_window->FindBar()->isVisible(); }));
    EXPECT_EQ(QApplication::focusWidget(), m_window->FindBar()->TextBox());
    // With the pointer still over the page, what is typed goes where the keyboard is now.
    ASSERT_TRUE(XTool({u"type"_s, u"--delay"_s, u"50"_s, u"pie"_s}));
    EXPECT_TRUE(WaitUntil([&] { return m_window->FindBar()->Text() == u"pie"_s; }))
        << m_window->FindBar()->Text().toStdString();
    ASSERT_TRUE(XTool({u"key"_s, u"Escape"_s}));
    EXPECT_TRUE(WaitUntil([&] { return !m_window->FindBar()->isVisible() && frame.hasFocus(); }));
    ASSERT_TRUE(XTool({u"key"_s, u"ctrl+n"_s}));
    EXPECT_TRUE(WaitUntil([&] { return m_window->TabCount() == 2; }));
    EXPECT_EQ(PageText(frame, u"document.getElementById('box').value"_s), u"ab"_s)
        << "the window's keys do not reach the page";
}

// Hidden for the delay, the window sleeps with its page; shown again, the page comes back, and
// on WebKit the host that served it before serves it again: nothing the window lets go of
// while hidden takes the host's page window with it.
TEST_P(TCustomInternetBrowserWindowTabsTest, AHiddenIdleWindowSleepsAndComesBackWithItsPage)
{
    QTemporaryDir folder;
    TSiteSettings settings(folder.filePath(u"SiteSettings.ini"_s));
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0.0033"_s);
    BrowserWindowTest::Open(Url(u"/home"_s), {}, uint8_t(GetParam()), &settings, u"IDLE"_s);
    TfrmInternetBrowser& home = *m_window->Tab(0)->Frame();
    ASSERT_TRUE(WaitForTitle(home, u"Home page"_s));
    const qint64 host = home.EngineProcessId();
    m_window->hide();
    ASSERT_TRUE(WaitUntil([&] { return home.EngineAsleep(); }, 10000));
    // Whatever the window lets go of goes while it is hidden.
    QTest::qWait(500);

    m_window->ShowRestored();
    ASSERT_TRUE(WaitUntil([&] { return !home.Sleeping() && home.Title() == u"Home page"_s; }, 20000))
        << home.Title().toStdString();
    EXPECT_FALSE(home.IsStopped());
    EXPECT_EQ(home.GetLocationURL(), Url(u"/home"_s));
    // Chromium's page has a renderer of its own after sleeping; the WebKit host is the window's.
    if (GetParam() == 1) {
        EXPECT_EQ(home.EngineProcessId(), host) << "the WebKit host ended while its page slept";
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, TCustomInternetBrowserWindowTabsTest,
                         ::testing::Values(MORVALEN_TEST_WINDOW_ENGINE), EngineName);
