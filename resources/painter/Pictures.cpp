#include "Painter.h"

#include "Drawing.h"

#include <QLinearGradient>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>

using namespace Drawing;

namespace {

using Draw = std::function<void(QPainter&)>;

QImage Render(int width, int height, double designWidth, double designHeight, const Draw& draw)
{
    Canvas canvas(width, height, designWidth, designHeight);
    draw(canvas.Painter());
    return canvas.Finish();
}

// Browser marks, 16 units: made for this program, no one's logo.
void InternetExplorerMark(QPainter& p)
{
    Globe(p, QRectF(2, 2, 12, 12), kBlue);
    p.save();
    p.translate(8, 8);
    p.rotate(-30);
    QPainterPath orbit;
    orbit.addEllipse(QPointF(0, 0), 7.5, 3.2);
    Stroke(p, orbit, kGold.base, 1.6);
    p.restore();
}

void FireFoxMark(QPainter& p)
{
    Globe(p, QRectF(3.5, 3.5, 9, 9), kBlue);
    QPainterPath tail;
    tail.arcMoveTo(QRectF(1.5, 1.5, 13, 13), 110);
    tail.arcTo(QRectF(1.5, 1.5, 13, 13), 110, -290);
    Stroke(p, tail, kOrange.base, 2.6);
    Stroke(p, tail, QColor(0xFF, 0xD2, 0x6A), 0.9);
}

void OperaMark(QPainter& p)
{
    QPainterPath ring;
    ring.addEllipse(QRectF(2.5, 1.5, 11, 13));
    Stroke(p, ring, kRed.dark, 3.6);
    Stroke(p, ring, kRed.base, 2.4);
}

void SafariMark(QPainter& p)
{
    Shape(p, Circle(QPointF(8, 8), 6.5), kBlue);
    Shape(p, Circle(QPointF(8, 8), 5), kWhite, QColor(0xE4, 0xEE, 0xFA), QColor(Qt::transparent));
    Shape(p, Polygon({QPointF(11.5, 4.5), QPointF(8.9, 8.9), QPointF(7.1, 7.1)}), kRed.base, kRed.base,
          QColor(Qt::transparent));
    Shape(p, Polygon({QPointF(4.5, 11.5), QPointF(7.1, 7.1), QPointF(8.9, 8.9)}), kGrey.base, kGrey.base,
          QColor(Qt::transparent));
}

void SmallButtonFrame(QPainter& p, double size)
{
    Shape(p, RoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 3), kWhite, QColor(0xDD, 0xE1, 0xE7),
          kGrey.dark);
}

void Chevron(QPainter& p, bool up)
{
    SmallButtonFrame(p, 16);
    QPainterPath chevron;
    const double tip = up ? 5.5 : 10.5;
    const double base = up ? 9.5 : 6.5;
    chevron.moveTo(4.5, base);
    chevron.lineTo(8, tip);
    chevron.lineTo(11.5, base);
    Stroke(p, chevron, kInk, 1.6);
}

void RatingStar(QPainter& p, double fullPart)
{
    const QPainterPath star = Star(QPointF(7.5, 8), 7, 3);
    Shape(p, star, QColor(0xF4, 0xF5, 0xF7), QColor(0xD9, 0xDC, 0xE1), kGrey.dark);
    if (fullPart > 0) {
        p.save();
        p.setClipRect(QRectF(0, 0, 15 * fullPart, 15));
        Shape(p, star, kGold);
        p.restore();
    }
}

void RatingCircle(QPainter& p, double fullPart)
{
    const QPainterPath disc = Circle(QPointF(7.5, 7.5), 6);
    Shape(p, disc, QColor(0xF4, 0xF5, 0xF7), QColor(0xD9, 0xDC, 0xE1), kGrey.dark);
    if (fullPart > 0) {
        p.save();
        p.setClipRect(QRectF(0, 0, 15 * fullPart, 15));
        Shape(p, disc, kBlue);
        p.restore();
    }
}

