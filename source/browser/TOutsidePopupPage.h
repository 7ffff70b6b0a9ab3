#pragma once

#include <QWebEnginePage>

// The target of a page's new window that does not open in the program: it waits for the
// window's first address, hands it to the desktop's browser and goes.
class TOutsidePopupPage final : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit TOutsidePopupPage(QWebEngineProfile* profile);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    bool m_handled = false;
};
