#include "CatalogSource.h"

#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// Reads one entry of the source; every complaint names the file and the entry.
class EntryReader final
{
public:
    EntryReader(const QJsonObject& object, QString where) : m_object(object), m_where(std::move(where)) {}

    [[noreturn]] void Fail(const QString& what) const { throw EMorvalenError(m_where + u": "_s + what); }

    bool Has(const QString& key) const { return m_object.contains(key); }

    int32_t Integer(const QString& key, int32_t minimum, int32_t maximum) const
    {
        const QJsonValue value = Required(key);
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || std::floor(number) != number || number < minimum || number > maximum)
            Fail(u"\"%1\" must be a whole number from %2 to %3"_s.arg(key).arg(minimum).arg(maximum));
        return int32_t(number);
    }

    double Number(const QString& key, double minimum, double maximum) const
    {
        const QJsonValue value = Required(key);
        if (!value.isDouble() || value.toDouble() < minimum || value.toDouble() > maximum)
            Fail(u"\"%1\" must be a number from %2 to %3"_s.arg(key).arg(minimum).arg(maximum));
        return value.toDouble();
    }

    // Text that goes into an XML file: no control characters besides line breaks and tabs,
    // which an XML 1.0 document cannot carry at all.
    QString Text(const QString& key, bool allowEmpty = false) const
    {
        const QJsonValue value = Required(key);
        if (!value.isString())
            Fail(u"\"%1\" must be a text"_s.arg(key));
        const QString text = value.toString();
        if (!allowEmpty && text.trimmed().isEmpty())
            Fail(u"\"%1\" must not be empty"_s.arg(key));
        for (const QChar c : text) {
            if ((c.unicode() < 0x20 && c != u'\n' && c != u'\t') || c.unicode() >= 0xFFFE ||
                c.unicode() == 0x7F)
                Fail(u"\"%1\" holds a control character"_s.arg(key));
        }
        return text;
    }

    QString OptionalText(const QString& key, const QString& fallback) const
    {
        return Has(key) ? Text(key) : fallback;
    }

    QString Address(const QString& key) const { return CheckedAddress(key, Text(key)); }

    QString OptionalAddress(const QString& key, const QString& fallback) const
    {
        return Has(key) ? Address(key) : fallback;
    }

    bool Flag(const QString& key) const
    {
        if (!Has(key))
            return false;
        if (!m_object.value(key).isBool())
            Fail(u"\"%1\" must be true or false"_s.arg(key));
        return m_object.value(key).toBool();
    }

    // A blank-separated set of words, each one of allowed.
    QSet<QString> Words(const QString& key, const QStringList& allowed, const QStringList& fallback) const
    {
        const QStringList words = Has(key) ? Text(key, true).split(u' ', Qt::SkipEmptyParts) : fallback;
        for (const QString& word : words) {
            if (!allowed.contains(word))
                Fail(u"\"%1\" may only name %2, not \"%3\""_s.arg(key, allowed.join(u", "_s), word));
        }
        return QSet<QString>(words.begin(), words.end());
    }

private:
    QJsonValue Required(const QString& key) const
    {
        if (!Has(key))
            Fail(u"\"%1\" is missing"_s.arg(key));
        return m_object.value(key);
    }

    QString CheckedAddress(const QString& key, const QString& text) const
    {
        static const QRegularExpression address(u"^https?://[^\\s\"<>\\\\]+$"_s);
        if (!address.match(text).hasMatch())
            Fail(u"\"%1\" must be an http or https address without blanks"_s.arg(key));
        return text;
    }

    const QJsonObject& m_object;
    QString m_where;
};

QJsonObject ObjectAt(const QJsonArray& array, qsizetype index, const QString& where)
{
    if (!array.at(index).isObject())
        throw EMorvalenError(u"%1: entry %2 is not an object"_s.arg(where).arg(index + 1));
    return array.at(index).toObject();
}

