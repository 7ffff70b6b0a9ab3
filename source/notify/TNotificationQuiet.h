#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class TSiteSettings;

// When the sites' notifications stay quiet, kept in SiteSettings.ini: a site's own "Muted"
// (its notifications never show; its unread count still does), and the program's "Do not
// disturb" ("[General] DoNotDisturb", and the daily quiet time "QuietFrom".."QuietUntil" as
// hh:mm). What arrives while it is quiet is held, one entry per site, and handed over as one
// summary line per site once the quiet ends.
class TNotificationQuiet final : public QObject
{
    Q_OBJECT

public:
    static constexpr char16_t kMuted[] = u"Muted";
    static constexpr char16_t kDoNotDisturb[] = u"DoNotDisturb";
    static constexpr char16_t kQuietFrom[] = u"QuietFrom";
    static constexpr char16_t kQuietUntil[] = u"QuietUntil";

    // What was held for one site.
    struct THeld
    {
        uint64_t EntryId = 0;
        QString ElementId;
        QString SiteTitle;
        QString IconFile;
        int Count = 0;
    };

    // Without settings nothing is ever quiet.
    explicit TNotificationQuiet(TSiteSettings* settings, QObject* parent = nullptr);

    bool Muted(const QString& elementId) const;
    bool SetMuted(const QString& elementId, bool muted);
    // The switch of the tray menu.
    bool DoNotDisturb() const;
    bool SetDoNotDisturb(bool on);
    // The daily quiet time; none when either end is missing or no time.
    std::optional<std::pair<QTime, QTime>> QuietTime() const;
    // Whether notifications are held at now: the switch is on, or now is in the quiet time
    // (which may run over midnight).
    bool Quiet(const QDateTime& now = QDateTime::currentDateTime()) const;

    // A notification of a site arrives while quiet: it is held.
    void Hold(uint64_t entryId, const QString& elementId, const QString& siteTitle, const QString& iconFile);
    const std::vector<THeld>& Held() const { return m_held; }
    // The summary line of what was held for a site.
    static QString SummaryLine(int count);

    // Checks whether the quiet ended (the switch, or the clock): then OnQuietEnded gets what
    // was held, once. Called on every change and every half minute.
    void Check(const QDateTime& now = QDateTime::currentDateTime());
    std::function<void(const std::vector<THeld>& held)> OnQuietEnded;

signals:
    // The switch or the quiet time began or ended (the tray icon shows it).
    void QuietChanged(bool quiet);

private:
    TSiteSettings* m_settings;
    std::vector<THeld> m_held;
    bool m_wasQuiet = false;
    QTimer m_clock;
};
