// Files no catalog server should send: each must be harmless to every catalog reader and
// read the way the readers' rules say.

#include "catalog/TRemoteVersion.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"
#include "common/Errors.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kHugeSize = 100 * kMiB;

// The process's peak resident size in bytes, from /proc.
qint64 PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    }
    return -1;
}

// Measures the peak memory of one step: the growth of the peak resident size. Resetting
// the peak first keeps earlier work out of it where the kernel allows that.
class PeakMemory final
{
public:
    PeakMemory()
    {
        std::ofstream("/proc/self/clear_refs") << "5";
        m_before = PeakResidentBytes();
    }
    qint64 Growth() const { return PeakResidentBytes() - m_before; }

private:
    qint64 m_before;
};

// Reports whether anything opened or read a file while it was watched.
class FileAccessWatch final
{
public:
    explicit FileAccessWatch(const QString& path) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(m_fd, 0);
        EXPECT_GE(inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN | IN_ACCESS), 0);
    }
    ~FileAccessWatch() { close(m_fd); }

    FileAccessWatch(const FileAccessWatch&) = delete;
    FileAccessWatch& operator=(const FileAccessWatch&) = delete;

    bool Touched() const
    {
        alignas(inotify_event) char buffer[4096];
        return read(m_fd, buffer, sizeof buffer) > 0;
    }

private:
    int m_fd;
};

class HostileCatalogFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tree.LoadFromFile(
            Write(u"categories.xml"_s, R"(<categories><category id="1" title="Kept"/></categories>)"));
        m_list.OnGetCategory = [this](TWebApplicationList&, int32_t id) {
            return m_tree.FindById(id);
        };
        m_list.OnListChanged = [this](TWebApplicationList&) {
            ++m_changes;
        };
        m_list.LoadFromFile(Write(u"known.xml"_s, R"(<webapplications><webapp nid="1" cat_id="1">)"
                                                  R"(<description><title>Kept</title></description>)"
                                                  R"(</webapp></webapplications>)"));
        ASSERT_EQ(m_list.Count(), 1);
        m_changes = 0;
    }

    QString Write(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        WriteFile(path, data);
        return path;
    }

    // head, then size bytes of filler in 1 MiB writes, then tail.
    QString WriteHuge(const QString& name, const QByteArray& head, char filler, const QByteArray& tail)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(head);
        const QByteArray chunk(kMiB, filler);
        for (qint64 written = 0; written < kHugeSize; written += kMiB)
            file.write(chunk);
        file.write(tail);
        return path;
    }

    // The category tree, the application list and the version reader each read the file.
    // The tree may refuse it with an error; it must be one of the program's.
    struct Outcome
    {
        QString treeError;
        TWebApplicationList::Applications listed;
        bool versionFound = false;
    };

    Outcome ReadWithEveryReader(const QString& path)
    {
        Outcome outcome;
        try {
            m_tree.LoadFromFile(path);
        } catch (const EMorvalenError& error) {
            outcome.treeError = error.Message();
        }
        m_list.LoadFromFile(path, &outcome.listed);
        TRemoteVersion version;
        version.LoadFromFile(path);
        outcome.versionFound = version.Found();
        return outcome;
    }

    void ExpectStoresUntouched()
    {
        ASSERT_EQ(m_tree.Count(), 1);
        EXPECT_EQ(m_tree.Nodes(0).Category().Title(), u"Kept"_s);
        ASSERT_EQ(m_list.Count(), 1);
        EXPECT_EQ(m_list.Items(0).Title(), u"Kept"_s);
        EXPECT_EQ(m_changes, 0);
    }

    QTemporaryDir m_dir;
    TWebCategoryTree m_tree;
    TWebApplicationList m_list;
    int m_changes = 0;
};

} // namespace

