#pragma once

#include "TileGeometry.h"
#include "TileText.h"
#include "pictures/Colors.h"

#include "pictures/TExIcon.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QDrag;
class QMimeData;
class TFavoriteIconManager;
class TFlashThread;
class TMVWebElementDrag;
class TMorvalenBaseClass;
class TThumbnailManager;

// The card of one installed site in the "Installed" tab, 280 x 90: thumbnail, favorite icon,
// title, address and description, a run button while focused and a close button while the
// site's browser is open. It only shows and reports: its owner (the installed-sites manager)
// gives it the site record and the two picture stores and handles its events.
//
// Mouse: a left click on the visible button raises OnRunClick or OnCloseClick; any other
// press arms a drag, which starts once the pointer has moved 20 pixels in x or y. A right
// click that did not drag opens PopupMenu. Double clicks outside the button raise OnDblClick.
// Keys: Enter runs the site as the run button does; Space selects the tile (it takes the focus).
class TMVWebElement final : public QWidget
{
    Q_OBJECT

public:
    enum TZone
    {
        zoneNone = 0,
        zoneRun = 1,
        zoneClose = 2
    };

    explicit TMVWebElement(QWidget* parent = nullptr);
    // Stops a running flash first; the record and the stores are not owned.
    ~TMVWebElement() override;

    // The top colour of the focus and flash gradients.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    // The tile's context menu (not owned). While it is open for this tile,
    // PopupComponentOf(menu) answers the tile.
    QMenu* PopupMenu() const { return m_popupMenu.data(); }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    static TMVWebElement* PopupComponentOf(const QMenu* menu);

    // The favorite icon and the thumbnail; setting copies the given picture.
    const TExIcon& Icon() const { return m_icon; }
    // The icon's picture as the tile draws it; null without an icon.
    const QImage& IconPicture() const { return m_iconPicture; }
    void SetIcon(const TExIcon& icon);
    const QImage& Thumbnail() const { return m_thumbnail; }
    void SetThumbnail(const QImage& thumbnail);

    // A browser window of this site is open: the close button shows, focused or not.
    bool HasBrowser() const { return m_hasBrowser; }
    void SetHasBrowser(bool hasBrowser);

    // The site's window sleeps (its pages let go until it is used again): the icon is dimmed
    // and a small moon shows in the header. A window that closes sleeps no more.
    bool Sleeping() const { return m_sleeping; }
    void SetSleeping(bool sleeping);

    // The site's unread messages as a badge (none for 0); old: the count its window had when
    // it closed, drawn pale.
    int UnreadCount() const { return m_unreadCount; }
    bool UnreadCountOld() const { return m_unreadCountOld; }
    void SetUnreadCount(int count, bool old);

    // When a new record's pictures are read: at once, or when the tile is first painted or
    // dragged (many tiles of which few show).
    enum TImageLoading
    {
        ImagesNow,
        ImagesAtFirstPaint
    };

    // The site shown (not owned). Setting a record also runs ReloadImages, now or later.
    TMorvalenBaseClass* MorvalenItem() const { return m_item; }
    void SetMorvalenItem(TMorvalenBaseClass* item, TImageLoading loading = ImagesNow);
    // Runs the ReloadImages a record set for later, if it has not run yet.
    void LoadPendingImages();
    bool ImagesPending() const { return m_imagesPending; }
    TFavoriteIconManager* FavoriteIconManager() const { return m_favoriteIcons; }
    void SetFavoriteIconManager(TFavoriteIconManager* manager) { m_favoriteIcons = manager; }
    TThumbnailManager* ThumbnailManager() const { return m_thumbnails; }
    void SetThumbnailManager(TThumbnailManager* manager) { m_thumbnails = manager; }

    // Takes the record's thumbnail from the thumbnail store and its favorite icon (the best
    // 16 x 16 image) from the icon folder. What cannot be found or read leaves the picture
    // as it was. The caller repaints.
    void ReloadImages();

