// The main window and the player's store: opening it once the window is ready, the board
// saved last laid out again, the play clock following the window, the records window and
// the idiom notebook, and the store's troubles told in the game's dialog.
#include "main_window/main_window.h"

#include "idioms/idiom_list_reader.h"
#include "idioms/levels.h"
#include "popups/confirm_dialog.h"
#include "records_ui/notebook_window.h"
#include "records_ui/records_window.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTimer>

#include <map>

namespace horokata {

namespace {

// How often a trouble met during a flow is looked at again until it can be told.
constexpr int kNoticeRetryMs = 250;

} // namespace

void MainWindow::setUpRecords()
{
    store_ = std::make_unique<RecordsStore>();
    recorder_ = std::make_unique<BoardRecorder>(game_, *store_, p_);
    game_.setObserver(recorder_.get());
    recorder_->boardEnded = [this] {
        if (records_)
            records_->refresh();
        if (notebook_)
            notebook_->reload();
    };
    store_->setFailureHandler([this](StoreNotice, const QString &) {
        // Told once the flow that wrote is over: the dialog never opens inside a flow's step.
        QTimer::singleShot(0, this, &MainWindow::tellStoreFailure);
    });
    // A mouse path to the records: a double click on the level caption. Its press drags the
    // window as before; a double click had no meaning there.
    lblLEVEL->setToolTip(QStringLiteral("ダブルクリックで記録"));
    lblLEVEL->installEventFilter(this);
    for (QLabel *line : lblGO)
        line->installEventFilter(this);
}

void MainWindow::useRecords(const QString &path)
{
    recordsPath_ = path;
}

std::optional<std::vector<Idiom>> MainWindow::levelList(int level)
{
    if (level < 0 || level >= kLevelCount)
        return std::nullopt;
    std::optional<ParsedIdiomList> parsed = readIdiomListFile(g_.strPATH + QString::fromUtf8(levelAt(level).fileName));
    if (!parsed || parsed->entries.empty())
        return std::nullopt;
    return std::move(parsed->entries);
}

QCoro::Task<> MainWindow::openRecords()
{
    if (recordsPath_.isEmpty())
        co_return;
    const OpenOutcome outcome = store_->open(recordsPath_);
    using S = OpenOutcome::Status;
    // One short sentence in the dialog; what happened, in full, is its tooltip.
    g_.strNOTE = outcome.status == S::Ok ? outcome.repaired.join(u'\n') : outcome.reason;
    if (outcome.status == S::SetAside) {
        g_.strNOTE += u'\n' + outcome.setAsidePath;
        co_await tellStoreTrouble(DialogMode::RecordsSetAside);
    } else if (outcome.status == S::Unavailable)
        co_await tellStoreTrouble(DialogMode::RecordsUnavailable);
    else if (outcome.status == S::ReadOnly)
        co_await tellStoreTrouble(DialogMode::RecordsReadOnly);
    else if (outcome.status == S::Newer)
        co_await tellStoreTrouble(DialogMode::RecordsNewer);
    else if (!outcome.repaired.isEmpty())
        co_await tellStoreTrouble(DialogMode::RecordsRepaired);
    if (!store_->available())
        co_return;

    std::map<int, std::vector<Idiom>> lists;
    const auto source = [this, &lists](int level) -> std::optional<std::vector<Idiom>> {
        std::optional<std::vector<Idiom>> list = levelList(level);
        if (list)
            lists[level] = *list;
        return list;
    };
    const ResumeLoad resume = store_->loadResume(source);
    // Only the title board that start-up left is replaced: a click may have dealt already.
    const bool untouched = game_.phase() == BoardPhase::Idle && !game_.dealt();
    if (resume.status == ResumeLoad::Status::Ok && untouched && lists.count(resume.board.level)) {
        game_.takeLevel(resume.board.level, std::move(lists[resume.board.level]));
        game_.resumeBoard(resume.board);
        recorder_->resumed(resume.board);
        sync();
        co_return;
    }
    if (resume.status == ResumeLoad::Status::SetAside) {
        g_.strNOTE = resume.problem;
        co_await tellStoreTrouble(DialogMode::BoardSetAside);
    }
    // The title board on the level last played, when its list still reads.
    if (const std::optional<int> last = store_->lastLevel(); untouched && last && *last != game_.level()) {
        if (std::optional<std::vector<Idiom>> list = levelList(*last))
            game_.takeLevel(*last, std::move(*list));
    }
    sync();
}

QCoro::Task<> MainWindow::tellStoreTrouble(DialogMode mode)
{
    if (noticesTold_.contains(static_cast<int>(mode)))
        co_return;
    noticesTold_.insert(static_cast<int>(mode));
    // The file kept lies beside the records file: its name says where it went, and fits the
    // dialog where a whole path would not (the whole path is the message's tooltip).
    if (mode == DialogMode::RecordsSetAside)
        g_.strNAME = QFileInfo(store_->outcome().setAsidePath).fileName();
    co_await game_.ask(mode);
}

void MainWindow::tellStoreFailure()
{
    if (!isVisible())
        return;
    if (flowRunning() || popup_) {
        QTimer::singleShot(kNoticeRetryMs, this, &MainWindow::tellStoreFailure);
        return;
    }
    // Rows left out are a repair of sorts; a failing or damaged file means nothing is kept.
    g_.strNOTE = store_->lastNotice();
    const bool skipped = store_->writable() && !store_->writeFailing();
    flow(tellStoreTrouble(skipped ? DialogMode::RecordsRepaired : DialogMode::RecordsUnavailable));
}

void MainWindow::followActivity()
{
    if (recorder_)
        recorder_->setWindowActive(isVisible() && !isMinimized() && isActiveWindow());
}

void MainWindow::recordsClosing()
{
    // A board waiting on a question or the menu is at rest; one moving tiles is not.
    recorder_->closing(!flowRunning() || popup_);
    if (records_)
        records_->close();
    if (notebook_)
        notebook_->close();
}

void MainWindow::deleteRecordWindows()
{
    delete records_;
    delete notebook_;
}

RecordsWindow *MainWindow::recordsWindow() const
{
    return records_;
}

NotebookWindow *MainWindow::notebookWindow() const
{
    return notebook_;
}

void MainWindow::showRecords()
{
    if (!records_)
        records_ = new RecordsWindow(*store_, [this](int level) { return askClearLevel(level); }, this);
    records_->present();
}

void MainWindow::showNotebook(const QString &idiom)
{
    if (!notebook_) {
        const QString dictionary = QDir(programFolder_).filePath(QString::fromUtf8(kDictionaryFileName));
        notebook_ = new NotebookWindow(*store_, readIdiomDictionary(dictionary), this);
        connect(notebook_, &NotebookWindow::reviewRequested, this, &MainWindow::startReview);
    }
    if (idiom.isEmpty())
        notebook_->present();
    else
        notebook_->showIdiom(idiom);
}

QCoro::Task<bool> MainWindow::askClearLevel(int level)
{
    // The game's dialog asks one thing at a time: not while a flow of the game runs.
    if (flowRunning() || popup_ || !isVisible())
        co_return false;
    if (isMinimized())
        showNormal();
    ++flows_;
    bool yes = false;
    try {
        g_.strNAME = levelFileName(level);
        const bool answer = co_await game_.ask(DialogMode::ClearLevelRecords);
        yes = answer;
    } catch (const FlowStopped &) {
        // The window closed while the question was open.
        --flows_;
        co_return false;
    }
    --flows_;
    sync();
    if (records_) {
        records_->raise();
        records_->activateWindow();
    }
    co_return yes;
}

bool MainWindow::recordsEvent(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    if (watched == lblLEVEL && type == QEvent::MouseButtonDblClick) {
        showRecords();
        return true;
    }
    if (type != QEvent::MouseButtonRelease)
        return false;
    // A click on a found or revealed line opens the notebook at its idiom.
    for (QLabel *line : lblGO) {
        if (watched != line || !line->rect().contains(mouse->position().toPoint()))
            continue;
        const QString idiom = idiomOnLine(line->text());
        if (idiom.isEmpty())
            return false;
        showNotebook(idiom);
        return true;
    }
    return false;
}

} // namespace horokata
