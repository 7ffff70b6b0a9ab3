#include "TfrmInternetBrowser.h"

#include "TPageDialogSheet.h"
#include "TPermissionBar.h"
#include "TPopUpBar.h"
#include "TStoppedPage.h"
#include "sites/TSiteSettings.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

bool LoginDialog(QWidget* parent, const QUrl& url, const QString& realm, QString& user, QString& password)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(u"Login required"_s);
    auto* layout = new QFormLayout(&dialog);
    auto* text = new QLabel(u"%1 asks for a user name and password%2."_s.arg(
                                url.host().toHtmlEscaped(),
                                realm.isEmpty() ? QString() : u" (\"%1\")"_s.arg(realm.toHtmlEscaped())),
                            &dialog);
    text->setWordWrap(true);
    layout->addRow(text);
    auto* userEdit = new QLineEdit(&dialog);
    auto* passwordEdit = new QLineEdit(&dialog);
    passwordEdit->setEchoMode(QLineEdit::Password);
    layout->addRow(u"User name:"_s, userEdit);
    layout->addRow(u"Password:"_s, passwordEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    user = userEdit->text();
    password = passwordEdit->text();
    return accepted;
}

// The user's answers for the rest of the run, per site and permission, whichever engine
// asked.
QHash<QString, bool>& RememberedAnswers()
{
    static QHash<QString, bool> answers;
    return answers;
}

// Where the program's running downloads are saved: their names are taken before their files
// exist.
QSet<QString>& TakenDownloadPaths()
{
    static QSet<QString> paths;
    return paths;
}

// The settings key of an answer, for the permissions a site's settings keep.
QString SettingsName(TSitePermission permission)
{
    switch (permission) {
    case TSitePermission::Notifications:
        return u"Notifications"_s;
    case TSitePermission::Geolocation:
        return u"Geolocation"_s;
    case TSitePermission::Camera:
        return u"Camera"_s;
    case TSitePermission::Microphone:
        return u"Microphone"_s;
    case TSitePermission::ScreenShare:
    case TSitePermission::ScreenShareWithSound:
        return u"ScreenShare"_s;
    case TSitePermission::PopUps:
        return u"PopUps"_s;
    case TSitePermission::MultipleDownloads:
        return u"MultipleDownloads"_s;
    default:
        return {};
    }
}

QString OriginOf(const QUrl& address)
{
    return address
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
        .toString();
}

QString AnswerKey(const QUrl& origin, TSitePermission permission)
{
    return OriginOf(origin) + u'#' + QString::number(int(permission));
}

// Notes a click or key press of the user's in a frame's page: a download right after it is
// the user's, not the page's own. Pages' scripts never make such events.
class TUserActionFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress) {
            for (QObject* object = watched; object; object = object->parent()) {
                if (auto* frame = qobject_cast<TfrmInternetBrowser*>(object)) {
                    frame->NoteUserAction();
                    break;
                }
            }
        }
        return false;
    }
};

} // namespace

std::function<void(const TWebNotificationRec&)> TfrmInternetBrowser::OnWebNotification;

void TfrmInternetBrowser::WebNotification(const TWebNotificationRec& notification)
{
    if (OnWebNotification)
        OnWebNotification(notification);
}

std::function<QString(QWidget*, const QString&)> TfrmInternetBrowser::ChooseDownloadFile =
    [](QWidget* parent, const QString& suggestedPath) {
        // The question belongs to its window: the rest of the program goes on meanwhile. The
        // window may go while it is asked, and takes the dialog with it.
        QPointer<QFileDialog> dialog = new QFileDialog(parent, u"Save file"_s, suggestedPath);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setWindowModality(Qt::WindowModal);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (!dialog)
            return QString();
        const QString chosen = accepted ? dialog->selectedFiles().value(0) : QString();
        delete dialog.data();
        return chosen;
    };

QString TfrmInternetBrowser::SuggestedDownloadPath(const QString& name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!QDir().mkpath(folder))
        folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

