#pragma once

#include <QAbstractTableModel>

#include <vector>

class TWebApplicationClass;

// The rows of one catalog list: a reference per row to an application the application list
// owns. Four columns, five in search results (the category). Sorting reorders the
// references only, so a list of tens of thousands of rows costs no widget per row.
class TCatalogListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TCatalogListModel(bool withCategory, QObject* parent = nullptr);

    // Replaces every row.
    void SetApplications(std::vector<TWebApplicationClass*> applications);
    const std::vector<TWebApplicationClass*>& Applications() const { return m_rows; }
    TWebApplicationClass* Application(int row) const;
    // The first row of this application; -1 when it has none.
    int RowOf(const TWebApplicationClass* application) const;
    // Rows changed their texts or ratings (a file was read again).
    void RefreshAll();

    bool WithCategory() const { return m_withCategory; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The user rating of a row, for the star painting.
    static constexpr int RatingRole = Qt::UserRole + 1;

private:
    std::vector<TWebApplicationClass*> m_rows;
    bool m_withCategory;
};
