#include "TfrmInternetBrowser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QStandardPaths>

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

} // namespace

std::function<void(const TWebNotificationRec&)> TfrmInternetBrowser::OnWebNotification;

void TfrmInternetBrowser::WebNotification(const TWebNotificationRec& notification)
{
    if (OnWebNotification)
        OnWebNotification(notification);
}

std::function<QString(QWidget*, const QString&)> TfrmInternetBrowser::ChooseDownloadFile =
    [](QWidget* parent, const QString& suggestedPath) {
        return QFileDialog::getSaveFileName(parent, u"Save file"_s, suggestedPath);
    };

QString TfrmInternetBrowser::SuggestedDownloadPath(const QString& name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!QDir().mkpath(folder))
        folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

std::function<bool(QWidget*, const QUrl&, const QString&, QString&, QString&)> TfrmInternetBrowser::AskLogin =
    &LoginDialog;

TfrmInternetBrowser::TfrmInternetBrowser(QWidget* parent) : QWidget(parent)
{
    // A fresh name per frame, so that several frames of one window never share one.
    QString name = u"frmTempBrowser"_s;
    for (int i = 0; i < 10; ++i)
        name += QChar(u'A' + QRandomGenerator::global()->bounded(26));
    setObjectName(name);
}

TfrmInternetBrowser::~TfrmInternetBrowser() = default;

void TfrmInternetBrowser::ClearEvents()
{
    OnNewWindow = nullptr;
    OnTitleChange = nullptr;
    OnCommandStateChange = nullptr;
    OnStatusTextChange = nullptr;
    OnProgressChange = nullptr;
    OnCloseQuery = nullptr;
    OnDocumentComplete = nullptr;
    OnBeforeNavigate2 = nullptr;
    OnDownload = nullptr;
    OnFullScreen = nullptr;
}

void TfrmInternetBrowser::WebBrowserTitleChange(const QString& text)
{
    m_title = text;
    if (OnTitleChange)
        OnTitleChange(*this, text);
}

void TfrmInternetBrowser::WebBrowserStatusTextChange(const QString& text)
{
    m_statusText = text;
    if (OnStatusTextChange)
        OnStatusTextChange(*this);
}

void TfrmInternetBrowser::WebBrowserProgressChange(int32_t progress, int32_t progressMax)
{
    m_progress = progress;
    m_progressMax = progressMax;
    if (OnProgressChange)
        OnProgressChange(*this);
}

void TfrmInternetBrowser::WebBrowserCommandStateChange(int command, bool enable)
{
    if (command == kCommandForward)
        m_canGoForward = enable;
    else if (command == kCommandBack)
        m_canGoBack = enable;
    else
        return;
    if (OnCommandStateChange)
        OnCommandStateChange(*this);
}

QObject* TfrmInternetBrowser::WebBrowserNewWindow2()
{
    QObject* target = nullptr;
    if (OnNewWindow)
        OnNewWindow(*this, target);
    return target;
}

void TfrmInternetBrowser::WebBrowserDocumentComplete(const QString& address)
{
    if (OnDocumentComplete)
        OnDocumentComplete(*this, address);
}

bool TfrmInternetBrowser::WebBrowserBeforeNavigate2(const QString& address)
{
    bool cancel = false;
    if (OnBeforeNavigate2)
        OnBeforeNavigate2(*this, address, cancel);
    return !cancel;
}

void TfrmInternetBrowser::WebBrowserCloseQuery()
{
    // The engine never closes itself; the window closes the tab.
    bool canClose = false;
    if (OnCloseQuery)
        OnCloseQuery(*this, canClose);
}

void TfrmInternetBrowser::WebBrowserDownload(const TBrowserDownloadRec& download)
{
    if (OnDownload)
        OnDownload(*this, download);
}

void TfrmInternetBrowser::WebBrowserFullScreen(bool fullScreen)
{
    if (OnFullScreen)
        OnFullScreen(*this, fullScreen);
}

void TfrmInternetBrowser::RunPageScript(const QString& script,
                                        std::function<void(const QVariant& value)> result)
{
    Q_UNUSED(script);
    if (result)
        result(QVariant());
}

void TfrmInternetBrowser::WhenPainted(std::function<void()> painted)
{
    if (painted)
        painted();
}
