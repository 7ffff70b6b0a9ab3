// The "Installed" tab's widgets and menus, and how they reach the manager and the commands.

#include "TInstalledSites.h"

#include "TMVVisualManager.h"
#include "TMVWebElement.h"
#include "TMorvalenBaseClass.h"
#include "TSiteFindEdit.h"
#include "dialogs/DialogParts.h"
#include "menus/MVMenus.h"
#include "panels/TDialogHeader.h"
#include "panels/TMVFrame.h"
#include "pictures/GraphicTools.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QIcon ToolIcon(const char16_t* name)
{
    return GraphicTools::LoadIconResource(QString::fromUtf16(name));
}

// A title item: the menu draws the heading (the item's status tip) in bold.
QAction* AddTitleItem(QMenu& menu)
{
    return menu.addAction(u"-"_s);
}

} // namespace

TInstalledSites::TInstalledSites(QWidget& page, TThumbnailManager& thumbnails,
                                 TFavoriteIconManager& favoriteIcons, TFileCacheManager& cache,
                                 TInstalledSitesHooks hooks, QObject* parent)
    : QObject(parent), m_thumbnails(thumbnails), m_favoriteIcons(favoriteIcons), m_cache(cache),
      m_hooks(std::move(hooks)), m_manager(std::make_unique<TMVVisualManager>())
{
    BuildMenus();
    BuildPage(page);
    ConnectManager();
    UpdateCommands();
}

TInstalledSites::~TInstalledSites()
{
    // The tiles go before the scroll box that holds them and the menu they refer to.
    m_manager.reset();
    // The menus have no parent widget (they are shared by the tiles and the tool buttons).
    delete m_pmMVViewer;
    delete m_pmCustomDrag;
    delete m_pmHoldArea;
    delete m_pmOpenedBrowsers;
}

void TInstalledSites::BuildPage(QWidget& page)
{
    auto* column = qobject_cast<QBoxLayout*>(page.layout());
    if (!column) {
        column = new QVBoxLayout(&page);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
    }
    column->addWidget(BuildToolHeader(page));

    m_frame = new TMVFrame(&page);
    m_frame->setObjectName(u"mvfInstalledItems"_s);
    m_frame->SetCaption(u"Installed sites"_s);
    m_frame->SetShowGlyph(false);
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_scrollBox = new QScrollArea(m_frame);
    m_scrollBox->setObjectName(u"scbScrool"_s);
    m_scrollBox->setAccessibleName(u"Installed sites"_s);
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    frameLayout->addWidget(m_scrollBox);
    column->addWidget(m_frame, 1);

    m_manager->SetScrollBox(m_scrollBox);
    m_manager->SetThumbnailManager(&m_thumbnails);
    m_manager->SetFavoriteIconManager(&m_favoriteIcons);
    m_manager->SetDropMenu(m_pmCustomDrag);

    // The background's menu; the tiles open their own.
    QWidget* canvas = m_scrollBox->widget();
    canvas->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(canvas, &QWidget::customContextMenuRequested, this,
            [this, canvas](QPoint at) { m_pmHoldArea->popup(canvas->mapToGlobal(at)); });
}

