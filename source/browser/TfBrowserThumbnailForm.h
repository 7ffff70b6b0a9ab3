#pragma once

#include "dialogs/DialogParts.h"

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class TDelayThread;
class THtmlLabel;
class TLabelProgressBar;
class TfrmInternetBrowser;

// Takes the picture of a web page for a site's thumbnail: loads the page into a Chromium
// frame of exactly CaptureWidth x CaptureHeight that never shows on screen (no scroll bars,
// no new windows), shows the progress, and as soon as the top-level document has loaded and
// painted takes the picture and closes with "Ok". A page that has not completed after the
// time limit is taken as far as it has loaded; the dialog says so and the user chooses "Ok"
// or "Cancel".
class TfBrowserThumbnailForm final : public TMVDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 393;
    static constexpr int kClientHeight = 234;
    static constexpr uint32_t kTimeLimitMs = 30'000;

    explicit TfBrowserThumbnailForm(const QString& address, QWidget* parent = nullptr);
    ~TfBrowserThumbnailForm() override;

    int CaptureWidth() const { return m_captureWidth; }
    void SetCaptureWidth(int width) { m_captureWidth = width; }
    int CaptureHeight() const { return m_captureHeight; }
    void SetCaptureHeight(int height) { m_captureHeight = height; }
    // The wait for a page that does not complete (tests shorten it).
    void SetTimeLimit(uint32_t ms) { m_timeLimit = ms; }

    // The picture of the page; valid after "Ok".
    const QImage& CapturedBitmap() const { return m_captured; }
    // The picture was taken at the time limit, of a page that had not completed.
    bool TakenAtTimeLimit() const { return m_takenAtTimeLimit; }
    // The frame the page loads in, while the dialog is open.
    TfrmInternetBrowser* Frame() const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void StartCapture();
    void DocumentComplete();
    void TakePicture();
    void TimeLimitReached();
    void DropFrame();

    QString m_address;
    int m_captureWidth = 1024;
    int m_captureHeight = 768;
    uint32_t m_timeLimit = kTimeLimitMs;
    QImage m_captured;
    bool m_started = false;
    bool m_takenAtTimeLimit = false;
    // Counts the completed pictures so that a late paint of an earlier load is not taken.
    int m_loadNumber = 0;
    QPointer<TfrmInternetBrowser> m_frame;
    std::unique_ptr<TDelayThread> m_limit;
    THtmlLabel* m_headerText = nullptr;
    TLabelProgressBar* m_progress = nullptr;
    QLabel* m_patience = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Captures the page at address at that size through the dialog; nothing when the user
// cancelled. What the site dialog and the tile menu call to update a thumbnail.
std::optional<QImage> CaptureSiteScreenshot(const QString& address, const QSize& size,
                                            QWidget* parent = nullptr);
