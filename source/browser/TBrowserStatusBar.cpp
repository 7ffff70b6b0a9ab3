#include "TBrowserStatusBar.h"

#include "TBrowserDownloads.h"
#include "TBrowserTab.h"
#include "TfrmInternetBrowser.h"
#include "pictures/GraphicTools.h"
#include "progressbar/LabelProgressBar.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

TBrowserStatusBar::TBrowserStatusBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"pnStatusBar"_s);
    setFixedHeight(23);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    m_engineImage = new QLabel(this);
    m_engineImage->setObjectName(u"imgRenderEngine"_s);
    m_engineImage->setFixedSize(16, 16);
    m_engineImage->setStatusTip(u"Current rendering engine"_s);
    row->addWidget(m_engineImage);
    m_text = new QLabel(this);
    m_text->setObjectName(u"lbStatusText"_s);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_text, 1);
    m_downloadsButton = new QToolButton(this);
    m_downloadsButton->setObjectName(u"btnDownloads"_s);
    m_downloadsButton->setAutoRaise(true);
    m_downloadsButton->setFocusPolicy(Qt::NoFocus);
    m_downloadsButton->setStatusTip(u"Show the downloads of this window (Ctrl+J)"_s);
    m_downloadsButton->hide();
    connect(m_downloadsButton, &QToolButton::clicked, this, &TBrowserStatusBar::DownloadsClicked);
    row->addWidget(m_downloadsButton);
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    row->addWidget(separator);
    m_progress = new TLabelProgressBar(this);
    m_progress->setObjectName(u"lpbProgress"_s);
    m_progress->setFixedSize(150, 15);
    m_progress->SetMin(0);
    m_progress->SetMax(100);
    m_progress->SetPosition(0);
    row->addWidget(m_progress);
    SetEngine(0);
}

void TBrowserStatusBar::SetEngine(uint8_t engine)
{
    m_engineImage->setPixmap(
        QPixmap::fromImage(GraphicTools::LoadPngResource(engine == 1 ? u"brFireFox"_s : u"brIE"_s)));
}

void TBrowserStatusBar::SetCurrentTab(TBrowserTab* tab)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_following))
        disconnect(connection);
    m_following.clear();
    m_tab = tab;
    if (!tab)
        return;
    m_following = {
        connect(tab->Frame(), &TfrmInternetBrowser::StatusTextChanged, m_text, &QLabel::setText),
        connect(tab->Frame(), &TfrmInternetBrowser::ProgressChanged, this, &TBrowserStatusBar::ShowProgress),
    };
    m_text->setText(tab->Frame()->StatusText());
    ShowProgress();
}

void TBrowserStatusBar::ShowProgress()
{
    const TfrmInternetBrowser& frame = *m_tab->Frame();
    m_progress->SetMax(std::max(frame.ProgressMax(), 1));
    m_progress->SetPosition(frame.Progress() == frame.ProgressMax() ? 0 : frame.Progress());
}

void TBrowserStatusBar::SetText(const QString& text)
{
    m_text->setText(text);
}

QString TBrowserStatusBar::Text() const
{
    return m_text->text();
}

void TBrowserStatusBar::ShowDownload(const TBrowserDownloadRec& download)
{
    const QString name = QFileInfo(download.FileName).fileName();
    const QLocale locale;
    switch (download.State) {
    case TBrowserDownloadRec::dsRunning: {
        const int percent = download.Total > 0 ? int(download.Received * 100 / download.Total) : 0;
        m_text->setText(download.Total > 0
                            ? u"Downloading %1: %2 of %3"_s.arg(name,
                                                                locale.formattedDataSize(download.Received),
                                                                locale.formattedDataSize(download.Total))
                            : u"Downloading %1: %2"_s.arg(name, locale.formattedDataSize(download.Received)));
        m_progress->SetMax(100);
        m_progress->SetPosition(percent);
        break;
    }
    case TBrowserDownloadRec::dsFinished:
        m_text->setText(u"Downloaded %1"_s.arg(download.FileName));
        m_progress->SetPosition(0);
        break;
    case TBrowserDownloadRec::dsCancelled:
        m_text->setText(u"Download of %1 cancelled"_s.arg(name));
        m_progress->SetPosition(0);
        break;
    case TBrowserDownloadRec::dsFailed:
        // Said here and in the window's list, which has the reason: no box stops the window.
        m_text->setText(download.Error.isEmpty() ? u"Download of %1 failed"_s.arg(name)
                                                 : u"Download of %1 failed: %2"_s.arg(name, download.Error));
        m_progress->SetPosition(0);
        break;
    }
}

void TBrowserStatusBar::SetDownloads(const TBrowserDownloads* downloads)
{
    m_downloads = downloads;
    connect(downloads, &TBrowserDownloads::Added, this, &TBrowserStatusBar::ShowDownloadsButton);
    connect(downloads, &TBrowserDownloads::Changed, this, &TBrowserStatusBar::ShowDownloadsButton);
    ShowDownloadsButton();
}

void TBrowserStatusBar::ShowDownloadsButton()
{
    const int running = m_downloads->Running();
    m_downloadsButton->setText(running > 0 ? u"Downloads (%1)"_s.arg(running) : u"Downloads"_s);
    m_downloadsButton->setVisible(m_downloads->Count() > 0);
}
