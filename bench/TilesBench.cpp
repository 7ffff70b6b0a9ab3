// Painting the Installed tab: 500 site tiles with thumbnails, icons, addresses and
// descriptions (some wrapping into two lines), laid out as the tab lays them out, into one
// off-screen image. Goal: under 100 ms for all 500.

#include "pictures/MakeThumbnail.h"
#include "pictures/TExIcon.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"

#include <QApplication>
#include <QPainter>
#include <QScrollArea>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTiles = 500;
constexpr int kColumns = 4;

QImage Page(int index)
{
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(QColor::fromHsv((index * 37) % 360, 90, 240));
    QPainter painter(&page);
    painter.fillRect(0, 0, 800, 80, QColor::fromHsv((index * 37) % 360, 200, 180));
    for (int line = 0; line < 20; ++line)
        painter.fillRect(40, 120 + line * 22, 500 + (line * 31) % 200, 10, QColor(0xC8, 0xCC, 0xD4));
    return page;
}

struct InstalledTab
{
    InstalledTab()
    {
        TExIcon icon;
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(QColor(0x2F, 0x6F, 0xC8));
        icon.SetPictures({picture}, IconImageData::pf32bit);
        // A few distinct thumbnails, each tile holding its own copy as it would.
        std::vector<QImage> thumbnails;
        for (int i = 0; i < 8; ++i)
            thumbnails.push_back(MakeThumbnail(Page(i)));

        for (int i = 0; i < kTiles; ++i) {
            auto record = std::make_unique<TMorvalenBaseClass>();
            record->SetTitle(u"Installed site number %1"_s.arg(i));
            record->SetURL(u"http://site%1.example.com/start/page.html"_s.arg(i));
            if (i % 3 == 0)
                record->SetTabURLs({u"http://site%1.example.com/a"_s.arg(i)});
            record->SetDescription(i % 2 ? u"A short description"_s
                                         : u"A longer description of the site that needs two lines of "
                                           u"the tile and ends in an ellipsis when it is cut off"_s);
            record->SetShortcutKinds(i % 5 == 0 ? 1 : 0);
            auto tile = std::make_unique<TMVWebElement>();
            tile->SetMorvalenItem(record.get());
            tile->SetIcon(icon);
            if (i % 10 != 9)
                tile->SetThumbnail(thumbnails[size_t(i) % thumbnails.size()]);
            tile->SetHasBrowser(i % 7 == 0);
            tile->ForceFocusLook(i == 0);
            records.push_back(std::move(record));
            tiles.push_back(std::move(tile));
        }
    }

    std::vector<std::unique_ptr<TMorvalenBaseClass>> records;
    std::vector<std::unique_ptr<TMVWebElement>> tiles;
};

void PaintInstalledTab(benchmark::State& state)
{
    InstalledTab tab;
    const int rows = (kTiles + kColumns - 1) / kColumns;
    QImage canvas(10 + kColumns * 290, 20 + rows * 100, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&canvas);
        for (int i = 0; i < kTiles; ++i) {
            const QPoint at(10 + (i % kColumns) * 290, 20 + (i / kColumns) * 100);
            tab.tiles[size_t(i)]->render(&painter, at, QRegion(), QWidget::DrawWindowBackground);
        }
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
    state.counters["tiles"] = kTiles;
}
BENCHMARK(PaintInstalledTab)->Unit(benchmark::kMillisecond);

// The cards alone, without sites: what every tile costs before its texts and pictures.
void PaintBareTiles(benchmark::State& state)
{
    std::vector<std::unique_ptr<TMVWebElement>> tiles;
    for (int i = 0; i < kTiles; ++i) {
        tiles.push_back(std::make_unique<TMVWebElement>());
        tiles.back()->ForceFocusLook(false);
    }
    QImage canvas(10 + kColumns * 290, 20 + 125 * 100, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&canvas);
        for (int i = 0; i < kTiles; ++i)
            tiles[size_t(i)]->render(&painter, QPoint(10 + (i % kColumns) * 290, 20 + (i / kColumns) * 100),
                                     QRegion(), QWidget::DrawWindowBackground);
    }
}
BENCHMARK(PaintBareTiles)->Unit(benchmark::kMillisecond);

// The Installed tab with 1,000 sites on screen, resized between two widths: each resize lays
// every tile out again. Goal: under 16 ms a resize, one frame.
void LayoutAfterResize(benchmark::State& state)
{
    QScrollArea box;
    box.resize(1200, 800);
    TMVVisualManager manager;
    manager.SetScrollBox(&box);
    for (int i = 0; i < 1000; ++i) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(u"Site %1"_s.arg(i));
        site->SetURL(u"http://site%1.example/"_s.arg(i));
        manager.AddItem(std::move(site));
    }
    box.show();
    QCoreApplication::processEvents();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        box.resize(wide ? 1500 : 1200, 800);
    }
    state.counters["tiles"] = manager.Count();
}
BENCHMARK(LayoutAfterResize)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setFont(QFont(u"Tahoma"_s, 8));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
