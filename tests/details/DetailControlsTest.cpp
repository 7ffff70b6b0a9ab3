#include "support/RenderSupport.h"

#include "details/TMVBrowserDisplay.h"
#include "details/TMVImageDisplay.h"
#include "details/TMVLinksBar.h"
#include "details/TMVProductDescriptions.h"
#include "details/TMVPropertyText.h"
#include "details/TMVRating.h"
#include "pictures/EInvalidGraphic.h"
#include "pictures/GraphicTools.h"
#include "pictures/PngFile.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// The picture as it shows on a ground of that colour.
QImage OnGround(const QImage& picture, const QColor& ground)
{
    QImage image(picture.size(), QImage::Format_ARGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.drawImage(0, 0, picture);
    painter.end();
    return image;
}

bool ShowsPicture(const QImage& rendered, QPoint at, const QImage& picture, const QColor& ground)
{
    const QImage expected = OnGround(picture, ground).convertToFormat(QImage::Format_RGB32);
    return rendered.copy(QRect(at, picture.size())).convertToFormat(QImage::Format_RGB32) == expected;
}

// Columns holding a pixel that passes the test: first and last, or (-1, -1).
std::pair<int, int> InkColumns(const QImage& image, const std::function<bool(const QColor&)>& test)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (test(image.pixelColor(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

bool Reddish(const QColor& color)
{
    return color.red() - color.green() > 60 && color.red() - color.blue() > 60;
}

std::pair<int, int> InkRows(const QImage& image, const std::function<bool(const QColor&)>& test)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixelColor(x, y))) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

bool Inked(const QColor& color)
{
    return Ink(color) > 120;
}

QImage Filled(const QColor& color, QSize size = {16, 16})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

// ---------------------------------------------------------------------------------------
// TMVImageDisplay

class ImageDisplayTest : public ::testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& data)
    {
        const QString path = m_folder.filePath(name);
        WriteFile(path, data);
        return path;
    }

    // 60 x 40 with a fully transparent left half.
    static QImage HalfTransparent()
    {
        QImage picture(60, 40, QImage::Format_ARGB32);
        picture.fill(QColor(0x20, 0x80, 0x30));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 30; ++x)
                picture.setPixelColor(x, y, Qt::transparent);
        return picture;
    }

    QTemporaryDir m_folder;
    TMVImageDisplay m_display;
};

TEST_F(ImageDisplayTest, BorderTakesOnlyOneToNine)
{
    EXPECT_EQ(m_display.Border(), 8);
    EXPECT_EQ(m_display.size(), QSize(140, 140));
    m_display.SetBorder(0);
    EXPECT_EQ(m_display.Border(), 8);
    m_display.SetBorder(10);
    EXPECT_EQ(m_display.Border(), 8);
    m_display.SetBorder(4);
    EXPECT_EQ(m_display.Border(), 4);

    // The border bounds the room of a long zoom text.
    m_display.LoadImageFile(Write(u"a.png"_s, PngFile::Write(HalfTransparent())));
    m_display.SetZoomText(u"View the screenshot at its full size, please"_s);
    Render(m_display);
    EXPECT_EQ(m_display.ZoomZone().left(), 4 + 16 + 4);
    EXPECT_EQ(m_display.ZoomZone().right(), 140 - 4 - 1);
}

