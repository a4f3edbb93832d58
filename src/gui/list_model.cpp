// The item model over a list's lines and columns.
#include "gui/list_model.h"

#include "views/ulist.h"

ListModel::ListModel(CUList& list, QObject* parent) : QAbstractTableModel(parent), m_list(list) {}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.lineCount();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.listColumnCount();
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return QString::fromStdString(m_list.cellText(index.row(), index.column()));
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= m_list.listColumnCount())
        return QVariant();
    return QString::fromStdString(m_list.columnTitle(section));
}

void ListModel::redrawLines(int first, int last)
{
    if (columnCount() == 0)
        return;
    emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}
