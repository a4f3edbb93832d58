#pragma once
// ListModel: the Qt item model over a CUList; every cell text is asked of
// the list when it is drawn, so a million lines cost no memory here.

#include <QAbstractTableModel>

class CUList;

class ListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListModel(CUList& list, QObject* parent = nullptr);

    CUList& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The list's changes, passed on by its display.
    void beginRebuild() { beginResetModel(); }
    void endRebuild() { endResetModel(); }
    void beginAppendLine(int line) { beginInsertRows(QModelIndex(), line, line); }
    void endAppendLine() { endInsertRows(); }
    void beginRemoveLine(int line) { beginRemoveRows(QModelIndex(), line, line); }
    void endRemoveLine() { endRemoveRows(); }
    void redrawLines(int first, int last);

private:
    CUList& m_list;
};
