// The idiom notebook window "単語帳": every idiom the player met, with its card, sorted,
// filtered by level and searched as the player types, and written out for Anki.
#pragma once

#include "idioms/idiom_dictionary.h"
#include "records/notebook.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class QComboBox;
class QFileDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace horokata {

class RecordsStore;
class NotebookModel;

class NotebookWindow : public QWidget {
    Q_OBJECT
public:
    // A top-level window beside `parent` (not modal). The idioms' readings and meanings come
    // from `dictionary` (the cards' dictionary; an idiom without an entry shows none). The
    // store must outlive the window.
    NotebookWindow(RecordsStore &store, IdiomDictionary dictionary, QWidget *parent = nullptr);
    ~NotebookWindow() override;

    QTableView *list() const { return list_; }
    QLineEdit *searchBox() const { return search_; }
    QComboBox *sortBox() const { return sort_; }
    QComboBox *levelBox() const { return level_; }
    // The column the list is sorted by through its header, -1 for the sort box's order.
    int headerSortColumn() const { return headerSort_; }
    QLabel *card() const { return card_; }
    QPushButton *exportButton() const { return export_; }
    // "復習": asks the game for a review board (reviewRequested).
    QPushButton *reviewButton() const { return review_; }
    // "今日の復習 N 語": the idioms due today or earlier.
    QLabel *dueLabel() const { return due_; }
    // "該当なし" over the list when the search and the filter leave nothing to show.
    QLabel *noMatchLabel() const { return noMatch_; }
    // What the list shows now, in its order.
    NotebookQuery query() const;
    int shownCount() const;
    QString shownIdiom(int row) const;
    // The idiom whose card is shown, "" for none.
    QString selectedIdiom() const;
    QString statusText() const;

    // Writes the list as shown (sorted and filtered) to `path` as a file for Anki, and says in
    // the window how it went. False when nothing was written.
    bool exportTo(const QString &path);

public slots:
    // Reads the notebook again from the store, keeping the sort, filter, search and selection;
    // call it when a board ends. Costs nothing while the window is hidden: it reads the
    // notebook each time it is shown.
    void reload();
    // Shows the window at an idiom: selected, its card shown, the filter and the search
    // cleared when they hide it.
    void showIdiom(const QString &idiom);
    // Shows the window, raised and active.
    void present();
    // Asks where to write the list shown (without waiting for the answer), then writes it.
    void chooseExportFile();
    // Says that a review board needs `more` idioms met first.
    void tellReviewShortfall(int more);

signals:
    // An export was written (ok) or failed; `message` is what the window says about it.
    void exportFinished(bool ok, const QString &message);
    // 復習 was pressed: the game deals a review board, or says why it cannot.
    void reviewRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // A file chosen in the export dialog: written, after asking when it is already there.
    void exportChosen(const QString &path);
    // The window's rows of controls, top to bottom.
    QHBoxLayout *buildFilters();
    QHBoxLayout *buildListAndCard();
    QHBoxLayout *buildButtons();
    void applyQuery();
    // A click on a column's header: the list sorted by it until the sort box is changed; the
    // order holds through searches and reloads. A second click on it turns the order round.
    void sortByHeader(int column);
    void sortBoxChanged();
    void showCardOf(int entry);
    void selectEntry(int entry);
    int selectedEntry() const;
    void setStatus(const QString &text);

    RecordsStore &store_;
    IdiomDictionary dictionary_;
    Notebook notebook_;
    NotebookModel *model_ = nullptr;
    QLineEdit *search_ = nullptr;
    QComboBox *sort_ = nullptr;
    QComboBox *level_ = nullptr;
    QLabel *count_ = nullptr;
    QTableView *list_ = nullptr;
    QLabel *card_ = nullptr;
    QPushButton *export_ = nullptr;
    QPushButton *review_ = nullptr;
    QLabel *due_ = nullptr;
    QPushButton *close_ = nullptr;
    QLabel *status_ = nullptr;
    QLabel *noMatch_ = nullptr;
    int headerSort_ = -1; // the column the list is sorted by, -1 for the sort box's order
    Qt::SortOrder headerOrder_ = Qt::AscendingOrder;
    QPointer<QFileDialog> fileDialog_;
    bool placed_ = false; // placed over the parent when first shown
};

} // namespace horokata
