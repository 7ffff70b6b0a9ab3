#include "pictures/TExIcon.h"
#include "pictures/EInvalidGraphic.h"
#include "pictures/PngFile.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;
using namespace PictureSamples;

namespace {

// The message of the error the call raised, or "" when it raised none.
template <typename Call>
QString IconErrorOf(Call call)
{
    try {
        call();
    } catch (const EMorvalenError& error) {
        return error.Message();
    }
    return QString();
}

QString LoadError(const QByteArray& data)
{
    return IconErrorOf([&] {
        TExIcon icon;
        icon.LoadFromStream(data);
    });
}

const QString kInvalid = u"Invalid Icon or Cursor"_s;
const QString kPixelFormat = u"Pixel Format Not Valid for Icons or Cursors"_s;

} // namespace

TEST(TExIcon, NewIconHoldsOneEmptyImageOfTheStandardSize)
{
    TExIcon icon;
    EXPECT_TRUE(icon.Empty());
    EXPECT_EQ(icon.ImageCount(), 1);
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_EQ(icon.Height(), 32);
    EXPECT_EQ(icon.Images(0).PixelFormat, IconImageData::pf4bit);
    EXPECT_TRUE(icon.Handle().isNull());
    EXPECT_EQ(IconErrorOf([&] { icon.SaveToStream(); }), kInvalid);
}

TEST(TExIcon, SavesFourAndThirtyTwoBitImagesBackByteForByte)
{
    const QByteArray file = TwoImageIcon();
    TExIcon icon;
    icon.LoadFromStream(file);
    ASSERT_EQ(icon.ImageCount(), 2);
    EXPECT_EQ(icon.Images(0).PixelFormat, IconImageData::pf4bit);
    EXPECT_EQ(icon.Images(1).PixelFormat, IconImageData::pf32bit);
    EXPECT_EQ(icon.SaveToStream(), file);
}

TEST(TExIcon, SavingComputesTheDirectoryAfreshAndClearsTheImageSizeField)
{
    // The images in reverse order behind a gap, the directory with odd values and the 4-bit
    // image's size field set: the saved file is the canonical one.
    QByteArray fourBit = FourBitImage();
    qToLittleEndian<uint32_t>(uint32_t(fourBit.size()), fourBit.data() + 20);
    const QByteArray thirtyTwo = ThirtyTwoBitImage();
    QByteArray file = IconFile({{fourBit, 16, 16, 0, 4}, {thirtyTwo, 16, 16, 7, 1}});
    const qsizetype imagesStart = 6 + 32;
    file = file.left(imagesStart) + QByteArray(10, 'x') + thirtyTwo + fourBit;
    qToLittleEndian<uint32_t>(uint32_t(imagesStart + 10 + thirtyTwo.size()), file.data() + 6 + 12);
    qToLittleEndian<uint32_t>(uint32_t(imagesStart + 10), file.data() + 6 + 16 + 12);

    TExIcon icon;
    icon.LoadFromStream(file);
    EXPECT_EQ(icon.SaveToStream(), TwoImageIcon());
}

