// The main window's entry points to the player's store: opening it, the board saved last laid
// out again, the records and notebook windows opened and their requests answered, the store's
// troubles told in the game's dialog.
#include "main_window/records_presenter.h"

#include "idioms/idiom_list_reader.h"
#include "idioms/levels.h"
#include "main_window/board_view.h"
#include "main_window/main_window.h"
#include "platform/flow_owner.h"
#include "records/board_recorder.h"
#include "records/records_store.h"
#include "records_ui/notebook_window.h"
#include "records_ui/records_window.h"

#include <QDir>
#include <QGuiApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTimer>

#include <map>

namespace horokata {

namespace {

// How often a trouble met during a flow is looked at again until it can be told.
constexpr int kNoticeRetryMs = 250;

} // namespace

RecordsPresenter::RecordsPresenter(MainWindow &window, Game &game, ProgramState &globals, Platform &platform,
                                   FlowOwner &flows, const BoardView &board, const QString &programFolder)
    : window_(window), game_(game), g_(globals), p_(platform), flows_(flows), board_(board),
      programFolder_(programFolder), store_(std::make_unique<RecordsStore>()),
      recorder_(std::make_unique<BoardRecorder>(game_, *store_, p_))
{
    game_.setObserver(recorder_.get());
    // Checked five times a second, so the shown seconds turn within 0.2 s of the clock's.
    clockTick_.setInterval(200);
    QObject::connect(&clockTick_, &QTimer::timeout, &window_, [this] { showClock(); });
    clockTick_.start();
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &window_, [this] { followActivity(); });
    recorder_->boardEnded = [this] {
        if (records_)
            records_->refresh();
        if (notebook_)
            notebook_->reload();
    };
    store_->setFailureHandler([this](StoreNotice, const QString &) {
        // Told once the flow that wrote is over: the dialog never opens inside a flow's step.
        QTimer::singleShot(0, &window_, [this] { tellStoreFailure(); });
    });
    // A mouse path to the records: a double click on the level caption. Its press drags the
    // window as before; a double click had no meaning there.
    board_.levelLabel()->setToolTip(QStringLiteral("ダブルクリックで記録（Ctrl+H）"));
    board_.levelLabel()->installEventFilter(&window_);
    for (QLabel *line : board_.lines())
        line->installEventFilter(&window_);
}

RecordsPresenter::~RecordsPresenter()
{
    // The game outlives its observer's removal.
    game_.setObserver(nullptr);
}

std::optional<std::vector<Idiom>> RecordsPresenter::levelList(int level)
{
    if (level < 0 || level >= kLevelCount)
        return std::nullopt;
    std::optional<ParsedIdiomList> parsed = readIdiomListFile(g_.programFolder() + QString::fromUtf8(levelAt(level).fileName));
    if (!parsed || parsed->entries.empty())
        return std::nullopt;
    return std::move(parsed->entries);
}

FlowTask<> RecordsPresenter::open()
{
    if (path_.isEmpty())
        co_return;
    const OpenOutcome outcome = store_->open(path_);
    using S = OpenOutcome::Status;
    // One short sentence in the dialog; what happened, in full, is its tooltip.
    QString details = outcome.status == S::Ok ? outcome.repaired.join(u'\n') : outcome.reason;
    if (outcome.status == S::SetAside) {
        details += u'\n' + outcome.setAsidePath;
        co_await tellStoreTrouble(DialogMode::RecordsSetAside, details);
    } else if (outcome.status == S::Unavailable)
        co_await tellStoreTrouble(DialogMode::RecordsUnavailable, details);
    else if (outcome.status == S::ReadOnly)
        co_await tellStoreTrouble(DialogMode::RecordsReadOnly, details);
    else if (outcome.status == S::Newer)
        co_await tellStoreTrouble(DialogMode::RecordsNewer, details);
    else if (!outcome.repaired.isEmpty())
        co_await tellStoreTrouble(DialogMode::RecordsRepaired, details);
    if (!store_->available())
        co_return;
    co_await layOutSavedBoard();
}

FlowTask<> RecordsPresenter::layOutSavedBoard()
{
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
        window_.sync();
        co_return;
    }
    if (resume.status == ResumeLoad::Status::SetAside) {
        co_await tellStoreTrouble(DialogMode::BoardSetAside, resume.problem);
    }
    // The title board on the level last played, when its list still reads.
    if (const std::optional<int> last = store_->lastLevel(); untouched && last && *last != game_.level()) {
        if (std::optional<std::vector<Idiom>> list = levelList(*last))
            game_.takeLevel(*last, std::move(*list));
    }
    window_.sync();
}