    // Five ticks of 200 ms alternate a red-and-yellow look with the plain one, then the tile
    // looks as before. Flashing again while a flash runs starts it over.
    void Flash();
    bool Flashing() const { return m_flashing; }
    bool FlashPhase() const { return m_flashPhase; }

    // A zone's rectangle as the last paint left it; empty while its button is not shown.
    QRect ZoneRect(TZone zone) const;
    // The zone under the pointer, as shown in the hint ("Open in Browser", ...); empty elsewhere.
    QString Hint() const { return toolTip(); }

    // Whether the tile looks focused: it has the keyboard focus, unless a look was forced
    // (pictures of several focused tiles at once, tiles painted off-screen). Nothing
    // forced: the focus decides again.
    bool ShowsFocus() const;
    void ForceFocusLook(std::optional<bool> focused);

    std::function<void(TMVWebElement& sender)> OnDblClick;
    std::function<void(TMVWebElement& sender)> OnRunClick;
    std::function<void(TMVWebElement& sender)> OnCloseClick;
    // Asked while the focused tile's site has no description; the text shows in its place.
    std::function<void(TMVWebElement& sender, QString& statusText)> OnGetStatusText;
    // Another tile is dragged over this one; accept starts true. Without a handler no drop
    // is accepted.
    std::function<void(TMVWebElement& target, const TMVWebElementDrag& drag, QPoint position, bool& accept)>
        OnDragOver;
    std::function<void(TMVWebElement& target, const TMVWebElementDrag& drag, QPoint position,
                       Qt::KeyboardModifiers modifiers)>
        OnDragDrop;

    // Runs a drag once it has started: QDrag::exec unless replaced (tests look at the drag
    // instead of running one).
    std::function<void(QDrag& drag)> ExecuteDrag;

    QSize sizeHint() const override { return {TileGeometry::kWidth, TileGeometry::kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct THotZone
    {
        bool Visible = false;
        QRect Bounds;
        QString Hint;
    };

    void PaintCard(QPainter& painter, const TileGeometry::TTileLayout& layout, bool focused);
    void PaintTexts(QPainter& painter, const TileGeometry::TTileLayout& layout, bool focused);
    void PaintBadge(QPainter& painter, const TileGeometry::TTileLayout& layout);
    void PaintIcon(QPainter& painter, const TileGeometry::TTileLayout& layout);
    void PaintMoon(QPainter& painter, const TileGeometry::TTileLayout& layout);
    TZone VisibleZoneAt(QPoint point) const;
    void ClearHint();
    void StartDrag(QPoint pointer);
    void ShowPopupMenu(QPoint globalPosition);
    void IconChanged();
    void StopFlash();
    void FlashTick();
    void FlashEnded(TFlashThread* worker);
    const TMVWebElementDrag* TileDrag(const QMimeData* mimeData) const;

    TColor m_color = clWindow;
    QPointer<QMenu> m_popupMenu;
    TExIcon m_icon;
    // The icon's picture as it is drawn.
    QImage m_iconPicture;
    QImage m_thumbnail;
    bool m_hasBrowser = false;
    bool m_sleeping = false;
    int m_unreadCount = 0;
    bool m_unreadCountOld = false;
    TMorvalenBaseClass* m_item = nullptr;
    bool m_imagesPending = false;
    TFavoriteIconManager* m_favoriteIcons = nullptr;
    TThumbnailManager* m_thumbnails = nullptr;

    QImage m_closeImage;
    QImage m_runImage;
    QImage m_shortcutImage;
    // By TZone; zoneNone's entry stays invisible.
    std::array<THotZone, 3> m_zones;
    TZone m_pressedZone = zoneNone;
    bool m_dragArmed = false;
    QPoint m_dragPoint;
    std::optional<bool> m_forcedFocusLook;

    TileText::TFittedLine m_titleFit;
    TileText::TFittedLine m_addressFit;
    TileText::TFittedBlock m_descriptionFit;

    bool m_flashing = false;
    bool m_flashPhase = false;
    TFlashThread* m_flash = nullptr;
};
