// The dialog's controls and their places.

#include "TfSiteDlg.h"

#include "TMorvalenBaseClass.h"
#include "TSiteBrowsingPage.h"
#include "dialogs/OwnerDrawnComboBox.h"
#include "menus/MVMenus.h"
#include "panels/TDialogHeader.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"
#include "pictures/MakeThumbnail.h"
#include "platform/XWaylandChoice.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClientWidth = 680;
constexpr int kClientHeight = 400;
constexpr int kPageListWidth = 132;
constexpr int kPageRowHeight = 38;
constexpr int kPageTextLeft = 48;
constexpr TColor kPageFrame = 0xCECECE;
constexpr TColor kPageGradientEnd = 0xE4E4E4;
constexpr TColor kPageText = 0x800000;

// The page list's rows: the selected one on a gradient with a frame and bold navy text, its
// picture one pixel up and left, as if lifted.
class PageDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect row = option.rect;
        painter->save();
        painter->fillRect(row, option.palette.color(QPalette::Base));
        if (selected) {
            GraphicTools::GradientFillRect(*painter, row, ColorToRGB(clWindow), GraphicTools::gdHorizontal,
                                           kPageGradientEnd);
            painter->setPen(ColorToQColor(kPageFrame));
            painter->drawRect(row.adjusted(0, 0, -1, -1));
        }
        const QImage picture = index.data(Qt::DecorationRole).value<QImage>();
        const QPoint at = selected ? QPoint(6, 2) : QPoint(7, 3);
        painter->drawImage(row.topLeft() + at, picture);
        QFont font = option.font;
        font.setBold(selected);
        painter->setFont(font);
        painter->setPen(selected ? ColorToQColor(kPageText) : option.palette.color(QPalette::Text));
        const QRect textRect = row.adjusted(kPageTextLeft, 0, -2, 0);
        const QString text = QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(),
                                                           Qt::ElideRight, textRect.width());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {kPageListWidth, kPageRowHeight};
    }
};

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QToolButton* SpeedButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setMinimumWidth(80);
    return button;
}

QVBoxLayout* PageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 8, 8, 8);
    layout->setSpacing(6);
    return layout;
}

} // namespace

