#!/bin/bash
# Runs inside Xvfb; see startup.sh.
set -u
prog_dir=$1
work=$2
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
. "$(dirname "$0")/gui_session.sh"

"$prog_dir/horokata" >"$work/first.log" 2>&1 &
first=$!
win=$(wait_main_window $first "$work/first.log") || fail "main window did not appear"
echo "main window $win"

# The sound module loads once the window is ready, before the player can pick a tile.
for _ in $(seq 1 50); do grep -q libhorokata_sound "/proc/$first/maps" && break; sleep 0.1; done
grep -q libhorokata_sound "/proc/$first/maps" || fail "the sound module did not load after start-up"

# Another program's window covers the game and has the keyboard.
xmessage -geometry 700x500+0+0 "another program" &
other=$!
cover=""
for _ in $(seq 1 50); do
    cover=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n1)
    [ -n "$cover" ] && break
    sleep 0.1
done
[ -n "$cover" ] || fail "the covering window did not appear"
xdotool windowfocus --sync "$cover"

# A second copy shows the refusal and ends once it is dismissed.
"$prog_dir/horokata" >"$work/second.log" 2>&1 &
second=$!
box=""
for _ in $(seq 1 100); do
    box=$(xdotool search --onlyvisible --pid $second 2>/dev/null | head -n1)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || fail "second copy showed no message"
title=$(xdotool getwindowname "$box")
[ "$title" = "ホロカタ" ] || fail "refusal title was '$title'"
import -window root "$work/refusal.png" 2>/dev/null
xdotool windowfocus --sync "$box" 2>/dev/null
# With no window manager, X grants the running copy's focus request only when the copy has seen
# an event newer than the last focus change (the one just made); a window manager's own
# messages give it that on a desktop. A property set on its window does it here.
xprop -id "$win" -f _HOROKATA_TEST 8s -set _HOROKATA_TEST seen
xdotool key --clearmodifiers Return
for _ in $(seq 1 50); do kill -0 $second 2>/dev/null || break; sleep 0.1; done
kill -0 $second 2>/dev/null && { kill $second; fail "second copy still running"; }
wait $second; rc=$?
[ $rc -ne 0 ] || fail "second copy exited with 0"
kill -0 $first 2>/dev/null || fail "first copy ended too"

# ... and then the running copy comes to the front, with the keyboard.
top_of() { # the upper of two windows (xwininfo lists the top of the stack first)
    xwininfo -root -children | awk -v a="$(printf '0x%x' "$1")" -v b="$(printf '0x%x' "$2")" \
        '$1 == a || $1 == b { print $1; exit }'
}
for _ in $(seq 1 50); do
    [ "$(xdotool getwindowfocus)" = "$win" ] && [ "$(top_of "$win" "$cover")" = "$(printf '0x%x' "$win")" ] && break
    sleep 0.1
done
[ "$(xdotool getwindowfocus)" = "$win" ] || fail "the running copy did not take the keyboard after a second start"
[ "$(top_of "$win" "$cover")" = "$(printf '0x%x' "$win")" ] || fail "the running copy was not raised after a second start"
import -window root "$work/raised.png" 2>/dev/null
echo "ok: a second start brought the running copy to the front"
kill $other 2>/dev/null

# SIGKILL leaves the lock behind; the next start must not be refused.
kill -9 $first; wait $first 2>/dev/null
"$prog_dir/horokata" >"$work/third.log" 2>&1 &
third=$!
win=$(wait_main_window $third "$work/third.log") || fail "program did not start again after kill -9"
import -window root "$work/started.png" 2>/dev/null

# 終了 ends the program cleanly.
quit_with_exit_button "$win" $third
echo "PASS"