QString TfrmInternetBrowser::FreeDownloadPath(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    // "report.tar.gz" becomes "report (1).tar.gz", as in a browser; a leading dot is no
    // extension.
    qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0 && name.left(dot).endsWith(u".tar"_s, Qt::CaseInsensitive) && dot > 4)
        dot -= 4;
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    constexpr int kMaxNumber = 9999;
    for (int number = 0; number <= kMaxNumber; ++number) {
        const QString candidate =
            info.dir().filePath(number == 0 ? name : u"%1 (%2)%3"_s.arg(stem).arg(number).arg(extension));
        if (!QFileInfo::exists(candidate) && !TakenDownloadPaths().contains(candidate)) {
            TakenDownloadPaths().insert(candidate);
            return candidate;
        }
    }
    return {};
}

std::function<bool(QWidget*, const QUrl&, const QString&, QString&, QString&)> TfrmInternetBrowser::AskLogin =
    &LoginDialog;

bool TfrmInternetBrowser::IsWebScheme(const QString& scheme)
{
    static const QStringList schemes{u"http"_s,  u"https"_s, u"file"_s,        u"data"_s,
                                     u"about"_s, u"blob"_s,  u"view-source"_s, u"qrc"_s};
    return scheme.isEmpty() || schemes.contains(scheme.toLower());
}

