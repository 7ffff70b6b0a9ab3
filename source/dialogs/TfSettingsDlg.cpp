#include "TfSettingsDlg.h"

#include "OwnerDrawnComboBox.h"
#include "TfFireFoxMissingDlg.h"
#include "panels/TDialogHeader.h"
#include "panels/TSpecialFrame.h"
#include "pictures/GraphicTools.h"
#include "settings/TApplicationsSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kSettingsClientWidth = 729;
constexpr int kSettingsClientHeight = 389;

OwnerDrawnComboBox* Box(const QString& name, const QStringList& entries, QWidget* parent)
{
    auto* box = new OwnerDrawnComboBox(parent);
    box->setObjectName(name);
    box->addItems(entries);
    box->setMinimumWidth(214);
    return box;
}

QCheckBox* Check(const QString& name, const QString& caption, QWidget* parent)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    return check;
}

// A group: bold heading over a separator, then its controls.
QVBoxLayout* Group(const QString& heading, QWidget* parent)
{
    auto* group = new QVBoxLayout;
    group->setSpacing(6);
    group->addWidget(DialogParts::GroupHeading(heading, parent));
    return group;
}

// A stored index the box has no entry for is shown (and stored again) as the first entry,
// which is how every reader of the settings takes such an index anyway.
void SelectIndex(OwnerDrawnComboBox* box, int32_t index)
{
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

} // namespace

