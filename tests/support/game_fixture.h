// Shared set-up for the game tests: a recording host, idiom lists, board helpers and snapshots.
#pragma once

#include "idioms/levels.h"
#include "puzzle/program_state.h"
#include "support/flow_run.h"
#include "support/fake_platform.h"
#include "puzzle/game.h"
#include "game_invariants.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Readable failure messages; file-local so it never clashes with another suite's printer.
static inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace horokata::testing {

// The windows around the game, recording what the game asked of them.
class FakeHost : public GameHost {
public:
    struct Dialog {
        int mode = 0;
        int imgOFFTop = 0;
        QString strNAME;
        int logSize = 0; // entries in the platform log when the dialog opened
    };

    FakeHost(ProgramState &globals, FakePlatform &platform) : g_(globals), p_(platform) {}
    void attach(const BoardModel *model) { model_ = model; }

    horokata::FlowTask<bool> SET_FORM2(DialogMode mode, QString name) override
    {
        dialogs.push_back({static_cast<int>(mode), model_ ? model_->imgOFFTop : -1, name, static_cast<int>(p_.log.size())});
        bool cancel = cancelAll;
        if (!answers.empty()) {
            cancel = answers.front();
            answers.pop_front();
        }
        co_return !cancel;
    }
    horokata::FlowTask<> playCelebration() override
    {
        ++celebrations;
        celebrationLogSize = static_cast<int>(p_.log.size());
        if (model_) {
            celebrationEnabled = model_->enabled;
            celebrationBusy = model_->busyPointer;
        }
        co_return;
    }
    // As the real window: the close ends the flow that asked for it.
    horokata::FlowTask<> closeMainWindow() override
    {
        ++closes;
        closeLogSize = static_cast<int>(p_.log.size());
        throw FlowStopped{};
        co_return;
    }

    std::vector<int> modes() const
    {
        std::vector<int> out;
        for (const Dialog &d : dialogs)
            out.push_back(d.mode);
        return out;
    }

    std::vector<Dialog> dialogs;
    std::deque<bool> answers; // true = the player cancels; used up one per dialog
    bool cancelAll = false;   // the answer once `answers` is empty
    int celebrations = 0;
    int celebrationLogSize = -1;
    bool celebrationEnabled = true;
    bool celebrationBusy = false;
    int closes = 0;
    int closeLogSize = -1;

private:
    ProgramState &g_;
    FakePlatform &p_;
    const BoardModel *model_ = nullptr;
};

// The result of a flow that has run to its end: every wait of the scripted platform and host
// completes at once, so a flow called from a test is over when the call returns.
template<typename T>
T result(horokata::FlowTask<T> task)
{
    std::optional<T> out;
    task.then([&out](T value) { out = std::move(value); });
    EXPECT_TRUE(out.has_value()) << "the flow has not ended";
    return out.value_or(T{});
}

// Distinct four-character idioms; with `shared` == 0 every character of the first 20 is unique.
inline QString generatedIdiom(int n)
{
    QString s;
    for (int k = 0; k < 4; ++k)
        s += QChar(static_cast<char16_t>(0x4E00 + 4 * n + k));
    return s;
}

inline std::vector<QString> generatedIdioms(int count)
{
    std::vector<QString> out;
    for (int n = 0; n < count; ++n)
        out.push_back(generatedIdiom(n));
    return out;
}

// Idioms written with common kanji that Shift-JIS can encode, distinct for up to 400 lines.
inline QString sjisIdiom(int n)
{
    static const QString kanji = QStringLiteral(u"一二三四五六七八九十百千万円日月火水木金");
    return QStringLiteral(u"一石") + kanji[n / 20 % 20] + kanji[n % 20];
}

inline QByteArray shiftJis(const QString &text)
{
    QStringEncoder encoder("Shift_JIS");
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError());
    return bytes;
}

