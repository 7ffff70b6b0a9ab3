#pragma once

#include "browser/TCustomInternetBrowserWindow.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/DesktopHandler.h"
#include "support/TestHttpServer.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

class QWebEnginePage;
class TSiteSettings;
class TfrmInternetBrowser;

// Pages on a loopback server, settings and sites for the tests of the browser windows. The
// server, the data folder and the engine are shared by every test of the program.
class BrowserTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();

    static TestHttpServer& Server();
    static QString Url(const QString& path) { return Server().Url(path); }

    // An installed site with its tile.
    struct TSite
    {
        std::unique_ptr<TMorvalenBaseClass> Record;
        std::unique_ptr<TMVWebElement> Tile;
    };
    static TSite MakeSite(const QString& title, const QString& address, const QStringList& tabs = {});

    static bool WaitForTitle(const TfrmInternetBrowser& frame, const QString& title);

    // For the Chromium frame only, in the programs that start Qt WebEngine.
    static QWebEnginePage* PageOf(TfrmInternetBrowser& frame);
    // The result of a script in the frame's page, as text.
    static QString RunScript(TfrmInternetBrowser& frame, const QString& script);
    // Clicks the page's element with the id as a user would (with the gesture pages need for
    // what only a user may start); false when the element or the page's surface is missing.
    static bool ClickElement(TfrmInternetBrowser& frame, const QString& id);

    XdgAutostart m_autostart{QStringLiteral("/opt/morvalen/morvalen-desktop")};
    TApplicationsSettings m_settings{m_autostart};
};

// A site window of the tests, gone after each.
class BrowserWindowTest : public BrowserTest
{
protected:
    // A shown site window titled Mail on the engine, whose pages are loading; with site
    // settings, the window of the site elementId.
    TCustomInternetBrowserWindow* Open(const QString& start, const QStringList& tabs = {}, uint8_t engine = 0,
                                       TSiteSettings* siteSettings = nullptr, const QString& elementId = {});

    void TearDown() override;

    QPointer<TCustomInternetBrowserWindow> m_window;
};
