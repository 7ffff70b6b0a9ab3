// The fixture's helpers that reach into the Chromium page: only the test programs that start
// Qt WebEngine build them.

#include "BrowserTestFixture.h"

#include "browser/TfrmInternetBrowser.h"
#include "support/TestSupport.h"

#include <QTest>
#include <QWebEnginePage>

#include <memory>

using namespace Qt::Literals::StringLiterals;

QWebEnginePage* BrowserTest::PageOf(TfrmInternetBrowser& frame)
{
    return qobject_cast<QWebEnginePage*>(frame.GetApplication());
}

QString BrowserTest::RunScript(TfrmInternetBrowser& frame, const QString& script)
{
    bool done = false;
    QString result;
    PageOf(frame)->runJavaScript(script, [&](const QVariant& value) {
        result = value.toString();
        done = true;
    });
    WaitUntil([&] { return done; }, 30000);
    return result;
}

bool BrowserTest::ClickElement(TfrmInternetBrowser& frame, const QString& id)
{
    const QStringList where =
        RunScript(frame, u"(e => e ? (r => r.left + 2 + ',' + (r.top + 2))(e.getBoundingClientRect()) : '')"
                         u"(document.getElementById('%1'))"_s.arg(id))
            .split(u',');
    if (where.size() != 2)
        return false;
    // The view's surface that takes the input, once the page has made it.
    QWidget* surface = nullptr;
    if (!WaitUntil([&] {
            surface = frame.focusProxy() ? frame.focusProxy()->focusProxy() : nullptr;
            return surface != nullptr;
        }))
        return false;
    // A view drops the input that comes before it has shown the page's first frames, which on
    // a cold engine may be well after the page has loaded.
    auto painted = std::make_shared<bool>(false);
    frame.WhenPainted([painted] { *painted = true; });
    if (!WaitUntil([&] { return *painted; }, 30000))
        return false;
    QTest::mouseClick(surface, Qt::LeftButton, {},
                      QPoint(int(where[0].toDouble()), int(where[1].toDouble())));
    return true;
}
