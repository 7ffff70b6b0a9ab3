#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class TBrowserTab;

// The header of a browser window: the address box (or the page's title), Back, Forward,
// Refresh, Options and the close-tab button. It follows the window's current tab: only that
// tab's frame reaches it, and the buttons act on that frame.
class TBrowserNavigationBar final : public QWidget
{
    Q_OBJECT

public:
    explicit TBrowserNavigationBar(QWidget* parent = nullptr);

    void SetCurrentTab(TBrowserTab* tab);
    TBrowserTab* CurrentTab() const { return m_tab; }

    // The address box, or the page title instead.
    void SetShowURL(bool showUrl);
    bool ShowURL() const { return m_showUrl; }
    void SetOptionsMenu(QMenu* menu);
    void SetOptionsVisible(bool visible);
    void SetCloseTabVisible(bool visible);
    bool CloseTabVisible() const;
    // Puts the cursor at the end of the address box, for a new tab's address.
    void FocusAddress();

    QLineEdit* AddressBox() const { return m_address; }
    QString PageTitle() const;
    bool BackEnabled() const;
    bool ForwardEnabled() const;

signals:
    // Return in the address box.
    void AddressEntered(const QString& address);
    void CloseTabClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Everything from the current frame at once.
    void ShowFrameState();
    void ShowCommandState();

    QPointer<TBrowserTab> m_tab;
    QList<QMetaObject::Connection> m_following;
    bool m_showUrl = true;

    QLabel* m_urlTitleImage = nullptr;
    QLineEdit* m_address = nullptr;
    QLabel* m_pageTitle = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    QAction* m_refresh = nullptr;
    QToolButton* m_misc = nullptr;
    QToolButton* m_closeTab = nullptr;
};