TEST_F(ImageDisplayTest, PlaceholdersReplaceEachOtherInAnyOrder)
{
    const QImage noImage = GraphicTools::LoadPngResource(u"idNoImage"_s);
    const QImage loading = GraphicTools::LoadPngResource(u"idLoadingImage"_s);
    ASSERT_EQ(noImage.size(), QSize(138, 101));
    ASSERT_EQ(loading.size(), QSize(137, 100));

    m_display.ShowLoading();
    EXPECT_EQ(m_display.State(), TMVImageDisplay::isLoading);
    EXPECT_EQ(m_display.Picture().size(), loading.size());
    m_display.ShowNoImage();
    EXPECT_EQ(m_display.State(), TMVImageDisplay::isNoImage);
    EXPECT_EQ(m_display.Picture().size(), noImage.size());
    // No image shown before loading: asking for it again still replaces the loading picture.
    m_display.ShowLoading();
    m_display.ShowNoImage();
    EXPECT_EQ(m_display.State(), TMVImageDisplay::isNoImage);

    // Centred horizontally, 18 pixels from the top, on the display's colour.
    m_display.SetColor(0xE0F0FF);
    const QImage image = Render(m_display, Qt::red);
    const QColor ground(0xFF, 0xF0, 0xE0);
    EXPECT_EQ(Pixel(image, 0, 0), ground);
    EXPECT_TRUE(ShowsPicture(image, QPoint(1, 18), noImage, ground));
    // A placeholder has no zoom link.
    m_display.SetZoomText(u"View full size"_s);
    EXPECT_TRUE(m_display.ZoomZone().isEmpty());
}

TEST_F(ImageDisplayTest, LoadsTheThreeFormatsByExtensionInAnyCase)
{
    const QImage picture = PictureSamples::ColourfulPicture(60, 40, false);
    const std::vector<std::pair<QString, QByteArray>> files = {
        {u"shot.PNG"_s, PngFile::Write(picture)},
        {u"shot.JPG"_s, PictureSamples::MakeJpeg(picture)},
        {u"shot.JpEg"_s, PictureSamples::MakeJpeg(picture)},
        {u"shot.Gif"_s, PictureSamples::MakeGif(picture)},
        {u"shot.tar.gif"_s, PictureSamples::MakeGif(picture)},
    };
    for (const auto& [name, data] : files) {
        SCOPED_TRACE(name.toStdString());
        m_display.ShowNoImage();
        const QString path = Write(name, data);
        m_display.LoadImageFile(path);
        EXPECT_EQ(m_display.State(), TMVImageDisplay::isImage);
        EXPECT_EQ(m_display.FileName(), path);
        EXPECT_EQ(m_display.Picture().size(), QSize(60, 40));
    }
}

TEST_F(ImageDisplayTest, RefusedFilesLeaveTheDisplayAsItWas)
{
    const QString good = Write(u"good.png"_s, PngFile::Write(HalfTransparent()));
    m_display.LoadImageFile(good);
    const QImage before = m_display.Picture();

    // A bitmap: refused by its extension, with the file's name (without folder) in the message.
    QByteArray bitmap("BM");
    bitmap.append(52, '\0');
    const QString bmp = Write(u"screen shot.bmp"_s, bitmap);
    try {
        m_display.LoadImageFile(bmp);
        ADD_FAILURE() << "a bitmap file was accepted";
    } catch (const EMVImageDisplayException& error) {
        EXPECT_EQ(error.Message(), u"Invalid Image File Format! (screen shot.bmp)"_s);
    }
    EXPECT_THROW(m_display.LoadImageFile(Write(u"noextension"_s, PngFile::Write(before))),
                 EMVImageDisplayException);
    // A damaged picture and a missing file reach the caller too.
    EXPECT_THROW(m_display.LoadImageFile(Write(u"broken.png"_s, QByteArray("\x89PNG\r\n\x1a\n garbage"))),
                 EInvalidGraphic);
    EXPECT_THROW(m_display.LoadImageFile(m_folder.filePath(u"missing.jpg"_s)), EFileError);
    // A PNG named as a JPEG goes to the JPEG decoder and is refused by it.
    EXPECT_THROW(m_display.LoadImageFile(Write(u"png.jpg"_s, PngFile::Write(before))), EInvalidGraphic);

    EXPECT_EQ(m_display.State(), TMVImageDisplay::isImage);
    EXPECT_EQ(m_display.FileName(), good);
    EXPECT_EQ(m_display.Picture(), before);
}

