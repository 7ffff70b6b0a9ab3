#include "SiteArrangement.h"

#include "TMorvalenBaseClass.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace SiteArrangement {

namespace {

constexpr int kMargin = 10;
constexpr int kFirstRowTop = 20;

QString Comparable(const QString& address)
{
    QString text = address.trimmed().toLower();
    if (text.endsWith(u'/'))
        text.chop(1);
    if (text.startsWith(u"http://"_s))
        text.remove(0, 7);
    return text;
}

bool TitleBefore(const TMorvalenBaseClass& a, const TMorvalenBaseClass& b)
{
    return QString::localeAwareCompare(a.Title(), b.Title()) < 0;
}

template <typename SizeAt>
TTilePlacement PlaceWith(int count, SizeAt sizeAt, int clientWidth)
{
    TTilePlacement placement;
    placement.Positions.reserve(size_t(count));
    int x = kMargin;
    int y = kFirstRowTop;
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < count; ++i) {
        const QSize size = sizeAt(i);
        placement.Positions.emplace_back(x, y);
        right = std::max(right, x + size.width());
        bottom = std::max(bottom, y + size.height());
        x += size.width() + kMargin;
        if (x >= clientWidth || x + size.width() + kMargin >= clientWidth) {
            x = kMargin;
            y += size.height() + kMargin;
        }
    }
    placement.Extent = QSize(right + kMargin, bottom + kMargin);
    return placement;
}

} // namespace

bool SameSiteURL(const QString& a, const QString& b)
{
    if (a.trimmed().isEmpty() || b.trimmed().isEmpty())
        return false;
    return Comparable(a) == Comparable(b);
}

void Sort(TSiteList& items, uint8_t mode)
{
    // Stable, so that equal entries keep the order the user last saw.
    switch (mode) {
    case amByName:
        std::stable_sort(items.begin(), items.end(),
                         [](const auto& a, const auto& b) { return TitleBefore(*a, *b); });
        break;
    case amByPopularity:
        std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
            if (a->RunCount() != b->RunCount())
                return a->RunCount() > b->RunCount();
            return TitleBefore(*a, *b);
        });
        break;
    default:
        break;
    }
}

void Move(TSiteList& items, int target, int dragged)
{
    const int count = int(items.size());
    if (target < 0 || target >= count || dragged < 0 || dragged >= count || target == dragged)
        return;
    auto entry = std::move(items[size_t(dragged)]);
    items.erase(items.begin() + dragged);
    items.insert(items.begin() + target, std::move(entry));
}

TTilePlacement Place(const std::vector<QSize>& sizes, int clientWidth)
{
    return PlaceWith(
        int(sizes.size()), [&](int i) { return sizes[size_t(i)]; }, clientWidth);
}

TTilePlacement Place(int count, QSize size, int clientWidth)
{
    return PlaceWith(
        count, [size](int) { return size; }, clientWidth);
}

} // namespace SiteArrangement
