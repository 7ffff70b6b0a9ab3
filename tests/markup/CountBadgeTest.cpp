#include "markup/CountBadge.h"

#include <QFont>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

QIcon Plain()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(QColor(0x30, 0x90, 0x30));
    return QIcon(pixmap);
}

int Count(const QImage& image, const QRect& area, const std::function<bool(const QColor&)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

bool Red(const QColor& c)
{
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
}

bool Grey(const QColor& c)
{
    return c.red() == c.green() && c.green() == c.blue() && c.red() > 0x40 && c.red() < 0x80;
}

} // namespace

TEST(CountBadge, TheTrayIconCarriesTheCountBottomRightAndTheQuietSignTopLeft)
{
    const QIcon plain = Plain();
    // Nothing to show: the icon itself.
    EXPECT_EQ(CountBadge::OnIcon(plain, 0, false).cacheKey(), plain.cacheKey());

    const QImage counted = CountBadge::OnIcon(plain, 3, false).pixmap(64, 64).toImage();
    EXPECT_GT(Count(counted, QRect(32, 32, 32, 32), Red), 200);
    EXPECT_EQ(Count(counted, QRect(0, 0, 32, 32), Red), 0);
    EXPECT_EQ(Count(counted, QRect(0, 0, 32, 32), Grey), 0);

    const QImage quiet = CountBadge::OnIcon(plain, 0, true).pixmap(64, 64).toImage();
    EXPECT_GT(Count(quiet, QRect(0, 0, 32, 32), Grey), 200);
    EXPECT_EQ(Count(quiet, QRect(0, 0, 64, 64), Red), 0);

    // A four-character count still fits inside the icon.
    const QImage many = CountBadge::OnIcon(plain, 12345, true).pixmap(64, 64).toImage();
    EXPECT_GT(Count(many, QRect(0, 40, 8, 24), Red), 0);
    EXPECT_GT(Count(many, QRect(0, 0, 32, 32), Grey), 100);

    if (const QByteArray shots = qgetenv("MORVALEN_TEST_SHOTS"); !shots.isEmpty()) {
        counted.save(QString::fromLocal8Bit(shots) + u"/tray-count.png"_s);
        CountBadge::OnIcon(plain, 3, true)
            .pixmap(64, 64)
            .toImage()
            .save(QString::fromLocal8Bit(shots) + u"/tray-quiet.png"_s);
    }
}

TEST(CountBadge, TheTextStopsGrowingAbove999)
{
    EXPECT_EQ(CountBadge::Text(7), u"7"_s);
    EXPECT_EQ(CountBadge::Text(999), u"999"_s);
    EXPECT_EQ(CountBadge::Text(1000), u"999+"_s);
    EXPECT_EQ(CountBadge::Text(-3), u"0"_s);
    QFont font;
    font.setPixelSize(12);
    const QRect one = CountBadge::Bounds(CountBadge::Text(1), font, 100, 20);
    // Never narrower than high, and ending at the right edge asked for.
    EXPECT_GE(one.width(), one.height());
    EXPECT_EQ(one.right(), 100);
}
