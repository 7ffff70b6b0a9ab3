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
