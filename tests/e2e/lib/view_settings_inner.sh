#!/bin/bash
# Runs inside a private D-Bus session and Xvfb; see view_settings.sh.
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
ini=$XDG_CONFIG_HOME/horokata/horokata.ini
store() { /usr/bin/python3 "$here/board_in_store.py" "$db" "$@"; }
screen() { /usr/bin/python3 "$here/read_screen.py" "$pid" "$@"; }
found() { store state | sed -n 's/.*found=\([0-9]*\).*/\1/p'; }
focus() { xdotool windowfocus "$win"; sleep 0.4; }
# The same process starts again at the new size: waits for its window of that size.
resized() { # WxH
    win=$(wait_window "$pid" "$1") || { tail "$work/prog.log"; fail "no $1 window after the size changed"; }
    focus
}

"$prog_dir/horokata" --scale 7 2>"$work/refused.txt"
[ $? = 2 ] && grep -q "100, 125, 150, 175 and 200" "$work/refused.txt" || fail "--scale 7 was not refused with exit 2"
echo "ok: --scale 7 refused: $(head -1 "$work/refused.txt")"

"$prog_dir/horokata" >"$work/prog.log" 2>&1 &
pid=$!; pids+=($pid)
win=$(wait_main_window $pid "$work/prog.log") || fail "main window did not appear"
focus
click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規
for _ in $(seq 1 100); do [ "$(found 2>/dev/null)" = 0 ] && break; sleep 0.1; done
sleep 0.5
while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store find)
for _ in $(seq 1 100); do [ "$(found)" = 1 ] && break; sleep 0.1; done
cells=$(store cells)

# --- Sound off, two steps up: the same board at 915 × 644 with 72-pixel tiles -----------------
xdotool key --clearmodifiers m
sleep 0.3
grep -qx "sound=false" "$ini" || fail "M did not keep the sound off in $ini"
xdotool key --clearmodifiers ctrl+plus
resized 763x536
xdotool key --clearmodifiers ctrl+equal
resized 915x644
# The clicks land on 72-pixel tiles, and the accessibility tree reads each tile where it is
# on the screen, 72 pixels a side (read_screen.py skips a tile whose extents are not).
export HOROKATA_TEST_SCALE=1.5
for _ in $(seq 1 50); do screen board | grep -q '^status=再開$' && break; sleep 0.1; done
screen board >"$work/zoomed.txt"
import -window root "$work/zoomed.png" 2>/dev/null
grep -qx "cells=$cells" "$work/zoomed.txt" || { cat "$work/zoomed.txt"; fail "the board did not come back at 150 %"; }
grep -qx "window=915x644" "$work/zoomed.txt" || { cat "$work/zoomed.txt"; fail "the accessibility tree gives the window another size"; }
while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store find)
for _ in $(seq 1 100); do [ "$(found)" = 2 ] && break; sleep 0.1; done
[ "$(found)" = 2 ] || fail "a find by mouse at 150 % did not count"
xdotool key --clearmodifiers Down space
sleep 0.4
screen board | grep -qE '^status=.$' || { screen board; fail "Space on a tile did not pick it at 150 %"; }
xdotool key --clearmodifiers Escape
sleep 0.4
screen board | grep -qE '^status=$' || { screen board; fail "Escape did not take the pick back at 150 %"; }
echo "ok: Ctrl+plus twice gave 915 × 644 with the board kept, 72-pixel tiles, a find by mouse and a pick by keys"

# A click where the accessibility tree puts a window's button, once the window shows; then only
# the main window is left.
click_where_told() { # window button what
    local spot=
    for _ in $(seq 1 50); do spot=$(screen spot "$1" "$2" 2>/dev/null) && break; sleep 0.1; done
    [ -n "$spot" ] || fail "no $2 in $1 at 150 %"
    read -r x y <<<"$spot"
    xdotool mousemove "$x" "$y" click 1
    for _ in $(seq 1 30); do [ "$(visible_windows "$pid")" = 1 ] && break; sleep 0.1; done
    [ "$(visible_windows "$pid")" = 1 ] || fail "a click where the tree puts $3 did not close it at 150 %"
    focus
}

# 記録 at this size too: its 閉じる closes it.
xdotool key --clearmodifiers ctrl+h
click_where_told 記録 閉じる "記録's 閉じる"
echo "ok: 記録 at 150 %: its 閉じる is where the accessibility tree says"

# The shaped dialog too: the version button and the dialog's はい, each clicked where the tree puts it.
read -r x y < <(screen spot ホロカタ バージョン情報)
xdotool mousemove "$x" "$y" click 1
click_where_told バージョン情報 "はい ○" "the dialog's はい"
echo "ok: the version dialog at 150 %: its button and its はい are where the accessibility tree says"

# --- Killed and started again: the size and the sound come back -----------------------------
kill -9 $pid; wait $pid 2>/dev/null
"$prog_dir/horokata" >"$work/prog.log" 2>&1 &
pid=$!; pids+=($pid)
resized 915x644
# The sound comes back off: M now turns it on.
grep -qx "sound=false" "$ini" || fail "the sound setting was lost"
xdotool key --clearmodifiers m
sleep 0.3
grep -qx "sound=true" "$ini" || fail "the sound came back on after a restart (M turned it off again)"
echo "ok: 150 % and the sound off came back after a restart"

# --- 遊び方 names every command --------------------------------------------------------------
focus
xdotool key --clearmodifiers F1
sleep 0.8
# Qt marks the table's cells with U+FDD0: read them as "|".
screen text 遊び方 遊び方 | sed 's/\xef\xb7\x90/|/g' >"$work/help.txt" || fail "the help cannot be read"
for word in 新規 再度 選択 記録 Ctrl+H 単語帳 Ctrl+I 一時停止 ヒント 復習 Ctrl+R Ctrl++ Ctrl+- Ctrl+0 音 \
            バージョン情報 終了 Ctrl+Q F1 逆の順 続きから 対局数; do
    grep -qF -- "$word" "$work/help.txt" || fail "遊び方 does not name $word"
done
grep -qF '|一時停止|P・Pause|' "$work/help.txt" && grep -qF '|ヒント|H|' "$work/help.txt" && grep -qF '|音|M|' "$work/help.txt" \
    || { cat "$work/help.txt"; fail "遊び方 does not give the keys P, H and M"; }
xdotool key --clearmodifiers Escape
echo "ok: 遊び方 names every command with its key"

# --- Ctrl+0: back to 610 × 429 ----------------------------------------------------------------
focus
xdotool key --clearmodifiers ctrl+0
resized 610x429
grep -qx "scale=100" "$ini" || fail "Ctrl+0 did not keep 100 %"
echo "ok: Ctrl+0 returned to 610 × 429"
quit_with_exit_button "$win" "$pid"
