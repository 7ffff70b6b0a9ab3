#include "pictures/PictureNames.h"
#include "pictures/GraphicTools.h"
#include "pictures/TExIcon.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

QString Name(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// Something is drawn: not a picture of one colour, not fully transparent.
bool HasDrawing(const QImage& image)
{
    QSet<QRgb> colours;
    bool visible = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
            visible = visible || qAlpha(image.pixel(x, y)) > 0;
        }
    }
    return visible && colours.size() > 2;
}

} // namespace

TEST(PictureNames, EveryPictureExistsAtItsSizeAndIsNeverThePlaceholder)
{
    for (const PictureNames::Picture& picture : PictureNames::kPictures) {
        const QString name = Name(picture.name);
        EXPECT_TRUE(GraphicTools::HasPngResource(name)) << picture.name;
        const QImage image = GraphicTools::LoadPngResource(name);
        EXPECT_EQ(image.size(), QSize(picture.width, picture.height)) << picture.name;
        EXPECT_TRUE(image.hasAlphaChannel()) << picture.name;
        EXPECT_TRUE(HasDrawing(image)) << picture.name;
    }
}

// At a scale of 2 a picture is drawn from its drawing at twice the pixels, not enlarged: some
// 2 x 2 block of it is not one colour.
TEST(PictureNames, EveryPictureHasASharpTwinAtTwiceItsPixels)
{
    for (const PictureNames::Picture& picture : PictureNames::kPictures) {
        const QString name = Name(picture.name);
        const QImage normal = GraphicTools::LoadPngResource(name, 1.0);
        const QImage sharp = GraphicTools::LoadPngResource(name, 2.0);
        EXPECT_EQ(normal.devicePixelRatio(), 1.0) << picture.name;
        ASSERT_EQ(sharp.size(), normal.size() * 2) << picture.name;
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0) << picture.name;
        EXPECT_EQ(sharp.deviceIndependentSize().toSize(), normal.size()) << picture.name;
        bool finer = false;
        for (int y = 0; y + 1 < sharp.height() && !finer; y += 2)
            for (int x = 0; x + 1 < sharp.width() && !finer; x += 2)
                finer =
                    sharp.pixel(x, y) != sharp.pixel(x + 1, y) || sharp.pixel(x, y) != sharp.pixel(x, y + 1);
        EXPECT_TRUE(finer) << picture.name << " is its normal picture enlarged";
    }
    // A picture without a twin stays itself.
    EXPECT_EQ(GraphicTools::LoadPngResource(u"no such picture"_s, 2.0).devicePixelRatio(), 1.0);
}

TEST(PictureNames, GreyVariantsAreGrey)
{
    for (const char* name : {"brIE_BW", "brFireFox_BW", "brOpera_BW", "brSafari_BW"}) {
        const QImage image = GraphicTools::LoadPngResource(QString::fromLatin1(name));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << name;
            }
        }
    }
}

TEST(PictureNames, EveryIconHasItsSizesInThirtyTwoBits)
{
    const auto check = [](std::string_view name, const auto& sizes) {
        TExIcon icon;
        icon.LoadFromResourceName(Name(name));
        ASSERT_EQ(icon.ImageCount(), int(sizes.size())) << name;
        for (int i = 0; i < icon.ImageCount(); ++i) {
            EXPECT_EQ(icon.Images(i).Width, sizes[size_t(i)]) << name;
            EXPECT_EQ(icon.Images(i).Height, sizes[size_t(i)]) << name;
            EXPECT_EQ(icon.Images(i).PixelFormat, IconImageData::pf32bit) << name;
            icon.SetCurrentIndex(i);
            EXPECT_TRUE(HasDrawing(icon.Handle())) << name << " " << sizes[size_t(i)];
        }
    };
    for (const std::string_view name : PictureNames::kIcons)
        check(name, PictureNames::kIconSizes);
    check(PictureNames::kDefaultFavoriteIcon, PictureNames::kDefaultFavoriteIconSizes);
}

TEST(PictureNames, NamesAreUniqueWhateverTheirCase)
{
    QSet<QString> names;
    for (const PictureNames::Picture& picture : PictureNames::kPictures)
        names.insert(Name(picture.name).toUpper());
    EXPECT_EQ(names.size(), qsizetype(PictureNames::kPictures.size()));
    QSet<QString> icons;
    for (const std::string_view name : PictureNames::kIcons)
        icons.insert(Name(name).toUpper());
    icons.insert(Name(PictureNames::kDefaultFavoriteIcon).toUpper());
    EXPECT_EQ(icons.size(), qsizetype(PictureNames::kIcons.size() + 1));
}
