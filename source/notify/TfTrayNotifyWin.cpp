#include "TfTrayNotifyWin.h"

#include "common/TimerThreads.h"
#include "markup/HtmlLabel.h"
#include "panels/TSpecialFrame.h"
#include "pictures/GraphicTools.h"
#include "pictures/TExIcon.h"
#include "platform/DesktopPanels.h"
#include "stores/TFavoriteIconManager.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFontPixels = 11;
constexpr int kLineHeight = 16;
constexpr int kLineSpacing = 8;
constexpr int kHeadingTop = 34;
constexpr int kFrameMargin = 8;
constexpr TColor kOutlineColor = 0xE49794;
constexpr TColor kBandTop = 0xF6C6BD;
constexpr TColor kBodyBottom = 0xF3B3A6;
constexpr int kBandHeight = 17;
const QString kDelimiter = u"delimiter"_s;

// Titles come from web pages: a "<" there is text, never a tag of the line's own markup.
QString PlainText(QString text)
{
    return text.replace(u'<', u"<\u200B"_s);
}

QImage SiteIconImage(const QString& iconFile)
{
    TExIcon icon;
    GraphicTools::LoadBestSmallIcon(icon, iconFile,
                                    QString::fromLatin1(TFavoriteIconManager::kDefaultIconResource));
    if (icon.Width() != 16)
        return {};
    try {
        return icon.Handle();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

TfTrayNotifyWin::TfTrayNotifyWin(const TTrayNotifyTimings& timings, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_timings(timings)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11NetWmWindowTypeNotification);
    setWindowTitle(u"Site changed..."_s);
    QFont font(u"Tahoma"_s);
    font.setPixelSize(kFontPixels);
    setFont(font);

    m_alert = new QLabel(u"Morvalen Alert"_s, this);
    m_alert->setObjectName(u"Label2"_s);
    QFont bold = font;
    bold.setBold(true);
    m_alert->setFont(bold);
    m_alert->adjustSize();
    m_alert->move(8, 11);

    auto* close = new QLabel(this);
    close->setObjectName(u"imgClose"_s);
    close->setPixmap(GraphicTools::LoadIconResource(u"res_Ico_Stop"_s).pixmap(16, 16));
    close->setCursor(Qt::PointingHandCursor);
    close->setGeometry(236, 10, 16, 16);

    m_heading = new QLabel(u"The following site changed:"_s, this);
    m_heading->setObjectName(u"Label1"_s);
    m_heading->setGeometry(8, kHeadingTop, kWidth - 16, m_heading->fontMetrics().height());

    m_siteFrame = new TSpecialFrame(this);
    m_siteFrame->setObjectName(u"sfSiteFrame"_s);
    m_siteFrame->SetFrameColor(kOutlineColor);
    m_siteFrame->SetFillColor(clWhite);

    m_delimiter = GraphicTools::LoadPngResource(u"png_TrayNotifyDelimiter"_s);
    resize(kWidth, 100);
}

TfTrayNotifyWin::~TfTrayNotifyWin()
{
    if (m_timer) {
        m_timer->Stop();
        m_timer->Resume();
        delete m_timer;
    }
}

QRect TfTrayNotifyWin::CloseButtonRect() const
{
    return {236, 10, 16, 16};
}

void TfTrayNotifyWin::AddSite(const QString& siteTitle, const QString& pageTitle, int index,
                              const QString& iconFile)
{
    auto site = std::make_unique<TNotifySite>();
    site->Index = index;
    site->IconFile = iconFile;
    site->SiteTitle = siteTitle;
    site->PageTitle = pageTitle;
    if (!iconFile.isEmpty())
        site->Icon = SiteIconImage(iconFile);
    m_sites.push_back(std::move(site));
    if (isVisible()) {
        BuildLines();
        PlaceWindow();
        if (m_state != nsFadingIn)
            ShowFully();
    }
}

void TfTrayNotifyWin::UpdateSite(int index, const QString& pageTitle)
{
    const auto site = std::find_if(m_sites.begin(), m_sites.end(),
                                   [index](const auto& line) { return line->Index == index; });
    if (site == m_sites.end())
        return;
    (*site)->PageTitle = pageTitle;
    if (isVisible()) {
        BuildLines();
        if (m_state != nsFadingIn)
            ShowFully();
    }
}

void TfTrayNotifyWin::BuildLines()
{
    for (auto& site : m_sites) {
        delete site->LineLabel;
        site->LineLabel = nullptr;
    }
    QFont bold = font();
    bold.setBold(true);
    const int frameTop = kHeadingTop + m_heading->height() + 2 + 2;
    const int lineWidth = kWidth - 2 * kFrameMargin - 8;
    int y = 0;
    for (size_t i = 0; i < m_sites.size(); ++i) {
        TNotifySite& site = *m_sites[i];
        auto* label = new THtmlLabel(m_siteFrame);
        label->setFont(bold);
        label->SetCaption(u" <img %1> <a %1>%2</a> <img delimiter>%3"_s.arg(i).arg(
            PlainText(site.SiteTitle), PlainText(site.PageTitle)));
        label->OnGetImage = [this](THtmlLabel&, const QString& name, QImage& picture) {
            GetImage(name, picture);
        };
        label->OnLinkClick = [this](THtmlLabel&, const QString& target) {
            LinkClicked(target);
        };
        label->setGeometry(4, y + kLineSpacing, lineWidth, kLineHeight);
        label->show();
        site.LineLabel = label;
        y += kLineHeight + kLineSpacing;
    }
    const int frameHeight = y + 8;
    m_siteFrame->setGeometry(kFrameMargin, frameTop, kWidth - 2 * kFrameMargin, frameHeight);
    resize(kWidth, frameTop + frameHeight + 8);
}

void TfTrayNotifyWin::GetImage(const QString& name, QImage& picture) const
{
    if (name == kDelimiter) {
        picture = m_delimiter;
        return;
    }
    bool ok = false;
    const int index = name.toInt(&ok);
    if (ok && index >= 0 && size_t(index) < m_sites.size())
        picture = m_sites[size_t(index)]->Icon;
}

void TfTrayNotifyWin::LinkClicked(const QString& target)
{
    if (!OnItemClick)
        return;
    bool ok = false;
    int line = target.toInt(&ok);
    if (!ok)
        line = -1;
    // The line's number in the window; the manager knows the line by the index it gave.
    const int index = line >= 0 && size_t(line) < m_sites.size() ? m_sites[size_t(line)]->Index : -1;
    OnItemClick(index);
    CloseNotification();
}

void TfTrayNotifyWin::PlaceWindow()
{
    QRect screen;
    TrayNotifyPlacement::TPanelInfo panel;
    if (m_timings.Screen) {
        m_timings.Screen(screen, panel);
    } else if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        screen = primary->geometry();
        panel = TrayNotifyPlacement::PanelFromScreen(screen, primary->availableGeometry(),
                                                     DesktopPanels::DockWindows());
    }
    move(TrayNotifyPlacement::PlaceWindow(screen, panel, size()));
}

