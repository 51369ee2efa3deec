// The main window's entry points to the player's store: opening it, the board saved last laid
// out again, the records and notebook windows opened and their requests answered, the store's
// troubles told in the game's dialog.
#pragma once

#include "idioms/idiom.h"
#include "platform/flow_task.h"
#include "puzzle/program_state.h"

#include <QPointer>
#include <QTimer>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QEvent;
class QObject;

namespace horokata {

class BoardRecorder;
class BoardView;
class FlowOwner;
class Game;
class MainWindow;
class NotebookWindow;
class Platform;
class RecordsStore;
class RecordsWindow;

// A plain part of the main window. It holds the store, the recorder that tells it of the
// game's boards, and the two windows that read it.
class RecordsPresenter {
public:
    RecordsPresenter(MainWindow &window, Game &game, ProgramState &globals, Platform &platform, FlowOwner &flows,
                     const BoardView &board, const QString &programFolder);
    ~RecordsPresenter();

    // Keeps the records in the file at `path`; without it the window keeps none.
    void use(const QString &path) { path_ = path; }
    // Opens the store, tells its troubles, and lays the board saved last out again, or
    // leaves the title board on the level last played.
    FlowTask<> open();
    RecordsStore &store() { return *store_; }
    BoardRecorder &recorder() { return *recorder_; }
    // The records window, the idiom notebook (at `idiom` if given).
    void showRecords();
    void showNotebook(const QString &idiom);
    RecordsWindow *recordsWindow() const;
    const QString &programFolder() const { return programFolder_; } // where the lists and the dictionary lie
    NotebookWindow *notebookWindow() const;

    // The play clock runs while the window is shown and not minimised, and one of the game's
    // windows (the main window, 記録, 単語帳, 遊び方, the dialog) is active.
    void followActivity();
    // The board in play saved as it stands (after a pause or a hint), the flows at rest.
    void saveAtRest();
    // A hint was given: `count` on this board so far.
    void hintGiven(int count);
    // The window is closing: the board at rest is saved, the two windows close.
    void closing(bool atRest);
    // The two windows go before the store they read.
    void deleteWindows();
    // A double click on the level caption, a click on a found line: true when taken.
    bool filterEvent(QObject *watched, QEvent *event);

private:
    std::optional<std::vector<Idiom>> levelList(int level);
    FlowTask<> layOutSavedBoard();
    FlowTask<> tellStoreTrouble(DialogMode mode, QString details = QString());
    void tellStoreFailure();
    FlowTask<bool> askClearLevel(int level);
    // The title bar's clock brought up to the play clock (blank on the title board).
    void showClock();

    MainWindow &window_;
    Game &game_;
    ProgramState &g_;
    Platform &p_;
    FlowOwner &flows_;
    const BoardView &board_;
    QString programFolder_;
    QString path_;                            // the records file, "" for none
    std::unique_ptr<RecordsStore> store_;
    std::unique_ptr<BoardRecorder> recorder_; // the game's observer
    QPointer<RecordsWindow> records_;
    QPointer<NotebookWindow> notebook_;
    QSet<int> noticesTold_;                   // the store's troubles told this run
    QTimer clockTick_;                        // brings the title bar's clock up to date
};

} // namespace horokata
