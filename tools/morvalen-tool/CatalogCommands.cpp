#include "JsonOutput.h"
#include "ToolCommand.h"

#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"
#include "common/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

using namespace Qt::Literals::StringLiterals;

namespace {

// The readers treat a missing list as "nothing to read"; here a wrong path is the
// user's mistake and is told as such.
void RequireReadableFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw EMorvalenError(u"Cannot read \"%1\"."_s.arg(path));
}

QJsonObject CategoryToJson(const TWebCategoryClass& category)
{
    return QJsonObject{{u"ID"_s, category.ID()}, {u"Title"_s, category.Title()}};
}

QJsonArray TreeToJson(const TWebCategoryTree& tree)
{
    QJsonArray nodes;
    for (int i = 0; i < tree.Count(); ++i) {
        const TWebCategoryNode& node = tree.Nodes(i);
        QJsonArray children;
        for (int j = 0; j < node.Children().Count(); ++j)
            children.append(CategoryToJson(node.Children().Items(j)));
        QJsonObject object = CategoryToJson(node.Category());
        object.insert(u"Children"_s, children);
        nodes.append(object);
    }
    return nodes;
}

QJsonObject ApplicationToJson(const TWebApplicationClass& application)
{
    const TWebCategoryClass* category = application.Category();
    return QJsonObject{
        {u"ID"_s, application.ID()},
        {u"Title"_s, application.Title()},
        {u"Tagline"_s, application.Tagline()},
        {u"MainDescription"_s, application.MainDescription()},
        {u"MainURL"_s, application.MainURL()},
        {u"SignupURL"_s, application.SignupURL()},
        {u"LoginURL"_s, application.LoginURL()},
        {u"AppURL"_s, application.AppURL()},
        {u"ThumbnailURL"_s, application.ThumbnailURL()},
        {u"ScreenshotURL"_s, application.ScreenshotURL()},
        {u"IE"_s, application.IE()},
        {u"FireFox"_s, application.FireFox()},
        {u"Opera"_s, application.Opera()},
        {u"Safari"_s, application.Safari()},
        {u"UserRating"_s, SingleToJson(application.UserRating())},
        {u"Popularity"_s, SingleToJson(application.Popularity())},
        {u"Cost"_s, application.Cost()},
        {u"Wizard"_s, application.Wizard()},
        {u"Premium"_s, application.Premium()},
        {u"DateAdded"_s, application.DateAdded()},
        {u"Category"_s, category ? QJsonValue(category->ID()) : QJsonValue(QJsonValue::Null)},
    };
}

int PrintCategories(const QStringList& arguments)
{
    TWebCategoryTree tree;
    tree.LoadFromFile(arguments.at(0));
    PrintJson(QJsonObject{{u"categories"_s, TreeToJson(tree)}});
    return 0;
}

int PrintCatalog(const QStringList& arguments)
{
    for (const QString& path : arguments.mid(1))
        RequireReadableFile(path);

    TWebCategoryTree tree;
    tree.LoadFromFile(arguments.at(0));
    TWebApplicationList applications;
    applications.OnGetCategory = [&tree](TWebApplicationList&, int32_t categoryId) {
        return tree.FindById(categoryId);
    };

    QJsonArray lists;
    for (const QString& path : arguments.mid(1)) {
        TWebApplicationList::Applications target;
        applications.LoadFromFile(path, &target);
        QJsonArray ids;
        for (const TWebApplicationClass* application : target)
            ids.append(application->ID());
        lists.append(ids);
    }
    QJsonArray items;
    for (int i = 0; i < applications.Count(); ++i)
        items.append(ApplicationToJson(applications.Items(i)));
    PrintJson(QJsonObject{{u"lists"_s, lists}, {u"applications"_s, items}});
    return 0;
}

int PrintVersion(const QStringList& arguments)
{
    RequireReadableFile(arguments.at(0));
    TRemoteVersion version;
    version.LoadFromFile(arguments.at(0));
    PrintJson(QJsonObject{
        {u"found"_s, version.Found()},
        {u"Version"_s, VersionText(version.Version())},
        {u"Packed"_s, double(version.Version())},
        {u"Description"_s, version.Description()},
        {u"DownloadURL"_s, version.DownloadURL()},
    });
    return 0;
}

} // namespace

std::vector<ToolCommand> CatalogCommands()
{
    return {
        {"categories", "FILE", 1, PrintCategories},
        {"catalog", "CATEGORIES_FILE LIST_FILE...", -2, PrintCatalog},
        {"version", "FILE", 1, PrintVersion},
    };
}
