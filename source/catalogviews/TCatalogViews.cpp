#include "TCatalogViews.h"

#include "TCatalogDetailsPanel.h"
#include "TCatalogListModel.h"
#include "TCatalogListView.h"
#include "TCatalogSearch.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/CatalogXml.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"
#include "common/Errors.h"
#include "panels/TMVFrame.h"
#include "stores/TFileCacheManager.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QLocale>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kCategoryIdRole = Qt::UserRole + 1;
constexpr int kCountRole = Qt::UserRole + 2;
constexpr int kTopLevelRole = Qt::UserRole + 3;
constexpr int kCategoryPointerRole = Qt::UserRole + 4;

constexpr int kCategoriesTag = 3;

// The list kinds in the order they are requested, with their tags and pages.
struct ListKindInfo
{
    int tag;
    int page;
    const char16_t* caption;
};
constexpr std::array<ListKindInfo, kCatalogListCount> kListKinds = {{
    {1, TCatalogViews::kWhatsNewPage, u"What's New"},
    {2, TCatalogViews::kRecommendedPage, u"Recommended"},
    {4, TCatalogViews::kPopularPage, u"Popular"},
    {5, TCatalogViews::kHighestRatedPage, u"Highest Rated"},
}};

QString TotalText(size_t count)
{
    return u"Total web applications: %1"_s.arg(count);
}

// A page may come with an empty layout of its own; the page's contents go into it.
void PutLayout(QWidget& page, QBoxLayout* layout)
{
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    if (QLayout* existing = page.layout()) {
        if (auto* box = qobject_cast<QBoxLayout*>(existing)) {
            box->addLayout(layout);
            return;
        }
        delete existing;
    }
    page.setLayout(layout);
}

QString CategoryRowText(const QString& title, int count)
{
    return count >= 1 ? title + u" ("_s + QString::number(count) + u")"_s : title;
}

} // namespace

TCatalogViews::TCatalogViews(QTabWidget& pages, TFileCacheManager& cache, TWebCategoryTree& tree,
                             TWebApplicationList& applications, QString serverAddress, TCatalogHooks hooks,
                             QObject* parent)
    : QObject(parent), m_pages(pages), m_cache(cache), m_tree(tree), m_applications(applications),
      m_serverAddress(std::move(serverAddress)), m_hooks(std::move(hooks))
{
    if (m_pages.count() < 5)
        throw EMorvalenError(u"The page control lacks the catalog pages."_s);
    m_applications.OnGetCategory = [this](TWebApplicationList&, int32_t id) {
        return m_tree.FindById(id);
    };
    m_applications.OnListChanged = [this](TWebApplicationList&) {
        if (!m_preloading)
            UpdateCategoryCounts();
    };
    for (const ListKindInfo& kind : kListKinds)
        m_tabPages[size_t(kind.page)] = m_pages.widget(kind.page);
    m_tabPages[kCategoriesPage] = m_pages.widget(kCategoriesPage);
    for (int page = 0; page < 5; ++page)
        m_pages.setTabVisible(page, false);
    m_pages.tabBar()->installEventFilter(this);
    BuildMenus();
}

TCatalogViews::~TCatalogViews()
{
    for (const QPointer<TCatalogListView>& view : m_lists) {
        if (view) {
            view->OnFocusChanged = nullptr;
            view->OnRowMenu = nullptr;
        }
    }
    m_applications.OnListChanged = nullptr;
    m_applications.OnGetCategory = nullptr;
}

TCatalogViews& TCatalogViews::Built() const
{
    auto& views = const_cast<TCatalogViews&>(*this);
    views.BuildPages();
    return views;
}

void TCatalogViews::BuildPages()
{
    if (std::exchange(m_pagesBuilt, true))
        return;
    for (const ListKindInfo& kind : kListKinds)
        BuildListPage(*m_tabPages[size_t(kind.page)], kind.tag, QString::fromUtf16(kind.caption));
    BuildCategoriesPage(*m_tabPages[kCategoriesPage]);
}