// A framed panel of the detail view that holds no picture yet.
void EmptyPanel(QPainter& p, double width, double height)
{
    Shape(p, RoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4), QColor(0xFA, 0xFB, 0xFC),
          QColor(0xEC, 0xEE, 0xF1), QColor(0xCE, 0xCE, 0xCE));
}

void Landscape(QPainter& p, const QRectF& r, const Tone& sky, const Tone& hills)
{
    p.save();
    p.setClipPath(RoundedRect(r, r.width() / 12));
    Shape(p, RoundedRect(r, 0), sky.light, sky.base, QColor(Qt::transparent));
    Shape(p, Circle(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), r.height() * 0.13),
          kGold);
    Shape(p,
          Polygon({QPointF(r.left(), r.bottom()), QPointF(r.left(), r.top() + r.height() * 0.7),
                   QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.42),
                   QPointF(r.left() + r.width() * 0.65, r.top() + r.height() * 0.75),
                   QPointF(r.left() + r.width() * 0.8, r.top() + r.height() * 0.6),
                   QPointF(r.right(), r.top() + r.height() * 0.78), r.bottomRight()}),
          hills);
    p.restore();
    QPen outline(kGrey.dark);
    outline.setCosmetic(true);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawPath(RoundedRect(r, r.width() / 12));
}

// The site-thumbnail frame of the thumbnail maker around a picture of a page.
void DefaultThumbnail(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, 104, 79), QColor(0x94, 0x96, 0xB1));
    p.fillRect(QRect(1, 1, 102, 77), kWhite);
    p.fillRect(QRect(1, 79, 103, 1), QColor(0xBB, 0xBB, 0xBB));
    p.fillRect(QRect(104, 1, 1, 79), QColor(0xBB, 0xBB, 0xBB));
    // The page: a title band, a globe and lines of text.
    QLinearGradient band(0, 2, 0, 14);
    band.setColorAt(0, kBlue.light);
    band.setColorAt(1, kBlue.base);
    p.fillRect(QRect(2, 2, 100, 12), band);
    p.fillRect(QRect(2, 14, 100, 63), QColor(0xF7, 0xF9, 0xFC));
    p.setRenderHint(QPainter::Antialiasing, true);
    Globe(p, QRectF(8.5, 24.5, 34, 34), kBlue);
    QPainterPath text;
    for (int i = 0; i < 5; ++i) {
        text.moveTo(52, 27 + 8 * i);
        text.lineTo(i % 2 == 0 ? 94 : 86, 27 + 8 * i);
    }
    text.moveTo(10, 69);
    text.lineTo(90, 69);
    Stroke(p, text, kGrey.base, 2.5);
    for (int i = 0; i < 3; ++i)
        Shape(p, Circle(QPointF(88 + 5 * i, 8), 1.8), kWhite, QColor(0xDD, 0xE6, 0xF5),
              QColor(Qt::transparent));
}

void Gear(QPainter& p, const QPointF& c, double radius, const Tone& tone)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = i * std::numbers::pi / teeth - std::numbers::pi / (teeth * 2);
        const double a1 = a0 + std::numbers::pi / teeth;
        const double r = i % 2 == 0 ? radius : radius * 0.78;
        const QPointF from(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF to(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        if (i == 0)
            gear.moveTo(from);
        else
            gear.lineTo(from);
        gear.lineTo(to);
    }
    gear.closeSubpath();
    gear.addEllipse(c, radius * 0.32, radius * 0.32);
    gear.setFillRule(Qt::OddEvenFill);
    Shape(p, gear, tone);
}

void DownloadArrow(QPainter& p, const QRectF& r, const Tone& tone)
{
    const double w = r.width();
    const double h = r.height();
    Shape(p,
          Polygon({QPointF(r.left() + w * 0.35, r.top()), QPointF(r.left() + w * 0.65, r.top()),
                   QPointF(r.left() + w * 0.65, r.top() + h * 0.45),
                   QPointF(r.left() + w * 0.88, r.top() + h * 0.45),
                   QPointF(r.left() + w * 0.5, r.top() + h * 0.82),
                   QPointF(r.left() + w * 0.12, r.top() + h * 0.45),
                   QPointF(r.left() + w * 0.35, r.top() + h * 0.45)}),
          tone);
}

