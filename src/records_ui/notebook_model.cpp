// The notebook's table model and its column sorts.
#include "records_ui/notebook_model.h"

#include "idioms/levels.h"

#include <algorithm>
#include <array>

namespace horokata {

namespace {

using Column = NotebookModel::Column;

const std::array<const char *, NotebookModel::Columns> kHeaders = {"熟語", "読み", "級", "発見", "見逃し", "次の復習", "意味"};
const std::array<const char *, NotebookModel::Columns> kHeaderTips = {
    "出会った四字熟語", "かなの読み", "出会った級", "見つけた回数", "負けた面で明かされた回数",
    "次に復習する日（今日：時期が来ている）", "意味（英語）"};

// The lowest level an idiom was met on, for the level column's order.
int firstLevel(int levels)
{
    for (int level = 0; level < kLevelCount; ++level)
        if (levels & (1 << level))
            return level;
    return kLevelCount;
}

// The day an idiom is next due (a card never scheduled: now).
qint64 dueDay(const fsrs::Card &card)
{
    return card.due.isValid() ? card.due.toJulianDay() : 0;
}

// The next review: "今日" when due today or before, else the date.
QString dueText(const fsrs::Card &card)
{
    if (dueDay(card) <= QDate::currentDate().toJulianDay())
        return QStringLiteral("今日");
    return card.due.toString(QStringLiteral("yyyy/MM/dd"));
}

} // namespace

void NotebookModel::setRows(const Notebook *notebook, std::vector<int> rows)
{
    beginResetModel();
    notebook_ = notebook;
    rows_ = std::move(rows);
    endResetModel();
}

int NotebookModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int NotebookModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant NotebookModel::data(const QModelIndex &index, int role) const
{
    if (!notebook_ || !index.isValid() || index.row() >= rowCount())
        return {};
    const NotebookEntry &e = notebook_->entries()[std::size_t(rows_[std::size_t(index.row())])];
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == MeaningColumn)) {
        switch (index.column()) {
        case IdiomColumn: return e.record.idiom;
        case ReadingColumn: return e.reading;
        case LevelColumn: return e.levelNames();
        case FoundColumn: return QString::number(e.record.found);
        case MissedColumn: return QString::number(e.record.missed);
        case DueColumn: return dueText(e.record.card);
        case MeaningColumn: return e.meaning;
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole && (index.column() == FoundColumn || index.column() == MissedColumn ||
                                            index.column() == DueColumn))
        return int(Qt::AlignCenter);
    return {};
}

QVariant NotebookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= Columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kHeaders[std::size_t(section)]);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(kHeaderTips[std::size_t(section)]) + QStringLiteral("（クリックで並べ替え）");
    return {};
}

void sortByColumn(std::vector<int> &rows, const Notebook &notebook, int column, Qt::SortOrder order)
{
    const auto &entries = notebook.entries();
    const auto key = [&](int i) -> const NotebookEntry & { return entries[std::size_t(i)]; };
    // "a before b" in ascending order for the column; descending swaps the two.
    const auto before = [&](int a, int b) {
        const NotebookEntry &x = key(a), &y = key(b);
        switch (column) {
        case Column::IdiomColumn: return x.record.idiom < y.record.idiom;
        case Column::ReadingColumn: return notebook.readingRank(a) < notebook.readingRank(b);
        case Column::LevelColumn: return firstLevel(x.record.levels) < firstLevel(y.record.levels);
        case Column::FoundColumn: return x.record.found < y.record.found;
        case Column::MissedColumn: return x.record.missed < y.record.missed;
        case Column::DueColumn: return dueDay(x.record.card) < dueDay(y.record.card);
        case Column::MeaningColumn: return x.meaning.compare(y.meaning, Qt::CaseInsensitive) < 0;
        default: return false;
        }
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(), before);
    else
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return before(b, a); });
}

} // namespace horokata
