#include "TWebEngineProfile.h"

#include "TfrmWebEngineBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

using namespace Qt::Literals::StringLiterals;

TWebEngineProfile& TWebEngineProfile::Instance(const QString& dataFolder, const QString& storage)
{
    // Owned by the application, so that they go after every page (a profile must outlive
    // its pages) and before the engine shuts down.
    static QHash<QString, TWebEngineProfile*> profiles;
    TWebEngineProfile*& profile = profiles[storage];
    if (!profile)
        profile = new TWebEngineProfile(dataFolder, storage);
    return *profile;
}

QString TWebEngineProfile::DefaultUserAgent(const QString& engineAgent)
{
    static const QRegularExpression kQtToken(u"\\s*QtWebEngine/\\S*"_s);
    return QString(engineAgent).remove(kQtToken).simplified();
}

TWebEngineProfile::TWebEngineProfile(const QString& dataFolder, const QString& storage)
    : QObject(QCoreApplication::instance())
{
    const QString folder =
        dataFolder + (storage.isEmpty() ? u"WebEngine"_s : u"WebEngine/Sites/"_s + storage);
    QDir().mkpath(folder);
    {
        // A named profile starts in the engine's own folder of the user's data folder (and
        // writes its settings there) before it can be told where to keep its data: let that be
        // inside the program's data folder too.
        const QByteArray userData = qgetenv("XDG_DATA_HOME");
        const bool userDataSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataFolder + u"WebEngine/Engine"_s));
        m_profile = new QWebEngineProfile(
            storage.isEmpty() ? u"Morvalen"_s : QString(u"Morvalen-"_s + storage), this);
        if (userDataSet)
            qputenv("XDG_DATA_HOME", userData);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    m_profile->setHttpUserAgent(DefaultUserAgent(m_profile->httpUserAgent()));
    m_profile->setPersistentStoragePath(folder);
    m_profile->setCachePath(folder + u"/Cache"_s);
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    // Sites that sign in with session cookies keep the user signed in as well.
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    m_profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    m_profile->settings()->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, true);
    m_profile->setDownloadPath(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    connect(m_profile, &QWebEngineProfile::downloadRequested, this, &TWebEngineProfile::HandleDownload);
    // Sites' own notifications go to the program, which shows them on the desktop.
    m_profile->setNotificationPresenter([](std::unique_ptr<QWebEngineNotification> presented) {
        std::shared_ptr<QWebEngineNotification> notification(presented.release());
        notification->show();
        TWebNotificationRec record;
        record.Title = notification->title();
        record.Message = notification->message();
        record.Origin = notification->origin();
        record.Icon = notification->icon();
        record.Click = [notification] {
            notification->click();
        };
        TfrmInternetBrowser::WebNotification(record);
    });
}

namespace {

// Where the engine reads its dictionaries (see WebEngineModule).
QString DictionaryFolder()
{
    const QString configured = qEnvironmentVariable("QTWEBENGINE_DICTIONARIES_PATH");
    return configured.isEmpty() ? QCoreApplication::applicationDirPath() + u"/qtwebengine_dictionaries"_s
                                : configured;
}

// The requested languages that have a dictionary; a bare language ("de") takes its first
// regional one ("de-DE").
QStringList AvailableLanguages(const QStringList& requested)
{
    const QStringList installed = QDir(DictionaryFolder()).entryList({u"*.bdic"_s}, QDir::Files, QDir::Name);
    QStringList languages;
    for (const QString& language : requested) {
        for (const QString& file : installed) {
            const QString name = file.chopped(5);
            if (name.compare(language, Qt::CaseInsensitive) == 0 ||
                name.startsWith(language.section(u'-', 0, 0) + u'-', Qt::CaseInsensitive)) {
                if (!languages.contains(name))
                    languages.append(name);
                break;
            }
        }
    }
    return languages;
}

} // namespace

void TWebEngineProfile::SetSpelling(bool enabled, const QStringList& languages)
{
    QStringList available = AvailableLanguages(languages);
    if (available.isEmpty())
        available = AvailableLanguages({QLocale::system().name().replace(u'_', u'-'), u"en-US"_s});
    // The engine takes the languages before it is switched on.
    if (!available.isEmpty())
        m_profile->setSpellCheckLanguages(available);
    m_profile->setSpellCheckEnabled(enabled && !available.isEmpty());
}

QString TWebEngineProfile::StoragePath() const
{
    return m_profile->persistentStoragePath();
}

void TWebEngineProfile::HandleDownload(QWebEngineDownloadRequest* download)
{
    // A page that is no frame's (a pop-up on its way out of the program) saves nowhere.
    TfrmWebEngineBrowser* frame = TfrmWebEngineBrowser::FrameOfPage(download->page());
    if (!frame) {
        download->cancel();
        return;
    }
    frame->StartDownload(download);
}
