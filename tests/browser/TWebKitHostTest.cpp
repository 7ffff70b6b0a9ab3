#include "browser/TWebKitHost.h"
#include "browser/PageTextLength.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

using namespace WebKitHostProtocol;

namespace {

// A real host process on the test X server, with every message it sent kept for the test.
class TWebKitHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
        if (display.isEmpty())
            GTEST_SKIP() << "no X server for the WebKit host (MORVALEN_TEST_X11_DISPLAY is not set)";
        if (!QFileInfo(TWebKitHost::DefaultProgram()).isExecutable())
            GTEST_SKIP() << "morvalen-webkit-host is not built (WebKitGTK development files missing)";
        m_display = std::make_unique<ScopedEnvironment>("DISPLAY", display);
        ASSERT_TRUE(m_profile.isValid());
        m_host = std::make_unique<TWebKitHost>();
        QObject::connect(m_host.get(), &TWebKitHost::MessageReceived, m_host.get(),
                         [this](const Message& message) { m_messages.push_back(message); });
        QObject::connect(m_host.get(), &TWebKitHost::Failed, m_host.get(), [this] { ++m_failures; });
    }

    void Start()
    {
        ASSERT_TRUE(
            m_host->Start(TWebKitHost::DefaultProgram(), m_profile.filePath(QStringLiteral("WebKit"))));
        ASSERT_TRUE(WaitUntil([this] { return m_host->IsReady() || m_host->HasFailed(); }, 20000));
        ASSERT_TRUE(m_host->IsReady());
    }

    std::uint32_t NewView(QSize size = QSize(640, 480))
    {
        const std::uint32_t view = m_host->CreateView(size);
        EXPECT_TRUE(WaitUntil([&] { return Last(MessageType::ViewCreated, view) != nullptr; }));
        return view;
    }

    void Send(MessageType type, std::uint32_t view, std::vector<std::int64_t> integers = {},
              std::vector<std::string> texts = {})
    {
        m_host->Send(Message{type, view, std::move(integers), std::move(texts), {}});
    }

    // Navigates and waits for the top-level document of address to complete.
    void Load(std::uint32_t view, const QString& address)
    {
        const std::size_t before = m_messages.size();
        Send(MessageType::Navigate, view, {}, {address.toStdString()});
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (std::size_t i = before; i < m_messages.size(); ++i)
                    if (m_messages[i].type == MessageType::LoadFinished && m_messages[i].view == view &&
                        m_messages[i].Text(0) == address.toStdString())
                        return true;
                return false;
            },
            20000))
            << address.toStdString();
    }

    const Message* Last(MessageType type, std::uint32_t view) const
    {
        for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it)
            if (it->type == type && it->view == view)
                return &*it;
        return nullptr;
    }

    std::int64_t Evaluate(std::uint32_t view, const QString& script)
    {
        const std::int64_t request = ++m_request;
        Send(MessageType::Evaluate, view, {request}, {script.toStdString()});
        const Message* answer = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            answer = Last(MessageType::Evaluated, view);
            return answer && answer->Integer(0) == request;
        }));
        return answer ? answer->Integer(1) : -2;
    }

    TestHttpServer m_server;
    QTemporaryDir m_profile;
    std::unique_ptr<ScopedEnvironment> m_display;
    std::unique_ptr<TWebKitHost> m_host;
    std::vector<Message> m_messages;
    int m_failures = 0;
    std::int64_t m_request = 0;
};

QByteArray Page(const QByteArray& title, const QByteArray& body)
{
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>" + title + "</title></head><body>" +
           body + "</body></html>";
}

} // namespace

