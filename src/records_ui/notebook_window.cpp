// The idiom notebook window "単語帳".
#include "records_ui/notebook_window.h"

#include "records/anki_export.h"
#include "records/records_store.h"
#include "records_ui/game_look.h"
#include "platform_qt/fonts.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace horokata {

namespace {

enum Column { IdiomColumn, ReadingColumn, LevelColumn, FoundColumn, MissedColumn, MeaningColumn, Columns };
const std::array<const char *, Columns> kHeaders = {"熟語", "読み", "級", "発見", "見逃し", "意味"};
const std::array<const char *, Columns> kHeaderTips = {
    "出会った四字熟語", "かなの読み", "出会った級", "見つけた回数", "負けた面で明かされた回数", "意味（英語）"};

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

// The list as shown: rows are indices into the notebook's entries.
class NotebookModel : public QAbstractTableModel {
public:
    explicit NotebookModel(QObject *parent) : QAbstractTableModel(parent) {}

    void setRows(const Notebook *notebook, std::vector<int> rows)
    {
        beginResetModel();
        notebook_ = notebook;
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<int> &rows() const { return rows_; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : Columns; }

    QVariant data(const QModelIndex &index, int role) const override
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
            case MeaningColumn: return e.meaning;
            default: return {};
            }
        }
        if (role == Qt::TextAlignmentRole && (index.column() == FoundColumn || index.column() == MissedColumn))
            return int(Qt::AlignCenter);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= Columns)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (role == Qt::DisplayRole)
            return QString::fromUtf8(kHeaders[std::size_t(section)]);
        if (role == Qt::ToolTipRole)
            return QString::fromUtf8(kHeaderTips[std::size_t(section)]);
        return {};
    }

private:
    const Notebook *notebook_ = nullptr;
    std::vector<int> rows_;
};

NotebookWindow::NotebookWindow(RecordsStore &store, IdiomDictionary dictionary, QWidget *parent)
    : QWidget(parent, Qt::Window), store_(store), dictionary_(std::move(dictionary))
{
    setObjectName(QStringLiteral("notebook"));
    setWindowTitle(QStringLiteral("単語帳"));
    setAccessibleName(QStringLiteral("単語帳"));
    applyGameLook(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);

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
    setTabOrder(card_, export_);
    setTabOrder(export_, close_);

    connect(search_, &QLineEdit::textChanged, this, &NotebookWindow::applyQuery);
    connect(level_, &QComboBox::currentIndexChanged, this, &NotebookWindow::applyQuery);
    connect(sort_, &QComboBox::currentIndexChanged, this, &NotebookWindow::applyQuery);
    // The card follows the row chosen: a click on the current row that a search left
    // unselected selects it without moving the current row.
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showCardOf(selectedEntry()); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showCardOf(selectedEntry()); });
    connect(export_, &QPushButton::clicked, this, &NotebookWindow::chooseExportFile);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    showCardOf(-1);
    resize(900, 560);
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
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 8);
    QHeaderView *header = list_->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    list_->setColumnWidth(IdiomColumn, 100);
    list_->setColumnWidth(ReadingColumn, 150);
    list_->setColumnWidth(LevelColumn, 80);
    list_->setColumnWidth(FoundColumn, 50);
    list_->setColumnWidth(MissedColumn, 60);
    middle->addWidget(list_, 1);

    card_ = new QLabel(this);
    card_->setObjectName(QStringLiteral("card"));
    card_->setWordWrap(true);
    card_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    card_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    card_->setFocusPolicy(Qt::StrongFocus);
    card_->setMargin(8);
    card_->setStyleSheet(QStringLiteral("QLabel#card { background: #ffffe1; color: #000000; }"));
    auto *cardArea = new QScrollArea(this);
    cardArea->setObjectName(QStringLiteral("cardArea"));
    cardArea->setWidget(card_);
    cardArea->setWidgetResizable(true);
    cardArea->setFixedWidth(280);
    cardArea->setStyleSheet(QStringLiteral("QScrollArea#cardArea { border: 1px solid #008000; background: #ffffe1; }"));
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

void NotebookWindow::reload()
{
    // A hidden window reads the notebook when it is shown again.
    if (!isVisible())
        return;
    const QString selected = selectedIdiom();
    notebook_ = Notebook(store_.notebook(), dictionary_);
    applyQuery();
    if (!selected.isEmpty())
        selectEntry(notebook_.indexOf(selected));
    if (!store_.available())
        setStatus(QStringLiteral("記録を読み書きできないため、単語帳は空です。"));
}

void NotebookWindow::applyQuery()
{
    const QString selected = selectedIdiom();
    model_->setRows(&notebook_, notebook_.query(query()));
    const int total = static_cast<int>(notebook_.entries().size());
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

void NotebookWindow::selectEntry(int entry)
{
    const auto &rows = model_->rows();
    const auto it = std::find(rows.begin(), rows.end(), entry);
    if (entry < 0 || it == rows.end())
        return;
    const QModelIndex index = model_->index(static_cast<int>(it - rows.begin()), IdiomColumn);
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
    card_->setText(QStringLiteral("<p style='white-space:pre-wrap'><span style='font-size:20pt; font-weight:bold'>%1</span><br>%2<br>%3</p>"
                                  "<p style='color:#404040'>%4<br>%5</p>")
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

void NotebookWindow::chooseExportFile()
{
    if (fileDialog_) {
        fileDialog_->raise();
        fileDialog_->activateWindow();
        return;
    }
    // The documents folder when there is one, else home.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    auto *dialog = new QFileDialog(this, QStringLiteral("書き出し"), QDir(folder).filePath(QStringLiteral("ホロカタ単語帳.txt")),
                                   QStringLiteral("Anki 用テキスト (*.txt);;すべてのファイル (*)"));
    dialog->setObjectName(QStringLiteral("exportDialog"));
    // Its words would otherwise take this window's white on its own light background.
    applyGameLook(dialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The dialog's own question about a file already there would wait in a loop of its own:
    // it is asked below without waiting instead.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    connect(dialog, &QFileDialog::fileSelected, this, &NotebookWindow::exportChosen);
    fileDialog_ = dialog;
    dialog->open();
}

void NotebookWindow::exportChosen(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        exportTo(path);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("書き出し"),
                                QStringLiteral("「%1」はすでにあります。置き換えますか？").arg(QFileInfo(path).fileName()),
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("replaceQuestion"));
    QPushButton *yes = box->addButton(QStringLiteral("はい ○"), QMessageBox::YesRole);
    QPushButton *no = box->addButton(QStringLiteral("いいえ ×"), QMessageBox::NoRole);
    box->setDefaultButton(no);
    box->setEscapeButton(no);
    box->setAttribute(Qt::WA_DeleteOnClose);
    applyGameLook(box);
    // The list is written as it is shown when the answer comes.
    connect(box, &QMessageBox::finished, this, [this, box, yes, path] {
        if (box->clickedButton() == yes)
            exportTo(path);
    });
    box->open();
}

bool NotebookWindow::exportTo(const QString &path)
{
    const std::vector<NotebookEntry> entries = notebook_.select(query());
    QString error;
    const bool ok = writeAnkiExport(path, entries, &error);
    const QString name = QFileInfo(path).fileName();
    const QString message = ok ? QStringLiteral("%1 語を「%2」に書き出しました。").arg(entries.size()).arg(name)
                               : QStringLiteral("「%1」に書き出せませんでした：%2").arg(name, error);
    setStatus(message);
    emit exportFinished(ok, message);
    return ok;
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
