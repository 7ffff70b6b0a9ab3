#include "GallerySections.h"

#include "menus/MVMenus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace GallerySections {

namespace {

QIcon Dot(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(color.darker(130));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 3, 3);
    return QIcon(pixmap);
}

QAction* Title(QMenu& menu, const QString& hint)
{
    QAction* title = menu.addAction(u"-"_s);
    title->setStatusTip(hint);
    return title;
}

// The menu as it shows when open, with one item under the mouse.
QLabel* Picture(QMenu& menu, QAction* active)
{
    menu.resize(menu.sizeHint());
    if (active)
        menu.setActiveAction(active);
    auto* label = new QLabel;
    label->setPixmap(menu.grab());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* TileMenu()
{
    TMVPopupMenu menu;
    Title(menu, u"Web Mail"_s);
    QAction* run = menu.addAction(u"&Run"_s);
    run->setIcon(Dot(QColor(0x3C, 0xA0, 0x46)));
    menu.setDefaultAction(run);
    QAction* edit = menu.addAction(u"&Edit..."_s);
    edit->setShortcut(QKeySequence(u"F2"_s));
    QAction* tray = menu.addAction(u"Run as &tray icon"_s);
    tray->setCheckable(true);
    tray->setChecked(true);
    QAction* close = menu.addAction(u"&Close browser"_s);
    close->setIcon(Dot(QColor(0xC8, 0x3C, 0x3C)));
    close->setEnabled(false);
    Title(menu, u"Arrange"_s);
    QMenu* sort = menu.addMenu(u"&Sort by"_s);
    sort->addAction(u"Title"_s);
    menu.addAction(u"-"_s);
    menu.addAction(u"Re&move"_s)->setShortcut(QKeySequence(QKeySequence::Delete));
    menu.PrepareItems();
    return WithNote(u"Tile menu: title, default, checked, disabled"_s, Picture(menu, edit));
}

QWidget* TrayMenu()
{
    TMVTrayPopupMenu menu;
    QAction* mail = menu.addAction(u"Web Mail"_s);
    MVMenuItems::SetTag(*mail, 0);
    mail->setCheckable(true);
    mail->setChecked(true);
    menu.setDefaultAction(mail);
    QAction* news = menu.addAction(u"News Reader"_s);
    MVMenuItems::SetTag(*news, 1);
    QAction* separator = menu.addAction(u"-"_s);
    MVMenuItems::SetTag(*separator, -1);
    QAction* quit = menu.addAction(u"&Quit"_s);
    MVMenuItems::SetTag(*quit, -1);
    menu.PrepareItems();
    menu.OnGetSiteInfo = [](const TMVPopupMenu&, const QAction& item, QIcon& icon, bool& active) {
        const int tag = MVMenuItems::Tag(item);
        if (tag >= 0)
            icon = Dot(tag == 0 ? QColor(0x31, 0x6A, 0xC5) : QColor(0xE0, 0x6C, 0x1E));
        active = tag == 0;
    };
    return WithNote(u"Tray menu: the open site in blue"_s, Picture(menu, news));
}

QWidget* CatalogMenu()
{
    TMVWebItemPopupMenu menu;
    Title(menu, u"Photo Album"_s);
    menu.addAction(u"&Install"_s);
    menu.addAction(u"&Visit site"_s);
    menu.addAction(u"Tell a &Friend"_s);
    menu.PrepareItems();
    menu.OnDrawRating = [](const TMVPopupMenu&, const TWebApplicationClass*, QPainter& canvas,
                           const QRect& rect) {
        // Stand-in for the rating pictures: four and a half of five stars.
        canvas.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 5; ++i) {
            const QRectF star(rect.x() + i * 15 + 1.5, rect.center().y() - 5.5, 12, 12);
            canvas.setPen(QColor(0xD0, 0x9A, 0x20));
            canvas.setBrush(i < 4 ? QColor(0xFF, 0xC8, 0x3C) : QColor(0xFF, 0xEB, 0xB4));
            canvas.drawEllipse(star);
        }
    };
    return WithNote(u"Catalog menu with the rating strip"_s, Picture(menu, nullptr));
}

QWidget* MainMenu()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new TMVMainMenu;
    for (const QString& name : {u"&File"_s, u"&View"_s, u"&Sites"_s, u"&Help"_s})
        bar->addMenu(name)->addAction(u"&Refresh"_s);
    QMenu* file = bar->actions().first()->menu();
    file->addAction(u"-"_s);
    file->addAction(u"E&xit"_s);
    bar->PrepareItems();
    bar->setFixedWidth(300);
    layout->addWidget(bar);

    // Its drop-down, opened under "File".
    file->resize(file->sizeHint());
    file->setActiveAction(file->actions().first());
    auto* dropDown = new QLabel;
    dropDown->setPixmap(file->grab());
    dropDown->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(dropDown);
    return WithNote(u"Main menu bar and a drop-down"_s, box);
}

} // namespace

QWidget* Menus()
{
    auto* pair = new QWidget;
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(TileMenu(), 0, Qt::AlignTop);
    row->addWidget(TrayMenu(), 0, Qt::AlignTop);
    row->addStretch(1);
    return Section(u"Menus"_s, u"Every menu of the program is drawn by the program"_s,
                   {pair, CatalogMenu(), MainMenu()});
}

} // namespace GallerySections
