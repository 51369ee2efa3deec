// The game and the player's store: the board as the store keeps it, laying a saved board out
// again, and telling the observer what happened.
#include "puzzle/game.h"

#include "idioms/levels.h"
#include "puzzle/game_shared.h"
#include "puzzle/saved_board.h"

#include <algorithm>
#include <cstdint>

namespace horokata {

namespace {

// Status words of a board laid out again from the store.
const QString kResumedWords = QStringLiteral("再開");

} // namespace

int Game::level() const
{
    return g_.level();
}

DealtBoard Game::dealtBoard() const
{
    DealtBoard b;
    b.level = g_.level();
    b.review = review_;
    b.strMOJI = strMOJI;
    for (int k = 0; k < kIdioms; ++k)
        b.strGOKU[at(k)] = strGOKU[at(k + 1)];
    return b;
}

SavedBoard Game::savedBoard() const
{
    SavedBoard b;
    b.level = g_.level();
    b.review = review_;
    b.strMOJI = strMOJI;
    for (int k = 0; k < kIdioms; ++k) {
        b.strGOKU[at(k)] = strGOKU[at(k + 1)];
        b.intFIND[at(k)] = intFIND[at(k + 1)] != 0;
        const QString &caption = m_.lblGO[at(k)].Caption;
        const QString number = lineNumber(k);
        b.lines[at(k)] = caption.startsWith(number) ? caption.mid(number.size()) : caption;
    }
    for (int i = 0; i < kCells; ++i) {
        b.captions[at(i)] = m_.MOJI[at(i)].Caption;
        b.intMOJI[at(i)] = intMOJI[at(i)] != 0;
    }
    // The tiles keep only whether they are picked; the order comes from the pick's text.
    // Two picked tiles with the same character may swap places without changing anything.
    std::array<bool, kCells> used{};
    qsizetype from = 0;
    while (from < strPICK.size()) {
        int found = -1;
        for (int i = 0; i < kCells && found < 0; ++i) {
            const Tile &t = m_.MOJI[at(i)];
            if (!used[at(i)] && t.Value != 0 && t.Visible && intMOJI[at(i)] != 0 && !t.Caption.isEmpty()
                && QStringView(strPICK).mid(from).startsWith(t.Caption))
                found = i;
        }
        if (found < 0) {
            b.pick.clear(); // tiles and text disagree: keep no pick rather than a wrong one
            break;
        }
        used[at(found)] = true;
        b.pick.push_back(found);
        from += m_.MOJI[at(found)].Caption.size();
    }
    b.intMISS = intMISS;
    b.paused = paused_;
    b.practice = practice_;
    b.hints = hints_.count();
    b.intCOLOR = intCOLOR;
    b.intGRADE = intGRADE;
    return b;
}

void Game::takeLevel(int index, std::vector<Idiom> list)
{
    if (index < 0 || index >= kLevelCount)
        return;
    const Level &lv = levelAt(index);
    if (list.empty())
        list.assign(1, Idiom());
    intMAX = static_cast<std::int16_t>(std::min<std::size_t>(list.size() - 1, INT16_MAX));
    strLIST = std::move(list);
    blnREAD = true;
    g_.setLevel(index);
    g_.setLevelLabel(QString::fromUtf8(lv.label));
    strFILE = g_.programFolder() + QString::fromUtf8(lv.fileName);
    m_.lblLEVEL = g_.levelLabel();
    m_.lblLEVELName.clear();
    // The start level keeps the colours the tiles are built with, as on every start.
    if (index == kStartLevel)
        return;
    for (Tile &t : m_.MOJI) {
        t.BackColor = lv.tileBack;
        t.ForeColor = lv.tileFore;
    }
}

void Game::resumeBoard(const SavedBoard &b)
{
    intCLEAR = 0;
    intOVER = 0;
    blnHOLD = false;
    strMOJI = b.strMOJI;
    intFIND.fill(0);
    for (int k = 0; k < kIdioms; ++k) {
        strGOKU[at(k + 1)] = b.strGOKU[at(k)];
        intFIND[at(k + 1)] = b.intFIND[at(k)] ? 1 : 0;
        m_.lblGO[at(k)].Caption = lineNumber(k) + b.lines[at(k)];
        m_.lblGO[at(k)].ForeColor = kLineGreen;
    }
    for (int i = 0; i < kCells; ++i) {
        Tile &t = m_.MOJI[at(i)];
        t.Caption = b.captions[at(i)];
        t.Visible = b.intMOJI[at(i)];
        t.Value = 0;
        intMOJI[at(i)] = b.intMOJI[at(i)] ? 1 : 0;
    }
    strPICK.clear();
    for (int cell : b.pick) {
        m_.MOJI[at(cell)].Value = 1;
        strPICK += m_.MOJI[at(cell)].Caption;
    }
    intPICK = static_cast<std::int16_t>(b.pick.size());
    intGOT = static_cast<std::int16_t>(b.intGOT());
    intMISS = static_cast<std::int16_t>(b.intMISS);
    paused_ = b.paused;
    m_.paused = b.paused;
    hints_.reset(b.hints);
    showLampsAfterMisses(m_.chkLIFE, intMISS);
    intCOLOR = static_cast<std::int16_t>(b.intCOLOR);
    intGRADE = static_cast<std::int16_t>(b.intGRADE);
    m_.paintedScheme = intGRADE;
    ++m_.gradientPaints;
    enterReview(b.review);
    practice_ = b.practice;
    showLevelLabel();
    m_.lblGOKU = strPICK.isEmpty() ? kResumedWords : strPICK;
    blnPLAY = true;
    dealt_ = true;
}

void Game::showStatusWords(const QString &words)
{
    m_.lblGOKU = words;
}

void Game::showLevelLabel()
{
    const QString own = review_ ? QString::fromUtf8(kReviewLabel) : g_.levelLabel();
    m_.lblLEVEL = practice_ ? QString::fromUtf8(kPracticeLabel) : own;
    m_.lblLEVELName = practice_ ? QString::fromUtf8(kPracticeSpoken) + own : QString();
}

void Game::tellStarted(bool replay)
{
    wonBoard_ = false;
    if (observer_)
        observer_->boardStarted(replay);
}

void Game::leaveBoard(BoardLeaving why)
{
    if (observer_ && blnPLAY)
        observer_->boardLeft(why);
}

void Game::tellPick(int idiom, const QString &spelled)
{
    if (observer_)
        observer_->pickChecked(idiom, spelled);
}

void Game::tellTakeBack()
{
    if (observer_ && blnPLAY)
        observer_->pickTakenBack();
}

} // namespace horokata
