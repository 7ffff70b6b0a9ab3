#include "TfrmWebKitBrowser.h"

#include "BrowserFrames.h"
#include "TPageDialogSheet.h"
#include "TWebKitHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <map>

using namespace Qt::Literals::StringLiterals;
using namespace WebKitHostProtocol;

std::function<void(const QString&)> TfrmWebKitBrowser::OpenOutside = [](const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
};

// Qt's own way of trying a key on the shortcuts (what QTest's key clicks use).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace {

QString& Program()
{
    static QString program = TWebKitHost::DefaultProgram();
    return program;
}

// Every page of a window of one storage shares one host process: the host hangs off the
// window, named by its storage. A site with a session of its own keeps its data in its own
// folder, in a host of its own.
TWebKitHost* HostOfWindow(QWidget* window, const QString& storage)
{
    for (TWebKitHost* host : window->findChildren<TWebKitHost*>(storage, Qt::FindDirectChildrenOnly)) {
        if (!host->HasFailed())
            return host;
        // Its frames show their stopped pages and forget it.
        host->deleteLater();
    }
    auto* host = new TWebKitHost(window);
    host->setObjectName(storage);
    host->Start(Program(), BrowserFrames::DataFolder() +
                               (storage.isEmpty() ? u"WebKit"_s : QString(u"WebKit/Sites/"_s + storage)));
    return host;
}

TSitePermission PermissionOf(int64_t kind)
{
    switch (PermissionKind(kind)) {
    case PermissionKind::Geolocation:
        return TSitePermission::Geolocation;
    case PermissionKind::Notifications:
        return TSitePermission::Notifications;
    case PermissionKind::Media:
        return TSitePermission::CameraOrMicrophone;
    default:
        return TSitePermission::Other;
    }
}

// A script's value as the host hands it over: JSON, or nothing.
QVariant ScriptValue(const std::string& json)
{
    if (json.empty())
        return {};
    // Wrapped, so that a bare number or text is a document too.
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray("[") + QByteArray::fromStdString(json) + QByteArray("]"));
    if (!document.isArray() || document.array().size() != 1)
        return {};
    return document.array().first().toVariant();
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

TfrmWebKitBrowser* TfrmWebKitBrowser::Create(QWidget* parent, const TFrameSite& site)
{
    if (!QFileInfo(Program()).isExecutable())
        return nullptr;
    return new TfrmWebKitBrowser(parent, site);
}

TfrmWebKitBrowser::TfrmWebKitBrowser(QWidget* parent, const TFrameSite& site)
    : TfrmInternetBrowser(parent), m_site(site)
{
    // The frame takes the keyboard for the page; the embedded window never gets it.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);

    m_pageArea = new QWidget(this);
    m_pageArea->setFocusPolicy(Qt::NoFocus);
    m_pageArea->installEventFilter(this);
    SetEngineView(m_pageArea, false);

    Attach(HostOfWindow(parent ? parent->window() : this, site.Storage));
}

TfrmWebKitBrowser::~TfrmWebKitBrowser()
{
    if (m_host) {
        m_host->disconnect(this);
        // What the page downloads ends with its tab, as the window's list says.
        for (const QString& target : m_downloadIds.keys())
            Send(MessageType::CancelDownload, {}, {target.toStdString()});
        if (!m_host->HasFailed() && !EngineAsleep())
            m_host->CloseView(m_view);
    }
}

void TfrmWebKitBrowser::Attach(TWebKitHost* host)
{
    m_host = host;
    connect(host, &TWebKitHost::MessageReceived, this, &TfrmWebKitBrowser::HandleMessage);
    connect(host, &TWebKitHost::Failed, this, &TfrmWebKitBrowser::HostEnded);
    OpenView();
    if (host->HasFailed())
        QTimer::singleShot(0, this, &TfrmWebKitBrowser::HostEnded);
}

