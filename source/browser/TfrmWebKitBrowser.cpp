#include "TfrmWebKitBrowser.h"

#include "BrowserFrames.h"
#include "PageTextLength.h"
#include "TWebKitHost.h"

#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <map>

using namespace Qt::Literals::StringLiterals;
using namespace WebKitHostProtocol;

std::function<void(const QString&)> TfrmWebKitBrowser::OpenOutside = [](const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
};

namespace {

QString& Program()
{
    static QString program = TWebKitHost::DefaultProgram();
    return program;
}

// Every page of a window shares one host process: the host hangs off the window.
TWebKitHost* HostOfWindow(QWidget* window)
{
    for (TWebKitHost* host : window->findChildren<TWebKitHost*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!host->HasFailed())
            return host;
        // Its frames show their stopped pages and forget it.
        host->deleteLater();
    }
    auto* host = new TWebKitHost(window);
    host->Start(Program(), BrowserFrames::DataFolder() + u"WebKit"_s);
    return host;
}

QString PermissionQuestion(int64_t kind, const QString& origin)
{
    const QString host = QUrl(origin).host().isEmpty() ? origin : QUrl(origin).host();
    switch (PermissionKind(kind)) {
    case PermissionKind::Geolocation:
        return u"%1 wants to know your location."_s.arg(host);
    case PermissionKind::Notifications:
        return u"%1 wants to show notifications."_s.arg(host);
    case PermissionKind::Media:
        return u"%1 wants to use your camera or microphone."_s.arg(host);
    default:
        return u"%1 asks for a permission."_s.arg(host);
    }
}

} // namespace

QString TfrmWebKitBrowser::HostProgram()
{
    return Program();
}

void TfrmWebKitBrowser::SetHostProgram(const QString& program)
{
    Program() = program;
}

TfrmWebKitBrowser* TfrmWebKitBrowser::Create(QWidget* parent)
{
    if (!QFileInfo(Program()).isExecutable())
        return nullptr;
    return new TfrmWebKitBrowser(parent);
}

TfrmWebKitBrowser::TfrmWebKitBrowser(QWidget* parent) : TfrmInternetBrowser(parent)
{
    // The frame takes the keyboard for the page; the embedded window never gets it.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_permissionBar = new QWidget(this);
    m_permissionBar->setObjectName(u"pnPermission"_s);
    auto* barLayout = new QHBoxLayout(m_permissionBar);
    barLayout->setContentsMargins(6, 3, 6, 3);
    m_permissionText = new QLabel(m_permissionBar);
    auto* allow = new QPushButton(u"Allow"_s, m_permissionBar);
    auto* deny = new QPushButton(u"Deny"_s, m_permissionBar);
    allow->setFocusPolicy(Qt::NoFocus);
    deny->setFocusPolicy(Qt::NoFocus);
    barLayout->addWidget(m_permissionText, 1);
    barLayout->addWidget(allow);
    barLayout->addWidget(deny);
    connect(allow, &QPushButton::clicked, this, [this] { AnswerPermission(true); });
    connect(deny, &QPushButton::clicked, this, [this] { AnswerPermission(false); });
    m_permissionBar->hide();
    layout->addWidget(m_permissionBar);

    m_pageArea = new QWidget(this);
    m_pageArea->setFocusPolicy(Qt::NoFocus);
    m_pageArea->installEventFilter(this);
    m_stack = new QStackedLayout;
    layout->addLayout(m_stack, 1);
    m_stack->addWidget(m_pageArea);

    m_stoppedPage = new QWidget(this);
    m_stoppedPage->setObjectName(u"pnStopped"_s);
    auto* stoppedLayout = new QVBoxLayout(m_stoppedPage);
    stoppedLayout->setContentsMargins(36, 36, 36, 36);
    auto* heading = new QLabel(u"<h2>This page stopped working</h2>"_s, m_stoppedPage);
    m_stoppedText = new QLabel(m_stoppedPage);
    m_stoppedText->setWordWrap(true);
    auto* reload = new QPushButton(u"Reload"_s, m_stoppedPage);
    reload->setObjectName(u"btnReload"_s);
    connect(reload, &QPushButton::clicked, this, &TfrmWebKitBrowser::Restart);
    stoppedLayout->addWidget(heading);
    stoppedLayout->addWidget(m_stoppedText);
    stoppedLayout->addWidget(reload, 0, Qt::AlignLeft);
    stoppedLayout->addStretch(1);
    m_stack->addWidget(m_stoppedPage);

    Attach(HostOfWindow(parent ? parent->window() : this));
}

