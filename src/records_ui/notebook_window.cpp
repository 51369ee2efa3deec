// The idiom notebook window "単語帳".
#include "records_ui/notebook_window.h"

#include "records/records_store.h"
#include "records_ui/game_look.h"
#include "records/review_choice.h"
#include "records_ui/notebook_model.h"
#include "platform_qt/fonts.h"
#include "platform_qt/ui_scale.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

namespace horokata {

namespace {

// Sort orders in the order the sort box lists them.
const std::array<std::pair<NotebookSort, const char *>, 3> kSorts = {{
    {NotebookSort::Newest, "新しい順"},
    {NotebookSort::Reading, "読み順（五十音）"},
    {NotebookSort::MostMissed, "見逃しの多い順"},
}};

const QString kNoCard = QStringLiteral("熟語を選ぶと、ここにカードが出ます。");

// A meaning of numbered senses ("(1) ... (2) ...") with each sense on a line of its own.
QString sensesOnLines(QString escapedMeaning)
{
    if (!escapedMeaning.startsWith(QStringLiteral("(1) ")))
        return escapedMeaning;
    for (int sense = 2; escapedMeaning.contains(QStringLiteral(" (%1) ").arg(sense)); ++sense)
        escapedMeaning.replace(QStringLiteral(" (%1) ").arg(sense), QStringLiteral("<br>(%1) ").arg(sense));
    return escapedMeaning;
}

} // namespace

NotebookWindow::NotebookWindow(RecordsStore &store, IdiomDictionary dictionary, QWidget *parent)
    : QWidget(parent, Qt::Window), store_(store), dictionary_(std::move(dictionary))
{
    setObjectName(QStringLiteral("notebook"));
    setWindowTitle(QStringLiteral("単語帳"));
    setAccessibleName(QStringLiteral("単語帳"));
    applyGameLook(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(12), scaled(10), scaled(12), scaled(10));
    layout->setSpacing(scaled(6));

    layout->addLayout(buildFilters());
    layout->addLayout(buildListAndCard(), 1);
    layout->addLayout(buildButtons());

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->hide();
    layout->addWidget(status_);

    setTabOrder(search_, level_);
    setTabOrder(level_, sort_);
    setTabOrder(sort_, list_);
    setTabOrder(list_, card_);
    setTabOrder(card_, review_);
    setTabOrder(review_, export_);
    setTabOrder(export_, close_);

    connect(search_, &QLineEdit::textChanged, this, &NotebookWindow::applyQuery);
    connect(level_, &QComboBox::currentIndexChanged, this, &NotebookWindow::applyQuery);
    connect(sort_, &QComboBox::currentIndexChanged, this, &NotebookWindow::sortBoxChanged);
    connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &NotebookWindow::sortByHeader);
    // The card follows the row chosen: a click on the current row that a search left
    // unselected selects it without moving the current row.
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showCardOf(selectedEntry()); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showCardOf(selectedEntry()); });
    connect(export_, &QPushButton::clicked, this, &NotebookWindow::chooseExportFile);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    showCardOf(-1);
    resize(scaled(QSize(900, 560)));
}

NotebookWindow::~NotebookWindow() = default;

// Search, level filter and sort order.
QHBoxLayout *NotebookWindow::buildFilters()
{
    auto *controls = new QHBoxLayout;
    auto *searchLabel = new QLabel(QStringLiteral("検索："), this);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setAccessibleName(QStringLiteral("検索"));
    search_->setPlaceholderText(QStringLiteral("熟語・読み・意味"));
    search_->setToolTip(QStringLiteral("熟語、読み（ひらがな・カタカナ）、意味のどれかを含むものを表示します"));
    search_->setClearButtonEnabled(true);
    searchLabel->setBuddy(search_);
    level_ = new QComboBox(this);
    level_->setObjectName(QStringLiteral("level"));
    level_->setAccessibleName(QStringLiteral("級"));
    level_->addItem(QStringLiteral("すべての級"), -1);
    for (int i = 0; i < kLevelCount; ++i)
        level_->addItem(levelFileName(i), i);
    sort_ = new QComboBox(this);
    sort_->setObjectName(QStringLiteral("sort"));
    sort_->setAccessibleName(QStringLiteral("並べ方"));
    for (const auto &[sort, name] : kSorts)
        sort_->addItem(QString::fromUtf8(name), static_cast<int>(sort));
    controls->addWidget(searchLabel);
    controls->addWidget(search_, 1);
    controls->addWidget(level_);
    controls->addWidget(sort_);
    return controls;

}

