#include "TSiteBrowsingPage.h"

#include "TSiteSettings.h"
#include "dialogs/DialogParts.h"
#include "dialogs/ModalResult.h"
#include "dialogs/TfConfirmationDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

enum TUserAgentKind
{
    uaDefault,
    uaFirefoxOnLinux,
    uaCustom
};

// The permission names as the page lists them, by the settings' key.
QString PermissionCaption(const QString& name)
{
    static const QHash<QString, QString> captions{{u"Notifications"_s, u"Notifications"_s},
                                                  {u"Geolocation"_s, u"Location"_s},
                                                  {u"Camera"_s, u"Camera"_s},
                                                  {u"Microphone"_s, u"Microphone"_s},
                                                  {u"ScreenShare"_s, u"Screen sharing"_s},
                                                  {u"PopUps"_s, u"Pop-ups"_s},
                                                  {u"MultipleDownloads"_s, u"Several downloads"_s}};
    return captions.value(name, name);
}

QPlainTextEdit* CodeBox(const QString& name, QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setTabChangesFocus(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFixedHeight(48);
    return box;
}

} // namespace

TSiteBrowsingPage::TSiteBrowsingPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 8, 8, 8);
    layout->setSpacing(4);

    m_ownSession = new QCheckBox(u"Keep its own sign-in (cookies, storage and cache of its own)"_s, this);
    m_ownSession->setObjectName(u"cbOwnSession"_s);
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(u"cmbZoom"_s);
    for (const double level : TSiteSettings::kZoomLevels)
        m_zoom->addItem(u"%1 %"_s.arg(qRound(level * 100)), level);
    m_userAgentKind = new QComboBox(this);
    m_userAgentKind->setObjectName(u"cmbUserAgent"_s);
    m_userAgentKind->addItems({u"Default"_s, u"Firefox on Linux"_s, u"Custom..."_s});
    m_userAgent = new QLineEdit(this);
    m_userAgent->setObjectName(u"edUserAgent"_s);
    m_userAgent->setPlaceholderText(u"The user agent the site is told"_s);
    connect(m_userAgentKind, &QComboBox::currentIndexChanged, this, &TSiteBrowsingPage::UserAgentChosen);
    m_spellCheck = new QCheckBox(u"Check spelling in text fields"_s, this);
    m_spellCheck->setObjectName(u"cbSpellCheck"_s);

    m_permissions = new QListWidget(this);
    m_permissions->setObjectName(u"lbPermissions"_s);
    m_permissions->setFixedHeight(52);
    m_resetPermission = DialogParts::Button(u"Reset"_s, this);
    m_resetPermission->setObjectName(u"btnResetPermission"_s);
    connect(m_resetPermission, &QPushButton::clicked, this, &TSiteBrowsingPage::ResetPermission);
    connect(m_permissions, &QListWidget::currentRowChanged, this,
            [this](int row) { m_resetPermission->setEnabled(row >= 0); });

    m_userStyle = CodeBox(u"mmUserStyle"_s, this);
    m_userScript = CodeBox(u"mmUserScript"_s, this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel(u"Zoom"_s, this), 0, 0);
    grid->addWidget(m_zoom, 0, 1);
    grid->addWidget(new QLabel(u"User agent"_s, this), 1, 0);
    grid->addWidget(m_userAgentKind, 1, 1);
    grid->addWidget(m_userAgent, 1, 2);
    grid->setColumnStretch(2, 1);

    auto* permissionsRow = new QHBoxLayout;
    permissionsRow->addWidget(m_permissions, 1);
    permissionsRow->addWidget(m_resetPermission, 0, Qt::AlignTop);

    auto* codeRow = new QGridLayout;
    codeRow->setHorizontalSpacing(8);
    codeRow->setVerticalSpacing(2);
    codeRow->addWidget(new QLabel(u"Style of your own (CSS)"_s, this), 0, 0);
    codeRow->addWidget(new QLabel(u"Script of your own (JavaScript)"_s, this), 0, 1);
    codeRow->addWidget(m_userStyle, 1, 0);
    codeRow->addWidget(m_userScript, 1, 1);

    layout->addWidget(DialogParts::GroupHeading(u"Browsing"_s, this));
    layout->addWidget(m_ownSession);
    layout->addLayout(grid);
    layout->addWidget(m_spellCheck);
    layout->addWidget(new QLabel(u"Answers the site was given"_s, this));
    layout->addLayout(permissionsRow);
    layout->addLayout(codeRow);
    layout->addStretch(1);
    UserAgentChosen();
    m_resetPermission->setEnabled(false);
}

