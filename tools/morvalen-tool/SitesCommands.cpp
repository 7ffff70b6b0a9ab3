#include "JsonOutput.h"
#include "ToolCommand.h"

#include "common/Errors.h"
#include "common/FileUtils.h"
#include "sites/SiteBackup.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"

#include <QJsonArray>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

QJsonObject RecordToJson(const TMorvalenBaseClass& record)
{
    const TWindowPlacementRec& placement = record.WindowPlacement();
    return QJsonObject{
        {u"Title"_s, record.Title()},
        {u"URL"_s, record.URL()},
        {u"Description"_s, record.Description()},
        {u"BrowserEngine"_s, record.BrowserEngine()},
        {u"FavIconFileName"_s, record.FavIconFileName()},
        {u"RunAsTrayIcon"_s, record.RunAsTrayIcon()},
        {u"ThumbnailScreenSize"_s, record.ThumbnailScreenSize()},
        {u"WindowPlacement"_s, QJsonObject{{u"Left"_s, placement.Left},
                                           {u"Top"_s, placement.Top},
                                           {u"Width"_s, placement.Width},
                                           {u"Height"_s, placement.Height},
                                           {u"WindowState"_s, placement.WindowState}}},
        {u"ElementId"_s, record.ElementId()},
        {u"RunCount"_s, record.RunCount()},
        {u"TabURLs"_s, QJsonArray::fromStringList(record.TabURLs())},
        {u"UserRating"_s, SingleToJson(record.UserRating())},
        {u"CanRate"_s, record.CanRate()},
        {u"CatalogId"_s, record.CatalogId()},
        {u"MonitorChanges"_s, record.MonitorChanges()},
        {u"MonitorInterval"_s, record.MonitorInterval()},
    };
}

// Reads the keys of one JSON object with their types checked; a missing key leaves the
// target as it is.
class JsonFields
{
public:
    JsonFields(const QJsonObject& object, QString where) : m_object(object), m_where(std::move(where)) {}

    template <typename Setter>
    void String(const char* key, Setter set) const
    {
        if (const QJsonValue value = Find(key); !value.isUndefined()) {
            if (!value.isString())
                Fail(key, "a string");
            set(value.toString());
        }
    }

    template <typename Setter>
    void Boolean(const char* key, Setter set) const
    {
        if (const QJsonValue value = Find(key); !value.isUndefined()) {
            if (!value.isBool())
                Fail(key, "true or false");
            set(value.toBool());
        }
    }

    template <typename Setter>
    void Integer(const char* key, double low, double high, Setter set) const
    {
        if (const QJsonValue value = Find(key); !value.isUndefined()) {
            const double number = value.toDouble();
            if (!value.isDouble() || number != std::trunc(number) || number < low || number > high)
                Fail(key, "a whole number in range");
            set(number);
        }
    }

    template <typename Setter>
    void Number(const char* key, Setter set) const
    {
        if (const QJsonValue value = Find(key); !value.isUndefined()) {
            if (!value.isDouble())
                Fail(key, "a number");
            set(value.toDouble());
        }
    }

    QJsonValue Find(const char* key) const { return m_object.value(QLatin1StringView(key)); }

    [[noreturn]] void Fail(const char* key, const char* expected) const
    {
        throw EMorvalenError(
            u"%1: \"%2\" must be %3."_s.arg(m_where, QLatin1StringView(key), QLatin1StringView(expected)));
    }

private:
    const QJsonObject& m_object;
    QString m_where;
};

constexpr double kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();

std::unique_ptr<TMorvalenBaseClass> RecordFromJson(const QJsonValue& value, qsizetype index)
{
    const QString where = u"records[%1]"_s.arg(index);
    if (!value.isObject())
        throw EMorvalenError(where + u" must be an object."_s);
    const QJsonObject object = value.toObject();
    const JsonFields fields(object, where);

    auto record = std::make_unique<TMorvalenBaseClass>();
    TMorvalenBaseClass& r = *record;
    fields.String("Title", [&](const QString& v) { r.SetTitle(v); });
    fields.String("URL", [&](const QString& v) { r.SetURL(v); });
    fields.String("Description", [&](const QString& v) { r.SetDescription(v); });
    fields.Integer("BrowserEngine", 0, 255, [&](double v) { r.SetBrowserEngine(uint8_t(v)); });
    fields.String("FavIconFileName", [&](const QString& v) { r.SetFavIconFileName(v); });
    fields.Boolean("RunAsTrayIcon", [&](bool v) { r.SetRunAsTrayIcon(v); });
    fields.Integer("ThumbnailScreenSize", 0, 255, [&](double v) { r.SetThumbnailScreenSize(uint8_t(v)); });
    if (const QJsonValue placementValue = fields.Find("WindowPlacement"); !placementValue.isUndefined()) {
        if (!placementValue.isObject())
            fields.Fail("WindowPlacement", "an object");
        const QJsonObject placementObject = placementValue.toObject();
        const JsonFields placementFields(placementObject, where + u".WindowPlacement"_s);
        TWindowPlacementRec p = r.WindowPlacement();
        placementFields.Integer("Left", kInt32Min, kInt32Max, [&](double v) { p.Left = int32_t(v); });
        placementFields.Integer("Top", kInt32Min, kInt32Max, [&](double v) { p.Top = int32_t(v); });
        placementFields.Integer("Width", kInt32Min, kInt32Max, [&](double v) { p.Width = int32_t(v); });
        placementFields.Integer("Height", kInt32Min, kInt32Max, [&](double v) { p.Height = int32_t(v); });
        placementFields.Integer("WindowState", 0, 255, [&](double v) { p.WindowState = uint8_t(v); });
        r.SetWindowPlacement(p.Left, p.Top, p.Width, p.Height, p.WindowState);
    }
    fields.String("ElementId", [&](const QString& v) { r.SetElementId(v); });
    fields.Integer("RunCount", kInt32Min, kInt32Max, [&](double v) { r.SetRunCount(int32_t(v)); });
    if (const QJsonValue tabs = fields.Find("TabURLs"); !tabs.isUndefined()) {
        if (!tabs.isArray())
            fields.Fail("TabURLs", "an array of strings");
        QStringList urls;
        for (const QJsonValue& url : tabs.toArray()) {
            if (!url.isString())
                fields.Fail("TabURLs", "an array of strings");
            urls.append(url.toString());
        }
        r.SetTabURLs(urls);
    }
    fields.Number("UserRating", [&](double v) { r.SetUserRating(float(v)); });
    fields.Boolean("CanRate", [&](bool v) { r.SetCanRate(v); });
    fields.Integer("CatalogId", kInt32Min, kInt32Max, [&](double v) { r.SetCatalogId(int32_t(v)); });
    fields.Boolean("MonitorChanges", [&](bool v) { r.SetMonitorChanges(v); });
    fields.Integer("MonitorInterval", 0, 255, [&](double v) { r.SetMonitorInterval(uint8_t(v)); });
    return record;
}

