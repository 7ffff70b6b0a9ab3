#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class TfrmInternetBrowser;
struct TFrameSite;

// One tab of a browser window: the page of the window's tab control that holds and owns
// one engine frame, and what the window knows of the tab.
class TBrowserTab final : public QWidget
{
    Q_OBJECT

public:
    // A tab with a new frame of the engine; throws EMorvalenError as BrowserFrames::Create.
    TBrowserTab(uint8_t engine, bool isHome, bool monitored, const QString& startUrl,
                QWidget* parent = nullptr);
    // The same, with the frame the site asks for.
    TBrowserTab(uint8_t engine, const TFrameSite& site, bool isHome, bool monitored, const QString& startUrl,
                QWidget* parent = nullptr);
    ~TBrowserTab() override;

    TfrmInternetBrowser* Frame() const { return m_frame; }
    // The tab opened on the site's own address.
    bool IsHome() const { return m_isHome; }
    // The tab watched for changes: only the home tab of a watched site.
    bool Monitored() const { return m_monitored; }
    // The address the tab was opened on; empty for tabs the window did not open.
    const QString& StartURL() const { return m_startUrl; }

private:
    TfrmInternetBrowser* m_frame = nullptr;
    bool m_isHome = false;
    bool m_monitored = false;
    QString m_startUrl;
};