TfrmWebKitBrowser::~TfrmWebKitBrowser()
{
    if (m_host) {
        m_host->disconnect(this);
        if (!m_host->HasFailed())
            m_host->CloseView(m_view);
    }
}

void TfrmWebKitBrowser::Attach(TWebKitHost* host)
{
    m_host = host;
    connect(host, &TWebKitHost::MessageReceived, this, &TfrmWebKitBrowser::HandleMessage);
    connect(host, &TWebKitHost::Failed, this, &TfrmWebKitBrowser::ShowStopped);
    m_view = host->CreateView(PageSize());
    if (host->HasFailed())
        QTimer::singleShot(0, this, &TfrmWebKitBrowser::ShowStopped);
}

QSize TfrmWebKitBrowser::PageSize() const
{
    const QSize area = m_pageArea->size();
    return area.isEmpty() ? QSize(800, 600) : area;
}

void TfrmWebKitBrowser::Send(MessageType type, std::vector<int64_t> integers, std::vector<std::string> texts)
{
    if (m_host && !m_stopped)
        m_host->Send(Message{type, m_view, std::move(integers), std::move(texts), {}});
}

void TfrmWebKitBrowser::GoBack()
{
    Send(MessageType::GoBack);
}

void TfrmWebKitBrowser::GoForward()
{
    Send(MessageType::GoForward);
}

void TfrmWebKitBrowser::RefreshPage()
{
    if (m_stopped) {
        Restart();
        return;
    }
    if (m_address.isEmpty())
        return;
    Send(MessageType::Reload);
}

void TfrmWebKitBrowser::Navigate(const QString& address)
{
    // As the other engine: what the user typed goes where a browser's address box takes it.
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (!url.isValid())
        return;
    m_address = url.toString(QUrl::FullyEncoded);
    Send(MessageType::Navigate, {}, {m_address.toStdString()});
}

void TfrmWebKitBrowser::Stop()
{
    Send(MessageType::Stop);
}

QString TfrmWebKitBrowser::GetLocationURL() const
{
    return m_address.isEmpty() ? u"http://"_s : m_address;
}

