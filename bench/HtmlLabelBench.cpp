// Parsing and laying out the markup of the tray notification window: 100 lines of
// " <img N> <a N>Title</a> <img delimiter>Text". Goal: under 1 ms for all 100.

#include "markup/HtmlLabel.h"
#include "markup/HtmlMarkup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kLines = 100;

QString NotificationLine(int index)
{
    return u" <img %1> <a %1>%2</a> <img delimiter>%3"_s.arg(index).arg(u"Site number %1"_s.arg(index),
                                                                        u"Page has changed"_s);
}

void ParseOnly(benchmark::State& state)
{
    std::vector<QString> lines;
    for (int i = 0; i < kLines; ++i)
        lines.push_back(NotificationLine(i));
    for (auto _ : state) {
        for (const QString& line : lines)
            benchmark::DoNotOptimize(HtmlMarkup::Parse(line));
    }
}
BENCHMARK(ParseOnly)->Unit(benchmark::kMicrosecond);

void ParseAndLayOut(benchmark::State& state)
{
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::blue);
    QImage delimiter(9, 13, QImage::Format_ARGB32_Premultiplied);
    delimiter.fill(Qt::gray);
    std::vector<std::unique_ptr<THtmlLabel>> labels;
    std::vector<QString> lines;
    for (int i = 0; i < kLines; ++i) {
        auto label = std::make_unique<THtmlLabel>();
        label->resize(300, 16);
        label->OnGetImage = [&](THtmlLabel&, const QString& name, QImage& picture) {
            picture = name == u"delimiter"_s ? delimiter : icon;
        };
        labels.push_back(std::move(label));
        lines.push_back(NotificationLine(i));
    }
    for (auto _ : state) {
        for (int i = 0; i < kLines; ++i) {
            labels[size_t(i)]->SetCaption(lines[size_t(i)]);
            benchmark::DoNotOptimize(labels[size_t(i)]->Phrases().size());
        }
    }
}
BENCHMARK(ParseAndLayOut)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
