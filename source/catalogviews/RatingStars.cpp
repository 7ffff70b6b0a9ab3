#include "RatingStars.h"

#include "catalog/CatalogAddresses.h"
#include "pictures/GraphicTools.h"

#include <QImage>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

const QImage& StarPicture(TStarKind kind)
{
    static const QImage empty = GraphicTools::LoadPngResource(u"rtStarEmpty"_s);
    static const QImage half = GraphicTools::LoadPngResource(u"rtStarSemi"_s);
    static const QImage full = GraphicTools::LoadPngResource(u"rtStarFull"_s);
    switch (kind) {
    case skFull:
        return full;
    case skHalf:
        return half;
    default:
        return empty;
    }
}

} // namespace

void DrawRatingStars(QPainter& canvas, const QRect& rect, float rating)
{
    int x = rect.left() + 8;
    for (const TStarKind kind : RatingStarKinds(rating)) {
        const QImage& star = StarPicture(kind);
        const int y = rect.top() + (rect.height() - star.height()) / 2;
        canvas.drawImage(QPoint(x, y), star);
        x += star.width();
    }
}
