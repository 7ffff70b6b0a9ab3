#include "support/RenderSupport.h"

#include "markup/HtmlLabel.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A big font: glyph stems several pixels wide show their colour unblended. The label draws
// without kerning, as the desktop's text drawing does.
QFont BigFont(bool bold = false)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(20);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

class HtmlLabelTest : public ::testing::Test
{
protected:
    HtmlLabelTest()
    {
        m_label.setFont(BigFont());
        m_label.resize(600, 30);
        QPalette palette = m_label.palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        m_label.setPalette(palette);
    }

    int Advance(const QString& text, bool bold = false) const
    {
        return QFontMetrics(BigFont(bold)).horizontalAdvance(text);
    }

    // The label's rendering against one line of text drawn directly.
    QImage Expected(const QString& text) const
    {
        QImage image(m_label.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(BigFont());
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, m_label.width(), m_label.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        return image;
    }

    THtmlLabel m_label;
};

} // namespace

TEST_F(HtmlLabelTest, EmptyCaptionPaintsNothing)
{
    m_label.SetCaption(QString());
    const QImage image = Render(m_label);
    EXPECT_EQ(CountPixels(image, image.rect(), [](const QColor& c) { return !IsWhite(c); }), 0);
    EXPECT_TRUE(m_label.LinkRegions().empty());
    // A label is transparent: whatever lies behind it shows.
    const QImage onRed = Render(m_label, Qt::red);
    EXPECT_EQ(Pixel(onRed, 10, 10), QColor(Qt::red));
}

