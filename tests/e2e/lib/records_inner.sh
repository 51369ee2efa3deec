#!/bin/bash
# Runs inside a private D-Bus session and Xvfb; see records.sh.
set -u
prog_dir=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/gui_session.sh"
private_session_env "$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
pids=()
trap 'kill "${pids[@]}" 2>/dev/null' EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)

db=$XDG_DATA_HOME/horokata/records.sqlite
store() { /usr/bin/python3 "$here/board_in_store.py" "$db" "$@"; }
screen() { /usr/bin/python3 "$here/read_screen.py" "$pid" "$@"; }
sql() { sqlite3 "file:$db?mode=ro" "$@"; }

start() { # log -> pid, win
    "$prog_dir/horokata" >"$work/$1" 2>&1 &
    pid=$!
    pids+=($pid)
    win=$(wait_main_window $pid "$work/$1") || fail "main window did not appear"
    # No window manager here: give the window the focus, as a click would under one; the
    # play clock runs only while it is active.
    xdotool windowfocus "$win"
    sleep 0.5
}

found() { store state | sed -n 's/.*found=\([0-9]*\).*/\1/p'; }
misses() { store state | sed -n 's/.*misses=\([0-9]*\).*/\1/p'; }
play_ms() { store state | sed -n 's/.*play_ms=\([0-9]*\).*/\1/p'; }

# Clicks the four tiles the store names and waits until the saved board shows the pick's end.
pick() { # find|miss
    local before_found before_miss
    before_found=$(found); before_miss=$(misses)
    while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store "$1")
    for _ in $(seq 1 100); do
        [ "$(found 2>/dev/null)" != "$before_found" ] || [ "$(misses 2>/dev/null)" != "$before_miss" ] && return 0
        sleep 0.1
    done
    fail "the pick ($1) left the saved board as it was"
}

new_board() {
    click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規
    for _ in $(seq 1 100); do
        [ "$(sql "SELECT count(*) FROM attempts WHERE result = 0")" = 1 ] && [ "$(found 2>/dev/null)" = 0 ] && break
        sleep 0.1
    done
    sleep 0.3
}

# --- 1. A board played in part, killed, comes back as it was ---------------------------------
start prog1.log
new_board
pick find
pick find
sleep 3 # play time on the clock
pick miss
saved_cells=$(store cells)
saved_state=$(store state)
saved_ms=$(play_ms)
[ "$saved_ms" -ge 3000 ] || fail "the clock shows $saved_ms ms after more than 3 s of play"
kill -9 $pid; wait $pid 2>/dev/null
start prog2.log
for _ in $(seq 1 50); do screen board | grep -q '^status=再開$' && break; sleep 0.1; done
screen board >"$work/resumed.txt"
import -window root "$work/resumed.png" 2>/dev/null
grep -qx "status=再開" "$work/resumed.txt" || { cat "$work/resumed.txt"; fail "the status does not say 再開"; }
grep -qx "cells=$saved_cells" "$work/resumed.txt" || { echo "saved: $saved_cells"; cat "$work/resumed.txt"; fail "the tiles did not come back as they were"; }
lines=$(echo "$saved_state" | sed -n 's/.* lines=//p')
grep -qx "lines=$lines" "$work/resumed.txt" || { cat "$work/resumed.txt"; fail "the lines did not come back"; }
grep -qx "lamps=2" "$work/resumed.txt" || { cat "$work/resumed.txt"; fail "the miss did not survive the kill"; }
echo "ok: after kill -9 the board, its lines ($lines), its lamps and 再開 came back"
pick find
resumed_ms=$(play_ms)
[ "$resumed_ms" -gt "$saved_ms" ] && [ "$resumed_ms" -lt $((saved_ms + 20000)) ] \
    || fail "the clock went from $saved_ms to $resumed_ms ms across the restart"
echo "ok: the clock went on from $saved_ms to $resumed_ms ms"

# --- 2. Abandon that board, win one, lose one; the records window tells them ----------------
click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規: give up the board in play?
sleep 0.8
xdotool key --clearmodifiers Return
for _ in $(seq 1 100); do [ "$(sql "SELECT count(*) FROM attempts WHERE result = 4")" = 1 ] && break; sleep 0.1; done
for _ in $(seq 1 100); do [ "$(found 2>/dev/null)" = 0 ] && break; sleep 0.1; done
sleep 0.3
for _ in $(seq 1 19); do pick find; done
# The last find ends the board: the saved board goes, the attempt is won.
while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store find)
for _ in $(seq 1 100); do [ "$(sql "SELECT count(*) FROM attempts WHERE result = 1")" = 1 ] && break; sleep 0.1; done
sleep 0.5
screen board >"$work/won.txt"
import -window root "$work/won.png" 2>/dev/null
grep -qE "^status=[0-9]+:[0-5][0-9]　新記録$" "$work/won.txt" || { cat "$work/won.txt"; fail "no time and 新記録 after the first win"; }
echo "ok: after the win the status says $(sed -n 's/^status=//p' "$work/won.txt")"
new_board
pick find
pick find
pick miss; pick miss
misses_before=$(sql "SELECT count(*) FROM attempts WHERE result = 2")
while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store miss)
for _ in $(seq 1 100); do [ "$(sql "SELECT count(*) FROM attempts WHERE result = 2")" = 1 ] && break; sleep 0.1; done
[ "$misses_before" = 0 ] && [ "$(sql "SELECT count(*) FROM attempts WHERE result = 2")" = 1 ] || fail "the third miss did not lose the board"
sleep 1