TEST(TExIcon, DerivesThePixelFormatFromBitCountAndCompression)
{
    struct Case
    {
        int bitCount;
        uint32_t compression;
        int expected;
    };
    for (const Case& c : {Case{1, 0, 1}, Case{4, 0, 2}, Case{8, 0, 3}, Case{16, 0, 4}, Case{16, 3, 5},
                          Case{24, 0, 6}, Case{32, 0, 7}}) {
        QByteArray image = DibHeader(4, 4, c.bitCount, c.compression);
        if (c.compression == 3)
            image.append(QByteArray::fromHex("007c0000e00300001f000000"));
        if (c.bitCount <= 8)
            image.append(QByteArray(4 << c.bitCount, '\0'));
        image.append(QByteArray(4 * ((4 * c.bitCount + 31) / 32 * 4), '\0'));
        image.append(QByteArray(4 * 4, '\0'));
        TExIcon icon;
        icon.LoadFromStream(IconFile({{image, 4, 4}}));
        EXPECT_EQ(icon.Images(0).PixelFormat, c.expected) << c.bitCount << " bits";
        EXPECT_FALSE(icon.Handle().isNull());
    }
    EXPECT_EQ(LoadError(IconFile({{DibHeader(4, 4, 16, 1) + QByteArray(64, '\0'), 4, 4}})), kPixelFormat);
    EXPECT_EQ(LoadError(IconFile({{DibHeader(4, 4, 2) + QByteArray(64, '\0'), 4, 4}})), kPixelFormat);
    EXPECT_EQ(LoadError(IconFile({{DibHeader(4, 4, 0) + QByteArray(64, '\0'), 4, 4}})), kPixelFormat);
}

TEST(TExIcon, WidthByteZeroReadsAs256AndCannotBeSaved)
{
    TExIcon icon;
    icon.LoadFromStream(IconFile({{ThirtyTwoBitImage(), 0, 0}}));
    EXPECT_EQ(icon.Width(), 256);
    EXPECT_EQ(icon.Height(), 256);
    EXPECT_EQ(IconErrorOf([&] { icon.SaveToStream(); }), u"Range check error"_s);
}

TEST(TExIcon, RefusesCursorFilesAndFilesWithoutImages)
{
    EXPECT_EQ(LoadError(IconFile({{ThirtyTwoBitImage()}}, 2)), kInvalid);
    EXPECT_EQ(LoadError(IconFile({})), kInvalid);
}

TEST(TExIcon, AFailedLoadLeavesTheIconAsItWas)
{
    TExIcon icon;
    icon.LoadFromStream(TwoImageIcon());
    icon.SetCurrentIndex(1);
    QByteArray broken = TwoImageIcon();
    broken.chop(100);
    EXPECT_THROW(icon.LoadFromStream(broken), EInvalidGraphic);
    EXPECT_EQ(icon.ImageCount(), 2);
    EXPECT_EQ(icon.CurrentIndex(), 1);
    EXPECT_EQ(icon.SaveToStream(), TwoImageIcon());
}

