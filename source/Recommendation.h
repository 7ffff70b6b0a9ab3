#pragma once

#include <QString>

// The mail that recommends a catalog application to a friend.
namespace Recommendation {

QString Subject(const QString& title);
QString Body(const QString& title, const QString& mainDescription, const QString& applicationUrl,
             const QString& screenshotUrl, const QString& webSite);

} // namespace Recommendation