void TfrmWebKitBrowser::CaptureTo(QImage& bitmap)
{
    if (m_stopped || !m_host || m_address.isEmpty() || size().isEmpty())
        return;
    const int64_t request = m_nextRequest++;
    QImage picture;
    bool answered = false;
    QEventLoop loop;
    QPointer<TfrmWebKitBrowser> alive(this);
    const auto got = connect(m_host, &TWebKitHost::MessageReceived, &loop, [&](const Message& message) {
        if (message.type != MessageType::SnapshotReady || message.view != m_view ||
            message.Integer(0) != request)
            return;
        answered = true;
        const int64_t width = message.Integer(1);
        const int64_t height = message.Integer(2);
        if (width > 0 && height > 0 && width <= 16384 && height <= 16384 &&
            message.data.size() == std::size_t(width * height * 4))
            picture = QImage(reinterpret_cast<const uchar*>(message.data.data()), int(width), int(height),
                             int(width * 4), QImage::Format_ARGB32_Premultiplied)
                          .convertToFormat(QImage::Format_RGB32);
        loop.quit();
    });
    connect(m_host, &TWebKitHost::Failed, &loop, &QEventLoop::quit);
    connect(m_host, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(TWebKitHost::DefaultHangLimitMs, &loop, &QEventLoop::quit);
    Send(MessageType::Snapshot, {request});
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(got);
    if (!alive || !answered || picture.isNull())
        return;
    bitmap = picture.size() == size() ? picture : picture.scaled(size());
}

void TfrmWebKitBrowser::MeasurePageText(std::function<void(int64_t)> done)
{
    if (m_stopped || !m_host) {
        done(-1);
        return;
    }
    const int64_t request = m_nextRequest++;
    auto connection = std::make_shared<QMetaObject::Connection>();
    auto finish = [connection, done](int64_t length) {
        QObject::disconnect(*connection);
        done(length);
    };
    *connection =
        connect(m_host, &TWebKitHost::MessageReceived, this, [this, request, finish](const Message& m) {
            if (m.type == MessageType::Evaluated && m.view == m_view && m.Integer(0) == request)
                finish(m.Integer(1, -1));
        });
    Send(MessageType::Evaluate, {request}, {PageTextLength::Script().toStdString()});
}

QString TfrmWebKitBrowser::PendingPermission() const
{
    return m_questions.isEmpty() ? QString() : m_questions.first().Text;
}

void TfrmWebKitBrowser::AnswerPermission(bool allowed)
{
    if (m_questions.isEmpty())
        return;
    const TPermissionQuestion question = m_questions.takeFirst();
    Send(MessageType::PermissionAnswer, {question.Request, allowed ? 1 : 0});
    ShowNextQuestion();
}

void TfrmWebKitBrowser::ShowNextQuestion()
{
    m_permissionBar->setVisible(!m_questions.isEmpty());
    if (!m_questions.isEmpty())
        m_permissionText->setText(m_questions.first().Text);
}

void TfrmWebKitBrowser::HandleMessage(const Message& message)
{
    if (message.view != m_view)
        return;
    const QString text = QString::fromStdString(message.Text(0));
    switch (message.type) {
    case MessageType::ViewCreated:
        HandleViewCreated(message.Integer(0));
        break;
    case MessageType::TitleChanged:
        WebBrowserTitleChange(text);
        break;
    case MessageType::StatusText:
        WebBrowserStatusTextChange(text);
        break;
    case MessageType::ProgressChanged:
        WebBrowserProgressChange(int32_t(std::clamp<int64_t>(message.Integer(0), 0, 100)),
                                 int32_t(std::clamp<int64_t>(message.Integer(1), 0, 100)));
        break;
    case MessageType::CommandState:
        WebBrowserCommandStateChange(kCommandBack, message.Integer(0) != 0);
        WebBrowserCommandStateChange(kCommandForward, message.Integer(1) != 0);
        break;
    case MessageType::AddressChanged:
        if (!text.isEmpty())
            m_address = text;
        break;
    case MessageType::LoadFinished:
        WebBrowserDocumentComplete(text);
        break;
    case MessageType::NewWindow:
        HandleNewWindow(text);
        break;
    case MessageType::CloseRequested:
        WebBrowserCloseQuery();
        break;
    case MessageType::FocusTaken:
        setFocus(Qt::MouseFocusReason);
        break;
    case MessageType::FocusLeft:
        // Tab ran off the page's end (or Shift+Tab off its start): on to the window's controls.
        m_leaving = true;
        QWidget::focusNextPrevChild(FocusDirection(message.Integer(0)) == FocusDirection::First);
        m_leaving = false;
        break;
    case MessageType::DownloadRequested:
        HandleDownload(text, QString::fromStdString(message.Text(1)));
        break;
    case MessageType::DownloadFinished: {
        TBrowserDownloadRec record;
        record.FileName = text;
        record.State = message.Integer(0) ? TBrowserDownloadRec::dsFinished : TBrowserDownloadRec::dsFailed;
        if (record.State == TBrowserDownloadRec::dsFinished)
            record.Received = record.Total = QFileInfo(text).size();
        WebBrowserDownload(record);
        break;
    }
    case MessageType::PermissionRequest:
        HandlePermission(message.Integer(0), message.Integer(1), text);
        break;
    default:
        break;
    }
}

void TfrmWebKitBrowser::HandleViewCreated(int64_t windowId)
{
    delete m_container;
    m_container = nullptr;
    // Only a window system with foreign windows (X11) can show the page; elsewhere the frame
    // still loads, measures and captures it.
    QWindow* page = windowId > 0 ? QWindow::fromWinId(WId(windowId)) : nullptr;
    if (!page)
        return;
    m_container = QWidget::createWindowContainer(page, m_pageArea);
    m_container->setFocusPolicy(Qt::NoFocus);
    m_container->setGeometry(m_pageArea->rect());
    m_container->show();
}

void TfrmWebKitBrowser::HandleNewWindow(const QString& address)
{
    QObject* target = WebBrowserNewWindow2();
    if (auto* frame = qobject_cast<TfrmWebKitBrowser*>(target)) {
        frame->Navigate(address);
        return;
    }
    if (!target && !address.isEmpty() && OpenOutside)
        OpenOutside(address);
}

void TfrmWebKitBrowser::HandleDownload(const QString& address, const QString& suggestedName)
{
    QString name = suggestedName;
    if (name.isEmpty())
        name = QUrl(address).fileName();
    if (name.isEmpty())
        name = u"download"_s;
    const QString target =
        ChooseDownloadFile ? ChooseDownloadFile(window(), SuggestedDownloadPath(name)) : QString();
    if (target.isEmpty())
        return;
    TBrowserDownloadRec record;
    record.FileName = target;
    WebBrowserDownload(record);
    Send(MessageType::Download, {}, {address.toStdString(), target.toStdString()});
}

void TfrmWebKitBrowser::HandlePermission(int64_t request, int64_t kind, const QString& origin)
{
    m_questions.append({request, PermissionQuestion(kind, origin)});
    ShowNextQuestion();
}

void TfrmWebKitBrowser::ShowStopped()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_questions.clear();
    ShowNextQuestion();
    delete m_container;
    m_container = nullptr;
    m_stoppedText->setText(u"The page <b>%1</b> ended unexpectedly."_s.arg(GetLocationURL().toHtmlEscaped()));
    m_stack->setCurrentWidget(m_stoppedPage);
    WebBrowserProgressChange(0, 0);
    WebBrowserCommandStateChange(kCommandBack, false);
    WebBrowserCommandStateChange(kCommandForward, false);
    WebBrowserTitleChange(u"This page stopped working"_s);
}

