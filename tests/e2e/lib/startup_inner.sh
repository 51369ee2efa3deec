#!/bin/bash
# Runs inside Xvfb; see startup.sh.
set -u
prog_dir=$1
work=$2
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
fail() { echo "FAIL: $*"; exit 1; }

wait_window() { # pid -> window id of its main window (the 610 × 429 one)
    local pid=$1 id
    for _ in $(seq 1 100); do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: 610x429"; then
                echo "$id"; return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

"$prog_dir/horokata" >"$work/first.log" 2>&1 &
first=$!
win=$(wait_window $first) || fail "main window did not appear"
echo "main window $win"

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
xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return
for _ in $(seq 1 50); do kill -0 $second 2>/dev/null || break; sleep 0.1; done
kill -0 $second 2>/dev/null && { kill $second; fail "second copy still running"; }
wait $second; rc=$?
[ $rc -ne 0 ] || fail "second copy exited with 0"
kill -0 $first 2>/dev/null || fail "first copy ended too"

# SIGKILL leaves the lock behind; the next start must not be refused.
kill -9 $first; wait $first 2>/dev/null
"$prog_dir/horokata" >"$work/third.log" 2>&1 &
third=$!
win=$(wait_window $third) || fail "program did not start again after kill -9"
import -window root "$work/started.png" 2>/dev/null

# 終了 ends the program cleanly.
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 4 + 60)) $((Y + 4 + 12)) click 1
for _ in $(seq 1 100); do kill -0 $third 2>/dev/null || break; sleep 0.1; done
kill -0 $third 2>/dev/null && { kill -9 $third; fail "終了 did not end the program"; }
wait $third; rc=$?
[ $rc -eq 0 ] || fail "exit code $rc after 終了"
echo "PASS"
