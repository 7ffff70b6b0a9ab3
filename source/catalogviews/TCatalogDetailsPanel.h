#pragma once

#include "stores/TCacheFileEvent.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class THtmlLabel;
class TFileCacheManager;
class TMVFrame;
class TWebApplicationClass;

// The collapsible "Detailed info" panel under a catalog list: the application's picture with
// "View full size", the links bar, title and descriptions, and a column with its category
// (a link), popularity, price, browsers and rating.
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
    void ShowPicture(const QImage& picture, TPictureState state);
    void PictureArrived(const QString& fileName, const QString& url, TCacheStatus status);
    void LinkClicked(const QString& target);
    void UpdateLinks();

    TFileCacheManager& m_cache;
    TMVFrame* m_frame;
    QLabel* m_picture;
    THtmlLabel* m_zoom;
    THtmlLabel* m_links;
    THtmlLabel* m_title;
    QLabel* m_tagline;
    QLabel* m_description;
    THtmlLabel* m_category;
    QLabel* m_popularity;
    QLabel* m_price;
    QLabel* m_browsers;
    QLabel* m_rating;
    TWebApplicationClass* m_application = nullptr;
    TPictureState m_pictureState = psNone;
    int m_pendingPictures = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// "Internet Explorer, Firefox, Opera, Safari" for the browsers an application supports.
QString BrowserNames(const TWebApplicationClass& application);
// The browsers an application supports as bits: 1 Internet Explorer, 2 Firefox, 4 Opera,
// 8 Safari.
int BrowserMask(const TWebApplicationClass& application);
// A picture of the five stars (or, for popularity, circles) of a rating from 0 to 5.
QImage RatingStarsImage(float rating, bool circles);
