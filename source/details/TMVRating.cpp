#include "TMVRating.h"

#include "pictures/GraphicTools.h"

#include <QPainter>

using namespace Qt::Literals::StringLiterals;

TMVRating::TMVRating(QWidget* parent) : TMVCaptionControl(parent)
{
    LoadPictures();
}

TMVRating::~TMVRating() = default;

void TMVRating::LoadPictures()
{
    const bool stars = m_ratingType == rtRating;
    m_pictures[DetailGeometry::rpEmpty] =
        GraphicTools::LoadPngResource(stars ? u"rtStarEmpty"_s : u"rtCircleEmpty"_s);
    m_pictures[DetailGeometry::rpHalf] =
        GraphicTools::LoadPngResource(stars ? u"rtStarSemi"_s : u"rtCircleSemi"_s);
    m_pictures[DetailGeometry::rpFull] =
        GraphicTools::LoadPngResource(stars ? u"rtStarFull"_s : u"rtCircleFull"_s);
}

void TMVRating::SetRating(float rating)
{
    if (!(rating >= 0.0f && rating <= float(MaxRating)))
        rating = 0.0f;
    m_rating = rating;
    UpdateRatingHint();
    update();
}

void TMVRating::SetRatingType(TRatingType type)
{
    if (type == m_ratingType)
        return;
    m_ratingType = type;
    LoadPictures();
    UpdateRatingHint();
    update();
}

void TMVRating::SetShowRatingHint(bool show)
{
    m_showRatingHint = show;
    UpdateRatingHint();
}

void TMVRating::UpdateRatingHint()
{
    QString hint;
    if (m_showRatingHint) {
        if (OnGetRatingHintText)
            OnGetRatingHintText(*this, hint);
        else
            hint = DetailGeometry::RatingHintText(m_ratingType, m_rating);
    }
    m_hint = hint;
    // Without ShowRatingHint the control shows no tool tip at all.
    setToolTip(m_showRatingHint ? m_hint : QString());
}

void TMVRating::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect caption = PaintCaption(painter);
    const std::array<DetailGeometry::TRatingPicture, 5> kinds = DetailGeometry::RatingPictures(m_rating);
    int x = DetailGeometry::FirstRatingPictureLeft(rect(), m_pictures[DetailGeometry::rpFull].width());
    const int bottom = rect().y() + rect().height();
    for (const DetailGeometry::TRatingPicture kind : kinds) {
        const QImage& picture = m_pictures[kind];
        const int y = caption.y() + DetailGeometry::CentredOffset(bottom - caption.y(), picture.height());
        painter.drawImage(x, y, picture);
        x += picture.width();
    }
}
