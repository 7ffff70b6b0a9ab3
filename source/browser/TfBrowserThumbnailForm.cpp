#include "TfBrowserThumbnailForm.h"

#include "BrowserFrames.h"
#include "TfrmInternetBrowser.h"
#include "common/TimerThreads.h"
#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "panels/TSpecialFrame.h"
#include "progressbar/LabelProgressBar.h"
#include "stores/SiteAddress.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uint8_t kChromiumEngine = 0;

} // namespace

TfBrowserThumbnailForm::TfBrowserThumbnailForm(const QString& address, QWidget* parent)
    : TMVDialog(parent), m_address(address)
{
    setWindowTitle(u"Web site screen shot"_s);
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::MSWindowsFixedSizeDialogHint);

    TDialogHeader* header = DialogParts::Header(
        u"png_Download"_s, u"Web site screen shot"_s,
        u"Creating site screenshot from  <color clBlue><b>"_s + HostOfURL(address) + u"</b></color>"_s, this);
    header->setObjectName(u"dhDialogHeader"_s);
    m_headerText = header->findChild<THtmlLabel*>(u"hlbText"_s);
    m_headerText->setObjectName(u"lbHeaderDsc"_s);

    auto* panel = new TSpecialFrame(this);
    panel->setObjectName(u"sfProgress"_s);
    m_progress = new TLabelProgressBar(panel);
    m_progress->setObjectName(u"lpbLabelProgressBar"_s);
    m_progress->SetMin(0);
    m_progress->SetMax(100);
    m_progress->SetPosition(0);
    m_progress->SetViewOptions(viewInfo);
    m_patience = new QLabel(
        u"Please be patient. Window will close automaticaly when screen shot is completed."_s, panel);
    m_patience->setObjectName(u"lbPatience"_s);
    m_patience->setWordWrap(true);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(12, 10, 12, 10);
    panelLayout->setSpacing(8);
    panelLayout->addWidget(m_progress);
    panelLayout->addWidget(m_patience);
    panelLayout->addStretch(1);

    m_ok = DialogParts::Button(u"Ok"_s, this);
    m_ok->setObjectName(u"btnOk"_s);
    m_ok->hide();
    m_cancel = DialogParts::Button(u"Cancel"_s, this);
    m_cancel->setObjectName(u"btnCancel"_s);
    m_cancel->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 10);
    body->setSpacing(10);
    body->addWidget(panel, 1);
    body->addLayout(DialogParts::ButtonRow({m_ok, m_cancel}));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body, 1);
    setFixedSize(kClientWidth, kClientHeight);
}

TfBrowserThumbnailForm::~TfBrowserThumbnailForm()
{
    m_limit.reset();
    DropFrame();
}

TfrmInternetBrowser* TfBrowserThumbnailForm::Frame() const
{
    return m_frame.data();
}

void TfBrowserThumbnailForm::showEvent(QShowEvent* event)
{
    TMVDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        StartCapture();
    }
}

void TfBrowserThumbnailForm::StartCapture()
{
    try {
        // A window of its own that never maps: the page renders at exactly the capture size
        // whatever the dialog's size, and nothing of it reaches the screen.
        m_frame = BrowserFrames::Create(kChromiumEngine, nullptr);
    } catch (const std::exception& error) {
        m_patience->setText(QString::fromUtf8(error.what()));
        return;
    }
    m_frame->setAttribute(Qt::WA_DontShowOnScreen);
    m_frame->SetCaptureOnly(true);
    m_frame->SetScrollBarsVisible(false);
    m_frame->setFixedSize(m_captureWidth, m_captureHeight);
    connect(m_frame, &TfrmInternetBrowser::ProgressChanged, this, [this] {
        m_progress->SetMax(std::max(m_frame->ProgressMax(), 1));
        m_progress->SetPosition(m_frame->Progress());
    });
    connect(m_frame, &TfrmInternetBrowser::StatusTextChanged, m_progress, &TLabelProgressBar::SetInfo);
    connect(m_frame, &TfrmInternetBrowser::DocumentCompleted, this,
            &TfBrowserThumbnailForm::DocumentComplete);
    m_frame->show();
    m_frame->Navigate(m_address);

    m_limit =
        std::make_unique<TDelayThread>(m_timeLimit, false, [this](TSyncThread*) { TimeLimitReached(); });
}

void TfBrowserThumbnailForm::DocumentComplete()
{
    // Loaded is not yet painted: the picture waits for the page's next frames on screen.
    const int load = ++m_loadNumber;
    m_frame->WhenPainted([this, load] {
        if (load == m_loadNumber && m_frame) {
            TakePicture();
            done(mrOk);
        }
    });
}

void TfBrowserThumbnailForm::TakePicture()
{
    m_frame->CaptureTo(m_captured);
    // A page still on its way has no address yet for the engine to draw; what the frame
    // shows is the picture then.
    if (m_captured.isNull())
        m_captured = m_frame->grab().toImage().scaled(m_captureWidth, m_captureHeight);
}

void TfBrowserThumbnailForm::TimeLimitReached()
{
    if (!m_frame || result() != 0 || !isVisible())
        return;
    m_takenAtTimeLimit = true;
    TakePicture();
    m_patience->setText(
        u"The page did not finish loading in %1 seconds. Ok keeps the picture of what has loaded."_s.arg(
            m_timeLimit / 1000));
    m_ok->show();
    m_ok->setDefault(true);
    m_ok->setFocus();
}

void TfBrowserThumbnailForm::done(int result)
{
    m_limit.reset();
    DropFrame();
    TMVDialog::done(result);
}

void TfBrowserThumbnailForm::DropFrame()
{
    if (!m_frame)
        return;
    m_frame->disconnect(this);
    m_frame->Stop();
    m_frame->deleteLater();
    m_frame = nullptr;
}

std::optional<QImage> CaptureSiteScreenshot(const QString& address, const QSize& size, QWidget* parent)
{
    TfBrowserThumbnailForm form(address, parent);
    form.SetCaptureWidth(size.width());
    form.SetCaptureHeight(size.height());
    if (form.exec() != mrOk || form.CapturedBitmap().isNull())
        return std::nullopt;
    return form.CapturedBitmap();
}
