#include "Painter.h"

#include "Drawing.h"

#include <functional>
#include <map>

using namespace Drawing;

namespace {

using Draw = std::function<void(QPainter&)>;

// Every icon is drawn on a grid of 32 units, whatever its size in pixels.
constexpr double kGrid = 32;

void RoundArrow(QPainter& p, bool left, const Tone& tone)
{
    Shape(p, Circle(QPointF(16, 16), 14.5), tone);
    QPainterPath arrow;
    const double direction = left ? -1 : 1;
    arrow.moveTo(16 - 7 * direction, 16);
    arrow.lineTo(16 + 8 * direction, 16);
    arrow.moveTo(16 + 1 * direction, 9);
    arrow.lineTo(16 + 8 * direction, 16);
    arrow.lineTo(16 + 1 * direction, 23);
    Stroke(p, arrow, kWhite, 3.6);
}

void Refresh(QPainter& p, const Tone& tone)
{
    QPainterPath arc;
    arc.arcMoveTo(QRectF(5, 5, 22, 22), 60);
    arc.arcTo(QRectF(5, 5, 22, 22), 60, 280);
    Stroke(p, arc, tone.dark, 6);
    Stroke(p, arc, tone.base, 3.8);
    Shape(p, Polygon({QPointF(17, 1.5), QPointF(28, 5), QPointF(19.5, 13)}), tone);
}

void PlusBadge(QPainter& p, const QPointF& c, double radius, const Tone& tone)
{
    Shape(p, Circle(c, radius), tone);
    QPainterPath plus;
    plus.moveTo(c.x() - radius * 0.55, c.y());
    plus.lineTo(c.x() + radius * 0.55, c.y());
    plus.moveTo(c.x(), c.y() - radius * 0.55);
    plus.lineTo(c.x(), c.y() + radius * 0.55);
    Stroke(p, plus, kWhite, radius * 0.4);
}

void Person(QPainter& p, const QRectF& r, const Tone& tone)
{
    const double w = r.width();
    Shape(p, Circle(QPointF(r.center().x(), r.top() + w * 0.25), w * 0.22), tone);
    QPainterPath body;
    body.moveTo(r.left(), r.bottom());
    body.cubicTo(r.left(), r.top() + w * 0.5, r.right(), r.top() + w * 0.5, r.right(), r.bottom());
    body.closeSubpath();
    Shape(p, body, tone);
}

void Envelope(QPainter& p, const QRectF& r)
{
    Shape(p, RoundedRect(r, 2), kWhite, QColor(0xE6, 0xE9, 0xEE), kGrey.dark);
    QPainterPath flap;
    flap.moveTo(r.left() + 1, r.top() + 1);
    flap.lineTo(r.center().x(), r.top() + r.height() * 0.58);
    flap.lineTo(r.right() - 1, r.top() + 1);
    Stroke(p, flap, kBlue.base, 2);
}

void Tiles(QPainter& p)
{
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(2.5 + 14.5 * (i % 2), 2.5 + 14.5 * (i / 2), 12.5, 12.5);
        Shape(p, RoundedRect(cell, 2.5), i == 1 ? kOrange : kBlue);
    }
}

void BrowsersIcon(QPainter& p)
{
    BrowserWindow(p, QRectF(1.5, 3.5, 29, 25), kBlue);
    Globe(p, QRectF(10.5, 12.5, 13, 13), kBlue);
}

