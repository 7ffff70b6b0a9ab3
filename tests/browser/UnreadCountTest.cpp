#include "browser/UnreadCount.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(UnreadCount, TheCountsMailAndChatSitesPutInTheirTitles)
{
    EXPECT_EQ(UnreadCount::FromTitle(u"(3) Inbox"_s), 3);
    EXPECT_EQ(UnreadCount::FromTitle(u"Inbox (12)"_s), 12);
    EXPECT_EQ(UnreadCount::FromTitle(u"[1] Chat"_s), 1);
    EXPECT_EQ(UnreadCount::FromTitle(u"2 new"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"Inbox"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"  (7) Inbox - mail.test  "_s), 7);
    EXPECT_EQ(UnreadCount::FromTitle(u"(0) Inbox"_s), 0);
}

TEST(UnreadCount, ANumberThatIsPartOfTheTitleIsNoCount)
{
    // Glued to a word, unclosed, not a number, not at either end.
    EXPECT_EQ(UnreadCount::FromTitle(u"(3)Inbox"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"(3 Inbox"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"(x) Inbox"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"Release (2) notes"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"Version(2)"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"()"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"(-4) Inbox"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(QString()), 0);
    // A page cannot make the count overflow or grow without bound.
    EXPECT_EQ(UnreadCount::FromTitle(u"(99999999999999999999) Inbox"_s), 0);
    EXPECT_EQ(UnreadCount::FromTitle(u"(999999) Inbox"_s), UnreadCount::kMaxCount);
}

TEST(UnreadCount, CaptionsShowTheCountOnlyWhenThereIsOne)
{
    EXPECT_EQ(UnreadCount::WithCount(u"Mail"_s, 3), u"(3) Mail"_s);
    EXPECT_EQ(UnreadCount::WithCount(u"Mail"_s, 0), u"Mail"_s);
}
