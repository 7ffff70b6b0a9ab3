// Ten site windows on the real Chromium engine, run from their tiles and closed as a user does,
// in the whole main window: the program's own process gives back what they took. The engine
// runs in this program alone, so nothing another test left behind counts.

#include "browser/TBrowserManager.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "mainwindow/TSiteBrowsers.h"
#include "mainwindow/TfMain.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kWindows = 10;
// What the program may keep of ten windows once they are gone.
constexpr long long kKeptLimitKb = 40 * 1024;

// Kilobytes of this process's memory, field "Rss:" or "Pss:" of its smaps roll-up. The limit is
// held against the resident size: its proportional share of the engine's libraries would change
// with every other Chromium on the machine that starts or ends meanwhile.
long long OwnMemoryKb(const QByteArray& field)
{
    QFile rollup(u"/proc/self/smaps_rollup"_s);
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : rollup.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
    return -1;
}

struct TOwnMemory
{
    long long RssKb = OwnMemoryKb("Rss:");
    long long PssKb = OwnMemoryKb("Pss:");
};

// Where the process's memory lies, for a failure's message: the heap, anonymous maps (the
// allocator's other arenas, the engine's own allocator, graphics buffers) and mapped files.
QString MemoryBreakdown()
{
    QFile smaps(u"/proc/self/smaps"_s);
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    long long heap = 0, anonymous = 0, files = 0;
    long long* current = nullptr;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.isEmpty() || fields[0].isEmpty())
            continue;
        if (fields[0].contains('-') && !fields[0].endsWith(':')) {
            const QByteArray name = fields.size() > 5 ? fields[5] : QByteArray();
            current = name == "[heap]"                           ? &heap
                      : (name.isEmpty() || name.startsWith("[")) ? &anonymous
                                                                 : &files;
        } else if (fields[0] == "Pss:" && current && fields.size() > 1) {
            *current += fields[1].toLongLong();
        }
    }
    return u"heap %1 MiB, anonymous %2 MiB, files %3 MiB"_s.arg(heap / 1024)
        .arg(anonymous / 1024)
        .arg(files / 1024);
}

// A page with what sites have: text to lay out, a picture drawn by script, a timer.
QByteArray SitePage(int number)
{
    QByteArray body = "<!doctype html><html><head><title>Site " + QByteArray::number(number) +
                      "</title><style>p{font:14px serif;margin:4px} .c{columns:3}</style></head><body>"
                      "<canvas id=c width=600 height=300></canvas><div class=c>";
    for (int i = 0; i < 400; ++i)
        body += "<p>Paragraph " + QByteArray::number(i) + " of a page that has some text to lay out.</p>";
    body += "</div><script>const g=document.getElementById('c').getContext('2d');"
            "for(let i=0;i<200;++i){g.fillStyle='hsl('+i+',70%,50%)';g.fillRect(i*3,i,40,40);}"
            "setInterval(()=>{document.title=document.title},1000);</script></body></html>";
    return body;
}

class TfMainSiteWindowsMemory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(DataFolder());
        for (int number = 0; number <= kWindows; ++number)
            m_server.Serve(u"/site%1.html"_s.arg(number), SitePage(number), "text/html");
        SiteArrangement::TSiteList sites;
        for (int number = 0; number <= kWindows; ++number) {
            auto site = std::make_unique<TMorvalenBaseClass>();
            site->SetTitle(u"Site %1"_s.arg(number));
            site->SetURL(m_server.Url(u"/site%1.html"_s.arg(number)));
            site->SetBrowserEngine(0);
            sites.push_back(std::move(site));
        }
        SitesDataFile::Save(DataFolder() + u"/MorvalenDesktop.dat"_s, sites);
        ProgramOptions options;
        options.dataFolder = DataFolder();
        options.catalogServer = m_server.Url(QString());
        m_window = std::make_unique<TfMain>(options, TfMain::TrayMode::Unavailable);
        // Half of the ten sign in with a session of their own, each with its own profile.
        const SiteArrangement::TSiteList& installed = m_window->InstalledSites().Manager().Items();
        for (int number = kWindows / 2 + 1; number <= kWindows; ++number)
            m_window->SiteSettings().SetOwnSession(installed[size_t(number)]->ElementId(), true);
        m_window->show();
    }

    QString DataFolder() const { return m_home.filePath(u"data-folder"_s); }

    // Runs the sites from first to last - 1 from their tiles and waits until each shows its page.
    bool Run(int first, int last)
    {
        TMVVisualManager& sites = m_window->InstalledSites().Manager();
        for (int i = first; i < last; ++i)
            m_window->InstalledSites().RunSite(*sites.TileOf(sites.Items()[size_t(i)].get()));
        TBrowserManager& manager = m_window->SiteBrowsers().Manager();
        for (int i = first; i < last; ++i) {
            const TMorvalenBaseClass* site = sites.Items()[size_t(i)].get();
            TCustomInternetBrowserWindow* window = manager.WindowOfSite(site);
            if (!window || !WaitUntil(
                               [&] {
                                   return window->TabCount() == 1 &&
                                          window->Tab(0)->Frame()->Title() == site->Title();
                               },
                               60000))
                return false;
        }
        return true;
    }

    // Closes every site window as the window manager's close button does.
    bool CloseAll()
    {
        TBrowserManager& manager = m_window->SiteBrowsers().Manager();
        while (manager.Count() > 0) {
            const int count = manager.Count();
            manager.Entry(0)->Window->close();
            if (!WaitUntil([&] { return manager.Count() < count; }))
                return false;
        }
        return true;
    }

    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};
    TestHttpServer m_server;
    std::unique_ptr<TfMain> m_window;
};

} // namespace

TEST_F(TfMainSiteWindowsMemory, TenSiteWindowsClosedGiveTheirMemoryBack)
{
    // The engine stays once started, as it does in the program: one window first starts it,
    // and the program is measured from there.
    const TOwnMemory cold;
    ASSERT_TRUE(Run(0, 1));
    ASSERT_TRUE(CloseAll());
    ProcessEventsFor(3000);
    const TOwnMemory before;
    const QString beforeDetails = MemoryBreakdown();

    ASSERT_TRUE(Run(1, kWindows + 1));
    ProcessEventsFor(2000);
    const TOwnMemory with;
    const QString withDetails = MemoryBreakdown();
    ASSERT_TRUE(CloseAll());
    QElapsedTimer sinceClosed;
    sinceClosed.start();

    // The engine lets go of the pages over the seconds after their windows went.
    TOwnMemory after;
    const bool back = WaitUntil(
        [&] {
            after = TOwnMemory();
            return after.RssKb - before.RssKb <= kKeptLimitKb;
        },
        60000);
    std::printf("Own RSS (PSS): %lld (%lld) MiB at start, %lld (%lld) MiB before, %lld (%lld) MiB with %d "
                "windows, %lld (%lld) MiB %lld ms after they closed\n",
                cold.RssKb / 1024, cold.PssKb / 1024, before.RssKb / 1024, before.PssKb / 1024,
                with.RssKb / 1024, with.PssKb / 1024, kWindows, after.RssKb / 1024, after.PssKb / 1024,
                sinceClosed.elapsed());
    std::printf("before: %s\nwith: %s\nafter: %s\n", qPrintable(beforeDetails), qPrintable(withDetails),
                qPrintable(MemoryBreakdown()));
    EXPECT_TRUE(back) << "kept " << (after.RssKb - before.RssKb) / 1024 << " MiB of " << kWindows
                      << " windows";
    // The figures mean something only when the windows took memory.
    EXPECT_GT(with.RssKb - before.RssKb, kKeptLimitKb);
}