TEST_F(ImageDisplayTest, PictureIsFramedWithAShadowAndShowsTheColourThroughTransparency)
{
    m_display.SetColor(0xD0E0F0);
    const QColor ground(0xF0, 0xE0, 0xD0);
    m_display.LoadImageFile(Write(u"half.png"_s, PngFile::Write(HalfTransparent())));
    const QImage image = Render(m_display, Qt::red);
    const QRect shown = m_display.ImageRect();
    ASSERT_EQ(shown, QRect((140 - 6 - 60) / 2, 8 + (140 - 16 - 32 - 40) / 2, 60, 40));

    EXPECT_EQ(Pixel(image, shown.left() + 5, shown.top() + 5), ground);
    EXPECT_EQ(Pixel(image, shown.right() - 5, shown.top() + 5), QColor(0x20, 0x80, 0x30));
    // Outline two pixels out, the shadow under and right of it, a fainter one beyond.
    const QRect frame = shown.adjusted(-2, -2, 2, 2);
    EXPECT_EQ(Pixel(image, frame.left(), frame.top()), QColor(0x95, 0x95, 0x95));
    EXPECT_EQ(Pixel(image, frame.right(), frame.bottom()), QColor(0x95, 0x95, 0x95));
    EXPECT_EQ(Pixel(image, frame.left() + 1, frame.top() + 1), ground);
    const int below = frame.bottom() + 1;
    const int beside = frame.right() + 1;
    EXPECT_EQ(Pixel(image, frame.left(), below), ground);
    EXPECT_EQ(Pixel(image, frame.left() + 1, below), QColor(0xD0, 0xD0, 0xD0));
    EXPECT_EQ(Pixel(image, beside, below), QColor(0xD0, 0xD0, 0xD0));
    EXPECT_EQ(Pixel(image, beside, frame.top()), ground);
    EXPECT_EQ(Pixel(image, beside, frame.top() + 1), QColor(0xD0, 0xD0, 0xD0));
    EXPECT_EQ(Pixel(image, frame.left() + 1, below + 1), ground);
    EXPECT_EQ(Pixel(image, frame.left() + 2, below + 1), QColor(0xEF, 0xEF, 0xEF));
    EXPECT_EQ(Pixel(image, beside + 1, below + 1), QColor(0xEF, 0xEF, 0xEF));
    EXPECT_EQ(Pixel(image, beside + 1, frame.top() + 1), ground);
    EXPECT_EQ(Pixel(image, beside + 1, frame.top() + 2), QColor(0xEF, 0xEF, 0xEF));
}

