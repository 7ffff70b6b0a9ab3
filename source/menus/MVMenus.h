#pragma once

#include "MVMenuDrawing.h"

#include <QIcon>
#include <QMenu>
#include <QMenuBar>

#include <functional>

class TMVMenuStyle;
class TWebApplicationClass;

// Adds a title item to menu: a "-" item whose heading is its hint (see PrepareItems).
QAction* AddTitleItem(QMenu& menu, const QString& heading);

// Every context menu of the program, in one light look: a near-white background, a 24-pixel
// glyph column with a gradient, a framed highlight, a shadowed caption, and title items
// ("-" items with a hint) that carry a bold heading. Owners fill the items and call
// PrepareItems after building or changing them.
class TMVPopupMenu : public QMenu, public TMVMenuDrawing
{
    Q_OBJECT

public:
    explicit TMVPopupMenu(QWidget* parent = nullptr);
    ~TMVPopupMenu() override;

    // Drawn at the left of a first title item instead of that item's picture.
    const QIcon& TitleIcon() const { return m_titleIcon; }
    void SetTitleIcon(const QIcon& icon) { m_titleIcon = icon; }

    // Makes "-" items separators (their hint becomes the heading) and gives this menu's look
    // to every sub-menu, however deep.
    void PrepareItems();

    // Off: the desktop style draws the items (for all sub-menus at the next PrepareItems).
    bool OwnerDraw() const { return m_ownerDraw; }
    void SetOwnerDraw(bool ownerDraw);

protected:
    TMVPopupMenu(MenuMetrics::TMVMenuKind kind, QWidget* parent);
    QImage TitleImage(const QAction& item) const override;

private:
    QIcon m_titleIcon;
    TMVMenuStyle* m_style;
    bool m_ownerDraw = true;
};

// The main window's menu bar: top-level items on the menu bar colour, drop-downs in the
// look of the popup menus.
class TMVMainMenu final : public QMenuBar, public TMVMenuDrawing
{
    Q_OBJECT

public:
    explicit TMVMainMenu(QWidget* parent = nullptr);
    ~TMVMainMenu() override;

    void PrepareItems();

    bool OwnerDraw() const { return m_ownerDraw; }
    void SetOwnerDraw(bool ownerDraw);

private:
    TMVMenuStyle* m_style;
    bool m_ownerDraw = true;
};

// The notification-area menu: one entry per installed site (tag = the tile's index) and the
// fixed entries (tag -1). Each site entry shows the icon OnGetSiteInfo gives for it; the
// entry of a site whose browser is open is checked and the default item, drawn bold and blue.
class TMVTrayPopupMenu final : public TMVPopupMenu
{
    Q_OBJECT

public:
    explicit TMVTrayPopupMenu(QWidget* parent = nullptr);

    void DrawMenuItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                      bool selected) override;

    // Asked before each item is drawn; active tells whether the site's browser is open.
    std::function<void(const TMVPopupMenu& menu, const QAction& item, QIcon& icon, bool& active)>
        OnGetSiteInfo;
};

// The context menu of a catalog entry: its title item is 79 pixels wider (its kind's measure)
// to make room for the entry's rating, which the owner draws through OnDrawRating.
class TMVWebItemPopupMenu final : public TMVPopupMenu
{
    Q_OBJECT

public:
    explicit TMVWebItemPopupMenu(QWidget* parent = nullptr);

    const TWebApplicationClass* WebApp() const { return m_webApp; }
    void SetWebApp(const TWebApplicationClass* webApp) { m_webApp = webApp; }

    void DrawSeparatorItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                           bool selected) override;

    std::function<void(const TMVPopupMenu& menu, const TWebApplicationClass* webApp, QPainter& canvas,
                       const QRect& rect)>
        OnDrawRating;

private:
    const TWebApplicationClass* m_webApp = nullptr;
};
