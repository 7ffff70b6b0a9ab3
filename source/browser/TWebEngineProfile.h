#pragma once

#include <QObject>
#include <QString>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The one persistent Chromium profile every window shares: cookies, local storage and the
// disk cache under WebEngine/ in the data folder survive a restart, so users stay signed in.
// It also takes the profile's downloads and the sites' notifications.
class TWebEngineProfile final : public QObject
{
    Q_OBJECT

public:
    // The profile of the run, made with the first frame under dataFolder + "WebEngine/".
    static TWebEngineProfile& Instance(const QString& dataFolder);

    QWebEngineProfile* Profile() const { return m_profile; }
    QString StoragePath() const;

private:
    explicit TWebEngineProfile(const QString& dataFolder);
    void HandleDownload(QWebEngineDownloadRequest* download);

    QWebEngineProfile* m_profile = nullptr;
};
