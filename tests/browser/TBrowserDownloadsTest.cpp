// The window's downloads and where a download goes without a question, on the stand-in frame
// (the same download with Chromium is in TCustomInternetBrowserWindowTest.cpp).

#include "browser/TBrowserDownloads.h"
#include "browser/TBrowserDownloadsView.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TSiteSettings.h"
#include "support/DesktopHandler.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class TBrowserDownloadsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TStandInFrame::Register();
        TStandInFrame::SetPage(u"http://files.test/"_s, {u"Files"_s, {}});
        TStandInFrame::SetPage(u"http://files.test/more"_s, {u"More files"_s, {}});
    }

    void SetUp() override
    {
        m_window = new TCustomInternetBrowserWindow;
        m_window->SetSettings(&m_settings);
        m_window->SetGeneralSettings(&m_siteSettings);
        m_window->SetSiteTitle(u"Files"_s);
        m_window->SetStartURL(u"http://files.test/"_s);
        m_window->SetTabURLs({u"http://files.test/more"_s});
        m_window->show();
        ASSERT_TRUE(WaitUntil([&] { return m_window->PagesOpened() && m_window->TabCount() == 2; }));
    }

    void TearDown() override { delete m_window.data(); }

    TStandInFrame& Frame(int index) { return static_cast<TStandInFrame&>(*m_window->Tab(index)->Frame()); }

    TBrowserDownloadRec Report(uint64_t id, const QString& name, int64_t received, int64_t total,
                               TBrowserDownloadRec::TState state = TBrowserDownloadRec::dsRunning)
    {
        TBrowserDownloadRec report;
        report.Id = id;
        report.FileName = m_folder.filePath(name);
        report.Received = received;
        report.Total = total;
        report.State = state;
        report.Cancel = [this, id] {
            m_cancelled.append(id);
        };
        return report;
    }

    template <typename T>
    static T* Part(QWidget* row, const char* name)
    {
        T* part = row ? row->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(part, nullptr) << name;
        return part;
    }

    QTemporaryDir m_folder;
    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    TSiteSettings m_siteSettings{m_folder.filePath(QString::fromUtf16(TSiteSettings::kFileName))};
    QPointer<TCustomInternetBrowserWindow> m_window;
    QList<uint64_t> m_cancelled;
};

} // namespace

TEST_F(TBrowserDownloadsTest, TheWindowListsEachDownloadWithItsProgressAndCancelsOnlyWhatRuns)
{
    auto* button = m_window->StatusBar()->findChild<QToolButton*>(u"btnDownloads"_s);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isVisible());

    Frame(0).ReportDownload(Report(901, u"disk.iso"_s, 0, 4000));
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), u"Downloads (1)"_s);
    button->click();
    TBrowserDownloadsView* view = m_window->DownloadsView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    QWidget* big = view->Row(0);
    EXPECT_EQ(Part<QLabel>(big, "lbName")->text(), u"disk.iso"_s);
    EXPECT_TRUE(Part<QLabel>(big, "lbState")->text().startsWith(u"In progress"_s));
    Frame(0).ReportDownload(Report(901, u"disk.iso"_s, 1000, 4000));
    auto* bar = Part<QProgressBar>(big, "pbProgress");
    EXPECT_EQ(bar->value() * 4, bar->maximum());
    EXPECT_TRUE(Part<QPushButton>(big, "btnCancel")->isVisible());
    EXPECT_FALSE(Part<QPushButton>(big, "btnOpen")->isVisible());

    // Cancel asks the engine; its report ends the row, and a late progress report of the
    // engine does not bring it back.
    Part<QPushButton>(big, "btnCancel")->click();
    EXPECT_EQ(m_cancelled, QList<uint64_t>{901});
    Frame(0).ReportDownload(Report(901, u"disk.iso"_s, 1000, 4000, TBrowserDownloadRec::dsCancelled));
    Frame(0).ReportDownload(Report(901, u"disk.iso"_s, 2000, 4000));
    EXPECT_EQ(Part<QLabel>(big, "lbState")->text(), u"Cancelled"_s);
    EXPECT_FALSE(Part<QPushButton>(big, "btnCancel")->isVisible());
    EXPECT_EQ(button->text(), u"Downloads"_s);

    // The other tab's download is the window's too; newest on top, and once done it opens.
    QFile file(m_folder.filePath(u"notes.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("notes");
    file.close();
    Frame(1).ReportDownload(Report(902, u"notes.txt"_s, 0, -1));
    QWidget* notes = view->Row(1);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(Part<QProgressBar>(notes, "pbProgress")->maximum(), 0) << "no size known: a busy bar";
    Frame(1).ReportDownload(Report(902, u"notes.txt"_s, 5, -1, TBrowserDownloadRec::dsFinished));
    EXPECT_LT(notes->y(), big->y());
    EXPECT_TRUE(Part<QLabel>(notes, "lbState")->text().startsWith(u"Done"_s));
    bar = Part<QProgressBar>(notes, "pbProgress");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_FALSE(Part<QPushButton>(notes, "btnCancel")->isVisible());
    DesktopHandler opener(u"file"_s);
    Part<QPushButton>(notes, "btnOpen")->click();
    EXPECT_EQ(opener.Opened, QList<QUrl>{QUrl::fromLocalFile(m_folder.filePath(u"notes.txt"_s))});

    // A failed one says why.
    Frame(0).ReportDownload(Report(903, u"broken.zip"_s, 10, 100));
    TBrowserDownloadRec failed = Report(903, u"broken.zip"_s, 10, 100, TBrowserDownloadRec::dsFailed);
    failed.Error = u"Network error"_s;
    Frame(0).ReportDownload(failed);
    EXPECT_EQ(Part<QLabel>(view->Row(2), "lbState")->text(), u"Failed: Network error"_s);
    EXPECT_EQ(m_window->Downloads().Count(), 3);
}

TEST_F(TBrowserDownloadsTest, ADownloadEndsWithItsTabAndTheListStaysWithTheWindow)
{
    Frame(1).ReportDownload(Report(911, u"video.mp4"_s, 10, 1000));
    Frame(0).ReportDownload(Report(912, u"done.txt"_s, 3, 3, TBrowserDownloadRec::dsFinished));
    m_window->CloseTab(m_window->Tab(1));
    ASSERT_EQ(m_window->TabCount(), 1);
    const TBrowserDownloads& downloads = m_window->Downloads();
    ASSERT_EQ(downloads.Count(), 2);
    EXPECT_EQ(downloads.At(0).State, TBrowserDownloadRec::dsCancelled);
    EXPECT_FALSE(downloads.At(0).Cancel);
    EXPECT_EQ(downloads.At(1).State, TBrowserDownloadRec::dsFinished);
    // Ctrl+J shows what the window downloaded, the closed tab's too.
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_J, Qt::ControlModifier);
    ASSERT_NE(m_window->DownloadsView(), nullptr);
    EXPECT_TRUE(m_window->DownloadsView()->isVisible());
    EXPECT_EQ(Part<QLabel>(m_window->DownloadsView()->Row(0), "lbState")->text(), u"Cancelled"_s);
}

