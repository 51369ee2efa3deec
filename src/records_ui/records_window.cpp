// The records window "記録".
#include "records_ui/records_window.h"

#include "records/records_store.h"
#include "records_ui/game_look.h"
#include "platform_qt/fonts.h"
#include "platform_qt/ui_scale.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace horokata {

namespace {

// Said where the records are read but nothing is written.
const QString kReadOnlyWords = QStringLiteral("記録ファイルに書き込めないため、新しい記録は保存されず、消去もできません。");

// The figures' columns, in the order shown.
enum StatsColumn { Played, Won, WinRate, Streak, LongestStreak, BestTime, AverageTime, NoMiss, Recall, StatsColumns };
const std::array<const char *, StatsColumns> kStatsHeaders = {"対局数", "勝ち", "勝率", "連勝中", "最長連勝",
                                                              "最短時間", "平均時間", "ノーミス", "想起率"};
const std::array<const char *, StatsColumns> kStatsTips = {
    "記録した対局の数", "勝った対局の数", "勝った対局の割合", "いま続いている連勝",
    "いちばん長く続いた連勝", "勝った対局のいちばん短い時間", "勝った対局の平均時間", "ミスなしで勝った対局の数",
    "復習の面で見つけた熟語の割合（目標 90%）"};
constexpr int kTotalRow = kLevelCount;      // the row below the four levels
constexpr int kReviewRow = kTotalRow + 1;   // the review boards, apart from the levels

enum RecentColumn { When, LevelName, Result, Time, Misses, Hints, RecentColumns };
const std::array<const char *, RecentColumns> kRecentHeaders = {"日時", "級", "結果", "時間", "ミス", "ヒント"};

QTableWidget *makeTable(int rows, int columns, QWidget *parent)
{
    auto *t = new QTableWidget(rows, columns, parent);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A cell at a time, so that the arrows read the table cell by cell.
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectItems);
    t->setTabKeyNavigation(false);
    t->setWordWrap(false);
    t->setCornerButtonEnabled(false);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->horizontalHeader()->setHighlightSections(false);
    t->verticalHeader()->setHighlightSections(false);
    return t;
}

QTableWidgetItem *cell(QTableWidget *t, int row, int column)
{
    QTableWidgetItem *item = t->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        t->setItem(row, column, item);
    }
    return item;
}

void fillStats(QTableWidget *t, int row, const LevelStats &s)
{
    const std::array<QString, StatsColumns> texts = {
        QString::number(s.played),
        QString::number(s.won),
        QStringLiteral("%1%").arg(s.winPercent()),
        QString::number(s.currentStreak),
        QString::number(s.longestStreak),
        formatPlayTime(s.bestMs),
        formatPlayTime(s.averageMs),
        QString::number(s.noMiss),
        QStringLiteral("-"),
    };
    for (int c = 0; c < StatsColumns; ++c)
        cell(t, row, c)->setText(texts[std::size_t(c)]);
}

// Height that shows every row of a table without a scroll bar.
int fullHeight(const QTableWidget *t)
{
    int h = t->horizontalHeader()->height() + 2 * t->frameWidth();
    for (int r = 0; r < t->rowCount(); ++r)
        h += t->rowHeight(r);
    return h;
}

} // namespace

