// A backup restored into the running program: the sites it adds appear at once, one it would
// replace only after the user says so, and what the program held before is never written back
// over what was restored.

#include "browser/TBrowserManager.h"
#include "mainwindow/TSiteBrowsers.h"
#include "mainwindow/TfMain.h"
#include "sites/SiteBackup.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "support/ModalDriver.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const auto kMailSite = u"mail-0001"_s;
const auto kNewsSite = u"news-0002"_s;
const auto kChatSite = u"chat-0003"_s;

class TfMainBackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TStandInFrame::Register();
        QDir().mkpath(DataFolder());
        QDir().mkpath(Origin());
    }

    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};

    QString DataFolder() const { return m_home.filePath(u"data-folder"_s) + u'/'; }
    // The other machine's data folder, which the archive is made of.
    QString Origin() const { return m_home.filePath(u"origin"_s) + u'/'; }
    QString Archive() const { return m_home.filePath(u"sites.zip"_s); }

    static void WriteSites(const QString& folder, const QList<std::pair<QString, QString>>& sites)
    {
        SiteArrangement::TSiteList records;
        for (const auto& [id, title] : sites) {
            auto record = std::make_unique<TMorvalenBaseClass>();
            record->SetElementId(id);
            record->SetTitle(title);
            record->SetURL(u"http://%1.example.com/"_s.arg(id.left(4)));
            records.push_back(std::move(record));
        }
        SitesDataFile::Save(folder + u"MorvalenDesktop.dat"_s, records);
    }

    static QStringList StoredTitles(const QString& folder)
    {
        QStringList titles;
        for (const auto& record : SitesDataFile::Parse(ReadFile(folder + u"MorvalenDesktop.dat"_s)).records)
            titles << record->Title();
        return titles;
    }

    static QStringList Titles(const TfMain& window)
    {
        QStringList titles;
        for (const auto& site : window.InstalledSites().Manager().Items())
            titles << site->Title();
        return titles;
    }

    std::unique_ptr<TfMain> Create()
    {
        ProgramOptions options;
        options.dataFolder = DataFolder();
        auto window = std::make_unique<TfMain>(options, TfMain::TrayMode::Unavailable);
        window->ShowMessageHook = [this](const QString& text) {
            m_messages << text;
        };
        return window;
    }

    // Answers the restore question with the named button; the question's text is kept.
    void Answer(const char* button)
    {
        WhenModalShows<QMessageBox>([this, button](QMessageBox* question) {
            m_question = question->text();
            ClickButton(question, button);
        });
    }

    QStringList m_messages;
    QString m_question;
};

} // namespace