void Tray(QPainter& p, const QRectF& r)
{
    Shape(p,
          Polygon({QPointF(r.left(), r.top()), QPointF(r.left() + r.width() * 0.22, r.top()),
                   QPointF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.45),
                   QPointF(r.right() - r.width() * 0.3, r.top() + r.height() * 0.45),
                   QPointF(r.right() - r.width() * 0.22, r.top()), QPointF(r.right(), r.top()),
                   QPointF(r.right(), r.bottom()), QPointF(r.left(), r.bottom())}),
          kGrey);
}

void Badge(QPainter& p, const QPointF& c, double radius, const Tone& tone)
{
    Shape(p, Circle(c, radius), tone);
}

void Exclamation(QPainter& p, const QPointF& c, double size, const QColor& color)
{
    QPainterPath stem;
    stem.moveTo(c.x(), c.y() - size * 0.42);
    stem.lineTo(c.x(), c.y() + size * 0.12);
    Stroke(p, stem, color, size * 0.2);
    Shape(p, Circle(QPointF(c.x(), c.y() + size * 0.4), size * 0.11), color, color, QColor(Qt::transparent));
}

void Question(QPainter& p, const QRectF& r, const QColor& color)
{
    Stroke(p, QuestionMark(r), color, r.width() * 0.24);
    Shape(p, Circle(QPointF(r.center().x(), r.bottom() - r.height() * 0.04), r.width() * 0.14), color, color,
          QColor(Qt::transparent));
}

// The program's mark: a rounded blue tile holding four site tiles, one of them lit.
void Mark(QPainter& p, const QRectF& r)
{
    Shape(p, RoundedRect(r, r.width() / 5), kBlue);
    const double gap = r.width() * 0.1;
    const double tile = (r.width() - gap * 3) / 2;
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(r.left() + gap + (tile + gap) * (i % 2), r.top() + gap + (tile + gap) * (i / 2),
                          tile, tile);
        if (i == 1)
            Shape(p, RoundedRect(cell, tile / 5), kOrange.light, kOrange.base, QColor(Qt::transparent));
        else
            Shape(p, RoundedRect(cell, tile / 5), kWhite, QColor(0xDC, 0xE8, 0xF8), QColor(Qt::transparent));
    }
}

// "Morvalen" in strokes, letters in a cell of 10 x 16 units from their top-left corner.
QPainterPath Wordmark()
{
    QPainterPath path;
    double x = 0;
    const auto advance = [&x](double width) {
        x += width + 3.5;
    };
    // M
    path.moveTo(x, 16);
    path.lineTo(x, 0);
    path.lineTo(x + 6, 10);
    path.lineTo(x + 12, 0);
    path.lineTo(x + 12, 16);
    advance(12);
    // o
    path.addEllipse(QRectF(x, 5, 9, 11));
    advance(9);
    // r
    path.moveTo(x, 16);
    path.lineTo(x, 5);
    path.moveTo(x, 10);
    path.cubicTo(x, 6, x + 3, 5, x + 6, 5.5);
    advance(5);
    // v
    path.moveTo(x, 5);
    path.lineTo(x + 4.5, 16);
    path.lineTo(x + 9, 5);
    advance(9);
    // a
    path.addEllipse(QRectF(x, 5, 8.5, 11));
    path.moveTo(x + 8.5, 5);
    path.lineTo(x + 8.5, 16);
    advance(8.5);
    // l
    path.moveTo(x, 0);
    path.lineTo(x, 16);
    advance(0);
    // e
    path.moveTo(x, 10.5);
    path.lineTo(x + 9, 10.5);
    path.arcTo(QRectF(x, 5, 9, 11), 0, 300);
    advance(9);
    // n
    path.moveTo(x, 16);
    path.lineTo(x, 5);
    path.moveTo(x, 9.5);
    path.cubicTo(x + 1, 5, x + 8.5, 4, x + 8.5, 9.5);
    path.lineTo(x + 8.5, 16);
    return path;
}

