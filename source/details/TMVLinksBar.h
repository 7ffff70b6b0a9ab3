#pragma once

#include "DetailGeometry.h"
#include "pictures/Colors.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

// The row of links over an application's description: "Install" (bold; "Installed" once the
// application is installed), "Visit site", "Signup" and "Tell a Friend", each with an icon,
// laid out from the right edge. A bar too narrow for all of them drops links from the left,
// "Install" first. The background is left to the parent.
class TMVLinksBar final : public QWidget
{
    Q_OBJECT

public:
    enum TLink
    {
        lnkInstall = 0,
        lnkVisitSite = 1,
        lnkSignup = 2,
        lnkTellFriend = 3
    };
    static constexpr TColor kLinkColor = 0xF06048;

    explicit TMVLinksBar(QWidget* parent = nullptr);
    ~TMVLinksBar() override;

    // Icons by index, all of one size (the first image's); not owned. Without a list the
    // links have no icons and take no room for them.
    const std::vector<QImage>* ImageList() const { return m_imageList; }
    void SetImageList(const std::vector<QImage>* images);

    // -1 (or any index the list lacks) draws no icon, though the icon's room is kept.
    int ImageIndexInstall() const { return m_imageIndexes[0]; }
    void SetImageIndexInstall(int index);
    int ImageIndexVisitSite() const { return m_imageIndexes[1]; }
    void SetImageIndexVisitSite(int index);
    int ImageIndexSignup() const { return m_imageIndexes[2]; }
    void SetImageIndexSignup(int index);
    int ImageIndexTellFriend() const { return m_imageIndexes[3]; }
    void SetImageIndexTellFriend(int index);
    // Replaces the Install icon while IsInstalled.
    int ImageIndexInstalled() const { return m_imageIndexInstalled; }
    void SetImageIndexInstalled(int index);

    // The first link reads "Installed" and keeps raising OnInstallClick. Repaints at once.
    bool IsInstalled() const { return m_isInstalled; }
    void SetIsInstalled(bool installed);

    // The gap at the right of each link, and between a link's icon and its text.
    int IndentElement() const { return m_indentElement; }
    void SetIndentElement(int indent);
    int IndentImage() const { return m_indentImage; }
    void SetIndentImage(int indent);

    // The caption the link shows now ("&" marks a mnemonic).
    QString LinkCaption(TLink link) const;
    // Icon and text of the link as last painted, where it is clicked; empty when the link did
    // not fit.
    QRect LinkRect(TLink link) const { return m_linkRects[size_t(link)]; }

    std::function<void(TMVLinksBar& sender)> OnInstallClick;
    std::function<void(TMVLinksBar& sender)> OnVisitSiteClick;
    std::function<void(TMVLinksBar& sender)> OnSignupClick;
    std::function<void(TMVLinksBar& sender)> OnTellFriendClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QFont LinkFont(TLink link) const;
    int LinkImageIndex(TLink link) const;
    QSize IconSize() const;
    std::array<DetailGeometry::TLinkPlacement, DetailGeometry::kLinkCount> Layout() const;
    int LinkAt(QPoint point) const;

    const std::vector<QImage>* m_imageList = nullptr;
    std::array<int, 4> m_imageIndexes = {-1, -1, -1, -1};
    int m_imageIndexInstalled = -1;
    bool m_isInstalled = false;
    int m_indentElement = 18;
    int m_indentImage = 4;
    std::array<QRect, 4> m_linkRects;
    int m_pressedLink = -1;
};