TEST_F(TWebKitHostTest, ReportsTitleProgressAndHistoryOfItsPages)
{
    m_server.Serve(QStringLiteral("/one"), Page("First page", "<a href='/two'>next</a>"), "text/html");
    m_server.Serve(QStringLiteral("/two"), Page("Second page", "two"), "text/html");
    Start();
    const std::uint32_t view = NewView();

    Load(view, m_server.Url(QStringLiteral("/one")));
    ASSERT_TRUE(WaitUntil([&] {
        const Message* title = Last(MessageType::TitleChanged, view);
        return title && title->Text(0) == "First page";
    }));
    ASSERT_NE(nullptr, Last(MessageType::ProgressChanged, view));
    EXPECT_EQ(100, Last(MessageType::ProgressChanged, view)->Integer(0));
    EXPECT_EQ(100, Last(MessageType::ProgressChanged, view)->Integer(1));

    Load(view, m_server.Url(QStringLiteral("/two")));
    ASSERT_TRUE(WaitUntil([&] {
        const Message* title = Last(MessageType::TitleChanged, view);
        return title && title->Text(0) == "Second page";
    }));
    EXPECT_EQ(m_server.Url(QStringLiteral("/two")).toStdString(),
              Last(MessageType::AddressChanged, view)->Text(0));
    ASSERT_TRUE(WaitUntil([&] {
        const Message* state = Last(MessageType::CommandState, view);
        return state && state->Integer(0) == 1 && state->Integer(1) == 0;
    }));

    Send(MessageType::GoBack, view);
    ASSERT_TRUE(WaitUntil([&] {
        const Message* state = Last(MessageType::CommandState, view);
        const Message* title = Last(MessageType::TitleChanged, view);
        return state && state->Integer(0) == 0 && state->Integer(1) == 1 && title &&
               title->Text(0) == "First page";
    }));
    EXPECT_EQ(0, m_failures);
}

