#pragma once

#include "SiteArrangement.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QScrollArea;
class QWidget;
class TFavoriteIconManager;
class TMVWebElement;
class TMVWebElementDrag;
class TMorvalenBaseClass;
class TThumbnailManager;

// Owns the installed sites: their records in display order, one tile per record in the
// scroll box of the "Installed" tab, and the data file MorvalenDesktop.dat, which it writes
// after every change. It lays the tiles out in rows, sorts them, lets the user reorder them
// by dragging one tile onto another and finds sites by address, title or element id. Tile
// events go to its owner through the callbacks.
//
// Records and tiles always come in pairs: TileOf() a record is its tile and each tile's
// MorvalenItem() its record. Items() is the on-screen and file order; MVViewers() indexes
// the tiles in the order they were created.
class TMVVisualManager final : public QObject
{
    Q_OBJECT

public:
    explicit TMVVisualManager(QObject* parent = nullptr);
    // Frees every tile and record.
    ~TMVVisualManager() override;

    // The scroll box that holds the tiles; the manager lays them out when it is resized.
    // Its inner widget becomes the tiles' parent (one is made when it has none).
    QScrollArea* ScrollBox() const;
    void SetScrollBox(QScrollArea* scrollBox);
    void SetThumbnailManager(TThumbnailManager* manager) { m_thumbnails = manager; }
    void SetFavoriteIconManager(TFavoriteIconManager* manager) { m_favoriteIcons = manager; }
    // Offered when a tile is dropped with the right button; its items call DropMove,
    // DropExchange and CancelDrop.
    QMenu* DropMenu() const;
    void SetDropMenu(QMenu* menu);

    // The view block of the configuration file. Setting it does not sort.
    uint8_t ArrangeMode() const { return m_arrangeMode; }
    void SetArrangeMode(uint8_t mode) { m_arrangeMode = mode; }

    // Remembers the file; reads it when it exists. A wrong header loads nothing and damaged
    // records are skipped; the file as it was is then kept aside before the first save.
    void LoadFromFile(const QString& fileName);
    const QString& FileName() const { return m_fileName; }
    // The data file was rewritten by another writer (a restore): reads it again and saves
    // nothing. A site in fresh, or one this manager lacks, gets a new record and tile from the
    // file (the one it had goes first: its window must be closed by then); every other site
    // keeps its record and tile, so that its open window stays. Sites the file lacks go; the
    // order becomes the file's. False, and nothing changes, when the file cannot be read.
    bool ReloadFromFile(const QSet<QString>& fresh);
    // Rewrites the data file (nothing before LoadFromFile). A failure keeps the sites in
    // memory, is reported once through OnSaveFailed and is tried again by the next save.
    bool Save();
    bool LastSaveFailed() const { return m_saveFailed; }

    // Takes a new record, makes its tile, applies the arrange mode, focuses the tile while
    // the scroll box shows, and saves.
    TMVWebElement* AddItem(std::unique_ptr<TMorvalenBaseClass> record);
    // Frees the tile and its record, saves and lays out.
    void RemoveTile(TMVWebElement* tile);
    void Clear();

    // Sorts by the mode, which becomes the arrange mode, saves, raises OnViewChanged, lays out.
    void Arrange(uint8_t mode);
    // Arrange with the current mode, after a title changed.
    void Rearrange() { Arrange(m_arrangeMode); }
    void LayoutTiles();

    // Reorder by dragging; both switch to manual order, save and raise OnViewChanged.
    void MoveItem(TMVWebElement* target, TMVWebElement* dragged);
    void ExchangeItems(TMVWebElement* target, TMVWebElement* dragged);
    // The drop menu's "Move here", "Exchange move" and "Cancel".
    void DropMove();
    void DropExchange();
    void CancelDrop();
    TMVWebElement* DropTarget() const;
    TMVWebElement* DropSource() const;

    // The first tile (creation order) whose site has this address (SameSiteURL).
    TMVWebElement* FindByURL(const QString& url) const;
    // The first site (display order) whose lower-cased element id is elementId.
    TMVWebElement* FindByElementId(const QString& elementId) const;
    // Focuses the first tile (creation order) whose lower-cased title begins with prefix.
    bool FocusByTitle(const QString& prefix) const;
    TMVWebElement* FocusedTile() const;
    // The tile that shows the record; none for a record that is not the manager's.
    TMVWebElement* TileOf(const TMorvalenBaseClass* record) const;

    int Count() const { return int(m_items.size()); }
    // By creation order; throws EMorvalenError outside 0..Count()-1.
    TMVWebElement* MVViewers(int index) const;
    const SiteArrangement::TSiteList& Items() const { return m_items; }
    int IndexOf(const TMVWebElement* tile) const;
    // After the site of a tile was edited: its pictures, accessible texts and look follow.
    void TileChanged(TMVWebElement& tile);

    // The owner's handlers; each may be unset.
    std::function<void(TMVVisualManager& sender, TMVWebElement& tile)> OnTileCreated;
    // For each record read from the data file, before its tile exists.
    std::function<void(TMVVisualManager& sender, TMorvalenBaseClass& record)> OnItemLoaded;
    std::function<void(TMVVisualManager& sender, TMVWebElement& tile)> OnRunClick;
    std::function<void(TMVVisualManager& sender, TMVWebElement& tile)> OnCloseClick;
    std::function<void(TMVVisualManager& sender, TMVWebElement& tile)> OnTileDblClick;
    std::function<void(TMVWebElement& tile, QString& text)> OnGetStatusText;
    // The arrangement changed: sorted, or tiles moved.
    std::function<void(TMVVisualManager& sender)> OnViewChanged;
    // The sites are now more or fewer.
    std::function<void(TMVVisualManager& sender)> OnCountChanged;
    // Once per run of failing saves, with the reason.
    std::function<void(TMVVisualManager& sender, const QString& message)> OnSaveFailed;
    // The damaged data file was kept aside under copyPath before it was first overwritten.
    std::function<void(TMVVisualManager& sender, const QString& copyPath)> OnDamagedFileKept;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TMVWebElement* CreateTile(std::unique_ptr<TMorvalenBaseClass> record, bool loadPicturesNow);
    void ScrollBoxResized();
    void DragOver(TMVWebElement& target, const TMVWebElementDrag& drag, bool& accept) const;
    void DragDrop(TMVWebElement& target, const TMVWebElementDrag& drag, QPoint position,
                  Qt::KeyboardModifiers modifiers);
    void Reordered();
    QWidget* Canvas() const;

    QPointer<QScrollArea> m_scrollBox;
    TThumbnailManager* m_thumbnails = nullptr;
    TFavoriteIconManager* m_favoriteIcons = nullptr;
    QPointer<QMenu> m_dropMenu;
    uint8_t m_arrangeMode = amManual;
    SiteArrangement::TSiteList m_items;
    // Creation order. Guarded: a tile's parent may go first when the window is torn down.
    std::vector<QPointer<TMVWebElement>> m_tiles;
    QString m_fileName;
    QPointer<TMVWebElement> m_dropTarget;
    QPointer<TMVWebElement> m_dropSource;
    // The loaded file lost something (wrong header, skipped records): it is copied aside
    // before it is first overwritten.
    bool m_keepDamagedFile = false;
    bool m_saveFailed = false;
    bool m_layingOut = false;
};