TEST_F(TBrowserDownloadsTest, StraightIntoDownloadsTakesAFreeNameInTheFolderAndAsksNothing)
{
    // The user's Downloads folder, as xdg-user-dir names it.
    const QString downloads = m_folder.filePath(u"Saved files"_s);
    ASSERT_TRUE(QDir().mkpath(m_folder.filePath(u"config"_s)));
    QFile dirs(m_folder.filePath(u"config/user-dirs.dirs"_s));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOWNLOAD_DIR=\"" + downloads.toUtf8() + "\"\n");
    dirs.close();
    ScopedEnvironment config("XDG_CONFIG_HOME", m_folder.filePath(u"config"_s).toUtf8());
    ASSERT_TRUE(QDir().mkpath(downloads));
    for (const QString& name : {u"report.pdf"_s, u"report (1).pdf"_s, u"backup.tar.gz"_s}) {
        QFile existing(QDir(downloads).filePath(name));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("keep");
    }
    int asked = 0;
    const auto previous = TfrmInternetBrowser::ChooseDownloadFile;
    TfrmInternetBrowser::ChooseDownloadFile = [&](QWidget*, const QString& suggested) {
        ++asked;
        return suggested;
    };
    TStandInFrame& frame = Frame(0);
    const QUrl address(u"http://files.test/get"_s);

    // Asked, by default.
    frame.NoteUserAction();
    EXPECT_EQ(frame.ChooseDownloadTarget(u"report.pdf"_s, address),
              QDir(downloads).filePath(u"report.pdf"_s));
    EXPECT_EQ(asked, 1);

    // Switched on while the window is open: its tabs follow at once.
    ASSERT_TRUE(m_siteSettings.SetSaveIntoDownloads(true));
    const auto take = [&](const QString& name) {
        frame.NoteUserAction();
        return frame.ChooseDownloadTarget(name, address);
    };
    const QString second = take(u"report.pdf"_s);
    EXPECT_EQ(second, QDir(downloads).filePath(u"report (2).pdf"_s));
    // A name a running download has is not free, though its file is not there yet.
    EXPECT_EQ(take(u"report.pdf"_s), QDir(downloads).filePath(u"report (3).pdf"_s));
    EXPECT_EQ(take(u"backup.tar.gz"_s), QDir(downloads).filePath(u"backup (1).tar.gz"_s));
    // The page names a file, never a folder.
    EXPECT_EQ(take(u"../../.profile"_s), QDir(downloads).filePath(u".profile"_s));
    EXPECT_EQ(asked, 1);
    // Once its download ended, a name is free again.
    TBrowserDownloadRec ended = Report(921, {}, 0, 0, TBrowserDownloadRec::dsFailed);
    ended.FileName = second;
    frame.ReportDownload(ended);
    EXPECT_EQ(take(u"report.pdf"_s), second);
    // Switched off again: asked.
    ASSERT_TRUE(m_siteSettings.SetSaveIntoDownloads(false));
    frame.NoteUserAction();
    EXPECT_EQ(frame.ChooseDownloadTarget(u"report.pdf"_s, address),
              QDir(downloads).filePath(u"report.pdf"_s));
    EXPECT_EQ(asked, 2);
    for (const QString& name : {u"report.pdf"_s, u"report (1).pdf"_s, u"backup.tar.gz"_s}) {
        QFile existing(QDir(downloads).filePath(name));
        ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
        EXPECT_EQ(existing.readAll(), "keep") << name.toStdString();
    }
    TfrmInternetBrowser::ChooseDownloadFile = previous;
}
