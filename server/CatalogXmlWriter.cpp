#include "CatalogXmlWriter.h"

#include <QXmlStreamWriter>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace CatalogXmlWriter {

namespace {

QString Flag(bool value)
{
    // The program takes only this exact text for true.
    return value ? u"True"_s : u"False"_s;
}

void StartDocument(QXmlStreamWriter& writer)
{
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartDocument();
}

void WriteApplication(QXmlStreamWriter& writer, const SourceApplication& application, const QString& baseURL,
                      double userRating)
{
    writer.writeStartElement(u"webapp"_s);
    writer.writeAttribute(u"nid"_s, QString::number(application.id));
    writer.writeAttribute(u"cat_id"_s, QString::number(application.categoryId));

    writer.writeStartElement(u"description"_s);
    writer.writeTextElement(u"title"_s, application.title);
    writer.writeTextElement(u"tagline"_s, application.tagline);
    writer.writeTextElement(u"maindescription"_s, application.description);
    writer.writeEndElement();

    writer.writeStartElement(u"links"_s);
    writer.writeTextElement(u"main_url"_s, application.mainURL);
    writer.writeTextElement(u"signup_url"_s, application.signupURL);
    writer.writeTextElement(u"login_url"_s, application.loginURL);
    writer.writeTextElement(u"app_url"_s, application.appURL);
    writer.writeEndElement();

    writer.writeStartElement(u"images"_s);
    writer.writeTextElement(u"thumbnail_url"_s, baseURL + ThumbnailPath(application));
    writer.writeTextElement(u"screenshot_url"_s, baseURL + ScreenshotPath(application));
    writer.writeEndElement();

    writer.writeEmptyElement(u"browser"_s);
    writer.writeAttribute(u"ie"_s, Flag(application.ie));
    writer.writeAttribute(u"firefox"_s, Flag(application.firefox));
    writer.writeAttribute(u"opera"_s, Flag(application.opera));
    writer.writeAttribute(u"safari"_s, Flag(application.safari));

    writer.writeEmptyElement(u"rating"_s);
    writer.writeAttribute(u"userrating"_s, FormatNumber(userRating));
    // The catalog keeps popularity in percent; clients show it on the 0 to 5 scale of a rating.
    writer.writeAttribute(u"popularity"_s, FormatNumber(application.popularity / 20.0));

    writer.writeEmptyElement(u"price"_s);
    writer.writeAttribute(u"cost"_s, application.cost);

    writer.writeEmptyElement(u"options"_s);
    writer.writeAttribute(u"wizard"_s, Flag(application.wizard));
    writer.writeAttribute(u"premium"_s, Flag(application.premium));

    writer.writeTextElement(u"dateadded"_s, QString::number(application.dateAdded));
    writer.writeEndElement();
}

} // namespace

QByteArray CategoryList(const std::vector<SourceCategory>& categories)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    StartDocument(writer);
    writer.writeStartElement(u"categories"_s);
    for (const SourceCategory& category : categories) {
        writer.writeStartElement(u"category"_s);
        writer.writeAttribute(u"id"_s, QString::number(category.id));
        writer.writeAttribute(u"title"_s, category.title);
        for (const SourceCategory& child : category.children) {
            writer.writeEmptyElement(u"category"_s);
            writer.writeAttribute(u"id"_s, QString::number(child.id));
            writer.writeAttribute(u"title"_s, child.title);
        }
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

QByteArray ApplicationList(const std::vector<const SourceApplication*>& applications, const QString& baseURL,
                           const UserRatingFn& userRating)
{
    // Written as text and encoded once: a writer on bytes encodes every small piece apart.
    // A writer on text leaves the encoding out of the declaration; the bytes are UTF-8.
    QString xml = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"_s;
    xml.reserve(qsizetype(applications.size()) * 1500 + 100);
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartElement(u"webapplications"_s);
    for (const SourceApplication* application : applications)
        WriteApplication(writer, *application, baseURL, userRating(*application));
    writer.writeEndDocument();
    return xml.toUtf8();
}

QByteArray VersionFile(const std::vector<SourceVersion>& versions, const QString& downloadURL)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    StartDocument(writer);
    writer.writeStartElement(u"products"_s);
    writer.writeStartElement(u"product"_s);
    writer.writeAttribute(u"id"_s, u"MorvalenDesktop"_s);
    writer.writeStartElement(u"versions"_s);
    for (const SourceVersion& version : versions) {
        writer.writeStartElement(u"version"_s);
        writer.writeAttribute(u"major"_s, QString::number(version.major));
        writer.writeAttribute(u"minor"_s, QString::number(version.minor));
        writer.writeAttribute(u"release"_s, QString::number(version.release));
        writer.writeAttribute(u"build"_s, QString::number(version.build));
        writer.writeTextElement(u"description"_s, version.description);
        writer.writeTextElement(u"download_url"_s, downloadURL);
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

QString ScreenshotPath(const SourceApplication& application)
{
    return u"/images/screenshot%1.%2"_s.arg(application.id).arg(application.pictureFormat);
}

QString ThumbnailPath(const SourceApplication& application)
{
    return u"/images/thumbnail%1.%2"_s.arg(application.id).arg(application.pictureFormat);
}

QString FormatNumber(double value)
{
    QString text = QString::number(std::round(value * 100.0) / 100.0, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace CatalogXmlWriter
