#include "platform/DesktopEntry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(DesktopEntry, ExecArgumentsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(DesktopEntry::QuoteExecArgument(u"/usr/bin/morvalen-desktop"_s),
              u"/usr/bin/morvalen-desktop"_s);
    EXPECT_EQ(DesktopEntry::QuoteExecArgument(u"/opt/my apps/m"_s), u"\"/opt/my apps/m\""_s);
    EXPECT_EQ(DesktopEntry::QuoteExecArgument(u"\"Element=ABC\""_s), u"\"\\\"Element=ABC\\\"\""_s);
    EXPECT_EQ(DesktopEntry::QuoteExecArgument(u"a$b`c\\d"_s), u"\"a\\$b\\`c\\\\d\""_s);
    EXPECT_EQ(DesktopEntry::QuoteExecArgument(QString()), u"\"\""_s);
}

TEST(DesktopEntry, SplitExecUndoesTheQuoting)
{
    for (const QString& argument :
         {u"/opt/my apps/m"_s, u"\"Element=ABC RunMinimized\""_s, u"a$b`c\\d"_s, u"plain"_s}) {
        const auto split =
            DesktopEntry::SplitExec(u"prog "_s + DesktopEntry::QuoteExecArgument(argument) + u" %u"_s);
        ASSERT_TRUE(split.has_value());
        EXPECT_EQ(*split, QStringList({u"prog"_s, argument, u"%u"_s}));
    }
    EXPECT_FALSE(DesktopEntry::SplitExec(u"prog \"open"_s).has_value());
    EXPECT_EQ(DesktopEntry::SplitExec(u"  a   \"\"  b "_s), QStringList({u"a"_s, QString(), u"b"_s}));
}

TEST(DesktopEntry, WrittenEntriesReadBack)
{
    QTemporaryDir dir;
    DesktopEntry entry;
    entry.name = u"Mail \\ Client"_s;
    entry.exec = u"\"/opt/a b/mail\" --compose %u"_s;
    entry.comment = u"Two\nlines"_s;
    entry.icon = u"/icons/mail.png"_s;
    ASSERT_TRUE(entry.Write(dir.filePath(u"m.desktop"_s)));
    const std::optional<DesktopEntry> read = DesktopEntry::Read(dir.filePath(u"m.desktop"_s));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->name, entry.name);
    EXPECT_EQ(read->exec, entry.exec);
    EXPECT_EQ(read->comment, entry.comment);
    EXPECT_EQ(read->icon, entry.icon);
}

TEST(DesktopEntry, OnlyTheDesktopEntryGroupCounts)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(u"a.desktop"_s),
              "[Desktop Action new]\nExec=wrong\n[Desktop Entry]\nExec=right %u\n");
    EXPECT_EQ(DesktopEntry::Read(dir.filePath(u"a.desktop"_s))->exec, u"right %u"_s);
    WriteFile(dir.filePath(u"b.desktop"_s), "Exec=nothing\n");
    EXPECT_FALSE(DesktopEntry::Read(dir.filePath(u"b.desktop"_s)).has_value());
    EXPECT_FALSE(DesktopEntry::Read(dir.filePath(u"missing.desktop"_s)).has_value());
}
