#include "TfScreenShotPreviewDlg.h"

#include "catalog/TWebApplicationClass.h"
#include "common/Errors.h"
#include "details/TMVProductDescriptions.h"
#include "panels/TDialogHeader.h"
#include "pictures/GraphicTools.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "stores/TFileCacheManager.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kHeaderHeight = 110;

} // namespace

TfScreenShotPreviewDlg::TfScreenShotPreviewDlg(const QString& title, const QString& tagline,
                                               const QString& description)
    : QWidget(nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"MorvalenDesktop: Screenshot for %1"_s.arg(title));

    auto* header = new TDialogHeader(this);
    header->setFixedHeight(kHeaderHeight);
    m_header = header;
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(12, 8, 12, 6);
    m_descriptions = new TMVProductDescriptions(header);
    m_descriptions->setObjectName(u"pdDescriptions"_s);
    m_descriptions->SetTitle(title);
    m_descriptions->SetDescriptionShort(tagline);
    m_descriptions->SetDescriptionLong(description);
    headerLayout->addWidget(m_descriptions);

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(u"scbScreenshot"_s);
    m_scrollBox->setFrameShape(QFrame::StyledPanel);
    m_scrollBox->setFrameShadow(QFrame::Sunken);
    m_scrollBox->setBackgroundRole(QPalette::Base);
    m_image = new QLabel;
    m_image->setObjectName(u"idScreenshot"_s);
    m_scrollBox->setWidget(m_image);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(m_scrollBox, 1);

    resize(560, 420);
    ShowPlaceholder(u"idLoadingImage"_s, psLoading);
}

int TfScreenShotPreviewDlg::HeaderHeight() const
{
    return m_header->height();
}

ScreenshotPlacement::FrameMetrics TfScreenShotPreviewDlg::Frame() const
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    if (isVisible() && outer != inner) {
        const int frameWidth = (outer.width() - inner.width()) / 2;
        const int frameHeight = outer.bottom() - inner.bottom();
        return {frameWidth, frameHeight, inner.top() - outer.top() - frameHeight};
    }
    ScreenshotPlacement::FrameMetrics metrics;
    metrics.captionHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return metrics;
}

void TfScreenShotPreviewDlg::RequestScreenshot(TFileCacheManager& cache, const QString& url)
{
    QPointer<TfScreenShotPreviewDlg> self(this);
    cache.RequestFile(url, false, true, false,
                      [self, &cache](const QString&, const QString& reportedUrl, TCacheStatus) {
                          // The user may have closed the window meanwhile.
                          if (self)
                              self->ShowPictureFile(cache.GetCachedFileName(reportedUrl, true));
                      });
}

void TfScreenShotPreviewDlg::ShowPictureFile(const QString& fileName)
{
    if (fileName.isEmpty()) {
        ShowPlaceholder(u"idNoImage"_s, psNoImage);
        return;
    }
    try {
        m_picture = PictureFile::Load(fileName, PictureLimits::kCatalogPicture);
    } catch (const EMorvalenError&) {
        m_picture = QImage();
    }
    if (m_picture.isNull()) {
        ShowPlaceholder(u"idNoImage"_s, psNoImage);
        return;
    }
    m_state = psPicture;
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setPixmap(QPixmap::fromImage(m_picture));
    m_image->adjustSize();
    FitToPicture();
}

void TfScreenShotPreviewDlg::ShowPlaceholder(const QString& name, TPreviewState state)
{
    m_state = state;
    m_picture = QImage();
    m_scrollBox->setAlignment(Qt::AlignCenter);
    m_image->setPixmap(QPixmap::fromImage(GraphicTools::LoadPngResource(name)));
    m_image->adjustSize();
}

void TfScreenShotPreviewDlg::FitToPicture()
{
    const QScreen* screen = this->screen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const ScreenshotPlacement::FrameMetrics frame = Frame();
    const ScreenshotPlacement::Placement placement =
        ScreenshotPlacement::Place(m_picture.size(), HeaderHeight(), workArea, frame);
    if (placement.maximized) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (isVisible())
            showMaximized();
        else
            setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    // The rule measures the whole window; the frame around the client area is the system's.
    const QSize client(placement.geometry.width() - 2 * frame.frameWidth,
                       placement.geometry.height() - frame.captionHeight - 2 * frame.frameHeight);
    setWindowState(windowState() & ~Qt::WindowMaximized);
    move(placement.geometry.topLeft());
    setFixedSize(client);
}

void TfScreenShotPreviewDlg::CentreInWorkArea()
{
    // The size the window will show with: its layout's minimum may still enlarge it.
    ensurePolished();
    if (QLayout* box = layout())
        box->activate();
    const QScreen* screen = this->screen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const ScreenshotPlacement::FrameMetrics frame = Frame();
    const QSize whole(width() + 2 * frame.frameWidth, height() + frame.captionHeight + 2 * frame.frameHeight);
    move(workArea.left() + (workArea.width() - whole.width()) / 2,
         workArea.top() + (workArea.height() - whole.height()) / 2);
}

void TfScreenShotPreviewDlg::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers shifts = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (event->key() == Qt::Key_Escape && !(event->modifiers() & shifts)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

TfScreenShotPreviewDlg* ShowScreenshot(const TWebApplicationClass& application, TFileCacheManager& cache)
{
    auto* preview =
        new TfScreenShotPreviewDlg(application.Title(), application.Tagline(), application.MainDescription());
    preview->RequestScreenshot(cache, application.ScreenshotURL());
    // A cached picture has placed the window already; one still loading goes where the
    // picture will put it, not to the corner of the screen.
    const bool place = preview->State() != TfScreenShotPreviewDlg::psPicture;
    if (place)
        preview->CentreInWorkArea();
    preview->show();
    // Once shown, the window manager's frame is known.
    if (place && preview->State() != TfScreenShotPreviewDlg::psPicture)
        preview->CentreInWorkArea();
    return preview;
}