// The list and the selected idiom's card beside it.
QHBoxLayout *NotebookWindow::buildListAndCard()
{
    auto *middle = new QHBoxLayout;
    model_ = new NotebookModel(this);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("list"));
    list_->setAccessibleName(QStringLiteral("出会った四字熟語"));
    list_->setModel(model_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setTabKeyNavigation(false);
    list_->setWordWrap(false);
    list_->setAlternatingRowColors(true);
    list_->setCornerButtonEnabled(false);
    list_->verticalHeader()->hide();
    // Rows of one height: the view never measures thousands of rows.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + scaled(8));
    QHeaderView *header = list_->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    // A click on a header sorts by its column; the model is sorted here, not by the view.
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    list_->setColumnWidth(NotebookModel::IdiomColumn, scaled(100));
    list_->setColumnWidth(NotebookModel::ReadingColumn, scaled(150));
    list_->setColumnWidth(NotebookModel::LevelColumn, scaled(80));
    list_->setColumnWidth(NotebookModel::FoundColumn, scaled(50));
    list_->setColumnWidth(NotebookModel::MissedColumn, scaled(60));
    middle->addWidget(list_, 1);
    noMatch_ = new QLabel(QStringLiteral("該当なし"), list_->viewport());
    noMatch_->setObjectName(QStringLiteral("noMatch"));
    noMatch_->setAccessibleName(noMatch_->text());
    noMatch_->setAlignment(Qt::AlignCenter);
    noMatch_->setAttribute(Qt::WA_TransparentForMouseEvents);
    noMatch_->setStyleSheet(scaledStyle(QStringLiteral("QLabel#noMatch { color: #606060; font-size: 14pt; background: transparent; }")));
    (new QVBoxLayout(list_->viewport()))->addWidget(noMatch_);
    noMatch_->hide();

    card_ = new QLabel(this);
    card_->setObjectName(QStringLiteral("card"));
    card_->setWordWrap(true);
    card_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    card_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    card_->setFocusPolicy(Qt::StrongFocus);
    card_->setMargin(scaled(8));
    card_->setStyleSheet(QStringLiteral("QLabel#card { background: #ffffe1; color: #000000; }"));
    auto *cardArea = new QScrollArea(this);
    cardArea->setObjectName(QStringLiteral("cardArea"));
    cardArea->setWidget(card_);
    cardArea->setWidgetResizable(true);
    cardArea->setFixedWidth(scaled(280));
    cardArea->setStyleSheet(scaledStyle(QStringLiteral("QScrollArea#cardArea { border: 1px solid #008000; background: #ffffe1; }")));
    middle->addWidget(cardArea);
    return middle;

}

// The count of idioms shown, 書き出し and 閉じる.
QHBoxLayout *NotebookWindow::buildButtons()
{
    auto *bottom = new QHBoxLayout;
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("count"));
    bottom->addWidget(count_);
    bottom->addStretch(1);
    due_ = new QLabel(this);
    due_->setObjectName(QStringLiteral("due"));
    bottom->addWidget(due_);
    review_ = new QPushButton(QStringLiteral("復習"), this);
    review_->setObjectName(QStringLiteral("review"));
    review_->setAccessibleName(review_->text());
    review_->setToolTip(QStringLiteral("復習の時期が来た熟語（見逃したものが先）から二十語の面を配ります（Ctrl+R）"));
    connect(review_, &QPushButton::clicked, this, &NotebookWindow::reviewRequested);
    bottom->addWidget(review_);
    export_ = new QPushButton(QStringLiteral("書き出し"), this);
    export_->setObjectName(QStringLiteral("export"));
    export_->setAccessibleName(export_->text());
    export_->setToolTip(QStringLiteral("表示中の一覧を Anki に取り込めるテキストに書き出します"));
    bottom->addWidget(export_);
    close_ = new QPushButton(QStringLiteral("閉じる"), this);
    close_->setObjectName(QStringLiteral("close"));
    close_->setAccessibleName(close_->text());
    bottom->addWidget(close_);
    return bottom;

}

