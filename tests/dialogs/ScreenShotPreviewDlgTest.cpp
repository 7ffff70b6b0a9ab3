#include "catalog/TWebApplicationClass.h"
#include "dialogs/TfScreenShotPreviewDlg.h"
#include "stores/TFileCacheManager.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray PngOfSize(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(0x20, 0x80, 0xC0));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return data;
}

class ScreenShotPreview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_cache.SetCacheFolder(m_folder.path());
        m_application.SetTitle(u"Web Mail"_s);
        m_application.SetTagline(u"Mail in the browser"_s);
        m_application.SetMainDescription(u"Reads and writes mail."_s);
    }

    void TearDown() override
    {
        if (m_preview)
            m_preview->close();
        m_server.ReleaseStalls();
        m_cache.StopDownloads();
        ProcessEventsFor(10);
    }

    // Opens the preview of a screenshot at path and waits for the cache's report.
    TfScreenShotPreviewDlg* Open(const QString& path)
    {
        m_application.SetScreenshotURL(m_server.Url(path));
        m_preview = ShowScreenshot(m_application, m_cache);
        EXPECT_TRUE(
            WaitUntil([&] { return m_preview && m_preview->State() != TfScreenShotPreviewDlg::psLoading; }));
        return m_preview;
    }

    QTemporaryDir m_folder;
    TestHttpServer m_server;
    TFileCacheManager m_cache;
    TWebApplicationClass m_application{17};
    QPointer<TfScreenShotPreviewDlg> m_preview;
};

} // namespace

TEST_F(ScreenShotPreview, ASmallScreenshotOpensCentredAtItsSize)
{
    m_server.Serve(u"/images/shot.png"_s, PngOfSize(300, 200), "image/png");
    TfScreenShotPreviewDlg* preview = Open(u"/images/shot.png"_s);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), u"MorvalenDesktop: Screenshot for Web Mail"_s);
    EXPECT_EQ(preview->State(), TfScreenShotPreviewDlg::psPicture);
    EXPECT_EQ(preview->Picture().size(), QSize(300, 200));
    EXPECT_FALSE(preview->windowState() & Qt::WindowMaximized);

    const ScreenshotPlacement::FrameMetrics frame = preview->Frame();
    const auto placement = ScreenshotPlacement::Place({300, 200}, preview->HeaderHeight(),
                                                      preview->screen()->availableGeometry(), frame);
    ASSERT_FALSE(placement.maximized);
    // The client area is the rule's window without the system's frame and caption: the
    // picture with room for the scroll box's border, which shows no scroll bars.
    EXPECT_EQ(preview->size(), QSize(300 + 8, 200 + preview->HeaderHeight() + 12 - frame.frameHeight));
    EXPECT_EQ(preview->minimumSize(), preview->maximumSize());
    EXPECT_EQ(preview->pos(), placement.geometry.topLeft());
    // The file was stored under the address's own name.
    EXPECT_TRUE(QDir(m_folder.path()).exists(u"shot.png"_s));
}

TEST_F(ScreenShotPreview, AScreenshotLargerThanTheWorkAreaOpensMaximized)
{
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    m_server.Serve(u"/big.png"_s, PngOfSize(screen.width() + 100, 300), "image/png");
    TfScreenShotPreviewDlg* preview = Open(u"/big.png"_s);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->State(), TfScreenShotPreviewDlg::psPicture);
    EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
}

TEST_F(ScreenShotPreview, AMissingOrDamagedScreenshotShowsTheNoImagePicture)
{
    TfScreenShotPreviewDlg* preview = Open(u"/missing.png"_s);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->State(), TfScreenShotPreviewDlg::psNoImage);
    preview->close();

    m_server.Serve(u"/broken.png"_s, "\x89PNG\r\n\x1a\n but nothing else", "image/png");
    preview = Open(u"/broken.png"_s);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->State(), TfScreenShotPreviewDlg::psNoImage);
}

TEST_F(ScreenShotPreview, APictureStillLoadingOrMissingOpensCentred)
{
    const auto centred = [](TfScreenShotPreviewDlg& preview) {
        const QRect workArea = preview.screen()->availableGeometry();
        const ScreenshotPlacement::FrameMetrics frame = preview.Frame();
        const QSize whole(preview.width() + 2 * frame.frameWidth,
                          preview.height() + frame.captionHeight + 2 * frame.frameHeight);
        return QPoint(workArea.left() + (workArea.width() - whole.width()) / 2,
                      workArea.top() + (workArea.height() - whole.height()) / 2);
    };
    m_server.ServeStalling(u"/slow.png"_s, 5000);
    m_application.SetScreenshotURL(m_server.Url(u"/slow.png"_s));
    m_preview = ShowScreenshot(m_application, m_cache);
    ASSERT_EQ(m_preview->State(), TfScreenShotPreviewDlg::psLoading);
    EXPECT_NE(m_preview->pos(), QPoint(0, 0));
    EXPECT_EQ(m_preview->pos(), centred(*m_preview));
    m_preview->close();

    TfScreenShotPreviewDlg* preview = Open(u"/missing.png"_s);
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(preview->State(), TfScreenShotPreviewDlg::psNoImage);
    EXPECT_EQ(preview->pos(), centred(*preview));
}

TEST_F(ScreenShotPreview, EscapeClosesAndFreesButNotWithShift)
{
    m_server.Serve(u"/shot.png"_s, PngOfSize(120, 90), "image/png");
    QPointer<TfScreenShotPreviewDlg> preview = Open(u"/shot.png"_s);
    ASSERT_TRUE(preview);
    QTest::keyClick(preview, Qt::Key_Escape, Qt::ShiftModifier);
    ProcessEventsFor(20);
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isVisible());
    QTest::keyClick(preview, Qt::Key_Escape);
    EXPECT_TRUE(WaitUntil([&] { return preview.isNull(); }));
}

TEST_F(ScreenShotPreview, AWindowClosedBeforeTheReportIsLeftAlone)
{
    m_server.ServeStalling(u"/slow.png"_s, 5000);
    m_application.SetScreenshotURL(m_server.Url(u"/slow.png"_s));
    QPointer<TfScreenShotPreviewDlg> preview = ShowScreenshot(m_application, m_cache);
    EXPECT_EQ(preview->State(), TfScreenShotPreviewDlg::psLoading);
    ASSERT_TRUE(WaitUntil([&] { return m_server.StalledCount() == 1; }));
    preview->close();
    ASSERT_TRUE(WaitUntil([&] { return preview.isNull(); }));
    // The cache reports to a window that is gone.
    m_server.ReleaseStalls();
    EXPECT_TRUE(WaitUntil([&] { return !m_cache.Busy(); }));
}

TEST_F(ScreenShotPreview, SeveralPreviewsAreIndependent)
{
    m_server.Serve(u"/a.png"_s, PngOfSize(100, 80), "image/png");
    m_server.Serve(u"/b.png"_s, PngOfSize(140, 60), "image/png");
    QPointer<TfScreenShotPreviewDlg> first = Open(u"/a.png"_s);
    m_preview = nullptr;
    QPointer<TfScreenShotPreviewDlg> second = Open(u"/b.png"_s);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Picture().size(), QSize(100, 80));
    EXPECT_EQ(second->Picture().size(), QSize(140, 60));
    first->close();
    ASSERT_TRUE(WaitUntil([&] { return first.isNull(); }));
    EXPECT_TRUE(second && second->isVisible());
}
