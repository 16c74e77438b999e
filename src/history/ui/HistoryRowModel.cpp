#include "history/ui/HistoryRowModel.h"

#include <algorithm>

HistoryRowModel::HistoryRowModel(int columns, QObject* parent)
    : QAbstractTableModel(parent)
    , columns_(columns)
{
}

void HistoryRowModel::SetHeadings(const QStringList& headings)
{
    headings_ = headings;
    if (columns_ > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

void HistoryRowModel::Reset(int rows, RowTexts texts)
{
    beginResetModel();
    total_ = std::max(rows, 0);
    offered_ = std::min(total_, BATCH);
    texts_ = std::move(texts);
    shown_.assign(static_cast<size_t>(total_), {});
    endResetModel();
}

void HistoryRowModel::Offer(int rows)
{
    const int upTo = std::min(total_, offered_ + rows);
    if (upTo <= offered_)
        return;
    beginInsertRows({}, offered_, upTo - 1);
    offered_ = upTo;
    endInsertRows();
}

void HistoryRowModel::FetchUpTo(int row)
{
    if (row >= offered_)
        Offer((row - offered_) / BATCH * BATCH + BATCH);
}

int HistoryRowModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : offered_; }

int HistoryRowModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant HistoryRowModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= offered_ || index.column() >= columns_)
        return {};
    QStringList& texts = shown_[static_cast<size_t>(index.row())];
    if (texts.isEmpty() && texts_)
        texts = texts_(index.row());
    return index.column() < texts.size() ? texts[index.column()] : QString();
}

QVariant HistoryRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headings_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return headings_[section];
}

bool HistoryRowModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && offered_ < total_; }

void HistoryRowModel::fetchMore(const QModelIndex& parent)
{
    if (!parent.isValid())
        Offer(BATCH);
}
