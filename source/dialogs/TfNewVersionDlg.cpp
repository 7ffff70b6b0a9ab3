#include "TfNewVersionDlg.h"

#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "panels/TDscLabel.h"
#include "pictures/GraphicTools.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TfNewVersionDlg::TfNewVersionDlg(QWidget* parent) : TMVDialog(parent)
{
    setWindowTitle(u"A New version is available"_s);

    auto* band = new TDialogHeader(this);
    band->SetImageAlignment(iaLeft);
    band->SetImageOffset(16);
    band->SetImage(GraphicTools::LoadPngResource(u"png_MorvalenProLogo"_s));
    band->setFixedHeight(64);

    m_welcome = DialogParts::MarkupLine(u"New version of <b>Morvalen <color $00F06048>Desktop</color></b> is "
                                        u"available for download!"_s,
                                        this);
    m_welcome->setObjectName(u"hlbWelcome"_s);
    m_press = DialogParts::MarkupLine(
        u"Press <b>Download</b> to proceed to the download page of <i>Morvalen</i>."_s, this);
    m_press->setObjectName(u"hlbPress"_s);

    auto* currentCaption = new QLabel(u"Current version"_s, this);
    m_currentVersion = new QLabel(this);
    m_currentVersion->setObjectName(u"lbCurrentVersion"_s);
    QFont bold = m_currentVersion->font();
    bold.setBold(true);
    m_currentVersion->setFont(bold);
    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(8);
    versionRow->addWidget(currentCaption);
    versionRow->addWidget(m_currentVersion);
    versionRow->addStretch(1);

    m_whatsNew = DialogParts::MarkupLine(QString(), this);
    m_whatsNew->setObjectName(u"hlbWhatsNew"_s);
    m_description = new TDscLabel(this);
    m_description->setObjectName(u"dlDescription"_s);
    m_description->SetBorderSpace(4);

    m_download = DialogParts::Button(u"Download"_s, this);
    m_download->setObjectName(u"btnDownload"_s);
    m_download->setDefault(true);
    m_later = DialogParts::Button(u"Later"_s, this);
    m_later->setObjectName(u"btnLater"_s);
    connect(m_download, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(m_later, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* body = new QVBoxLayout;
    m_body = body;
    body->setContentsMargins(16, 12, 16, 12);
    body->setSpacing(6);
    body->addWidget(m_welcome);
    body->addWidget(m_press);
    body->addSpacing(6);
    body->addLayout(versionRow);
    body->addSpacing(4);
    body->addWidget(m_whatsNew);
    body->addWidget(m_description, 1);
    // Takes the room the notes leave in the latest-version form.
    body->addStretch(0);
    m_fillIndex = body->count() - 1;
    body->addSpacing(6);
    body->addLayout(DialogParts::ButtonRow({m_download, m_later}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band);
    layout->addLayout(body, 1);
    setFixedSize(kWidth, kNewVersionHeight);
    m_download->setFocus();
}

void TfNewVersionDlg::SetNewVersion(const QString& currentVersion, const QString& newVersion,
                                    const QString& description)
{
    m_currentVersion->setText(currentVersion);
    m_whatsNew->SetCaption(u"What's new in version <b>%1</b>:"_s.arg(newVersion));
    m_description->SetCaption(description);
}

void TfNewVersionDlg::SetLatestVersion(const QString& currentVersion)
{
    setWindowTitle(u"Latest version"_s);
    m_welcome->SetCaption(
        u"You have the latest version of <b>Morvalen <color $00F06048>Desktop</color></b>!"_s);
    m_currentVersion->setText(currentVersion);
    // Nothing to download: the offer, the notes and their button go.
    m_press->hide();
    m_whatsNew->hide();
    m_description->hide();
    m_download->hide();
    m_body->setStretch(m_fillIndex, 1);
    m_later->setText(u"Close"_s);
    m_later->setDefault(true);
    m_later->setFocus();
    setFixedSize(kWidth, kLatestVersionHeight);
}

bool OfferNewVersion(uint32_t programVersion, const TRemoteVersion& remote,
                     const std::function<void(const QString& url, const QString& title)>& openWebPage,
                     QWidget* parent)
{
    TfNewVersionDlg dialog(parent);
    dialog.SetNewVersion(VersionText(programVersion), VersionText(remote.Version()), remote.Description());
    if (dialog.exec() != mrYes)
        return false;
    if (openWebPage)
        openWebPage(remote.DownloadURL(), u"Download new version"_s);
    return true;
}

void ShowLatestVersion(uint32_t programVersion, QWidget* parent)
{
    TfNewVersionDlg dialog(parent);
    dialog.SetLatestVersion(VersionText(programVersion));
    dialog.exec();
}
