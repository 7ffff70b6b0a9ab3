#include "TBrowserDownloadsView.h"

#include "TBrowserDownloads.h"
#include "platform/FileManager.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

// The bar counts in thousandths: byte counts do not fit its int.
constexpr int kBarSteps = 1000;

} // namespace

TBrowserDownloadsView::TBrowserDownloadsView(TBrowserDownloads& downloads, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_downloads(downloads)
{
    setObjectName(u"fmDownloads"_s);
    setWindowTitle(u"Downloads"_s);
    resize(520, 360);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* list = new QWidget(scroll);
    m_rows = new QVBoxLayout(list);
    m_rows->setContentsMargins(10, 10, 10, 10);
    m_rows->setSpacing(12);
    m_empty = new QLabel(u"Files that pages of this window download are listed here."_s, list);
    m_empty->setObjectName(u"lbNoDownloads"_s);
    m_empty->setAlignment(Qt::AlignCenter);
    m_rows->addWidget(m_empty);
    m_rows->addStretch(1);
    scroll->setWidget(list);
    layout->addWidget(scroll);
    for (int index = 0; index < downloads.Count(); ++index)
        AddRow(index);
    connect(&downloads, &TBrowserDownloads::Added, this, &TBrowserDownloadsView::AddRow);
    connect(&downloads, &TBrowserDownloads::Changed, this, &TBrowserDownloadsView::ShowRow);
}

QWidget* TBrowserDownloadsView::Row(int index) const
{
    return index >= 0 && size_t(index) < m_rowWidgets.size() ? m_rowWidgets[size_t(index)] : nullptr;
}

QString TBrowserDownloadsView::StateText(int64_t received, int64_t total, int state, const QString& error)
{
    const QLocale locale;
    switch (state) {
    case TBrowserDownloadRec::dsFinished:
        return u"Done, %1"_s.arg(locale.formattedDataSize(received));
    case TBrowserDownloadRec::dsFailed:
        return error.isEmpty() ? u"Failed"_s : u"Failed: %1"_s.arg(error);
    case TBrowserDownloadRec::dsCancelled:
        return u"Cancelled"_s;
    default:
        return total > 0 ? u"In progress: %1 of %2"_s.arg(locale.formattedDataSize(received),
                                                          locale.formattedDataSize(total))
                         : u"In progress: %1"_s.arg(locale.formattedDataSize(received));
    }
}

void TBrowserDownloadsView::AddRow(int index)
{
    m_empty->hide();
    auto* row = new QWidget(m_rows->parentWidget());
    row->setObjectName(u"pnDownload"_s);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    auto* name = new QLabel(row);
    name->setObjectName(u"lbName"_s);
    name->setTextFormat(Qt::PlainText);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* bar = new QProgressBar(row);
    bar->setObjectName(u"pbProgress"_s);
    bar->setTextVisible(false);
    bar->setFixedHeight(8);
    // Rows keep one height and their bars one width, whatever their state shows.
    QSizePolicy keep = bar->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    bar->setSizePolicy(keep);
    auto* state = new QLabel(row);
    state->setObjectName(u"lbState"_s);
    state->setTextFormat(Qt::PlainText);
    state->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* open = new QPushButton(u"Open"_s, row);
    open->setObjectName(u"btnOpen"_s);
    auto* show = new QPushButton(u"Show in folder"_s, row);
    show->setObjectName(u"btnShowInFolder"_s);
    auto* cancel = new QPushButton(u"Cancel"_s, row);
    cancel->setObjectName(u"btnCancel"_s);
    grid->addWidget(name, 0, 0);
    grid->addWidget(bar, 1, 0);
    grid->addWidget(state, 2, 0);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(open);
    buttons->addWidget(show);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 0, 1, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    grid->setColumnStretch(0, 1);
    grid->setColumnMinimumWidth(1, open->sizeHint().width() + show->sizeHint().width() + buttons->spacing());
    connect(open, &QPushButton::clicked, this, [this, index, state] {
        if (!FileManager::OpenFile(m_downloads.At(index).FileName))
            state->setText(u"No program of the desktop opens this file."_s);
    });
    connect(show, &QPushButton::clicked, this,
            [this, index] { FileManager::ShowInFolder(m_downloads.At(index).FileName); });
    connect(cancel, &QPushButton::clicked, this, [this, index] { m_downloads.Cancel(index); });
    // Newest on top, as a browser lists them.
    m_rows->insertWidget(1, row);
    if (m_rowWidgets.size() <= size_t(index))
        m_rowWidgets.resize(size_t(index) + 1);
    m_rowWidgets[size_t(index)] = row;
    ShowRow(index);
}

void TBrowserDownloadsView::ShowRow(int index)
{
    QWidget* row = Row(index);
    if (!row)
        return;
    const TBrowserDownloadRec& download = m_downloads.At(index);
    const bool running = download.State == TBrowserDownloadRec::dsRunning;
    const bool done = download.State == TBrowserDownloadRec::dsFinished;
    auto* name = row->findChild<QLabel*>(u"lbName"_s);
    name->setText(QFileInfo(download.FileName).fileName());
    name->setToolTip(download.FileName);
    auto* bar = row->findChild<QProgressBar*>(u"pbProgress"_s);
    if (running && download.Total <= 0) {
        // The server did not say how much: the bar only says that something arrives.
        bar->setRange(0, 0);
    } else {
        bar->setRange(0, kBarSteps);
        const int64_t total = done ? std::max<int64_t>(download.Total, download.Received) : download.Total;
        bar->setValue(done ? kBarSteps
                      : total > 0 && download.Received > 0
                          ? int(std::min<int64_t>(download.Received, total) * kBarSteps / total)
                          : 0);
    }
    bar->setVisible(running || done);
    row->findChild<QLabel*>(u"lbState"_s)
        ->setText(StateText(download.Received, download.Total, download.State, download.Error));
    row->findChild<QPushButton*>(u"btnOpen"_s)->setVisible(done);
    row->findChild<QPushButton*>(u"btnShowInFolder"_s)->setVisible(done);
    row->findChild<QPushButton*>(u"btnCancel"_s)->setVisible(running && download.Cancel);
}
