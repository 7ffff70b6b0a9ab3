// The capture dialog against pages of a loopback server, with the real Chromium engine (one
// engine for the whole program: the cases share it).

#include "browser/TfBrowserThumbnailForm.h"
#include "browser/BrowserFrames.h"

#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kHtml = "text/html";

class TfBrowserThumbnailFormTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        s_folder = new QTemporaryDir;
        BrowserFrames::SetDataFolder(s_folder->path());
    }

    // Opens the dialog on the page and waits until it has closed; the form's result.
    int Run(TfBrowserThumbnailForm& form)
    {
        form.show();
        EXPECT_TRUE(WaitUntil([&] { return !form.isVisible(); }, 60000));
        return form.result();
    }

    static QTemporaryDir* s_folder;
    TestHttpServer m_server;
};

QTemporaryDir* TfBrowserThumbnailFormTest::s_folder = nullptr;

// A page that is red from edge to edge and taller than any capture.
QByteArray RedPage(const QByteArray& extra = {})
{
    return "<html><head><style>html,body{margin:0;background:#ff0000}</style></head><body>"
           "<div style='height:3000px;width:10px'></div>" +
           extra + "</body></html>";
}

bool IsRed(QRgb pixel)
{
    return qRed(pixel) > 220 && qGreen(pixel) < 40 && qBlue(pixel) < 40;
}

} // namespace

TEST_F(TfBrowserThumbnailFormTest, TakesThePaintedPageAtTheChosenSizeWithoutScrollBars)
{
    m_server.Serve(u"/red.html"_s, RedPage(), kHtml);
    TfBrowserThumbnailForm form(m_server.Url(u"/red.html"_s));
    form.SetCaptureWidth(640);
    form.SetCaptureHeight(480);
    EXPECT_EQ(form.windowTitle(), u"Web site screen shot"_s);
    ASSERT_EQ(Run(form), mrOk);
    const QImage picture = form.CapturedBitmap();
    ASSERT_EQ(picture.size(), QSize(640, 480));
    // Painted, not the blank view before the first frame; and red up to the right and
    // bottom edges, where scroll bars would be.
    EXPECT_TRUE(IsRed(picture.pixel(320, 240)));
    EXPECT_TRUE(IsRed(picture.pixel(639, 240)));
    EXPECT_TRUE(IsRed(picture.pixel(320, 479)));
    EXPECT_EQ(form.Frame(), nullptr);
}

TEST_F(TfBrowserThumbnailFormTest, APopUpWhileLoadingOpensNoWindowAnywhere)
{
    m_server.Serve(u"/popup.html"_s, "<html><body>pop-up</body></html>", kHtml);
    m_server.Serve(u"/opener.html"_s, RedPage("<script>window.open('/popup.html', 'x');</script>"), kHtml);
    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    TfBrowserThumbnailForm form(m_server.Url(u"/opener.html"_s));
    form.SetCaptureWidth(640);
    form.SetCaptureHeight(480);
    ASSERT_EQ(Run(form), mrOk);
    EXPECT_TRUE(IsRed(form.CapturedBitmap().pixel(100, 100)));
    EXPECT_EQ(m_server.RequestCount(u"/popup.html"_s), 0);
    // The dialog and its frame are all that came; the frame is on its way out.
    EXPECT_LE(int(QApplication::topLevelWidgets().size()), windowsBefore + 2);
}

TEST_F(TfBrowserThumbnailFormTest, AnAddressThatIsAFileAsksNothing)
{
    // Served as a file, the address would start a download; the capture never saves anything,
    // so no save dialog may stop it (it would block this test).
    m_server.Serve(u"/file.bin"_s, QByteArray(4096, 'x'));
    TfBrowserThumbnailForm form(m_server.Url(u"/file.bin"_s));
    form.SetCaptureWidth(640);
    form.SetCaptureHeight(480);
    form.SetTimeLimit(500);
    form.show();
    auto* ok = form.findChild<QPushButton*>(u"btnOk"_s);
    ASSERT_TRUE(WaitUntil([&] { return ok->isVisible() || !form.isVisible(); }, 60000));
    EXPECT_EQ(m_server.RequestCount(u"/file.bin"_s), 1);
    form.findChild<QPushButton*>(u"btnCancel"_s)->click();
    EXPECT_EQ(form.result(), mrCancel);
}

TEST_F(TfBrowserThumbnailFormTest, WaitsForTheTopLevelDocumentNotItsFirstFrame)
{
    m_server.Serve(u"/fast.html"_s, "<html><body>fast</body></html>", kHtml);
    m_server.ServeStalling(u"/slow.html"_s, 1000, "<html><body>", kHtml);
    m_server.Serve(u"/frames.html"_s,
                   RedPage("<iframe src='/fast.html'></iframe><iframe src='/slow.html'></iframe>"), kHtml);
    TfBrowserThumbnailForm form(m_server.Url(u"/frames.html"_s));
    form.SetCaptureWidth(640);
    form.SetCaptureHeight(480);
    form.show();
    ASSERT_TRUE(WaitUntil(
        [&] { return m_server.RequestCount(u"/fast.html"_s) == 1 && m_server.StalledCount() == 1; }));
    // The first frame has come; the page has not.
    ProcessEventsFor(300);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.CapturedBitmap().isNull());

    m_server.ReleaseStalls();
    ASSERT_TRUE(WaitUntil([&] { return !form.isVisible(); }, 60000));
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_FALSE(form.TakenAtTimeLimit());
    EXPECT_TRUE(IsRed(form.CapturedBitmap().pixel(600, 400)));
}

TEST_F(TfBrowserThumbnailFormTest, APageThatNeverCompletesIsTakenAtTheTimeLimitIfTheUserWants)
{
    m_server.ServeStalling(u"/never.html"_s, 100000,
                           "<html><head><style>body{margin:0;background:#ff0000}</style></head><body>"
                           "<div style='height:3000px'>loading",
                           kHtml);
    for (const bool keep : {true, false}) {
        TfBrowserThumbnailForm form(m_server.Url(u"/never.html"_s));
        form.SetCaptureWidth(640);
        form.SetCaptureHeight(480);
        form.SetTimeLimit(500);
        form.show();
        auto* ok = form.findChild<QPushButton*>(u"btnOk"_s);
        ASSERT_NE(ok, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ok->isVisible(); }, 60000));
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.TakenAtTimeLimit());
        EXPECT_TRUE(form.findChild<QLabel*>(u"lbPatience"_s)->text().contains(u"did not finish loading"_s));
        EXPECT_EQ(form.CapturedBitmap().size(), QSize(640, 480));
        if (keep) {
            ok->click();
            EXPECT_EQ(form.result(), mrOk);
        } else {
            form.findChild<QPushButton*>(u"btnCancel"_s)->click();
            EXPECT_EQ(form.result(), mrCancel);
        }
        EXPECT_FALSE(form.isVisible());
    }
    m_server.ReleaseStalls();
}