void TSiteBrowsingPage::Load(const TSiteSettings& settings, const QString& elementId)
{
    m_ownSession->setChecked(settings.OwnSession(elementId));
    const double zoom = settings.Zoom(elementId);
    int nearest = 0;
    for (int i = 0; i < m_zoom->count(); ++i) {
        if (std::abs(m_zoom->itemData(i).toDouble() - zoom) <
            std::abs(m_zoom->itemData(nearest).toDouble() - zoom))
            nearest = i;
    }
    m_zoom->setCurrentIndex(nearest);
    const QString agent = settings.UserAgent(elementId);
    m_userAgent->setText(agent);
    m_userAgentKind->setCurrentIndex(agent.isEmpty()                                ? uaDefault
                                     : agent == QString::fromUtf16(kFirefoxOnLinux) ? uaFirefoxOnLinux
                                                                                    : uaCustom);
    UserAgentChosen();
    m_spellCheck->setChecked(settings.SpellCheck(elementId));
    m_permissions->clear();
    for (const QString& name : TSiteSettings::PermissionNames()) {
        const std::optional<bool> allowed = settings.Permission(elementId, name);
        if (!allowed)
            continue;
        auto* item = new QListWidgetItem(
            PermissionCaption(name) + u": "_s + (*allowed ? u"Allowed"_s : u"Blocked"_s), m_permissions);
        item->setData(Qt::UserRole, name);
    }
    m_userStyle->setPlainText(settings.UserStyle(elementId));
    m_userScript->setPlainText(settings.UserScript(elementId));
}

std::function<bool(QWidget*, bool)> TSiteBrowsingPage::KeepSignIn = [](QWidget* parent, bool ownSessionNow) {
    return Confirm(ownSessionNow ? u"Keep the sign-in this site had of its own before?"_s
                                 : u"Keep the site's own sign-in for when it has its own again?"_s,
                   u"<b>No</b> clears its cookies, storage and cache of its own."_s, {}, parent) == mrYes;
};

bool TSiteBrowsingPage::Store(TSiteSettings& settings, const QString& elementId) const
{
    // A sign-in is never dropped unasked.
    if (m_ownSession->isChecked() != settings.OwnSession(elementId) && settings.HasSession(elementId) &&
        !KeepSignIn(window(), m_ownSession->isChecked()))
        settings.ClearSession(elementId);
    bool saved = settings.SetOwnSession(elementId, m_ownSession->isChecked());
    saved = settings.SetZoom(elementId, m_zoom->currentData().toDouble()) && saved;
    const QString agent = m_userAgentKind->currentIndex() == uaDefault ? QString() : m_userAgent->text();
    saved = settings.SetUserAgent(elementId, agent) && saved;
    saved = settings.SetSpellCheck(elementId, m_spellCheck->isChecked()) && saved;
    // What was reset in the list is no longer in it.
    for (const QString& name : TSiteSettings::PermissionNames()) {
        if (!settings.Permission(elementId, name))
            continue;
        bool listed = false;
        for (int i = 0; i < m_permissions->count(); ++i)
            listed = listed || m_permissions->item(i)->data(Qt::UserRole).toString() == name;
        if (!listed)
            saved = settings.SetPermission(elementId, name, std::nullopt) && saved;
    }
    saved = settings.SetUserStyle(elementId, m_userStyle->toPlainText()) && saved;
    saved = settings.SetUserScript(elementId, m_userScript->toPlainText()) && saved;
    return saved;
}

void TSiteBrowsingPage::UserAgentChosen()
{
    const int kind = m_userAgentKind->currentIndex();
    if (kind == uaFirefoxOnLinux)
        m_userAgent->setText(QString::fromUtf16(kFirefoxOnLinux));
    else if (kind == uaDefault)
        m_userAgent->clear();
    m_userAgent->setEnabled(kind == uaCustom);
}

void TSiteBrowsingPage::ResetPermission()
{
    delete m_permissions->currentItem();
    m_resetPermission->setEnabled(m_permissions->currentRow() >= 0);
}