void TfSiteDlg::BuildLayout()
{
    TDialogHeader* header = DialogParts::Header(u"png_Web"_s, QString(), u" "_s, this);
    header->setObjectName(u"dhDialogHeader"_s);

    m_pages = new QListWidget(this);
    m_pages->setObjectName(u"lbPages"_s);
    m_pages->setItemDelegate(new PageDelegate(m_pages));
    m_pages->setFixedWidth(kPageListWidth);
    m_pages->setFrameShape(QFrame::Box);
    m_pages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const std::pair<const char16_t*, const char16_t*> pages[] = {
        {u"General", u"png_SiteDlg_General"},     {u"Images", u"png_SiteDlg_Images"},
        {u"Browser", u"png_SiteDlg_Browser"},     {u"Monitor", u"png_SiteDlg_Monitor"},
        {u"Shortcuts", u"png_SiteDlg_Shortcuts"}, {u"Browsing", u"png_SiteDlg_Browser"}};
    for (const auto& [text, picture] : pages) {
        auto* item = new QListWidgetItem(QString::fromUtf16(text), m_pages);
        item->setData(Qt::DecorationRole, GraphicTools::LoadPngResource(QString::fromUtf16(picture),
                                                                        GraphicTools::ProgramPixelRatio()));
    }

    m_notebook = new QStackedWidget(this);
    m_notebook->setObjectName(u"nbPages"_s);
    m_notebook->addWidget(BuildGeneralPage());
    m_notebook->addWidget(BuildImagesPage());
    m_notebook->addWidget(BuildBrowserPage());
    m_notebook->addWidget(BuildMonitorPage());
    m_notebook->addWidget(BuildShortcutsPage());
    m_browsing = new TSiteBrowsingPage(this);
    m_browsing->setObjectName(u"tsBrowsing"_s);
    m_notebook->addWidget(m_browsing);
    // Offered once the dialog has the site's settings.
    m_pages->item(spBrowsing)->setHidden(true);
    connect(m_pages, &QListWidget::currentRowChanged, m_notebook, &QStackedWidget::setCurrentIndex);
    m_pages->setCurrentRow(spGeneral);

    m_signUp = new QCheckBox(u"Sign up at "_s, this);
    m_signUp->setObjectName(u"cbWebAppSignUp"_s);
    m_signUp->setChecked(true);
    m_signUp->setVisible(false);

    QPushButton* ok = DialogParts::Button(u"Ok"_s, this);
    ok->setObjectName(u"btnOk"_s);
    ok->setDefault(true);
    QPushButton* cancel = DialogParts::Button(u"Cancel"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    connect(ok, &QPushButton::clicked, this, &TfSiteDlg::OkClick);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(10, 10, 10, 0);
    middle->setSpacing(8);
    middle->addWidget(m_pages);
    middle->addWidget(m_notebook, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(10, 8, 10, 10);
    bottom->addWidget(m_signUp);
    bottom->addLayout(DialogParts::ButtonRow({ok, cancel}), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    DialogParts::SetFixedSizeOnScreen(this, QSize(kClientWidth, kClientHeight));
}

QWidget* TfSiteDlg::BuildGeneralPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page);
    m_title = new QLineEdit(page);
    m_title->setObjectName(u"edTitle"_s);
    m_url = new QLineEdit(u"http://"_s, page);
    m_url->setObjectName(u"edURL"_s);
    m_url->installEventFilter(this);
    connect(m_url, &QLineEdit::textChanged, this, &TfSiteDlg::URLChanged);
    m_description = new QPlainTextEdit(page);
    m_description->setObjectName(u"mmDSC"_s);
    m_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_description->setTabChangesFocus(true);
    auto* getDescription = DialogParts::Button(u"Get description from site"_s, page);
    getDescription->setObjectName(u"btnGetDescription"_s);
    getDescription->setEnabled(false);
    m_getDescription = getDescription;
    connect(getDescription, &QPushButton::clicked, this, &TfSiteDlg::GetDescription);

    layout->addWidget(DialogParts::GroupHeading(u"General"_s, page));
    layout->addWidget(Caption(u"&Title"_s, m_title, page));
    layout->addWidget(m_title);
    layout->addWidget(Caption(u"&URL"_s, m_url, page));
    layout->addWidget(m_url);
    layout->addWidget(Caption(u"&Description"_s, m_description, page));
    layout->addWidget(m_description, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(getDescription);
    layout->addLayout(row);
    return page;
}

QWidget* TfSiteDlg::BuildImagesPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page);

    m_favIcons = new OwnerDrawnComboBox(page);
    m_favIcons->setObjectName(u"cmbFavIcons"_s);
    m_favIcons->SetDrawItem([this](QPainter& painter, const QRect& rect, int index, bool selected) {
        DrawIcon(painter, rect, index, selected);
    });
    m_downloadIcon = SpeedButton(u"sbDownloadIcon"_s, u"Download"_s, page);
    m_downloadIcon->setToolTip(u"Download site icon"_s);
    connect(m_downloadIcon, &QToolButton::clicked, this, &TfSiteDlg::DownloadSiteIcon);

    m_thumbnail = new QLabel(page);
    m_thumbnail->setObjectName(u"imgThumbnail"_s);
    m_thumbnail->setFixedSize(kThumbnailWidth + 2, kThumbnailHeight + 2);
    m_thumbnail->setAlignment(Qt::AlignCenter);
    m_thumbnail->setContextMenuPolicy(Qt::CustomContextMenu);
    m_updateThumb = SpeedButton(u"sbUpdateThumb"_s, u"Update..."_s, page);
    connect(m_updateThumb, &QToolButton::clicked, this, &TfSiteDlg::CaptureSiteThumbnail);

    m_thumbnailMenu = new TMVPopupMenu(this);
    m_thumbnailMenu->setObjectName(u"pmThumbnail"_s);
    m_menuUpdate = m_thumbnailMenu->addAction(u"Update..."_s, this, &TfSiteDlg::CaptureSiteThumbnail);
    m_thumbnailMenu->addSeparator();
    QMenu* sizes = m_thumbnailMenu->addMenu(u"Screen size"_s);
    for (int row = 0; row < int(ScreenSizes.size()); ++row) {
        const TMVScreenSizeRec& size = ScreenSizes[row];
        QAction* item = sizes->addAction(
            u"%1 (%2x%3)"_s.arg(QString::fromLatin1(size.Name)).arg(size.Width).arg(size.Height), this,
            [this, row] { SelectScreenSize(row); });
        item->setCheckable(true);
        m_screenSizeItems.push_back(item);
    }
    m_thumbnailMenu->addSeparator();
    m_thumbnailMenu->addAction(u"Reset"_s, this, &TfSiteDlg::ResetThumbnail);
    m_thumbnailMenu->PrepareItems();
    connect(m_thumbnailMenu, &QMenu::aboutToShow, this, [this] {
        for (int row = 0; row < int(m_screenSizeItems.size()); ++row)
            m_screenSizeItems[row]->setChecked(row == m_screenSizeIndex);
    });
    connect(m_thumbnail, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_thumbnailMenu->popup(m_thumbnail->mapToGlobal(at)); });

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->addWidget(m_favIcons, 0, 0);
    grid->addWidget(m_downloadIcon, 0, 1);
    grid->addWidget(new QLabel(u"Click to download site Icon"_s, page), 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);

    auto* thumbnailRow = new QHBoxLayout;
    thumbnailRow->setSpacing(10);
    thumbnailRow->addWidget(m_thumbnail);
    auto* thumbnailSide = new QVBoxLayout;
    thumbnailSide->addWidget(m_updateThumb, 0, Qt::AlignLeft);
    auto* updateHint = new QLabel(u"Click to update site thumbnail image"_s, page);
    updateHint->setWordWrap(true);
    thumbnailSide->addWidget(updateHint);
    thumbnailSide->addStretch(1);
    thumbnailRow->addLayout(thumbnailSide, 1);

    layout->addWidget(DialogParts::GroupHeading(u"Icon"_s, page));
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(DialogParts::GroupHeading(u"Thumbnail"_s, page));
    layout->addLayout(thumbnailRow);
    layout->addStretch(1);
    return page;
}

