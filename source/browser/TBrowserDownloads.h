#pragma once

#include "TfrmInternetBrowser.h"

#include <QObject>

#include <vector>

// The downloads of one browser window, oldest first, as its tabs' frames report them: one row
// per download, whichever engine runs it. A download ends with the tab that started it.
class TBrowserDownloads final : public QObject
{
    Q_OBJECT

public:
    explicit TBrowserDownloads(QObject* parent = nullptr);

    // Follows the frame's reports until Forget.
    void Track(TfrmInternetBrowser* frame);
    // The frame goes: what it still ran is cancelled with it.
    void Forget(const TfrmInternetBrowser* frame);
    void Update(const TBrowserDownloadRec& download, const TfrmInternetBrowser* frame = nullptr);

    int Count() const { return int(m_rows.size()); }
    const TBrowserDownloadRec& At(int index) const { return m_rows.at(size_t(index)).Download; }
    int Running() const;
    // Stops the download while it runs; the engine's report then ends its row.
    void Cancel(int index);

signals:
    void Added(int index);
    void Changed(int index);

private:
    struct TRow
    {
        TBrowserDownloadRec Download;
        // Only compared, never followed: the frame may be gone.
        const TfrmInternetBrowser* Frame = nullptr;
    };

    std::vector<TRow> m_rows;
};
