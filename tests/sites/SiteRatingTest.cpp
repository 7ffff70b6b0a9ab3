#include "sites/SiteRating.h"

#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QObject>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

TEST(SiteRating, TheCatalogsRatingWinsOverTheStoredOne)
{
    TWebApplicationList applications;
    applications.Add(17, nullptr).SetUserRating(4.5f);
    TMorvalenBaseClass site;
    site.SetUserRating(2.0f);

    site.SetCatalogId(17);
    EXPECT_FLOAT_EQ(SiteRating::CurrentRating(site, applications), 4.5f);
    // An application the current list does not know: the rating stored with the site.
    site.SetCatalogId(18);
    EXPECT_FLOAT_EQ(SiteRating::CurrentRating(site, applications), 2.0f);
}

TEST(SiteRating, TheAddressCarriesApplicationAndRating)
{
    EXPECT_EQ(SiteRating::Address(u"http://127.0.0.1:8370"_s, 17, 3),
              u"http://127.0.0.1:8370/link/update.php?imgId=17&rating=3"_s);
    EXPECT_EQ(SiteRating::Address(u"http://catalog.example/"_s, 5, 1),
              u"http://catalog.example/link/update.php?imgId=5&rating=1"_s);
}

TEST(SiteRating, RatingSendsOneRequestAndMarksTheSiteAsRated)
{
    TestHttpServer server;
    server.Serve(u"/link/update.php"_s, "OK");
    TMorvalenBaseClass site;
    site.SetCatalogId(17);
    site.SetCanRate(true);
    QObject owner;

    SiteRating::Rate(site, 3, server.Url(QString()), &owner);
    EXPECT_FALSE(site.CanRate());
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount(u"/link/update.php"_s) == 1; }));
    EXPECT_EQ(server.Requests().value(0).target, "/link/update.php?imgId=17&rating=3");
    // The worker frees itself once it is done.
    ASSERT_TRUE(WaitUntil([&] { return owner.children().isEmpty(); }));
    ProcessEventsFor(100);
    EXPECT_EQ(server.RequestCount(u"/link/update.php"_s), 1);
}

TEST(SiteRating, ASiteCountsAsRatedWhenTheServerIsDown)
{
    TMorvalenBaseClass site;
    site.SetCatalogId(4);
    site.SetCanRate(true);
    QObject owner;
    SiteRating::Rate(site, 5, u"http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort()), &owner);
    EXPECT_FALSE(site.CanRate());
    EXPECT_TRUE(WaitUntil([&] { return owner.children().isEmpty(); }));
}

TEST(SiteRating, AHangingServerDoesNotHoldUpTheOwnersEnd)
{
    TestSilentServer server;
    auto owner = std::make_unique<QObject>();
    SiteRating::Send(server.Url(QString()), 1, 1, owner.get());
    ProcessEventsFor(50);
    QElapsedTimer clock;
    clock.start();
    owner.reset();
    // The worker is stopped, not waited out (the transfer would give up only after seconds).
    EXPECT_LT(clock.elapsed(), 3000);
}