RecordsWindow::RecordsWindow(RecordsStore &store, ClearQuestion askClear, FlowStarter startFlow, QWidget *parent)
    : QWidget(parent, Qt::Window), store_(store), askClear_(std::move(askClear)), startFlow_(std::move(startFlow))
{
    if (!startFlow_)
        startFlow_ = [this](FlowTask<> flow) { ownFlows_.start(std::move(flow)); };
    setObjectName(QStringLiteral("records"));
    setWindowTitle(QStringLiteral("記録"));
    setAccessibleName(QStringLiteral("記録"));
    applyGameLook(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(12), scaled(10), scaled(12), scaled(10));
    layout->setSpacing(scaled(6));

    auto *statsHeading = new QLabel(QStringLiteral("級ごとの成績"), this);
    statsHeading->setFont(gothicFont(11.25, true, true));
    layout->addWidget(statsHeading);
    buildStats();
    statsHeading->setBuddy(stats_);
    layout->addWidget(stats_);

    auto *recentHeading = new QLabel(QStringLiteral("最近の対局（%1局まで）").arg(kRecentBoards), this);
    recentHeading->setFont(gothicFont(11.25, true, true));
    layout->addWidget(recentHeading);
    buildRecent();
    recentHeading->setBuddy(recent_);
    noRecent_ = new QLabel(QStringLiteral("まだ対局の記録はありません。"), this);
    noRecent_->setAccessibleName(noRecent_->text());
    noRecent_->hide();
    // The list and its empty note take the same room, so the buttons below never move.
    layout->addWidget(recent_, 1);
    layout->addWidget(noRecent_, 1, Qt::AlignTop);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(scaled(4));
    if (askClear_) {
        auto *clearLabel = new QLabel(QStringLiteral("記録の消去："), this);
        buttons->addWidget(clearLabel);
        for (int level = 0; level < kLevelCount; ++level) {
            auto *b = new QPushButton(levelFileName(level), this);
            b->setObjectName(QStringLiteral("clear%1").arg(level));
            b->setAccessibleName(QStringLiteral("%1の記録を消去").arg(levelFileName(level)));
            b->setToolTip(QStringLiteral("%1の記録をすべて消去します（確認があります）").arg(levelFileName(level)));
            // The request runs on, held by the flow owner, while the question is open.
            connect(b, &QPushButton::clicked, this, [this, level] { startFlow_(clearFromButton(level)); });
            clear_[std::size_t(level)] = b;
            buttons->addWidget(b);
        }
    }
    buttons->addStretch(1);
    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAccessibleName(close->text());
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    QSizePolicy statusRoom = status_->sizePolicy();
    statusRoom.setRetainSizeWhenHidden(true);
    status_->setSizePolicy(statusRoom);
    status_->hide();
    layout->addWidget(status_);


    resize(sizeHint().width(), scaled(560));
}

void RecordsWindow::buildStats()
{
    stats_ = makeTable(kReviewRow + 1, StatsColumns, this);
    stats_->setObjectName(QStringLiteral("stats"));
    stats_->setAccessibleName(QStringLiteral("級ごとの成績"));
    for (int c = 0; c < StatsColumns; ++c) {
        auto *h = new QTableWidgetItem(QString::fromUtf8(kStatsHeaders[std::size_t(c)]));
        h->setToolTip(QString::fromUtf8(kStatsTips[std::size_t(c)]));
        stats_->setHorizontalHeaderItem(c, h);
    }
    QStringList rows;
    for (int level = 0; level < kLevelCount; ++level)
        rows << levelFileName(level);
    rows << QStringLiteral("合計") << QStringLiteral("復習");
    stats_->setVerticalHeaderLabels(rows);
    for (int r = 0; r <= kReviewRow; ++r)
        for (int c = 0; c < StatsColumns; ++c)
            cell(stats_, r, c);
    stats_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    stats_->horizontalHeader()->setMinimumSectionSize(scaled(64));
    stats_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stats_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont totalFont = stats_->font();
    totalFont.setBold(true);
    for (int c = 0; c < StatsColumns; ++c)
        stats_->item(kTotalRow, c)->setFont(totalFont);
    stats_->resizeColumnsToContents();
    stats_->setFixedHeight(fullHeight(stats_));
    int width = stats_->verticalHeader()->sizeHint().width() + 2 * stats_->frameWidth();
    for (int c = 0; c < StatsColumns; ++c)
        width += stats_->columnWidth(c);
    stats_->setMinimumWidth(width);
}

void RecordsWindow::buildRecent()
{
    recent_ = makeTable(0, RecentColumns, this);
    recent_->setObjectName(QStringLiteral("recent"));
    recent_->setAccessibleName(QStringLiteral("最近の対局"));
    QStringList headers;
    for (const char *h : kRecentHeaders)
        headers << QString::fromUtf8(h);
    recent_->setHorizontalHeaderLabels(headers);
    recent_->verticalHeader()->hide();
    recent_->horizontalHeader()->setStretchLastSection(true);
    recent_->setColumnWidth(When, scaled(150));
    recent_->setColumnWidth(LevelName, scaled(70));
    recent_->setColumnWidth(Result, scaled(90));
    recent_->setColumnWidth(Time, scaled(80));
    recent_->setColumnWidth(Misses, scaled(50));
    recent_->setAlternatingRowColors(true);
}

QPushButton *RecordsWindow::clearButton(int level) const
{
    return level >= 0 && level < kLevelCount ? clear_[std::size_t(level)] : nullptr;
}

