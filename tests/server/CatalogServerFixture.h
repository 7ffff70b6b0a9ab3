#pragma once

#include "ServerProcess.h"
#include "TestCatalog.h"

#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

// The real server over the test catalog, lists of three, and the catalog model that reads
// its answers back as the program does.
class CatalogServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteFile(m_dir.filePath(QStringLiteral("catalog.json")), kTestCatalog);
        // The catalog's time is every file's Last-Modified until a vote comes.
        QFile catalog(m_dir.filePath(QStringLiteral("catalog.json")));
        ASSERT_TRUE(catalog.open(QIODevice::ReadWrite) &&
                    catalog.setFileTime(QDateTime::fromSecsSinceEpoch(kCatalogTime, Qt::UTC),
                                        QFileDevice::FileModificationTime));
        catalog.close();
        Start();
        ASSERT_GT(m_server->Port(), 0);
        const HttpAnswer categories = Get("/xmlcache/categorylist.xml");
        ASSERT_EQ(categories.status, 200);
        m_tree.LoadFromFile(Store(categories));
        m_list.OnGetCategory = [this](TWebApplicationList&, int32_t id) {
            return m_tree.FindById(id);
        };
    }

    void Start(const QStringList& extra = {})
    {
        m_server = std::make_unique<ServerProcess>(
            m_dir.path(), Database(),
            QStringList{QStringLiteral("--list-size"), QStringLiteral("3")} + extra);
    }

    // 2024-05-01 12:00:00 UTC
    static constexpr int64_t kCatalogTime = 1714564800;

    QString Database() const { return m_dir.filePath(QStringLiteral("ratings.sqlite")); }

    // Every answer of the server carries its exact length.
    HttpAnswer Get(const QByteArray& target, const QByteArray& method = "GET", const QByteArray& host = {},
                   const char* from = "127.0.0.1", const QByteArray& headers = {}) const
    {
        HttpAnswer answer = m_server->Get(target, method, host, from, headers);
        EXPECT_TRUE(answer.lengthMatches) << target.toStdString();
        return answer;
    }

    QString Store(const HttpAnswer& answer)
    {
        const QString path = m_dir.filePath(QStringLiteral("answer%1.xml").arg(++m_files));
        WriteFile(path, answer.body);
        return path;
    }

    // The applications a list answer names, in its order.
    std::vector<int32_t> ListIds(const QByteArray& target)
    {
        const HttpAnswer answer = Get(target);
        EXPECT_EQ(answer.status, 200) << target.toStdString();
        EXPECT_TRUE(answer.headers.value("content-type").startsWith("text/xml"));
        EXPECT_TRUE(answer.body.contains("<webapplications")) << target.toStdString();
        TWebApplicationList::Applications read;
        m_list.LoadFromFile(Store(answer), &read);
        std::vector<int32_t> ids;
        for (const TWebApplicationClass* application : read)
            ids.push_back(application->ID());
        return ids;
    }

    QByteArray Search(const QByteArray& rawText)
    {
        return "/xmlsearch.php?query=" + rawText + "&action=search";
    }

    // The user rating a fresh store reads from a list (the program keeps the first record it
    // read of an application, so a new store sees the new rating).
    float UserRatingIn(const QByteArray& target, int32_t id)
    {
        TWebApplicationList list;
        list.OnGetCategory = m_list.OnGetCategory;
        list.LoadFromFile(Store(Get(target)));
        const TWebApplicationClass* application = list.FindById(id);
        return application ? application->UserRating() : -1.0f;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    TWebCategoryTree m_tree;
    TWebApplicationList m_list;
    int m_files = 0;
};

using IdList = std::vector<int32_t>;
