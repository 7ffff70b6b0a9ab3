#include "TNotificationQuiet.h"

#include "sites/TSiteSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClockMs = 30'000;

const QString General()
{
    return QString::fromUtf16(TSiteSettings::kGeneralGroup);
}

bool IsTrue(const QString& text)
{
    return text.compare(u"true"_s, Qt::CaseInsensitive) == 0 || text == u"1"_s;
}

} // namespace

TNotificationQuiet::TNotificationQuiet(TSiteSettings* settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{
    m_wasQuiet = Quiet();
    m_clock.setInterval(kClockMs);
    connect(&m_clock, &QTimer::timeout, this, [this] { Check(); });
    m_clock.start();
}

bool TNotificationQuiet::Muted(const QString& elementId) const
{
    return m_settings && !elementId.isEmpty() &&
           IsTrue(m_settings->Value(elementId, QString::fromUtf16(kMuted)));
}

bool TNotificationQuiet::SetMuted(const QString& elementId, bool muted)
{
    if (!m_settings || elementId.isEmpty())
        return false;
    return m_settings->SetValue(elementId, QString::fromUtf16(kMuted), muted ? u"true"_s : QString());
}

bool TNotificationQuiet::DoNotDisturb() const
{
    return m_settings && IsTrue(m_settings->Value(General(), QString::fromUtf16(kDoNotDisturb)));
}

bool TNotificationQuiet::SetDoNotDisturb(bool on)
{
    if (!m_settings)
        return false;
    const bool saved =
        m_settings->SetValue(General(), QString::fromUtf16(kDoNotDisturb), on ? u"true"_s : QString());
    Check();
    return saved;
}

std::optional<std::pair<QTime, QTime>> TNotificationQuiet::QuietTime() const
{
    if (!m_settings)
        return std::nullopt;
    const QTime from =
        QTime::fromString(m_settings->Value(General(), QString::fromUtf16(kQuietFrom)).trimmed(), u"H:mm"_s);
    const QTime until =
        QTime::fromString(m_settings->Value(General(), QString::fromUtf16(kQuietUntil)).trimmed(), u"H:mm"_s);
    if (!from.isValid() || !until.isValid() || from == until)
        return std::nullopt;
    return std::pair{from, until};
}

bool TNotificationQuiet::Quiet(const QDateTime& now) const
{
    if (DoNotDisturb())
        return true;
    const auto quietTime = QuietTime();
    if (!quietTime)
        return false;
    const QTime time = now.time();
    const auto [from, until] = *quietTime;
    // 22:00..07:00 runs over midnight.
    return from < until ? (time >= from && time < until) : (time >= from || time < until);
}

void TNotificationQuiet::Hold(uint64_t entryId, const QString& elementId, const QString& siteTitle,
                              const QString& iconFile)
{
    for (THeld& held : m_held) {
        if (held.ElementId == elementId && held.SiteTitle == siteTitle) {
            // The latest window of the site is the one a click should show.
            held.EntryId = entryId;
            ++held.Count;
            return;
        }
    }
    m_held.push_back({entryId, elementId, siteTitle, iconFile, 1});
}

QString TNotificationQuiet::SummaryLine(int count)
{
    return count == 1 ? u"1 notification while you were not disturbed"_s
                      : QString::number(count) + u" notifications while you were not disturbed"_s;
}

void TNotificationQuiet::Check(const QDateTime& now)
{
    const bool quiet = Quiet(now);
    if (quiet == m_wasQuiet)
        return;
    m_wasQuiet = quiet;
    emit QuietChanged(quiet);
    if (quiet || m_held.empty())
        return;
    const std::vector<THeld> held = std::move(m_held);
    m_held.clear();
    if (OnQuietEnded)
        OnQuietEnded(held);
}
