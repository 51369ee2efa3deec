// The notebook's list as a table model: rows are indices into the notebook's entries.
#pragma once

#include "records/notebook.h"

#include <QAbstractTableModel>
#include <vector>

namespace horokata {

class NotebookModel : public QAbstractTableModel {
public:
    enum Column { IdiomColumn, ReadingColumn, LevelColumn, FoundColumn, MissedColumn, DueColumn, MeaningColumn, Columns };

    explicit NotebookModel(QObject *parent) : QAbstractTableModel(parent) {}

    void setRows(const Notebook *notebook, std::vector<int> rows);
    const std::vector<int> &rows() const { return rows_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const Notebook *notebook_ = nullptr;
    std::vector<int> rows_;
};

// Sorts `rows` (indices into the notebook's entries) by a column, stably, so that rows equal
// in that column keep the order they came in.
void sortByColumn(std::vector<int> &rows, const Notebook &notebook, int column, Qt::SortOrder order);

} // namespace horokata