void TfrmWebKitBrowser::Restart()
{
    if (!m_stopped)
        return;
    if (m_host)
        m_host->disconnect(this);
    m_stopped = false;
    m_stack->setCurrentWidget(m_pageArea);
    Attach(HostOfWindow(window()));
    if (!m_address.isEmpty())
        Send(MessageType::Navigate, {}, {m_address.toStdString()});
}

bool TfrmWebKitBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pageArea && event->type() == QEvent::Resize) {
        const QSize area = m_pageArea->size();
        if (m_container)
            m_container->setGeometry(m_pageArea->rect());
        // The engine's window does not follow a size it is given from outside by itself.
        if (!area.isEmpty())
            Send(MessageType::Resize, {area.width(), area.height()});
    }
    return TfrmInternetBrowser::eventFilter(watched, event);
}

void TfrmWebKitBrowser::focusInEvent(QFocusEvent* event)
{
    TfrmInternetBrowser::focusInEvent(event);
    m_pageFocused = true;
    FocusDirection direction = FocusDirection::Current;
    if (event->reason() == Qt::TabFocusReason)
        direction = FocusDirection::First;
    else if (event->reason() == Qt::BacktabFocusReason)
        direction = FocusDirection::Last;
    Send(MessageType::FocusPage, {int64_t(direction)});
}

void TfrmWebKitBrowser::focusOutEvent(QFocusEvent* event)
{
    TfrmInternetBrowser::focusOutEvent(event);
    m_pageFocused = false;
    Send(MessageType::BlurPage);
}

void TfrmWebKitBrowser::keyPressEvent(QKeyEvent* event)
{
    // The window's shortcuts never get here (Qt takes them first); everything else is the
    // page's, in the X key code and state the page's toolkit reads.
    if (m_stopped) {
        TfrmInternetBrowser::keyPressEvent(event);
        return;
    }
    SendKey(true, *event);
}

void TfrmWebKitBrowser::keyReleaseEvent(QKeyEvent* event)
{
    if (m_stopped) {
        TfrmInternetBrowser::keyReleaseEvent(event);
        return;
    }
    SendKey(false, *event);
}

void TfrmWebKitBrowser::SendKey(bool pressed, const QKeyEvent& event)
{
    Send(MessageType::Key,
         {pressed ? 1 : 0, int64_t(event.nativeScanCode()), int64_t(event.nativeModifiers()),
          int64_t(event.key()), int64_t(event.modifiers().toInt())},
         {event.text().toStdString()});
}

bool TfrmWebKitBrowser::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab move through the page's own elements while it has the focus; the
    // page tells when they run off its end.
    if (m_leaving || m_stopped)
        return TfrmInternetBrowser::focusNextPrevChild(next);
    return false;
}
