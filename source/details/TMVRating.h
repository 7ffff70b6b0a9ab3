#pragma once

#include "DetailGeometry.h"
#include "TMVCaptionControl.h"

#include <QImage>

#include <functional>

// A caption and five pictures for a value from 0 to 5: stars for the user rating, circles
// for the popularity. Each picture is full, half or empty by the value's percentage (see
// DetailGeometry::RatingPictures). With ShowRatingHint the control's tool tip tells the value.
class TMVRating final : public TMVCaptionControl
{
    Q_OBJECT

public:
    static constexpr int MaxRating = DetailGeometry::kMaxRating;

    explicit TMVRating(QWidget* parent = nullptr);
    ~TMVRating() override;

    float Rating() const { return m_rating; }
    // A value outside 0 to MaxRating (or not a number) is stored as 0.
    void SetRating(float rating);

    TRatingType RatingType() const { return m_ratingType; }
    void SetRatingType(TRatingType type);

    bool ShowRatingHint() const { return m_showRatingHint; }
    void SetShowRatingHint(bool show);

    // The hint as last built: empty without ShowRatingHint, else the text OnGetRatingHintText
    // gives, else "Rating 4.5" or "Popularity 4.5".
    const QString& RatingHint() const { return m_hint; }

    // Supplies the hint instead of the built-in text; hint starts empty.
    std::function<void(TMVRating& sender, QString& hint)> OnGetRatingHintText;
    // Builds the hint again (also after OnGetRatingHintText was set or would answer otherwise).
    void UpdateRatingHint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void LoadPictures();

    float m_rating = 0.0f;
    TRatingType m_ratingType = rtRating;
    bool m_showRatingHint = false;
    QString m_hint;
    // By TRatingPicture: empty, half, full.
    std::array<QImage, 3> m_pictures;
};
