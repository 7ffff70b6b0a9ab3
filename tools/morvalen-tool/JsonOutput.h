#pragma once

#include <QJsonObject>
#include <QJsonValue>

// Prints the object as one line of JSON on standard output.
void PrintJson(const QJsonObject& object);

// A single as the shortest decimal that reads back as the same single.
QJsonValue SingleToJson(float value);

// The JSON file's top-level object; throws EMorvalenError when it is not one.
QJsonObject ReadJsonObjectFile(const QString& path);
