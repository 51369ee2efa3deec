// The game's rules: dealing, new game and replay, picking, checking, clearing, moving, misses.
#include "puzzle/game.h"

#include "idioms/idiom_list_reader.h"
#include "idioms/levels.h"
#include "platform/platform.h"

#include <QFile>
#include <cmath>
#include <numeric>

namespace horokata {

namespace {

const QString kFirstLine = QStringLiteral("01：");
const std::array<const char *, 6> kTitleRow = {"＊", "ホ", "ロ", "カ", "タ", "＊"};
const std::array<const char *, 6> kNewRow = {"＊", "新", "規", "開", "始", "＊"};
const std::array<const char *, 6> kReplayRow = {"＊", "再", "度", "開", "始", "＊"};
const std::array<const char *, 6> kApplauseRow = {"！", "拍", "手", "喝", "采", "！"};
const std::array<const char *, 6> kRegretRow = {"…", "残", "念", "至", "極", "…"};
const std::array<const char *, 6> kPromptRow = {"再", "度", "？", "新", "規", "？"};

constexpr int kStartPauseMs = 800;

// j = floor((n - 1) * r + 1): the shuffle partner of entry n, never n itself for n >= 2.
int partner(int n, float r)
{
    const double product = static_cast<double>(static_cast<float>(n - 1)) * static_cast<double>(r);
    return static_cast<int>(std::floor(product + 1.0));
}

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

} // namespace

Game::Game(Module1 &globals, Platform &platform, GameHost &host)
    : g_(globals), p_(platform), host_(host)
{
    strLIST.assign(1, Idiom());
}

// ---------------------------------------------------------------- helpers

void Game::playSlot(int slot)
{
    horokata::playSlot(g_, p_, slot);
}

void Game::setEnabled(bool on)
{
    m_.enabled = on;
}

void Game::setBusy(bool busy)
{
    m_.busyPointer = busy;
    p_.setBusyPointer(busy);
}

void Game::showMessageRow(const std::array<const char *, 6> &text)
{
    for (std::size_t k = 0; k < kMessageCells.size(); ++k)
        m_.MOJI[at(kMessageCells[k])].Caption = QString::fromUtf8(text[k]);
}

void Game::showTitleRow()
{
    showMessageRow(kTitleRow);
}

void Game::showStartMessage(const std::array<const char *, 6> &text)
{
    // The board empties to the message row, which stays up for the start pause.
    hideAllTiles();
    p_.doEvents();
    showMessageRow(text);
    for (int i : kMessageCells) {
        m_.MOJI[at(i)].Value = 0;
        m_.MOJI[at(i)].Visible = true;
    }
    p_.doEvents();
    p_.sleepMs(kStartPauseMs);
}

void Game::hideAllTiles()
{
    for (Tile &t : m_.MOJI) {
        t.Visible = false;
        t.Value = 0;
        t.Caption.clear();
    }
}

bool Game::ask(int mode)
{
    g_.intMSG = static_cast<std::int16_t>(mode);
    m_.imgOFFTop = 0;
    p_.beep();
    host_.SET_FORM2();
    m_.imgOFFTop = 32;
    g_.intMSG = 0;
    if (g_.blnCANCEL) {
        g_.blnCANCEL = vbFalse;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- start-up

void Game::loadFirstList(const QString &programFolder)
{
    intGRADE = 1;
    blnPLAY = vbFalse;
    for (Tile &t : m_.MOJI) {
        t.Caption.clear();
        t.Visible = true;
        t.Value = 0;
    }
    showTitleRow();
    g_.strLEVEL = QString::fromUtf8(levelAt(0).label);
    g_.strPATH = withTrailingSeparator(programFolder);
    strFILE = g_.strPATH + QString::fromUtf8(levelAt(0).fileName);
    g_.blnLEVEL.fill(vbTrue);
    READ_FILE(0);
    if (g_.blnERR) {
        g_.blnERR = vbFalse;
        g_.strLEVEL = QStringLiteral("＜なし＞");
        m_.lblGOKU = QStringLiteral("異常事態！");
    }
}

void Game::finishLoad()
{
    if (g_.strLEVEL == QStringLiteral("＜なし＞")) {
        m_.lblLEVEL = QStringLiteral("＜なし＞");
        m_.lblGOKU = QStringLiteral("異常事態！");
    } else {
        m_.lblLEVEL = QString::fromUtf8(levelAt(0).label);
        m_.lblGOKU = QStringLiteral("準備完了");
    }
    m_.lblGOKUColor = RGB(0, 255, 0);
}

// ---------------------------------------------------------------- idiom lists

void Game::READ_FILE(int index)
{
    const auto report = [&](int mode) {
        g_.intMSG = static_cast<std::int16_t>(mode);
        g_.strNAME = SET_strFILE(index);
        m_.imgOFFTop = 0;
        p_.beep();
        host_.SET_FORM2();
        m_.imgOFFTop = 32;
        if (mode != 0) {
            g_.intMSG = 0;
            g_.blnERR = vbTrue;
            if (index >= 0 && index < kLevelCount)
                g_.blnLEVEL[at(index)] = vbFalse;
        }
    };

    if (!p_.fileExistsNormal(strFILE)) {
        report(3);
        return;
    }
    const std::int64_t size = p_.fileLength(strFILE);
    if (!listSizeAcceptable(size)) {
        report(4);
        return;
    }
    const int capacity = listCapacity(size);

    // Load: the old list goes; any failure from here on is a read error.
    strLIST.assign(1, Idiom());
    intMAX = 0;
    bool error = false;
    QByteArray bytes;
    QFile file(strFILE);
    if (!file.open(QIODevice::ReadOnly)) {
        error = true;
    } else {
        // Never more than the largest acceptable file: a file that grew since the size
        // test cannot make us read without bound.
        bytes = file.read(kMaxListBytes + 1);
        if (file.error() != QFileDevice::NoError || bytes.size() > kMaxListBytes)
            error = true;
        file.close();
    }
    ParsedIdiomList parsed;
    if (!error) {
        parsed = parseIdiomList(QByteArrayView(bytes), capacity);
        error = parsed.overCapacity;
    }
    if (error) {
        report(0);
        strLIST.assign(1, Idiom());
        intMAX = 0;
        p_.doEvents();
        closing_ = true;
        host_.closeMainWindow();
        return;
    }
    strLIST = std::move(parsed.entries);
    if (strLIST.empty())
        strLIST.assign(1, Idiom());
    intMAX = static_cast<std::int16_t>(parsed.count);
    blnREAD = vbTrue;
}

void Game::NEW_FILE(int index)
{
    if (index < 0 || index >= kLevelCount)
        return;
    intOVER = 0;
    intCLEAR = 0;
    if (m_.lblGO[0].Caption != kFirstLine && !ask(2))
        return;

    const Level &level = levelAt(index);
    strFILE = g_.strPATH + QString::fromUtf8(level.fileName);
    READ_FILE(index);
    if (closing_)
        return; // a read error closes the program; nothing may be dealt from the discarded list
    if (g_.blnERR) {
        g_.blnERR = vbFalse;
        return;
    }
    g_.intLEVEL = static_cast<std::int16_t>(index);

    setEnabled(false);
    setBusy(true);
    p_.doEvents();
    SET_GRADE();
    g_.strLEVEL = QString::fromUtf8(level.label);
    m_.lblLEVEL = g_.strLEVEL;
    m_.lblGOKU.clear();
    intOVER = 0;
    blnPLAY = vbFalse;
    for (Tile &t : m_.MOJI) {
        t.BackColor = level.tileBack;
        t.ForeColor = level.tileFore;
    }
    showStartMessage(kNewRow);
    SET_INIT();
    if (SET_RND()) {
        for (Tile &t : m_.MOJI)
            t.Visible = true;
        p_.doEvents();
        blnPLAY = vbTrue;
    } else {
        dealFailed();
    }
    setBusy(false);
    setEnabled(true);
    p_.doEvents();
}

// ---------------------------------------------------------------- dealing

bool Game::SET_RND()
{
    int stage = 0;
    const auto fail = [&] {
        dealt_ = false;
        p_.messageBox(QString::number(stage), QString::fromUtf8(kTitle), true);
        return false;
    };

    p_.randomize();
    const int count = std::max<int>(intMAX, 0);
    std::vector<int> order(at(count + 1));
    std::iota(order.begin(), order.end(), 0);
    for (int i = count; i >= 1; --i)
        std::swap(order[at(i)], order[at(partner(i, p_.rnd()))]);

    stage = 1;
    for (int k = 1; k <= kIdioms; ++k) {
        if (k > count || at(order[at(k)]) >= strLIST.size())
            return fail();
        strGOKU[at(k)] = strLIST[at(order[at(k)])];
    }
    p_.doEvents();

    stage = 2;
    QString text;
    for (int k = 1; k <= kIdioms; ++k)
        text += strGOKU[at(k)];
    if (text.size() != kCells)
        return fail();

    stage = 3;
    std::array<int, kCells> cell{};
    std::iota(cell.begin(), cell.end(), 0);
    for (int m = kCells - 1; m >= 1; --m)
        std::swap(cell[at(m)], cell[at(partner(m, p_.rnd()))]);
    std::swap(cell[0], cell[at(partner(79, p_.rnd()))]);

    stage = 4;
    for (int m = 0; m < kCells; ++m)
        strMOJI[at(m)] = text.mid(cell[at(m)], 1);
    for (int i = 0; i < kCells; ++i) {
        m_.MOJI[at(i)].Caption = strMOJI[at(i)];
        intMOJI[at(i)] = 1;
    }
    p_.doEvents();
    dealt_ = true;
    return true;
}

void Game::dealFailed()
{
    // A board that was not fully dealt is never played: back to the idle title board.
    for (Tile &t : m_.MOJI) {
        t.Caption.clear();
        t.Value = 0;
        t.Visible = true;
    }
    intMOJI.fill(0);
    showTitleRow();
    blnPLAY = vbFalse;
    p_.doEvents();
}

// ---------------------------------------------------------------- new game, replay, display

void Game::cmdNEW_Click()
{
    if (!blnREAD)
        return;
    intCLEAR = 0;
    intOVER = 0;
    if (m_.lblGO[0].Caption != kFirstLine && blnPLAY && !ask(1))
        return;
    blnPLAY = vbFalse;
    setEnabled(false);
    setBusy(true);
    p_.doEvents();
    SET_GRADE();
    m_.lblGOKU.clear();
    showStartMessage(kNewRow);
    SET_INIT();
    const bool ok = SET_RND();
    if (ok) {
        for (Tile &t : m_.MOJI)
            t.Visible = true;
        p_.doEvents();
    } else {
        dealFailed();
    }
    setBusy(false);
    setEnabled(true);
    blnPLAY = ok ? vbTrue : vbFalse;
    p_.doEvents();
}

void Game::cmdRESET_Click()
{
    if (m_.lblGO[0].Caption == kFirstLine && intOVER == 0)
        return;
    if (!blnREAD || !dealt_)
        return;
    setEnabled(false);
    setBusy(true);
    p_.doEvents();
    intCLEAR = 0;
    intOVER = 0;
    blnPLAY = vbFalse;
    m_.lblGOKU.clear();
    showStartMessage(kReplayRow);
    SET_INIT();
    for (int i = 0; i < kCells; ++i) {
        m_.MOJI[at(i)].Caption = strMOJI[at(i)];
        m_.MOJI[at(i)].Visible = true;
        intMOJI[at(i)] = 1;
    }
    p_.doEvents();
    blnPLAY = vbTrue;
    setBusy(false);
    setEnabled(true);
    p_.doEvents();
}

void Game::SET_INIT()
{
    for (int i : kMessageCells) {
        m_.MOJI[at(i)].Visible = false;
        m_.MOJI[at(i)].Value = 0;
    }
    p_.doEvents();
    for (IdiomLine &line : m_.lblGO) {
        line.Caption.clear();
        line.ForeColor = kLineGreen;
    }
    for (int k = 0; k < kIdioms; ++k)
        m_.lblGO[at(k)].Caption = lineNumber(k);
    for (Lamp &lamp : m_.chkLIFE) {
        lamp.BackColor = kLampGreen;
        lamp.Visible = true;
    }
    p_.doEvents();
    intMISS = 0;
    intGOT = 0;
    intPICK = 0;
    strPICK.clear();
    m_.lblLEVEL = g_.strLEVEL;
    intFIND.fill(0);
}

void Game::SET_GRADE()
{
    if (intGRADE == intCOLOR)
        return;
    m_.paintedScheme = intCOLOR;
    ++m_.gradientPaints;
    intGRADE = intCOLOR;
}

void Game::chkLIFE_MouseUp(int /*index*/)
{
    p_.doEvents();
    if (!blnPLAY)
        return;
    if (!ask(6))
        return;
    m_.chkLIFE[2].Visible = false;
    m_.chkLIFE[1].Visible = false;
    intMISS = 2;
    SET_OUT();
}

// ---------------------------------------------------------------- picking

void Game::MOJI_MouseDown(int index, MouseButton button)
{
    if (index < 0 || index >= kCells)
        return;
    if (blnPLAY && button == MouseButton::Left && m_.MOJI[at(index)].Value != 0)
        blnHOLD = vbTrue;
}

void Game::MOJI_Flip(int index)
{
    if (index < 0 || index >= kCells)
        return;
    Tile &t = m_.MOJI[at(index)];
    t.Value = t.Value ? 0 : 1;
}

void Game::clickTile(int index, MouseButton button)
{
    MOJI_MouseDown(index, button);
    if (button == MouseButton::Left)
        MOJI_Flip(index);
    MOJI_MouseUp(index, button);
}

void Game::cancelPick()
{
    blnHOLD = vbFalse;
    for (Tile &t : m_.MOJI)
        if (t.Value != 0)
            t.Value = 0;
    intPICK = 0;
    strPICK.clear();
    m_.lblGOKU.clear();
}

void Game::MOJI_MouseUp(int index, MouseButton button)
{
    if (index < 0 || index >= kCells)
        return;
    Tile &tile = m_.MOJI[at(index)];
    if (blnPLAY) {
        if (button == MouseButton::Left) {
            if (blnHOLD) {
                blnHOLD = vbFalse;
                tile.Value = 1;
            } else {
                ++intPICK;
                if (intPICK <= 4) {
                    strPICK += tile.Caption;
                    m_.lblGOKU = strPICK;
                    if (intPICK == 4) {
                        setEnabled(false);
                        SET_CHECK();
                        setEnabled(true);
                    }
                }
            }
        } else {
            setEnabled(false);
            cancelPick();
            setEnabled(true);
        }
        return;
    }

    if (intOVER <= 0 && intCLEAR <= 0) {
        if (tile.Value != 0)
            tile.Value = 0;
        cmdNEW_Click();
    } else if (intOVER <= 0) {
        setEnabled(false);
        setBusy(true);
        intCLEAR = 0;
        p_.doEvents();
        playSlot(1);
        host_.playCelebration();
        SET_INIT();
        showTitleRow();
        for (Tile &t : m_.MOJI)
            t.Visible = true;
        p_.doEvents();
        setBusy(false);
        setEnabled(true);
        p_.doEvents();
    } else if (intOVER == 1) {
        p_.beep();
        for (int i : kMessageCells) {
            m_.MOJI[at(i)].Value = 0;
            m_.MOJI[at(i)].Caption.clear();
        }
        showMessageRow(kPromptRow);
        intOVER = 2;
    } else if (intOVER == 2) {
        if (index == 19 || index == 27 || index == 35)
            cmdRESET_Click();
        else if (index == 43 || index == 51 || index == 59)
            cmdNEW_Click();
    }
}

void Game::picBACK_MouseDown(MouseButton button)
{
    if (button == MouseButton::Left) {
        setEnabled(false);
        // Tiles that move lose their selection, so a pending pick would be left naming
        // characters of tiles no longer picked: when tiles are about to move, the press on
        // the board takes the pick back. On a packed board the pick stays.
        if (intPICK > 0 && movePending())
            cancelPick();
        SET_MOVE();
        setEnabled(true);
    } else {
        cancelPick();
    }
}

void Game::SET_CHECK()
{
    for (int i = 1; i <= kIdioms; ++i) {
        if (strPICK == strGOKU[at(i)]) {
            intFIND[at(i)] = 1;
            ++intGOT;
            SET_CLS();
            return;
        }
    }
    SET_OUT();
}

// ---------------------------------------------------------------- clearing and moving

void Game::SET_CLS()
{
    if (intGOT < kIdioms)
        playSlot(3);
    for (int i = 0; i < kCells; ++i) {
        if (m_.MOJI[at(i)].Value != 0) {
            m_.MOJI[at(i)].Visible = false;
            intMOJI[at(i)] = 0;
        }
    }
    if (intGOT >= 1 && intGOT <= kIdioms)
        m_.lblGO[at(intGOT - 1)].Caption += strPICK;
    intPICK = 0;
    strPICK.clear();
    m_.lblGOKU.clear();

    if (intGOT == kIdioms) {
        playSlot(4);
        blnPLAY = vbFalse;
        for (Tile &t : m_.MOJI) {
            t.Value = 0;
            t.Caption.clear();
        }
        showMessageRow(kApplauseRow);
        for (int i : kMessageCells) {
            m_.MOJI[at(i)].Value = 0;
            m_.MOJI[at(i)].Visible = true;
        }
        p_.doEvents();
        intCLEAR = 1;
        ++intCOLOR;
        if (intCOLOR > 6)
            intCOLOR = 0;
    } else {
        SET_MOVE();
    }
}

void Game::moveTile(int s, int d)
{
    intMOJI[at(s)] = 0;
    intMOJI[at(d)] = 1;
    p_.doEvents();
    Tile &dst = m_.MOJI[at(d)];
    dst.Caption = m_.MOJI[at(s)].Caption;
    dst.Value = 0;
    dst.Visible = true;
    m_.MOJI[at(s)].Visible = false;
    p_.doEvents();
}

bool Game::movePending() const
{
    for (int i = kRows; i < kCells; ++i) {
        if (intMOJI[at(i)] != 0)
            continue;
        for (int step = kRows; step <= 4 * kRows && i - step >= 0; step += kRows)
            if (intMOJI[at(i - step)] != 0)
                return true;
    }
    for (int c = 0; c <= 6; ++c)
        if (intMOJI[at(72 + c)] == 0 && intMOJI[at(73 + c)] != 0)
            return true;
    return false;
}

void Game::SET_MOVE()
{
    // Pass 1: close gaps to the right within each row, rightmost column first.
    for (int i = kCells - 1; i >= kRows; --i) {
        if (intMOJI[at(i)] == 0) {
            for (int step = kRows; step <= 4 * kRows; step += kRows) {
                const int s = i - step;
                if (s < 0)
                    break;
                if (intMOJI[at(s)] != 0) {
                    moveTile(s, i);
                    break;
                }
            }
        }
        p_.doEvents();
    }
    // Pass 2: an empty row takes the row below it, one row per pass.
    p_.doEvents();
    for (int c = 0; c <= 6; ++c) {
        p_.doEvents();
        if (intMOJI[at(72 + c)] != 0)
            continue;
        for (int d = 73 + c; d >= c + 1; d -= kRows) {
            if (intMOJI[at(d)] == 0)
                break;
            if (intMOJI[at(d - 1)] != 0)
                break; // never move onto a tile: the row above was not packed
            moveTile(d, d - 1);
        }
    }
}

// ---------------------------------------------------------------- misses and the end of a board

void Game::SET_OUT()
{
    playSlot(2);
    cancelPick(); // the picked tiles pop back up and the pick empties
    ++intMISS;
    switch (3 - intMISS) {
    case 2:
        m_.chkLIFE[2].Visible = false;
        m_.chkLIFE[0].BackColor = kLampYellow;
        m_.chkLIFE[1].BackColor = kLampYellow;
        break;
    case 1:
        m_.chkLIFE[1].Visible = false;
        m_.chkLIFE[0].BackColor = kLampRed;
        break;
    case 0:
        m_.chkLIFE[0].Visible = false;
        blnPLAY = vbFalse;
        break;
    default:
        break;
    }
    if (!blnPLAY)
        SET_OVER();
}

void Game::SET_OVER()
{
    for (Tile &t : m_.MOJI) {
        t.Visible = false;
        t.Value = 0;
        t.Caption.clear();
    }
    p_.doEvents();
    showMessageRow(kRegretRow);
    for (int i : kMessageCells)
        m_.MOJI[at(i)].Visible = true;
    p_.doEvents();
    for (int n = std::max<int>(intGOT, 0); n < kIdioms; ++n) {
        for (int i = 1; i <= kIdioms; ++i) {
            if (intFIND[at(i)] == 0) {
                m_.lblGO[at(n)].ForeColor = kLineBlack;
                m_.lblGO[at(n)].Caption += strGOKU[at(i)];
                intFIND[at(i)] = 1;
                break;
            }
        }
    }
    p_.doEvents();
    intOVER = 1;
    blnPLAY = vbFalse;
}

// ---------------------------------------------------------------- invariants

QString Game::checkInvariants() const
{
    if (!blnPLAY)
        return QString();
    int picked = 0;
    QString pickedChars;
    for (const Tile &t : m_.MOJI) {
        if (t.Visible && t.Value == 1) {
            ++picked;
            pickedChars += t.Caption;
        }
    }
    if (picked != intPICK)
        return QStringLiteral("intPICK %1 but %2 picked tiles").arg(intPICK).arg(picked);
    if (strPICK.size() != intPICK)
        return QStringLiteral("strPICK '%1' does not hold %2 characters").arg(strPICK).arg(intPICK);
    for (QChar ch : strPICK)
        if (!pickedChars.contains(ch))
            return QStringLiteral("strPICK '%1' holds a character of no picked tile").arg(strPICK);
    if (m_.lblGOKU != strPICK)
        return QStringLiteral("lblGOKU '%1' differs from strPICK '%2'").arg(m_.lblGOKU, strPICK);
    if (intGOT < 0 || intGOT > kIdioms)
        return QStringLiteral("intGOT %1 out of range").arg(intGOT);
    int filled = 0;
    for (int k = 0; k < kIdioms; ++k) {
        const IdiomLine &line = m_.lblGO[at(k)];
        if (line.Caption.size() > lineNumber(k).size()) {
            ++filled;
            if (k >= intGOT)
                return QStringLiteral("line %1 filled beyond intGOT %2").arg(k).arg(intGOT);
        }
    }
    if (filled != intGOT)
        return QStringLiteral("%1 lines filled but intGOT is %2").arg(filled).arg(intGOT);
    int found = 0;
    for (int i = 1; i <= kIdioms; ++i)
        found += intFIND[at(i)];
    if (found > intGOT || (intGOT > 0 && found == 0))
        return QStringLiteral("%1 found flags for intGOT %2").arg(found).arg(intGOT);
    if (intMISS < 0 || intMISS > 2)
        return QStringLiteral("intMISS %1 during play").arg(intMISS);
    int lamps = 0;
    for (const Lamp &l : m_.chkLIFE)
        lamps += l.Visible ? 1 : 0;
    if (lamps != 3 - intMISS)
        return QStringLiteral("%1 lamps for intMISS %2").arg(lamps).arg(intMISS);
    int tiles = 0;
    for (int i = 0; i < kCells; ++i) {
        if (intMOJI[at(i)] == 0 && m_.MOJI[at(i)].Visible)
            return QStringLiteral("empty cell %1 shows a tile").arg(i);
        if (intMOJI[at(i)] != 0 && !m_.MOJI[at(i)].Visible)
            return QStringLiteral("occupied cell %1 shows no tile").arg(i);
        tiles += intMOJI[at(i)];
    }
    if (tiles != kCells - 4 * intGOT)
        return QStringLiteral("%1 tiles left after %2 finds").arg(tiles).arg(intGOT);
    return QString();
}

} // namespace horokata