TEST_F(HostileCatalogFiles, MalformedXmlChangesNothing)
{
    const QByteArray broken[] = {
        "<webapplications><webapp nid=\"2\" cat_id=\"1\"></webapplications>",
        "<categories><category id=\"2\" title=\"x\"></categories>",
        "<products><product id=\"MorvalenDesktop\"><versions><version major=\"9\" minor=\"0\" release=\"0\" "
        "build=\"0\"></versions></product></products>",
        "<webapplications><webapp nid=\"2 cat_id=\"1\"/></webapplications>",
        "<webapplications/><webapplications><webapp nid=\"2\" cat_id=\"1\"/></webapplications>",
        "<webapplications><webapp nid=\"2\" cat_id=\"1\"/></webapplications>trailing text",
        "leading text<webapplications><webapp nid=\"2\" cat_id=\"1\"/></webapplications>",
        "<webapplications>&#x0;</webapplications",
        "\x89PNG\r\n\x1a\n\0\0\0\rIHDR",
        "",
        "   \n",
    };
    int index = 0;
    for (const QByteArray& data : broken) {
        const Outcome outcome = ReadWithEveryReader(Write(u"broken%1.xml"_s.arg(index++), data));
        EXPECT_FALSE(outcome.treeError.isEmpty()) << data.toStdString();
        EXPECT_TRUE(outcome.listed.empty()) << data.toStdString();
        EXPECT_FALSE(outcome.versionFound) << data.toStdString();
        ExpectStoresUntouched();
    }
}

TEST_F(HostileCatalogFiles, ADocumentOfAnotherKindChangesNothing)
{
    const QByteArray otherKinds[] = {
        "<html><body><webapplications><webapp nid=\"2\" cat_id=\"1\"/></webapplications></body></html>",
        "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>News</title></feed>",
        "<wa:webapplications xmlns:wa=\"urn:x\"><wa:webapp nid=\"2\" cat_id=\"1\"/></wa:webapplications>",
        "<WebApplications><webapp nid=\"2\" cat_id=\"1\"/></WebApplications>",
    };
    int index = 0;
    for (const QByteArray& data : otherKinds) {
        const Outcome outcome = ReadWithEveryReader(Write(u"other%1.xml"_s.arg(index++), data));
        EXPECT_TRUE(outcome.treeError.isEmpty()) << data.toStdString();
        EXPECT_TRUE(outcome.listed.empty()) << data.toStdString();
        EXPECT_FALSE(outcome.versionFound) << data.toStdString();
        ExpectStoresUntouched();
    }

    // Each reader refuses the other two kinds.
    const QString versionFile =
        Write(u"version.xml"_s, R"(<products><product id="MorvalenDesktop"><versions>)"
                                R"(<version major="2" minor="0" release="0" build="0"/>)"
                                R"(</versions></product></products>)");
    const Outcome version = ReadWithEveryReader(versionFile);
    EXPECT_TRUE(version.versionFound);
    EXPECT_TRUE(version.listed.empty());
    const Outcome categories = ReadWithEveryReader(m_dir.filePath(u"categories.xml"_s));
    EXPECT_TRUE(categories.listed.empty());
    EXPECT_FALSE(categories.versionFound);
    ExpectStoresUntouched();
}

TEST_F(HostileCatalogFiles, AnEntityBombExpandsNothing)
{
    QByteArray doctype = "<!DOCTYPE webapplications [\n<!ENTITY lol \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        doctype += "<!ENTITY lol" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            doctype += "&lol" + (level > 1 ? QByteArray::number(level - 1) : QByteArray()) + ";";
        doctype += "\">\n";
    }
    doctype += "]>\n";
    const QString path = Write(
        u"bomb.xml"_s,
        doctype +
            R"(<webapplications><webapp nid="2" cat_id="1"><description><title>&lol9;</title>)"
            R"(<tagline>&lol9;&lol9;&lol9;</tagline></description><price cost="&lol9;"/></webapp></webapplications>)");

    const PeakMemory memory;
    const TWebApplicationList::Applications listed = [&] {
        TWebApplicationList::Applications target;
        m_list.LoadFromFile(path, &target);
        return target;
    }();
    // A billion "lol"s would need gigabytes; the file is under 2 KiB.
    EXPECT_LT(memory.Growth(), 16 * kMiB);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->Title(), u"&lol9;"_s);
    EXPECT_EQ(listed[0]->Tagline(), u"&lol9;&lol9;&lol9;"_s);
    EXPECT_EQ(listed[0]->Cost(), u"&lol9;"_s);
}

