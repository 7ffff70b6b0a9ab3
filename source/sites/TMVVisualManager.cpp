#include "TMVVisualManager.h"

#include "SitesDataFile.h"
#include "TMVWebElement.h"
#include "TMVWebElementDrag.h"
#include "TMorvalenBaseClass.h"
#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// How far a tile brought into view stays from the scroll box's edges.
constexpr int kVisibleMargin = 10;

void DescribeTile(TMVWebElement& tile, const TMorvalenBaseClass& record)
{
    tile.setAccessibleName(record.Title());
    tile.setAccessibleDescription(record.Description());
}

} // namespace

TMVVisualManager::TMVVisualManager(QObject* parent) : QObject(parent) {}

TMVVisualManager::~TMVVisualManager()
{
    Clear();
}

void TMVVisualManager::SetScrollBox(QScrollArea* scrollBox)
{
    if (m_scrollBox)
        m_scrollBox->viewport()->removeEventFilter(this);
    m_scrollBox = scrollBox;
    if (!scrollBox)
        return;
    if (!scrollBox->widget()) {
        auto* canvas = new QWidget;
        canvas->setObjectName(u"scbScroolCanvas"_s);
        canvas->setAutoFillBackground(true);
        QPalette palette = canvas->palette();
        palette.setColor(QPalette::Window, Qt::white);
        canvas->setPalette(palette);
        scrollBox->setWidget(canvas);
    }
    // The tiles place themselves; the canvas grows to hold them.
    scrollBox->setWidgetResizable(false);
    scrollBox->viewport()->installEventFilter(this);
}

QScrollArea* TMVVisualManager::ScrollBox() const
{
    return m_scrollBox;
}

QMenu* TMVVisualManager::DropMenu() const
{
    return m_dropMenu;
}

void TMVVisualManager::SetDropMenu(QMenu* menu)
{
    m_dropMenu = menu;
}

TMVWebElement* TMVVisualManager::DropTarget() const
{
    return m_dropTarget;
}

TMVWebElement* TMVVisualManager::DropSource() const
{
    return m_dropSource;
}

QWidget* TMVVisualManager::Canvas() const
{
    return m_scrollBox ? m_scrollBox->widget() : nullptr;
}

bool TMVVisualManager::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_scrollBox && watched == m_scrollBox->viewport())
        ScrollBoxResized();
    return QObject::eventFilter(watched, event);
}

void TMVVisualManager::ScrollBoxResized()
{
    if (m_layingOut)
        return;
    m_scrollBox->verticalScrollBar()->setValue(0);
    TMVWebElement* focused = FocusedTile();
    LayoutTiles();
    if (focused)
        m_scrollBox->ensureWidgetVisible(focused, kVisibleMargin, kVisibleMargin);
}

void TMVVisualManager::LoadFromFile(const QString& fileName)
{
    m_fileName = fileName;
    QFile file(fileName);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        // Whatever it holds must not be overwritten unseen.
        m_keepDamagedFile = true;
        return;
    }
    const QByteArray data = file.readAll();
    file.close();
    SitesDataFile::LoadResult loaded = SitesDataFile::Parse(data);
    bool lost = !data.isEmpty() && (!loaded.headerValid || loaded.skipped > 0);
    for (auto& record : loaded.records) {
        try {
            if (const auto handler = OnItemLoaded)
                handler(*this, *record);
            CreateTile(std::move(record), false);
        } catch (const EMorvalenError&) {
            lost = true;
        }
    }
    m_keepDamagedFile = lost;
    if (m_arrangeMode != amManual)
        SiteArrangement::Sort(m_items, m_arrangeMode);
    if (!m_items.empty() && OnCountChanged)
        OnCountChanged(*this);
}

