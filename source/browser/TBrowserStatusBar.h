#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <cstdint>

class QLabel;
class TBrowserTab;
class TLabelProgressBar;
struct TBrowserDownloadRec;

// The status bar of a browser window: the engine's mark, the status text and the progress of
// the current tab's page; downloads of any tab and the hints of the window's controls show
// there too.
class TBrowserStatusBar final : public QWidget
{
    Q_OBJECT

public:
    explicit TBrowserStatusBar(QWidget* parent = nullptr);

    void SetEngine(uint8_t engine);
    void SetCurrentTab(TBrowserTab* tab);
    void SetText(const QString& text);
    QString Text() const;
    // A download's progress or end; a failed one is also told in a message box.
    void ShowDownload(const TBrowserDownloadRec& download);
    TLabelProgressBar* ProgressBar() const { return m_progress; }

private:
    void ShowProgress();

    QPointer<TBrowserTab> m_tab;
    QList<QMetaObject::Connection> m_following;
    QLabel* m_engineImage = nullptr;
    QLabel* m_text = nullptr;
    TLabelProgressBar* m_progress = nullptr;
};
