// morvalen-catalog-generator: writes a synthetic catalog of any size for benchmarks and load
// tests of the catalog server.
//
//   morvalen-catalog-generator --applications N --categories M [--sub-categories K]
//                              [--seed S] --output DIR
//
// DIR/catalog.json gets M top-level categories with K sub-categories each (default 3) and N
// applications spread over the sub-categories. The same arguments give the same file.

#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

const char kUsage[] =
    "usage: morvalen-catalog-generator --applications N --categories M [--sub-categories K]\n"
    "                                  [--seed S] --output DIR\n";

const QStringList kWords = {u"cloud"_s,  u"mail"_s,   u"notes"_s,  u"photo"_s, u"music"_s, u"task"_s,
                            u"chart"_s,  u"map"_s,    u"travel"_s, u"code"_s,  u"chat"_s,  u"video"_s,
                            u"budget"_s, u"design"_s, u"news"_s,   u"learn"_s, u"shop"_s,  u"team"_s};

struct Arguments
{
    int applications = -1;
    int categories = -1;
    int subCategories = 3;
    quint32 seed = 1;
    QString output;
};

int Number(const QString& name, const QString& value, int minimum, int maximum)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        throw EMorvalenError(u"%1 must be a number from %2 to %3"_s.arg(name).arg(minimum).arg(maximum));
    return number;
}

Arguments Parse(const QStringList& arguments)
{
    Arguments parsed;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (i + 1 >= arguments.size())
            throw EMorvalenError(u"%1 needs a value"_s.arg(name));
        const QString value = arguments[++i];
        if (name == u"--applications"_s)
            parsed.applications = Number(name, value, 0, 10000000);
        else if (name == u"--categories"_s)
            parsed.categories = Number(name, value, 1, 100000);
        else if (name == u"--sub-categories"_s)
            parsed.subCategories = Number(name, value, 1, 1000);
        else if (name == u"--seed"_s)
            parsed.seed = quint32(Number(name, value, 0, INT32_MAX));
        else if (name == u"--output"_s)
            parsed.output = value;
        else
            throw EMorvalenError(u"unknown option %1"_s.arg(name));
    }
    if (parsed.applications < 0 || parsed.categories < 0 || parsed.output.isEmpty())
        throw EMorvalenError(u"--applications, --categories and --output are required"_s);
    return parsed;
}

QString Words(QRandomGenerator& random, int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i)
        words.append(kWords[random.bounded(int(kWords.size()))]);
    return words.join(u' ');
}

QJsonObject Application(QRandomGenerator& random, int id, int categoryId)
{
    static const char* const kPictures[] = {"jpg", "jpg", "jpg", "png", "gif"};
    const QString title = u"App %1 %2"_s.arg(id).arg(Words(random, 1));
    const QString address = u"https://app%1.example.com/"_s.arg(id);
    return QJsonObject{
        {u"nid"_s, id},
        {u"cat"_s, categoryId},
        {u"title"_s, title},
        {u"tagline"_s, Words(random, 4)},
        {u"description"_s, QString(u"A synthetic application about "_s + Words(random, 12) + u"."_s)},
        {u"main"_s, address},
        {u"signup"_s, QString(address + u"signup"_s)},
        {u"login"_s, QString(address + u"login"_s)},
        {u"app"_s, QString(address + u"app"_s)},
        {u"cost"_s, random.bounded(3) == 0 ? u"Paid"_s : u"Free"_s},
        {u"rating"_s, random.bounded(51) / 10.0},
        {u"popularity"_s, random.bounded(10001) / 100.0},
        {u"added"_s, QDate(2005, 1, 1).addDays(random.bounded(7000)).toString(Qt::ISODate)},
        {u"recommended"_s, random.bounded(10) == 0},
        {u"picture"_s, QString::fromLatin1(kPictures[random.bounded(5)])},
    };
}

int Run(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (QCoreApplication::arguments().contains(u"--help"_s)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const Arguments arguments = Parse(QCoreApplication::arguments());
    QRandomGenerator random(arguments.seed);

    QJsonArray categories;
    QList<int> leaves;
    for (int i = 1; i <= arguments.categories; ++i) {
        QJsonArray children;
        for (int j = 1; j <= arguments.subCategories; ++j) {
            const int id = i * 10000 + j;
            children.append(QJsonObject{{u"id"_s, id}, {u"title"_s, u"Sub-category %1.%2"_s.arg(i).arg(j)}});
            leaves.append(id);
        }
        categories.append(
            QJsonObject{{u"id"_s, i}, {u"title"_s, u"Category %1"_s.arg(i)}, {u"sub"_s, children}});
    }
    QJsonArray applications;
    for (int id = 1; id <= arguments.applications; ++id)
        applications.append(Application(random, id, leaves[(id - 1) % leaves.size()]));

    const QJsonObject root{
        {u"versions"_s,
         QJsonArray{QJsonObject{{u"version"_s, u"1.0.0.0"_s}, {u"description"_s, u"Synthetic"_s}}}},
        {u"categories"_s, categories},
        {u"applications"_s, applications},
    };
    if (!QDir().mkpath(arguments.output))
        throw EMorvalenError(u"Cannot create the folder %1"_s.arg(arguments.output));
    FileUtils::WriteFileAtomically(QDir(arguments.output).filePath(u"catalog.json"_s),
                                   QJsonDocument(root).toJson(QJsonDocument::Compact));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const EMorvalenError& error) {
        std::fprintf(stderr, "morvalen-catalog-generator: %s\n%s", error.what(), kUsage);
        return 1;
    }
}
