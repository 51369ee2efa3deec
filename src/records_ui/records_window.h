// The records window "記録": each level's figures and the most recent boards, read from the
// player's store, with a way to clear one level's records after a question.
#pragma once

#include "idioms/levels.h"
#include "platform/flow_owner.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace horokata {

class RecordsStore;

class RecordsWindow : public QWidget {
    Q_OBJECT
public:
    // Asks the player whether a level's records may be cleared (see clearQuestionText);
    // true clears them. The answer may take as long as the player likes: the window stays
    // usable meanwhile, and nothing waits in a loop of its own.
    using ClearQuestion = std::function<FlowTask<bool>(int level)>;
    // Takes a flow started here and holds it to its end (the main window's flow owner).
    using FlowStarter = std::function<void(FlowTask<>)>;

    // A top-level window beside `parent` (not modal). Without a question the level records
    // cannot be cleared from the window and their buttons are not shown. The store must
    // outlive the window. Without a starter the window holds its flows itself.
    RecordsWindow(RecordsStore &store, ClearQuestion askClear, FlowStarter startFlow = {}, QWidget *parent = nullptr);

    // The question for clearing a level: "初級の記録をすべて消去します！　よろしいですか？"
    static QString clearQuestionText(int level);

    QTableWidget *statsTable() const { return stats_; }
    QTableWidget *recentTable() const { return recent_; }
    QPushButton *clearButton(int level) const;
    QString statusText() const;

    // Asks, then clears the level's ended boards when the answer is yes. True when cleared.
    // A second request while a question is open is refused (false).
    FlowTask<bool> clearLevel(int level);

public slots:
    // Reads the figures again from the store; call it when a board ends. Costs nothing while
    // the window is hidden: it reads them each time it is shown.
    void refresh();
    // Shows the window with fresh figures, raised and active.
    void present();

signals:
    // A level's records were cleared.
    void levelCleared(int level);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildStats();
    void buildRecent();
    void setQuestionOpen(bool open);
    FlowTask<> clearFromButton(int level);

    RecordsStore &store_;
    ClearQuestion askClear_;
    FlowOwner ownFlows_;     // holds the flows started here when no starter was given
    FlowStarter startFlow_;
    QTableWidget *stats_ = nullptr;
    QTableWidget *recent_ = nullptr;
    QLabel *noRecent_ = nullptr;
    QLabel *status_ = nullptr;
    std::array<QPushButton *, kLevelCount> clear_{};
    bool questionOpen_ = false;
    bool placed_ = false; // placed over the parent when first shown
};

} // namespace horokata