TEST_F(HtmlLabelTest, WelcomeTextLaysOutThreePhrasesSideBySide)
{
    m_label.SetCaption(u"Welcome to <b>Morvalen Desktop</b>!"_s);
    const auto& phrases = m_label.Phrases();
    ASSERT_EQ(phrases.size(), 3u);
    EXPECT_EQ(phrases[0].Bounds, QRect(0, 0, Advance(u"Welcome to "_s), 30));
    EXPECT_EQ(phrases[1].Bounds,
              QRect(phrases[0].Bounds.right() + 1, 0, Advance(u"Morvalen Desktop"_s, true), 30));
    EXPECT_EQ(phrases[2].Bounds.left(), phrases[1].Bounds.right() + 1);

    // The bold phrase is painted bold, the others regular.
    const QImage image = Render(m_label);
    QImage bold(m_label.size(), QImage::Format_ARGB32);
    bold.fill(Qt::white);
    QPainter painter(&bold);
    painter.setFont(BigFont(true));
    painter.drawText(QRect(phrases[1].Bounds.left(), 0, 600, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Morvalen Desktop"_s);
    painter.end();
    EXPECT_EQ(image.copy(phrases[1].Bounds), bold.copy(phrases[1].Bounds));
}

TEST_F(HtmlLabelTest, ColouredPhrasesPaintInTheirColourAndTheRestInTheFontColour)
{
    m_label.SetCaption(
        u"Nothing found for <color clRed>MAIL</color>. <color $00F06048>MORE</color><color bad>X"_s);
    const auto& phrases = m_label.Phrases();
    ASSERT_EQ(phrases.size(), 6u);
    const QImage image = Render(m_label);
    EXPECT_EQ(DarkestPixel(image, phrases[1].Bounds), QColor(255, 0, 0));
    EXPECT_EQ(DarkestPixel(image, phrases[2].Bounds), QColor(Qt::black));
    EXPECT_EQ(DarkestPixel(image, phrases[3].Bounds), QColor(0x48, 0x60, 0xF0));
    // A colour that cannot be read leaves the font's colour.
    EXPECT_EQ(DarkestPixel(image, phrases[5].Bounds), QColor(Qt::black));
    EXPECT_FALSE(phrases[5].HasColor);
}

TEST_F(HtmlLabelTest, UnknownTagsShowWithTheirBrackets)
{
    m_label.SetCaption(u"a<br>b</x>"_s);
    ASSERT_EQ(m_label.Phrases().size(), 1u);
    EXPECT_EQ(m_label.Phrases()[0].Bounds.width(), Advance(u"a<br>b</x>"_s));
    EXPECT_EQ(Render(m_label), Expected(u"a<br>b</x>"_s));
}

TEST_F(HtmlLabelTest, AmpersandsAreMnemonicPrefixes)
{
    m_label.SetCaption(u"Save &As && more"_s);
    EXPECT_EQ(m_label.Phrases()[0].Bounds.width(), Advance(u"Save As & more"_s));
    EXPECT_EQ(Render(m_label), Expected(u"Save As & more"_s));
}

TEST_F(HtmlLabelTest, TooLongCaptionsEndInAnEllipsisAtTheEdge)
{
    m_label.resize(150, 30);
    m_label.SetCaption(u"A rather long line of <b>text</b> that goes on"_s);
    const auto& phrases = m_label.Phrases();
    ASSERT_EQ(phrases.size(), 3u);
    // The first phrase is cut at the edge; the later ones get no place at all.
    EXPECT_EQ(phrases[0].Bounds.right(), 149);
    EXPECT_TRUE(phrases[1].Bounds.isNull());
    EXPECT_TRUE(phrases[2].Bounds.isNull());
    const QString elided =
        QFontMetrics(BigFont()).elidedText(u"A rather long line of "_s, Qt::ElideRight, 150);
    EXPECT_TRUE(elided.endsWith(u'\u2026'));
    EXPECT_EQ(Render(m_label), Expected(elided));
}

TEST_F(HtmlLabelTest, DisabledLabelPaintsEverythingGrey)
{
    m_label.SetCaption(u"Plain <color clRed>RED</color> <a 1>LINK</a>"_s);
    m_label.setEnabled(false);
    const QImage image = Render(m_label);
    for (const TStyledPhrase& phrase : m_label.Phrases()) {
        if (!phrase.Text.trimmed().isEmpty()) {
            EXPECT_EQ(DarkestPixel(image, phrase.Bounds), QColor(0x80, 0x80, 0x80))
                << phrase.Text.toStdString();
        }
    }
}

TEST_F(HtmlLabelTest, ImagesComeFromTheOwnerAndTallOnesTakeSixteenPixels)
{
    QStringList asked;
    m_label.OnGetImage = [&](THtmlLabel&, const QString& image, QImage& picture) {
        asked << image;
        picture = QImage(image == u"tall"_s ? 10 : 12, image == u"tall"_s ? 40 : 12, QImage::Format_ARGB32);
        picture.fill(image == u"tall"_s ? Qt::green : Qt::blue);
    };
    m_label.SetCaption(u"<img Tall>x<img small>y"_s);
    const auto& phrases = m_label.Phrases();
    ASSERT_EQ(phrases.size(), 4u);
    EXPECT_EQ(asked, QStringList({u"tall"_s, u"small"_s}));
    EXPECT_TRUE(phrases[0].IsImage);
    EXPECT_EQ(phrases[0].Bounds, QRect(0, 0, 16, 30));
    EXPECT_EQ(phrases[1].Bounds.left(), 16);
    EXPECT_EQ(phrases[2].Bounds.width(), 12);

    // Drawn at full size from the top, not centred.
    const QImage image = Render(m_label);
    EXPECT_EQ(Pixel(image, 9, 0), QColor(Qt::green));
    EXPECT_EQ(Pixel(image, 9, 29), QColor(Qt::green));
    EXPECT_EQ(Pixel(image, phrases[2].Bounds.left(), 0), QColor(Qt::blue));
    EXPECT_TRUE(IsWhite(Pixel(image, phrases[2].Bounds.left(), 12)));

    // Every layout asks again.
    asked.clear();
    m_label.resize(601, 30);
    m_label.Phrases();
    EXPECT_EQ(asked, QStringList({u"tall"_s, u"small"_s}));
}

TEST_F(HtmlLabelTest, MissingImagesTakeNoRoomAtFirstAndASpaceLater)
{
    m_label.SetCaption(u"a<img delimiter>b"_s);
    const auto& phrases = m_label.Phrases();
    ASSERT_EQ(phrases.size(), 3u);
    EXPECT_FALSE(phrases[1].IsImage);
    EXPECT_EQ(phrases[2].Bounds.left(), Advance(u"a"_s));
    EXPECT_TRUE(m_label.PhrasePicture(1).isNull());

    // An empty picture from a handler is no better than none.
    m_label.OnGetImage = [](THtmlLabel&, const QString&, QImage& picture) {
        picture = QImage();
    };
    m_label.resize(590, 30);
    EXPECT_EQ(m_label.Phrases()[2].Bounds.left(), Advance(u"a"_s) + Advance(u" "_s));
}

TEST_F(HtmlLabelTest, LinksShowTheLinkCursorAndReportTheirTargetInLowerCase)
{
    QWidget window;
    window.resize(600, 30);
    m_label.setParent(&window);
    // The fixture owns the label, not the window.
    const auto release = qScopeGuard([this] { m_label.setParent(nullptr); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QStringList clicked;
    m_label.OnLinkClick = [&](THtmlLabel&, const QString& url) {
        clicked << url;
    };
    m_label.SetLinkCursor(QCursor(Qt::CrossCursor));
    m_label.SetCaption(u"Go <a MixedCase1>there</a> now"_s);
    const auto& phrases = m_label.Phrases();
    ASSERT_EQ(m_label.LinkRegions().size(), 1u);
    EXPECT_EQ(m_label.LinkRegions()[0].Bounds, phrases[1].Bounds);
    EXPECT_EQ(m_label.LinkRegions()[0].Target, u"mixedcase1"_s);

    // Blue and underlined.
    const QImage image = Render(m_label);
    EXPECT_EQ(DarkestPixel(image, phrases[1].Bounds), QColor(0, 0, 255));
    const QPoint over = phrases[1].Bounds.center();
    QTest::mouseMove(&m_label, over);
    EXPECT_EQ(m_label.cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(&m_label, QPoint(2, 15));
    EXPECT_EQ(m_label.cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(&m_label, Qt::LeftButton, {}, QPoint(2, 15));
    EXPECT_TRUE(clicked.isEmpty());
    QTest::mouseClick(&m_label, Qt::RightButton, {}, over);
    EXPECT_EQ(clicked, QStringList({u"mixedcase1"_s}));
}

TEST_F(HtmlLabelTest, FontChangesLayOutAgain)
{
    m_label.SetCaption(u"Status"_s);
    const int regular = m_label.Phrases()[0].Bounds.width();
    m_label.setFont(BigFont(true));
    EXPECT_EQ(m_label.Phrases()[0].Bounds.width(), Advance(u"Status"_s, true));
    EXPECT_GT(Advance(u"Status"_s, true), regular);
    // A bold font is where the markup starts: "</b>" takes it off again.
    m_label.SetCaption(u"a</b>b"_s);
    EXPECT_EQ(m_label.Phrases()[1].Style, 0);
    EXPECT_EQ(m_label.Phrases()[1].Bounds.width(), Advance(u"b"_s));
}

TEST_F(HtmlLabelTest, SystemColoursAreTheDesktopsCurrentOnes)
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x12, 0x80, 0x34));
    QGuiApplication::setPalette(palette);
    m_label.SetCaption(u"<color clHighlight>MARKED</color>"_s);
    EXPECT_EQ(DarkestPixel(Render(m_label), m_label.Phrases()[0].Bounds), QColor(0x12, 0x80, 0x34));
    QGuiApplication::setPalette(QPalette());
}