QWidget* TInstalledSites::BuildToolHeader(QWidget& page)
{
    auto* header = new TDialogHeader(&page);
    header->setObjectName(u"DialogHeader1"_s);
    header->SetBottomBorder(bbShadowed);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(6, 2, 10, 4);
    row->setSpacing(6);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(2);
    m_tbBrowsers = DialogParts::ToolButton(header);
    m_tbBrowsers->setObjectName(u"tbBrowsers"_s);
    m_tbBrowsers->setText(u"Browsers"_s);
    QIcon browsers = ToolIcon(u"res_Ico_Browsers");
    for (const QSize size : browsers.availableSizes())
        browsers.addPixmap(ToolIcon(u"res_Ico_BrowsersSiteGray").pixmap(size), QIcon::Disabled);
    m_tbBrowsers->setIcon(browsers);
    m_tbBrowsers->setToolTip(u"The open browser windows"_s);
    m_tbBrowsers->setPopupMode(QToolButton::InstantPopup);
    m_tbBrowsers->setMenu(m_pmOpenedBrowsers);
    m_tbBrowsers->setEnabled(false);
    tools->addWidget(m_tbBrowsers);
    tools->addWidget(DialogParts::ToolSeparator(header));

    m_tbAddSite = new QAction(ToolIcon(u"res_Ico_AddSite"), u"Add site"_s, header);
    m_tbAddSite->setObjectName(u"tbAddSite"_s);
    m_tbAddSite->setToolTip(u"Install a web site of your own"_s);
    connect(m_tbAddSite, &QAction::triggered, this, [this] { AddSiteOrInstall(); });
    tools->addWidget(DialogParts::ToolButton(header, m_tbAddSite));
    tools->addWidget(DialogParts::ToolSeparator(header));

    m_tbArrange = DialogParts::ToolButton(header);
    m_tbArrange->setObjectName(u"tbArrange"_s);
    m_tbArrange->setText(u"Arrange"_s);
    m_tbArrange->setIcon(ToolIcon(u"res_Ico_Arrange"));
    m_tbArrange->setToolTip(u"Arrange the sites by name or popularity"_s);
    m_tbArrange->setPopupMode(QToolButton::InstantPopup);
    m_tbArrange->setMenu(m_pmHoldArea);
    tools->addWidget(m_tbArrange);
    row->addLayout(tools);
    row->addStretch(1);

    m_finder = new TSiteFindEdit(header);
    m_finder->setFixedWidth(200);
    m_finder->OnFind = [this](const QString& prefix) {
        return m_manager->FocusByTitle(prefix);
    };
    auto* label = new QLabel(u"&Site find"_s, header);
    label->setBuddy(m_finder);
    row->addWidget(label);
    row->addWidget(m_finder);
    return header;
}

