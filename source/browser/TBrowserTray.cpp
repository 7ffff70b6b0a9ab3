#include "TBrowserTray.h"

#include "menus/MVMenus.h"

#include <QAction>
#include <QSystemTrayIcon>

using namespace Qt::Literals::StringLiterals;

TBrowserTray::TBrowserTray(QWidget* window) : QObject(window)
{
    m_menu = new TMVPopupMenu(window);
    m_menu->setObjectName(u"TrayMenu"_s);
    AddTitleItem(*m_menu, QString());
    m_menu->addAction(u"Show window"_s, this, &TBrowserTray::ShowRequested);
    m_menu->addAction(u"-"_s);
    m_menu->addAction(u"Close"_s, this, &TBrowserTray::CloseRequested);
    m_menu->PrepareItems();

    m_icon = new QSystemTrayIcon(this);
    m_icon->setObjectName(u"TrayIcon"_s);
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit ShowRequested();
    });
}

void TBrowserTray::SetTitle(const QString& title)
{
    m_menu->actions().constFirst()->setStatusTip(title);
    m_menu->PrepareItems();
    if (m_icon->toolTip().isEmpty())
        m_icon->setToolTip(title);
}

void TBrowserTray::SetIcon(const QIcon& icon)
{
    m_siteIcon = icon;
    m_menu->SetTitleIcon(icon);
    SetSleeping(m_sleeping);
}

void TBrowserTray::SetSleeping(bool sleeping)
{
    m_sleeping = sleeping;
    if (!sleeping || m_siteIcon.isNull()) {
        m_icon->setIcon(m_siteIcon);
        return;
    }
    // The tray draws the icon as it is given: the greyed look has to be in its pixels.
    QIcon greyed;
    const QList<QSize> sizes = m_siteIcon.availableSizes();
    for (const QSize& size : sizes.isEmpty() ? QList<QSize>{QSize(32, 32)} : sizes)
        greyed.addPixmap(m_siteIcon.pixmap(size, QIcon::Disabled));
    m_icon->setIcon(greyed);
}

void TBrowserTray::SetHint(const QString& hint)
{
    m_icon->setToolTip(hint);
}

QString TBrowserTray::Hint() const
{
    return m_icon->toolTip();
}

void TBrowserTray::SetVisible(bool visible)
{
    m_icon->setVisible(visible);
}

bool TBrowserTray::IsVisible() const
{
    return m_icon->isVisible();
}