FlowTask<> RecordsPresenter::tellStoreTrouble(DialogMode mode, QString details)
{
    if (noticesTold_.contains(static_cast<int>(mode)))
        co_return;
    noticesTold_.insert(static_cast<int>(mode));
    // The file kept lies beside the records file: its name says where it went, and fits the
    // dialog where a whole path would not (the whole path is the message's tooltip). The lines
    // after the first are the details the dialog's tooltip tells.
    QString name = mode == DialogMode::RecordsSetAside ? QFileInfo(store_->outcome().setAsidePath).fileName() : QString();
    if (!details.isEmpty())
        name += u'\n' + details; // named, not a temporary: see askClearLevel
    co_await game_.ask(mode, name);
}

void RecordsPresenter::tellStoreFailure()
{
    if (!window_.isVisible())
        return;
    if (!flows_.atRest() || window_.popupOpen()) {
        QTimer::singleShot(kNoticeRetryMs, &window_, [this] { tellStoreFailure(); });
        return;
    }
    // Rows left out are a repair of sorts; a failing or damaged file means nothing is kept.
    const bool skipped = store_->writable() && !store_->writeFailing();
    flows_.start(tellStoreTrouble(skipped ? DialogMode::RecordsRepaired : DialogMode::RecordsUnavailable,
                                  store_->lastNotice()));
}

void RecordsPresenter::followActivity()
{
    recorder_->setWindowActive(window_.isVisible() && !window_.isMinimized() && !game_.paused()
                               && QGuiApplication::applicationState() == Qt::ApplicationActive);
    showClock();
}

void RecordsPresenter::showClock()
{
    // Blank on the title board; a board in play shows its time also while a question is open.
    // While a flow runs with the clock stopped (a deal, a loss being shown) the words stay as
    // they are: the phases it passes through are not the title board.
    if (!recorder_->clockOn() && window_.flowRunning())
        return;
    const bool titleBoard = game_.phase() == BoardPhase::Idle && !recorder_->clockOn();
    board_.showClock(titleBoard ? QString() : formatPlayTime(recorder_->playMs()));
}

void RecordsPresenter::saveAtRest()
{
    if (flows_.atRest())
        recorder_->saveAtRest();
}

void RecordsPresenter::hintGiven(int /*count*/)
{
    saveAtRest();
}

void RecordsPresenter::closing(bool atRest)
{
    recorder_->closing(atRest);
    if (records_)
        records_->close();
    if (notebook_)
        notebook_->close();
}

void RecordsPresenter::deleteWindows()
{
    delete records_;
    delete notebook_;
}

RecordsWindow *RecordsPresenter::recordsWindow() const
{
    return records_;
}

NotebookWindow *RecordsPresenter::notebookWindow() const
{
    return notebook_;
}

void RecordsPresenter::showRecords()
{
    if (!records_)
        records_ = new RecordsWindow(
            *store_, [this](int level) { return askClearLevel(level); },
            [this](FlowTask<> clear) { flows_.start(std::move(clear)); }, &window_);
    records_->present();
}

void RecordsPresenter::showNotebook(const QString &idiom)
{
    if (!notebook_) {
        const QString dictionary = QDir(programFolder_).filePath(QString::fromUtf8(kDictionaryFileName));
        notebook_ = new NotebookWindow(*store_, readIdiomDictionary(dictionary), &window_);
        QObject::connect(notebook_, &NotebookWindow::reviewRequested, &window_, &MainWindow::startReview);
    }
    if (idiom.isEmpty())
        notebook_->present();
    else
        notebook_->showIdiom(idiom);
}

FlowTask<bool> RecordsPresenter::askClearLevel(int level)
{
    // The game's dialog asks one thing at a time: not while a flow of the game runs. The
    // request's own flow is handed to the owner only once this first step has run.
    if (!flows_.atRest() || window_.popupOpen() || !window_.isVisible())
        co_return false;
    if (window_.isMinimized())
        window_.showNormal();
    // A named value, not a temporary, goes into the coroutine: the compiler mishandles a
    // temporary passed by value to a coroutine inside a co_await.
    const QString name = levelFileName(level);
    const bool yes = co_await game_.ask(DialogMode::ClearLevelRecords, name);
    window_.sync();
    if (records_) {
        records_->raise();
        records_->activateWindow();
    }
    co_return yes;
}

bool RecordsPresenter::filterEvent(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    if (watched == board_.levelLabel() && type == QEvent::MouseButtonDblClick) {
        showRecords();
        return true;
    }
    if (type != QEvent::MouseButtonRelease)
        return false;
    // A click on a found or revealed line opens the notebook at its idiom.
    for (QLabel *line : board_.lines()) {
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