void Logo(QPainter& p)
{
    Mark(p, QRectF(4.5, 4.5, 39, 39));
    p.save();
    p.translate(56, 12);
    p.scale(1.45, 1.45);
    Stroke(p, Wordmark(), kBlue.dark, 2.2);
    p.restore();
    QPainterPath underline;
    underline.moveTo(56, 43);
    underline.lineTo(196, 43);
    Stroke(p, underline, kOrange.base, 2);
}

void Monitor(QPainter& p, const QRectF& r)
{
    const double w = r.width();
    const double h = r.height();
    Shape(p, RoundedRect(QRectF(r.left() + w * 0.35, r.top() + h * 0.7, w * 0.3, h * 0.22), 1), kGrey);
    Shape(p, RoundedRect(QRectF(r.left() + w * 0.2, r.bottom() - h * 0.1, w * 0.6, h * 0.1), 1), kGrey);
    Shape(p, RoundedRect(QRectF(r.left(), r.top(), w, h * 0.72), w / 12), kGrey.light, kGrey.base,
          kGrey.dark);
    Shape(p, RoundedRect(QRectF(r.left() + w * 0.09, r.top() + h * 0.1, w * 0.82, h * 0.5), 1), kBlue.light,
          kBlue.base, QColor(Qt::transparent));
}