void TfTrayNotifyWin::ShowNotification()
{
    if (m_useAlphaBlend)
        SetOpacity(0);
    BuildLines();
    PlaceWindow();
    show();
    StayOnTop();
    if (m_useAlphaBlend)
        FadeIn();
    else
        ShowFully();
}

void TfTrayNotifyWin::StayOnTop()
{
    // raise() moves the window, which asks for the top again: once is enough.
    if (m_stayingOnTop)
        return;
    m_stayingOnTop = true;
    raise();
    m_stayingOnTop = false;
}

void TfTrayNotifyWin::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (isVisible())
        StayOnTop();
}

void TfTrayNotifyWin::FadeIn()
{
    m_state = nsFadingIn;
    RestartTimer(m_timings.FadeStepMs);
}

void TfTrayNotifyWin::ShowFully()
{
    SuspendTimer();
    m_state = nsShown;
    SetOpacity(255);
    RestartTimer(m_timings.DisplayMs);
}

void TfTrayNotifyWin::FadeOut()
{
    m_state = nsFadingOut;
    RestartTimer(m_timings.FadeStepMs);
}

void TfTrayNotifyWin::TimerTick()
{
    switch (m_state) {
    case nsFadingIn:
        if (m_opacity < 246)
            SetOpacity(m_opacity + 10);
        else
            ShowFully();
        break;
    case nsShown:
        if (m_useAlphaBlend) {
            FadeOut();
        } else {
            SuspendTimer();
            CloseNotification();
        }
        break;
    case nsFadingOut:
        if (m_opacity > 9) {
            SetOpacity(m_opacity - 10);
        } else {
            SuspendTimer();
            SetOpacity(0);
            CloseNotification();
        }
        break;
    case nsNew:
        break;
    }
}

void TfTrayNotifyWin::SetOpacity(int opacity)
{
    m_opacity = opacity;
    setWindowOpacity(opacity / 255.0);
}

void TfTrayNotifyWin::RestartTimer(uint32_t periodMs)
{
    if (!m_timer) {
        m_timer = new TIntervalThread;
        m_timer->SetCallback([this](TSyncThread*) { TimerTick(); });
    }
    m_timer->SetInterval(periodMs);
    m_timer->Restart();
}

void TfTrayNotifyWin::SuspendTimer()
{
    if (m_timer)
        m_timer->Suspend();
}

void TfTrayNotifyWin::CloseNotification()
{
    // A click during the last fade step must not close twice.
    if (m_closing)
        return;
    m_closing = true;
    SuspendTimer();
    if (m_timer)
        m_timer->ClearCallback();
    if (OnClose)
        OnClose(*this);
    close();
}

void TfTrayNotifyWin::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && CloseButtonRect().contains(event->position().toPoint())) {
        CloseNotification();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TfTrayNotifyWin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client = rect();
    GraphicTools::GradientFillRect(painter, QRect(0, 0, client.width(), kBandHeight), kBandTop,
                                   GraphicTools::gdVertical, clWhite);
    GraphicTools::GradientFillRect(painter,
                                   QRect(0, kBandHeight, client.width(), client.height() - kBandHeight),
                                   clWhite, GraphicTools::gdVertical, kBodyBottom);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(client.adjusted(0, 0, -1, -1));
}
