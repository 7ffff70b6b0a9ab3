#include "TBrowserDownloads.h"

#include <algorithm>

TBrowserDownloads::TBrowserDownloads(QObject* parent) : QObject(parent) {}

void TBrowserDownloads::Track(TfrmInternetBrowser* frame)
{
    connect(frame, &TfrmInternetBrowser::DownloadChanged, this,
            [this, frame](const TBrowserDownloadRec& download) { Update(download, frame); });
}

void TBrowserDownloads::Forget(const TfrmInternetBrowser* frame)
{
    for (size_t index = 0; index < m_rows.size(); ++index) {
        TRow& row = m_rows[index];
        if (row.Frame != frame)
            continue;
        row.Frame = nullptr;
        if (row.Download.State != TBrowserDownloadRec::dsRunning)
            continue;
        row.Download.State = TBrowserDownloadRec::dsCancelled;
        row.Download.Cancel = nullptr;
        emit Changed(int(index));
    }
}

void TBrowserDownloads::Update(const TBrowserDownloadRec& download, const TfrmInternetBrowser* frame)
{
    const auto row = std::find_if(m_rows.begin(), m_rows.end(),
                                  [&](const TRow& known) { return known.Download.Id == download.Id; });
    if (row == m_rows.end()) {
        m_rows.push_back({download, frame});
        emit Added(Count() - 1);
        return;
    }
    // A row that ended stays ended: a late report of the engine does not bring it back.
    if (row->Download.State != TBrowserDownloadRec::dsRunning)
        return;
    row->Download = download;
    if (download.State != TBrowserDownloadRec::dsRunning)
        row->Download.Cancel = nullptr;
    emit Changed(int(row - m_rows.begin()));
}

int TBrowserDownloads::Running() const
{
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const TRow& row) {
        return row.Download.State == TBrowserDownloadRec::dsRunning;
    }));
}

void TBrowserDownloads::Cancel(int index)
{
    if (index < 0 || index >= Count())
        return;
    // The engine's call may report at once, and that report changes the row.
    const std::function<void()> cancel = m_rows[size_t(index)].Download.Cancel;
    if (cancel)
        cancel();
}
