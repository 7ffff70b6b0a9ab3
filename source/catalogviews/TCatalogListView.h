#pragma once

#include <QTreeView>

#include <functional>

class TCatalogListModel;
class TWebApplicationClass;

// A catalog list: title, stars, tagline and date (and in search results the category as a
// link). A header click sorts: the sort column again turns the direction round, another
// column starts best ratings and newest dates first and texts from A to Z.
class TCatalogListView final : public QTreeView
{
    Q_OBJECT

public:
    // tag names the details panel the list feeds (1 to 5; search lists 0).
    TCatalogListView(int tag, bool withCategory, QWidget* parent = nullptr);

    int Tag() const { return m_tag; }
    TCatalogListModel& Model() const { return *m_model; }

    // Replaces the rows with these, newest first, leaving the header's column and direction
    // as they were.
    void Fill(std::vector<TWebApplicationClass*> applications);
    // Replaces the rows with these and sorts them by the header's column and direction.
    void FillSortedByHeader(std::vector<TWebApplicationClass*> applications);
    // The header's sort column (-1 until the first click) and direction.
    int SortColumn() const { return m_sortColumn; }
    bool SortDescending() const { return m_sortDescending; }
    // As a click on the header of column would.
    void ClickHeader(int column);

    // The focused row's application; null when no row is focused.
    TWebApplicationClass* FocusedApplication() const;
    // Focuses and selects the row of this application; false when it has none.
    bool FocusApplication(const TWebApplicationClass* application);

    // The focused row changed (application null when none is focused).
    std::function<void(TCatalogListView& sender, TWebApplicationClass* application)> OnFocusChanged;
    // A double click on a category cell (search lists).
    std::function<void(TCatalogListView& sender, TWebApplicationClass* application)> OnCategoryDoubleClick;
    // The context menu was asked for on a focused row.
    std::function<void(TCatalogListView& sender, TWebApplicationClass* application, QPoint globalPos)>
        OnRowMenu;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Sort();
    void ShowSortIndicator();

    int m_tag;
    TCatalogListModel* m_model;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
};
