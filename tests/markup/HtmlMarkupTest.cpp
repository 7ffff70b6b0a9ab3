#include "markup/HtmlMarkup.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Texts(const std::vector<TStyledPhrase>& phrases)
{
    QStringList texts;
    for (const TStyledPhrase& phrase : phrases)
        texts << phrase.Text;
    return texts;
}

} // namespace

TEST(HtmlMarkup, WelcomeTextGivesNormalBoldNormal)
{
    const auto phrases = HtmlMarkup::Parse(u"Welcome to <b>Morvalen Desktop</b>!"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u"Welcome to "_s, u"Morvalen Desktop"_s, u"!"_s}));
    EXPECT_EQ(phrases[0].Style, 0);
    EXPECT_EQ(phrases[1].Style, fsBold);
    EXPECT_EQ(phrases[2].Style, 0);
    for (const TStyledPhrase& phrase : phrases) {
        EXPECT_FALSE(phrase.HasColor);
        EXPECT_FALSE(phrase.IsLink);
        EXPECT_FALSE(phrase.IsImage);
    }
}

TEST(HtmlMarkup, EmptyCaptionHasNoPhrases)
{
    EXPECT_TRUE(HtmlMarkup::Parse(QString()).empty());
    // Tags alone leave nothing to show either.
    EXPECT_TRUE(HtmlMarkup::Parse(u"<b></b>"_s).empty());
}

TEST(HtmlMarkup, TagsAreCaseInsensitiveButTextKeepsItsCase)
{
    const auto phrases = HtmlMarkup::Parse(u"<B>Bold</B> and <I>Italic</i><U>Under</U>"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u"Bold"_s, u" and "_s, u"Italic"_s, u"Under"_s}));
    EXPECT_EQ(phrases[0].Style, fsBold);
    EXPECT_EQ(phrases[2].Style, fsItalic);
    EXPECT_EQ(phrases[3].Style, fsUnderline);
}

TEST(HtmlMarkup, StylesCombineAndStartFromTheFontStyle)
{
    const auto nested = HtmlMarkup::Parse(u"<b>x<i>y</b>z</i>"_s);
    ASSERT_EQ(Texts(nested), QStringList({u"x"_s, u"y"_s, u"z"_s}));
    EXPECT_EQ(nested[1].Style, fsBold | fsItalic);
    EXPECT_EQ(nested[2].Style, fsItalic);

    // A closing tag without an opening one is obeyed: it takes bold off a bold font.
    const auto unbalanced = HtmlMarkup::Parse(u"one </b>two"_s, fsBold);
    ASSERT_EQ(Texts(unbalanced), QStringList({u"one "_s, u"two"_s}));
    EXPECT_EQ(unbalanced[0].Style, fsBold);
    EXPECT_EQ(unbalanced[1].Style, 0);
}

TEST(HtmlMarkup, LinksAreBlueUnderlinedAndReportTheirTargetInLowerCase)
{
    const auto phrases = HtmlMarkup::Parse(u"Go <a Http://Example.ORG/Page>There</a> now"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u"Go "_s, u"There"_s, u" now"_s}));
    const TStyledPhrase& link = phrases[1];
    EXPECT_TRUE(link.IsLink);
    EXPECT_EQ(link.Target, u"http://example.org/page"_s);
    EXPECT_EQ(link.Style, fsUnderline);
    EXPECT_TRUE(link.HasColor);
    EXPECT_EQ(link.Color, 0xFF0000);
    EXPECT_FALSE(phrases[2].IsLink);
    EXPECT_TRUE(phrases[2].Target.isEmpty());
    EXPECT_FALSE(phrases[2].HasColor);
}

TEST(HtmlMarkup, ClosingLinkDropsAColourSetBeforeIt)
{
    const auto phrases = HtmlMarkup::Parse(u"<color clRed>red <a 1>link</a> after</color>"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u"red "_s, u"link"_s, u" after"_s}));
    EXPECT_EQ(phrases[0].Color, 0x0000FF);
    EXPECT_TRUE(phrases[0].HasColor);
    EXPECT_FALSE(phrases[2].HasColor);
}

