#include "pictures/PictureLimits.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

using namespace Qt::Literals::StringLiterals;
using namespace PictureSamples;

// Hostile pictures as a catalog server or a web site could send them: headers that claim
// gigabytes over a few kilobytes of data. Each is decoded in a child process as the program's
// use would, and that process's peak memory is the measure.
namespace {

// What a decode may take beyond its pixels: libjpeg's tables and buffers, row buffers.
constexpr long long kWorkingBytes = 16LL * 1024 * 1024;
// A picture refused before its pixels are allocated takes next to nothing.
constexpr long long kRefusalBytes = 8LL * 1024 * 1024;

struct ProbeResult
{
    QString outcome;
    long long growth = -1;
};

ProbeResult Probe(const QString& use, const QByteArray& file)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"picture"_s);
    WriteFile(path, file);
    QProcess probe;
    probe.start(QStringLiteral(PICTURE_MEMORY_PROBE), {use, path});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return {};
    const QStringList lines =
        QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.size() != 2 || !lines[1].startsWith(u"growth "_s))
        return {};
    return {lines[0], lines[1].mid(7).toLongLong()};
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& body)
{
    char length[4];
    qToBigEndian(uint32_t(body.size()), length);
    png.append(length, 4);
    const QByteArray typed = QByteArray(type) + body;
    png.append(typed);
    char crc[4];
    qToBigEndian(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))), crc);
    png.append(crc, 4);
}

// A valid 8-bit grey PNG, all black, compressed row by row so the test never holds its pixels.
QByteArray BlackGreyPng(uint32_t width, uint32_t height)
{
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 8; // bit depth; colour type 0 (grey), no interlace
    QByteArray png = QByteArray::fromHex("89504e470d0a1a0a");
    AppendChunk(png, "IHDR", header);

    z_stream stream{};
    deflateInit(&stream, 9);
    QByteArray compressed;
    std::vector<Bytef> row(size_t(width) + 1, 0);
    std::vector<Bytef> out(1 << 16);
    for (uint32_t y = 0; y < height; ++y) {
        stream.next_in = row.data();
        stream.avail_in = uInt(row.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            deflate(&stream, flush);
            compressed.append(reinterpret_cast<const char*>(out.data()),
                              qsizetype(out.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", {});
    return png;
}

// A real JPEG's header with its frame set to width x height and nothing after the scan
// header: no picture data at all. A comment pads it to 66 KB.
QByteArray JpegHeaderOnly(uint16_t width, uint16_t height)
{
    QByteArray jpeg = MakeJpeg(ColourfulPicture(24, 16, false));
    const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc0"));
    qToBigEndian(height, jpeg.data() + frame + 5);
    qToBigEndian(width, jpeg.data() + frame + 7);
    const qsizetype scan = jpeg.indexOf(QByteArray::fromHex("ffda"));
    jpeg.truncate(scan + 2 + qFromBigEndian<uint16_t>(jpeg.data() + scan + 2));
    QByteArray comment = QByteArray::fromHex("fffe");
    char length[2];
    qToBigEndian(uint16_t(65000 + 2), length);
    comment.append(length, 2).append(QByteArray(65000, 'x'));
    jpeg.insert(2, comment);
    return jpeg;
}

// A GIF whose screen and frame are width x height, cut short inside 69 KB of frame data.
QByteArray GifCutShort(uint16_t width, uint16_t height)
{
    QByteArray gif("GIF89a");
    char size[4];
    qToLittleEndian(width, size);
    qToLittleEndian(height, size + 2);
    gif.append(size, 4).append(QByteArray::fromHex("800000")).append(QByteArray::fromHex("000000ffffff"));
    gif.append(',').append(QByteArray(4, '\0')).append(size, 4).append('\0');
    gif.append('\x02'); // LZW code size
    while (gif.size() < 69 * 1024)
        gif.append('\xff').append(QByteArray(255, '\x55'));
    return gif;
}

void ExpectRefusedWithLittleMemory(const QString& use, const QByteArray& file, const char* what)
{
    const ProbeResult result = Probe(use, file);
    ASSERT_GE(result.growth, 0) << what << ": the probe did not report";
    EXPECT_TRUE(result.outcome.startsWith(u"refused "_s)) << what << ": " << result.outcome.toStdString();
    EXPECT_LT(result.growth, kRefusalBytes) << what;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "memory figures mean nothing under AddressSanitizer"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

TEST(PictureFile, HostileHeadersAreRefusedBeforeTheirPixelsAreTaken)
{
    SKIP_UNDER_SANITIZERS();
    // Beyond the screenshots' limit, and within it: a header is never decoded as grey.
    ExpectRefusedWithLittleMemory(u"catalog"_s, JpegHeaderOnly(16384, 16384), "JPEG header 16384 x 16384");
    ExpectRefusedWithLittleMemory(u"catalog"_s, JpegHeaderOnly(4000, 4000), "JPEG header 4000 x 4000");
    ExpectRefusedWithLittleMemory(u"catalog"_s, GifCutShort(16384, 16384), "GIF 16384 x 16384 cut short");
    ExpectRefusedWithLittleMemory(u"catalog"_s, GifCutShort(4000, 4000), "GIF 4000 x 4000 cut short");

    const QByteArray hugeGrey = BlackGreyPng(16384, 16384);
    EXPECT_LT(hugeGrey.size(), 300 * 1024);
    ExpectRefusedWithLittleMemory(u"page"_s, hugeGrey, "PNG 16384 x 16384");
    ExpectRefusedWithLittleMemory(u"icon"_s, IconFile({{hugeGrey, 0, 0, 0, 32}}),
                                  "icon of a 16384 x 16384 PNG");
    ExpectRefusedWithLittleMemory(u"named"_s, BlackGreyPng(2048, 2048), "named picture 2048 x 2048");
}

TEST(PictureFile, PicturesAtTheLimitDecodeWithinFourBytesAPixel)
{
    SKIP_UNDER_SANITIZERS();
    // The largest page picture allowed, through the whole thumbnail maker: no full-size copy.
    const ProbeResult page = Probe(u"page"_s, BlackGreyPng(4096, 4096));
    EXPECT_EQ(page.outcome, u"decoded 105x80"_s);
    EXPECT_GE(page.growth, 0);
    EXPECT_LT(page.growth, 4 * PictureLimits::kPagePicture + kWorkingBytes);

    const ProbeResult progressive = Probe(u"catalog"_s, MakeJpeg(ColourfulPicture(2048, 2048, false), true));
    EXPECT_EQ(progressive.outcome, u"decoded 2048x2048"_s);
    EXPECT_GE(progressive.growth, 0);
    EXPECT_LT(progressive.growth, 4 * PictureLimits::kCatalogPicture + kWorkingBytes);

    const ProbeResult icon = Probe(u"icon"_s, IconFile({{BlackGreyPng(1024, 1024), 0, 0, 0, 32}}));
    EXPECT_EQ(icon.outcome, u"decoded 1024x1024"_s);
    EXPECT_LT(icon.growth, 4 * PictureLimits::kIconImage + kWorkingBytes);
}
