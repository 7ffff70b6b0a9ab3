#pragma once

#include <QString>

#include <cstdint>

class QObject;
class TMorvalenBaseClass;
class TWebApplicationList;

// Rating an installed site on the catalog server.
namespace SiteRating {

// The rating the dialog starts from: the catalog's user rating of the site's application
// when the list knows it, else the rating stored with the site.
float CurrentRating(const TMorvalenBaseClass& site, const TWebApplicationList& applications);

// server (with or without a trailing "/") + "/link/update.php?imgId=ID&rating=R".
QString Address(const QString& server, int32_t applicationId, int rating);

// Sends the rating once through a download worker of its own and forgets it: the answer is
// not looked at. The worker frees itself when done, or is stopped when owner goes.
void Send(const QString& server, int32_t applicationId, int rating, QObject* owner);

// Sends the chosen rating for the site and marks it as rated, whether or not the request
// reaches the server. The caller saves the sites afterwards.
void Rate(TMorvalenBaseClass& site, int rating, const QString& server, QObject* owner);

} // namespace SiteRating
