// The checks that a stored board is one the rules of play could have produced.
#include "puzzle/saved_board.h"

#include "idioms/levels.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>

namespace horokata {

namespace {

// A tile's character: one printable UTF-16 unit that is not half of a pair.
bool isTileChar(const QString &s)
{
    if (s.size() != 1)
        return false;
    const QChar c = s.front();
    return !c.isSurrogate() && c.isPrint() && !c.isSpace();
}

bool isIdiomText(const QString &s)
{
    if (s.size() != Idiom::kLength)
        return false;
    for (QChar c : s)
        if (c.isSurrogate() || !c.isPrint() || c.isSpace())
            return false;
    return true;
}

QString sortedChars(QString s)
{
    std::sort(s.begin(), s.end());
    return s;
}

QSet<QString> listSet(const std::vector<Idiom> &list)
{
    QSet<QString> set;
    set.reserve(qsizetype(list.size()));
    for (const Idiom &idiom : list)
        if (!idiom.isEmpty())
            set.insert(idiom);
    return set;
}

using CharCount = QHash<QChar, int>;

void add(CharCount &count, const QString &text, int by)
{
    for (QChar c : text)
        count[c] += by;
}

bool allZero(const CharCount &count)
{
    return std::all_of(count.cbegin(), count.cend(), [](int n) { return n == 0; });
}

QString checkDeal(int level, const std::array<QString, kCells> &tiles, const std::array<QString, kIdioms> &idioms,
                  const QSet<QString> &list)
{
    if (level < 0 || level >= kLevelCount)
        return QStringLiteral("level %1 is not a level").arg(level);
    CharCount count;
    for (int k = 0; k < kIdioms; ++k) {
        const QString &idiom = idioms[std::size_t(k)];
        if (!isIdiomText(idiom))
            return QStringLiteral("idiom %1 is not four characters").arg(k + 1);
        if (!list.contains(idiom))
            return QStringLiteral("idiom %1 (%2) is not in the level's list").arg(k + 1).arg(idiom);
        add(count, idiom, 1);
    }
    for (int i = 0; i < kCells; ++i) {
        if (!isTileChar(tiles[std::size_t(i)]))
            return QStringLiteral("tile %1 is not one character").arg(i);
        add(count, tiles[std::size_t(i)], -1);
    }
    if (!allZero(count))
        return QStringLiteral("the tiles are not the idioms' characters");
    return QString();
}

} // namespace

int SavedBoard::intGOT() const
{
    return int(std::count(intFIND.begin(), intFIND.end(), true));
}

QString SavedBoard::strPICK() const
{
    QString text;
    for (int cell : pick)
        if (cell >= 0 && cell < kCells)
            text += captions[std::size_t(cell)];
    return text;
}

QString checkDealtBoard(const DealtBoard &board, const std::vector<Idiom> &levelList)
{
    return checkDeal(board.level, board.strMOJI, board.strGOKU, listSet(levelList));
}

namespace {

// The lines in use come first, one per idiom found, each a listed idiom spelled from the
// characters of a found idiom; the tiles standing are the dealt tiles less those found.
QString checkLinesAndTiles(const SavedBoard &b, const QSet<QString> &list)
{
    const int got = b.intGOT();
    if (got >= kIdioms)
        return QStringLiteral("a complete board is not in play");
    QStringList lineKeys, foundKeys;
    for (int n = 0; n < kIdioms; ++n) {
        const QString &line = b.lines[std::size_t(n)];
        if (n >= got) {
            if (!line.isEmpty())
                return QStringLiteral("line %1 is used but only %2 idioms were found").arg(n + 1).arg(got);
            continue;
        }
        if (!isIdiomText(line) || !list.contains(line))
            return QStringLiteral("line %1 does not show a listed idiom").arg(n + 1);
        lineKeys << sortedChars(line);
    }
    CharCount standing;
    for (const QString &tile : b.strMOJI)
        add(standing, tile, 1);
    for (int k = 0; k < kIdioms; ++k) {
        if (b.intFIND[std::size_t(k)]) {
            foundKeys << sortedChars(b.strGOKU[std::size_t(k)]);
            add(standing, b.strGOKU[std::size_t(k)], -1);
        }
    }
    lineKeys.sort();
    foundKeys.sort();
    if (lineKeys != foundKeys)
        return QStringLiteral("the lines do not show the idioms found");
    int count = 0;
    for (int i = 0; i < kCells; ++i) {
        const QString &caption = b.captions[std::size_t(i)];
        if (b.intMOJI[std::size_t(i)]) {
            if (!isTileChar(caption))
                return QStringLiteral("tile %1 shows no character").arg(i);
            add(standing, caption, -1);
            ++count;
        } else if (caption.size() > 1) {
            return QStringLiteral("cell %1 holds more than a character").arg(i);
        }
    }
    if (count != kCells - Idiom::kLength * got || !allZero(standing))
        return QStringLiteral("the tiles standing are not the tiles left");
    return QString();
}

// Closing up leaves every row packed against the right edge. Tiles only ever move right
// within their row, and a row only moves up whole into an empty row: each row standing keeps,
// in order, some of the tiles of a dealt row at or below it, the dealt rows in order. Matching
// each to the first dealt row that fits leaves the most room for the rows below.
QString checkRows(const SavedBoard &b)
{
    for (int row = 0; row < kRows; ++row) {
        bool gap = false;
        for (int column = kColumns - 1; column >= 0; --column) {
            const bool tile = b.intMOJI[std::size_t(cellIndex(column, row))];
            if (tile && gap)
                return QStringLiteral("row %1 is not closed up").arg(row + 1);
            gap = gap || !tile;
        }
    }
    int dealtRow = 0;
    for (int row = 0; row < kRows; ++row) {
        QString standingRow;
        for (int column = 0; column < kColumns; ++column)
            if (b.intMOJI[std::size_t(cellIndex(column, row))])
                standingRow += b.captions[std::size_t(cellIndex(column, row))];
        if (standingRow.isEmpty())
            continue;
        dealtRow = std::max(dealtRow, row);
        const auto fits = [&](int from) {
            qsizetype k = 0;
            for (int column = 0; column < kColumns && k < standingRow.size(); ++column)
                if (b.strMOJI[std::size_t(cellIndex(column, from))] == standingRow.mid(k, 1))
                    ++k;
            return k == standingRow.size();
        };
        while (dealtRow < kRows && !fits(dealtRow))
            ++dealtRow;
        if (dealtRow == kRows)
            return QStringLiteral("row %1 holds tiles that were not dealt so").arg(row + 1);
        ++dealtRow;
    }
    return QString();
}

// A pick at rest: fewer than four tiles, each standing, none twice.
QString checkPick(const SavedBoard &b)
{
    if (b.pick.size() >= std::size_t(Idiom::kLength))
        return QStringLiteral("a full pick at rest");
    for (std::size_t k = 0; k < b.pick.size(); ++k) {
        const int cell = b.pick[k];
        if (cell < 0 || cell >= kCells || !b.intMOJI[std::size_t(cell)])
            return QStringLiteral("a picked tile is not on the board");
        if (std::find(b.pick.begin(), b.pick.begin() + std::ptrdiff_t(k), cell) != b.pick.begin() + std::ptrdiff_t(k))
            return QStringLiteral("a tile is picked twice");
    }
    return QString();
}

} // namespace

QString checkSavedBoard(const SavedBoard &b, const std::vector<Idiom> &levelList)
{
    const QSet<QString> list = listSet(levelList);
    QString problem = checkDeal(b.level, b.strMOJI, b.strGOKU, list);
    if (!problem.isEmpty())
        return problem;
    if (b.intMISS < 0 || b.intMISS > kMaxRestingMisses)
        return QStringLiteral("%1 misses on a board in play").arg(b.intMISS);
    if (b.intCOLOR < 0 || b.intCOLOR >= kColorSchemes || b.intGRADE < 0 || b.intGRADE >= kColorSchemes)
        return QStringLiteral("no such colour scheme");
    if (b.playMs < 0 || b.playMs > kMaxPlayMs)
        return QStringLiteral("a play time of %1 ms").arg(b.playMs);
    if (b.hints < 0 || b.hints > kMaxHints)
        return QStringLiteral("%1 hints").arg(b.hints);
    problem = checkLinesAndTiles(b, list);
    if (problem.isEmpty())
        problem = checkRows(b);
    if (problem.isEmpty())
        problem = checkPick(b);
    return problem;
}

} // namespace horokata