bool TMVVisualManager::Save()
{
    if (m_fileName.isEmpty())
        return true;
    try {
        if (m_keepDamagedFile) {
            QString copy;
            if (QFileInfo(m_fileName).size() > 0)
                copy = SitesDataFile::KeepDamagedCopy(m_fileName, QDateTime::currentDateTime());
            m_keepDamagedFile = false;
            if (!copy.isEmpty() && OnDamagedFileKept)
                OnDamagedFileKept(*this, copy);
        }
        SitesDataFile::Save(m_fileName, m_items);
    } catch (const EMorvalenError& error) {
        if (!m_saveFailed) {
            m_saveFailed = true;
            if (const auto handler = OnSaveFailed)
                handler(*this, error.Message());
        }
        return false;
    }
    m_saveFailed = false;
    return true;
}

bool TMVVisualManager::ReloadFromFile(const QSet<QString>& fresh)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(m_fileName);
    if (!data)
        return false;
    SitesDataFile::LoadResult loaded = SitesDataFile::Parse(*data);
    if (!loaded.headerValid)
        return false;
    QHash<QString, qsizetype> position;
    for (qsizetype index = 0; index < qsizetype(loaded.records.size()); ++index)
        position.insert(loaded.records[size_t(index)]->ElementId(), index);
    for (size_t index = m_items.size(); index-- > 0;) {
        const QString id = m_items[index]->ElementId();
        if (position.contains(id) && !fresh.contains(id))
            continue;
        TMVWebElement* tile = TileOf(m_items[index].get());
        if (m_dropTarget == tile || m_dropSource == tile)
            CancelDrop();
        std::erase(m_tiles, QPointer<TMVWebElement>(tile));
        delete tile;
        m_items.erase(m_items.begin() + qsizetype(index));
    }
    // Each kept record stands for one of the file's records of its ElementId.
    QHash<QString, int> kept;
    for (const auto& item : m_items)
        ++kept[item->ElementId()];
    for (auto& record : loaded.records) {
        if (int& left = kept[record->ElementId()]; left > 0) {
            --left;
            continue;
        }
        if (const auto handler = OnItemLoaded)
            handler(*this, *record);
        CreateTile(std::move(record), true);
    }
    std::stable_sort(m_items.begin(), m_items.end(), [&position](const auto& a, const auto& b) {
        return position.value(a->ElementId()) < position.value(b->ElementId());
    });
    LayoutTiles();
    if (OnCountChanged)
        OnCountChanged(*this);
    return true;
}

TMVWebElement* TMVVisualManager::CreateTile(std::unique_ptr<TMorvalenBaseClass> record, bool loadPicturesNow)
{
    QWidget* canvas = Canvas();
    auto* tile = new TMVWebElement(canvas);
    TMorvalenBaseClass* item = record.get();
    item->OnChange = [this](TMorvalenBaseClass&) {
        Save();
    };
    m_items.push_back(std::move(record));
    m_tiles.emplace_back(tile);
    tile->SetFavoriteIconManager(m_favoriteIcons);
    tile->SetThumbnailManager(m_thumbnails);
    // A thousand tiles must not decode a thousand pictures before the window shows.
    tile->SetMorvalenItem(item,
                          loadPicturesNow ? TMVWebElement::ImagesNow : TMVWebElement::ImagesAtFirstPaint);
    DescribeTile(*tile, *item);
    tile->OnDragOver = [this](TMVWebElement& target, const TMVWebElementDrag& drag, QPoint, bool& accept) {
        DragOver(target, drag, accept);
    };
    tile->OnDragDrop = [this](TMVWebElement& target, const TMVWebElementDrag& drag, QPoint position,
                              Qt::KeyboardModifiers modifiers) {
        DragDrop(target, drag, position, modifiers);
    };
    tile->OnRunClick = [this](TMVWebElement& sender) {
        if (const auto handler = OnRunClick)
            handler(*this, sender);
    };
    tile->OnCloseClick = [this](TMVWebElement& sender) {
        if (const auto handler = OnCloseClick)
            handler(*this, sender);
    };
    tile->OnDblClick = [this](TMVWebElement& sender) {
        if (const auto handler = OnTileDblClick)
            handler(*this, sender);
    };
    tile->OnGetStatusText = [this](TMVWebElement& sender, QString& text) {
        if (OnGetStatusText)
            OnGetStatusText(sender, text);
    };
    if (canvas)
        tile->show();
    if (const auto handler = OnTileCreated)
        handler(*this, *tile);
    return tile;
}