void TCatalogViews::BuildListPage(QWidget& page, int tag, const QString& caption)
{
    auto* column = new QVBoxLayout;
    PutLayout(page, column);
    auto* frame = new TMVFrame(&page);
    frame->SetCaption(caption);
    frame->SetShowGlyph(false);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    auto* view = new TCatalogListView(tag, false, frame);
    frameLayout->addWidget(view);
    auto* panel = new TCatalogDetailsPanel(m_cache, &page);
    column->addWidget(frame, 1);
    column->addWidget(panel);
    m_lists[size_t(tag - 1)] = view;
    m_panels[size_t(tag - 1)] = panel;
    m_listFrames[size_t(tag - 1)] = frame;
    ConnectList(*view);
    ConnectDetailsActions(*panel);
}

void TCatalogViews::BuildCategoriesPage(QWidget& page)
{
    auto* row = new QHBoxLayout;
    PutLayout(page, row);

    auto* treeFrame = new TMVFrame(&page);
    treeFrame->SetCaption(u"Categories"_s);
    treeFrame->SetShowGlyph(false);
    treeFrame->SetShowHelpArea(false);
    treeFrame->setFixedWidth(249);
    auto* treeLayout = new QVBoxLayout(treeFrame);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    m_vstCategory = new QTreeWidget(treeFrame);
    m_vstCategory->setObjectName(u"vstCategory"_s);
    m_vstCategory->setHeaderHidden(true);
    m_vstCategory->setColumnCount(1);
    m_vstCategory->setUniformRowHeights(true);
    treeLayout->addWidget(m_vstCategory);
    connect(m_vstCategory, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { CategorySelected(current); });

    auto* right = new QVBoxLayout;
    auto* frame = new TMVFrame(&page);
    frame->setObjectName(u"frameCategoriesWebApplications"_s);
    frame->SetCaption(u"Applications"_s);
    frame->SetShowGlyph(false);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    auto* view = new TCatalogListView(kCategoriesTag, false, frame);
    frameLayout->addWidget(view);
    auto* panel = new TCatalogDetailsPanel(m_cache, &page);
    right->addWidget(frame, 1);
    right->addWidget(panel);
    row->addWidget(treeFrame);
    row->addLayout(right, 1);

    m_lists[kCategoriesTag - 1] = view;
    m_panels[kCategoriesTag - 1] = panel;
    m_listFrames[kCategoriesTag - 1] = frame;
    ConnectList(*view);
    ConnectDetailsActions(*panel);
}

void TCatalogViews::ConnectList(TCatalogListView& view)
{
    view.OnFocusChanged = [this](TCatalogListView& sender, TWebApplicationClass* application) {
        ListFocusChanged(sender, application);
    };
    view.OnRowMenu = [this](TCatalogListView&, TWebApplicationClass* application, QPoint globalPos) {
        RowMenu(application, globalPos);
    };
}

void TCatalogViews::ConnectDetailsActions(TCatalogDetailsPanel& panel)
{
    panel.OnInstall = [this](TWebApplicationClass*) {
        InstallFocused();
    };
    panel.OnVisit = [this](TWebApplicationClass*) {
        VisitFocused();
    };
    panel.OnSignUp = [this](TWebApplicationClass*) {
        SignUpFocused();
    };
    panel.OnTellAFriend = [this](TWebApplicationClass*) {
        TellAFriendFocused();
    };
    panel.OnZoom = [this](TWebApplicationClass*) {
        ViewScreenshotFocused();
    };
    panel.OnCategoryLink = [this](TWebApplicationClass*) {
        GoToCategory(FocusedApplication());
    };
    panel.IsInstalled = m_hooks.IsInstalled;
}

TCatalogListView& TCatalogViews::ListView(int tag) const
{
    if (tag < 1 || tag > 5)
        throw EMorvalenError(u"Index out of range!"_s);
    return *Built().m_lists[size_t(tag - 1)];
}

TCatalogDetailsPanel& TCatalogViews::DetailsPanel(int tag) const
{
    if (tag < 1 || tag > 5)
        throw EMorvalenError(u"Index out of range!"_s);
    return *Built().m_panels[size_t(tag - 1)];
}