QWidget* TfSiteDlg::BuildBrowserPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page);
    const qreal ratio = GraphicTools::ProgramPixelRatio();
    m_engineImages = {GraphicTools::LoadPngResource(u"brIE"_s, ratio),
                      GraphicTools::LoadPngResource(u"brFireFox"_s, ratio),
                      GraphicTools::LoadPngResource(u"brIE_BW"_s, ratio),
                      GraphicTools::LoadPngResource(u"brFireFox_BW"_s, ratio)};
    m_renderEngine = new OwnerDrawnComboBox(page);
    m_renderEngine->setObjectName(u"cmbRenderEngine"_s);
    for (const QString& name : EngineNames())
        m_renderEngine->addItem(name);
    m_renderEngine->setCurrentIndex(beInternetExplorer);
    m_renderEngine->SetDrawItem([this](QPainter& painter, const QRect& rect, int index, bool selected) {
        DrawEngine(painter, rect, index, selected);
    });
    m_runAsTrayIcon = new QCheckBox(u"Run as Tray icon"_s, page);
    m_runAsTrayIcon->setObjectName(u"cbRunAsTrayIcon"_s);

    layout->addWidget(DialogParts::GroupHeading(u"Browser"_s, page));
    layout->addWidget(Caption(u"Web browser rendering engine"_s, m_renderEngine, page));
    layout->addWidget(m_renderEngine);
    if (XWaylandChoice::Offered()) {
        // Said where the engine is chosen: a Wayland window cannot hold the WebKit engine's
        // pages, the whole program running through XWayland can.
        auto* note = new QLabel(
            u"The WebKit engine needs X11. In this Wayland session, sites set to it open only when "
            "Morvalen Desktop runs through XWayland."_s,
            page);
        note->setObjectName(u"lbWebKitNeedsX11"_s);
        note->setWordWrap(true);
        m_throughXWayland =
            new QCheckBox(u"Run Morvalen Desktop through XWayland (from its next start)"_s, page);
        m_throughXWayland->setObjectName(u"cbThroughXWayland"_s);
        m_throughXWayland->setChecked(XWaylandChoice::Chosen());
        layout->addWidget(note);
        layout->addWidget(m_throughXWayland);
    }
    layout->addSpacing(8);
    layout->addWidget(m_runAsTrayIcon);
    layout->addStretch(1);
    return page;
}

