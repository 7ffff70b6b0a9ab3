#include "TMVTrayNotifyManager.h"

TMVTrayNotifyManager::TMVTrayNotifyManager(const TTrayNotifyTimings& timings) : m_timings(timings) {}

TMVTrayNotifyManager::~TMVTrayNotifyManager()
{
    if (m_window) {
        m_window->OnClose = nullptr;
        m_window->OnItemClick = nullptr;
        delete m_window.data();
    }
}

void TMVTrayNotifyManager::Notify(TEntryId entry, const QString& siteTitle, const QString& pageTitle,
                                  const QString& iconFile)
{
    m_announced.push_back(entry);
    const int index = int(m_announced.size()) - 1;
    const bool created = !m_window;
    if (created) {
        m_window = new TfTrayNotifyWin(m_timings);
        m_window->OnClose = [this](TfTrayNotifyWin&) {
            NotifyWindowClosed();
        };
        m_window->OnItemClick = [this](int line) {
            ItemClicked(line);
        };
    }
    m_window->AddSite(siteTitle, pageTitle, index, iconFile);
    if (created)
        m_window->ShowNotification();
}

void TMVTrayNotifyManager::NotifyChanged(TEntryId entry, const QString& siteTitle, const QString& pageTitle,
                                         const QString& iconFile)
{
    if (const auto line = m_changeLines.find(entry); line != m_changeLines.end() && m_window) {
        m_window->UpdateSite(line->second, pageTitle);
        return;
    }
    Notify(entry, siteTitle, pageTitle, iconFile);
    m_changeLines[entry] = int(m_announced.size()) - 1;
}

void TMVTrayNotifyManager::ItemClicked(int index)
{
    if (index < 0 || size_t(index) >= m_announced.size())
        return;
    if (OnItemClick)
        OnItemClick(m_announced[size_t(index)]);
}

void TMVTrayNotifyManager::NotifyWindowClosed()
{
    m_window = nullptr;
    m_announced.clear();
    m_changeLines.clear();
}