NotebookQuery NotebookWindow::query() const
{
    NotebookQuery q;
    q.sort = static_cast<NotebookSort>(sort_->currentData().toInt());
    q.level = level_->currentData().toInt();
    q.search = search_->text();
    return q;
}

int NotebookWindow::shownCount() const
{
    return model_->rowCount();
}

QString NotebookWindow::shownIdiom(int row) const
{
    if (row < 0 || row >= shownCount())
        return QString();
    return notebook_.entries()[std::size_t(model_->rows()[std::size_t(row)])].record.idiom;
}

int NotebookWindow::selectedEntry() const
{
    const QModelIndex current = list_->selectionModel()->currentIndex();
    if (!current.isValid() || !list_->selectionModel()->isRowSelected(current.row(), {}))
        return -1;
    return model_->rows()[std::size_t(current.row())];
}

QString NotebookWindow::selectedIdiom() const
{
    const int entry = selectedEntry();
    return entry < 0 ? QString() : notebook_.entries()[std::size_t(entry)].record.idiom;
}

QString NotebookWindow::statusText() const
{
    return status_->isHidden() ? QString() : status_->text();
}

void NotebookWindow::setStatus(const QString &text)
{
    status_->setText(text);
    status_->setAccessibleName(text);
    status_->setVisible(!text.isEmpty());
}

void NotebookWindow::tellReviewShortfall(int more)
{
    setStatus(QStringLiteral("復習の面には二十語が要ります。あと %1 語の四字熟語と出会うと配れます。").arg(more));
}

void NotebookWindow::reload()
{
    // A hidden window reads the notebook when it is shown again.
    if (!isVisible())
        return;
    const QString selected = selectedIdiom();
    std::vector<NotebookRecord> records = store_.notebook();
    const int due = dueCount(records, QDate::currentDate());
    due_->setText(QStringLiteral("今日の復習 %1 語").arg(due));
    due_->setAccessibleName(due_->text());
    notebook_ = Notebook(std::move(records), dictionary_);
    applyQuery();
    if (!selected.isEmpty())
        selectEntry(notebook_.indexOf(selected));
    if (!store_.available())
        setStatus(QStringLiteral("記録を読み書きできないため、単語帳は空です。"));
}

void NotebookWindow::applyQuery()
{
    const QString selected = selectedIdiom();
    std::vector<int> found = notebook_.query(query());
    if (headerSort_ >= 0)
        sortByColumn(found, notebook_, headerSort_, headerOrder_);
    model_->setRows(&notebook_, std::move(found));
    const int total = static_cast<int>(notebook_.entries().size());
    noMatch_->setVisible(shownCount() == 0 && total > 0);
    if (shownCount() == 0 && total > 0)
        count_->setText(QStringLiteral("該当なし（全 %1 語）").arg(total));
    else
        count_->setText(shownCount() == total ? QStringLiteral("%1 語").arg(total)
                                              : QStringLiteral("%1 語（全 %2 語）").arg(shownCount()).arg(total));
    count_->setAccessibleName(count_->text());
    export_->setEnabled(shownCount() > 0);
    // The card stays on its idiom while the idiom is still listed.
    const int entry = selected.isEmpty() ? -1 : notebook_.indexOf(selected);
    const auto &rows = model_->rows();
    if (entry >= 0 && std::find(rows.begin(), rows.end(), entry) != rows.end())
        selectEntry(entry);
    else
        showCardOf(-1);
}

