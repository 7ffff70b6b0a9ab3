#pragma once

#include "HtmlMarkup.h"

#include <QCursor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <vector>

// One clickable rectangle of link text.
struct TUrlRegion
{
    QRect Bounds;
    QString Target;
};

// A one-line label whose caption carries the markup of HtmlMarkup: bold, italic and underlined
// runs, coloured runs, links and inline images. It does not fill its background. The font's
// colour is the palette's window text colour. Where images come from and what a link does
// is the owner's business: the label asks through OnGetImage and reports through OnLinkClick.
class THtmlLabel final : public QWidget
{
    Q_OBJECT

public:
    explicit THtmlLabel(QWidget* parent = nullptr);
    ~THtmlLabel() override;

    const QString& Caption() const { return m_caption; }
    // Stores the text and repaints; the text is parsed at the next paint.
    void SetCaption(const QString& caption);

    const QCursor& LinkCursor() const { return m_linkCursor; }
    void SetLinkCursor(const QCursor& cursor) { m_linkCursor = cursor; }

    // The phrases and link regions as the next paint would draw them (parsing and laying out
    // first when needed).
    const std::vector<TStyledPhrase>& Phrases();
    const std::vector<TUrlRegion>& LinkRegions();
    // The picture an image phrase holds after the last layout (null when none).
    QImage PhrasePicture(size_t index) const;

    QSize sizeHint() const override { return {65, 13}; }

    // A link was clicked; the target comes in lower case.
    std::function<void(THtmlLabel& sender, const QString& url)> OnLinkClick;
    // The label needs the picture of an image tag (its name in lower case). picture comes
    // empty; the handler fills or replaces it. An empty picture takes no room.
    std::function<void(THtmlLabel& sender, const QString& image, QImage& picture)> OnGetImage;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Parse();
    void Layout();
    void EnsureLayout();
    QColor FontColor() const;
    const TUrlRegion* RegionAt(QPoint point) const;

    QString m_caption;
    QCursor m_linkCursor{Qt::PointingHandCursor};
    std::vector<TStyledPhrase> m_phrases;
    // The picture each phrase owns, by phrase index.
    std::vector<QImage> m_pictures;
    std::vector<TUrlRegion> m_regions;
    QRect m_layoutRect;
    bool m_needsParse = true;
    bool m_needsLayout = true;
    bool m_inLayout = false;
};
