#include "browser/BrowserTitles.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace BrowserTitles;

TEST(BrowserTitles, ShortTitlesAndTitlesUpToASeventyFiveStayWholeOnATab)
{
    const QString sixty = u"Sixty characters of a page title that is not cut at all, ok!"_s;
    ASSERT_EQ(sixty.size(), 60);
    EXPECT_EQ(ShortenTitle(sixty, 50), sixty);
    const QString seventyFive = QString(75, u'x');
    EXPECT_EQ(ShortenTitle(seventyFive, 50), seventyFive);
    EXPECT_EQ(ShortenTitle(u"Inbox"_s, 50), u"Inbox"_s);
}

TEST(BrowserTitles, LongTitlesAreCutAtTheLastBreakWithinTheLimit)
{
    // 80 characters; the last break within the first 50 is the "!" at position 41.
    const QString eighty =
        u"Weekly report of the project: open tasks!Andwhatisdueinthecomingweeksforeveryone"_s;
    ASSERT_EQ(eighty.size(), 80);
    EXPECT_EQ(ShortenTitle(eighty, 50), u"Weekly report of the project: open tasks!..."_s);
    // Without any break the first 50 characters stay.
    EXPECT_EQ(ShortenTitle(QString(80, u'y'), 50), QString(50, u'y') + u"..."_s);
    // A break only in the first place does not count.
    EXPECT_EQ(ShortenTitle(u" "_s + QString(79, u'z'), 50), u" "_s + QString(49, u'z') + u"..."_s);
}

TEST(BrowserTitles, TheTrayHintNamesTheSiteUnlessThePageTitleAlreadyDoes)
{
    EXPECT_EQ(TrayHint(u"Mail"_s, u"mail - inbox (3)"_s, 1), u"mail - inbox (3)"_s);
    EXPECT_EQ(TrayHint(u"Mail"_s, u"  MAIL"_s, 1), u"  MAIL"_s);
    EXPECT_EQ(TrayHint(u"Mail"_s, u"Inbox"_s, 1), u"Mail: Inbox"_s);
    EXPECT_EQ(TrayHint(u"Mail"_s, u"Inbox"_s, 3), u"Mail (3 windows)"_s);
}
