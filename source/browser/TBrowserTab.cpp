#include "TBrowserTab.h"

#include "BrowserFrames.h"
#include "TfrmInternetBrowser.h"

#include <QVBoxLayout>

TBrowserTab::TBrowserTab(uint8_t engine, bool isHome, bool monitored, const QString& startUrl,
                         QWidget* parent)
    : TBrowserTab(engine, TFrameSite(), isHome, monitored, startUrl, parent)
{}

TBrowserTab::TBrowserTab(uint8_t engine, const TFrameSite& site, bool isHome, bool monitored,
                         const QString& startUrl, QWidget* parent)
    : QWidget(parent), m_isHome(isHome), m_monitored(monitored), m_startUrl(startUrl)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_frame = BrowserFrames::Create(engine, this, site);
    layout->addWidget(m_frame);
    setFocusProxy(m_frame);
}

TBrowserTab::~TBrowserTab()
{
    // Whatever the page still reports on its way out reaches nobody.
    m_frame->disconnect();
    m_frame->NewWindowFrame = nullptr;
    m_frame->Stop();
}
