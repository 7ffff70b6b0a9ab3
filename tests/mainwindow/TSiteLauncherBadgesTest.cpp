// Each site's count on its own launcher in the applications menu, heard on the test's own
// session bus, with site windows on the stand-in frame.

#include "mainwindow/TSiteLauncherBadges.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "mainwindow/TSiteBrowsers.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteShortcuts.h"
#include "support/LauncherListener.h"
#include "support/LauncherTestFolders.h"
#include "support/StandInFrame.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TSiteLauncherBadges, ASiteWithAMenuLauncherHasItsCountThereAndEditingItKeepsTheCaptionsCount)
{
    TestNotificationService bus(false);
    if (!bus.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TestLauncherListener listener(bus.Address());
    TStandInFrame::Register();
    TStandInFrame::SetPage(u"http://mail.test/"_s, {u"(3) Inbox"_s, {}});
    TStandInFrame::SetPage(u"http://mail.test/read"_s, {u"Inbox"_s, {}});
    TStandInFrame::SetPage(u"http://chat.test/"_s, {u"(5) Chat"_s, {}});
    QTemporaryDir data;
    XdgAutostart autostart(u"/opt/morvalen/morvalen-desktop"_s);
    TApplicationsSettings settings(autostart);
    LauncherTestFolders folders;
    TSiteShortcuts shortcuts(folders, {u"/opt/morvalen/morvalen-desktop"_s}, data.path());

    TMorvalenBaseClass mail;
    mail.SetTitle(u"Mail"_s);
    mail.SetURL(u"http://mail.test/"_s);
    mail.SetShortcutKinds(uint8_t(1 << skStartMenu));
    ASSERT_TRUE(shortcuts.CreateShortcuts(mail));
    ASSERT_EQ(shortcuts.MenuEntryFileName(mail), u"Mail.desktop"_s);
    TMorvalenBaseClass chat;
    chat.SetTitle(u"Chat"_s);
    chat.SetURL(u"http://chat.test/"_s);
    TMVWebElement mailTile, chatTile;
    mailTile.SetMorvalenItem(&mail);
    chatTile.SetMorvalenItem(&chat);

    TSiteBrowsers browsers(settings, data.path());
    TSiteLauncherBadges badges(browsers.UnreadCounts(), shortcuts, bus.ClientConnection().name());
    QPointer<TCustomInternetBrowserWindow> window = browsers.OpenSite(mailTile);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([&] { return listener.LastFor(u"application://Mail.desktop"_s).Count == 3; }));
    EXPECT_TRUE(listener.LastFor(u"application://Mail.desktop"_s).Visible);

    // A site without a launcher of its own has only the program's.
    ASSERT_TRUE(browsers.OpenSite(chatTile));
    ASSERT_TRUE(WaitUntil([&] { return browsers.UnreadCounts().Total() == 8; }));
    for (const TestLauncherListener::TUpdate& update : listener.Updates)
        EXPECT_TRUE(update.AppUri == u"application://Mail.desktop"_s) << update.AppUri.toStdString();

    // An edited title gives the window its new caption, count and all.
    mail.SetTitle(u"Work mail"_s);
    browsers.SiteTitleChanged(mailTile);
    EXPECT_EQ(window->windowTitle(), u"(3) Morvalen Desktop: Work mail"_s);
    mail.SetTitle(u"Mail"_s);

    // Read: the launcher's count goes.
    window->Tab(0)->Frame()->Navigate(u"http://mail.test/read"_s);
    ASSERT_TRUE(WaitUntil([&] { return listener.LastFor(u"application://Mail.desktop"_s).Count == 0; }));
    EXPECT_FALSE(listener.LastFor(u"application://Mail.desktop"_s).Visible);
}

TEST(TSiteBrowsers, WebNotificationsOfAWindowInTheBackgroundCountUntilTheWindowIsActivated)
{
    TStandInFrame::Register();
    TStandInFrame::SetPage(u"http://127.0.0.1:8004/"_s, {u"Inbox"_s, {}});
    QTemporaryDir data;
    XdgAutostart autostart(u"/opt/morvalen/morvalen-desktop"_s);
    TApplicationsSettings settings(autostart);
    TMorvalenBaseClass mail;
    mail.SetTitle(u"Mail"_s);
    mail.SetURL(u"http://127.0.0.1:8004/"_s);
    TMVWebElement tile;
    tile.SetMorvalenItem(&mail);
    TSiteBrowsers browsers(settings, data.path());
    QPointer<TCustomInternetBrowserWindow> window = browsers.OpenSite(tile);
    ASSERT_TRUE(window);
    ASSERT_TRUE(
        WaitUntil([&] { return window->TabCount() == 1 && window->Tab(0)->Frame()->Title() == u"Inbox"_s; }));
    // The page may be there before the window has come to the front.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !window->WindowActive(); }));

    TWebNotificationRec message;
    message.Origin = QUrl(u"http://127.0.0.1:8004"_s);
    message.Title = u"New mail"_s;
    TfrmInternetBrowser::OnWebNotification(message);
    TfrmInternetBrowser::OnWebNotification(message);
    EXPECT_EQ(browsers.UnreadCounts().Count(mail.ElementId()).Count, 2);
    EXPECT_EQ(window->windowTitle(), u"(2) Morvalen Desktop: Mail"_s);

    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return window->WindowActive(); }));
    EXPECT_TRUE(WaitUntil([&] { return browsers.UnreadCounts().Count(mail.ElementId()).Count == 0; }));
    // What arrives while the user looks at the window is seen.
    TfrmInternetBrowser::OnWebNotification(message);
    EXPECT_EQ(browsers.UnreadCounts().Count(mail.ElementId()).Count, 0);
}
