#include "catalog/CatalogXml.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace Qt::Literals::StringLiterals;

TEST(CatalogXml, IntegersAreDecimalAndWithinThirtyTwoBits)
{
    const struct
    {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"-42", -42},
        {"+42", 42},
        {" \t42\r\n", 42},
        {"007", 7},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {"4 2", std::nullopt},
        {"1.0", std::nullopt},
        {"0x1F", std::nullopt},
        {"$1F", std::nullopt},
        {"1e3", std::nullopt},
        {"\xD9\xA3", std::nullopt}, // an Arabic-Indic digit three
        {nullptr, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CatalogXml::ToInteger(c.text), c.value) << (c.text ? c.text : "(null)");
}

TEST(CatalogXml, ElementTextGathersAllTextBelowTheElement)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string("<a>one <b>two <c>three</c></b><![CDATA[ <four> ]]><!-- not text "
                                     "--><?pi not text?><d/>five</a><e/>"));
    EXPECT_EQ(CatalogXml::ElementText(document.child("a")), u"one two three <four> five"_s);
    EXPECT_EQ(CatalogXml::ElementText(document.child("e")), QString());
    EXPECT_EQ(CatalogXml::ElementText(document.child("missing")), QString());

    // The walk keeps no stack of its own: nesting as deep as the parser allows is fine.
    std::string deep;
    constexpr int kDepth = 200000;
    for (int i = 0; i < kDepth; ++i)
        deep += "<n>";
    deep += "x";
    for (int i = 0; i < kDepth; ++i)
        deep += "</n>";
    ASSERT_TRUE(document.load_string(("<root>" + deep + "tail</root>").c_str()));
    EXPECT_EQ(CatalogXml::ElementText(document.child("root")), u"xtail"_s);
}

TEST(CatalogXml, LoadFileRefusesWhatXmlForbidsAndSaysWhere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"file.xml"_s);
    pugi::xml_document document;

    const struct
    {
        QByteArray xml;
        QString message;
    } cases[] = {
        {"<a/>\n<b/>", u"More than one document element at line 2, column 2."_s},
        {"<a/>\nx", u"Text outside the document element at line 1, column 5."_s},
        {"<a>\n<b></a>", u"Start-end tags mismatch at line 2, column 6."_s},
    };
    for (const auto& c : cases) {
        WriteFile(path, c.xml);
        const std::optional<QString> error = CatalogXml::LoadFile(document, path);
        ASSERT_TRUE(error.has_value()) << c.xml.toStdString();
        EXPECT_EQ(*error, QString(u"\"%1\" is not well-formed XML: "_s.arg(path) + c.message));
    }

    WriteFile(path, "<?xml version=\"1.0\"?>\n<!-- note -->\n<root a=\"1\" b=\"1\" a=\"2\"><x a=\"1\"/><x "
                    "a=\"2\"/></root>\n");
    // A repeated attribute is let through; its first value counts.
    EXPECT_EQ(CatalogXml::LoadFile(document, path), std::nullopt);
    EXPECT_STREQ(document.document_element().attribute("a").value(), "1");
    for (const QString& unreadable : {dir.filePath(u"missing.xml"_s), dir.path(), u"/dev/zero"_s})
        EXPECT_EQ(CatalogXml::LoadFile(document, unreadable), u"Cannot read \"%1\"."_s.arg(unreadable));
}