TfSettingsDlg::TfSettingsDlg(QWidget* parent) : TMVDialog(parent)
{
    setWindowTitle(u"Settings"_s);
    m_engineIcons[beInternetExplorer] = GraphicTools::LoadPngResource(u"brIE"_s);
    m_engineIcons[beFireFox] = GraphicTools::LoadPngResource(u"brFireFox"_s);

    TDialogHeader* header = DialogParts::Header(u"png_Config"_s, u"Setup Morvalen options"_s,
                                                u"Setup options and preferences"_s, this);
    header->setObjectName(u"dhDialogHeader"_s);

    auto* panel = new TSpecialFrame(this);
    panel->setObjectName(u"sfOptions"_s);
    panel->SetTabStyle(true);
    panel->SetColor(clWindow);
    panel->SetFillColor(clWindow);
    panel->SetFrameColor(0xCECECE);

    m_runWithWindows = Check(u"cbRunWithWindows"_s, u"Run at login"_s, panel);
    m_minimizeOnStartup = Check(u"cbMinimizeOnStartup"_s, u"Minimize on startup"_s, panel);
    m_hideOnClose = Check(u"cbHideOnClose"_s, u"Hide on Close"_s, panel);
    m_autoUpdate = Box(u"cmbAutoUpdate"_s, {u"Never"_s, u"Daily"_s, u"Weekly"_s, u"Monthly"_s}, panel);
    m_news =
        Box(u"cmbNews"_s,
            {u"At Morvalen Desktop startup only"_s, u"Every 15 minutes"_s, u"Every 30 minutes"_s}, panel);
    m_defaultRenderEngine = Box(u"cmbDefaultRenderEngine"_s, {u"Chromium"_s, u"WebKit"_s}, panel);
    m_defaultRenderEngine->SetDrawItem([this](QPainter& painter, const QRect& rect, int index,
                                              bool selected) { DrawEngine(painter, rect, index, selected); });
    m_openLinksLocally = Check(u"cbOpenLinksLocaly"_s, u"Open new window in Morvalen"_s, panel);
    m_clearOldCache = Check(u"cbClearOldCache"_s, u"Clear cache older than"_s, panel);
    m_clearOldCacheAge = Box(u"cmbClearOldCache"_s, {u"One week"_s, u"One month"_s}, panel);
    connect(m_clearOldCache, &QCheckBox::toggled, m_clearOldCacheAge, &QWidget::setEnabled);
    m_changeAlertsOnDesktop = Check(u"cbChangeAlertsOnDesktop"_s, u"Desktop alerts for changes"_s, panel);
    m_changeAlertsOnDesktop->setToolTip(u"Changes of watched sites go to the desktop's notifications when it "
                                        u"has them; unticked, they show in Morvalen's own alert window."_s);
    m_changeAlertsOnDesktop->setChecked(true);

    // Idle site windows: a week at most, as the windows take it.
    m_sleepAfter = new QSpinBox(panel);
    m_sleepAfter->setObjectName(u"seSleepAfter"_s);
    m_sleepAfter->setRange(0, 7 * 24 * 60);
    m_sleepAfter->setSuffix(u" minutes"_s);
    connect(m_sleepAfter, &QSpinBox::valueChanged, m_sleepAfter, [box = m_sleepAfter](int minutes) {
        box->setSuffix(minutes == 1 ? u" minute"_s : u" minutes"_s);
    });
    m_sleepAfter->setSpecialValueText(u"Never"_s);
    m_sleepAfter->setMinimumWidth(214);
    QVBoxLayout* sleep = Group(u"Sleep"_s, panel);
    auto* sleepLabel = new QLabel(u"Put idle site windows to sleep after"_s, panel);
    sleepLabel->setBuddy(m_sleepAfter);
    sleep->addWidget(sleepLabel);
    sleep->addWidget(m_sleepAfter);

    QVBoxLayout* general = Group(u"General"_s, panel);
    general->addWidget(m_runWithWindows);
    general->addWidget(m_minimizeOnStartup);
    general->addWidget(m_hideOnClose);
    QVBoxLayout* autoUpdate = Group(u"Auto update"_s, panel);
    autoUpdate->addWidget(new QLabel(u"Check for new version"_s, panel));
    autoUpdate->addWidget(m_autoUpdate);
    QVBoxLayout* news = Group(u"News"_s, panel);
    news->addWidget(new QLabel(u"Check for news"_s, panel));
    news->addWidget(m_news);
    QVBoxLayout* browser = Group(u"Browser"_s, panel);
    browser->addWidget(new QLabel(u"Default rendering engine"_s, panel));
    browser->addWidget(m_defaultRenderEngine);
    browser->addWidget(m_openLinksLocally);
    QVBoxLayout* cache = Group(u"Cache"_s, panel);
    cache->addWidget(m_clearOldCache);
    cache->addWidget(m_clearOldCacheAge);
    QVBoxLayout* notifications = Group(u"Notifications"_s, panel);
    notifications->addWidget(m_changeAlertsOnDesktop);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(18, 16, 18, 16);
    grid->setHorizontalSpacing(26);
    grid->setVerticalSpacing(22);
    grid->addLayout(general, 0, 0);
    grid->addLayout(autoUpdate, 1, 0);
    grid->addLayout(news, 0, 1);
    grid->addLayout(browser, 1, 1);
    grid->addLayout(cache, 0, 2);
    // Notifications and sleep share the last column's lower cell.
    auto* lastColumn = new QVBoxLayout;
    lastColumn->setSpacing(22);
    lastColumn->addLayout(notifications);
    lastColumn->addLayout(sleep);
    grid->addLayout(lastColumn, 1, 2);
    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);
    grid->setRowStretch(2, 1);
    for (QLayout* group : {general, autoUpdate, news, browser, cache, lastColumn})
        grid->setAlignment(group, Qt::AlignTop);

    QPushButton* ok = DialogParts::Button(u"Ok"_s, this);
    ok->setObjectName(u"btnOk"_s);
    ok->setDefault(true);
    QPushButton* cancel = DialogParts::Button(u"Cancel"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    connect(ok, &QPushButton::clicked, this, &TfSettingsDlg::OkClick);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 10, 10, 10);
    body->setSpacing(10);
    body->addWidget(panel, 1);
    body->addLayout(DialogParts::ButtonRow({ok, cancel}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body, 1);

    QWidget* order[] = {m_runWithWindows,
                        m_minimizeOnStartup,
                        m_hideOnClose,
                        m_autoUpdate,
                        m_news,
                        m_defaultRenderEngine,
                        m_openLinksLocally,
                        m_clearOldCache,
                        m_clearOldCacheAge,
                        m_changeAlertsOnDesktop,
                        m_sleepAfter,
                        ok,
                        cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    setFixedSize(kSettingsClientWidth, kSettingsClientHeight);
    m_runWithWindows->setFocus();
}

void TfSettingsDlg::SetSettings(TApplicationsSettings& settings)
{
    m_settings = &settings;
    LoadSettings();
}

void TfSettingsDlg::SetChangeAlertsOnDesktop(bool onDesktop)
{
    m_changeAlertsOnDesktop->setChecked(onDesktop);
}

bool TfSettingsDlg::ChangeAlertsOnDesktop() const
{
    return m_changeAlertsOnDesktop->isChecked();
}

void TfSettingsDlg::SetSleepAfterMinutes(double minutes)
{
    m_sleepAfterMinutes = minutes;
    // A fraction of a minute that rounds to nothing still lets windows sleep.
    m_sleepAfter->setValue(minutes > 0 ? std::max(1, int(std::lround(minutes))) : 0);
    m_sleepAfterShown = m_sleepAfter->value();
}

double TfSettingsDlg::SleepAfterMinutes() const
{
    return m_sleepAfter->value() == m_sleepAfterShown ? m_sleepAfterMinutes : m_sleepAfter->value();
}

void TfSettingsDlg::LoadSettings()
{
    m_runWithWindows->setChecked(m_settings->RunWithWindows());
    m_minimizeOnStartup->setChecked(m_settings->MinimizeOnStartup());
    m_hideOnClose->setChecked(m_settings->HideOnClose());
    m_openLinksLocally->setChecked(m_settings->OpenLinksLocally());
    m_clearOldCache->setChecked(m_settings->ClearOldCache());
    SelectIndex(m_defaultRenderEngine, m_settings->DefaultRenderEngine());
    SelectIndex(m_autoUpdate, m_settings->AutoUpdate());
    SelectIndex(m_news, m_settings->CheckNewsInterval());
    SelectIndex(m_clearOldCacheAge, m_settings->ClearOldCacheAge());
    m_clearOldCacheAge->setEnabled(m_settings->ClearOldCache());
}

void TfSettingsDlg::ApplySettings()
{
    m_settings->SetRunWithWindows(m_runWithWindows->isChecked());
    m_settings->SetMinimizeOnStartup(m_minimizeOnStartup->isChecked());
    m_settings->SetHideOnClose(m_hideOnClose->isChecked());
    m_settings->SetOpenLinksLocally(m_openLinksLocally->isChecked());
    m_settings->SetDefaultRenderEngine(m_defaultRenderEngine->currentIndex());
    m_settings->SetAutoUpdate(m_autoUpdate->currentIndex());
    m_settings->SetCheckNewsInterval(m_news->currentIndex());
    m_settings->SetClearOldCache(m_clearOldCache->isChecked());
    m_settings->SetClearOldCacheAge(m_clearOldCacheAge->currentIndex());
    m_settings->Changed();
}

void TfSettingsDlg::OkClick()
{
    if (m_defaultRenderEngine->currentIndex() == beFireFox && !m_firefoxAvailable) {
        TfFireFoxMissingDlg missing(this);
        if (missing.exec() == mrOk && OnDownloadFirefox)
            OnDownloadFirefox();
        m_defaultRenderEngine->setCurrentIndex(beInternetExplorer);
        return;
    }
    if (m_settings)
        ApplySettings();
    done(mrOk);
}

void TfSettingsDlg::DrawEngine(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    if (index == beInternetExplorer || index == beFireFox)
        painter.drawImage(rect.left() + 2,
                          rect.top() + 1 + (rect.height() - OwnerDrawnComboBox::kRowHeight) / 2,
                          m_engineIcons[index]);
    m_defaultRenderEngine->DrawText(painter, rect, 22, m_defaultRenderEngine->itemText(index), selected);
}

bool TfSettingsDlg::Execute(TApplicationsSettings& settings, bool firefoxAvailable,
                            std::function<void()> onDownloadFirefox, QWidget* parent)
{
    TfSettingsDlg dialog(parent);
    dialog.SetSettings(settings);
    dialog.SetFirefoxAvailable(firefoxAvailable);
    dialog.OnDownloadFirefox = std::move(onDownloadFirefox);
    return dialog.exec() == mrOk;
}