TMVWebElement* TMVVisualManager::AddItem(std::unique_ptr<TMorvalenBaseClass> record)
{
    TMVWebElement* tile = CreateTile(std::move(record), true);
    if (m_arrangeMode != amManual)
        SiteArrangement::Sort(m_items, m_arrangeMode);
    // Laid out also while the tab is hidden: showing it again need not resize the box.
    LayoutTiles();
    if (m_scrollBox && m_scrollBox->isVisible()) {
        tile->setFocus();
        m_scrollBox->ensureWidgetVisible(tile, kVisibleMargin, kVisibleMargin);
    }
    Save();
    if (OnCountChanged)
        OnCountChanged(*this);
    return tile;
}

void TMVVisualManager::RemoveTile(TMVWebElement* tile)
{
    const int index = IndexOf(tile);
    if (index < 0)
        return;
    if (m_dropTarget == tile || m_dropSource == tile)
        CancelDrop();
    std::erase(m_tiles, QPointer<TMVWebElement>(tile));
    delete tile;
    m_items.erase(m_items.begin() + index);
    Save();
    LayoutTiles();
    if (OnCountChanged)
        OnCountChanged(*this);
}

void TMVVisualManager::Clear()
{
    for (const QPointer<TMVWebElement>& tile : m_tiles)
        delete tile.data();
    m_tiles.clear();
    m_items.clear();
    m_dropTarget = nullptr;
    m_dropSource = nullptr;
}

void TMVVisualManager::Arrange(uint8_t mode)
{
    SiteArrangement::Sort(m_items, mode);
    m_arrangeMode = mode;
    // The file keeps the order the user sees, also should the configuration never be written.
    Save();
    if (const auto handler = OnViewChanged)
        handler(*this);
    LayoutTiles();
}

void TMVVisualManager::LayoutTiles()
{
    QWidget* canvas = Canvas();
    if (!canvas)
        return;
    std::vector<QSize> sizes;
    sizes.reserve(m_items.size());
    for (const auto& item : m_items)
        sizes.push_back(TileOf(item.get())->size());
    m_layingOut = true;
    // Growing the canvas may bring up the scroll bar, which narrows the box: then once more
    // for the narrower width.
    for (int pass = 0; pass < 2; ++pass) {
        const int width = m_scrollBox->viewport()->width();
        const SiteArrangement::TTilePlacement placement = SiteArrangement::Place(sizes, width);
        for (size_t i = 0; i < m_items.size(); ++i)
            TileOf(m_items[i].get())->move(placement.Positions[i]);
        // The canvas spans the box and grows downwards (and sideways for one over-wide
        // tile), so the box scrolls exactly over the tiles.
        canvas->resize(std::max(width, placement.Extent.width()),
                       std::max(m_scrollBox->viewport()->height(), placement.Extent.height()));
        if (m_scrollBox->viewport()->width() == width)
            break;
    }
    m_layingOut = false;
}

int TMVVisualManager::IndexOf(const TMVWebElement* tile) const
{
    if (!tile)
        return -1;
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [tile](const auto& item) { return item.get() == tile->MorvalenItem(); });
    return found == m_items.end() ? -1 : int(found - m_items.begin());
}

void TMVVisualManager::TileChanged(TMVWebElement& tile)
{
    tile.ReloadImages();
    if (const TMorvalenBaseClass* record = tile.MorvalenItem())
        DescribeTile(tile, *record);
    tile.update();
}

void TMVVisualManager::MoveItem(TMVWebElement* target, TMVWebElement* dragged)
{
    const int to = IndexOf(target);
    const int from = IndexOf(dragged);
    if (to < 0 || from < 0 || to == from)
        return;
    SiteArrangement::Move(m_items, to, from);
    Reordered();
}

