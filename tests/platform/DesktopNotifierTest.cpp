#include "platform/DesktopNotifier.h"

#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TDesktopNotifier, ShowsWithIconAndClickActionAndReportsTheClick)
{
    TestNotificationService service;
    if (!service.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TDesktopNotifier notifier(service.ClientConnection().name());
    std::vector<uint32_t> activated;
    std::vector<uint32_t> closed;
    notifier.OnActivated = [&](uint32_t id) {
        activated.push_back(id);
    };
    notifier.OnClosed = [&](uint32_t id) {
        closed.push_back(id);
    };

    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    uint32_t shownId = 0;
    bool answered = false;
    notifier.Show(u"Mail"_s, u"New message"_s, u"From Ann"_s, icon, [&](uint32_t id) {
        shownId = id;
        answered = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return answered; }));
    ASSERT_NE(shownId, 0u);
    ASSERT_EQ(service.Notifications().size(), 1u);
    const TestNotificationService::Shown& shown = service.Notifications().front();
    EXPECT_EQ(shown.AppName, u"Mail"_s);
    EXPECT_EQ(shown.Summary, u"New message"_s);
    EXPECT_EQ(shown.Body, u"From Ann"_s);
    EXPECT_TRUE(shown.HasImage);
    EXPECT_TRUE(shown.Actions.contains(u"default"_s));

    service.Click(shownId);
    ASSERT_TRUE(WaitUntil([&] { return !closed.empty(); }));
    EXPECT_EQ(activated, std::vector<uint32_t>{shownId});
    EXPECT_EQ(closed, std::vector<uint32_t>{shownId});

    notifier.Close(shownId);
    ASSERT_TRUE(WaitUntil([&] { return !service.Closed().empty(); }));
    EXPECT_EQ(service.Closed().front(), shownId);
}

TEST(TDesktopNotifier, ASitesMarkupArrivesAsTheLiteralTextOnEveryService)
{
    const QString title = u"<b>BOLD</b><a href=\"http://x\">LINK</a><img src=\"http://x/p.png\">"_s;
    for (const bool markup : {false, true}) {
        TestNotificationService service;
        if (!service.Running())
            GTEST_SKIP() << "dbus-daemon is not installed";
        if (markup)
            service.SetCapabilities({u"actions"_s, u"body"_s, u"body-markup"_s});
        TDesktopNotifier notifier(service.ClientConnection().name());
        int answers = 0;
        // Two at once, before the service said what it can: both wait for it.
        notifier.Show(u"Mail"_s, title, title, QImage(), [&](uint32_t) { ++answers; });
        notifier.Show(u"Mail"_s, u"Second"_s, u"a < b & c"_s, QImage(), [&](uint32_t) { ++answers; });
        ASSERT_TRUE(WaitUntil([&] { return answers == 2; }));
        ASSERT_EQ(service.Notifications().size(), 2u);
        const TestNotificationService::Shown& shown = service.Notifications().front();
        // The summary is never markup to a service; the body is, where the service says so.
        EXPECT_EQ(shown.Summary, title);
        if (markup) {
            EXPECT_EQ(shown.Body, u"&lt;b&gt;BOLD&lt;/b&gt;&lt;a href=&quot;http://x&quot;&gt;LINK&lt;/a&gt;"
                                  u"&lt;img src=&quot;http://x/p.png&quot;&gt;"_s);
            EXPECT_EQ(service.Notifications().back().Body, u"a &lt; b &amp; c"_s);
        } else {
            EXPECT_EQ(shown.Body, title);
            EXPECT_EQ(service.Notifications().back().Body, u"a < b & c"_s);
        }
    }
}

TEST(TDesktopNotifier, WithoutAServiceTheCallerHearsNobodyTookIt)
{
    TestNotificationService bus(false);
    if (!bus.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TDesktopNotifier notifier(bus.ClientConnection().name());
    std::optional<uint32_t> answer;
    notifier.Show(u"Mail"_s, u"New message"_s, QString(), QImage(), [&](uint32_t id) { answer = id; });
    ASSERT_TRUE(WaitUntil([&] { return answer.has_value(); }));
    EXPECT_EQ(*answer, 0u);

    // Not even a bus.
    TDesktopNotifier lost(u"no-such-connection"_s);
    answer.reset();
    lost.Show(u"Mail"_s, u"New message"_s, QString(), QImage(), [&](uint32_t id) { answer = id; });
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, 0u);
}
