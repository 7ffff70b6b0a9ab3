#include "TOutsidePopupPage.h"

#include <QDesktopServices>
#include <QTimer>

TOutsidePopupPage::TOutsidePopupPage(QWebEngineProfile* profile) : QWebEnginePage(profile)
{
    // A window that never gets an address (window.open() without one) goes as well.
    QTimer::singleShot(60000, this, &QObject::deleteLater);
}

bool TOutsidePopupPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (!isMainFrame || m_handled)
        return false;
    if (url.isEmpty() || url.toString() == QLatin1String("about:blank"))
        return false;
    m_handled = true;
    QDesktopServices::openUrl(url);
    deleteLater();
    return false;
}
