#include "TCatalogDetailsPanel.h"

#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebCategoryClass.h"
#include "common/Errors.h"
#include "details/TMVBrowserDisplay.h"
#include "details/TMVImageDisplay.h"
#include "details/TMVLinksBar.h"
#include "details/TMVProductDescriptions.h"
#include "details/TMVPropertyText.h"
#include "details/TMVRating.h"
#include "panels/TMVDelimiter.h"
#include "panels/TMVFrame.h"
#include "pictures/GraphicTools.h"
#include "stores/TFileCacheManager.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPanelHeight = 200;
constexpr int kPictureWidth = 164;
constexpr int kPropertyWidth = 248;

// The controls read "&" as a mnemonic mark; "&&" shows one.
QString Plain(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'&', u"&&"_s);
    return escaped;
}

QImage SmallIcon(const QString& name)
{
    return GraphicTools::LoadIconResource(name).pixmap(16, 16).toImage();
}

} // namespace

int BrowserMask(const TWebApplicationClass& application)
{
    return (application.IE() ? 1 : 0) | (application.FireFox() ? 2 : 0) | (application.Opera() ? 4 : 0) |
           (application.Safari() ? 8 : 0);
}

TCatalogDetailsPanel::TCatalogDetailsPanel(TFileCacheManager& cache, QWidget* parent)
    : QWidget(parent), m_cache(cache), m_frame(new TMVFrame(this))
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_frame);
    m_frame->SetCaption(u"Detailed info"_s);
    m_frame->SetShowHelpArea(false);
    m_frame->setFixedHeight(kPanelHeight);

    auto* row = new QHBoxLayout(m_frame);
    row->setContentsMargins(4, 2, 6, 4);
    row->setSpacing(8);

    m_picture = new TMVImageDisplay(m_frame);
    m_picture->setObjectName(u"idImage"_s);
    m_picture->setFixedWidth(kPictureWidth);
    m_picture->SetZoomText(u"View full size"_s);
    row->addWidget(m_picture);

    auto* middle = new QVBoxLayout;
    middle->setSpacing(2);
    m_links = new TMVLinksBar(m_frame);
    m_links->setObjectName(u"lkbLinks"_s);
    m_linkIcons = {SmallIcon(u"res_ico_lbInstall"_s), SmallIcon(u"res_ico_lbInstalled"_s),
                   SmallIcon(u"res_ico_lbVisitSite"_s), SmallIcon(u"res_ico_lbSignup"_s),
                   SmallIcon(u"res_ico_lbTellFriend"_s)};
    m_links->SetImageList(&m_linkIcons);
    m_links->SetImageIndexInstall(0);
    m_links->SetImageIndexInstalled(1);
    m_links->SetImageIndexVisitSite(2);
    m_links->SetImageIndexSignup(3);
    m_links->SetImageIndexTellFriend(4);
    m_descriptions = new TMVProductDescriptions(m_frame);
    m_descriptions->setObjectName(u"pdDescription"_s);
    middle->addWidget(m_links);
    middle->addWidget(m_descriptions, 1);
    row->addLayout(middle, 1);

    auto* properties = new QVBoxLayout;
    properties->setSpacing(3);
    auto addLine = [&](QWidget* control, bool separator) {
        if (separator) {
            auto* line = new TMVDelimiter(m_frame);
            line->setFixedHeight(2);
            line->setFixedWidth(kPropertyWidth);
            properties->addWidget(line);
        }
        control->setFixedWidth(kPropertyWidth);
        properties->addWidget(control);
    };
    m_category = new TMVPropertyText(m_frame);
    m_category->setObjectName(u"ptCategory"_s);
    m_category->SetCaption(u"Category"_s);
    m_category->SetIsUrl(true);
    m_popularity = new TMVRating(m_frame);
    m_popularity->setObjectName(u"rtPopularity"_s);
    m_popularity->SetCaption(u"Popularity"_s);
    m_popularity->SetRatingType(rtPopularity);
    m_popularity->SetShowRatingHint(true);
    m_price = new TMVPropertyText(m_frame);
    m_price->setObjectName(u"ptPrice"_s);
    m_price->SetCaption(u"Price"_s);
    m_browsers = new TMVBrowserDisplay(m_frame);
    m_browsers->setObjectName(u"bdBrowsers"_s);
    m_browsers->SetCaption(u"Browser"_s);
    m_rating = new TMVRating(m_frame);
    m_rating->setObjectName(u"rtRating"_s);
    m_rating->SetCaption(u"Rating"_s);
    m_rating->SetShowRatingHint(true);
    properties->addSpacing(4);
    addLine(m_category, false);
    addLine(m_popularity, true);
    addLine(m_price, true);
    addLine(m_browsers, true);
    addLine(m_rating, true);
    properties->addStretch();
    row->addLayout(properties);

    m_picture->OnZoomClick = [this](TMVImageDisplay&) {
        Raise(OnZoom);
    };
    m_category->OnUrlClick = [this](TMVPropertyText&) {
        Raise(OnCategoryLink);
    };
    m_links->OnInstallClick = [this](TMVLinksBar&) {
        Raise(OnInstall);
    };
    m_links->OnVisitSiteClick = [this](TMVLinksBar&) {
        Raise(OnVisit);
    };
    m_links->OnSignupClick = [this](TMVLinksBar&) {
        Raise(OnSignUp);
    };
    m_links->OnTellFriendClick = [this](TMVLinksBar&) {
        Raise(OnTellAFriend);
    };
    Collapse();
}