void TfrmWebKitBrowser::OpenView()
{
    m_view = m_host->CreateView(DevicePageSize(), m_pageArea->devicePixelRatioF());
    // A new view (also after the host ended, or the page slept) starts as the site asks.
    m_host->Send(
        Message{MessageType::SiteSettings,
                m_view,
                {m_site.SpellCheck ? 1 : 0},
                {m_site.UserAgent.toStdString(), m_site.UserStyle.toStdString(),
                 m_site.UserScript.toStdString(), m_site.SpellCheckLanguages.join(u',').toStdString()},
                {}});
    if (!qFuzzyCompare(m_zoomFactor, 1.0))
        m_host->Send(Message{MessageType::Zoom, m_view, {qRound64(m_zoomFactor * 1000)}, {}, {}});
}

qint64 TfrmWebKitBrowser::EngineProcessId() const
{
    return m_host && !m_host->HasFailed() ? m_host->ProcessId() : 0;
}

bool TfrmWebKitBrowser::MaySleepNow() const
{
    // As the other engine: no page the user may be looking at.
    return m_host && !IsStopped() && (!isVisible() || window()->isMinimized());
}

bool TfrmWebKitBrowser::SleepEngine()
{
    if (!MaySleepNow() || m_host->HasFailed())
        return false;
    // A question of the page's goes with its view.
    DropPageDialog();
    m_host->CloseView(m_view);
    m_playsSound = m_capturing = false;
    // No view of the host has this number; what the ended view still sends is not this page's.
    m_view = 0;
    delete m_container;
    m_container = nullptr;
    return true;
}

void TfrmWebKitBrowser::WakeEngine(const QString& address)
{
    if (!m_host || m_host->HasFailed()) {
        // The host ended while the page slept: a new one, as "Reload" on the stopped page starts.
        if (m_host)
            m_host->disconnect(this);
        Attach(HostOfWindow(window(), m_site.Storage));
    } else {
        OpenView();
    }
    // The frame's own address is the page's; the one given says "http://" for none.
    Q_UNUSED(address);
    if (!m_address.isEmpty())
        Send(MessageType::Navigate, {}, {m_address.toStdString()});
}

void TfrmWebKitBrowser::SetZoomFactor(double factor)
{
    m_zoomFactor = factor;
    Send(MessageType::Zoom, {qRound64(factor * 1000)});
}

double TfrmWebKitBrowser::ZoomFactor() const
{
    return m_zoomFactor;
}

QSize TfrmWebKitBrowser::PageSize() const
{
    const QSize area = m_pageArea->size();
    return area.isEmpty() ? QSize(800, 600) : area;
}

QSize TfrmWebKitBrowser::DevicePageSize() const
{
    // Rounded as Qt sizes the embedded window, so that the two never pull at each other.
    return PageSize() * m_pageArea->devicePixelRatioF();
}

void TfrmWebKitBrowser::Send(MessageType type, std::vector<int64_t> integers, std::vector<std::string> texts)
{
    if (m_host && !IsStopped())
        m_host->Send(Message{type, m_view, std::move(integers), std::move(texts), {}});
}

void TfrmWebKitBrowser::GoBack()
{
    DropPageDialog();
    Send(MessageType::GoBack);
}

void TfrmWebKitBrowser::GoForward()
{
    DropPageDialog();
    Send(MessageType::GoForward);
}

void TfrmWebKitBrowser::ReloadPage()
{
    Send(MessageType::Reload);
}

void TfrmWebKitBrowser::NavigateTo(const QUrl& url)
{
    m_address = url.toString(QUrl::FullyEncoded);
    Send(MessageType::Navigate, {}, {m_address.toStdString()});
}

void TfrmWebKitBrowser::Stop()
{
    DropPageDialog();
    Send(MessageType::Stop);
}

QString TfrmWebKitBrowser::GetLocationURL() const
{
    return m_address.isEmpty() ? u"http://"_s : m_address;
}