TEST(TExIcon, SizeFollowsTheCurrentImageAndChangesAreSignalled)
{
    TExIcon icon;
    int changes = 0;
    icon.OnChange = [&] {
        ++changes;
    };
    icon.LoadFromStream(IconFile({{FourBitImage(), 16, 16, 16}, {ThirtyTwoBitImage(), 0, 0, 0, 32}}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Palette().size(), 16);

    icon.SetCurrentIndex(1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(icon.Width(), 256);
    icon.SetCurrentIndex(1);
    EXPECT_EQ(changes, 2);
    // The image's own header wins once it is decoded.
    EXPECT_EQ(icon.Handle().size(), QSize(16, 16));
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_TRUE(icon.Palette().isEmpty());
    EXPECT_EQ(IconErrorOf([&] { icon.SetCurrentIndex(2); }), u"Index out of range!"_s);
}

TEST(TExIcon, KeepsPngImagesVerbatim)
{
    // Most favicons today hold PNG data inside the icon file.
    const QByteArray png = PngFile::Write(ColourfulPicture(32, 32, true));
    const QByteArray file = IconFile({{FourBitImage(), 16, 16, 16}, {png, 32, 32, 0, 32}});
    TExIcon icon;
    icon.LoadFromStream(file);
    EXPECT_EQ(icon.Images(1).PixelFormat, IconImageData::pf32bit);
    icon.SetCurrentIndex(1);
    EXPECT_EQ(icon.Handle(), ColourfulPicture(32, 32, true));
    EXPECT_EQ(icon.SaveToStream(), file);

    QByteArray damaged = png;
    damaged.chop(20);
    TExIcon broken;
    broken.LoadFromStream(IconFile({{damaged, 32, 32, 0, 32}}));
    EXPECT_EQ(IconErrorOf([&] { broken.Handle(); }), kInvalid);
}

TEST(TExIcon, IconsMadeFromPicturesSaveAndLoadAgain)
{
    const QImage small = ColourfulPicture(16, 16, true);
    const QImage large = ColourfulPicture(48, 48, true);
    TExIcon icon;
    icon.SetPictures({small, large}, IconImageData::pf32bit);
    const QByteArray file = icon.SaveToStream();

    TExIcon loaded;
    loaded.LoadFromStream(file);
    ASSERT_EQ(loaded.ImageCount(), 2);
    EXPECT_EQ(loaded.Handle(), small);
    loaded.SetCurrentIndex(1);
    EXPECT_EQ(loaded.Handle(), large);
    EXPECT_EQ(loaded.SaveToStream(), file);
}

TEST(TExIcon, AssignedPictureTakesTheCurrentSizeAndDepth)
{
    TExIcon icon;
    icon.LoadFromStream(TwoImageIcon());
    QImage picture(64, 64, QImage::Format_ARGB32);
    picture.fill(qRgba(200, 10, 10, 255));
    icon.AssignPicture(picture);
    EXPECT_EQ(icon.Images(0).PixelFormat, IconImageData::pf4bit);
    const QImage image = icon.Handle();
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.pixel(5, 5), qRgba(200, 10, 10, 255));
    // The other image is untouched.
    icon.SetCurrentIndex(1);
    EXPECT_EQ(icon.Images(1).Data.size(), ThirtyTwoBitImage().size());
}

TEST(TExIcon, SharedImagesSurviveTheirFirstHolder)
{
    auto first = std::make_unique<TExIcon>();
    first->LoadFromStream(TwoImageIcon());
    TExIcon second;
    second.Assign(*first);
    EXPECT_FALSE(second.ReleaseHandle().isNull());
    // Shared: the first icon still has its picture.
    EXPECT_FALSE(first->Empty());
    first.reset();
    EXPECT_EQ(second.SaveToStream(), TwoImageIcon());
}

TEST(TExIcon, FilesAreReadAndReplacedWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"site.ico"_s);
    WriteFile(path, TwoImageIcon());
    TExIcon icon;
    icon.LoadFromFile(path);
    icon.SaveToFile(folder.filePath(u"copy.ico"_s));
    EXPECT_EQ(ReadFile(folder.filePath(u"copy.ico"_s)), TwoImageIcon());
    EXPECT_THROW(icon.LoadFromFile(folder.filePath(u"missing.ico"_s)), EFileError);
}

TEST(TExIcon, ReadsTheProgramsOwnIconsByNameInAnyCase)
{
    TExIcon icon;
    icon.LoadFromResourceName(u"res_ico_defaultfavoriteicon"_s);
    ASSERT_EQ(icon.ImageCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(icon.Images(i).Width, (QList<int>{16, 24, 32, 48}[i]));
        EXPECT_EQ(icon.Images(i).PixelFormat, IconImageData::pf32bit);
    }
    EXPECT_THROW(icon.LoadFromResourceName(u"no_such_icon"_s), EMorvalenError);
    EXPECT_EQ(icon.ImageCount(), 4);
}

TEST(TExIconBadInput, EveryPrefixOfAValidFileIsRefused)
{
    const QByteArray file = IconFile({{FourBitImage(), 16, 16, 16},
                                      {ThirtyTwoBitImage(), 16, 16, 0, 32},
                                      {PngFile::Write(ColourfulPicture(8, 8, true)), 8, 8, 0, 32}});
    for (qsizetype length = 0; length < file.size(); ++length)
        ASSERT_EQ(LoadError(file.left(length)), kInvalid) << length;
    EXPECT_EQ(LoadError(file), QString());
}