void TfrmInternetBrowser::OpenOnDesktop(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

QUrl TfrmInternetBrowser::TypedAddress(const QString& address)
{
    // The site dialog keeps what the user typed: "example.com" goes where a browser's
    // address box would take it.
    return QUrl::fromUserInput(address.trimmed());
}

QString TfrmInternetBrowser::PermissionText(TSitePermission permission)
{
    switch (permission) {
    case TSitePermission::Notifications:
        return u"%1 wants to show notifications."_s;
    case TSitePermission::Geolocation:
        return u"%1 wants to know your location."_s;
    case TSitePermission::Microphone:
        return u"%1 wants to use your microphone."_s;
    case TSitePermission::Camera:
        return u"%1 wants to use your camera."_s;
    case TSitePermission::CameraAndMicrophone:
        return u"%1 wants to use your camera and microphone."_s;
    case TSitePermission::CameraOrMicrophone:
        return u"%1 wants to use your camera or microphone."_s;
    case TSitePermission::MouseLock:
        return u"%1 wants to hide and lock your mouse pointer."_s;
    case TSitePermission::ScreenShare:
        return u"%1 wants to share your screen."_s;
    case TSitePermission::ScreenShareWithSound:
        return u"%1 wants to share your screen and its sound."_s;
    case TSitePermission::PopUps:
        return u"%1 wants to open pop-up windows."_s;
    case TSitePermission::MultipleDownloads:
        return u"%1 is trying to download multiple files."_s;
    case TSitePermission::Other:
        break;
    }
    return u"%1 asks for a permission."_s;
}

TfrmInternetBrowser::TfrmInternetBrowser(QWidget* parent) : QWidget(parent)
{
    // A fresh name per frame, so that several frames of one window never share one.
    QString name = u"frmTempBrowser"_s;
    for (int i = 0; i < 10; ++i)
        name += QChar(u'A' + QRandomGenerator::global()->bounded(26));
    setObjectName(name);
    static TUserActionFilter* userActions = [] {
        auto* filter = new TUserActionFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
        return filter;
    }();
    Q_UNUSED(userActions);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_permissionBar = new TPermissionBar(this);
    layout->addWidget(m_permissionBar);
    // Above the page, not over it: nothing can be drawn over engine 1's own window.
    m_dialogSheet = new TPageDialogSheet(this);
    layout->addWidget(m_dialogSheet);
    m_popUpBar = new TPopUpBar(this);
    layout->addWidget(m_popUpBar);
    connect(m_popUpBar, &TPopUpBar::OpenClicked, this, &TfrmInternetBrowser::OpenBlockedPopUp);
    connect(m_popUpBar, &TPopUpBar::AllowClicked, this, &TfrmInternetBrowser::AllowSitePopUps);
    m_stack = new QStackedLayout;
    layout->addLayout(m_stack, 1);
    m_stoppedPage = new TStoppedPage(this);
    m_stack->addWidget(m_stoppedPage);
    connect(m_stoppedPage, &TStoppedPage::ReloadClicked, this, &TfrmInternetBrowser::RefreshPage);
}

TfrmInternetBrowser::~TfrmInternetBrowser() = default;

void TfrmInternetBrowser::SetEngineView(QWidget* view, bool takesFocus)
{
    m_engineView = view;
    m_engineTakesFocus = takesFocus;
    m_stack->insertWidget(0, view);
    m_stack->setCurrentWidget(view);
    setFocusProxy(takesFocus ? view : nullptr);
}

QWidget* TfrmInternetBrowser::EngineArea() const
{
    return m_engineView;
}

void TfrmInternetBrowser::RefreshPage()
{
    if (m_stopped) {
        HideStopped();
        RestartEngine();
        return;
    }
    if (GetLocationURL() == u"http://"_s)
        return;
    DropPageDialog();
    NewDocument(QUrl(GetLocationURL()));
    ReloadPage();
}

void TfrmInternetBrowser::Navigate(const QString& address)
{
    const QUrl url = TypedAddress(address);
    if (!url.isValid())
        return;
    DropPageDialog();
    NewDocument(url);
    NavigateTo(url);
}

QString TfrmInternetBrowser::ChooseDownloadTarget(const QString& suggestedName, const QUrl& address)
{
    if (m_captureOnly || !ChooseDownloadFile)
        return {};
    const bool userActed = std::exchange(m_userActed, false);
    if (m_downloads > 0 && !userActed) {
        const QUrl page(GetLocationURL());
        const auto remembered =
            RememberedAnswers().constFind(AnswerKey(page, TSitePermission::MultipleDownloads));
        if (remembered == RememberedAnswers().constEnd()) {
            // Asked once; what the page starts meanwhile is not saved.
            if (!m_askingDownloads) {
                m_askingDownloads = true;
                AskPermission(page, TSitePermission::MultipleDownloads,
                              [this](bool) { m_askingDownloads = false; });
            }
            return {};
        }
        if (!*remembered)
            return {};
    }
    ++m_downloads;
    // Only a file name of the page's choice, never a folder: "../x" stays in Downloads.
    QString name = QFileInfo(suggestedName).fileName();
    if (name.isEmpty())
        name = QFileInfo(address.path()).fileName();
    if (name.isEmpty() || name == u"."_s || name == u".."_s)
        name = u"download"_s;
    if (m_generalSettings && m_generalSettings->SaveIntoDownloads())
        return FreeDownloadPath(SuggestedDownloadPath(name));
    return ChooseDownloadFile(window(), SuggestedDownloadPath(name));
}

QString TfrmInternetBrowser::PendingPermission() const
{
    return m_permissionBar->Pending();
}

void TfrmInternetBrowser::AnswerPermission(bool allowed)
{
    m_permissionBar->Answer(allowed);
}

void TfrmInternetBrowser::AskPermission(const QUrl& origin, TSitePermission permission,
                                        std::function<void(bool)> answer)
{
    const QString key = AnswerKey(origin, permission);
    // A site window's answers are the site's, kept in its settings across runs; the others
    // (and permissions the settings have no key for) are kept for the run.
    const QString name = SettingsName(permission);
    // Another host the window went to never inherits what the user granted the site.
    const bool kept = m_siteSettings && !name.isEmpty() && !m_siteHost.isEmpty() &&
                      origin.host().compare(m_siteHost, Qt::CaseInsensitive) == 0;
    if (kept) {
        if (const std::optional<bool> allowed = m_siteSettings->Permission(m_elementId, name)) {
            answer(*allowed);
            return;
        }
    }
    if (const auto found = RememberedAnswers().constFind(key);
        !kept && found != RememberedAnswers().constEnd()) {
        answer(*found);
        return;
    }
    const QString host = origin.host().isEmpty() ? origin.toString() : origin.host();
    m_askingOrigin = OriginOf(origin);
    // Never granted silently: the user answers above the page.
    QPointer<TSiteSettings> settings = kept ? m_siteSettings : nullptr;
    m_permissionBar->Ask(PermissionText(permission).arg(host),
                         [key, answer = std::move(answer), settings, name, id = m_elementId](bool allowed) {
                             if (settings)
                                 settings->SetPermission(id, name, allowed);
                             else
                                 RememberedAnswers().insert(key, allowed);
                             answer(allowed);
                         });
}

void TfrmInternetBrowser::SetSiteSettings(TSiteSettings* settings, const QString& elementId,
                                          const QString& siteAddress)
{
    m_siteSettings = settings;
    m_elementId = elementId;
    m_siteHost = TypedAddress(siteAddress).host();
}

void TfrmInternetBrowser::DropPermissionQuestions()
{
    m_permissionBar->Clear();
}

QString TfrmInternetBrowser::PendingPageDialog() const
{
    return m_dialogSheet->Pending();
}

void TfrmInternetBrowser::AnswerPageDialog(bool accepted, const QString& text, bool stopDialogs)
{
    m_dialogSheet->Answer(accepted, text, stopDialogs);
}

void TfrmInternetBrowser::AskPageDialog(TPageDialogKind kind, const QUrl& origin, const QString& message,
                                        const QString& defaultText,
                                        std::function<void(bool accepted, const QString& text)> answer)
{
    if (m_pageDialogsStopped || m_captureOnly) {
        answer(kind == TPageDialogKind::Alert || kind == TPageDialogKind::BeforeUnload, {});
        return;
    }
    const bool offerStop = m_pageDialogs > 0;
    ++m_pageDialogs;
    const QString host = origin.host().isEmpty() ? origin.toString() : origin.host();
    m_dialogSheet->Ask(
        kind, host, message, defaultText, offerStop,
        [this, answer = std::move(answer)](bool accepted, const QString& text, bool stopDialogs) {
            if (stopDialogs)
                m_pageDialogsStopped = true;
            answer(accepted, text);
        });
}

void TfrmInternetBrowser::DropPageDialog()
{
    m_dialogSheet->Drop();
}

bool TfrmInternetBrowser::PutToSleep()
{
    if (m_sleeping || KeepsAwake() || !MaySleepNow())
        return false;
    m_sleeping = true;
    m_sleepingAddress = GetLocationURL();
    m_sleepingScroll.reset();
    const uint64_t turn = ++m_sleepTurn;
    // A page that does not answer (busy, or hung) sleeps all the same, at the top.
    constexpr int kScrollAnswerMs = 3000;
    RunPageScript(u"[window.scrollX, window.scrollY]"_s,
                  [frame = QPointer<TfrmInternetBrowser>(this), turn](const QVariant& scroll) {
                      if (frame)
                          frame->SleepEngineNow(turn, scroll);
                  });
    QTimer::singleShot(kScrollAnswerMs, this, [this, turn] { SleepEngineNow(turn, {}); });
    emit SleepingChanged(true);
    return true;
}

void TfrmInternetBrowser::SleepEngineNow(uint64_t turn, const QVariant& scroll)
{
    if (turn != m_sleepTurn || !m_sleeping || m_engineAsleep)
        return;
    // What the page says is only a position if it is two sane numbers.
    constexpr double kFarthest = 10'000'000;
    const QVariantList position = scroll.toList();
    if (position.size() == 2) {
        bool xOk = false;
        bool yOk = false;
        const double x = position.at(0).toDouble(&xOk);
        const double y = position.at(1).toDouble(&yOk);
        if (xOk && yOk && std::isfinite(x) && std::isfinite(y) && (x > 0 || y > 0))
            m_sleepingScroll = QPoint(int(std::clamp(x, 0.0, kFarthest)), int(std::clamp(y, 0.0, kFarthest)));
    }
    if (SleepEngine()) {
        m_engineAsleep = true;
        emit EngineWentToSleep();
        return;
    }
    // The page came on screen meanwhile: it stays awake.
    m_sleeping = false;
    emit SleepingChanged(false);
}

void TfrmInternetBrowser::Wake()
{
    if (!m_sleeping)
        return;
    m_sleeping = false;
    ++m_sleepTurn;
    // Woken before its engine let the page go, the page is still where it was.
    if (m_engineAsleep) {
        m_engineAsleep = false;
        m_wakingScroll = m_sleepingScroll;
        WakeEngine(m_sleepingAddress);
    }
    emit SleepingChanged(false);
}

void TfrmInternetBrowser::NewDocument(const QUrl& address)
{
    m_downloads = 0;
    m_pageDialogs = 0;
    m_pageDialogsStopped = false;
    m_popUpBar->Clear();
    // Another site's page must not seem to ask what the one before asked.
    if (!m_askingOrigin.isEmpty() && OriginOf(address) != m_askingOrigin) {
        m_askingOrigin.clear();
        DropPermissionQuestions();
    }
}

bool TfrmInternetBrowser::PopUpMayOpen(bool userGesture, const QUrl& page, const QUrl& address)
{
    if (m_captureOnly)
        return false;
    if (userGesture || RememberedAnswers().value(AnswerKey(page, TSitePermission::PopUps), false))
        return true;
    m_popUpOrigin = page;
    m_popUpBar->Blocked(address);
    return false;
}

QUrl TfrmInternetBrowser::BlockedPopUp() const
{
    return m_popUpBar->Latest();
}

int TfrmInternetBrowser::BlockedPopUps() const
{
    return m_popUpBar->Count();
}

void TfrmInternetBrowser::OpenBlockedPopUp()
{
    const QUrl address = m_popUpBar->Latest();
    m_popUpBar->Clear();
    if (address.isEmpty())
        return;
    if (TfrmInternetBrowser* frame = WebBrowserNewWindow2())
        frame->Navigate(address.toString());
    else
        OpenOnDesktop(address);
}

void TfrmInternetBrowser::AllowSitePopUps()
{
    if (m_popUpBar->Latest().isEmpty())
        return;
    RememberedAnswers().insert(AnswerKey(m_popUpOrigin, TSitePermission::PopUps), true);
    OpenBlockedPopUp();
}

void TfrmInternetBrowser::ShowStopped(const QString& address)
{
    m_stopped = true;
    DropPermissionQuestions();
    DropPageDialog();
    m_stoppedPage->SetAddress(address);
    m_stack->setCurrentWidget(m_stoppedPage);
    setFocusProxy(m_stoppedPage);
    WebBrowserProgressChange(0, 0);
    WebBrowserCommandStateChange(kCommandBack, false);
    WebBrowserCommandStateChange(kCommandForward, false);
    WebBrowserTitleChange(TStoppedPage::kTitle);
}

void TfrmInternetBrowser::HideStopped()
{
    m_stopped = false;
    if (m_engineView) {
        m_stack->setCurrentWidget(m_engineView);
        setFocusProxy(m_engineTakesFocus ? m_engineView : nullptr);
    }
}

void TfrmInternetBrowser::WebBrowserTitleChange(const QString& text)
{
    m_title = text;
    emit TitleChanged(text);
}

void TfrmInternetBrowser::WebBrowserStatusTextChange(const QString& text)
{
    m_statusText = text;
    emit StatusTextChanged(text);
}

void TfrmInternetBrowser::WebBrowserProgressChange(int32_t progress, int32_t progressMax)
{
    m_progress = progress;
    m_progressMax = progressMax;
    emit ProgressChanged();
}

void TfrmInternetBrowser::WebBrowserCommandStateChange(int command, bool enable)
{
    if (command == kCommandForward)
        m_canGoForward = enable;
    else if (command == kCommandBack)
        m_canGoBack = enable;
    else
        return;
    emit CommandStateChanged();
}

TfrmInternetBrowser* TfrmInternetBrowser::WebBrowserNewWindow2()
{
    if (m_captureOnly || !NewWindowFrame)
        return nullptr;
    return NewWindowFrame();
}

void TfrmInternetBrowser::WebBrowserDocumentComplete(const QString& address)
{
    if (m_wakingScroll) {
        const QPoint scroll = *m_wakingScroll;
        m_wakingScroll.reset();
        RunPageScript(u"window.scrollTo(%1, %2)"_s.arg(scroll.x()).arg(scroll.y()), {});
    }
    emit DocumentCompleted(address);
}

void TfrmInternetBrowser::WebBrowserCloseQuery()
{
    emit CloseRequested();
}

void TfrmInternetBrowser::WebBrowserDownload(const TBrowserDownloadRec& download)
{
    if (download.State != TBrowserDownloadRec::dsRunning)
        TakenDownloadPaths().remove(download.FileName);
    emit DownloadChanged(download);
}

uint64_t TfrmInternetBrowser::NewDownloadId()
{
    static uint64_t last = 0;
    return ++last;
}

void TfrmInternetBrowser::WebBrowserFullScreen(bool fullScreen)
{
    emit FullScreenRequested(fullScreen);
}

bool TfrmInternetBrowser::IsBlankPicture(const QImage& picture)
{
    if (picture.isNull())
        return true;
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb first = pixels.pixel(0, 0);
    // A page may well be one colour of its own.
    if (first != qRgb(255, 255, 255) && first != qRgb(0, 0, 0))
        return false;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (row[x] != first)
                return false;
    }
    return true;
}

void TfrmInternetBrowser::WhenPainted(std::function<void()> painted)
{
    if (painted)
        painted();
}
