#include "JsonOutput.h"

#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <charconv>
#include <cstdio>
#include <string>

using namespace Qt::Literals::StringLiterals;

void PrintJson(const QJsonObject& object)
{
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fputc('\n', stdout);
}

QJsonValue SingleToJson(float value)
{
    // The double nearest to the single's shortest text prints as that text again.
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), value);
    return std::stod(std::string(text, result.ptr));
}

QJsonObject ReadJsonObjectFile(const QString& path)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        throw EMorvalenError(u"Cannot read \"%1\"."_s.arg(path));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*data, &error);
    if (error.error != QJsonParseError::NoError)
        throw EMorvalenError(
            u"\"%1\" is not valid JSON: %2 at offset %3."_s.arg(path, error.errorString()).arg(error.offset));
    if (!document.isObject())
        throw EMorvalenError(u"\"%1\" does not hold a JSON object."_s.arg(path));
    return document.object();
}