QJsonArray ArrayOf(const QJsonObject& object, const QString& key, const QString& where, bool required)
{
    if (!object.contains(key)) {
        if (required)
            throw EMorvalenError(u"%1: \"%2\" is missing"_s.arg(where, key));
        return {};
    }
    if (!object.value(key).isArray())
        throw EMorvalenError(u"%1: \"%2\" must be a list"_s.arg(where, key));
    return object.value(key).toArray();
}

SourceCategory ReadCategory(const QJsonObject& object, const QString& where)
{
    const EntryReader reader(object, where);
    SourceCategory category;
    category.id = reader.Integer(u"id"_s, 0, INT32_MAX);
    category.title = reader.Text(u"title"_s);
    return category;
}

SourceApplication ReadApplication(const QJsonObject& object, const QString& where)
{
    SourceApplication application;
    application.id = EntryReader(object, where).Integer(u"nid"_s, 0, INT32_MAX);
    const EntryReader reader(object, u"%1 (nid %2)"_s.arg(where).arg(application.id));
    application.categoryId = reader.Integer(u"cat"_s, 0, INT32_MAX);
    application.title = reader.Text(u"title"_s);
    application.tagline = reader.Text(u"tagline"_s);
    application.description = reader.Text(u"description"_s);
    application.mainURL = reader.Address(u"main"_s);
    application.signupURL = reader.OptionalAddress(u"signup"_s, application.mainURL);
    application.loginURL = reader.OptionalAddress(u"login"_s, application.mainURL);
    application.appURL = reader.OptionalAddress(u"app"_s, application.mainURL);

    const QStringList browsers{u"ie"_s, u"firefox"_s, u"opera"_s, u"safari"_s};
    const QSet<QString> supported = reader.Words(u"browsers"_s, browsers, browsers);
    application.ie = supported.contains(u"ie"_s);
    application.firefox = supported.contains(u"firefox"_s);
    application.opera = supported.contains(u"opera"_s);
    application.safari = supported.contains(u"safari"_s);

    application.cost = reader.Text(u"cost"_s);
    const QSet<QString> options = reader.Words(u"options"_s, {u"wizard"_s, u"premium"_s}, {});
    application.wizard = options.contains(u"wizard"_s);
    application.premium = options.contains(u"premium"_s);
    application.recommended = reader.Flag(u"recommended"_s);
    application.rating = reader.Number(u"rating"_s, 0.0, 5.0);
    application.popularity = reader.Number(u"popularity"_s, 0.0, 100.0);

    const QDate added = QDate::fromString(reader.Text(u"added"_s), Qt::ISODate);
    if (!added.isValid() || added.year() < 1970)
        reader.Fail(u"\"added\" must be a date YYYY-MM-DD from 1970 on"_s);
    application.dateAdded = added.startOfDay(Qt::UTC).toSecsSinceEpoch();

    application.pictureFormat = reader.OptionalText(u"picture"_s, u"jpg"_s);
    if (application.pictureFormat != u"jpg"_s && application.pictureFormat != u"png"_s &&
        application.pictureFormat != u"gif"_s)
        reader.Fail(u"\"picture\" must be jpg, png or gif"_s);
    return application;
}

SourceVersion ReadVersion(const QJsonObject& object, const QString& where)
{
    const EntryReader reader(object, where);
    static const QRegularExpression pattern(u"^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"_s);
    const QRegularExpressionMatch match = pattern.match(reader.Text(u"version"_s));
    SourceVersion version;
    if (!match.hasMatch())
        reader.Fail(u"\"version\" must read major.minor.release.build"_s);
    int* parts[] = {&version.major, &version.minor, &version.release, &version.build};
    for (int i = 0; i < 4; ++i) {
        *parts[i] = match.captured(i + 1).toInt();
        // The program keeps eight bits of each part.
        if (*parts[i] > 255)
            reader.Fail(u"each part of \"version\" must be at most 255"_s);
    }
    version.description = reader.Text(u"description"_s, true);
    return version;
}

} // namespace

