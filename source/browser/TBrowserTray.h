#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QSystemTrayIcon;
class TMVPopupMenu;

// A site window's own icon in the notification area and its menu: a title item with the
// site's title, "Show window" and "Close".
class TBrowserTray final : public QObject
{
    Q_OBJECT

public:
    explicit TBrowserTray(QWidget* window);

    void SetTitle(const QString& title);
    void SetIcon(const QIcon& icon);
    void SetHint(const QString& hint);
    // A sleeping site's icon is shown greyed, as a disabled one.
    void SetSleeping(bool sleeping);
    bool Sleeping() const { return m_sleeping; }
    QString Hint() const;
    void SetVisible(bool visible);
    bool IsVisible() const;
    QSystemTrayIcon* Icon() const { return m_icon; }
    TMVPopupMenu* Menu() const { return m_menu; }

signals:
    // A click on the icon, or "Show window".
    void ShowRequested();
    void CloseRequested();

private:
    TMVPopupMenu* m_menu = nullptr;
    QSystemTrayIcon* m_icon = nullptr;
    QIcon m_siteIcon;
    bool m_sleeping = false;
};