TEST(HtmlMarkup, ColourTagsTakeNamesAndNumbers)
{
    const auto found = HtmlMarkup::Parse(u"Nothing found for <color clRed>mail</color>."_s);
    ASSERT_EQ(Texts(found), QStringList({u"Nothing found for "_s, u"mail"_s, u"."_s}));
    EXPECT_FALSE(found[0].HasColor);
    EXPECT_TRUE(found[1].HasColor);
    EXPECT_EQ(found[1].Color, 0x0000FF);
    EXPECT_FALSE(found[2].HasColor);

    const auto hex = HtmlMarkup::Parse(u"Morvalen <color $00F06048>Desktop</color>"_s);
    ASSERT_EQ(hex.size(), 2u);
    EXPECT_EQ(hex[1].Color, 0xF06048);

    const auto decimal = HtmlMarkup::Parse(u"<color 255>x"_s);
    ASSERT_EQ(decimal.size(), 1u);
    EXPECT_EQ(decimal[0].Color, 255);

    const auto system = HtmlMarkup::Parse(u"<COLOR CLBTNFACE>x"_s);
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(uint32_t(system[0].Color), 0xFF00000Fu);

    // Neither a name nor a number: the text keeps the font's colour.
    const auto unknown = HtmlMarkup::Parse(u"<color clRed>a<color notacolour>b"_s);
    ASSERT_EQ(Texts(unknown), QStringList({u"a"_s, u"b"_s}));
    EXPECT_FALSE(unknown[1].HasColor);
    EXPECT_EQ(unknown[1].Color, 0);
}

TEST(HtmlMarkup, ColourTagsStartANewPhraseEvenWithoutAStyleChange)
{
    const auto phrases = HtmlMarkup::Parse(u"a<color clRed></color>b"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u"a"_s, QString(), u"b"_s}));
    EXPECT_TRUE(phrases[1].HasColor);
    EXPECT_FALSE(phrases[2].HasColor);
}

TEST(HtmlMarkup, UnknownAndMalformedTagsAreLiteralText)
{
    for (const QString& caption : {u"a<br>b"_s, u"a<bx>b"_s, u"a< b>b"_s, u"a</b >b"_s, u"a<b"_s,
                                   u"a</color x>b"_s, u"a<\u00DF>b"_s, u"<"_s, u"a<i\tx>b"_s}) {
        const auto phrases = HtmlMarkup::Parse(caption);
        ASSERT_EQ(phrases.size(), 1u) << caption.toStdString();
        EXPECT_EQ(phrases[0].Text, caption);
        EXPECT_EQ(phrases[0].Style, 0);
    }
}

TEST(HtmlMarkup, ALiteralLessThanDoesNotHideALaterTag)
{
    const auto phrases = HtmlMarkup::Parse(u"1 < 2 <b>bold</b>"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u"1 < 2 "_s, u"bold"_s}));
    EXPECT_EQ(phrases[1].Style, fsBold);

    // "<<b>" is a literal "<" followed by a bold tag.
    const auto doubled = HtmlMarkup::Parse(u"<<b>x"_s);
    ASSERT_EQ(Texts(doubled), QStringList({u"<"_s, u"x"_s}));
    EXPECT_EQ(doubled[1].Style, fsBold);
}

TEST(HtmlMarkup, ManyLessThanSignsStayLiteralText)
{
    // Search texts reach captions unchanged; a long run of "<" must not make parsing crawl.
    const QString run(200000, u'<');
    const auto phrases = HtmlMarkup::Parse(run + u"<b>x</b>"_s + run + u">"_s);
    ASSERT_EQ(phrases.size(), 3u);
    EXPECT_EQ(phrases[0].Text, run);
    EXPECT_EQ(phrases[1].Text, u"x"_s);
    EXPECT_EQ(phrases[1].Style, fsBold);
    EXPECT_EQ(phrases[2].Text, run + u">"_s);
}

TEST(HtmlMarkup, ParametersFollowABlankAndAreTrimmed)
{
    // A blank before ">" makes a tag with an empty parameter.
    const auto bold = HtmlMarkup::Parse(u"<b >x"_s);
    ASSERT_EQ(bold.size(), 1u);
    EXPECT_EQ(bold[0].Style, fsBold);

    const auto link = HtmlMarkup::Parse(u"<a   Target\t >x</a>"_s);
    ASSERT_EQ(link.size(), 1u);
    EXPECT_EQ(link[0].Target, u"target"_s);

    // The first ">" ends the tag; the rest is text.
    const auto cut = HtmlMarkup::Parse(u"<a x>y>z</a>"_s);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].Target, u"x"_s);
    EXPECT_EQ(cut[0].Text, u"y>z"_s);
}