TEST_F(TWebKitHostTest, SnapshotHasTheViewsSizeAndThePagesPixels)
{
    m_server.Serve(QStringLiteral("/red"),
                   Page("Red", "<style>html,body{margin:0;background:#ff0000;overflow:hidden}</style>"),
                   "text/html");
    Start();
    const std::uint32_t view = NewView(QSize(320, 200));
    Load(view, m_server.Url(QStringLiteral("/red")));

    Send(MessageType::Snapshot, view, {42});
    ASSERT_TRUE(WaitUntil([&] { return Last(MessageType::SnapshotReady, view) != nullptr; }, 20000));
    const Message& shot = *Last(MessageType::SnapshotReady, view);
    EXPECT_EQ(42, shot.Integer(0));
    ASSERT_EQ(320, shot.Integer(1));
    ASSERT_EQ(200, shot.Integer(2));
    ASSERT_EQ(std::size_t(320 * 200 * 4), shot.data.size());
    const QImage image(reinterpret_cast<const uchar*>(shot.data.data()), 320, 200, 320 * 4,
                       QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(qRgb(255, 0, 0), image.pixel(160, 100));
    EXPECT_EQ(qRgb(255, 0, 0), image.pixel(319, 199));
}

TEST_F(TWebKitHostTest, PageTextLengthAddsReadableFramesInUtf8Bytes)
{
    m_server.Serve(QStringLiteral("/inner"), Page("Inner", "\u00dcn\u00efcode"), "text/html");
    // The second frame comes from another origin ("localhost" against "127.0.0.1"): the page
    // may not read it, so it counts nothing.
    const QByteArray foreign = "http://localhost:" + QByteArray::number(m_server.Port()) + "/inner";
    m_server.Serve(QStringLiteral("/outer"),
                   Page("Outer", "<div>Top</div><div><iframe src='/inner'></iframe><iframe src='" + foreign +
                                     "'></iframe></div>"),
                   "text/html");
    Start();
    const std::uint32_t view = NewView();
    Load(view, m_server.Url(QStringLiteral("/outer")));

    const std::int64_t outerOnly =
        Evaluate(view, QStringLiteral("new TextEncoder().encode(document.body.innerText).length"));
    ASSERT_GT(outerOnly, 0);
    EXPECT_EQ(outerOnly + QByteArray("\u00dcn\u00efcode").size(), Evaluate(view, PageTextLength::Script()));
    EXPECT_EQ(-1, Evaluate(view, QStringLiteral("'not a number'")));
}

TEST_F(TWebKitHostTest, PopUpsAndCloseRequestsGoToTheProgram)
{
    m_server.Serve(QStringLiteral("/opener"),
                   Page("Opener", "<script>function go(){ window.open('/popup'); }</script>"), "text/html");
    Start();
    const std::uint32_t view = NewView();
    Load(view, m_server.Url(QStringLiteral("/opener")));

    Evaluate(view, QStringLiteral("go(), 1"));
    ASSERT_TRUE(WaitUntil([&] { return Last(MessageType::NewWindow, view) != nullptr; }));
    EXPECT_EQ(m_server.Url(QStringLiteral("/popup")).toStdString(),
              Last(MessageType::NewWindow, view)->Text(0));

    Evaluate(view, QStringLiteral("window.close(), 1"));
    EXPECT_TRUE(WaitUntil([&] { return Last(MessageType::CloseRequested, view) != nullptr; }));
}

TEST_F(TWebKitHostTest, AKilledHostFailsOnce)
{
    Start();
    NewView();
    ASSERT_GT(m_host->ProcessId(), 0);
    ::kill(pid_t(m_host->ProcessId()), SIGKILL);
    ASSERT_TRUE(WaitUntil([this] { return m_failures > 0; }));
    ProcessEventsFor(200);
    EXPECT_EQ(1, m_failures);
    EXPECT_FALSE(m_host->IsReady());
}

TEST_F(TWebKitHostTest, ASilentHostCountsAsHungAndIsKilled)
{
    Start();
    NewView();
    EXPECT_FALSE(m_host->IsStarting());
    m_host->SetHangLimit(1000);
    const qint64 pid = m_host->ProcessId();
    ::kill(pid_t(pid), SIGSTOP);
    ASSERT_TRUE(WaitUntil([this] { return m_failures > 0; }));
    EXPECT_EQ(1, m_failures);
    // Killed, not left stopped behind the program's back.
    EXPECT_TRUE(WaitUntil([pid] { return ::kill(pid_t(pid), 0) != 0; }));
}

// The host's program behind a gate: it starts only when the test lets it, like a helper whose
// libraries come from a cold disk on a busy machine.
QString GatedHost(const QTemporaryDir& folder)
{
    const QString script = folder.filePath(QStringLiteral("gated-host"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\nwhile [ ! -e '" + folder.filePath(QStringLiteral("go")).toUtf8() +
               "' ]; do sleep 0.02; done\nexec '" + TWebKitHost::DefaultProgram().toUtf8() + "' \"$@\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}

TEST_F(TWebKitHostTest, AHostSlowToStartIsNotTakenForHungButOneThatNeverStartsIs)
{
    // Silent for many hang limits before its hello: still starting, so it is waited for.
    m_host->SetHangLimit(100);
    const QString gated = GatedHost(m_profile);
    ASSERT_TRUE(m_host->Start(gated, m_profile.filePath(QStringLiteral("WebKit"))));
    ProcessEventsFor(1500);
    EXPECT_EQ(0, m_failures);
    QFile go(m_profile.filePath(QStringLiteral("go")));
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    go.close();
    ASSERT_TRUE(WaitUntil([this] { return m_host->IsReady() || m_host->HasFailed(); }, 20000));
    EXPECT_TRUE(m_host->IsReady());
    NewView();
    EXPECT_FALSE(m_host->IsStarting());
    EXPECT_EQ(0, m_failures);

    // One that never comes up reaches the start limit.
    QTemporaryDir other;
    TWebKitHost never;
    int failures = 0;
    QObject::connect(&never, &TWebKitHost::Failed, &never, [&failures] { ++failures; });
    never.SetStartLimit(300);
    ASSERT_TRUE(never.Start(GatedHost(other), other.filePath(QStringLiteral("WebKit"))));
    ASSERT_TRUE(WaitUntil([&failures] { return failures > 0; }));
    EXPECT_EQ(1, failures);
}

TEST_F(TWebKitHostTest, AnswersOnlyWhenTheProgramIsAHostThatSaysHello)
{
    EXPECT_TRUE(TWebKitHost::Answers(TWebKitHost::DefaultProgram(), 10000));
    EXPECT_FALSE(TWebKitHost::Answers(m_profile.filePath(QStringLiteral("missing")), 2000));
    // A program that starts but never connects.
    EXPECT_FALSE(TWebKitHost::Answers(QStringLiteral("/bin/true"), 2000));
}