void TInstalledSites::BuildMenus()
{
    m_pmMVViewer = new TMVPopupMenu;
    m_pmMVViewer->setObjectName(u"pmMVViewer"_s);
    m_pmMVViewer->setAccessibleName(u"Site menu"_s);
    m_miTitle = AddTitleItem(*m_pmMVViewer);
    m_miRun = m_pmMVViewer->addAction(ToolIcon(u"res_Ico_Run"), u"Run site in browser"_s, this, [this] {
        if (TMVWebElement* tile = MenuTile())
            RunSite(*tile);
    });
    m_miClose = m_pmMVViewer->addAction(ToolIcon(u"res_Ico_Stop"), u"Close browser"_s, this, [this] {
        if (TMVWebElement* tile = MenuTile())
            CloseSiteBrowser(*tile);
    });
    m_miMute = m_pmMVViewer->addAction(u"Mute notifications"_s, this, [this](bool muted) {
        TMVWebElement* tile = MenuTile();
        if (tile && tile->MorvalenItem() && m_hooks.SetSiteMuted)
            m_hooks.SetSiteMuted(*tile->MorvalenItem(), muted);
    });
    m_miMute->setCheckable(true);
    m_pmMVViewer->addSeparator();
    m_miUpdateThumbnail = m_pmMVViewer->addAction(u"Update thumbnail..."_s, this, [this] {
        if (TMVWebElement* tile = MenuTile())
            UpdateThumbnail(*tile);
    });
    m_miRate = m_pmMVViewer->addAction(ToolIcon(u"res_Ico_Star"), u"Rate site..."_s, this, [this] {
        TMVWebElement* tile = MenuTile();
        if (tile && tile->MorvalenItem() && m_hooks.RateSite && m_hooks.RateSite(*tile->MorvalenItem()))
            m_manager->Save();
    });
    m_pmMVViewer->addSeparator();
    m_pmMVViewer->addAction(ToolIcon(u"res_Ico_Delete"), u"Remove..."_s, this, [this] {
        if (TMVWebElement* tile = MenuTile())
            RemoveSite(*tile);
    });
    m_pmMVViewer->addSeparator();
    m_miProperties = m_pmMVViewer->addAction(u"Properties..."_s, this, [this] {
        if (TMVWebElement* tile = MenuTile())
            EditSite(*tile);
    });
    connect(m_pmMVViewer, &QMenu::aboutToShow, this, [this] {
        if (TMVWebElement* tile = MenuTile())
            PrepareTileMenu(*tile);
    });

    m_pmCustomDrag = new TMVPopupMenu;
    m_pmCustomDrag->setObjectName(u"pmCustomDrag"_s);
    m_pmCustomDrag->setAccessibleName(u"Drop menu"_s);
    QAction* moveHere = m_pmCustomDrag->addAction(u"Move here"_s, this, [this] { m_manager->DropMove(); });
    m_pmCustomDrag->setDefaultAction(moveHere);
    m_pmCustomDrag->addAction(u"Exchange move"_s, this, [this] { m_manager->DropExchange(); });
    m_pmCustomDrag->addSeparator();
    m_pmCustomDrag->addAction(ToolIcon(u"res_Ico_Delete"), u"Cancel"_s, this,
                              [this] { m_manager->CancelDrop(); });
    // Closed without a choice: the drop is forgotten (after a chosen item has run).
    connect(m_pmCustomDrag, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, [this] { m_manager->CancelDrop(); }); });

    m_pmHoldArea = new TMVPopupMenu;
    m_pmHoldArea->setObjectName(u"pmHoldArea"_s);
    m_pmHoldArea->setAccessibleName(u"Arrange menu"_s);
    QMenu* arrange = m_pmHoldArea->addMenu(u"Arrange items by"_s);
    m_miByName = arrange->addAction(u"Name"_s);
    m_miByPopularity = arrange->addAction(u"Popularity"_s);
    for (const auto& [item, mode] :
         {std::pair{m_miByName, amByName}, std::pair{m_miByPopularity, amByPopularity}}) {
        item->setCheckable(true);
        item->setData(int(mode));
        connect(item, &QAction::triggered, this, [this, mode = mode] { m_manager->Arrange(mode); });
    }
    connect(m_pmHoldArea, &QMenu::aboutToShow, this, [this] { PrepareHoldAreaMenu(); });
    connect(arrange, &QMenu::aboutToShow, this, [this] { PrepareHoldAreaMenu(); });

    m_pmOpenedBrowsers = new TMVPopupMenu;
    m_pmOpenedBrowsers->setObjectName(u"pmOpenedBrowsers"_s);
    m_pmOpenedBrowsers->setAccessibleName(u"Browsers menu"_s);
    m_pmOpenedBrowsers->addAction(u"Minimize all"_s, this, [this] {
        if (m_hooks.MinimizeAllBrowsers)
            m_hooks.MinimizeAllBrowsers();
    });
    m_pmOpenedBrowsers->addAction(u"Hide all to tray"_s, this, [this] {
        if (m_hooks.HideAllBrowsersToTray)
            m_hooks.HideAllBrowsersToTray();
    });
    QAction* siteWindows = m_pmOpenedBrowsers->addAction(u"Site windows..."_s, this, [this] {
        if (m_hooks.ShowSiteWindows)
            m_hooks.ShowSiteWindows();
    });
    siteWindows->setObjectName(u"miSiteWindows"_s);
    m_pmOpenedBrowsers->addSeparator();
    m_pmOpenedBrowsers->addAction(ToolIcon(u"res_Ico_Stop"), u"Close all browsers"_s, this, [this] {
        if (m_hooks.CloseAllBrowsers)
            m_hooks.CloseAllBrowsers();
    });

    for (TMVPopupMenu* menu : {m_pmMVViewer, m_pmCustomDrag, m_pmHoldArea, m_pmOpenedBrowsers})
        menu->PrepareItems();
}

