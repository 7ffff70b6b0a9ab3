#include "TApplicationsSettings.h"

#include "common/BinaryStream.h"
#include "common/DateTime.h"
#include "platform/Autostart.h"

#include <cmath>

TApplicationsSettings::TApplicationsSettings(Autostart& autostart)
    : Now(&DateTime::Now), m_autostart(autostart), m_lastUpdateCheck(DateTime::Now() - 32)
{}

void TApplicationsSettings::LoadFromStream(BinaryReader& reader)
{
    // Each field is read only when it is there whole; a short file ends the block early.
    const auto readByte = [&reader](bool& field) {
        if (reader.Remaining() >= 1)
            field = reader.ReadBoolean();
    };
    const auto readInteger = [&reader](int32_t& field) {
        if (reader.Remaining() >= 4)
            field = reader.ReadInteger();
        else
            reader.SetPosition(reader.Size());
    };

    readByte(m_runWithWindows);
    readByte(m_minimizeOnStartup);
    readByte(m_hideOnClose);
    readByte(m_openLinksLocally);
    readInteger(m_defaultRenderEngine);
    readByte(m_newsFlag);
    readInteger(m_checkNewsInterval);
    readInteger(m_autoUpdate);
    readByte(m_clearOldCache);
    readInteger(m_clearOldCacheAge);
    if (reader.Remaining() >= 8)
        m_lastUpdateCheck = reader.ReadDateTime();
    else
        reader.SetPosition(reader.Size());

    ReconcileAutostart();
    if (m_checkNewsInterval == 0)
        m_newsFlag = false;
}

void TApplicationsSettings::SaveToStream(BinaryWriter& writer) const
{
    writer.WriteBoolean(m_runWithWindows);
    writer.WriteBoolean(m_minimizeOnStartup);
    writer.WriteBoolean(m_hideOnClose);
    writer.WriteBoolean(m_openLinksLocally);
    writer.WriteInteger(m_defaultRenderEngine);
    writer.WriteBoolean(m_newsFlag);
    writer.WriteInteger(m_checkNewsInterval);
    writer.WriteInteger(m_autoUpdate);
    writer.WriteBoolean(m_clearOldCache);
    writer.WriteInteger(m_clearOldCacheAge);
    writer.WriteDateTime(m_lastUpdateCheck);
}

void TApplicationsSettings::SetRunWithWindows(bool value)
{
    m_runWithWindows = value;
    ApplyAutostart();
}

void TApplicationsSettings::ReconcileAutostart()
{
    if (m_runWithWindows)
        m_runWithWindows = IsAutostartRegistered();
}

bool TApplicationsSettings::IsAutostartRegistered() const
{
    return m_autostart.IsRegistered();
}

void TApplicationsSettings::ApplyAutostart()
{
    m_autostart.Apply(m_runWithWindows);
}

bool TApplicationsSettings::IsUpdateCheckDue() const
{
    const int days = UpdateIntervalDays(m_autoUpdate);
    if (days == 0)
        return false;
    const double elapsed = std::trunc(std::fabs(Now() - m_lastUpdateCheck));
    // A damaged date would otherwise never let a check fall due again.
    if (!std::isfinite(elapsed))
        return true;
    return elapsed >= days;
}

void TApplicationsSettings::MarkUpdateChecked()
{
    m_lastUpdateCheck = Now();
    Changed();
}

void TApplicationsSettings::Changed()
{
    if (OnChange)
        OnChange(*this);
}

int TApplicationsSettings::NewsIntervalMinutes(int32_t index)
{
    switch (index) {
    case 1:
        return 15;
    case 2:
        return 30;
    default:
        return 0;
    }
}

int TApplicationsSettings::UpdateIntervalDays(int32_t index)
{
    switch (index) {
    case 1:
        return 1;
    case 2:
        return 7;
    case 3:
        return 30;
    default:
        return 0;
    }
}

int TApplicationsSettings::CacheAgeDays(int32_t index)
{
    return index == 1 ? 30 : 7;
}
