// A site window's own ways: its browsing settings, its zoom, and its tabs' sleep while the
// user is away.

#include "TCustomInternetBrowserWindow.h"

#include "TBrowserTab.h"
#include "TfrmInternetBrowser.h"
#include "platform/FreedMemory.h"
#include "sites/TSiteSettings.h"

#include <QLoggingCategory>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>

Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

using namespace Qt::Literals::StringLiterals;

double TCustomInternetBrowserWindow::HibernateAfterMinutes(const TSiteSettings* settings)
{
    // A week is longer than anyone leaves a window untouched on purpose, and keeps the timer's
    // milliseconds in range.
    constexpr double kMaxMinutes = 7 * 24 * 60;
    if (!settings)
        return kDefaultHibernateMinutes;
    bool ok = false;
    const double value =
        settings->Value(QString::fromUtf16(TSiteSettings::kGeneralGroup), u"HibernateAfterMinutes"_s)
            .trimmed()
            .toDouble(&ok);
    if (ok && std::isfinite(value) && value >= 0)
        return std::min(value, kMaxMinutes);
    return kDefaultHibernateMinutes;
}

std::optional<std::chrono::milliseconds>
TCustomInternetBrowserWindow::HibernateDelay(const TSiteSettings* settings, const QString& elementId)
{
    if (elementId.isEmpty())
        return std::nullopt;
    if (settings &&
        settings->Value(elementId, u"Hibernate"_s).trimmed().compare(u"never"_s, Qt::CaseInsensitive) == 0)
        return std::nullopt;
    const double minutes = HibernateAfterMinutes(settings);
    if (minutes == 0)
        return std::nullopt;
    return std::chrono::milliseconds(std::max<long long>(1, std::llround(minutes * 60000)));
}

void TCustomInternetBrowserWindow::BuildHibernation()
{
    m_hibernation = new QTimer(this);
    m_hibernation->setSingleShot(true);
    connect(m_hibernation, &QTimer::timeout, this, [this] {
        if (m_windowActive)
            return;
        // What the pages' views held stays with the program's allocator until it is given back.
        if (Hibernate())
            ReleaseFreedMemoryLater(this);
        // A tab that plays sound or captures now may stop: it is asked again after another
        // delay, as the rest of an idle browser's tabs would be.
        for (int index = 0; index < TabCount(); ++index) {
            const TBrowserTab* tab = Tab(index);
            if (!tab->Monitored() && !tab->Frame()->Sleeping() && tab->Frame()->KeepsAwake()) {
                ArmHibernation();
                break;
            }
        }
    });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (isVisible() && !isMinimized())
            WakeCurrentTab();
        UpdateSleeping();
    });
}

void TCustomInternetBrowserWindow::ArmHibernation()
{
    if (m_destroying || m_windowActive || m_hibernation->isActive())
        return;
    if (const auto delay = HibernateDelay(m_siteSettings, m_elementId))
        m_hibernation->start(*delay);
}

bool TCustomInternetBrowserWindow::Hibernate()
{
    bool slept = false;
    for (int index = 0; index < TabCount(); ++index) {
        TBrowserTab* tab = Tab(index);
        // The change monitor reads the watched page: asleep, it would never see it change.
        if (!tab->Monitored() && tab->Frame()->PutToSleep()) {
            qCDebug(lcBrowser) << "tab asleep:" << tab->Frame()->GetLocationURL();
            slept = true;
        }
    }
    return slept;
}

bool TCustomInternetBrowserWindow::Sleeping() const
{
    const TBrowserTab* tab = ActiveTab();
    return tab && tab->Frame()->Sleeping();
}

void TCustomInternetBrowserWindow::UpdateSleeping()
{
    const bool sleeping = Sleeping();
    if (sleeping != m_tray->Sleeping()) {
        m_tray->SetSleeping(sleeping);
        emit SleepingChanged(sleeping);
    }
}

void TCustomInternetBrowserWindow::ReleaseNativeWindowLater()
{
    // A WebKit window keeps its own: the host's page windows are embedded in it and the host
    // ends an asleep page's window in its own time; destroyed with it before then, that
    // window would take the host down.
    if (m_engine != beInternetExplorer)
        return;
    // Out of the event that hid the window or put its last page to sleep, which the native
    // window may still be delivering.
    QTimer::singleShot(0, this, [this] {
        if (m_destroying || isVisible() || !internalWinId() || !m_pagesOpened || TabCount() == 0)
            return;
        for (int index = 0; index < TabCount(); ++index)
            if (!Tab(index)->Frame()->EngineAsleep())
                return;
        // Nothing of it is on screen, yet the native window keeps what it is drawn with: its
        // picture and, where it composes through OpenGL, the context and buffers that do
        // that, about 20 MiB a window.
        qCDebug(lcBrowser) << "native window released:" << windowTitle();
        destroy();
        ReleaseFreedMemoryLater(this);
    });
}

void TCustomInternetBrowserWindow::WakeCurrentTab()
{
    TBrowserTab* tab = ActiveTab();
    if (tab && tab->Frame()->Sleeping()) {
        tab->Frame()->Wake();
        qCDebug(lcBrowser) << "tab awake:" << tab->Frame()->GetLocationURL();
    }
}

void TCustomInternetBrowserWindow::SetSiteSettings(TSiteSettings* settings, const QString& elementId)
{
    if (m_siteSettings)
        m_siteSettings->disconnect(this);
    m_siteSettings = settings;
    m_elementId = elementId;
    m_zoomFactor = settings ? settings->Zoom(elementId) : 1.0;
    if (!settings)
        return;
    // The site dialog may change the zoom while the window is open.
    connect(settings, &TSiteSettings::SiteChanged, this, [this](const QString& changed) {
        const double factor = m_siteSettings->Zoom(m_elementId);
        if (changed != m_elementId || qFuzzyCompare(factor, m_zoomFactor))
            return;
        m_zoomFactor = factor;
        for (int i = 0; i < TabCount(); ++i)
            Tab(i)->Frame()->SetZoomFactor(factor);
    });
}

TFrameSite TCustomInternetBrowserWindow::FrameSite() const
{
    TFrameSite site;
    if (!m_siteSettings)
        return site;
    if (m_siteSettings->OwnSession(m_elementId))
        site.Storage = TSiteSettings::StorageName(m_elementId);
    site.UserAgent = m_siteSettings->UserAgent(m_elementId);
    site.UserStyle = m_siteSettings->UserStyle(m_elementId);
    site.UserScript = m_siteSettings->UserScript(m_elementId);
    site.SpellCheck = m_siteSettings->SpellCheck(m_elementId);
    site.SpellCheckLanguages = m_siteSettings->SpellCheckLanguages(m_elementId);
    return site;
}

void TCustomInternetBrowserWindow::SetZoomFactor(double factor)
{
    m_zoomFactor = std::clamp(factor, TSiteSettings::kMinZoom, TSiteSettings::kMaxZoom);
    for (int i = 0; i < TabCount(); ++i)
        Tab(i)->Frame()->SetZoomFactor(m_zoomFactor);
    if (m_siteSettings)
        m_siteSettings->SetZoom(m_elementId, m_zoomFactor);
}

void TCustomInternetBrowserWindow::ZoomIn()
{
    SetZoomFactor(TSiteSettings::NextZoom(m_zoomFactor, true));
}

void TCustomInternetBrowserWindow::ZoomOut()
{
    SetZoomFactor(TSiteSettings::NextZoom(m_zoomFactor, false));
}

void TCustomInternetBrowserWindow::ResetZoom()
{
    SetZoomFactor(1.0);
}
