#include "CatalogViewsFixture.h"

#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogDetailsPanel.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"

#include <QTreeWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

// Renders the catalog tabs over the sample catalog. With MORVALEN_SCREENSHOT_DIR set the
// pictures are saved there for a look by eye; either way they must not be blank.
TEST_F(CatalogViewsTest, CatalogTabsRenderWithTheSampleCatalog)
{
    MakeViews();
    RefreshAndWait();
    m_pages->show();
    const QString folder = qEnvironmentVariable("MORVALEN_SCREENSHOT_DIR");
    auto shoot = [&](int page, const QString& name) {
        m_pages->setCurrentIndex(page);
        ProcessEventsFor(200);
        const QImage picture = m_pages->grab().toImage();
        EXPECT_FALSE(picture.isNull());
        // A rendered page has many colours, not one blank fill.
        EXPECT_NE(picture.pixel(picture.width() / 2, 60), picture.pixel(5, picture.height() - 5))
            << name.toStdString();
        if (!folder.isEmpty())
            picture.save(folder + u"/"_s + name + u".png"_s);
    };
    TCatalogListView& whatsNew = m_views->ListView(1);
    m_pages->setCurrentIndex(0);
    whatsNew.FocusApplication(whatsNew.Model().Application(1));
    ASSERT_TRUE(WaitUntil(
        [&] { return m_views->DetailsPanel(1).PictureState() != TCatalogDetailsPanel::psLoading; }));
    shoot(0, u"whats-new"_s);
    m_views->ListView(5).ClickHeader(1);
    shoot(3, u"highest-rated"_s);
    QTreeWidgetItem* category = m_views->CategoryView().topLevelItem(0)->child(1);
    m_views->CategoryView().setCurrentItem(category);
    ProcessEventsFor(500);
    m_views->ListView(3).FocusApplication(m_views->ListView(3).Model().Application(0));
    ProcessEventsFor(500);
    shoot(4, u"categories"_s);
    m_search->Search(u"mail"_s);
    ASSERT_TRUE(WaitUntil([&] { return m_search->Records().front()->Count >= 0; }));
    shoot(m_pages->count() - 1, u"search"_s);
}

} // namespace
