// The thumbnail of a captured page next to decoding that page from PNG, in one run. Goal: the
// thumbnail (shrink to 100 x 75, sharpen, frame) costs less than half of the decode, so that
// making thumbnails never shows beside loading the pictures themselves.

#include "pictures/MakeThumbnail.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"

#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// A page as a browser shows one: a title band, blocks of text lines, a picture, white space.
QImage PagePicture()
{
    QImage page(1024, 768, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.fillRect(0, 0, 1024, 72, QColor(0x2F, 0x6F, 0xD0));
    painter.fillRect(0, 72, 1024, 28, QColor(0xEE, 0xF1, 0xF5));
    for (int block = 0; block < 6; ++block) {
        const int top = 130 + block * 100;
        for (int line = 0; line < 5; ++line) {
            int x = 40;
            for (int word = 0; word < 12; ++word) {
                const int width = 20 + (block * 31 + line * 17 + word * 13) % 45;
                painter.fillRect(x, top + line * 16, width, 9, QColor(0x33, 0x3A, 0x45));
                x += width + 7;
                if (x > 600)
                    break;
            }
        }
    }
    for (int y = 0; y < 260; ++y)
        for (int x = 0; x < 340; ++x)
            page.setPixel(650 + x, 140 + y, qRgb((x * 3 + y) % 256, (y * 2 + x / 3) % 256, (x ^ y) % 256));
    return page;
}

const QImage& Page()
{
    static const QImage page = PagePicture();
    return page;
}

const QByteArray& PagePng()
{
    static const QByteArray png = PngFile::Write(Page());
    return png;
}

void DecodePagePng(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(PngFile::Read(PagePng(), PictureLimits::kCatalogPicture));
    state.SetLabel(std::to_string(PagePng().size() / 1024) + " KiB of PNG");
}

void MakePageThumbnail(benchmark::State& state)
{
    const QImage page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(MakeThumbnail(page));
}

} // namespace

BENCHMARK(DecodePagePng)->Unit(benchmark::kMillisecond);
BENCHMARK(MakePageThumbnail)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