CatalogSource CatalogSource::LoadFromFile(const QString& fileName)
{
    const std::optional<QByteArray> json = FileUtils::ReadWholeFile(fileName);
    if (!json)
        throw EMorvalenError(u"Cannot read the catalog %1"_s.arg(fileName));
    return LoadFromJson(*json, fileName);
}

CatalogSource CatalogSource::LoadFromJson(const QByteArray& json, const QString& fileName)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw EMorvalenError(
            u"%1: not valid JSON at byte %2: %3"_s.arg(fileName).arg(error.offset).arg(error.errorString()));
    if (!document.isObject())
        throw EMorvalenError(u"%1: the catalog must be a JSON object"_s.arg(fileName));
    const QJsonObject root = document.object();

    CatalogSource source;
    QSet<int32_t> categoryIds;
    const QJsonArray categories = ArrayOf(root, u"categories"_s, fileName, true);
    for (qsizetype i = 0; i < categories.size(); ++i) {
        const QString where = u"%1: category %2"_s.arg(fileName).arg(i + 1);
        const QJsonObject object = ObjectAt(categories, i, where);
        SourceCategory category = ReadCategory(object, where);
        const QJsonArray children = ArrayOf(object, u"sub"_s, where, false);
        for (qsizetype j = 0; j < children.size(); ++j) {
            const QString childWhere = u"%1, sub-category %2"_s.arg(where).arg(j + 1);
            category.children.push_back(ReadCategory(ObjectAt(children, j, childWhere), childWhere));
        }
        // The program's category tree refuses a repeated top-level identifier and would find
        // only the first of repeated sub-category identifiers: every identifier is unique.
        for (const int32_t id : [&] {
                 std::vector<int32_t> ids{category.id};
                 for (const SourceCategory& child : category.children)
                     ids.push_back(child.id);
                 return ids;
             }()) {
            if (categoryIds.contains(id))
                throw EMorvalenError(u"%1: category id %2 is used twice"_s.arg(fileName).arg(id));
            categoryIds.insert(id);
        }
        source.m_categories.push_back(std::move(category));
    }
    if (source.m_categories.empty())
        throw EMorvalenError(u"%1: the catalog has no categories"_s.arg(fileName));

    const QJsonArray applications = ArrayOf(root, u"applications"_s, fileName, true);
    source.m_applications.reserve(size_t(applications.size()));
    for (qsizetype i = 0; i < applications.size(); ++i) {
        const QString where = u"%1: application %2"_s.arg(fileName).arg(i + 1);
        SourceApplication application = ReadApplication(ObjectAt(applications, i, where), where);
        if (source.m_applicationIndex.contains(application.id))
            throw EMorvalenError(u"%1: nid %2 is used twice"_s.arg(fileName).arg(application.id));
        if (!categoryIds.contains(application.categoryId))
            throw EMorvalenError(u"%1 (nid %2): category %3 does not exist"_s.arg(where)
                                     .arg(application.id)
                                     .arg(application.categoryId));
        source.m_applicationIndex.insert(application.id, source.m_applications.size());
        source.m_applications.push_back(std::move(application));
    }

    const QJsonArray versions = ArrayOf(root, u"versions"_s, fileName, false);
    for (qsizetype i = 0; i < versions.size(); ++i) {
        const QString where = u"%1: version %2"_s.arg(fileName).arg(i + 1);
        source.m_versions.push_back(ReadVersion(ObjectAt(versions, i, where), where));
    }
    return source;
}

const SourceCategory* CatalogSource::FindCategory(int32_t id) const
{
    for (const SourceCategory& category : m_categories) {
        if (category.id == id)
            return &category;
        for (const SourceCategory& child : category.children) {
            if (child.id == id)
                return &child;
        }
    }
    return nullptr;
}

const SourceApplication* CatalogSource::FindApplication(int32_t id) const
{
    const auto found = m_applicationIndex.constFind(id);
    return found == m_applicationIndex.constEnd() ? nullptr : &m_applications[*found];
}
