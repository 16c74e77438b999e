#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

// The rows of a history table, turned into texts only when a view shows them. A ten-year history
// holds tens of thousands of units: the view is handed a batch of rows at a time and asks for the
// next batch as it scrolls, so opening the list costs the rows on screen, not the whole history.
class HistoryRowModel : public QAbstractTableModel {
public:
    // The texts of one row, a text per column.
    using RowTexts = std::function<QStringList(int row)>;

    static constexpr int BATCH = 200;

    HistoryRowModel(int columns, QObject* parent);

    void SetHeadings(const QStringList& headings);
    // Replaces all rows: rows in all, of which the first batch is offered to the view.
    void Reset(int rows, RowTexts texts);
    // Offers the view every row up to row, so that it can be selected.
    void FetchUpTo(int row);
    int totalRows() const { return total_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    void Offer(int rows);

    int columns_;
    int total_ = 0;
    int offered_ = 0;
    RowTexts texts_;
    QStringList headings_;
    // A row's texts once it was shown; an empty list for a row not yet asked for.
    mutable std::vector<QStringList> shown_;
};