xdotool key --clearmodifiers ctrl+h
sleep 1
screen table "記録" "級ごとの成績" >"$work/records.txt" || fail "the records window cannot be read"
import -window root "$work/records.png" 2>/dev/null
# 対局数 勝ち 勝率 連勝中 最長連勝 最短時間 平均時間 ノーミス 想起率
sed -n 1p "$work/records.txt" | grep -qE '^3\|1\|33%\|0\|1\|[0-9]+:[0-9]{2}\|[0-9]+:[0-9]{2}\|1\|-$' \
    || { cat "$work/records.txt"; fail "the beginner row does not read 3 played, 1 won, 33%, streaks 0/1, 1 without a miss"; }
sed -n 5p "$work/records.txt" | grep -qE '^3\|1\|33%' || { cat "$work/records.txt"; fail "the total row is wrong"; }
screen table "記録" "最近の対局" >"$work/recent.txt" || fail "the recent boards cannot be read"
[ "$(wc -l <"$work/recent.txt")" = 3 ] || { cat "$work/recent.txt"; fail "not three recent boards"; }
echo "ok: the records window reads $(sed -n 1p "$work/records.txt") for 初級"
xdotool key --clearmodifiers Escape
sleep 0.5

# --- 3. The notebook: rows, a search, a card ------------------------------------------------
xdotool windowfocus "$win"; sleep 0.3
xdotool key --clearmodifiers ctrl+i
sleep 1
screen table "単語帳" "出会った四字熟語" >"$work/notebook.txt" || fail "the notebook cannot be read"
import -window root "$work/notebook.png" 2>/dev/null
met=$(sql "SELECT count(*) FROM notebook")
[ "$(wc -l <"$work/notebook.txt")" = "$met" ] && [ "$met" -ge 40 ] || { cat "$work/notebook.txt"; fail "the notebook lists $(wc -l <"$work/notebook.txt") of $met idioms"; }
revealed=$(sql "SELECT idiom FROM notebook WHERE missed = 1 AND found = 0 LIMIT 1")
grep -q "^$revealed|.*|初級|0|1|" "$work/notebook.txt" || { grep "^$revealed" "$work/notebook.txt"; fail "the revealed $revealed does not read as missed once"; }
reading=$(grep "^$revealed|" "$work/notebook.txt" | cut -d'|' -f2 | sed 's/、.*//')
screen set "単語帳" "検索" "$reading"
sleep 0.5
screen table "単語帳" "出会った四字熟語" >"$work/search.txt"
grep -q "^$revealed|" "$work/search.txt" || { cat "$work/search.txt"; fail "searching $reading does not find $revealed"; }
while IFS='|' read -r idiom rest; do
    echo "$idiom|$rest" | grep -q "$reading" || fail "$idiom does not match the search $reading"
done <"$work/search.txt"
row=$(grep -n "^$revealed|" "$work/search.txt" | cut -d: -f1)
read -r x y < <(screen point "単語帳" "出会った四字熟語" $((row - 1)))
xdotool mousemove "$x" "$y" click 1
sleep 0.5
import -window root "$work/card.png" 2>/dev/null
screen name "単語帳" "$revealed/" >"$work/card.txt"
grep -q "^$revealed/$reading" "$work/card.txt" || { cat "$work/card.txt"; fail "the card of $revealed does not show its reading"; }
import -window root "$work/card.png" 2>/dev/null
echo "ok: the notebook lists $met idioms, '$reading' finds $revealed, its card reads $(head -c 60 "$work/card.txt")"
xdotool key --clearmodifiers Escape
sleep 0.5
[ "$(visible_windows $pid)" = 1 ] || fail "Escape did not close the notebook"
quit_with_exit_button "$win" $pid

# --- 4. A records file that is no database is kept aside ------------------------------------
rm -rf "$XDG_DATA_HOME/horokata"; mkdir -p "$XDG_DATA_HOME/horokata"
head -c 5000 /dev/urandom >"$work/garbage"
cp "$work/garbage" "$db"
start prog3.log
sleep 0.5
import -window root "$work/set_aside.png" 2>/dev/null
# The notice, answered with its button: the window the keys go to is the main window's here.
for _ in $(seq 1 50); do spot=$(screen spot "＜ 処理確認 ＞" "はい ○" 2>/dev/null) && break; sleep 0.1; done
[ -n "${spot:-}" ] || fail "no notice that the records file was set aside"
read -r x y <<<"$spot"
xdotool mousemove "$x" "$y" click 1
sleep 0.5
kept=$(ls "$XDG_DATA_HOME"/horokata/records.unreadable-*.sqlite 2>/dev/null | head -n1)
[ -n "$kept" ] && cmp -s "$kept" "$work/garbage" || { ls -l "$XDG_DATA_HOME/horokata"; fail "the unreadable file was not kept as it was"; }
grep -q "$(basename "$kept")" "$work/prog3.log" 2>/dev/null || true
xdotool windowfocus "$win"; sleep 0.2
new_board
import -window root "$work/after_set_aside.png" 2>/dev/null
pick find
[ "$(found)" = 1 ] || fail "the game does not play after the records file was set aside"
[ "$(sql "PRAGMA user_version")" -ge 2 ] || fail "no new records file"
echo "ok: the unreadable file was kept as $(basename "$kept"), a new one started, the game plays"
quit_with_exit_button "$win" $pid
echo "PASS"