void TInstalledSites::ConnectManager()
{
    TMVVisualManager& manager = *m_manager;
    manager.OnTileCreated = [this](TMVVisualManager&, TMVWebElement& tile) {
        tile.SetPopupMenu(m_pmMVViewer);
    };
    manager.OnItemLoaded = [this](TMVVisualManager&, TMorvalenBaseClass& record) {
        if (m_hooks.ItemLoaded)
            m_hooks.ItemLoaded(record);
    };
    manager.OnRunClick = [this](TMVVisualManager&, TMVWebElement& tile) {
        RunSite(tile);
    };
    manager.OnTileDblClick = [this](TMVVisualManager&, TMVWebElement& tile) {
        RunSite(tile);
    };
    manager.OnCloseClick = [this](TMVVisualManager&, TMVWebElement& tile) {
        CloseSiteBrowser(tile);
    };
    manager.OnGetStatusText = [](TMVWebElement& tile, QString& text) {
        text = tile.HasBrowser() ? u"Double click to show the browser"_s
                                 : u"Double click to open site in browser"_s;
    };
    manager.OnViewChanged = [this](TMVVisualManager&) {
        if (m_hooks.MarkConfigChanged)
            m_hooks.MarkConfigChanged();
    };
    manager.OnCountChanged = [this](TMVVisualManager&) {
        ShowInstalledCount();
    };
    manager.OnSaveFailed = [this](TMVVisualManager&, const QString& message) {
        if (m_hooks.SetStatusText)
            m_hooks.SetStatusText(u"<b>Can not save the installed sites.</b> %1 They stay as they are and "
                                  u"are saved again with the next change."_s.arg(message));
    };
    manager.OnDamagedFileKept = [this](TMVVisualManager&, const QString& copyPath) {
        if (m_damageReported || !m_hooks.SetStatusText)
            return;
        m_damageReported = true;
        m_hooks.SetStatusText(
            u"The installed sites file was damaged; it was kept as <b>%1</b>."_s.arg(copyPath));
    };
}

void TInstalledSites::LoadFromFile(const QString& fileName)
{
    m_manager->LoadFromFile(fileName);
}

void TInstalledSites::ShowInstalledCount()
{
    const QString text = QString::fromUtf16(kCountText).arg(m_manager->Count());
    m_frame->SetHelpText(text);
    m_scrollBox->setAccessibleDescription(text);
}

void TInstalledSites::SetOpenBrowserCount(int count)
{
    m_tbBrowsers->setEnabled(count > 0);
}

void TInstalledSites::UpdateCommands()
{
    m_tbAddSite->setEnabled(m_hooks.ExecuteSiteDialog || m_hooks.FocusedApplication);
    m_miProperties->setEnabled(bool(m_hooks.ExecuteSiteDialog));
    m_miUpdateThumbnail->setEnabled(bool(m_hooks.CaptureThumbnail));
    m_miRun->setEnabled(bool(m_hooks.RunSite));
}

TMVWebElement* TInstalledSites::MenuTile() const
{
    return TMVWebElement::PopupComponentOf(m_pmMVViewer);
}

void TInstalledSites::PrepareTileMenu(TMVWebElement& tile)
{
    UpdateCommands();
    if (!tile.hasFocus())
        tile.setFocus(Qt::PopupFocusReason);
    tile.LoadPendingImages();
    const TMorvalenBaseClass* record = tile.MorvalenItem();
    m_miTitle->setStatusTip(record ? record->Title() : QString());
    m_pmMVViewer->SetTitleIcon(tile.IconPicture().isNull() ? QIcon()
                                                           : QIcon(QPixmap::fromImage(tile.IconPicture())));
    m_miRun->setVisible(!tile.HasBrowser());
    m_miClose->setVisible(tile.HasBrowser());
    m_miRate->setVisible(record && record->CanRate());
    m_miMute->setVisible(record && m_hooks.SiteMuted && m_hooks.SetSiteMuted);
    m_miMute->setChecked(record && m_hooks.SiteMuted && m_hooks.SiteMuted(*record));
    m_pmMVViewer->PrepareItems();
}

void TInstalledSites::PrepareHoldAreaMenu()
{
    m_miByName->setChecked(m_manager->ArrangeMode() == amByName);
    m_miByPopularity->setChecked(m_manager->ArrangeMode() == amByPopularity);
}