void TfrmWebKitBrowser::CaptureTo(QImage& bitmap)
{
    if (IsStopped() || !m_host || m_address.isEmpty() || size().isEmpty())
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

void TfrmWebKitBrowser::RunPageScript(const QString& script, std::function<void(const QVariant&)> result)
{
    if (IsStopped() || !m_host) {
        if (result)
            result(QVariant());
        return;
    }
    const int64_t request = m_nextRequest++;
    // The answer comes on the host's connection; a host that ends first answers nothing.
    auto answered = std::make_shared<QMetaObject::Connection>();
    auto ended = std::make_shared<QMetaObject::Connection>();
    auto finish = [answered, ended, result](const QVariant& value) {
        QObject::disconnect(*answered);
        QObject::disconnect(*ended);
        if (result)
            result(value);
    };
    *answered =
        connect(m_host, &TWebKitHost::MessageReceived, this, [this, request, finish](const Message& m) {
            if (m.type == MessageType::Evaluated && m.view == m_view && m.Integer(0) == request)
                finish(ScriptValue(m.Text(0)));
        });
    *ended = connect(m_host, &TWebKitHost::Failed, this, [finish] { finish(QVariant()); });
    Send(MessageType::Evaluate, {request}, {script.toStdString()});
}

void TfrmWebKitBrowser::WhenPainted(std::function<void()> painted)
{
    if (!painted)
        return;
    if (m_loaded || IsStopped()) {
        painted();
        return;
    }
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(this, &TfrmInternetBrowser::DocumentCompleted, this, [once, painted] {
        QObject::disconnect(*once);
        painted();
    });
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
        if (message.Integer(0) == 0)
            m_loaded = false;
        WebBrowserProgressChange(int32_t(std::clamp<int64_t>(message.Integer(0), 0, 100)),
                                 int32_t(std::clamp<int64_t>(message.Integer(1), 0, 100)));
        break;
    case MessageType::CommandState:
        WebBrowserCommandStateChange(kCommandBack, message.Integer(0) != 0);
        WebBrowserCommandStateChange(kCommandForward, message.Integer(1) != 0);
        break;
    case MessageType::AddressChanged:
        if (!text.isEmpty() && text != m_address)
            NewDocument(QUrl(text));
        if (!text.isEmpty())
            m_address = text;
        break;
    case MessageType::LoadFinished:
        m_loaded = true;
        WebBrowserDocumentComplete(text);
        break;
    case MessageType::NewWindow:
        HandleNewWindow(text, message.Integer(0) != 0);
        break;
    case MessageType::CloseRequested:
        WebBrowserCloseQuery();
        break;
    case MessageType::FocusTaken:
        // The user's click into the page (the host sees it, the program does not).
        NoteUserAction();
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
    case MessageType::DownloadProgress: {
        if (!m_downloadIds.contains(text))
            break;
        TBrowserDownloadRec record = DownloadReport(text);
        record.Received = std::max<int64_t>(message.Integer(0), 0);
        record.Total = message.Integer(1, -1);
        WebBrowserDownload(record);
        break;
    }
    case MessageType::DownloadFinished: {
        if (!m_downloadIds.contains(text))
            break;
        TBrowserDownloadRec record = DownloadReport(text);
        m_downloadIds.remove(text);
        switch (DownloadOutcome(message.Integer(0))) {
        case DownloadOutcome::Succeeded:
            record.State = TBrowserDownloadRec::dsFinished;
            record.Received = record.Total = QFileInfo(text).size();
            break;
        case DownloadOutcome::Cancelled:
            record.State = TBrowserDownloadRec::dsCancelled;
            break;
        default:
            record.State = TBrowserDownloadRec::dsFailed;
            record.Error = QString::fromStdString(message.Text(1));
            break;
        }
        WebBrowserDownload(record);
        break;
    }
    case MessageType::PermissionRequest:
        HandlePermission(message.Integer(0), message.Integer(1), text);
        break;
    case MessageType::ScriptDialog:
        HandleScriptDialog(message);
        break;
    case MessageType::FindResult:
        emit FindFinished(-1, int(std::clamp<int64_t>(message.Integer(0), 0, 1000000)));
        break;
    case MessageType::PageKey:
        HandlePageKey(message);
        break;
    case MessageType::Notification:
        HandleNotification(message);
        break;
    case MessageType::IconChanged:
        HandleIcon(message);
        break;
    case MessageType::MediaState:
        m_playsSound = message.Integer(0) != 0;
        m_capturing = message.Integer(1) != 0;
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

void TfrmWebKitBrowser::HandleNewWindow(const QString& address, bool userGesture)
{
    if (!PopUpMayOpen(userGesture, QUrl(m_address), QUrl(address)))
        return;
    if (auto* frame = qobject_cast<TfrmWebKitBrowser*>(WebBrowserNewWindow2())) {
        frame->Navigate(address);
        return;
    }
    if (!CaptureOnly() && !address.isEmpty() && OpenOutside)
        OpenOutside(address);
}

void TfrmWebKitBrowser::HandleDownload(const QString& address, const QString& suggestedName)
{
    const QString target = ChooseDownloadTarget(suggestedName, QUrl(address));
    if (target.isEmpty())
        return;
    m_downloadIds.insert(target, NewDownloadId());
    WebBrowserDownload(DownloadReport(target));
    Send(MessageType::Download, {}, {address.toStdString(), target.toStdString()});
}

TBrowserDownloadRec TfrmWebKitBrowser::DownloadReport(const QString& target)
{
    TBrowserDownloadRec record;
    record.Id = m_downloadIds.value(target);
    record.FileName = target;
    record.Cancel = [frame = QPointer<TfrmWebKitBrowser>(this), target] {
        if (frame && frame->m_downloadIds.contains(target))
            frame->Send(MessageType::CancelDownload, {}, {target.toStdString()});
    };
    return record;
}

void TfrmWebKitBrowser::HandlePermission(int64_t request, int64_t kind, const QString& origin)
{
    AskPermission(QUrl(origin), PermissionOf(kind), [this, request](bool allowed) {
        Send(MessageType::PermissionAnswer, {request, allowed ? 1 : 0});
    });
}

void TfrmWebKitBrowser::HandleScriptDialog(const Message& message)
{
    const int64_t request = message.Integer(0);
    TPageDialogKind kind = TPageDialogKind::Alert;
    switch (DialogKind(message.Integer(1))) {
    case DialogKind::Confirm:
        kind = TPageDialogKind::Confirm;
        break;
    case DialogKind::Prompt:
        kind = TPageDialogKind::Prompt;
        break;
    case DialogKind::BeforeUnload:
        kind = TPageDialogKind::BeforeUnload;
        break;
    default:
        break;
    }
    AskPageDialog(kind, QUrl(QString::fromStdString(message.Text(2))),
                  QString::fromStdString(message.Text(0)), QString::fromStdString(message.Text(1)),
                  [this, request](bool accepted, const QString& text) {
                      Send(MessageType::DialogAnswer, {request, accepted ? 1 : 0}, {text.toStdString()});
                  });
}

void TfrmWebKitBrowser::FindText(const QString& text, bool backward)
{
    Send(MessageType::Find, {backward ? 1 : 0}, {text.toStdString()});
}

void TfrmWebKitBrowser::StopFinding()
{
    Send(MessageType::Find, {0}, {std::string()});
}

void TfrmWebKitBrowser::HandlePageKey(const Message& message)
{
    // A key the window system gave the page's window (the pointer was over it) is the
    // program's first: its shortcuts, then whatever has the focus, which is the frame (and so
    // the page again) when the user clicked into the page.
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window())
        target = this;
    const bool pressed = message.Integer(0) != 0;
    const int key = int(message.Integer(3));
    const auto modifiers = Qt::KeyboardModifiers(int(message.Integer(4) & int64_t(Qt::KeyboardModifierMask)));
    const QString text = QString::fromStdString(message.Text(0));
    if (pressed && key != 0) {
        if (qt_sendShortcutOverrideEvent(target, 0, key, modifiers, text))
            return;
        // Ctrl++ comes with Shift on most keyboards; the window's key is Ctrl++.
        if ((modifiers & Qt::ShiftModifier) && (modifiers & Qt::ControlModifier) && !QChar(key).isLetter() &&
            key < 0x01000000 &&
            qt_sendShortcutOverrideEvent(target, 0, key, modifiers & ~Qt::ShiftModifier, text))
            return;
    }
    QKeyEvent event(pressed ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers,
                    quint32(std::clamp<int64_t>(message.Integer(1), 0, 255)), 0,
                    quint32(std::clamp<int64_t>(message.Integer(2), 0, 0xFFFF)), text);
    QCoreApplication::sendEvent(target, &event);
}

void TfrmWebKitBrowser::HandleNotification(const Message& message)
{
    TWebNotificationRec record;
    record.Title = QString::fromStdString(message.Text(0));
    record.Message = QString::fromStdString(message.Text(1));
    record.Origin = QUrl(QString::fromStdString(message.Text(2)))
                        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    const int64_t id = message.Integer(0);
    QPointer<TfrmWebKitBrowser> alive(this);
    record.Click = [alive, id] {
        if (alive)
            alive->Send(MessageType::NotifyClicked, {id});
    };
    WebNotification(record);
}

void TfrmWebKitBrowser::HandleIcon(const Message& message)
{
    const int64_t width = message.Integer(0);
    const int64_t height = message.Integer(1);
    if (width <= 0 || height <= 0 || width > 512 || height > 512 ||
        message.data.size() != std::size_t(width * height * 4)) {
        emit IconChanged(QIcon());
        return;
    }
    const QImage picture = QImage(reinterpret_cast<const uchar*>(message.data.data()), int(width),
                                  int(height), int(width * 4), QImage::Format_ARGB32_Premultiplied)
                               .copy();
    emit IconChanged(QIcon(QPixmap::fromImage(picture)));
}

void TfrmWebKitBrowser::HostEnded()
{
    // A sleeping page had nothing in the host: it wakes on a new one.
    if (IsStopped() || EngineAsleep())
        return;
    delete m_container;
    m_container = nullptr;
    // Its downloads ended with the engine.
    for (const QString& target : m_downloadIds.keys()) {
        TBrowserDownloadRec record = DownloadReport(target);
        record.State = TBrowserDownloadRec::dsFailed;
        record.Error = u"The engine stopped"_s;
        WebBrowserDownload(record);
    }
    m_downloadIds.clear();
    ShowStopped(GetLocationURL());
}

void TfrmWebKitBrowser::RestartEngine()
{
    if (m_host)
        m_host->disconnect(this);
    Attach(HostOfWindow(window(), m_site.Storage));
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
        if (!area.isEmpty()) {
            const QSize device = DevicePageSize();
            Send(MessageType::Resize,
                 {device.width(), device.height(), qRound64(m_pageArea->devicePixelRatioF() * 1000)});
        }
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
    if (IsStopped()) {
        // The frame keeps the keyboard for the page it lost: the stopped page's "Reload"
        // answers the keys a focused button answers.
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            RefreshPage();
            return;
        }
        TfrmInternetBrowser::keyPressEvent(event);
        return;
    }
    SendKey(true, *event);
}

void TfrmWebKitBrowser::keyReleaseEvent(QKeyEvent* event)
{
    if (IsStopped()) {
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
    if (m_leaving || IsStopped())
        return TfrmInternetBrowser::focusNextPrevChild(next);
    return false;
}