QTreeWidget& TCatalogViews::CategoryView() const
{
    return *Built().m_vstCategory;
}

TMVFrame& TCatalogViews::ListFrame(int tag) const
{
    if (tag < 1 || tag > 5)
        throw EMorvalenError(u"Index out of range!"_s);
    return *Built().m_listFrames[size_t(tag - 1)];
}

void TCatalogViews::SetStatus(const QString& text)
{
    if (m_hooks.SetStatusText)
        m_hooks.SetStatusText(text);
}

void TCatalogViews::Unread(const QString& file)
{
    if (m_unreadText.isEmpty())
        m_unreadText = UnreadListText(file);
    SetStatus(m_unreadText);
}

void TCatalogViews::CountDown()
{
    if (m_hooks.CountDown)
        m_hooks.CountDown();
    // The end of a refresh clears the status line; what went wrong stays said.
    if (!m_unreadText.isEmpty())
        SetStatus(m_unreadText);
}

QString TCatalogViews::UnreadListText(const QString& file)
{
    if (CatalogXml::TooLarge(file))
        return u"The catalog server sent a list larger than %1 MB; it was not read."_s.arg(
            CatalogXml::MaxFileSize / (1024 * 1024));
    return u"The catalog server sent a list that could not be read."_s;
}

void TCatalogViews::SetOfflineNote(const QString& text)
{
    if (m_hooks.SetOfflineNote)
        m_hooks.SetOfflineNote(text);
}

// --- Refresh ------------------------------------------------------------------------------

void TCatalogViews::RefreshCatalog()
{
    BuildPages();
    if (!(m_hooks.IsHiddenToTray && m_hooks.IsHiddenToTray()) && m_hooks.StartBusy)
        m_hooks.StartBusy();
    SetStatus(u"Retrieving latest Web 2.0 applications.."_s);
    if (m_refreshing)
        return;
    m_refreshing = true;
    m_unreadText.clear();
    std::weak_ptr<bool> alive = m_alive;
    m_cache.RequestFile(Address(QString::fromUtf16(kCategoryListPath)), false, false, true,
                        [this, alive](const QString&, const QString&, TCacheStatus status) {
                            if (!alive.expired())
                                CategoryListArrived(status);
                        });
}

void TCatalogViews::CategoryListArrived(TCacheStatus status)
{
    const QString cached = m_cache.GetCachedFileName(Address(QString::fromUtf16(kCategoryListPath)), true);
    if (cached.isEmpty()) {
        m_refreshing = false;
        // Nothing to show and nothing more to wait for: the next refresh tries again. A list
        // that came but could not be stored is no server's fault.
        if (!m_cache.SaveError().isEmpty())
            SetOfflineNote(u"Can not save the catalog: %1"_s.arg(m_cache.SaveError().toHtmlEscaped()));
        else
            SetOfflineNote(u"The catalog server could not be reached."_s);
        if (m_hooks.StopBusy)
            m_hooks.StopBusy();
        return;
    }
    if (status == csFailed) {
        const QDateTime stored = QFileInfo(cached).lastModified();
        SetOfflineNote(u"The catalog server could not be reached. Showing the catalog of <b>%1</b>."_s.arg(
            QLocale().toString(stored, QLocale::ShortFormat)));
    } else {
        SetOfflineNote({});
    }
    m_reads.Read<TWebCategoryTree::FileRead>([cached] { return TWebCategoryTree::ReadFile(cached); },
                                             [this, cached](TWebCategoryTree::FileRead& read) {
                                                 m_refreshing = false;
                                                 CategoryListRead(cached, read);
                                             });
}

