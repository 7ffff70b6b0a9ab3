#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <cstdint>

class QLabel;
class QToolButton;
class TBrowserDownloads;
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
    // A download's progress or end.
    void ShowDownload(const TBrowserDownloadRec& download);
    // The window's downloads: their button shows once there is one.
    void SetDownloads(const TBrowserDownloads* downloads);
    TLabelProgressBar* ProgressBar() const { return m_progress; }

signals:
    void DownloadsClicked();

private:
    void ShowProgress();
    void ShowDownloadsButton();

    QPointer<TBrowserTab> m_tab;
    QList<QMetaObject::Connection> m_following;
    QLabel* m_engineImage = nullptr;
    QLabel* m_text = nullptr;
    TLabelProgressBar* m_progress = nullptr;
    QToolButton* m_downloadsButton = nullptr;
    const TBrowserDownloads* m_downloads = nullptr;
};
