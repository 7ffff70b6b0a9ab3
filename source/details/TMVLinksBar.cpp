#include "TMVLinksBar.h"

#include "DetailText.h"

#include <QMouseEvent>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

TMVLinksBar::TMVLinksBar(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

TMVLinksBar::~TMVLinksBar() = default;

void TMVLinksBar::SetImageList(const std::vector<QImage>* images)
{
    m_imageList = images;
    update();
}

void TMVLinksBar::SetImageIndexInstall(int index)
{
    m_imageIndexes[lnkInstall] = index;
    update();
}

void TMVLinksBar::SetImageIndexVisitSite(int index)
{
    m_imageIndexes[lnkVisitSite] = index;
    update();
}

void TMVLinksBar::SetImageIndexSignup(int index)
{
    m_imageIndexes[lnkSignup] = index;
    update();
}

void TMVLinksBar::SetImageIndexTellFriend(int index)
{
    m_imageIndexes[lnkTellFriend] = index;
    update();
}

void TMVLinksBar::SetImageIndexInstalled(int index)
{
    m_imageIndexInstalled = index;
    update();
}

void TMVLinksBar::SetIsInstalled(bool installed)
{
    if (installed == m_isInstalled)
        return;
    m_isInstalled = installed;
    repaint();
}

void TMVLinksBar::SetIndentElement(int indent)
{
    m_indentElement = indent;
    update();
}

void TMVLinksBar::SetIndentImage(int indent)
{
    m_indentImage = indent;
    update();
}

QString TMVLinksBar::LinkCaption(TLink link) const
{
    switch (link) {
    case lnkInstall:
        return m_isInstalled ? u"Installed"_s : u"Install"_s;
    case lnkVisitSite:
        return u"Visit site"_s;
    case lnkSignup:
        return u"Signup"_s;
    case lnkTellFriend:
        return u"Tell a Friend"_s;
    }
    return {};
}

QFont TMVLinksBar::LinkFont(TLink link) const
{
    QFont linkFont = font();
    linkFont.setUnderline(true);
    if (link == lnkInstall)
        linkFont.setBold(true);
    return linkFont;
}

int TMVLinksBar::LinkImageIndex(TLink link) const
{
    if (link == lnkInstall && m_isInstalled)
        return m_imageIndexInstalled;
    return m_imageIndexes[size_t(link)];
}

QSize TMVLinksBar::IconSize() const
{
    if (!m_imageList || m_imageList->empty())
        return {0, 0};
    return m_imageList->front().size();
}

std::array<DetailGeometry::TLinkPlacement, DetailGeometry::kLinkCount> TMVLinksBar::Layout() const
{
    std::array<DetailGeometry::TLinkMeasure, DetailGeometry::kLinkCount> measures;
    for (int i = 0; i < DetailGeometry::kLinkCount; ++i) {
        const QSize text = DetailText::LineSize(LinkFont(TLink(i)), LinkCaption(TLink(i)));
        measures[size_t(i)] = {text.width(), text.height()};
    }
    return DetailGeometry::LinksBarLayout(size(), measures, IconSize(), m_indentElement, m_indentImage);
}

QSize TMVLinksBar::sizeHint() const
{
    // Room for every link and the gaps.
    int width = 0;
    int height = IconSize().height();
    for (int i = 0; i < DetailGeometry::kLinkCount; ++i) {
        const QSize text = DetailText::LineSize(LinkFont(TLink(i)), LinkCaption(TLink(i)));
        width += m_indentElement + text.width() + m_indentImage + IconSize().width();
        height = std::max(height, text.height());
    }
    return {width + 1, height + 4};
}

void TMVLinksBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(ColorToQColor(kLinkColor));
    const auto placements = Layout();
    for (int i = 0; i < DetailGeometry::kLinkCount; ++i) {
        const DetailGeometry::TLinkPlacement& placement = placements[size_t(i)];
        m_linkRects[size_t(i)] = placement.Bounds;
        if (!placement.Shown)
            continue;
        const int image = LinkImageIndex(TLink(i));
        if (m_imageList && image >= 0 && size_t(image) < m_imageList->size())
            painter.drawImage(placement.IconPos, (*m_imageList)[size_t(image)]);
        painter.setFont(LinkFont(TLink(i)));
        DetailText::DrawLine(painter, placement.TextRect, LinkCaption(TLink(i)),
                             DetailText::ShowMnemonic | DetailText::VCenter);
    }
}

int TMVLinksBar::LinkAt(QPoint point) const
{
    for (int i = 0; i < DetailGeometry::kLinkCount; ++i) {
        if (!m_linkRects[size_t(i)].isEmpty() && m_linkRects[size_t(i)].contains(point))
            return i;
    }
    return -1;
}

void TMVLinksBar::mousePressEvent(QMouseEvent* event)
{
    m_pressedLink = LinkAt(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TMVLinksBar::mouseMoveEvent(QMouseEvent* event)
{
    if (LinkAt(event->position().toPoint()) >= 0)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void TMVLinksBar::mouseReleaseEvent(QMouseEvent* event)
{
    const int pressed = m_pressedLink;
    m_pressedLink = -1;
    if (pressed < 0 || LinkAt(event->position().toPoint()) != pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const std::array<std::function<void(TMVLinksBar&)>*, 4> events = {&OnInstallClick, &OnVisitSiteClick,
                                                                      &OnSignupClick, &OnTellFriendClick};
    if (*events[size_t(pressed)])
        (*events[size_t(pressed)])(*this);
}
