#include "DesktopHandler.h"

#include <QDesktopServices>

DesktopHandler::DesktopHandler(const QString& scheme) : m_scheme(scheme)
{
    QDesktopServices::setUrlHandler(scheme, this, "Open");
}

DesktopHandler::~DesktopHandler()
{
    QDesktopServices::unsetUrlHandler(m_scheme);
}

void DesktopHandler::Open(const QUrl& url)
{
    Opened.append(url);
}
