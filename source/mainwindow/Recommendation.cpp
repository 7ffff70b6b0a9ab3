#include "Recommendation.h"

#include "catalog/TWebApplicationClass.h"
#include "platform/MailClient.h"

using namespace Qt::Literals::StringLiterals;

namespace Recommendation {

QString Subject(const QString& title)
{
    return u"New Web 2.0 Application Recommendation: %1\r\n"_s.arg(title);
}

QString Body(const QString& title, const QString& mainDescription, const QString& applicationUrl,
             const QString& screenshotUrl, const QString& webSite)
{
    return u"I thought you would like to check out this great new Web 2.0 application I just found:\r\n\r\n\r\n"_s +
           u'\t' + title + u"\r\n\r\n\r\n"_s + u'\t' + mainDescription + u"\r\n\r\n\r\n"_s + u'\t' +
           applicationUrl + u"\r\n"_s + u"\tScreenshot: "_s + screenshotUrl + u"\r\n\r\n\r\n"_s +
           u"This Web 2.0 application is brought to you by Morvalen. Visit us at "_s + webSite +
           u"\r\n\r\n"_s + u"Thank You!"_s;
}

bool RecommendApplication(const TWebApplicationClass* application, const QString& webSite)
{
    if (!application)
        return false;
    // Entries without an address of the application itself still have their home page.
    const QString address = application->AppURL().isEmpty() ? application->MainURL() : application->AppURL();
    return MailClient::SendMailToClient(QString(), Subject(application->Title()),
                                        Body(application->Title(), application->MainDescription(), address,
                                             application->ScreenshotURL(), webSite));
}

} // namespace Recommendation
