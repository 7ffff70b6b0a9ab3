#pragma once

#include "catalog/TWebApplicationList.h"
#include "stores/TCacheFileEvent.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QLineEdit;
class QWidget;
class TCatalogViews;
class TfrSearchResultFrame;
class TWebApplicationClass;

// One search tab.
struct TSearchResultRec
{
    QWidget* Sheet = nullptr;
    TfrSearchResultFrame* Frame = nullptr;
    // The request path with the server address in front.
    QString Address;
    QString Text;
    // -1 while the answer is pending, 0 when nothing was found, else the number of results.
    int32_t Count = -1;
};

// Searches the catalog on the server and shows each answer in a tab of its own at the end of
// the main page control. The same search again goes to its tab; a search that found nothing
// gives its tab to the next one.
class TCatalogSearch final : public QObject
{
    Q_OBJECT

public:
    explicit TCatalogSearch(TCatalogViews& views, QObject* parent = nullptr);
    ~TCatalogSearch() override;

    void Search(const QString& text);
    // The frame's close button: refused while the frame waits for a picture.
    void CloseSearchTab(TfrSearchResultFrame& frame);

    // Makes edit the search box: what is typed becomes lower case, Enter searches.
    void AttachSearchEdit(QLineEdit& edit);
    // Puts the search box edMainSearch and the "Search" button into panel's box layout (made
    // when it has none) and returns the box.
    QLineEdit& BuildSearchBox(QWidget& panel);

    // The focused result of the search tab that page is; null for any other page.
    TWebApplicationClass* FocusedApplication(const QWidget* page) const;
    const std::vector<std::unique_ptr<TSearchResultRec>>& Records() const { return m_records; }

private:
    TSearchResultRec* FindByAddress(const QString& address) const;
    void StartRequest(TSearchResultRec& record);
    void AnswerArrived(const QString& url, TCacheStatus status);
    void AnswerRead(const QString& url, TWebApplicationList::FileRead& file);
    TfrSearchResultFrame* CreateFrame(QWidget* sheet);

    TCatalogViews& m_views;
    std::vector<std::unique_ptr<TSearchResultRec>> m_records;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
