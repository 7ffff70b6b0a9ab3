// The sample catalog server the program starts for itself: the real server program on the
// sample catalog, on a loopback port of its own, ended with its owner.

#include "platform/BundledCatalogServer.h"
#include "stores/SiteAddress.h"

#include <QByteArray>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(BundledCatalogServer, ServesTheSampleCatalogOnItsOwnPortAndEndsWithItsOwner)
{
#ifndef MORVALEN_TEST_CATALOG_SERVER
    GTEST_SKIP() << "skipped: the catalog server is not built";
#else
    QString error;
    uint16_t port = 0;
    {
        const auto server = BundledCatalogServer::Start(QStringLiteral(MORVALEN_TEST_CATALOG_SERVER),
                                                        QStringLiteral(MORVALEN_TEST_SAMPLE_CATALOG), error);
        ASSERT_NE(server, nullptr) << error.toStdString();
        port = server->Port();
        EXPECT_NE(port, 8370); // never the address a desktop's own server takes
        EXPECT_EQ(server->Address(), u"http://127.0.0.1:%1"_s.arg(port));
        // The catalog's first list, as the program asks for it.
        QByteArray list;
        ASSERT_TRUE(
            DownloadToStream(server->Address() + u"/xmlcache/categorylist.xml"_s, list, HttpLimits{}, {}));
        EXPECT_TRUE(list.contains("<")) << list.left(200).toStdString();
    }
    EXPECT_FALSE(BundledCatalogServer::Answers(port, 500));

    // A server that cannot start says why and leaves nothing running.
    EXPECT_EQ(BundledCatalogServer::Start(u"/nonexistent/morvalen-catalog-server"_s,
                                          QStringLiteral(MORVALEN_TEST_SAMPLE_CATALOG), error, 2000),
              nullptr);
    EXPECT_TRUE(error.contains(u"/nonexistent/morvalen-catalog-server"_s)) << error.toStdString();
#endif
}
