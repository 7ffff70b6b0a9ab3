#pragma once

#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "catalogviews/TCatalogSearch.h"
#include "catalogviews/TCatalogViews.h"
#include "server/ServerProcess.h"
#include "stores/TFileCacheManager.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

// What the main window does for the catalog views, recorded: the status line, the busy
// indicator and the pending count as the main window keeps them, and the pages opened.
struct MainWindowStandIn
{
    QString status;
    bool busy = false;
    int pending = 0;
    int pendingFives = 0;
    bool hiddenToTray = false;
    struct Opened
    {
        QString address;
        QString title;
    };
    std::vector<Opened> opened;
    std::vector<QString> screenshots;
    std::vector<QString> recommended;
    std::vector<QString> installed;

    void SetPending(int count)
    {
        pending = count;
        if (count == 5)
            ++pendingFives;
        if (count == 0) {
            busy = false;
            status.clear();
            pending = 99;
        }
    }

    TCatalogHooks Hooks()
    {
        TCatalogHooks hooks;
        hooks.SetStatusText = [this](const QString& text) {
            status = text;
        };
        hooks.StartBusy = [this] {
            busy = true;
        };
        hooks.SetPending = [this](int count) {
            SetPending(count);
        };
        hooks.CountDown = [this] {
            SetPending(pending - 1);
        };
        hooks.IsHiddenToTray = [this] {
            return hiddenToTray;
        };
        hooks.OpenWebPage = [this](const QString& address, const QString& title, bool) {
            opened.push_back({address, title});
        };
        hooks.ShowScreenshot = [this](TWebApplicationClass& application) {
            screenshots.push_back(application.Title());
        };
        hooks.RecommendApplication = [this](TWebApplicationClass& application) {
            recommended.push_back(application.Title());
        };
        hooks.InstallApplication = [this](TWebApplicationClass& application) {
            installed.push_back(application.Title());
        };
        return hooks;
    }
};

// The catalog views in a page control, fed by the real catalog server over the sample
// catalog, with the file cache in a temporary folder.
class CatalogViewsTest : public ::testing::Test
{
protected:
    void SetUp() override { StartServer(); }

    void StartServer(const QString& catalogFolder = QString::fromUtf8(MORVALEN_SAMPLE_CATALOG))
    {
        m_server =
            std::make_unique<ServerProcess>(catalogFolder, m_dir.filePath(QStringLiteral("ratings.sqlite")));
        ASSERT_GT(m_server->Port(), 0);
        m_address = m_server->BaseURL();
    }

    // A fresh program run over the same cache folder.
    void MakeViews()
    {
        m_search.reset();
        m_views.reset();
        m_pages.reset();
        m_cache.reset();
        m_applications = std::make_unique<TWebApplicationList>();
        m_tree = std::make_unique<TWebCategoryTree>();
        m_window = MainWindowStandIn{};
        QDir().mkpath(m_dir.filePath(QStringLiteral("Cache")));
        m_cache = std::make_unique<TFileCacheManager>();
        m_cache->SetCacheFolder(m_dir.filePath(QStringLiteral("Cache")));
        m_cache->LoadIndex(m_dir.filePath(QStringLiteral("Cache.dat")));
        // The pages as the main window makes them: empty, with an empty box layout.
        m_pages = std::make_unique<QTabWidget>();
        m_pages->resize(1100, 760);
        for (const char* caption :
             {"What's New", "Recommended", "Popular", "Highest Rated", "Categories", "Installed"}) {
            auto* page = new QWidget;
            new QVBoxLayout(page);
            m_pages->addTab(page, QString::fromUtf8(caption));
        }
        m_pages->setCurrentIndex(TCatalogViews::kInstalledPage);
        m_views = std::make_unique<TCatalogViews>(*m_pages, *m_cache, *m_tree, *m_applications, m_address,
                                                  m_window.Hooks());
        m_search = std::make_unique<TCatalogSearch>(*m_views);
    }

    // Refreshes and waits until all five jobs counted down.
    void RefreshAndWait()
    {
        m_window.pending = 0;
        m_views->RefreshCatalog();
        ASSERT_TRUE(WaitUntil([this] { return m_window.pending == 99; }, 30000)) << m_window.pending;
    }

    void TearDown() override
    {
        m_search.reset();
        m_views.reset();
        m_pages.reset();
        m_cache.reset();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    QString m_address;
    MainWindowStandIn m_window;
    std::unique_ptr<TFileCacheManager> m_cache;
    std::unique_ptr<TWebCategoryTree> m_tree;
    std::unique_ptr<TWebApplicationList> m_applications;
    std::unique_ptr<QTabWidget> m_pages;
    std::unique_ptr<TCatalogViews> m_views;
    std::unique_ptr<TCatalogSearch> m_search;
};
