#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QProcess* RunTool(QProcess& process, const QStringList& arguments)
{
    process.start(QStringLiteral(MORVALEN_TOOL_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return &process;
}

} // namespace

TEST(MarkupTool, PrintsThePhrasesWithTheirAttributes)
{
    QProcess process;
    RunTool(process, {u"markup"_s, u"Welcome to <B>Morvalen <a Next>Desktop</a></b>!<img Delimiter>"_s});
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QJsonArray phrases =
        QJsonDocument::fromJson(process.readAllStandardOutput()).object().value(u"phrases"_s).toArray();
    ASSERT_EQ(phrases.size(), 5);

    const QJsonObject bold = phrases.at(1).toObject();
    EXPECT_EQ(bold.value(u"Text"_s).toString(), u"Morvalen "_s);
    EXPECT_TRUE(bold.value(u"Bold"_s).toBool());
    EXPECT_FALSE(bold.value(u"Underline"_s).toBool());

    const QJsonObject link = phrases.at(2).toObject();
    EXPECT_EQ(link.keys(), QStringList({u"Bold"_s, u"Color"_s, u"HasColor"_s, u"IsImage"_s, u"IsLink"_s,
                                        u"Italic"_s, u"Target"_s, u"Text"_s, u"Underline"_s}));
    EXPECT_TRUE(link.value(u"IsLink"_s).toBool());
    EXPECT_TRUE(link.value(u"Underline"_s).toBool());
    EXPECT_TRUE(link.value(u"HasColor"_s).toBool());
    EXPECT_EQ(link.value(u"Color"_s).toInt(), 0xFF0000);
    EXPECT_EQ(link.value(u"Target"_s).toString(), u"next"_s);

    const QJsonObject image = phrases.at(4).toObject();
    EXPECT_TRUE(image.value(u"IsImage"_s).toBool());
    EXPECT_EQ(image.value(u"Target"_s).toString(), u"delimiter"_s);
    EXPECT_EQ(image.value(u"Text"_s).toString(), u" "_s);
}

TEST(MarkupTool, WantsExactlyOneText)
{
    QProcess process;
    RunTool(process, {u"markup"_s});
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("markup TEXT"));
}
