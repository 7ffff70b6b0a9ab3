#pragma once

#include "TrayNotifyPlacement.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class THtmlLabel;
class TIntervalThread;
class TSpecialFrame;

// One line of the notification window.
struct TNotifySite
{
    // The manager's index of the line.
    int Index = -1;
    QImage Icon;
    QString IconFile;
    QString PageTitle;
    QString SiteTitle;
    // Rebuilt with the lines; owned by the window's site frame.
    THtmlLabel* LineLabel = nullptr;
};

// How a notification window times itself and finds its place; tests shorten the times and
// stand in for the screen.
struct TTrayNotifyTimings
{
    uint32_t FadeStepMs = 50;
    uint32_t DisplayMs = 10'000;
    // The screen's geometry and the panel beside which the window goes; the primary screen
    // when unset.
    std::function<void(QRect& screen, TrayNotifyPlacement::TPanelInfo& panel)> Screen;
};

// The small borderless window beside the panel that lists changed sites, one line each: the
// site's icon, its title as a link, a separator and the page title. It fades in, stays for
// the display time and fades out; each line added restarts the display time at full
// opacity. It never takes the focus and has no taskbar entry. Closing frees it.
class TfTrayNotifyWin final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 260;

    enum TNotifyState
    {
        nsNew = 0,
        nsFadingIn = 1,
        nsShown = 2,
        nsFadingOut = 3
    };

    explicit TfTrayNotifyWin(const TTrayNotifyTimings& timings = {}, QWidget* parent = nullptr);
    ~TfTrayNotifyWin() override;

    // Appends a line; a visible window shows it at once and starts its display time again.
    void AddSite(const QString& siteTitle, const QString& pageTitle, int index, const QString& iconFile);
    // The line of index takes a new page title and, shown, restarts the display time as AddSite.
    void UpdateSite(int index, const QString& pageTitle);
    // The first show: placed, shown without activation, fading in.
    void ShowNotification();
    // Tells OnClose, then closes (and so frees) the window.
    void CloseNotification();

    TNotifyState NotifyState() const { return m_state; }
    // 0 (transparent) to 255 (opaque).
    int Opacity() const { return m_opacity; }
    const std::vector<std::unique_ptr<TNotifySite>>& Sites() const { return m_sites; }
    // The close button's rectangle in window coordinates.
    QRect CloseButtonRect() const;
    // One step of the current phase (fade step or end of display); the timer's callback.
    void TimerTick();

    std::function<void(TfTrayNotifyWin& sender)> OnClose;
    std::function<void(int index)> OnItemClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildLines();
    void PlaceWindow();
    void StayOnTop();
    void FadeIn();
    void ShowFully();
    void FadeOut();
    void SetOpacity(int opacity);
    void RestartTimer(uint32_t periodMs);
    void SuspendTimer();
    void GetImage(const QString& name, QImage& picture) const;
    void LinkClicked(const QString& target);

    TTrayNotifyTimings m_timings;
    std::vector<std::unique_ptr<TNotifySite>> m_sites;
    TNotifyState m_state = nsNew;
    int m_opacity = 255;
    bool m_useAlphaBlend = true;
    bool m_stayingOnTop = false;
    bool m_closing = false;
    TIntervalThread* m_timer = nullptr;
    QImage m_delimiter;
    QImage m_closeImage;
    QLabel* m_alert = nullptr;
    QLabel* m_heading = nullptr;
    TSpecialFrame* m_siteFrame = nullptr;
};