const std::map<std::string_view, Draw>& PictureDrawings()
{
    static const std::map<std::string_view, Draw> drawings = {
        {"RES_DEFAULTTHUMBNAIL", DefaultThumbnail},
        {"brIE", InternetExplorerMark},
        {"brFireFox", FireFoxMark},
        {"brOpera", OperaMark},
        {"brSafari", SafariMark},
        {"cbGlyphClose",
         [](QPainter& p) {
             Chevron(p, true);
         }},
        {"cbGlyphOpen",
         [](QPainter& p) {
             Chevron(p, false);
         }},
        {"hbGlyphHelp",
         [](QPainter& p) {
             Badge(p, QPointF(8.5, 8), 7, kBlue);
             Question(p, QRectF(5.6, 3.6, 5.8, 7.6), kWhite);
         }},
        {"hbGlyphHide",
         [](QPainter& p) {
             SmallButtonFrame(p, 16);
             Stroke(p, Cross(QRectF(5, 5, 6, 6)), kInk, 1.6);
         }},
        {"idLoadingImage",
         [](QPainter& p) {
             EmptyPanel(p, 137, 100);
             for (int i = 0; i < 8; ++i) {
                 const double angle = i * std::numbers::pi / 4;
                 const QPointF centre(68.5 + 16 * std::cos(angle), 50 + 16 * std::sin(angle));
                 QColor dot = kBlue.base;
                 dot.setAlpha(60 + i * 195 / 7);
                 Shape(p, Circle(centre, 4), dot, dot, QColor(Qt::transparent));
             }
         }},
        {"idNoImage",
         [](QPainter& p) {
             EmptyPanel(p, 138, 101);
             Landscape(p, QRectF(44.5, 28.5, 49, 40), kGrey, kGrey);
             QPainterPath strike;
             strike.moveTo(40, 75);
             strike.lineTo(98, 22);
             Stroke(p, strike, kWhite, 5);
             Stroke(p, strike, kRed.base, 2.5);
         }},
        {"idZoom",
         [](QPainter& p) {
             Magnifier(p, QRectF(1, 1, 14, 14));
             QPainterPath plus;
             plus.moveTo(4.2, 5.6);
             plus.lineTo(7.0, 5.6);
             plus.moveTo(5.6, 4.2);
             plus.lineTo(5.6, 7.0);
             Stroke(p, plus, kBlue.dark, 1.2);
         }},
        {"mnCheck",
         [](QPainter& p) {
             Stroke(p, CheckMark(QRectF(1.5, 2, 7, 6)), kInk, 1.7);
         }},
        {"png_Config",
         [](QPainter& p) {
             Gear(p, QPointF(24, 24), 20, kGrey);
         }},
        {"png_Download",
         [](QPainter& p) {
             Tray(p, QRectF(4.5, 30.5, 39, 13));
             DownloadArrow(p, QRectF(8, 3, 32, 36), kGreen);
         }},
        {"png_FireFox",
         [](QPainter& p) {
             p.scale(3, 3);
             FireFoxMark(p);
         }},
        {"png_HDDError",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(3.5, 14.5, 36, 22), 4), kGrey);
             Shape(p, RoundedRect(QRectF(8, 28, 16, 3), 1), kGrey.dark, kGrey.dark, QColor(Qt::transparent));
             Shape(p, Circle(QPointF(32, 29.5), 2), kGreen.light, kGreen.base, QColor(Qt::transparent));
             Badge(p, QPointF(34, 34), 11, kRed);
             Exclamation(p, QPointF(34, 34), 14, kWhite);
         }},
        {"png_MorvalenProLogo", Logo},
        {"png_Question",
         [](QPainter& p) {
             Badge(p, QPointF(24, 24), 20.5, kBlue);
             Question(p, QRectF(15.5, 10, 17, 24), kWhite);
         }},
        {"png_ShortcutDesktop",
         [](QPainter& p) {
             Monitor(p, QRectF(1.5, 2.5, 21, 20));
         }},
        {"png_ShortcutQuickLaunch",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(1.5, 1.5, 21, 21), 4), kBlue);
             Shape(p,
                   Polygon({QPointF(13.5, 3.5), QPointF(6.5, 13.5), QPointF(11.5, 13.5), QPointF(9.5, 20.5),
                            QPointF(17.5, 9.5), QPointF(12.5, 9.5)}),
                   kGold);
         }},
        {"png_ShortcutStartMenu",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(2.5, 1.5, 19, 21), 3), kWhite, QColor(0xE6, 0xE9, 0xEE), kGrey.dark);
             Shape(p, RoundedRect(QRectF(2.5, 1.5, 19, 6), 3), kBlue);
             for (int i = 0; i < 3; ++i) {
                 Shape(p, RoundedRect(QRectF(5, 10 + 4 * i, 3, 2.5), 0.5), kBlue.base, kBlue.base,
                       QColor(Qt::transparent));
                 QPainterPath line;
                 line.moveTo(10, 11.25 + 4 * i);
                 line.lineTo(18, 11.25 + 4 * i);
                 Stroke(p, line, kGrey.base, 1.5);
             }
         }},
        {"png_ShortcutStartup",
         [](QPainter& p) {
             Badge(p, QPointF(12, 12), 10.5, kGreen);
             QPainterPath power;
             power.arcMoveTo(QRectF(6.5, 6.5, 11, 11), 60);
             power.arcTo(QRectF(6.5, 6.5, 11, 11), 60, 300 - 60);
             power.moveTo(12, 4.5);
             power.lineTo(12, 11);
             Stroke(p, power, kWhite, 2);
         }},
        {"png_SiteDlg_General",
         [](QPainter& p) {
             Page(p, QRectF(5.5, 2.5, 21, 27));
         }},
        {"png_SiteDlg_Images",
         [](QPainter& p) {
             Landscape(p, QRectF(2.5, 5.5, 27, 21), kBlue, kGreen);
         }},
        {"png_SiteDlg_Browser",
         [](QPainter& p) {
             BrowserWindow(p, QRectF(1.5, 3.5, 29, 25), kBlue);
             Globe(p, QRectF(10.5, 12.5, 13, 13), kBlue);
         }},
        {"png_SiteDlg_Monitor",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(1.5, 4.5, 29, 23), 4), QColor(0x3A, 0x44, 0x52),
                   QColor(0x22, 0x29, 0x33), QColor(0x15, 0x1A, 0x21));
             QPainterPath pulse;
             pulse.moveTo(4, 17);
             pulse.lineTo(10, 17);
             pulse.lineTo(13, 10);
             pulse.lineTo(17, 23);
             pulse.lineTo(20, 15);
             pulse.lineTo(22, 17);
             pulse.lineTo(28, 17);
             Stroke(p, pulse, kGreen.light, 2);
         }},
        {"png_SiteDlg_Shortcuts",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(3.5, 3.5, 25, 25), 4), kWhite, QColor(0xE6, 0xE9, 0xEE), kGrey.dark);
             Stroke(p, CurvedArrow(QRectF(7, 7, 18, 18)), kBlue.base, 3);
         }},
        {"png_Star",
         [](QPainter& p) {
             Shape(p, Star(QPointF(24, 25.5), 22, 9.5), kGold);
         }},
        {"png_TrayNotifyDelimiter",
         [](QPainter& p) {
             QPainterPath chevron;
             chevron.moveTo(2.5, 2.5);
             chevron.lineTo(6.5, 6.5);
             chevron.lineTo(2.5, 10.5);
             Stroke(p, chevron, kGrey.dark, 1.4);
         }},
        {"png_Web",
         [](QPainter& p) {
             Globe(p, QRectF(3.5, 3.5, 41, 41), kBlue);
         }},
        {"rtStarFull",
         [](QPainter& p) {
             RatingStar(p, 1.0);
         }},
        {"rtStarSemi",
         [](QPainter& p) {
             RatingStar(p, 0.5);
         }},
        {"rtStarEmpty",
         [](QPainter& p) {
             RatingStar(p, 0.0);
         }},
        {"rtCircleFull",
         [](QPainter& p) {
             RatingCircle(p, 1.0);
         }},
        {"rtCircleSemi",
         [](QPainter& p) {
             RatingCircle(p, 0.5);
         }},
        {"rtCircleEmpty",
         [](QPainter& p) {
             RatingCircle(p, 0.0);
         }},
        {"wiClose",
         [](QPainter& p) {
             Badge(p, QPointF(8.5, 8.5), 7.5, kRed);
             Stroke(p, Cross(QRectF(5.5, 5.5, 6, 6)), kWhite, 1.8);
         }},
        {"wiRun",
         [](QPainter& p) {
             Badge(p, QPointF(8.5, 8.5), 7.5, kGreen);
             Shape(p, Polygon({QPointF(6.5, 4.8), QPointF(12.5, 8.5), QPointF(6.5, 12.2)}), kWhite, kWhite,
                   QColor(Qt::transparent));
         }},
        {"wiShortCut",
         [](QPainter& p) {
             Shape(p, RoundedRect(QRectF(0.5, 18.5, 13, 13), 2), kWhite, QColor(0xEE, 0xF1, 0xF5),
                   kGrey.dark);
             Stroke(p, CurvedArrow(QRectF(2, 20, 10, 10)), kBlue.base, 2);
         }},
    };
    return drawings;
}

} // namespace

QImage DrawPicture(std::string_view name, int width, int height, int scale)
{
    // The grey variants are their coloured pictures, greyed.
    constexpr std::string_view kGreySuffix = "_BW";
    if (name.ends_with(kGreySuffix)) {
        const QImage coloured =
            DrawPicture(name.substr(0, name.size() - kGreySuffix.size()), width, height, scale);
        return coloured.isNull() ? QImage() : Grayed(coloured);
    }
    const auto found = PictureDrawings().find(name);
    if (found == PictureDrawings().end())
        return QImage();
    return Render(width * scale, height * scale, width, height, found->second);
}

QImage DrawProgramIcon(int size)
{
    // The mark of the logo, filling the icon's square but for a margin that keeps its outline
    // whole at every size.
    return Render(size, size, 48, 48, [](QPainter& p) { Mark(p, QRectF(2.5, 2.5, 43, 43)); });
}