TCatalogDetailsPanel::~TCatalogDetailsPanel() = default;

bool TCatalogDetailsPanel::IsCollapsed() const
{
    return m_frame->FrameState() == fsCollapsed;
}

void TCatalogDetailsPanel::Collapse()
{
    m_application = nullptr;
    m_frame->SetOptions(m_frame->Options() & ~foExpandClick);
    m_frame->SetFrameState(fsCollapsed);
    setFixedHeight(m_frame->height());
}

void TCatalogDetailsPanel::ShowDetails(TWebApplicationClass* application)
{
    if (!application) {
        Collapse();
        return;
    }
    m_application = application;
    const QString& address = application->ThumbnailURL();
    if (address.isEmpty()) {
        m_picture->ShowNoImage();
        SetPictureState(psNoPicture);
    } else if (!m_cache.GetCachedFileName(address, true).isEmpty()) {
        PictureArrived(address.toLower(), csCurrent);
    } else {
        m_picture->ShowLoading();
        SetPictureState(psLoading);
        ++m_pendingPictures;
        std::weak_ptr<bool> alive = m_alive;
        m_cache.RequestFile(address, false, true, false,
                            [this, alive](const QString&, const QString& url, TCacheStatus status) {
                                if (alive.expired())
                                    return;
                                --m_pendingPictures;
                                PictureArrived(url, status);
                            });
    }
    m_descriptions->SetTitle(Plain(application->Title()));
    m_descriptions->SetDescriptionShort(Plain(application->Tagline()));
    m_descriptions->SetDescriptionLong(Plain(application->MainDescription()));
    const TWebCategoryClass* category = application->Category();
    m_category->SetText(category ? Plain(category->Title()) : QString());
    m_price->SetText(Plain(application->Cost()));
    m_browsers->SetBrowsers(TMVBrowsers(BrowserMask(*application)));
    // The catalog gives popularity on the control's 0 to 5 scale.
    m_popularity->SetRating(application->Popularity());
    m_rating->SetRating(application->UserRating());
    m_links->SetIsInstalled(IsInstalled && IsInstalled(*application));
    m_frame->SetOptions(m_frame->Options() | foExpandClick);
    m_frame->SetFrameState(fsNormal);
    setFixedHeight(kPanelHeight);
}

void TCatalogDetailsPanel::PictureArrived(const QString& url, TCacheStatus status)
{
    // Only while the panel still wants this picture: the user may have moved on.
    if (!m_application || m_application->ThumbnailURL().toLower() != url)
        return;
    const QString cached = status == csFailed ? QString() : m_cache.GetCachedFileName(url, true);
    if (!cached.isEmpty()) {
        try {
            m_picture->LoadImageFile(cached);
            SetPictureState(psPicture);
            return;
        } catch (const EMorvalenError&) {
            // A damaged or foreign file shows as no picture.
        }
    }
    m_picture->ShowNoImage();
    SetPictureState(psNoPicture);
}

void TCatalogDetailsPanel::SetPictureState(TPictureState state)
{
    m_pictureState = state;
}

void TCatalogDetailsPanel::Raise(const Action& action)
{
    if (m_application && action)
        action(m_application);
}
