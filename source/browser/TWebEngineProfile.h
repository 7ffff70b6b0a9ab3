#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// A persistent Chromium profile: cookies, local storage and the disk cache survive a restart,
// so users stay signed in. Every site shares the one under WebEngine/ in the data folder,
// except a site with a session of its own, whose profile is WebEngine/Sites/<storage>/: two
// sites of one service can be signed in as two accounts. Each takes its pages' downloads and
// notifications, and announces the engine's user agent without its "QtWebEngine/..." token,
// which sign-in pages refuse as an embedded browser.
class TWebEngineProfile final : public QObject
{
    Q_OBJECT

public:
    // The profile of a storage (empty: the shared one) for the run, made with its first frame
    // under dataFolder + "WebEngine/".
    static TWebEngineProfile& Instance(const QString& dataFolder, const QString& storage = {});

    QWebEngineProfile* Profile() const { return m_profile; }
    QString StoragePath() const;
    // Spelling in the profile's text fields, in the languages that have a dictionary (the
    // user's locale when none of them has); off where no dictionary is installed.
    void SetSpelling(bool enabled, const QStringList& languages);
    // The user agent the engine announces, without the token that names Qt WebEngine.
    static QString DefaultUserAgent(const QString& engineAgent);

private:
    TWebEngineProfile(const QString& dataFolder, const QString& storage);
    void HandleDownload(QWebEngineDownloadRequest* download);

    QWebEngineProfile* m_profile = nullptr;
};
