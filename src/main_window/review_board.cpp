// Review boards from the main window: the notebook's most due idioms dealt on the level in
// play, or, with too few idioms met, the notebook saying how many more are needed.
#include "main_window/review_board.h"

#include "main_window/main_window.h"
#include "main_window/records_presenter.h"
#include "records/records_store.h"
#include "records/review_choice.h"
#include "records_ui/notebook_window.h"

#include <QAction>
#include <QDate>

namespace horokata {

void addReviewAction(MainWindow &window)
{
    auto *action = new QAction(QStringLiteral("復習"), &window);
    action->setObjectName(QStringLiteral("reviewAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setAutoRepeat(false);
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, &window, &MainWindow::startReview);
}

void MainWindow::startReview()
{
    // Only between flows, with nothing open over the board, once a level's list is read.
    if (flowRunning() || popup_ || !game_.listRead())
        return;
    const ReviewChoice choice = chooseReview(records_->store().notebook(), QDate::currentDate());
    if (choice.idioms.empty()) {
        records_->showNotebook(QString());
        if (NotebookWindow *notebook = records_->notebookWindow())
            notebook->tellReviewShortfall(choice.moreNeeded);
        return;
    }
    raise();
    activateWindow();
    flow(game_.dealReview(choice.idioms));
}

} // namespace horokata