TEST_F(TfMainBackupTest, RestoringAddsTheNewSitesAndReplacesOneOnlyAfterYesWithoutWritingTheOldOnesBack)
{
    // The archive: Mail as the other machine has it, and Chat, which this one lacks.
    WriteSites(Origin(), {{kMailSite, u"Mail at work"_s}, {kChatSite, u"Chat"_s}});
    {
        TSiteSettings origin(Origin() + u"SiteSettings.ini"_s);
        origin.SetZoom(kMailSite, 2.0);
        origin.SetZoom(kChatSite, 1.25);
    }
    SiteBackup::Write(Origin(), Archive(), false);

    WriteSites(DataFolder(), {{kMailSite, u"Mail"_s}, {kNewsSite, u"News"_s}});
    auto window = Create();
    TSiteSettings& settings = window->SiteSettings();
    settings.SetZoom(kMailSite, 1.5);
    TMVVisualManager& sites = window->InstalledSites().Manager();
    ASSERT_EQ(sites.Count(), 2);
    TBrowserManager& browsers = window->SiteBrowsers().Manager();
    window->HandleParameter(u"Element="_s + kMailSite);
    window->HandleParameter(u"Element="_s + kNewsSite);
    TMorvalenBaseClass* news = sites.Items()[1].get();
    ASSERT_NE(browsers.WindowOfSite(news), nullptr);
    const QByteArray before = ReadFile(DataFolder() + u"MorvalenDesktop.dat"_s);

    // Cancel changes nothing, open windows included.
    Answer("btnCancel");
    EXPECT_FALSE(window->RestoreSitesFrom(Archive()));
    EXPECT_TRUE(m_question.contains(u"Chat"_s)) << m_question.toStdString();
    EXPECT_TRUE(m_question.contains(u"Mail at work"_s)) << m_question.toStdString();
    EXPECT_EQ(ReadFile(DataFolder() + u"MorvalenDesktop.dat"_s), before);
    EXPECT_EQ(browsers.Count(), 2);

    // "Keep mine" adds Chat with its settings and keeps Mail as it is, its window open.
    Answer("btnKeep");
    ASSERT_TRUE(window->RestoreSitesFrom(Archive()));
    EXPECT_EQ(StoredTitles(DataFolder()), QStringList({u"Mail"_s, u"News"_s, u"Chat"_s}));
    EXPECT_EQ(Titles(*window), QStringList({u"Mail"_s, u"News"_s, u"Chat"_s}));
    EXPECT_EQ(browsers.Count(), 2);
    EXPECT_DOUBLE_EQ(settings.Zoom(kChatSite), 1.25);
    EXPECT_DOUBLE_EQ(settings.Zoom(kMailSite), 1.5);
    ASSERT_NE(sites.FindByElementId(kChatSite), nullptr);
    EXPECT_TRUE(sites.FindByElementId(kChatSite)->isVisibleTo(&window->InstalledSites().ScrollBox()));

    // "Replace" closes Mail's window and takes the archive's Mail; News stays open, untouched.
    Answer("btnReplace");
    ASSERT_TRUE(window->RestoreSitesFrom(Archive()));
    EXPECT_FALSE(m_question.contains(u"adds 1"_s)) << "Chat is there now: " << m_question.toStdString();
    EXPECT_EQ(StoredTitles(DataFolder()), QStringList({u"Mail at work"_s, u"News"_s, u"Chat"_s}));
    EXPECT_EQ(Titles(*window), QStringList({u"Mail at work"_s, u"News"_s, u"Chat"_s}));
    EXPECT_EQ(browsers.Count(), 1);
    EXPECT_EQ(sites.Items()[1].get(), news);
    EXPECT_NE(browsers.WindowOfSite(news), nullptr);
    EXPECT_DOUBLE_EQ(settings.Zoom(kMailSite), 2.0);

    // What the program held before the restore does not come back with the next saves.
    settings.SetZoom(kNewsSite, 0.8);
    window->InstalledSites().CloseSiteBrowser(*sites.TileOf(news));
    window.reset();
    EXPECT_EQ(StoredTitles(DataFolder()), QStringList({u"Mail at work"_s, u"News"_s, u"Chat"_s}));
    const TSiteSettings stored(DataFolder() + u"SiteSettings.ini"_s);
    EXPECT_DOUBLE_EQ(stored.Zoom(kMailSite), 2.0);
    EXPECT_DOUBLE_EQ(stored.Zoom(kChatSite), 1.25);
    EXPECT_DOUBLE_EQ(stored.Zoom(kNewsSite), 0.8);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join(u'\n').toStdString();
}

TEST_F(TfMainBackupTest, ADamagedArchiveIsRefusedBeforeAnyWindowClosesOrAnythingIsAsked)
{
    WriteFile(Archive(), "PK\x03\x04 not really a zip archive");
    WriteSites(DataFolder(), {{kMailSite, u"Mail"_s}});
    auto window = Create();
    window->HandleParameter(u"Element="_s + kMailSite);
    const QByteArray before = ReadFile(DataFolder() + u"MorvalenDesktop.dat"_s);
    // Were a question asked, it would be closed unanswered and seen here; the timer goes with
    // the window.
    QTimer::singleShot(100, window.get(), [this] {
        if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            m_question = question->text();
            question->reject();
        }
    });

    EXPECT_FALSE(window->RestoreSitesFrom(Archive()));
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].contains(u"was not restored"_s)) << m_messages[0].toStdString();
    EXPECT_TRUE(m_question.isEmpty()) << m_question.toStdString();
    EXPECT_EQ(window->SiteBrowsers().Manager().Count(), 1);
    EXPECT_EQ(ReadFile(DataFolder() + u"MorvalenDesktop.dat"_s), before);
}

TEST_F(TfMainBackupTest, ARunWithoutSitesTakesTheArchivesSitesButKeepsItsOwnConfiguration)
{
    WriteSites(Origin(), {{kMailSite, u"Mail"_s}, {kChatSite, u"Chat"_s}});
    WriteFile(Origin() + u"MorvalenDesktop.cfg"_s, "the other machine's configuration");
    SiteBackup::Write(Origin(), Archive(), false);
    auto window = Create();
    ASSERT_EQ(window->InstalledSites().Manager().Count(), 0);

    Answer("btnRestore");
    ASSERT_TRUE(window->RestoreSitesFrom(Archive()));
    EXPECT_TRUE(m_question.contains(u"adds 2"_s)) << m_question.toStdString();
    EXPECT_EQ(Titles(*window), QStringList({u"Mail"_s, u"Chat"_s}));
    EXPECT_EQ(StoredTitles(DataFolder()), QStringList({u"Mail"_s, u"Chat"_s}));
    // The running program writes its own configuration at the end; it must not find another
    // program's there meanwhile.
    EXPECT_NE(ReadFile(DataFolder() + u"MorvalenDesktop.cfg"_s),
              ReadFile(Origin() + u"MorvalenDesktop.cfg"_s));
    window.reset();
    EXPECT_EQ(StoredTitles(DataFolder()), QStringList({u"Mail"_s, u"Chat"_s}));
}
