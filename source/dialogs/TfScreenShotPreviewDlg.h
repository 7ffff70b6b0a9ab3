#pragma once

#include "ScreenshotPlacement.h"
#include "stores/TCacheFileEvent.h"

#include <QImage>
#include <QWidget>

class TMVProductDescriptions;
class QLabel;
class QScrollArea;
class TFileCacheManager;
class TWebApplicationClass;

// The screenshot of a catalog application in a window of its own (with a taskbar button, not
// modal; several may be open). It shows a loading picture until the file cache reports, then
// the screenshot at its natural size in a window that fits it, or the no-image picture.
// Escape closes it; closing frees it.
class TfScreenShotPreviewDlg final : public QWidget
{
    Q_OBJECT

public:
    enum TPreviewState
    {
        psLoading,
        psNoImage,
        psPicture
    };

    TfScreenShotPreviewDlg(const QString& title, const QString& tagline, const QString& description);

    // Asks the cache for the screenshot (kept by age, named from the address, not compared
    // with the server again); the report shows it.
    void RequestScreenshot(TFileCacheManager& cache, const QString& url);
    // Shows the picture file, or the no-image picture when there is none or it cannot be read,
    // and fits the window to it.
    void ShowPictureFile(const QString& fileName);

    TPreviewState State() const { return m_state; }
    const QImage& Picture() const { return m_picture; }
    int HeaderHeight() const;
    // The frame the size rule counts with: the window manager's when it is known.
    ScreenshotPlacement::FrameMetrics Frame() const;
    // Centres the window as it is (loading, or without a picture) in the work area.
    void CentreInWorkArea();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowPlaceholder(const QString& name, TPreviewState state);
    void FitToPicture();

    TMVProductDescriptions* m_descriptions;
    QWidget* m_header;
    QScrollArea* m_scrollBox;
    QLabel* m_image;
    QImage m_picture;
    TPreviewState m_state = psLoading;
};

// Opens the preview of the application's screenshot; the window frees itself.
TfScreenShotPreviewDlg* ShowScreenshot(const TWebApplicationClass& application, TFileCacheManager& cache);
