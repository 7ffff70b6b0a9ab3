#include "StandInFrame.h"

#include "browser/BrowserFrames.h"
#include "browser/PageTextLength.h"

#include <QHash>
#include <QPointer>
#include <QTimer>

namespace {

QHash<QString, TStandInFrame::TPage>& Pages()
{
    static QHash<QString, TStandInFrame::TPage> pages;
    return pages;
}

QList<QPointer<TStandInFrame>>& Living()
{
    static QList<QPointer<TStandInFrame>> frames;
    return frames;
}

} // namespace

TStandInFrame::TStandInFrame(uint8_t engine, QWidget* parent) : TfrmInternetBrowser(parent), m_engine(engine)
{
    SetEngineView(new QWidget(this));
    Living().append(this);
}

void TStandInFrame::Register()
{
    for (const uint8_t engine : {uint8_t(0), uint8_t(1)})
        BrowserFrames::Register(engine,
                                [engine](QWidget* parent) { return new TStandInFrame(engine, parent); });
}

void TStandInFrame::SetPage(const QString& address, const TPage& page)
{
    Pages().insert(address, page);
}

QList<TStandInFrame*> TStandInFrame::Frames()
{
    QList<TStandInFrame*> frames;
    for (const QPointer<TStandInFrame>& frame : std::as_const(Living())) {
        if (frame)
            frames.append(frame);
    }
    return frames;
}

void TStandInFrame::NavigateTo(const QUrl& url)
{
    m_history = m_history.mid(0, m_current + 1);
    m_history.append(url.toString());
    m_current = int(m_history.size()) - 1;
    Load(m_history.at(m_current));
}

bool TStandInFrame::MaySleepNow() const
{
    return !isVisible();
}

bool TStandInFrame::SleepEngine()
{
    return !isVisible();
}

void TStandInFrame::Load(const QString& address)
{
    WebBrowserProgressChange(0, 100);
    // As an engine: the page arrives after the call has returned.
    QTimer::singleShot(0, this, [this, address] {
        ++m_loads;
        const auto found = Pages().constFind(address);
        WebBrowserTitleChange(found != Pages().constEnd() ? found->Title : address);
        WebBrowserCommandStateChange(kCommandBack, m_current > 0);
        WebBrowserCommandStateChange(kCommandForward, m_current + 1 < m_history.size());
        WebBrowserProgressChange(100, 100);
        WebBrowserDocumentComplete(address);
    });
}

void TStandInFrame::GoBack()
{
    if (m_current > 0)
        Load(m_history.at(--m_current));
}

void TStandInFrame::GoForward()
{
    if (m_current + 1 < m_history.size())
        Load(m_history.at(++m_current));
}

void TStandInFrame::ReloadPage()
{
    Load(m_history.at(m_current));
}

void TStandInFrame::RestartEngine()
{
    ReloadPage();
}

QString TStandInFrame::GetLocationURL() const
{
    return m_current < 0 ? QStringLiteral("http://") : m_history.at(m_current);
}

void TStandInFrame::CaptureTo(QImage& bitmap)
{
    if (m_current < 0 || size().isEmpty())
        return;
    bitmap = QImage(size(), QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
}

void TStandInFrame::RunPageScript(const QString& script, std::function<void(const QVariant&)> result)
{
    QVariant value;
    if (script == PageTextLength::Script() && m_current >= 0)
        value = qint64(Pages().value(m_history.at(m_current)).Text.toUtf8().size());
    QTimer::singleShot(0, this, [value, result] {
        if (result)
            result(value);
    });
}

void TStandInFrame::OpenWindow(const QString& address)
{
    if (TfrmInternetBrowser* frame = WebBrowserNewWindow2())
        frame->Navigate(address);
}