TEST_F(HostileCatalogFiles, AnExternalEntityOpensNoOtherFile)
{
    const QString secret = Write(u"secret.txt"_s, "the secret");
    const QString url = u"file://"_s + secret;
    const QString path = Write(
        u"xxe.xml"_s,
        (u"<?xml version=\"1.0\"?>\n<!DOCTYPE webapplications SYSTEM \"%1\" [\n"
         u"<!ENTITY xxe SYSTEM \"%1\">\n<!ENTITY % pe SYSTEM \"%1\"> %pe;\n]>\n"
         u"<webapplications><webapp nid=\"2\" cat_id=\"1\"><description><title>&xxe;</title></description>"
         u"<links><main_url>&xxe;</main_url></links></webapp></webapplications>"_s)
            .arg(url)
            .toUtf8());
    const QString categories =
        Write(u"xxe-categories.xml"_s, (u"<!DOCTYPE categories [<!ENTITY xxe SYSTEM \"%1\">]>"
                                        u"<categories><category id=\"5\" title=\"&xxe;\"/></categories>"_s)
                                           .arg(url)
                                           .toUtf8());
    const QString version =
        Write(u"xxe-version.xml"_s, (u"<!DOCTYPE products [<!ENTITY xxe SYSTEM \"%1\">]>"
                                     u"<products><product id=\"MorvalenDesktop\"><versions>"
                                     u"<version major=\"2\" minor=\"0\" release=\"0\" build=\"0\">"
                                     u"<description>&xxe;</description></version>"
                                     u"</versions></product></products>"_s)
                                        .arg(url)
                                        .toUtf8());

    const FileAccessWatch watch(secret);
    TWebApplicationList::Applications listed;
    m_list.LoadFromFile(path, &listed);
    m_tree.LoadFromFile(categories);
    TRemoteVersion remote;
    remote.LoadFromFile(version);
    EXPECT_FALSE(watch.Touched());

    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->Title(), u"&xxe;"_s);
    EXPECT_EQ(listed[0]->MainURL(), u"&xxe;"_s);
    EXPECT_EQ(m_tree.FindById(5)->Title(), u"&xxe;"_s);
    ASSERT_TRUE(remote.Found());
    EXPECT_EQ(remote.Description(), u"&xxe;"_s);
}

TEST_F(HostileCatalogFiles, AHundredMegabyteFileIsRefusedBeforeItIsParsed)
{
    // Parsed, such a file would cost several times its size; it is not even read.
    const QString list = WriteHuge(
        u"huge-list.xml"_s, R"(<webapplications><webapp nid="2" cat_id="1"><description><maindescription>)",
        'l', "</maindescription></description></webapp></webapplications>");
    {
        const PeakMemory memory;
        TWebApplicationList::Applications listed;
        EXPECT_FALSE(m_list.LoadFromFile(list, &listed));
        EXPECT_LT(memory.Growth(), 4 * kMiB);
        EXPECT_TRUE(listed.empty());
        EXPECT_EQ(m_list.FindById(2), nullptr);
    }

    // The category tree stays as it was, and says why.
    const QString categories = WriteHuge(u"huge-categories.xml"_s, "<categories>", 'c', "</categories>");
    {
        const PeakMemory memory;
        try {
            m_tree.LoadFromFile(categories);
            ADD_FAILURE() << "a file over the limit was read";
        } catch (const EMorvalenError& error) {
            EXPECT_TRUE(error.Message().contains(u"larger than 16 MB"_s)) << error.Message().toStdString();
        }
        EXPECT_LT(memory.Growth(), 4 * kMiB);
        EXPECT_EQ(m_tree.FindById(1)->Title(), u"Kept"_s);
    }

    const QString version = WriteHuge(
        u"huge-version.xml"_s,
        R"(<products><product id="MorvalenDesktop"><versions><version major="2" minor="0" release="0" build=")",
        '9', R"("/></versions></product></products>)");
    {
        const PeakMemory memory;
        TRemoteVersion remote;
        remote.LoadFromFile(version);
        EXPECT_LT(memory.Growth(), 4 * kMiB);
        EXPECT_FALSE(remote.Found());
    }
}

TEST_F(HostileCatalogFiles, ElementsNestedEndlesslyAreNoCatalogFile)
{
    QByteArray deep = "<webapplications>";
    deep += QByteArray("<webapp>").repeated(200000) + QByteArray("</webapp>").repeated(200000);
    deep += "</webapplications>";
    const QString path = Write(u"deep.xml"_s, deep);
    EXPECT_FALSE(m_list.LoadFromFile(path));
    // A few levels are what a catalog has; they still read.
    const QString shallow =
        Write(u"shallow.xml"_s, R"(<webapplications><webapp nid="3" cat_id="1"><description>)"
                                R"(<title>Three</title></description></webapp></webapplications>)");
    EXPECT_TRUE(m_list.LoadFromFile(shallow));
}
