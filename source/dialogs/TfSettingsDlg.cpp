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
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kSettingsClientWidth = 729;
constexpr int kSettingsClientHeight = 389;
constexpr int kBodyMargin = 10;

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
    m_downloads = Box(u"cmbDownloads"_s,
                      {u"Ask where to save each file"_s, u"Save into the Downloads folder"_s}, panel);
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
    QVBoxLayout* downloads = Group(u"Downloads"_s, panel);
    downloads->addWidget(new QLabel(u"Files that web pages download"_s, panel));
    downloads->addWidget(m_downloads);
    QVBoxLayout* notifications = Group(u"Notifications"_s, panel);
    notifications->addWidget(m_changeAlertsOnDesktop);
    // Downloads stand below the auto update, notifications above the sleep.
    auto* firstColumn = new QVBoxLayout;
    firstColumn->setSpacing(22);
    firstColumn->addLayout(autoUpdate);
    firstColumn->addLayout(downloads);
    auto* lastColumn = new QVBoxLayout;
    lastColumn->setSpacing(22);
    lastColumn->addLayout(notifications);
    lastColumn->addLayout(sleep);

    // The groups in reading order, down each column, in as many columns (three at most) as the
    // screen has room for: QT_SCALE_FACTOR=2 on a 1280 px screen leaves 640 pixels. What is then
    // too tall scrolls; the buttons stay below the scrolled part.
    const QSize size = DialogParts::FitOnScreen(this, QSize(kSettingsClientWidth, kSettingsClientHeight));
    QLayout* const groups[] = {general, firstColumn, news, browser, cache, lastColumn};
    constexpr int kGroups = int(std::size(groups));
    constexpr int kMargin = 14;
    constexpr int kColumnGap = 14;
    const auto rowsFor = [](int columns) {
        return (kGroups + columns - 1) / columns;
    };
    const auto widthFor = [&](int columns) {
        const int rows = rowsFor(columns);
        int width = 2 * kMargin + (columns - 1) * kColumnGap;
        for (int column = 0; column < columns; ++column) {
            int widest = 0;
            for (int i = column * rows; i < std::min(kGroups, (column + 1) * rows); ++i)
                widest = std::max(widest, groups[i]->minimumSize().width());
            width += widest;
        }
        return width;
    };
    // The body's margins, and a scroll bar once the groups stand in fewer columns.
    const int room = size.width() - 2 * kBodyMargin;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int columns = 3;
    while (columns > 1 && widthFor(columns) > room - (columns < 3 ? scrollBar : 0))
        --columns;
    const int rows = rowsFor(columns);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(kMargin, 16, kMargin, 16);
    grid->setHorizontalSpacing(kColumnGap);
    grid->setVerticalSpacing(22);
    for (int i = 0; i < kGroups; ++i) {
        grid->addLayout(groups[i], i % rows, i / rows);
        grid->setAlignment(groups[i], Qt::AlignTop);
    }
    for (int column = 0; column < columns; ++column)
        grid->setColumnStretch(column, 1);
    grid->setRowStretch(rows, 1);

    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(u"sbOptions"_s);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(panel);

    QPushButton* ok = DialogParts::Button(u"Ok"_s, this);
    ok->setObjectName(u"btnOk"_s);
    ok->setDefault(true);
    QPushButton* cancel = DialogParts::Button(u"Cancel"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    connect(ok, &QPushButton::clicked, this, &TfSettingsDlg::OkClick);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* body = new QVBoxLayout;
    body->setContentsMargins(kBodyMargin, kBodyMargin, kBodyMargin, kBodyMargin);
    body->setSpacing(10);
    body->addWidget(scroller, 1);
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
                        m_downloads,
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

    // As tall as the groups need, where the screen has room for that: the dialog's least
    // height with the whole panel showing.
    scroller->setMinimumHeight(panel->minimumSizeHint().height());
    const int needed = layout->minimumSize().height();
    scroller->setMinimumHeight(0);
    setFixedSize(DialogParts::FitOnScreen(this, QSize(size.width(), std::max(size.height(), needed))));
    m_runWithWindows->setFocus();
}

void TfSettingsDlg::SetSettings(TApplicationsSettings& settings)
{
    m_settings = &settings;
    LoadSettings();
}

void TfSettingsDlg::SetSaveIntoDownloads(bool value)
{
    m_downloads->setCurrentIndex(value ? 1 : 0);
}

bool TfSettingsDlg::SaveIntoDownloads() const
{
    return m_downloads->currentIndex() == 1;
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
