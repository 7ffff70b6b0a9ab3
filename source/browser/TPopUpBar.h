#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;

// The bar above a page that says a window the page opened by itself was not opened, and
// offers to open it or to let the site open its pop-ups; hidden while nothing was blocked.
class TPopUpBar final : public QWidget
{
    Q_OBJECT

public:
    explicit TPopUpBar(QWidget* parent = nullptr);

    // One more blocked window; the bar offers the latest.
    void Blocked(const QUrl& address);
    // The latest blocked window's address; empty while the bar is hidden.
    QUrl Latest() const { return m_latest; }
    int Count() const { return m_count; }
    // The page is gone or left: nothing is offered any more.
    void Clear();

signals:
    void OpenClicked();
    void AllowClicked();

private:
    QLabel* m_text = nullptr;
    QUrl m_latest;
    int m_count = 0;
};