QWidget* TfSiteDlg::BuildMonitorPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page);
    m_monitorChanges = new QCheckBox(u"Monitor site changes"_s, page);
    m_monitorChanges->setObjectName(u"cbMonitorChanges"_s);
    connect(m_monitorChanges, &QCheckBox::toggled, this, &TfSiteDlg::UpdateMonitorControls);
    m_monitorInterval = new OwnerDrawnComboBox(page);
    m_monitorInterval->setObjectName(u"cmbMonitorRefreshInterval"_s);
    for (const int32_t minutes : MonitorIntervals)
        m_monitorInterval->addItem(QString::number(minutes) + u" minutes"_s);
    m_monitorInterval->setCurrentIndex(2);
    m_intervalLabel = Caption(u"Check for changes every"_s, m_monitorInterval, page);
    m_intervalLabel->setObjectName(u"lbMonitorRefreshInterval"_s);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(20, 0, 0, 0);
    row->addWidget(m_intervalLabel);
    row->addWidget(m_monitorInterval);
    row->addStretch(1);
    layout->addWidget(DialogParts::GroupHeading(u"Monitor"_s, page));
    layout->addWidget(m_monitorChanges);
    layout->addLayout(row);
    layout->addStretch(1);
    UpdateMonitorControls();
    return page;
}

QWidget* TfSiteDlg::BuildShortcutsPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page);
    layout->addWidget(DialogParts::GroupHeading(u"Shortcuts"_s, page));
    layout->addWidget(new QLabel(u"Select where to create the shortcut icon."_s, page));
    // In the order of the kinds' bits.
    const std::array<std::tuple<const char16_t*, const char16_t*, const char16_t*>, 4> boxes{{
        {u"cbDesktop", u"Desktop", u"png_ShortcutDesktop"},
        {u"cbQuickLaunch", u"Quick launch", u"png_ShortcutQuickLaunch"},
        {u"cbStartup", u"Autostart at login", u"png_ShortcutStartup"},
        {u"cbStartMenu", u"Applications menu", u"png_ShortcutStartMenu"},
    }};
    auto* grid = new QGridLayout;
    grid->setContentsMargins(10, 4, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    for (size_t kind = 0; kind < boxes.size(); ++kind) {
        const auto& [name, caption, picture] = boxes[kind];
        auto* image = new QLabel(page);
        image->setPixmap(QPixmap::fromImage(
            GraphicTools::LoadPngResource(QString::fromUtf16(picture), GraphicTools::ProgramPixelRatio())));
        auto* box = new QCheckBox(QString::fromUtf16(caption), page);
        box->setObjectName(QString::fromUtf16(name));
        m_shortcutBoxes[kind] = box;
        grid->addWidget(image, int(kind), 0);
        grid->addWidget(box, int(kind), 1);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}