void NotebookWindow::sortByHeader(int column)
{
    if (column < 0 || column >= NotebookModel::Columns)
        return;
    // A second click turns the order round; counts start with the largest.
    const bool counts = column == NotebookModel::FoundColumn || column == NotebookModel::MissedColumn;
    if (column == headerSort_)
        headerOrder_ = headerOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        headerOrder_ = counts ? Qt::DescendingOrder : Qt::AscendingOrder;
    headerSort_ = column;
    QHeaderView *header = list_->horizontalHeader();
    const QSignalBlocker block(header);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, headerOrder_);
    applyQuery();
}

void NotebookWindow::sortBoxChanged()
{
    headerSort_ = -1;
    QHeaderView *header = list_->horizontalHeader();
    const QSignalBlocker block(header);
    header->setSortIndicatorShown(false);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    applyQuery();
}

void NotebookWindow::selectEntry(int entry)
{
    const auto &rows = model_->rows();
    const auto it = std::find(rows.begin(), rows.end(), entry);
    if (entry < 0 || it == rows.end())
        return;
    const QModelIndex index = model_->index(static_cast<int>(it - rows.begin()), NotebookModel::IdiomColumn);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    showCardOf(entry);
}

void NotebookWindow::showCardOf(int entry)
{
    if (entry < 0 || entry >= static_cast<int>(notebook_.entries().size())) {
        card_->setText(kNoCard);
        card_->setAccessibleName(kNoCard);
        return;
    }
    const NotebookEntry &e = notebook_.entries()[std::size_t(entry)];
    const NotebookRecord &r = e.record;
    const QString reading = e.reading.isEmpty() ? QStringLiteral("（読みは辞書にありません）") : e.reading;
    const QString history = QStringLiteral("発見 %1 回・見逃し %2 回（前回は%3）\n初めて %4・最後 %5")
                                .arg(r.found)
                                .arg(r.missed)
                                .arg(r.lastFound ? QStringLiteral("発見") : QStringLiteral("見逃し"),
                                     formatLocalDateTime(r.firstMetMs), formatLocalDateTime(r.lastMetMs));
    card_->setText(scaledStyle(QStringLiteral("<p style='white-space:pre-wrap'><span style='font-size:20pt; font-weight:bold'>%1</span><br>%2<br>%3</p>"
                                              "<p style='color:#404040'>%4<br>%5</p>"))
                       .arg(r.idiom.toHtmlEscaped(), reading.toHtmlEscaped(), sensesOnLines(e.meaning.toHtmlEscaped()),
                            e.levelNames().toHtmlEscaped(), history.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
    // Read out as the line cards are: idiom, reading and meaning on lines of their own.
    card_->setAccessibleName(r.idiom + QLatin1Char('\n') + reading + QLatin1Char('\n') + e.meaning);
    card_->setAccessibleDescription(e.levelNames() + QLatin1Char('\n') + history);
}

void NotebookWindow::showIdiom(const QString &idiom)
{
    if (!isVisible())
        show(); // reads the notebook again
    int entry = notebook_.indexOf(idiom);
    if (entry < 0) {
        // Met since the notebook was read.
        reload();
        entry = notebook_.indexOf(idiom);
    }
    if (entry >= 0) {
        const auto &rows = model_->rows();
        if (std::find(rows.begin(), rows.end(), entry) == rows.end()) {
            // Hidden by the search or the level filter: show the whole list again.
            const QSignalBlocker blockSearch(search_);
            const QSignalBlocker blockLevel(level_);
            search_->clear();
            level_->setCurrentIndex(0);
            applyQuery();
        }
        selectEntry(entry);
        list_->setFocus();
    } else {
        setStatus(QStringLiteral("「%1」はまだ単語帳にありません。").arg(idiom));
    }
    present();
}

void NotebookWindow::present()
{
    if (!isVisible())
        show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void NotebookWindow::showEvent(QShowEvent *event)
{
    if (!placed_) {
        placed_ = true;
        placeOverParent(this);
    }
    setStatus(QString());
    reload();
    QWidget::showEvent(event);
}

void NotebookWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window from wherever the focus is (the list and the boxes pass it on).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace horokata