TEST_F(ImageDisplayTest, ZoomLinkClicksOnlyWhenPressedAndReleasedOnIt)
{
    int zooms = 0;
    m_display.OnZoomClick = [&](TMVImageDisplay& sender) {
        EXPECT_EQ(&sender, &m_display);
        ++zooms;
    };
    m_display.SetZoomText(u"View full size"_s);
    m_display.show();
    m_display.LoadImageFile(Write(u"half.png"_s, PngFile::Write(HalfTransparent())));
    Render(m_display);
    const QRect zone = m_display.ZoomZone();
    ASSERT_FALSE(zone.isEmpty());
    // Centred: the glyph and its gap before the text, the same room after it.
    const int textWidth = QFontMetrics(m_display.font()).horizontalAdvance(u"View full size"_s);
    EXPECT_EQ(zone.top(), m_display.ImageRect().bottom() + 1 + 8);
    EXPECT_NEAR(zone.left() - 8 - 16, 140 - 8 - zone.right() - 1, 1);
    EXPECT_GE(zone.width(), textWidth);

    QTest::mouseClick(&m_display, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(zooms, 1);
    QTest::mousePress(&m_display, Qt::LeftButton, {}, zone.center());
    QTest::mouseRelease(&m_display, Qt::LeftButton, {}, QPoint(zone.center().x(), 5));
    EXPECT_EQ(zooms, 1);
    QTest::mousePress(&m_display, Qt::LeftButton, {}, QPoint(zone.center().x(), 5));
    QTest::mouseRelease(&m_display, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(zooms, 1);

    QTest::mouseMove(&m_display, zone.center());
    EXPECT_EQ(m_display.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&m_display, QPoint(2, 2));
    EXPECT_EQ(m_display.cursor().shape(), Qt::ArrowCursor);

    // The placeholders have no link where it was.
    m_display.ShowLoading();
    QTest::mouseClick(&m_display, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(zooms, 1);
}

// ---------------------------------------------------------------------------------------
// TMVPropertyText

TEST(TMVPropertyText, ValueFitsFlushRightOrStartsAfterTheCaptionWithAnEllipsis)
{
    TMVPropertyText text;
    EXPECT_EQ(text.size(), QSize(156, 17));
    EXPECT_EQ(text.TextFont().pointSizeF(), text.font().pointSizeF() + 2);
    text.SetCaption(u"&Price"_s);
    text.SetFontColor(clBlack);
    text.SetTextColor(0x0000FF);
    const int captionWidth = QFontMetrics(text.font()).horizontalAdvance(u"Price"_s);

    text.SetText(u"Free"_s);
    QImage image = Render(text);
    const int valueWidth = QFontMetrics(text.TextFont()).horizontalAdvance(u"Free"_s);
    auto [first, last] = InkColumns(image, Reddish);
    EXPECT_GE(first, 156 - valueWidth - 1);
    EXPECT_GE(last, 156 - 4);
    // The caption is drawn without its "&", in its own colour.
    auto [captionFirst, captionLast] = InkColumns(image.copy(0, 0, captionWidth + 2, 17), Inked);
    EXPECT_LE(captionFirst, 1);
    EXPECT_NEAR(captionLast, captionWidth, 2);

    text.SetText(u"Free for up to five users, then $4.99 a month per user"_s);
    image = Render(text);
    std::tie(first, last) = InkColumns(image, Reddish);
    EXPECT_GE(first, captionWidth + 8);
    EXPECT_LE(first, captionWidth + 8 + 2);
    EXPECT_GE(last, 156 - 12);
    EXPECT_LE(last, 155);
}

TEST(TMVPropertyText, LinkValueIsUnderlinedInTheLinkColourAndClicksOnlyAsALink)
{
    TMVPropertyText text;
    text.SetCaption(u"Category"_s);
    text.SetText(u"Office"_s);
    text.SetFontColor(0x112233);
    int clicks = 0;
    text.OnUrlClick = [&](TMVPropertyText&) {
        ++clicks;
    };
    text.show();

    text.SetIsUrl(true);
    EXPECT_TRUE(text.TextFont().underline());
    EXPECT_EQ(text.TextColor(), TMVPropertyText::kLinkColor);
    Render(text);
    const QRect zone = text.UrlZone();
    const int valueWidth = QFontMetrics(text.TextFont()).horizontalAdvance(u"Office"_s);
    EXPECT_EQ(zone.right(), 155);
    EXPECT_EQ(zone.width(), valueWidth);
    QTest::mouseClick(&text, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(&text, Qt::LeftButton, {}, QPoint(2, 8));
    EXPECT_EQ(clicks, 1);

    text.SetIsUrl(false);
    EXPECT_FALSE(text.TextFont().underline());
    EXPECT_EQ(text.TextColor(), 0x112233);
    Render(text);
    EXPECT_TRUE(text.UrlZone().isEmpty());
    QTest::mouseClick(&text, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(clicks, 1);

    // The value's font follows the widget's until the owner sets one.
    QFont bigger = text.font();
    bigger.setPointSize(11);
    text.setFont(bigger);
    EXPECT_EQ(text.TextFont().pointSize(), 13);
    QFont own = bigger;
    own.setPointSize(7);
    text.SetTextFont(own);
    text.setFont(text.font());
    bigger.setPointSize(9);
    text.setFont(bigger);
    EXPECT_EQ(text.TextFont().pointSize(), 7);
}

// ---------------------------------------------------------------------------------------
// TMVRating

TEST(TMVRating, PicturesFollowTheRatingAndOutOfRangeValuesCountAsZero)
{
    TMVRating rating;
    rating.SetCaption(u"Rating"_s);
    const QImage full = GraphicTools::LoadPngResource(u"rtStarFull"_s);
    const QImage half = GraphicTools::LoadPngResource(u"rtStarSemi"_s);
    const QImage empty = GraphicTools::LoadPngResource(u"rtStarEmpty"_s);
    ASSERT_NE(full, half);
    ASSERT_NE(half, empty);
    ASSERT_EQ(full.size(), QSize(15, 15));
    const int captionTop = (17 - QFontMetrics(rating.font()).height()) / 2;
    const int y = captionTop + (17 - captionTop - 15) / 2;

    const std::vector<std::pair<float, std::string>> cases = {
        {0.0f, "eeeee"}, {0.5f, "heeee"}, {4.4f, "ffffe"}, {4.5f, "ffffh"},
        {4.9f, "ffffh"}, {5.0f, "fffff"}, {6.0f, "eeeee"},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        rating.SetRating(value);
        const QImage image = Render(rating);
        for (int i = 0; i < 5; ++i) {
            const QImage& picture = expected[size_t(i)] == 'f'   ? full
                                    : expected[size_t(i)] == 'h' ? half
                                                                 : empty;
            EXPECT_TRUE(ShowsPicture(image, QPoint(156 - 75 + 15 * i, y), picture, Qt::white))
                << "picture " << i;
        }
    }
    rating.SetRating(6.0f);
    EXPECT_EQ(rating.Rating(), 0.0f);
    rating.SetRating(-0.5f);
    EXPECT_EQ(rating.Rating(), 0.0f);
    rating.SetRating(std::nanf(""));
    EXPECT_EQ(rating.Rating(), 0.0f);
    rating.SetRating(5.0f);
    EXPECT_EQ(rating.Rating(), 5.0f);

    // Popularity draws circles.
    rating.SetRatingType(rtPopularity);
    rating.SetRating(0.5f);
    const QImage image = Render(rating);
    EXPECT_TRUE(
        ShowsPicture(image, QPoint(81, y), GraphicTools::LoadPngResource(u"rtCircleSemi"_s), Qt::white));
    EXPECT_TRUE(
        ShowsPicture(image, QPoint(96, y), GraphicTools::LoadPngResource(u"rtCircleEmpty"_s), Qt::white));
}

TEST(TMVRating, HintTellsTheValueOnlyWhenAskedTo)
{
    TMVRating rating;
    rating.SetRating(4.5f);
    EXPECT_EQ(rating.RatingHint(), QString());
    EXPECT_EQ(rating.toolTip(), QString());

    rating.SetShowRatingHint(true);
    EXPECT_EQ(rating.RatingHint(), u"Rating 4.5"_s);
    EXPECT_EQ(rating.toolTip(), u"Rating 4.5"_s);
    rating.SetRatingType(rtPopularity);
    EXPECT_EQ(rating.RatingHint(), u"Popularity 4.5"_s);
    rating.SetRating(2.0f);
    EXPECT_EQ(rating.RatingHint(), u"Popularity 2.0"_s);

    rating.OnGetRatingHintText = [](TMVRating& sender, QString& hint) {
        EXPECT_TRUE(hint.isEmpty());
        hint = u"%1 of 5 stars"_s.arg(sender.Rating());
    };
    rating.SetRating(3.0f);
    EXPECT_EQ(rating.toolTip(), u"3 of 5 stars"_s);

    rating.SetShowRatingHint(false);
    EXPECT_EQ(rating.RatingHint(), QString());
    EXPECT_EQ(rating.toolTip(), QString());
}

// ---------------------------------------------------------------------------------------
// TMVBrowserDisplay

TEST(TMVBrowserDisplay, SupportedBrowsersInColourTheOthersGrey)
{
    TMVBrowserDisplay display;
    display.SetCaption(u"Browser"_s);
    display.SetBrowsers(BrowserBit(brInternetExplorer) | BrowserBit(brOpera) | 0xF0);
    EXPECT_EQ(display.Browsers(), 0x05);
    const QImage image = Render(display);
    const std::array<QString, 4> names = {u"brIE"_s, u"brFireFox"_s, u"brOpera"_s, u"brSafari"_s};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QImage coloured = GraphicTools::LoadPngResource(names[size_t(i)]);
        const QImage grey = GraphicTools::LoadPngResource(names[size_t(i)] + u"_BW"_s);
        ASSERT_NE(coloured, grey);
        const bool supported = i == 0 || i == 2;
        EXPECT_TRUE(
            ShowsPicture(image, QPoint(156 - 70 + 18 * i, 0), supported ? coloured : grey, Qt::white));
    }
}

// ---------------------------------------------------------------------------------------
// TMVProductDescriptions

TEST(TMVProductDescriptions, TextsStayInTheirBandsAndTheLongOneShowsOnlyWholeLines)
{
    TMVProductDescriptions descriptions;
    EXPECT_EQ(descriptions.size(), QSize(360, 136));
    EXPECT_TRUE(descriptions.TitleFont().bold());
    EXPECT_EQ(descriptions.TitleFont().pointSize(), 12);
    EXPECT_EQ(descriptions.DescriptionShortFont().pointSize(), 10);
    descriptions.SetTitle(u"Morvalen &Notes"_s);
    descriptions.SetDescriptionShort(u"Notes that follow you"_s);
    descriptions.SetFontColor(0xFF0000);
    EXPECT_EQ(descriptions.DescriptionShortColor(), clBlack);
    descriptions.SetDescriptionShortColor(0x0000FF);
    QString longText;
    for (int i = 0; i < 60; ++i)
        longText += u"Write, tag and find your notes from any browser. "_s;
    descriptions.SetDescriptionLong(longText);
    const QImage image = Render(descriptions);

    const auto green = [](const QColor& c) {
        return c.green() - c.red() > 40 && c.green() - c.blue() > 40;
    };
    const auto blue = [](const QColor& c) {
        return c.blue() - c.red() > 60 && c.blue() - c.green() > 60;
    };
    const auto red = [](const QColor& c) {
        return c.red() - c.green() > 60 && c.red() - c.blue() > 60;
    };
    const QRect title = descriptions.TitleRect();
    const QRect shortLine = descriptions.DescriptionShortRect();
    const QRect longArea = descriptions.DescriptionLongRect();
    EXPECT_EQ(shortLine.top(), title.bottom() + 1 + 4);
    EXPECT_EQ(longArea.top(), shortLine.bottom() + 1 + 4);
    EXPECT_EQ(longArea.bottom(), 135);

    const auto [titleTop, titleBottom] = InkRows(image, green);
    EXPECT_GE(titleTop, title.top());
    EXPECT_LE(titleBottom, title.bottom());
    const auto [shortTop, shortBottom] =
        InkRows(image.copy(0, title.bottom() + 1, 360, 136 - title.bottom() - 1), red);
    EXPECT_GE(shortTop + title.bottom() + 1, shortLine.top());
    EXPECT_LE(shortBottom + title.bottom() + 1, shortLine.bottom());
    // The long text fills its area with whole lines only: nothing of a cut line at the bottom.
    const auto [longTop, longBottom] = InkRows(image, blue);
    const int lineHeight = QFontMetrics(descriptions.font()).lineSpacing();
    const int wholeLines = longArea.height() / lineHeight;
    EXPECT_GE(longTop, longArea.top());
    EXPECT_GT(longBottom, longArea.top() + (wholeLines - 1) * lineHeight);
    EXPECT_LT(longBottom, longArea.top() + wholeLines * lineHeight);
    // The title's "&" is hidden and underlines nothing: the title is as wide as "Morvalen Notes".
    const auto [left, right] = InkColumns(image.copy(title), green);
    EXPECT_NEAR(right - left + 1,
                QFontMetrics(descriptions.TitleFont()).horizontalAdvance(u"Morvalen Notes"_s), 3);

    // Fonts set by the owner stay when the widget's font changes; derived ones follow it.
    QFont own = descriptions.font();
    own.setPointSize(20);
    descriptions.SetTitleFont(own);
    QFont widgetFont = descriptions.font();
    widgetFont.setFamily(u"Courier"_s);
    descriptions.setFont(widgetFont);
    EXPECT_EQ(descriptions.TitleFont().pointSize(), 20);
    EXPECT_EQ(descriptions.DescriptionShortFont().family(), widgetFont.family());
}

// ---------------------------------------------------------------------------------------
// TMVLinksBar

class LinksBarTest : public ::testing::Test
{
protected:
    LinksBarTest()
    {
        m_images = {Filled(Qt::red), Filled(Qt::green), Filled(Qt::blue), Filled(Qt::cyan),
                    Filled(Qt::magenta)};
        m_bar.SetImageList(&m_images);
        m_bar.SetImageIndexInstall(0);
        m_bar.SetImageIndexVisitSite(1);
        m_bar.SetImageIndexSignup(2);
        m_bar.SetImageIndexTellFriend(3);
        m_bar.SetImageIndexInstalled(4);
        m_bar.OnInstallClick = [this](TMVLinksBar&) {
            m_clicks += u'I';
        };
        m_bar.OnVisitSiteClick = [this](TMVLinksBar&) {
            m_clicks += u'V';
        };
        m_bar.OnSignupClick = [this](TMVLinksBar&) {
            m_clicks += u'S';
        };
        m_bar.OnTellFriendClick = [this](TMVLinksBar&) {
            m_clicks += u'T';
        };
    }

    int LinkWidth(const QString& caption, bool bold) const
    {
        QFont font = m_bar.font();
        font.setBold(bold);
        font.setUnderline(true);
        return QFontMetrics(font).horizontalAdvance(caption) + 4 + 16;
    }

    int AllLinksWidth() const
    {
        return 4 * 18 + LinkWidth(u"Install"_s, true) + LinkWidth(u"Visit site"_s, false) +
               LinkWidth(u"Signup"_s, false) + LinkWidth(u"Tell a Friend"_s, false);
    }

    std::vector<QImage> m_images;
    TMVLinksBar m_bar;
    QString m_clicks;
};

TEST_F(LinksBarTest, LinksLineUpFromTheRightWithTheirIcons)
{
    m_bar.resize(500, 22);
    const QImage image = Render(m_bar);
    const QRect tell = m_bar.LinkRect(TMVLinksBar::lnkTellFriend);
    EXPECT_EQ(tell.right(), 500 - 18 - 1);
    EXPECT_EQ(tell.width(), LinkWidth(u"Tell a Friend"_s, false));
    EXPECT_EQ(m_bar.LinkRect(TMVLinksBar::lnkSignup).right() + 1 + 18, tell.left());
    EXPECT_EQ(m_bar.LinkRect(TMVLinksBar::lnkInstall).width(), LinkWidth(u"Install"_s, true));
    EXPECT_EQ(Pixel(image, tell.left() + 8, 3 + 8), QColor(Qt::cyan));
    EXPECT_EQ(Pixel(image, m_bar.LinkRect(TMVLinksBar::lnkInstall).left() + 8, 3 + 8), QColor(Qt::red));
    // The texts are in the link colour.
    const QColor text = DarkestPixel(image, tell.adjusted(20, 0, 0, 0));
    EXPECT_GT(text.blue(), text.red() + 80);

    // Without an image list the links take no room for icons.
    m_bar.SetImageList(nullptr);
    Render(m_bar);
    EXPECT_EQ(m_bar.LinkRect(TMVLinksBar::lnkTellFriend).width(), LinkWidth(u"Tell a Friend"_s, false) - 16);
}

TEST_F(LinksBarTest, NarrowBarDropsInstallFirst)
{
    m_bar.resize(AllLinksWidth() + 1, 20);
    Render(m_bar);
    EXPECT_FALSE(m_bar.LinkRect(TMVLinksBar::lnkInstall).isEmpty());
    EXPECT_EQ(m_bar.LinkRect(TMVLinksBar::lnkInstall).left(), 1);
    EXPECT_EQ(m_bar.sizeHint().width(), AllLinksWidth() + 1);

    m_bar.resize(AllLinksWidth(), 20);
    Render(m_bar);
    EXPECT_TRUE(m_bar.LinkRect(TMVLinksBar::lnkInstall).isEmpty());
    EXPECT_FALSE(m_bar.LinkRect(TMVLinksBar::lnkVisitSite).isEmpty());

    m_bar.resize(AllLinksWidth() - LinkWidth(u"Install"_s, true) - 18, 20);
    Render(m_bar);
    EXPECT_TRUE(m_bar.LinkRect(TMVLinksBar::lnkInstall).isEmpty());
    EXPECT_TRUE(m_bar.LinkRect(TMVLinksBar::lnkVisitSite).isEmpty());
    EXPECT_FALSE(m_bar.LinkRect(TMVLinksBar::lnkSignup).isEmpty());

    // A dropped link cannot be clicked where it was.
    m_bar.show();
    QTest::mouseClick(&m_bar, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(m_clicks, QString());
}

TEST_F(LinksBarTest, InstalledLinkReadsInstalledInBoldAndStillRaisesInstall)
{
    m_bar.resize(500, 20);
    m_bar.show();
    m_bar.SetIsInstalled(true);
    EXPECT_EQ(m_bar.LinkCaption(TMVLinksBar::lnkInstall), u"Installed"_s);
    const QImage image = Render(m_bar);
    const QRect install = m_bar.LinkRect(TMVLinksBar::lnkInstall);
    EXPECT_EQ(install.width(), LinkWidth(u"Installed"_s, true));
    EXPECT_EQ(Pixel(image, install.left() + 8, 2 + 8), QColor(Qt::magenta));

    QTest::mouseClick(&m_bar, Qt::LeftButton, {}, install.center());
    QTest::mouseClick(&m_bar, Qt::LeftButton, {}, m_bar.LinkRect(TMVLinksBar::lnkVisitSite).center());
    QTest::mouseClick(&m_bar, Qt::LeftButton, {}, m_bar.LinkRect(TMVLinksBar::lnkSignup).center());
    QTest::mouseClick(&m_bar, Qt::LeftButton, {}, m_bar.LinkRect(TMVLinksBar::lnkTellFriend).center());
    EXPECT_EQ(m_clicks, u"IVST"_s);

    // Pressed on one link and released on another: nothing.
    QTest::mousePress(&m_bar, Qt::LeftButton, {}, install.center());
    QTest::mouseRelease(&m_bar, Qt::LeftButton, {}, m_bar.LinkRect(TMVLinksBar::lnkVisitSite).center());
    EXPECT_EQ(m_clicks, u"IVST"_s);

    QTest::mouseMove(&m_bar, install.center());
    EXPECT_EQ(m_bar.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&m_bar, QPoint(install.left() - 5, 10));
    EXPECT_EQ(m_bar.cursor().shape(), Qt::ArrowCursor);

    m_bar.SetIsInstalled(false);
    EXPECT_EQ(m_bar.LinkCaption(TMVLinksBar::lnkInstall), u"Install"_s);
}
