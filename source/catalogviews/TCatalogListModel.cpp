#include "TCatalogListModel.h"

#include "catalog/CatalogSorting.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebCategoryClass.h"

#include <QColor>
#include <QFont>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// Link text in the catalog: $00F06048.
const QColor kLinkColor(0x48, 0x60, 0xF0);

} // namespace

TCatalogListModel::TCatalogListModel(bool withCategory, QObject* parent)
    : QAbstractTableModel(parent), m_withCategory(withCategory)
{}

void TCatalogListModel::SetApplications(std::vector<TWebApplicationClass*> applications)
{
    beginResetModel();
    m_rows = std::move(applications);
    endResetModel();
}

TWebApplicationClass* TCatalogListModel::Application(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)] : nullptr;
}

int TCatalogListModel::RowOf(const TWebApplicationClass* application) const
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), application);
    return found == m_rows.end() ? -1 : int(found - m_rows.begin());
}

void TCatalogListModel::RefreshAll()
{
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int TCatalogListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TCatalogListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (m_withCategory ? 5 : 4);
}

QVariant TCatalogListModel::data(const QModelIndex& index, int role) const
{
    const TWebApplicationClass* application = Application(index.row());
    if (!application)
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case ccTitle:
            return application->Title();
        case ccDescription:
            return application->Tagline();
        case ccDate:
            return FormatDateAdded(application->DateAdded());
        case ccCategory:
            return application->Category() ? application->Category()->Title() : QString();
        default:
            return {};
        }
    case Qt::ToolTipRole:
        if (column == ccDescription)
            return application->Tagline();
        return {};
    case Qt::FontRole: {
        QFont font;
        font.setPointSize(10);
        font.setBold(column == ccTitle);
        font.setUnderline(column == ccCategory);
        return font;
    }
    case Qt::ForegroundRole:
        if (column == ccCategory)
            return kLinkColor;
        return {};
    case RatingRole:
        return application->UserRating();
    default:
        return {};
    }
}

QVariant TCatalogListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ccTitle:
        return u"Web Application"_s;
    case ccRating:
        return u"Rating"_s;
    case ccDescription:
        return u"Description"_s;
    case ccDate:
        return u"Date"_s;
    case ccCategory:
        return u"Category"_s;
    default:
        return {};
    }
}

void TCatalogListModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<TWebApplicationClass*> previous;
    if (!before.isEmpty())
        previous = m_rows;
    SortApplications(m_rows, column, order == Qt::DescendingOrder);
    if (!before.isEmpty()) {
        // Keep the focused row on its application wherever it moved.
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.append(index(RowOf(previous[size_t(old.row())]), old.column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
