#include "pictures/MakeThumbnail.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"
#include "support/ToolRunner.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace PictureSamples;

namespace {

class PictureCommandsTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    ToolResult Run(const QStringList& arguments) const { return RunTool(arguments); }
};

} // namespace

TEST_F(PictureCommandsTest, IconListsTheImagesInFileOrder)
{
    WriteFile(Path(u"site.ico"_s), TwoImageIcon());
    const ToolResult result = Run({u"icon"_s, Path(u"site.ico"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonArray images = QJsonDocument::fromJson(result.out).object().value(u"images"_s).toArray();
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].toObject(),
              (QJsonObject{{u"Width"_s, 16}, {u"Height"_s, 16}, {u"PixelFormat"_s, 2}}));
    EXPECT_EQ(images[1].toObject(),
              (QJsonObject{{u"Width"_s, 16}, {u"Height"_s, 16}, {u"PixelFormat"_s, 7}}));
}

TEST_F(PictureCommandsTest, IconReportsTheCodecsMessageForBadFiles)
{
    WriteFile(Path(u"cursor.cur"_s), IconFile({{ThirtyTwoBitImage()}}, 2));
    ToolResult result = Run({u"icon"_s, Path(u"cursor.cur"_s)});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains("Invalid Icon or Cursor")) << result.err.toStdString();

    WriteFile(Path(u"two-bit.ico"_s), IconFile({{DibHeader(4, 4, 2) + QByteArray(64, '\0')}}));
    result = Run({u"icon"_s, Path(u"two-bit.ico"_s)});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("Pixel Format Not Valid for Icons or Cursors"))
        << result.err.toStdString();

    EXPECT_EQ(Run({u"icon"_s, Path(u"missing.ico"_s)}).status, 1);
}

TEST_F(PictureCommandsTest, IconCopyWritesEveryImageBackByteForByte)
{
    WriteFile(Path(u"site.ico"_s), TwoImageIcon());
    const ToolResult result = Run({u"icon-copy"_s, Path(u"site.ico"_s), Path(u"copy.ico"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(ReadFile(Path(u"copy.ico"_s)), TwoImageIcon());

    // An image of 256 pixels cannot be written back; nothing is left behind.
    WriteFile(Path(u"large.ico"_s), IconFile({{ThirtyTwoBitImage(), 0, 0}}));
    const ToolResult refused = Run({u"icon-copy"_s, Path(u"large.ico"_s), Path(u"large-copy.ico"_s)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("Range check error")) << refused.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path(u"large-copy.ico"_s)));
}

TEST_F(PictureCommandsTest, ThumbnailFramesPngJpegAndGifPages)
{
    const QImage page = ColourfulPicture(640, 480, false);
    WriteFile(Path(u"page.png"_s), PngFile::Write(page));
    WriteFile(Path(u"page.jpg"_s), MakeJpeg(page));
    WriteFile(Path(u"page.gif"_s), MakeGif(page));
    for (const QString& name : {u"page.png"_s, u"page.jpg"_s, u"page.gif"_s}) {
        const ToolResult result = Run({u"thumbnail"_s, Path(name), Path(name + u".thumb.png"_s)});
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
        const QImage thumbnail =
            PngFile::Read(ReadFile(Path(name + u".thumb.png"_s)), PictureLimits::kCatalogPicture);
        EXPECT_EQ(thumbnail.size(), QSize(105, 80)) << name.toStdString();
        EXPECT_EQ(qAlpha(thumbnail.pixel(0, 79)), 0);
    }
    EXPECT_EQ(PngFile::Read(ReadFile(Path(u"page.png.thumb.png"_s)), PictureLimits::kCatalogPicture),
              MakeThumbnail(page));
}

TEST_F(PictureCommandsTest, ThumbnailRefusesWhatIsNoPicture)
{
    WriteFile(Path(u"page.html"_s), "<html><body>Not found</body></html>");
    const ToolResult result = Run({u"thumbnail"_s, Path(u"page.html"_s), Path(u"out.png"_s)});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Path(u"out.png"_s)));
}