QString RecordsWindow::statusText() const
{
    return status_->isHidden() ? QString() : status_->text();
}

QString RecordsWindow::clearQuestionText(int level)
{
    return QStringLiteral("%1の記録をすべて消去します！　よろしいですか？").arg(levelFileName(level));
}

void RecordsWindow::refresh()
{
    // A hidden window reads the figures when it is shown again.
    if (!isVisible())
        return;
    const RecordsSummary s = store_.summary();
    for (int level = 0; level < kLevelCount; ++level)
        fillStats(stats_, level, s.levels[std::size_t(level)]);
    fillStats(stats_, kTotalRow, s.total);
    fillStats(stats_, kReviewRow, s.review);
    const std::optional<int> recall = s.recallPercent();
    cell(stats_, kReviewRow, Recall)->setText(recall ? QStringLiteral("%1%").arg(*recall) : QStringLiteral("-"));

    recent_->setRowCount(static_cast<int>(s.recent.size()));
    for (int r = 0; r < recent_->rowCount(); ++r) {
        const RecentBoard &b = s.recent[std::size_t(r)];
        const std::array<QString, RecentColumns> texts = {
            formatLocalDateTime(b.endedAtMs),
            b.review ? QStringLiteral("復習") : levelFileName(b.level),
            // A board played again is shown for what it was, and counts in no figure above.
            b.practice ? QStringLiteral("練習・") + boardEndWord(b.end) : boardEndWord(b.end),
            formatPlayTime(b.playMs),
            QString::number(b.misses),
            QString::number(b.hints),
        };
        for (int c = 0; c < RecentColumns; ++c)
            cell(recent_, r, c)->setText(texts[std::size_t(c)]);
    }
    recent_->setVisible(!s.recent.empty());
    noRecent_->setVisible(s.recent.empty());

    if (!store_.available() || !store_.writable()) {
        status_->setText(store_.available() ? kReadOnlyWords : QStringLiteral("記録を読み書きできないため、記録はありません。"));
        status_->setAccessibleName(status_->text());
        status_->show();
    }
    setQuestionOpen(questionOpen_);
}

void RecordsWindow::present()
{
    if (isVisible())
        refresh();
    else
        show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void RecordsWindow::showEvent(QShowEvent *event)
{
    if (!placed_) {
        placed_ = true;
        placeOverParent(this);
    }
    status_->hide();
    refresh();
    QWidget::showEvent(event);
}

void RecordsWindow::setQuestionOpen(bool open)
{
    questionOpen_ = open;
    // A store that cannot write cannot clear: the buttons say why.
    const bool writable = store_.writable();
    for (int level = 0; level < kLevelCount; ++level) {
        QPushButton *b = clear_[std::size_t(level)];
        if (!b)
            continue;
        b->setEnabled(!open && writable);
        b->setToolTip(writable ? QStringLiteral("%1の記録をすべて消去します（確認があります）").arg(levelFileName(level))
                               : kReadOnlyWords);
    }
}

FlowTask<bool> RecordsWindow::clearLevel(int level)
{
    if (!askClear_ || questionOpen_ || level < 0 || level >= kLevelCount)
        co_return false;
    setQuestionOpen(true);
    QPointer<RecordsWindow> self(this);
    // The question is kept in this request, not in the window: the window may go while it is open.
    const ClearQuestion ask = askClear_;
    const bool yes = co_await ask(level);
    // The window may have been closed for good while the player thought it over.
    if (!self)
        co_return false;
    setQuestionOpen(false);
    if (!yes)
        co_return false;
    const bool cleared = store_.clearLevel(level);
    status_->setText(cleared ? QStringLiteral("%1の記録を消去しました。").arg(levelFileName(level))
                             : QStringLiteral("%1の記録を消去できませんでした。").arg(levelFileName(level)));
    status_->setAccessibleName(status_->text());
    status_->show();
    refresh();
    if (cleared)
        emit levelCleared(level);
    co_return cleared;
}

FlowTask<> RecordsWindow::clearFromButton(int level)
{
    // The outcome shows in the window itself (its status line and figures).
    const bool cleared = co_await clearLevel(level);
    Q_UNUSED(cleared);
}

void RecordsWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window from wherever the focus is (the list and the boxes pass it on).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace horokata
