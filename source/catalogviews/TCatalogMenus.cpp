// The catalog views' menus: the catalog entry menu and the tab strip's menu.

#include "RatingStars.h"
#include "TCatalogListView.h"
#include "TCatalogViews.h"
#include "catalog/TWebApplicationClass.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"

#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

// A menu picture of one of the program's icons.
QIcon MenuIcon(const QString& name)
{
    return GraphicTools::LoadIconResource(name);
}

} // namespace

void TCatalogViews::BuildMenus()
{
    m_pmWebSite = new TMVWebItemPopupMenu(m_pages.window());
    m_pmWebSite->setObjectName(u"pmWebSite"_s);
    AddTitleItem(*m_pmWebSite, QString());
    m_miInstall = m_pmWebSite->addAction(u"Install site..."_s, this, [this] { InstallFocused(); });
    m_pmWebSite->addAction(MenuIcon(u"res_ico_lbVisitSite"_s), u"Visit site"_s, this,
                           [this] { VisitFocused(); });
    m_pmWebSite->addAction(MenuIcon(u"res_ico_lbSignup"_s), u"Sign up"_s, this, [this] { SignUpFocused(); });
    m_pmWebSite->addAction(MenuIcon(u"res_ico_lbTellFriend"_s), u"Tell a Friend"_s, this,
                           [this] { TellAFriendFocused(); });
    m_pmWebSite->addAction(u"-"_s);
    m_pmWebSite->addAction(u"View screen shot..."_s, this, [this] { ViewScreenshotFocused(); });
    m_pmWebSite->OnDrawRating = [](const TMVPopupMenu&, const TWebApplicationClass* application,
                                   QPainter& canvas, const QRect& rect) {
        if (application)
            DrawRatingStars(canvas, rect, application->UserRating());
    };
    m_pmWebSite->PrepareItems();

    m_pmTabs = new TMVPopupMenu(m_pages.window());
    m_pmTabs->setObjectName(u"pmTabs"_s);
}

void TCatalogViews::PrepareWebSiteMenu(TWebApplicationClass* application)
{
    m_pmWebSite->SetWebApp(application);
    if (!application)
        return;
    m_pmWebSite->actions().constFirst()->setStatusTip(application->Title());
    const bool installed = m_hooks.IsInstalled && m_hooks.IsInstalled(*application);
    m_miInstall->setText(installed ? u"Go to installed site"_s : u"Install site..."_s);
    m_miInstall->setIcon(MenuIcon(installed ? u"res_ico_lbInstalled"_s : u"res_ico_lbInstall"_s));
    m_pmWebSite->PrepareItems();
}

void TCatalogViews::RowMenu(TWebApplicationClass* application, QPoint globalPos)
{
    PrepareWebSiteMenu(application);
    m_pmWebSite->popup(globalPos);
}

void TCatalogViews::PrepareTabsMenu()
{
    m_pmTabs->clear();
    AddTitleItem(*m_pmTabs, u"Hide tabs"_s);
    const std::pair<int, QString> tabs[] = {{kWhatsNewPage, u"What's New"_s},
                                            {kRecommendedPage, u"Recommended"_s},
                                            {kPopularPage, u"Popular"_s},
                                            {kHighestRatedPage, u"Highest Rated"_s}};
    bool anyVisible = false;
    for (const auto& [page, caption] : tabs) {
        if (!m_pages.isTabVisible(page))
            continue;
        anyVisible = true;
        QAction* item = m_pmTabs->addAction(caption);
        item->setObjectName(u"miHide"_s + QString::number(page));
        connect(item, &QAction::triggered, this, [this, page] { m_pages.setTabVisible(page, false); });
    }
    if (anyVisible) {
        m_pmTabs->addAction(u"-"_s);
        m_pmTabs->addAction(u"Hide all tabs"_s, this, [this, tabs] {
            for (const auto& [page, caption] : tabs)
                m_pages.setTabVisible(page, false);
        });
    } else {
        m_pmTabs->addAction(u"Show all tabs"_s, this, [this] {
            const int tags[] = {1, 2, 4, 5};
            const int pages[] = {kWhatsNewPage, kRecommendedPage, kPopularPage, kHighestRatedPage};
            for (int i = 0; i < 4; ++i)
                m_pages.setTabVisible(pages[i], ListView(tags[i]).model()->rowCount() > 0);
        });
    }
    m_pmTabs->PrepareItems();
}

bool TCatalogViews::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pages.tabBar() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && !(mouse->modifiers() & Qt::ShiftModifier)) {
            PrepareTabsMenu();
            const QTabBar* bar = m_pages.tabBar();
            m_pmTabs->popup(bar->mapToGlobal(QPoint(int(mouse->position().x()), bar->height())));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
