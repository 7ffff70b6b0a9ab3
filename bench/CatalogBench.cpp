// Reading catalog lists next to pugixml parsing the same files in the same run.
// Goal: reading a list costs at most twice the bare parse, for one list of 10,000
// applications (about 10 MB) and for 100 category files of 1,000 applications each merged
// into one store (half of each file's applications are already known from the one before).

#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTopLevelCategories = 20;
constexpr int kSubCategories = 9;

// Categories 1..20, each with sub-categories id * 100 + 1..9.
void FillTree(TWebCategoryTree& tree)
{
    for (int top = 1; top <= kTopLevelCategories; ++top) {
        TWebCategoryNode& node = tree.AddNode(top, u"Category %1"_s.arg(top));
        for (int sub = 1; sub <= kSubCategories; ++sub)
            node.Children().Add(top * 100 + sub, u"Sub-category %1.%2"_s.arg(top).arg(sub));
    }
}

int32_t CategoryFor(int nid)
{
    const int top = nid % kTopLevelCategories + 1;
    const int sub = nid / kTopLevelCategories % (kSubCategories + 1);
    return sub == 0 ? top : top * 100 + sub;
}

// One webapp element of about 1 KB, like the catalog server writes them.
QByteArray WebApp(int nid)
{
    const QByteArray n = QByteArray::number(nid);
    return "  <webapp nid=\"" + n + "\" cat_id=\"" + QByteArray::number(CategoryFor(nid)) +
           "\">\n"
           "    <description>\n"
           "      <title>Web Application " +
           n +
           "</title>\n"
           "      <tagline>Organise your day &amp; share it with your team</tagline>\n"
           "      <maindescription>Application " +
           n +
           " keeps your tasks, notes and calendars in one place. Invite colleagues, assign "
           "work, comment on it and follow every change as it happens. Everything is stored "
           "online, so it is there on every computer you use, and it works in every modern "
           "browser without installing anything. Plans start free for small teams; larger "
           "teams pay per member and month and get more storage and priority support."
           "</maindescription>\n"
           "    </description>\n"
           "    <links>\n"
           "      <main_url>http://www.app" +
           n + ".example.com/</main_url>\n      <signup_url>http://www.app" + n +
           ".example.com/signup</signup_url>\n      <login_url>http://www.app" + n +
           ".example.com/login</login_url>\n      <app_url>http://app" + n +
           ".example.com/</app_url>\n"
           "    </links>\n"
           "    <images>\n"
           "      <thumbnail_url>http://catalog.example.com/img/thumb/" +
           n + ".png</thumbnail_url>\n      <screenshot_url>http://catalog.example.com/img/shot/" + n +
           ".jpg</screenshot_url>\n"
           "    </images>\n"
           "    <browser ie=\"True\" firefox=\"True\" opera=\"False\" safari=\"True\"/>\n"
           "    <rating userrating=\"4.25\" popularity=\"87.5\"/>\n"
           "    <price cost=\"Free\"/>\n"
           "    <options wizard=\"False\" premium=\"True\"/>\n"
           "    <dateadded>" +
           QByteArray::number(1199145600 + nid * 3600) +
           "</dateadded>\n"
           "  </webapp>\n";
}

QString WriteList(const QString& path, int firstNid, int count)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<webapplications>\n";
    xml.reserve(qsizetype(count) * 1100);
    for (int i = 0; i < count; ++i)
        xml += WebApp(firstNid + i);
    xml += "</webapplications>\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        qFatal("Cannot write %s", qPrintable(path));
    return path;
}

qint64 TotalSize(const QStringList& paths)
{
    qint64 size = 0;
    for (const QString& path : paths)
        size += QFile(path).size();
    return size;
}

// The files live for the whole run, so both sides of each comparison read the same bytes.
struct Files
{
    QTemporaryDir dir;
    QStringList bigList;
    QStringList categoryFiles;

    Files()
    {
        bigList << WriteList(dir.filePath(u"whatsnew.xml"_s), 0, 10000);
        for (int file = 0; file < 100; ++file)
            categoryFiles << WriteList(dir.filePath(u"category%1.xml"_s.arg(file)), file * 500, 1000);
    }
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

void ParseOnly(benchmark::State& state, const QStringList& paths)
{
    for (auto _ : state) {
        for (const QString& path : paths) {
            pugi::xml_document document;
            benchmark::DoNotOptimize(document.load_file(QFile::encodeName(path).constData()));
        }
    }
    state.SetBytesProcessed(state.iterations() * TotalSize(paths));
}

void ReadIntoList(benchmark::State& state, const QStringList& paths)
{
    TWebCategoryTree tree;
    FillTree(tree);
    size_t applications = 0;
    for (auto _ : state) {
        TWebApplicationList list;
        list.OnGetCategory = [&tree](TWebApplicationList&, int32_t id) {
            return tree.FindById(id);
        };
        for (const QString& path : paths) {
            TWebApplicationList::Applications target;
            list.LoadFromFile(path, &target);
            benchmark::DoNotOptimize(target.data());
        }
        applications = size_t(list.Count());
        state.PauseTiming(); // freeing the store is not reading
        list.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * TotalSize(paths));
    state.counters["applications"] = double(applications);
}

void ParseBigList(benchmark::State& state)
{
    ParseOnly(state, TheFiles().bigList);
}

void ReadBigList(benchmark::State& state)
{
    ReadIntoList(state, TheFiles().bigList);
}

void ParseCategoryFiles(benchmark::State& state)
{
    ParseOnly(state, TheFiles().categoryFiles);
}

void MergeCategoryFiles(benchmark::State& state)
{
    ReadIntoList(state, TheFiles().categoryFiles);
}

} // namespace

BENCHMARK(ParseBigList)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBigList)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseCategoryFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(MergeCategoryFiles)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