void TCatalogViews::CategoryListRead(const QString& cached, TWebCategoryTree::FileRead& read)
{
    try {
        m_tree.Take(read);
    } catch (const EMorvalenError&) {
        // A damaged list leaves the tree as it was; the views show that, and the status
        // line says why nothing changed.
        Unread(cached);
    }
    // The applications lost their categories with the old tree.
    m_preloading = true;
    m_applications.ResolveCategories();
    m_preloading = false;
    RebuildCategoryTree();
    m_pages.setTabVisible(kCategoriesPage, true);

    if (m_hooks.SetPending)
        m_hooks.SetPending(5);
    std::weak_ptr<bool> alive = m_alive;
    for (int kind = 0; kind < kCatalogListCount; ++kind) {
        m_cache.RequestFile(Address(CatalogListPath(kind)), false, false, true,
                            [this, alive, kind](const QString&, const QString& url, TCacheStatus) {
                                if (!alive.expired())
                                    ListArrived(kind, url);
                            });
    }
    QTimer::singleShot(0, this, [this] { PreloadCategories(); });
}

void TCatalogViews::ReadList(const QString& file,
                             std::function<void(TWebApplicationList::FileRead& read)> done)
{
    m_reads.Read<TWebApplicationList::FileRead>([file] { return TWebApplicationList::ReadFile(file); },
                                                std::move(done));
}

void TCatalogViews::ListArrived(int kind, const QString& url)
{
    const QString cached = m_cache.GetCachedFileName(url, true);
    if (cached.isEmpty()) {
        CountDown();
        return;
    }
    ReadList(cached,
             [this, kind, cached](TWebApplicationList::FileRead& file) { ListRead(kind, cached, file); });
}

void TCatalogViews::ListRead(int kind, const QString& cached, TWebApplicationList::FileRead& file)
{
    const ListKindInfo& info = kListKinds[size_t(kind)];
    const bool collapse = kind == clWhatsNew || kind == clRecommended;
    if (collapse)
        DetailsPanel(info.tag).Collapse();
    TWebApplicationList::Applications read;
    if (!m_applications.Merge(std::move(file), &read)) {
        // The list seen before stays, with its tab.
        Unread(cached);
        CountDown();
        return;
    }
    const size_t count = read.size();
    // An empty list empties its view too: "Show all tabs" must not bring back rows the
    // server no longer lists, under a count of 0.
    TCatalogListView& view = ListView(info.tag);
    if (collapse) {
        view.Fill(std::move(read));
    } else {
        // The other lists keep their row and panel: refilling the view leaves it without a
        // focused row for a moment, which must not read as the user leaving the row. The
        // records outlive the refill, so the row is found again when the list still has it.
        TWebApplicationClass* focused = view.FocusedApplication();
        auto onFocus = std::exchange(view.OnFocusChanged, nullptr);
        view.Fill(std::move(read));
        view.OnFocusChanged = std::move(onFocus);
        if (focused && !view.FocusApplication(focused))
            ShowDetails(nullptr, info.tag);
    }
    m_pages.setTabVisible(info.page, count > 0);
    ListFrame(info.tag).SetHelpText(TotalText(count));
    if (count > 0 && m_hooks.ListShown)
        m_hooks.ListShown(info.page);
    CountDown();
}

void TCatalogViews::PreloadCategories()
{
    for (int i = 0; i < m_tree.Count(); ++i) {
        TWebCategoryNode& node = m_tree.Nodes(i);
        std::vector<int32_t> ids{node.Category().ID()};
        for (int child = 0; child < node.Children().Count(); ++child)
            ids.push_back(node.Children().Items(child).ID());
        for (const int32_t id : ids) {
            const QString cached = m_cache.GetCachedFileName(Address(CategoryFilePath(id)), true);
            if (cached.isEmpty())
                continue;
            ReadList(cached, [this](TWebApplicationList::FileRead& read) {
                // Counted once for all of them.
                m_preloading = true;
                m_applications.Merge(std::move(read));
                m_preloading = false;
            });
        }
    }
    m_reads.AfterReads([this] {
        UpdateCategoryCounts();
        CountDown();
    });
}

// --- Category tree ------------------------------------------------------------------------

