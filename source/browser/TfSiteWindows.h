#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

class QTableWidget;
class QTimer;
class TBrowserManager;
struct TBrowserEntry;

// "Site windows": each open site window with what its engine processes cost (their
// proportional set size, as a system monitor shows it) and its state, with "Put to sleep"
// and "Close" per row. The figures are read again while the view is open; the rows follow
// the manager's windows.
class TfSiteWindows final : public QDialog
{
    Q_OBJECT

public:
    enum class TState
    {
        Active,   // on screen
        Idle,     // hidden or minimized: its pages sleep after the delay
        Sleeping, // the page it shows sleeps
    };

    explicit TfSiteWindows(TBrowserManager& manager, QWidget* parent = nullptr);

    static constexpr int kRefreshMs = 3000;
    static TState StateOf(const TBrowserEntry& entry);
    static QString StateText(TState state);
    // Kilobytes of the processes serving the entry's pages, each counted once (tabs of a
    // window share the window's WebKit host; a renderer may serve several pages).
    static qint64 MemoryKb(const TBrowserEntry& entry);

    // What the row of the entry with this id shows in a column; empty for no such row.
    enum TColumn
    {
        colSite = 0,
        colMemory = 1,
        colState = 2,
        colCommands = 3
    };
    QString Text(uint64_t entryId, TColumn column) const;
    // Reads every row's figures now, as the timer does.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Rebuild();
    void PutToSleep(uint64_t entryId);
    void Close(uint64_t entryId);
    int RowOf(uint64_t entryId) const;

    TBrowserManager& m_manager;
    QTableWidget* m_table = nullptr;
    QTimer* m_refresh = nullptr;
    std::vector<uint64_t> m_rows;
};
