#pragma once

#include <QString>

class TWebApplicationClass;

// The mail that recommends a catalog application to a friend.
namespace Recommendation {

QString Subject(const QString& title);
QString Body(const QString& title, const QString& mainDescription, const QString& applicationUrl,
             const QString& screenshotUrl, const QString& webSite);

// Hands the recommendation of the application to the user's mail client, with no recipient;
// webSite is the program's web site named in the body. False without an application or
// when no mail client could be started.
bool RecommendApplication(const TWebApplicationClass* application, const QString& webSite);

} // namespace Recommendation
