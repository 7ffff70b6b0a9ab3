#include "SiteRating.h"

#include "TMorvalenBaseClass.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "stores/TDownloadThread.h"

using namespace Qt::Literals::StringLiterals;

namespace SiteRating {

float CurrentRating(const TMorvalenBaseClass& site, const TWebApplicationList& applications)
{
    if (const TWebApplicationClass* application = applications.FindById(site.CatalogId()))
        return application->UserRating();
    return site.UserRating();
}

QString Address(const QString& server, int32_t applicationId, int rating)
{
    QString base = server;
    while (base.endsWith(u'/'))
        base.chop(1);
    return base + u"/link/update.php?imgId=%1&rating=%2"_s.arg(applicationId).arg(rating);
}

void Send(const QString& server, int32_t applicationId, int rating, QObject* owner)
{
    auto* worker = new TDownloadThread(Address(server, applicationId, rating), {}, owner);
    worker->SetFreeOnTerminate(true);
    worker->Start();
}

void Rate(TMorvalenBaseClass& site, int rating, const QString& server, QObject* owner)
{
    Send(server, site.CatalogId(), rating, owner);
    site.SetCanRate(false);
}

} // namespace SiteRating
