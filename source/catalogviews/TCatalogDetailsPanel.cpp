#include "TCatalogDetailsPanel.h"

#include "RatingStars.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebCategoryClass.h"
#include "common/Errors.h"
#include "stores/TFileCacheManager.h"
#include "visual/GraphicTools.h"
#include "visual/HtmlLabel.h"
#include "visual/PictureFile.h"
#include "visual/TMVDelimiter.h"
#include "visual/TMVFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPanelHeight = 200;
constexpr int kPictureWidth = 164;
constexpr int kPropertyWidth = 248;

QString Escaped(const QString& text)
{
    // The label reads "&" as a mnemonic mark; "&&" shows one.
    QString escaped = text;
    escaped.replace(u'&', u"&&"_s);
    return escaped;
}

QLabel* PropertyName(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

int BrowserMask(const TWebApplicationClass& application)
{
    return (application.IE() ? 1 : 0) | (application.FireFox() ? 2 : 0) | (application.Opera() ? 4 : 0) |
           (application.Safari() ? 8 : 0);
}

QString BrowserNames(const TWebApplicationClass& application)
{
    QStringList names;
    if (application.IE())
        names << u"Internet Explorer"_s;
    if (application.FireFox())
        names << u"Firefox"_s;
    if (application.Opera())
        names << u"Opera"_s;
    if (application.Safari())
        names << u"Safari"_s;
    return names.join(u", "_s);
}

QImage RatingStarsImage(float rating, bool circles)
{
    QImage image(8 + 5 * 15, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (!circles) {
        DrawRatingStars(painter, image.rect(), rating);
        return image;
    }
    const QString names[] = {u"rtCircleEmpty"_s, u"rtCircleSemi"_s, u"rtCircleFull"_s};
    int x = 8;
    for (const TStarKind kind : RatingStarKinds(rating)) {
        const QImage picture = GraphicTools::LoadPngResource(names[kind]);
        painter.drawImage(x, (image.height() - picture.height()) / 2, picture);
        x += picture.width();
    }
    return image;
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
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(8);

    auto* pictureColumn = new QVBoxLayout;
    m_picture = new QLabel(m_frame);
    m_picture->setFixedWidth(kPictureWidth);
    m_picture->setAlignment(Qt::AlignCenter);
    m_zoom = new THtmlLabel(m_frame);
    m_zoom->SetCaption(u"<a zoom>View full size</a>"_s);
    m_zoom->setFixedHeight(16);
    pictureColumn->addWidget(m_picture, 1);
    pictureColumn->addWidget(m_zoom);
    row->addLayout(pictureColumn);

    auto* middle = new QVBoxLayout;
    m_links = new THtmlLabel(m_frame);
    m_links->setFixedHeight(18);
    m_title = new THtmlLabel(m_frame);
    m_title->setFixedHeight(20);
    m_tagline = new QLabel(m_frame);
    m_tagline->setWordWrap(true);
    m_description = new QLabel(m_frame);
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    middle->addWidget(m_links);
    middle->addWidget(m_title);
    middle->addWidget(m_tagline);
    middle->addWidget(m_description, 1);
    row->addLayout(middle, 1);

    auto* properties = new QWidget(m_frame);
    properties->setFixedWidth(kPropertyWidth);
    auto* grid = new QGridLayout(properties);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    m_category = new THtmlLabel(properties);
    m_category->setFixedHeight(16);
    m_popularity = new QLabel(properties);
    m_price = new QLabel(properties);
    m_browsers = new QLabel(properties);
    m_browsers->setWordWrap(true);
    m_rating = new QLabel(properties);
    const std::pair<QString, QWidget*> rows[] = {{u"Category"_s, m_category},
                                                 {u"Popularity"_s, m_popularity},
                                                 {u"Price"_s, m_price},
                                                 {u"Browser"_s, m_browsers},
                                                 {u"Rating"_s, m_rating}};
    int line = 0;
    for (const auto& [name, value] : rows) {
        if (line > 0) {
            auto* separator = new TMVDelimiter(properties);
            separator->setFixedHeight(2);
            grid->addWidget(separator, line++, 0, 1, 2);
        }
        grid->addWidget(PropertyName(name, properties), line, 0);
        grid->addWidget(value, line++, 1);
    }
    grid->setRowStretch(line, 1);
    row->addWidget(properties);

    m_zoom->OnLinkClick = [this](THtmlLabel&, const QString& target) {
        LinkClicked(target);
    };
    m_links->OnLinkClick = m_zoom->OnLinkClick;
    m_category->OnLinkClick = m_zoom->OnLinkClick;
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
        ShowPicture({}, psNoPicture);
    } else if (const QString cached = m_cache.GetCachedFileName(address, true); !cached.isEmpty()) {
        PictureArrived(cached, address.toLower(), csCurrent);
    } else {
        ShowPicture(GraphicTools::LoadPngResource(u"idLoadingImage"_s), psLoading);
        ++m_pendingPictures;
        std::weak_ptr<bool> alive = m_alive;
        m_cache.RequestFile(address, false, true, false,
                            [this, alive](const QString& fileName, const QString& url, TCacheStatus status) {
                                if (alive.expired())
                                    return;
                                --m_pendingPictures;
                                PictureArrived(fileName, url, status);
                            });
    }
    m_title->SetCaption(u"<b>"_s + Escaped(application->Title()) + u"</b>"_s);
    m_tagline->setText(application->Tagline());
    m_description->setText(application->MainDescription());
    const TWebCategoryClass* category = application->Category();
    m_category->SetCaption(category ? u"<a category>"_s + Escaped(category->Title()) + u"</a>"_s : QString());
    // The catalog gives popularity in percent.
    m_popularity->setPixmap(QPixmap::fromImage(RatingStarsImage(application->Popularity() / 20.0f, true)));
    m_price->setText(application->Cost());
    m_browsers->setText(BrowserNames(*application));
    m_rating->setPixmap(QPixmap::fromImage(RatingStarsImage(application->UserRating(), false)));
    UpdateLinks();
    m_frame->SetOptions(m_frame->Options() | foExpandClick);
    m_frame->SetFrameState(fsNormal);
    setFixedHeight(kPanelHeight);
}

void TCatalogDetailsPanel::UpdateLinks()
{
    const bool installed = m_application && IsInstalled && IsInstalled(*m_application);
    m_links->SetCaption((installed ? u"<a install>Installed</a>"_s : u"<a install>Install</a>"_s) +
                        u"   <a visit>Visit site</a>   <a signup>Sign up</a>   <a tell>Tell a Friend</a>"_s);
}

void TCatalogDetailsPanel::PictureArrived(const QString& fileName, const QString& url, TCacheStatus status)
{
    Q_UNUSED(fileName);
    // Only while the panel still wants this picture: the user may have moved on.
    if (!m_application || m_application->ThumbnailURL().toLower() != url)
        return;
    if (status == csFailed) {
        ShowPicture({}, psNoPicture);
        return;
    }
    const QString cached = m_cache.GetCachedFileName(url, true);
    QImage picture;
    try {
        if (!cached.isEmpty())
            picture = PictureFile::Load(cached);
    } catch (const EMorvalenError&) {
        // A damaged or foreign file shows as no picture.
    }
    if (picture.isNull())
        ShowPicture({}, psNoPicture);
    else
        ShowPicture(picture, psPicture);
}

void TCatalogDetailsPanel::ShowPicture(const QImage& picture, TPictureState state)
{
    m_pictureState = state;
    const QImage shown = state == psNoPicture ? GraphicTools::LoadPngResource(u"idNoImage"_s) : picture;
    const QSize room(kPictureWidth, kPanelHeight - 60);
    const QImage fitted = shown.width() > room.width() || shown.height() > room.height()
                              ? shown.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : shown;
    m_picture->setPixmap(QPixmap::fromImage(fitted));
}

void TCatalogDetailsPanel::LinkClicked(const QString& target)
{
    TWebApplicationClass* application = m_application;
    if (!application)
        return;
    const std::pair<QString, Action*> actions[] = {
        {u"zoom"_s, &OnZoom},     {u"install"_s, &OnInstall},  {u"visit"_s, &OnVisit},
        {u"signup"_s, &OnSignUp}, {u"tell"_s, &OnTellAFriend}, {u"category"_s, &OnCategoryLink}};
    for (const auto& [name, action] : actions) {
        if (name == target && *action)
            (*action)(application);
    }
}