const std::map<std::string_view, Draw>& IconDrawings()
{
    static const std::map<std::string_view, Draw> drawings = {
        {"res_Ico_AddSite",
         [](QPainter& p) {
             Page(p, QRectF(3.5, 1.5, 20, 26));
             PlusBadge(p, QPointF(23, 23), 8, kGreen);
         }},
        {"res_Ico_Arrange", Tiles},
        {"res_Ico_Browsers", BrowsersIcon},
        {"res_Ico_Delete",
         [](QPainter& p) {
             Stroke(p, Cross(QRectF(7, 7, 18, 18)), kRed.dark, 7.5);
             Stroke(p, Cross(QRectF(7, 7, 18, 18)), kRed.base, 5);
         }},
        {"res_Ico_Reload",
         [](QPainter& p) {
             Refresh(p, kGreen);
         }},
        {"res_Ico_Run",
         [](QPainter& p) {
             Shape(p, Circle(QPointF(16, 16), 14.5), kGreen);
             Shape(p, Polygon({QPointF(12, 8.5), QPointF(23.5, 16), QPointF(12, 23.5)}), kWhite, kWhite,
                   QColor(Qt::transparent));
         }},
        {"res_Ico_Star",
         [](QPainter& p) {
             Shape(p, Star(QPointF(16, 17), 15, 6.5), kGold);
         }},
        {"res_Ico_Stop",
         [](QPainter& p) {
             Shape(p, Circle(QPointF(16, 16), 14.5), kRed);
             Stroke(p, Cross(QRectF(10.5, 10.5, 11, 11)), kWhite, 3.6);
         }},
        {"res_Ico_WebBack",
         [](QPainter& p) {
             RoundArrow(p, true, kBlue);
         }},
        {"res_Ico_WebForward",
         [](QPainter& p) {
             RoundArrow(p, false, kBlue);
         }},
        {"res_Ico_WebMisc",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(1.5, 8.5, 29, 15), 5), kWhite, QColor(0xDD, 0xE1, 0xE7), kGrey.dark);
             for (int i = 0; i < 3; ++i)
                 Shape(p, Circle(QPointF(9 + 7 * i, 16), 2.6), kBlue);
         }},
        {"res_Ico_WebRefresh",
         [](QPainter& p) {
             Refresh(p, kBlue);
         }},
        {"res_Ico_WebSearch",
         [](QPainter& p) {
             Magnifier(p, QRectF(1, 1, 30, 30));
         }},
        {"res_ico_lbInstall",
         [](QPainter& p) {
             Shape(p, Circle(QPointF(16, 16), 14.5), kGreen);
             QPainterPath arrow;
             arrow.moveTo(16, 7);
             arrow.lineTo(16, 21);
             arrow.moveTo(10, 15.5);
             arrow.lineTo(16, 21.5);
             arrow.lineTo(22, 15.5);
             arrow.moveTo(9, 25);
             arrow.lineTo(23, 25);
             Stroke(p, arrow, kWhite, 3);
         }},
        {"res_ico_lbInstalled",
         [](QPainter& p) {
             Shape(p, Circle(QPointF(16, 16), 14.5), kGreen);
             Stroke(p, CheckMark(QRectF(8.5, 10, 15, 12)), kWhite, 3.8);
         }},
        {"res_ico_lbSignup",
         [](QPainter& p) {
             Person(p, QRectF(2, 3, 20, 26), kBlue);
             PlusBadge(p, QPointF(24, 22), 7.5, kGreen);
         }},
        {"res_ico_lbTellFriend",
         [](QPainter& p) {
             Envelope(p, QRectF(2.5, 7.5, 27, 19));
         }},
        {"res_ico_lbVisitSite",
         [](QPainter& p) {
             Globe(p, QRectF(1.5, 5.5, 24, 24), kBlue);
             Shape(p, RoundedRect(QRectF(15.5, 1.5, 15, 15), 3), kWhite, QColor(0xE6, 0xE9, 0xEE),
                   kGrey.dark);
             QPainterPath arrow;
             arrow.moveTo(19, 13);
             arrow.lineTo(27, 5);
             arrow.moveTo(21.5, 5);
             arrow.lineTo(27, 5);
             arrow.lineTo(27, 10.5);
             Stroke(p, arrow, kBlue.dark, 2.2);
         }},
        {"res_ico_DefaultFavoriteIcon",
         [](QPainter& p) {
             Globe(p, QRectF(1.5, 1.5, 29, 29), kBlue);
         }},
    };
    return drawings;
}

} // namespace

QImage DrawIcon(std::string_view name, int size)
{
    // Disabled and grey variants are their coloured icons, greyed.
    if (name == "res_Ico_BrowsersSiteGray")
        return Grayed(DrawIcon("res_Ico_Browsers", size));
    constexpr std::string_view kDisabledSuffix = "_Dis";
    if (name.ends_with(kDisabledSuffix)) {
        const QImage coloured = DrawIcon(name.substr(0, name.size() - kDisabledSuffix.size()), size);
        return coloured.isNull() ? QImage() : Grayed(coloured);
    }
    const auto found = IconDrawings().find(name);
    if (found == IconDrawings().end())
        return QImage();
    Canvas canvas(size, size, kGrid, kGrid);
    found->second(canvas.Painter());
    return canvas.Finish();
}
