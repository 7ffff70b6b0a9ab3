#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QVBoxLayout;
class TBrowserDownloads;

// The window's list of its downloads (Ctrl+J), newest on top: each with its name, a bar with
// what has arrived of how much, its state, and "Open", "Show in folder" once it is done or
// "Cancel" while it runs. A window of its own beside the browser window; it never blocks it.
class TBrowserDownloadsView final : public QWidget
{
    Q_OBJECT

public:
    explicit TBrowserDownloadsView(TBrowserDownloads& downloads, QWidget* parent = nullptr);

    // The row of the downloads' index.
    QWidget* Row(int index) const;
    // The state text of a row, as the list shows it.
    static QString StateText(int64_t received, int64_t total, int state, const QString& error);

private:
    void AddRow(int index);
    void ShowRow(int index);

    TBrowserDownloads& m_downloads;
    QVBoxLayout* m_rows = nullptr;
    QLabel* m_empty = nullptr;
    std::vector<QWidget*> m_rowWidgets;
};