TEST(HtmlMarkup, RecogniseTagReportsRowKindAndLength)
{
    const QString text = HtmlMarkup::LowerCaseCopy(u"x<IMG Delimiter></color><i>"_s);
    const TTagItemInfo image = HtmlMarkup::RecogniseTag(text, 1);
    EXPECT_EQ(image.TagIndex, 5);
    EXPECT_EQ(image.Closing, tcOpening);
    EXPECT_EQ(image.TagLength, 15);
    EXPECT_EQ(image.Parameter, u"delimiter"_s);

    const TTagItemInfo closing = HtmlMarkup::RecogniseTag(text, 16);
    EXPECT_EQ(closing.TagIndex, 4);
    EXPECT_EQ(closing.Closing, tcClosing);
    EXPECT_EQ(closing.TagLength, 8);

    const TTagItemInfo italic = HtmlMarkup::RecogniseTag(text, 24);
    EXPECT_EQ(italic.TagIndex, 1);
    EXPECT_EQ(italic.TagLength, 3);

    const TTagItemInfo none = HtmlMarkup::RecogniseTag(text, 0);
    EXPECT_EQ(none.TagIndex, -1);
    EXPECT_EQ(none.Closing, tcNoTag);
}

TEST(HtmlMarkup, ImagesAreSinglePhrasesOfOneSpace)
{
    const auto phrases = HtmlMarkup::Parse(u" <img 3> <a 3>Mail</a> <IMG Delimiter>Changed"_s);
    ASSERT_EQ(Texts(phrases), QStringList({u" "_s, u" "_s, u" "_s, u"Mail"_s, u" "_s, u" "_s, u"Changed"_s}));
    EXPECT_FALSE(phrases[0].IsImage);
    EXPECT_TRUE(phrases[1].IsImage);
    EXPECT_EQ(phrases[1].Target, u"3"_s);
    EXPECT_FALSE(phrases[2].IsImage);
    EXPECT_TRUE(phrases[3].IsLink);
    EXPECT_EQ(phrases[3].Target, u"3"_s);
    EXPECT_TRUE(phrases[5].IsImage);
    EXPECT_EQ(phrases[5].Target, u"delimiter"_s);
    EXPECT_FALSE(phrases[6].IsImage);

    // The closing form is an image with an empty name; an image at the very end adds no
    // trailing blank phrase.
    const auto closing = HtmlMarkup::Parse(u"x</img>"_s);
    ASSERT_EQ(Texts(closing), QStringList({u"x"_s, u" "_s}));
    EXPECT_TRUE(closing[1].IsImage);
    EXPECT_TRUE(closing[1].Target.isEmpty());
}

TEST(HtmlMarkup, LowerCaseCopyKeepsPositions)
{
    // Characters whose full lower case is longer must not shift tags against the caption.
    const QString caption = u"\u0130<B>x</B>"_s;
    const QString lower = HtmlMarkup::LowerCaseCopy(caption);
    EXPECT_EQ(lower.size(), caption.size());
    const auto phrases = HtmlMarkup::Parse(caption);
    ASSERT_EQ(Texts(phrases), QStringList({u"\u0130"_s, u"x"_s}));
    EXPECT_EQ(phrases[1].Style, fsBold);
}

TEST(HtmlMarkup, LiteralTextFormsNoTagAndKeepsItsAmpersands)
{
    const QString typed = u"q&a <b>x</b> <color clred><A B></i>"_s;
    const std::vector<TStyledPhrase> phrases =
        HtmlMarkup::Parse(u"<b>Found: </b>"_s + HtmlMarkup::Literal(typed) + u"<i>!</i>"_s);
    ASSERT_EQ(phrases.size(), 3u);
    EXPECT_EQ(phrases[0].Style, fsBold);
    // One plain phrase, drawn with "&&" as "&" and the joiners as nothing.
    EXPECT_EQ(phrases[1].Style, 0);
    EXPECT_FALSE(phrases[1].HasColor);
    QString shown = phrases[1].Text;
    shown.remove(QChar(HtmlMarkup::kTagBreaker)).replace(u"&&"_s, u"&"_s);
    EXPECT_EQ(shown, typed);
    EXPECT_EQ(phrases[2].Style, fsItalic);
}
