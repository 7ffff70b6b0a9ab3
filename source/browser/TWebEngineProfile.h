#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The one persistent Chromium profile every window shares: cookies, local storage and the
// disk cache under WebEngine/ in the data folder survive a restart, so users stay signed in.
// It also takes the profile's downloads and keeps the user's answers to permission
// requests for the rest of the run, per site.
class TWebEngineProfile final : public QObject
{
    Q_OBJECT

public:
    // The profile of the run, made with the first frame under dataFolder + "WebEngine/".
    static TWebEngineProfile& Instance(const QString& dataFolder);

    QWebEngineProfile* Profile() const { return m_profile; }
    QString StoragePath() const;

    // Remembered answers to a site's permission request.
    enum TAnswer
    {
        paUnknown,
        paAllowed,
        paDenied
    };
    TAnswer Answer(const QUrl& origin, QWebEnginePage::Feature feature) const;
    void SetAnswer(const QUrl& origin, QWebEnginePage::Feature feature, bool allowed);

private:
    explicit TWebEngineProfile(const QString& dataFolder);
    void HandleDownload(QWebEngineDownloadRequest* download);

    QWebEngineProfile* m_profile = nullptr;
    QHash<QString, bool> m_answers;
};