void TCatalogViews::RebuildCategoryTree()
{
    BuildPages();
    DetailsPanel(kCategoriesTag).Collapse();
    m_vstCategory->setUpdatesEnabled(false);
    {
        const QSignalBlocker quiet(m_vstCategory);
        m_vstCategory->clear();
    }
    ListView(kCategoriesTag).Fill({});
    QFont bold = m_vstCategory->font();
    bold.setBold(true);
    auto fill = [](QTreeWidgetItem* item, TWebCategoryClass& category, bool topLevel) {
        item->setText(0, category.Title());
        item->setData(0, kCategoryIdRole, category.ID());
        item->setData(0, kCountRole, 0);
        item->setData(0, kTopLevelRole, topLevel);
        item->setData(0, kCategoryPointerRole, QVariant::fromValue<void*>(&category));
    };
    for (int i = 0; i < m_tree.Count(); ++i) {
        TWebCategoryNode& node = m_tree.Nodes(i);
        auto* top = new QTreeWidgetItem(m_vstCategory);
        fill(top, node.Category(), true);
        top->setFont(0, bold);
        for (int child = 0; child < node.Children().Count(); ++child)
            fill(new QTreeWidgetItem(top), node.Children().Items(child), false);
        top->setExpanded(true);
    }
    m_vstCategory->setUpdatesEnabled(true);
    ListFrame(kCategoriesTag).SetHelpText(u"Please select category from the left to see its content"_s);
    UpdateCategoryCounts();
}

void TCatalogViews::UpdateCategoryCounts()
{
    BuildPages();
    QHash<const void*, int> counts;
    for (int i = 0; i < m_applications.Count(); ++i) {
        if (const TWebCategoryClass* category = m_applications.Items(i).Category())
            ++counts[category];
    }
    for (QTreeWidgetItemIterator it(m_vstCategory); *it; ++it) {
        QTreeWidgetItem* item = *it;
        const int count = counts.value(item->data(0, kCategoryPointerRole).value<void*>());
        if (item->data(0, kCountRole).toInt() == count)
            continue;
        item->setData(0, kCountRole, count);
        const TWebCategoryClass* category =
            static_cast<const TWebCategoryClass*>(item->data(0, kCategoryPointerRole).value<void*>());
        item->setText(0, CategoryRowText(category->Title(), count));
    }
}

QTreeWidgetItem* TCatalogViews::CategoryItem(int32_t categoryId) const
{
    if (!m_pagesBuilt)
        return nullptr;
    for (QTreeWidgetItemIterator it(m_vstCategory); *it; ++it) {
        if ((*it)->data(0, kCategoryIdRole).toInt() == categoryId)
            return *it;
    }
    return nullptr;
}

int32_t TCatalogViews::FocusedCategoryId() const
{
    if (!m_pagesBuilt)
        return -1;
    const QTreeWidgetItem* current = m_vstCategory->currentItem();
    return current ? current->data(0, kCategoryIdRole).toInt() : -1;
}

void TCatalogViews::FillCategoryList(int32_t categoryId)
{
    BuildPages();
    DetailsPanel(kCategoriesTag).Collapse();
    const QTreeWidgetItem* item = m_vstCategory->currentItem();
    const void* category = item ? item->data(0, kCategoryPointerRole).value<void*>() : nullptr;
    std::vector<TWebApplicationClass*> rows;
    if (category) {
        for (int i = 0; i < m_applications.Count(); ++i) {
            TWebApplicationClass& application = m_applications.Items(i);
            if (application.Category() == category && application.CategoryId() == categoryId)
                rows.push_back(&application);
        }
    }
    const size_t count = rows.size();
    TCatalogListView& view = ListView(kCategoriesTag);
    view.FillSortedByHeader(std::move(rows));
    ShowDetails(view.FocusedApplication(), kCategoriesTag);
    ListFrame(kCategoriesTag).SetHelpText(TotalText(count));
}

void TCatalogViews::CategorySelected(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const int32_t id = item->data(0, kCategoryIdRole).toInt();
    FillCategoryList(id);
    std::weak_ptr<bool> alive = m_alive;
    m_cache.RequestFile(Address(CategoryFilePath(id)), true, false, true,
                        [this, alive](const QString&, const QString& url, TCacheStatus status) {
                            if (!alive.expired())
                                CategoryFileArrived(url, status);
                        });
}

