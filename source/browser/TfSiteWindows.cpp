#include "TfSiteWindows.h"

#include "TBrowserManager.h"
#include "TBrowserTab.h"
#include "TCustomInternetBrowserWindow.h"
#include "TfrmInternetBrowser.h"
#include "platform/ProcessMemory.h"
#include "sites/TMorvalenBaseClass.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

TfSiteWindows::TfSiteWindows(TBrowserManager& manager, QWidget* parent) : QDialog(parent), m_manager(manager)
{
    setObjectName(u"fSiteWindows"_s);
    setWindowTitle(u"Site windows"_s);
    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(u"tvSiteWindows"_s);
    m_table->setHorizontalHeaderLabels({u"Site"_s, u"Memory"_s, u"State"_s, QString()});
    m_table->verticalHeader()->hide();
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setShowGrid(false);
    m_table->horizontalHeader()->setSectionResizeMode(colSite, QHeaderView::Stretch);
    for (const int column : {colMemory, colState, colCommands})
        m_table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    resize(560, 320);

    m_refresh = new QTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &TfSiteWindows::Refresh);
    connect(&manager, &TBrowserManager::Changed, this, &TfSiteWindows::Rebuild);
    connect(&manager, &TBrowserManager::SiteSleepingChanged, this, &TfSiteWindows::Refresh);
    Rebuild();
}

TfSiteWindows::TState TfSiteWindows::StateOf(const TBrowserEntry& entry)
{
    const TCustomInternetBrowserWindow& window = *entry.Window;
    if (window.Sleeping())
        return TState::Sleeping;
    return window.isVisible() && !window.isMinimized() ? TState::Active : TState::Idle;
}

QString TfSiteWindows::StateText(TState state)
{
    switch (state) {
    case TState::Active:
        return u"Active"_s;
    case TState::Idle:
        return u"Idle"_s;
    case TState::Sleeping:
        return u"Sleeping"_s;
    }
    return {};
}

qint64 TfSiteWindows::MemoryKb(const TBrowserEntry& entry)
{
    std::vector<qint64> processes;
    for (int index = 0; index < entry.Window->TabCount(); ++index) {
        const qint64 pid = entry.Window->Tab(index)->Frame()->EngineProcessId();
        if (pid > 0 && std::find(processes.begin(), processes.end(), pid) == processes.end())
            processes.push_back(pid);
    }
    qint64 total = 0;
    for (const qint64 pid : processes)
        total += ProcessTreePssKb(pid);
    return total;
}

void TfSiteWindows::Rebuild()
{
    m_rows.clear();
    m_table->setRowCount(m_manager.Count());
    for (int row = 0; row < m_manager.Count(); ++row) {
        const TBrowserEntry& entry = *m_manager.Entry(row);
        const uint64_t id = entry.Id;
        m_rows.push_back(id);
        auto* site = new QTableWidgetItem(entry.Window->windowIcon(), entry.Site->Title());
        m_table->setItem(row, colSite, site);
        auto* memory = new QTableWidgetItem;
        memory->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(row, colMemory, memory);
        m_table->setItem(row, colState, new QTableWidgetItem);

        auto* commands = new QWidget(m_table);
        auto* line = new QHBoxLayout(commands);
        line->setContentsMargins(2, 0, 2, 0);
        auto* sleep = new QPushButton(u"Put to sleep"_s, commands);
        sleep->setObjectName(u"btnSleep"_s);
        connect(sleep, &QPushButton::clicked, this, [this, id] { PutToSleep(id); });
        auto* close = new QPushButton(u"Close"_s, commands);
        close->setObjectName(u"btnClose"_s);
        connect(close, &QPushButton::clicked, this, [this, id] { Close(id); });
        line->addWidget(sleep);
        line->addWidget(close);
        m_table->setCellWidget(row, colCommands, commands);
    }
    Refresh();
    m_table->resizeRowsToContents();
}

void TfSiteWindows::Refresh()
{
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const TBrowserEntry* entry = m_manager.FindById(m_rows[size_t(row)]);
        if (!entry)
            continue;
        const qint64 kb = MemoryKb(*entry);
        // No process: the window's pages sleep or have not started.
        m_table->item(row, colMemory)
            ->setText(kb > 0 ? QLocale().formattedDataSize(kb * 1024, 1) : u"\u2014"_s);
        const TState state = StateOf(*entry);
        m_table->item(row, colState)->setText(StateText(state));
        if (auto* sleep = m_table->cellWidget(row, colCommands)->findChild<QPushButton*>(u"btnSleep"_s))
            sleep->setEnabled(state != TState::Sleeping);
    }
    // Figures go stale only while someone looks at them.
    if (isVisible())
        m_refresh->start();
    else
        m_refresh->stop();
}

void TfSiteWindows::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

int TfSiteWindows::RowOf(uint64_t entryId) const
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), entryId);
    return found == m_rows.end() ? -1 : int(found - m_rows.begin());
}

QString TfSiteWindows::Text(uint64_t entryId, TColumn column) const
{
    const int row = RowOf(entryId);
    if (row < 0 || column == colCommands)
        return {};
    return m_table->item(row, column)->text();
}

void TfSiteWindows::PutToSleep(uint64_t entryId)
{
    const TBrowserEntry* entry = m_manager.FindById(entryId);
    if (!entry)
        return;
    TCustomInternetBrowserWindow& window = *entry->Window;
    // No engine lets a page on screen go: the window is put away first, as its tray or
    // minimize button would.
    if (window.isVisible() && !window.isMinimized()) {
        if (window.TrayMode())
            window.HideToTray();
        else
            window.setWindowState(window.windowState() | Qt::WindowMinimized);
    }
    window.Hibernate();
    Refresh();
}

void TfSiteWindows::Close(uint64_t entryId)
{
    if (const TBrowserEntry* entry = m_manager.FindById(entryId))
        m_manager.CloseBrowser(*entry->Site);
}
