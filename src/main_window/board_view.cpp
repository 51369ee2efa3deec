// The board as the player sees it: tiles, idiom lines, lamps, the level and the pick so far,
// kept in step with the board model.
#include "main_window/board_view.h"

#include "main_window/qt_colors.h"
#include "platform_qt/fonts.h"
#include "platform_qt/ui_scale.h"

#include <QApplication>
#include <algorithm>
#include <QDir>
#include <QFrame>
#include <QToolTip>

namespace horokata {

QPixmap artOr(const QString &path, QSize size, const QColor &fill)
{
    QPixmap pm = loadArt(path);
    if (pm.isNull()) {
        pm = QPixmap(scaled(size));
        pm.fill(fill);
    }
    return pm;
}

BoardView::BoardView(const QString &programFolder)
    : cards_(QDir(programFolder).filePath(QString::fromUtf8(kDictionaryFileName)))
{
}

void BoardView::buildStatus(QFrame *bar)
{
    lblLEVEL = new QLabel(bar);
    lblLEVEL->setObjectName(QStringLiteral("lblLEVEL"));
    lblLEVEL->move(scaled(QPoint(352, 3)));
    lblLEVEL->setFont(gothicFont(11.25, true));
    lblLEVEL->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    lblGOKU = new QLabel(bar);
    lblGOKU->setObjectName(QStringLiteral("lblGOKU"));
    lblGOKU->setFont(gothicFont(12));
    lblGOKU->setFixedSize(scaled(QSize(81, 25)));
    lblGOKU->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The clock ends just left of the window buttons; blank until a board is dealt.
    lblTIME = new QLabel(bar);
    lblTIME->setObjectName(QStringLiteral("lblTIME"));
    lblTIME->setGeometry(scaled(kClockRight - kClockWidth, 1, kClockWidth, 12));
    lblTIME->setFont(gothicFont(8.25));
    lblTIME->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTIME->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    lblTIME->setAccessibleName(QStringLiteral("時間"));
    // The hints given, on a second line under the clock.
    lblHINT = new QLabel(bar);
    lblHINT->setObjectName(QStringLiteral("lblHINT"));
    lblHINT->setGeometry(scaled(kClockRight - kClockWidth, 13, kClockWidth, 11));
    lblHINT->setFont(gothicFont(7.5));
    lblHINT->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblHINT->setStyleSheet(QStringLiteral("color: #ffff00; background: transparent;"));
    lblHINT->setAccessibleName(QStringLiteral("ヒント"));
    placeStatus();
}

void BoardView::buildCover(QFrame *bar)
{
    imgOFF = new QLabel(bar);
    imgOFF->setObjectName(QStringLiteral("imgOFF"));
    imgOFF->setGeometry(scaled(345, kCoverHidden, 253, 23));
    imgOFF->setPixmap(artOr(QStringLiteral(":/art/cover.png"), QSize(253, 23), QColor(0, 0, 96)));
}

void BoardView::buildBoard(QWidget *window)
{
    picBACK = new BoardArea(window);
    picBACK->setGeometry(scaled(10, 34, 482, 386));
    // The border takes what the ten columns of tiles leave: one pixel at 100 %, never less.
    picBACK->setLineWidth(std::max(1, (picBACK->width() - 10 * scaled(kCellSize)) / 2));
    const QFont tf = tileFont();
    for (int i = 0; i < kCells; ++i) {
        auto *t = new TileButton(i, picBACK);
        t->setGeometry(scaled(1 + cellLeft(i), 1 + cellTop(i), kCellSize, kCellSize));
        t->setFont(tf);
        t->setColors(kBuiltTileBack, kBuiltTileFore);
        MOJI[static_cast<std::size_t>(i)] = t;
    }
}

void BoardView::buildSidePanel(QWidget *window)
{
    picSIDE = new QFrame(window);
    picSIDE->setObjectName(QStringLiteral("picSIDE"));
    picSIDE->setGeometry(scaled(502, 34, 97, 386));
    picSIDE->setAutoFillBackground(true);
    {
        QPalette pal = picSIDE->palette();
        pal.setColor(QPalette::Window, QColor(0, 128, 0));
        picSIDE->setPalette(pal);
    }
    const QFont lineFont = gothicFont(11.25);
    for (int k = 0; k < kIdioms; ++k) {
        auto *l = new QLabel(picSIDE);
        l->setObjectName(QStringLiteral("lblGO_%1").arg(k));
        l->setGeometry(scaled(0, 18 * k, 97, 18));
        l->setFont(lineFont);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lblGO[static_cast<std::size_t>(k)] = l;
    }
    for (int h = 0; h < kLamps; ++h) {
        auto *lamp = new LampButton(picSIDE);
        lamp->setObjectName(QStringLiteral("chkLIFE_%1").arg(h));
        lamp->setGeometry(scaled(48 + 16 * h, 368, 17, 17));
        lamp->setToolTip(QString::fromUtf8(kLampTips[static_cast<std::size_t>(h)]));
        lamp->setAccessibleName(QString::fromUtf8(kLampTips[static_cast<std::size_t>(h)]));
        lamp->setFocusPolicy(Qt::TabFocus);
        chkLIFE[static_cast<std::size_t>(h)] = lamp;
    }
    Label1 = new QLabel(QStringLiteral("手違"), picSIDE);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(scaled(0, 368, 49, 17));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(gothicFont(11.25, true));
    Label1->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    Label1->setToolTip(QStringLiteral("３回間違えると終了"));
    Label1->setAccessibleName(QStringLiteral("手違"));
}

void BoardView::placeStatus()
{
    lblLEVEL->adjustSize();
    lblGOKU->move(lblLEVEL->x() + lblLEVEL->width() + scaled(12), scaled(3));
    placeClock();
}

void BoardView::placeClock() const
{
    // Status words wider than their place (the time and "新記録" after a win) say the time
    // themselves: the clock gives way rather than overlap them.
    const int statusEnd = lblGOKU->x() + lblGOKU->fontMetrics().horizontalAdvance(lblGOKU->text());
    const bool room = statusEnd < scaled(kClockRight) - lblTIME->fontMetrics().horizontalAdvance(lblTIME->text()) - scaled(4);
    lblTIME->setVisible(room);
    lblHINT->setVisible(room);
}

void BoardView::showHints(int count, bool inPlay) const
{
    const QString words = inPlay ? QStringLiteral("ヒント %1").arg(count) : QString();
    if (lblHINT->text() == words)
        return;
    lblHINT->setText(words);
    lblHINT->setAccessibleName(words.isEmpty() ? QStringLiteral("ヒント") : words);
}

void BoardView::markHints(const std::vector<int> &cells)
{
    for (int i = 0; i < kCells; ++i)
        MOJI[static_cast<std::size_t>(i)]->setHinted(std::find(cells.begin(), cells.end(), i) != cells.end());
}

void BoardView::showClock(const QString &time) const
{
    if (lblTIME->text() == time)
        return;
    lblTIME->setText(time);
    lblTIME->setAccessibleName(time.isEmpty() ? QStringLiteral("時間") : QStringLiteral("時間 ") + time);
    placeClock();
}

void BoardView::sync(const BoardModel &m)
{
    for (int i = 0; i < kCells; ++i) {
        const Tile &t = m.MOJI[static_cast<std::size_t>(i)];
        TileButton *b = MOJI[static_cast<std::size_t>(i)];
        // A paused board shows no character, on the screen or to a screen reader.
        const QString caption = m.paused ? QString() : t.Caption;
        if (b->text() != caption) {
            b->setText(caption);
            b->setAccessibleName(caption);
        }
        b->setChecked(t.Value != 0);
        b->setColors(t.BackColor, t.ForeColor);
        const bool visible = t.Visible && !m.paused;
        if (b->isVisible() != visible)
            b->setVisible(visible);
    }
    syncLines(m);
    for (int h = 0; h < kLamps; ++h) {
        const Lamp &lamp = m.chkLIFE[static_cast<std::size_t>(h)];
        LampButton *b = chkLIFE[static_cast<std::size_t>(h)];
        b->setColor(lamp.BackColor);
        if (b->isVisible() != lamp.Visible)
            b->setVisible(lamp.Visible);
    }
    syncStatus(m);
    if (imgOFF->y() != scaled(m.imgOFFTop))
        imgOFF->move(scaled(QPoint(345, m.imgOFFTop)));
    picBACK->setScheme(m.paintedScheme);
}

void BoardView::syncLines(const BoardModel &m)
{
    for (int k = 0; k < kIdioms; ++k) {
        const IdiomLine &line = m.lblGO[static_cast<std::size_t>(k)];
        QLabel *l = lblGO[static_cast<std::size_t>(k)];
        if (l->text() != line.Caption) {
            l->setText(line.Caption);
            l->setAccessibleName(line.Caption);
            showCard(l, line.Caption);
        }
        // ".QLabel" styles the line alone: its card, a tooltip label, keeps the tooltip colours
        // (a black revealed line would otherwise give a black card on a clear background).
        const QString css = QStringLiteral(".QLabel { color: %1; background: transparent; }").arg(cssColor(line.ForeColor));
        if (l->styleSheet() != css)
            l->setStyleSheet(css);
    }
}

void BoardView::syncStatus(const BoardModel &m)
{
    const QString levelName = m.lblLEVELName.isEmpty() ? m.lblLEVEL : m.lblLEVELName;
    if (lblLEVEL->text() != m.lblLEVEL || lblLEVEL->accessibleName() != levelName) {
        lblLEVEL->setText(m.lblLEVEL);
        lblLEVEL->setAccessibleName(levelName);
        placeStatus();
    }
    if (lblGOKU->accessibleName() != m.lblGOKU) {
        // A hint's reading is cut short before the clock; its whole is the tooltip and the name.
        const bool hint = !m.statusTip.isEmpty() && m.lblGOKU == m.statusTip;
        const int room = scaled(kClockRight - kClockWidth) - lblGOKU->x();
        const QString shown = hint ? lblGOKU->fontMetrics().elidedText(m.lblGOKU, Qt::ElideRight, room) : m.lblGOKU;
        lblGOKU->setText(shown);
        lblGOKU->setAccessibleName(m.lblGOKU);
        lblGOKU->setToolTip(hint ? m.lblGOKU : QString());
        // Wider than its 81 pixels only for words that need it (the time after a win).
        lblGOKU->setFixedWidth(std::max(scaled(81), lblGOKU->fontMetrics().horizontalAdvance(shown) + scaled(2)));
        placeClock();
    }
    const QString statusCss = QStringLiteral("color: %1; background: transparent;").arg(cssColor(m.lblGOKUColor));
    if (lblGOKU->styleSheet() != statusCss)
        lblGOKU->setStyleSheet(statusCss);
}

void BoardView::showCard(QLabel *line, const QString &caption)
{
    const QString card = cards_.cardForLine(caption);
    if (line->accessibleDescription() == card)
        return;
    // A card left open over a line that changed would show the wrong idiom.
    if (line->underMouse() && QToolTip::isVisible())
        QToolTip::hideText();
    line->setAccessibleDescription(card);
    if (card.isEmpty()) {
        line->setToolTip(QString());
        return;
    }
    // Rich text so that a long meaning wraps; the idiom stands out on top, and numbered
    // senses ("(1) ... (2) ...") start a line each.
    const qsizetype firstBreak = card.indexOf(QLatin1Char('\n'));
    QString rest = card.mid(firstBreak + 1).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    if (rest.contains(QStringLiteral("<br>(1) "))) {
        for (int sense = 2; rest.contains(QStringLiteral(" (%1) ").arg(sense)); ++sense)
            rest.replace(QStringLiteral(" (%1) ").arg(sense), QStringLiteral("<br>(%1) ").arg(sense));
    }
    line->setToolTip(QStringLiteral("<p style='white-space:pre-wrap'><big><b>%1</b></big><br>%2<br><small>クリックで単語帳（Ctrl+I）</small></p>")
                         .arg(card.left(firstBreak).toHtmlEscaped(), rest));
}

} // namespace horokata