void TCatalogViews::CategoryFileArrived(const QString& url, TCacheStatus status)
{
    BuildPages();
    int32_t found = -1;
    for (QTreeWidgetItemIterator it(m_vstCategory); *it; ++it) {
        const int32_t id = (*it)->data(0, kCategoryIdRole).toInt();
        if (Address(CategoryFilePath(id)).compare(url, Qt::CaseInsensitive) == 0) {
            found = id;
            break;
        }
    }
    if (found < 0)
        return;
    const QString cached = m_cache.GetCachedFileName(url, true);
    if (cached.isEmpty())
        return;
    ReadList(cached, [this, found, status](TWebApplicationList::FileRead& read) {
        m_applications.Merge(std::move(read));
        CategoryFileRead(found, status);
    });
}

void TCatalogViews::CategoryFileRead(int32_t found, TCacheStatus status)
{
    if (FocusedCategoryId() != found || status != csDownloaded)
        return;
    // The new file may bring applications; the row the user (or GoToCategory) chose stays
    // chosen when its application is still there.
    TCatalogListView& view = ListView(kCategoriesTag);
    const TWebApplicationClass* focused = view.FocusedApplication();
    FillCategoryList(found);
    if (focused)
        view.FocusApplication(focused);
}

void TCatalogViews::GoToCategory(TWebApplicationClass* application)
{
    BuildPages();
    if (!application || !application->Category())
        return;
    ActivatePage(kCategoriesPage);
    if (QTreeWidgetItem* item = CategoryItem(application->Category()->ID())) {
        m_vstCategory->setCurrentItem(item);
        m_vstCategory->scrollToItem(item);
    }
    ListView(kCategoriesTag).FocusApplication(application);
}

// --- Lists and details ----------------------------------------------------------------------

void TCatalogViews::ListFocusChanged(TCatalogListView& view, TWebApplicationClass* application)
{
    ShowDetails(application, view.Tag());
}

void TCatalogViews::ShowDetails(TWebApplicationClass* application, int tag)
{
    if (tag < 1 || tag > 5)
        return;
    DetailsPanel(tag).ShowDetails(application);
}

TWebApplicationClass* TCatalogViews::FocusedApplication() const
{
    QWidget* page = m_pages.currentWidget();
    if (!page)
        return nullptr;
    // Lists not made yet have no focused row.
    if (m_pagesBuilt) {
        for (const ListKindInfo& kind : kListKinds) {
            if (page == m_tabPages[size_t(kind.page)])
                return ListView(kind.tag).FocusedApplication();
        }
        if (page == m_tabPages[kCategoriesPage])
            return ListView(kCategoriesTag).FocusedApplication();
    }
    return m_search ? m_search->FocusedApplication(page) : nullptr;
}

void TCatalogViews::ActivatePage(int index)
{
    m_pages.setTabVisible(index, true);
    m_pages.setCurrentIndex(index);
}

void TCatalogViews::InstallFocused()
{
    if (TWebApplicationClass* application = FocusedApplication(); application && m_hooks.InstallApplication)
        m_hooks.InstallApplication(*application);
}

void TCatalogViews::VisitFocused()
{
    if (TWebApplicationClass* application = FocusedApplication(); application && m_hooks.OpenWebPage)
        m_hooks.OpenWebPage(VisitAddress(application->MainURL()), application->Title(), false);
}

void TCatalogViews::SignUpFocused()
{
    if (TWebApplicationClass* application = FocusedApplication(); application && m_hooks.OpenWebPage)
        m_hooks.OpenWebPage(application->SignupURL(), application->Title(), false);
}

void TCatalogViews::TellAFriendFocused()
{
    if (TWebApplicationClass* application = FocusedApplication(); application && m_hooks.RecommendApplication)
        m_hooks.RecommendApplication(*application);
}

void TCatalogViews::ViewScreenshotFocused()
{
    if (TWebApplicationClass* application = FocusedApplication(); application && m_hooks.ShowScreenshot)
        m_hooks.ShowScreenshot(*application);
}
