#pragma once

#include "stores/TCacheFileEvent.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class TFileCacheManager;
class TMVBrowserDisplay;
class TMVFrame;
class TMVImageDisplay;
class TMVLinksBar;
class TMVProductDescriptions;
class TMVPropertyText;
class TMVRating;
class TWebApplicationClass;

// The collapsible "Detailed info" panel under a catalog list: the application's screenshot
// with "View full size", the links bar over the title and descriptions, and a column with its
// category (a link), popularity, price, browsers and rating.
class TCatalogDetailsPanel final : public QWidget
{
    Q_OBJECT

public:
    TCatalogDetailsPanel(TFileCacheManager& cache, QWidget* parent = nullptr);
    ~TCatalogDetailsPanel() override;

    // Fills the panel and opens it, or collapses it (and keeps it shut) for none. A picture
    // that is not cached yet is requested; it shows when it arrives while the same picture
    // is still wanted.
    void ShowDetails(TWebApplicationClass* application);
    TWebApplicationClass* Application() const { return m_application; }
    void Collapse();

    bool IsCollapsed() const;
    // Picture requests whose reports have not arrived yet.
    int PendingPictures() const { return m_pendingPictures; }
    // What the picture area shows: the picture, or the loading or no-picture state.
    enum TPictureState
    {
        psNone,
        psLoading,
        psPicture,
        psNoPicture,
    };
    TPictureState PictureState() const { return m_pictureState; }

    TMVFrame& Frame() const { return *m_frame; }
    TMVLinksBar& LinksBar() const { return *m_links; }
    TMVImageDisplay& ImageDisplay() const { return *m_picture; }
    TMVPropertyText& CategoryText() const { return *m_category; }

    // Links bar actions and the two links of the panel; each gets the shown application.
    using Action = std::function<void(TWebApplicationClass* application)>;
    Action OnInstall;
    Action OnVisit;
    Action OnSignUp;
    Action OnTellAFriend;
    Action OnZoom;
    Action OnCategoryLink;
    // Whether an installed site has the application's address.
    std::function<bool(const TWebApplicationClass& application)> IsInstalled;

private:
    void SetPictureState(TPictureState state);
    void PictureArrived(const QString& url, TCacheStatus status);
    void Raise(const Action& action);

    TFileCacheManager& m_cache;
    TMVFrame* m_frame;
    TMVImageDisplay* m_picture;
    TMVLinksBar* m_links;
    TMVProductDescriptions* m_descriptions;
    TMVPropertyText* m_category;
    TMVRating* m_popularity;
    TMVPropertyText* m_price;
    TMVBrowserDisplay* m_browsers;
    TMVRating* m_rating;
    // The links bar's icons: install, installed, visit site, sign up, tell a friend.
    std::vector<QImage> m_linkIcons;
    TWebApplicationClass* m_application = nullptr;
    TPictureState m_pictureState = psNone;
    int m_pendingPictures = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The browsers an application supports as bits: 1 Internet Explorer, 2 Firefox, 4 Opera,
// 8 Safari.
int BrowserMask(const TWebApplicationClass& application);