TEST(TExIconBadInput, ImagesCutShortInsideTheirOwnDataAreRefused)
{
    // The directory agrees with the cut, so only the image's own layout can tell.
    for (const QByteArray& image : {FourBitImage(), ThirtyTwoBitImage()}) {
        const qsizetype maskSize = 16 * 4;
        for (qsizetype length = 0; length < image.size() - maskSize; ++length)
            ASSERT_EQ(LoadError(IconFile({{image.left(length)}})), kInvalid) << length;
    }
    // A PNG image passes the header check and fails when it is decoded.
    const QByteArray png = PngFile::Write(ColourfulPicture(8, 8, true));
    for (qsizetype length = 0; length < png.size(); ++length) {
        const QString error = IconErrorOf([&] {
            TExIcon icon;
            icon.LoadFromStream(IconFile({{png.left(length), 8, 8, 0, 32}}));
            icon.Handle();
        });
        ASSERT_EQ(error, kInvalid) << length;
    }
}

TEST(TExIconBadInput, DamagedDirectoriesAndHeadersAreRefusedWithoutHugeAllocations)
{
    QByteArray pastTheEnd = TwoImageIcon();
    qToLittleEndian<uint32_t>(0xFFFFFFF0u, pastTheEnd.data() + 6 + 12);
    EXPECT_EQ(LoadError(pastTheEnd), kInvalid);

    QByteArray hugeSize = TwoImageIcon();
    qToLittleEndian<uint32_t>(0x7FFFFFFFu, hugeSize.data() + 6 + 8);
    EXPECT_EQ(LoadError(hugeSize), kInvalid);

    QByteArray hugeCount = TwoImageIcon();
    qToLittleEndian<uint16_t>(0xFFFF, hugeCount.data() + 4);
    EXPECT_EQ(LoadError(hugeCount), kInvalid);

    // A header that claims a picture of 30000 x 30000 in a few hundred bytes.
    QByteArray hugePicture = ThirtyTwoBitImage();
    qToLittleEndian<int32_t>(30000, hugePicture.data() + 4);
    qToLittleEndian<int32_t>(60000, hugePicture.data() + 8);
    EXPECT_EQ(LoadError(IconFile({{hugePicture}})), kInvalid);

    QByteArray tooManyColours = FourBitImage();
    qToLittleEndian<uint32_t>(0x10000000u, tooManyColours.data() + 32);
    EXPECT_EQ(LoadError(IconFile({{tooManyColours}})), kInvalid);

    QByteArray negativeHeight = ThirtyTwoBitImage();
    qToLittleEndian<int32_t>(-32, negativeHeight.data() + 8);
    EXPECT_EQ(LoadError(IconFile({{negativeHeight}})), kInvalid);

    QByteArray shortHeader = ThirtyTwoBitImage().left(30);
    EXPECT_EQ(LoadError(IconFile({{shortHeader}})), kInvalid);
}

TEST(TExIconBadInput, RandomAndCorruptedBytesNeverCrash)
{
    std::mt19937 random(20240611);
    const QByteArray valid = TwoImageIcon();
    for (int round = 0; round < 2000; ++round) {
        QByteArray data;
        if (round % 2 == 0) {
            data.resize(qsizetype(random() % 600));
            for (char& byte : data)
                byte = char(random());
            if (data.size() >= 6 && round % 4 == 0) {
                data[2] = 1; // past the header check, into the directory
                data[3] = 0;
            }
        } else {
            data = valid;
            for (int flips = 0; flips < 1 + int(random() % 8); ++flips)
                data[qsizetype(random() % uint32_t(data.size()))] = char(random());
        }
        TExIcon icon;
        try {
            icon.LoadFromStream(data);
            for (int i = 0; i < icon.ImageCount(); ++i) {
                icon.SetCurrentIndex(i);
                icon.Handle();
            }
        } catch (const EInvalidGraphic&) {
        }
    }
}