void TMVVisualManager::ExchangeItems(TMVWebElement* target, TMVWebElement* dragged)
{
    const int a = IndexOf(target);
    const int b = IndexOf(dragged);
    if (a < 0 || b < 0 || a == b)
        return;
    std::swap(m_items[size_t(a)], m_items[size_t(b)]);
    Reordered();
}

void TMVVisualManager::Reordered()
{
    m_arrangeMode = amManual;
    Save();
    if (const auto handler = OnViewChanged)
        handler(*this);
}

void TMVVisualManager::DropMove()
{
    if (m_dropTarget && m_dropSource) {
        MoveItem(m_dropTarget, m_dropSource);
        LayoutTiles();
    }
    CancelDrop();
}

void TMVVisualManager::DropExchange()
{
    if (m_dropTarget && m_dropSource) {
        ExchangeItems(m_dropTarget, m_dropSource);
        LayoutTiles();
    }
    CancelDrop();
}

void TMVVisualManager::CancelDrop()
{
    m_dropTarget = nullptr;
    m_dropSource = nullptr;
}

void TMVVisualManager::DragOver(TMVWebElement& target, const TMVWebElementDrag& drag, bool& accept) const
{
    TMVWebElement* dragged = drag.Element();
    accept = dragged && dragged != &target && IndexOf(dragged) >= 0;
}

void TMVVisualManager::DragDrop(TMVWebElement& target, const TMVWebElementDrag& drag, QPoint position,
                                Qt::KeyboardModifiers modifiers)
{
    TMVWebElement* dragged = drag.Element();
    if (!dragged || dragged == &target || IndexOf(dragged) < 0)
        return;
    m_dropTarget = &target;
    m_dropSource = dragged;
    if (drag.RightButtonReleased() && m_dropMenu) {
        // After the drag has ended: the menu needs the mouse the drag still holds.
        const QPoint at = target.mapToGlobal(position);
        QTimer::singleShot(0, m_dropMenu, [menu = m_dropMenu, at] {
            if (menu)
                menu->popup(at);
        });
        return;
    }
    if (modifiers & Qt::ControlModifier)
        ExchangeItems(&target, dragged);
    else
        MoveItem(&target, dragged);
    CancelDrop();
    LayoutTiles();
}

TMVWebElement* TMVVisualManager::FindByURL(const QString& url) const
{
    for (const QPointer<TMVWebElement>& tile : m_tiles) {
        if (tile && tile->MorvalenItem() && SiteArrangement::SameSiteURL(tile->MorvalenItem()->URL(), url))
            return tile;
    }
    return nullptr;
}

TMVWebElement* TMVVisualManager::TileOf(const TMorvalenBaseClass* record) const
{
    for (const auto& tile : m_tiles) {
        if (tile && record && tile->MorvalenItem() == record)
            return tile;
    }
    return nullptr;
}

TMVWebElement* TMVVisualManager::FindByElementId(const QString& elementId) const
{
    for (const auto& item : m_items) {
        if (item->ElementId().toLower() == elementId)
            return TileOf(item.get());
    }
    return nullptr;
}

bool TMVVisualManager::FocusByTitle(const QString& prefix) const
{
    for (const QPointer<TMVWebElement>& tile : m_tiles) {
        if (tile && tile->MorvalenItem() && tile->MorvalenItem()->Title().toLower().startsWith(prefix)) {
            tile->setFocus(Qt::OtherFocusReason);
            if (m_scrollBox)
                m_scrollBox->ensureWidgetVisible(tile, kVisibleMargin, kVisibleMargin);
            return true;
        }
    }
    return false;
}

TMVWebElement* TMVVisualManager::FocusedTile() const
{
    for (const QPointer<TMVWebElement>& tile : m_tiles) {
        if (tile && tile->hasFocus())
            return tile;
    }
    return nullptr;
}

TMVWebElement* TMVVisualManager::MVViewers(int index) const
{
    if (index < 0 || index >= int(m_tiles.size()))
        throw EMorvalenError(u"TMVVisualManager.GetMVViewers: Index out of range!"_s);
    return m_tiles[size_t(index)];
}