// `lines` idioms, each followed by `lineEnd`, as Shift-JIS bytes.
inline QByteArray idiomFile(int lines, const char *lineEnd = "\r\n")
{
    QString text;
    for (int i = 0; i < lines; ++i)
        text += sjisIdiom(i) + QString::fromLatin1(lineEnd);
    return shiftJis(text);
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// One visible step of the board as the window would paint it at a doEvents.
struct Snapshot {
    BoardModel model;
    std::array<int, kCells> intMOJI{};
    int logSize = 0;
};

// Everything a player can see on the board and side panel, for before/after comparisons.
inline QStringList visibleState(const Game &game)
{
    QStringList out;
    const BoardModel &m = game.model();
    for (int i = 0; i < kCells; ++i) {
        const Tile &t = m.MOJI[static_cast<std::size_t>(i)];
        out << QStringLiteral("tile %1 %2 v%3 %4").arg(i).arg(t.Caption).arg(t.Value).arg(t.Visible);
    }
    for (const IdiomLine &l : m.lblGO)
        out << QStringLiteral("line %1 %2").arg(l.Caption).arg(l.ForeColor);
    for (const Lamp &l : m.chkLIFE)
        out << QStringLiteral("lamp %1 %2").arg(l.Visible).arg(l.BackColor);
    out << m.lblGOKU << m.lblLEVEL;
    out << QStringLiteral("got %1 miss %2 pick %3 '%4' play %5 over %6 clear %7")
               .arg(game.foundCount()).arg(game.misses()).arg(game.pickCount()).arg(game.picked())
               .arg(game.playing()).arg(game.overStage()).arg(game.clearStage());
    for (int k = 1; k <= kIdioms; ++k)
        out << game.hiddenIdioms()[static_cast<std::size_t>(k)] + QString::number(game.foundFlags()[static_cast<std::size_t>(k)]);
    for (int i = 0; i < kCells; ++i)
        out << game.dealtCharacters()[static_cast<std::size_t>(i)] + QString::number(game.occupiedCells()[static_cast<std::size_t>(i)]);
    return out;
}

class GameTest : public ::testing::Test {
protected:
    GameTest()
    {
        host.attach(&game.model());
        for (int s = 1; s <= 4; ++s) {
            globals.slot(Sound(s)).path = soundPath(s);
            globals.slot(Sound(s)).playable = true;
        }
        globals.setLevelLabel(QStringLiteral("＜初級＞"));
    }

    static QString soundPath(int slot) { return QStringLiteral("/snd/%1.wav").arg(slot); }
    static QString soundEntry(int slot) { return QStringLiteral("sound ") + soundPath(slot); }

    const BoardModel &model() const { return game.model(); }
    const Tile &tile(int i) const { return model().MOJI[static_cast<std::size_t>(i)]; }
    QString goku(int k) const { return game.hiddenIdioms()[static_cast<std::size_t>(k)]; }

    // The idioms as if read from the beginner list's file: entries 1..n, boards may be dealt.
    void setList(const std::vector<QString> &idioms)
    {
        std::vector<Idiom> list{Idiom()};
        for (const QString &idiom : idioms)
            list.emplace_back(idiom);
        game.takeLevel(kStartLevel, std::move(list));
    }

    // A board in play from a list of `count` idioms with unique characters.
    void dealBoard(int count = 20)
    {
        if (game.idiomCount() == 0)
            setList(generatedIdioms(count));
        horokata::testing::runFlow(game.cmdNEW_Click());
        ASSERT_TRUE(game.playing());
    }

    void recordSnapshots()
    {
        snapshots.clear();
        platform.onEvents = [this] {
            snapshots.push_back({game.model(), game.occupiedCells(), static_cast<int>(platform.log.size())});
        };
    }

    QString messageRow() const
    {
        QString s;
        for (int i : kMessageCells)
            s += game.model().MOJI[static_cast<std::size_t>(i)].Caption;
        return s;
    }
    static QString messageRow(const BoardModel &m)
    {
        QString s;
        for (int i : kMessageCells)
            s += m.MOJI[static_cast<std::size_t>(i)].Caption;
        return s;
    }
    int visibleTiles() const
    {
        return static_cast<int>(std::count_if(game.model().MOJI.begin(), game.model().MOJI.end(),
                                              [](const Tile &t) { return t.Visible; }));
    }

    // Visible, distinct cells whose captions spell `word` in order; empty when the board cannot.
    std::vector<int> cellsSpelling(const QString &word, const std::vector<int> &avoid = {}) const
    {
        std::vector<int> cells;
        for (QChar ch : word) {
            int found = -1;
            for (int i = 0; i < kCells && found < 0; ++i) {
                const Tile &t = game.model().MOJI[static_cast<std::size_t>(i)];
                if (t.Visible && t.Caption == QString(ch) && t.Value == 0
                    && std::find(cells.begin(), cells.end(), i) == cells.end()
                    && std::find(avoid.begin(), avoid.end(), i) == avoid.end())
                    found = i;
            }
            if (found < 0)
                return {};
            cells.push_back(found);
        }
        return cells;
    }

    void pick(const std::vector<int> &cells)
    {
        for (int i : cells)
            horokata::testing::runFlow(game.clickTile(i, MouseButton::Left));
    }

    // Picks the tiles of hidden idiom k; false when the board cannot spell it.
    bool findIdiom(int k)
    {
        const std::vector<int> cells = cellsSpelling(goku(k));
        if (cells.size() != 4)
            return false;
        pick(cells);
        return true;
    }

    // Four visible tiles that spell no hidden idiom, picked.
    void missOnce()
    {
        ASSERT_EQ(game.pickCount(), 0) << "a pick is pending";
        std::vector<int> cells;
        for (int i = 0; i < kCells && cells.size() < 4; ++i)
            if (tile(i).Visible)
                cells.push_back(i);
        ASSERT_EQ(cells.size(), 4u);
        QString word;
        for (int i : cells)
            word += tile(i).Caption;
        for (int k = 1; k <= kIdioms; ++k)
            if (word == goku(k))
                std::swap(cells[0], cells[1]);
        pick(cells);
    }

    void completeBoard()
    {
        for (int k = 1; k <= kIdioms; ++k)
            ASSERT_TRUE(findIdiom(k)) << "idiom " << k;
        ASSERT_EQ(game.clearStage(), 1);
    }

    void loseBoard()
    {
        for (int n = 0; n < 3; ++n)
            missOnce();
        ASSERT_EQ(game.overStage(), 1);
    }

    ProgramState globals;
    FakePlatform platform;
    FakeHost host{globals, platform};
    Game game{globals, platform, host};
    std::vector<Snapshot> snapshots;
};

} // namespace horokata::testing
