#include "BrowserTestFixture.h"

#include "browser/BrowserFrames.h"
#include "browser/TfrmInternetBrowser.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Page(const QByteArray& title, const QByteArray& body = {})
{
    return "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

} // namespace

void BrowserTest::SetUpTestSuite()
{
    static QTemporaryDir dataFolder;
    BrowserFrames::SetDataFolder(dataFolder.path());
    Server();
}

TestHttpServer& BrowserTest::Server()
{
    static TestHttpServer* server = [] {
        auto* created = new TestHttpServer;
        const QByteArray html = "text/html; charset=utf-8";
        created->Serve(u"/home"_s, Page("Home page", "<a id=\"one\" href=\"/one\">one</a>"), html);
        created->Serve(u"/one"_s, Page("Page one"), html);
        // A page with an icon of its own: a green square.
        QImage square(32, 32, QImage::Format_ARGB32);
        square.fill(QColor(0, 160, 0));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        square.save(&buffer, "PNG");
        created->Serve(u"/green.png"_s, png, "image/png");
        created->Serve(
            u"/iconic"_s,
            Page("Iconic", "<p>icon</p>").replace("<title>", "<link rel=icon href=/green.png><title>"), html);
        // Three of one word, another's letters among them.
        created->Serve(u"/find"_s,
                       Page("Find", "<p>apple pie</p><p>banana</p><p>APPLE tart</p><p>pineapple</p>"
                                    "<input id=\"box\" style=\"position:fixed;left:0;top:0;width:300px;"
                                    "height:60px\">"),
                       html);
        created->Serve(u"/two"_s, Page("Page two"), html);
        created->Serve(u"/long"_s, Page("Long page", "<div style=\"height: 6000px\">long</div>"), html);
        // A page that updates itself, as a mail or news page does.
        created->Serve(u"/growing"_s,
                       Page("Growing",
                            "<p id=\"log\">start</p><script>setInterval(function () {"
                            "document.getElementById('log').textContent += ' more';}, 200);</script>"),
                       html);
        created->Serve(u"/title60"_s, Page("Sixty characters of a page title that is not cut at all, ok!"),
                       html);
        created->Serve(
            u"/title80"_s,
            Page("Weekly report of the project: open tasks!Andwhatisdueinthecomingweeksforeveryone"), html);
        created->Serve(u"/mail"_s, Page("Mail", "<a id=\"one\" href=\"/one\">one</a>"), html);
        // A hostile page: one dialog after another, and the title says when it got through.
        created->Serve(u"/alerts"_s,
                       Page("Alerts", "<script>for (let i = 0; i < 1000; ++i) alert('<b>Message</b> ' + i);"
                                      "document.title = 'Alerts done';</script>"),
                       html);
        created->Serve(u"/asks"_s,
                       Page("Asks", "<script>setTimeout(() => { const sure = confirm('Sure?');"
                                    "const name = prompt('Name?', 'Anne');"
                                    "document.title = sure + ':' + name; }, 0);</script>"),
                       html);
        // A pop-up after the user's click.
        created->Serve(u"/opener"_s,
                       Page("Opener",
                            "<a id=\"go\" href=\"#\" onclick=\"window.open('/stall'); return false;\""
                            " style=\"display:block;height:100px\">go</a>"),
                       html);
        created->Serve(u"/opener-one"_s,
                       Page("Opener", "<a id=\"go\" href=\"#\" onclick=\"window.open('/one'); return false;\""
                                      " style=\"display:block;height:100px\">go</a>"),
                       html);
        created->Serve(u"/blocked"_s, Page("Blocked"), html);
        // 100 downloads a page starts by itself.
        created->Serve(u"/downloads"_s,
                       Page("Downloads",
                            "<script>function many(count) { for (let i = 0; i < count; ++i) {"
                            "const a = document.createElement('a'); a.href = '/file.bin?' + i;"
                            "a.download = 'f' + i + '.bin'; document.body.appendChild(a); a.click(); } }"
                            "many(100);</script>"),
                       html);
        created->Serve(u"/popup-on-load"_s,
                       Page("Opens one", "<script>window.open('/blocked?again');</script>"), html);
        // And 200 without one.
        created->Serve(u"/popups"_s,
                       Page("Pop-ups",
                            "<a id=\"go\" href=\"#\" onclick=\"window.open('/two'); return false;\""
                            " style=\"display:block;height:100px\">go</a>"
                            "<script>for (let i = 0; i < 200; ++i) window.open('/blocked?' + i);"
                            "document.title = 'Pop-ups done';</script>"),
                       html);
        created->ServeStalling(u"/stall"_s, 1000);
        created->Serve(u"/closer"_s, Page("Closer", "<script>setTimeout(() => window.close(), 0);</script>"),
                       html);
        created->Serve(u"/mailto"_s,
                       Page("Mail link", "<a id=\"mail\" href=\"mailto:someone@example.com\">mail</a>"),
                       html);
        created->Serve(u"/notify"_s, Page("Asks", "<script>Notification.requestPermission();</script>"),
                       html);
        created->ServeWithLogin(u"/members"_s, u"Loopback members"_s, u"ann"_s, u"sésame"_s,
                                Page("Members page", "members only"), html);
        created->ServeWithLogin(u"/private"_s, u"Loopback private"_s, u"bob"_s, u"secret"_s,
                                Page("Private page", "private matters"), html);
        created->Serve(u"/fullscreen"_s,
                       Page("Full screen",
                            "<button id=\"go\" style=\"width:200px;height:100px\" "
                            "onclick=\"document.documentElement.requestFullscreen()\">go</button>"),
                       html);
        created->Serve(u"/file.bin"_s, TestHttpServer::LargeBody(200000), "application/octet-stream");
        // A download that arrives in part and then waits.
        created->ServeStalling(u"/stalled.bin"_s, 1 << 20, QByteArray(65536, 's'));
        return created;
    }();
    return *server;
}

BrowserTest::TSite BrowserTest::MakeSite(const QString& title, const QString& address,
                                         const QStringList& tabs)
{
    TSite site;
    site.Record = std::make_unique<TMorvalenBaseClass>();
    site.Record->SetTitle(title);
    site.Record->SetURL(address);
    site.Record->SetTabURLs(tabs);
    site.Tile = std::make_unique<TMVWebElement>();
    site.Tile->SetMorvalenItem(site.Record.get());
    return site;
}

TCustomInternetBrowserWindow* BrowserWindowTest::Open(const QString& start, const QStringList& tabs,
                                                      uint8_t engine, TSiteSettings* siteSettings,
                                                      const QString& elementId)
{
    m_window = new TCustomInternetBrowserWindow;
    m_window->SetSettings(&m_settings);
    if (siteSettings)
        m_window->SetSiteSettings(siteSettings, elementId);
    m_window->SetBrowserEngine(engine);
    m_window->SetSiteTitle(u"Mail"_s);
    m_window->SetStartURL(start);
    m_window->SetTabURLs(tabs);
    m_window->resize(640, 480);
    m_window->show();
    EXPECT_TRUE(WaitUntil([&] { return m_window->PagesOpened(); }));
    return m_window;
}

void BrowserWindowTest::TearDown()
{
    delete m_window.data();
}

bool BrowserTest::WaitForTitle(const TfrmInternetBrowser& frame, const QString& title)
{
    return WaitUntil([&] { return frame.Title() == title; }, 30000);
}
