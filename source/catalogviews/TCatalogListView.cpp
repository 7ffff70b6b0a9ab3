#include "TCatalogListView.h"

#include "RatingStars.h"
#include "TCatalogListModel.h"
#include "catalog/CatalogSorting.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Paints cells as usual, then the rating column's stars over its empty cell.
class TRatingDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() == ccRating)
            DrawRatingStars(*painter, option.rect, index.data(TCatalogListModel::RatingRole).toFloat());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), 22));
        return size;
    }
};

} // namespace

TCatalogListView::TCatalogListView(int tag, bool withCategory, QWidget* parent)
    : QTreeView(parent), m_tag(tag), m_model(new TCatalogListModel(withCategory, this))
{
    setModel(m_model);
    setItemDelegate(new TRatingDelegate(this));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setTextElideMode(Qt::ElideRight);

    QHeaderView* top = header();
    top->setStretchLastSection(false);
    top->setSectionsMovable(false);
    top->setSectionsClickable(true);
    top->setSortIndicatorShown(false);
    top->setMinimumSectionSize(30);
    top->setSectionResizeMode(ccTitle, QHeaderView::Interactive);
    top->resizeSection(ccTitle, 300);
    top->setSectionResizeMode(ccRating, QHeaderView::Fixed);
    top->resizeSection(ccRating, 120);
    top->setSectionResizeMode(ccDescription, QHeaderView::Stretch);
    top->setSectionResizeMode(ccDate, QHeaderView::Fixed);
    top->resizeSection(ccDate, 160);
    if (withCategory) {
        top->setSectionResizeMode(ccCategory, QHeaderView::Interactive);
        top->resizeSection(ccCategory, 160);
    }
    connect(top, &QHeaderView::sectionClicked, this, &TCatalogListView::ClickHeader);
    connect(top, &QHeaderView::sectionResized, this, [top](int index, int, int size) {
        // The title column keeps between 100 and 300 pixels.
        if (index == ccTitle && (size < 100 || size > 300))
            top->resizeSection(ccTitle, std::clamp(size, 100, 300));
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (OnFocusChanged)
                    OnFocusChanged(*this, m_model->Application(current.isValid() ? current.row() : -1));
            });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (OnFocusChanged)
            OnFocusChanged(*this, nullptr);
    });
}

void TCatalogListView::Fill(std::vector<TWebApplicationClass*> applications)
{
    SortApplications(applications, ccDate, true);
    m_model->SetApplications(std::move(applications));
}

void TCatalogListView::FillSortedByHeader(std::vector<TWebApplicationClass*> applications)
{
    if (m_sortColumn >= 0)
        SortApplications(applications, m_sortColumn, m_sortDescending);
    m_model->SetApplications(std::move(applications));
}

void TCatalogListView::ClickHeader(int column)
{
    if (column == m_sortColumn) {
        m_sortDescending = !m_sortDescending;
    } else {
        m_sortColumn = column;
        m_sortDescending = SortsDescendingFirst(column);
    }
    ShowSortIndicator();
    Sort();
}

void TCatalogListView::Sort()
{
    m_model->sort(m_sortColumn, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TCatalogListView::ShowSortIndicator()
{
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(m_sortColumn, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

TWebApplicationClass* TCatalogListView::FocusedApplication() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_model->Application(current.row()) : nullptr;
}

bool TCatalogListView::FocusApplication(const TWebApplicationClass* application)
{
    const int row = m_model->RowOf(application);
    if (row < 0)
        return false;
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    return true;
}

void TCatalogListView::mouseMoveEvent(QMouseEvent* event)
{
    QTreeView::mouseMoveEvent(event);
    if (!m_model->WithCategory())
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool overLink =
        index.isValid() && index.column() == ccCategory && !index.data(Qt::DisplayRole).toString().isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TCatalogListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.column() == ccCategory && m_model->WithCategory() && OnCategoryDoubleClick)
        OnCategoryDoubleClick(*this, m_model->Application(index.row()));
}

void TCatalogListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (TWebApplicationClass* application = FocusedApplication(); application && OnRowMenu)
        OnRowMenu(*this, application, event->globalPos());
}