int PrintSites(const QStringList& arguments)
{
    const QString& path = arguments.at(0);
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        throw EMorvalenError(u"Cannot read \"%1\"."_s.arg(path));
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(*data);
    if (!loaded.headerValid)
        throw EMorvalenError(u"\"%1\" is not a Morvalen Desktop data file."_s.arg(path));
    QJsonArray records;
    for (const auto& record : loaded.records)
        records.append(RecordToJson(*record));
    PrintJson(QJsonObject{{u"records"_s, records}, {u"skipped"_s, loaded.skipped}});
    return 0;
}

int WriteSites(const QStringList& arguments)
{
    const QJsonObject root = ReadJsonObjectFile(arguments.at(0));
    const QJsonValue recordsValue = root.value(u"records"_s);
    if (!recordsValue.isArray())
        throw EMorvalenError(u"\"records\" must be an array."_s);
    const QJsonArray recordsArray = recordsValue.toArray();
    std::vector<std::unique_ptr<TMorvalenBaseClass>> records;
    records.reserve(size_t(recordsArray.size()));
    for (qsizetype i = 0; i < recordsArray.size(); ++i)
        records.push_back(RecordFromJson(recordsArray.at(i), i));
    SitesDataFile::Save(arguments.at(1), records);
    return 0;
}

// The settings file as the program reads it: every group with its keys; the values the
// program understands as it takes them (booleans, numbers), the others as the file has them.
int PrintSiteSettings(const QStringList& arguments)
{
    const QString& path = arguments.at(0);
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        throw EMorvalenError(u"Cannot read \"%1\"."_s.arg(path));
    if (data->size() > TSiteSettings::kMaxFileSize)
        throw EMorvalenError(u"\"%1\" is too large for a settings file."_s.arg(path));
    QJsonObject groups;
    for (const TSiteSettings::TGroup& group : TSiteSettings::Parse(*data)) {
        QJsonObject values;
        for (const auto& [key, value] : group.Entries) {
            const QString lower = value.trimmed().toLower();
            bool isNumber = false;
            const double number = value.trimmed().toDouble(&isNumber);
            if (lower == u"true"_s || lower == u"false"_s)
                values.insert(key, lower == u"true"_s);
            else if (key == u"Zoom"_s && isNumber)
                values.insert(key, number);
            else
                values.insert(key, value);
        }
        groups.insert(group.Name, values);
    }
    PrintJson(QJsonObject{{u"groups"_s, groups}});
    return 0;
}

// The options after the two paths; an unknown one throws.
bool TakeOption(const QStringList& arguments, const QString& option)
{
    for (qsizetype i = 2; i < arguments.size(); ++i)
        if (arguments[i] != option)
            throw EMorvalenError(u"Unknown option \"%1\"."_s.arg(arguments[i]));
    return arguments.size() > 2;
}

int Backup(const QStringList& arguments)
{
    SiteBackup::Write(arguments[0], arguments[1], TakeOption(arguments, u"--sign-ins"_s));
    return 0;
}

int Restore(const QStringList& arguments)
{
    const bool replace = TakeOption(arguments, u"--replace"_s);
    const SiteBackup::RestoreResult result = SiteBackup::Restore(
        arguments[0], arguments[1], [replace](const TMorvalenBaseClass&) { return replace; });
    PrintJson(
        QJsonObject{{u"added"_s, result.added}, {u"replaced"_s, result.replaced}, {u"kept"_s, result.kept}});
    return 0;
}

} // namespace

std::vector<ToolCommand> SitesCommands()
{
    return {
        {"sites", "FILE", 1, PrintSites},
        {"sites-write", "JSON_FILE FILE", 2, WriteSites},
        {"site-settings", "FILE", 1, PrintSiteSettings},
        {"backup", "DATAFOLDER FILE [--sign-ins]", -2, Backup},
        {"restore", "DATAFOLDER FILE [--replace]", -2, Restore},
    };
}
